#include "analysis/MatrixToTypes.h"

#include "analysis/MarviskError.h"
#include "analysis/SparseArray.h"

#include <utility>

namespace {

const QString One = QStringLiteral("1");
const QString NoGuild = QStringLiteral("---");

// Leading and trailing blanks (the space character only) removed.
QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
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
    platform::OrderedDictionary<QString, QString> species;
    std::vector<std::pair<int32_t, QString>> takingPart;
    takingPart.reserve(rows.size());
    for (const int32_t row : rows) {
        sry1.sValue(row, 0, trimBlanks(sry1.sValue(row, 0)));
        sry1.sValue(row, 1, trimBlanks(sry1.sValue(row, 1)));
        const QString name = sry1.sValue(row, 0);
        const QString guild = sry1.sValue(row, 1);
        if (name.isEmpty() || guild.isEmpty() || guild == NoGuild || species.Exists(name))
            continue;
        species.Add(name, guild);
        takingPart.emplace_back(row, guild);
    }

    std::vector<std::string> types;
    types.reserve(cols.size());
    for (const int32_t col : cols) {
        GuildCounts counts;
        for (const auto& [row, guild] : takingPart) {
            if (sry1.sValue(row, col) != One)
                continue;
            const int32_t* count = counts.Find(guild);
            counts.SetItem(guild, count ? *count + 1 : 1);
        }
        types.push_back(CountsToType(counts));
    }
    return types;
}

std::string CountsToType(const GuildCounts& counts) {
    if (counts.Count() == 0)
        return "()";
    int64_t n = 0;
    for (const auto& entry : counts)
        if (entry.second > 0)
            n += entry.second;
    if (n == 0)
        return "()";
    // a[k - 1]: the number of guilds with exactly k species present.
    std::vector<int64_t> a(static_cast<std::size_t>(n), 0);
    for (const auto& entry : counts)
        if (entry.second > 0)
            ++a[static_cast<std::size_t>(entry.second - 1)];
    std::string type = "(";
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (k > 0)
            type += ',';
        type += std::to_string(a[k]);
    }
    type += ')';
    return type;
}
