#include "analysis/MatrixToTypes.h"

#include "analysis/MarviskError.h"
#include "analysis/SparseArray.h"
#include "platform/Text.h"

#include <unordered_map>
#include <utility>

namespace {

const QString One = QStringLiteral("1");
const QString NoGuild = QStringLiteral("---");

// The type string of a site whose guilds have these numbers of species
// present: n is their sum and a(k) the number of guilds with exactly k.
std::string typeOfGuildSizes(const std::vector<int32_t>& sizes) {
    int64_t n = 0;
    for (const int32_t size : sizes)
        if (size > 0)
            n += size;
    if (n == 0)
        return "()";
    std::vector<int64_t> a(static_cast<std::size_t>(n), 0);
    for (const int32_t size : sizes)
        if (size > 0)
            ++a[static_cast<std::size_t>(size - 1)];
    std::string type = "(";
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (k > 0)
            type += ',';
        type += std::to_string(a[k]);
    }
    type += ')';
    return type;
}

} // namespace

std::vector<std::string> MatrixToTypes(SparseArray& sry1) {
    // Species rows: a name, a guild and at least one more cell.
    std::vector<int32_t> rows;
    for (const auto& [row, count] : sry1.RowCount())
        if (count >= 3 && row > 0)
            rows.push_back(row);

    // Sites: a name (or any other cell) and at least one more cell.
    std::vector<int32_t> cols;
    for (const auto& [col, count] : sry1.ColCount())
        if (count >= 2 && col > 1)
            cols.push_back(col);

    if (cols.empty())
        throw MarviskError(MarviskError::UserDefined, "No site column takes part in the analysis.");

    // Tidy the names and guilds, then keep the first row of each species name
    // that has a guild. The guild of each kept row is held beside it: the
    // names do not change again before the sites are counted.
    platform::OrderedDictionary<QString, QString, platform::TextHash> species;
    std::vector<std::pair<int32_t, QString>> takingPart;
    takingPart.reserve(rows.size());
    for (const int32_t row : rows) {
        sry1.sValue(row, 0, platform::trimBlanks(sry1.sValue(row, 0)));
        sry1.sValue(row, 1, platform::trimBlanks(sry1.sValue(row, 1)));
        const QString name = sry1.sValue(row, 0);
        const QString guild = sry1.sValue(row, 1);
        if (name.isEmpty() || guild.isEmpty() || guild == NoGuild || species.Exists(name))
            continue;
        species.Add(name, guild);
        takingPart.emplace_back(row, guild);
    }

    // Which species are present at which site. Going once through the
    // stored cells finds the same "1"s as looking up every selected row in
    // every selected column, at a cost that follows the number of cells
    // rather than rows times columns.
    std::unordered_map<int32_t, int32_t> guildOfRow; // row -> guild number
    std::unordered_map<QString, int32_t, platform::TextHash> guildNumbers;
    for (const auto& [row, guild] : takingPart) {
        const auto number = guildNumbers.emplace(guild, int32_t(guildNumbers.size())).first->second;
        guildOfRow.emplace(row, number);
    }
    std::unordered_map<int32_t, std::size_t> siteOfColumn;
    for (std::size_t i = 0; i < cols.size(); ++i)
        siteOfColumn.emplace(cols[i], i);

    std::vector<std::vector<int32_t>> guildsPresent(cols.size());
    if (!guildOfRow.empty()) {
        sry1.forEachCell([&](int32_t row, int32_t col, const QString& text) {
            if (text != One)
                return;
            const auto guild = guildOfRow.find(row);
            if (guild == guildOfRow.end())
                return;
            const auto site = siteOfColumn.find(col);
            if (site != siteOfColumn.end())
                guildsPresent[site->second].push_back(guild->second);
        });
    }

    std::vector<std::string> types;
    types.reserve(cols.size());
    std::vector<int32_t> countOfGuild(guildNumbers.size(), 0);
    std::vector<int32_t> sizes;
    for (const auto& guilds : guildsPresent) {
        sizes.clear();
        for (const int32_t g : guilds)
            ++countOfGuild[std::size_t(g)];
        for (const int32_t g : guilds) {
            if (countOfGuild[std::size_t(g)] > 0) {
                sizes.push_back(countOfGuild[std::size_t(g)]);
                countOfGuild[std::size_t(g)] = 0;
            }
        }
        types.push_back(typeOfGuildSizes(sizes));
    }
    return types;
}

std::string CountsToType(const GuildCounts& counts) {
    std::vector<int32_t> sizes;
    sizes.reserve(counts.Count());
    for (const auto& entry : counts)
        sizes.push_back(entry.second);
    return typeOfGuildSizes(sizes);
}
