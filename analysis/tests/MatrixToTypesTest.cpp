// Matrix to site types: which rows and columns take part, what is written back
// into the matrix, and the type strings in the order of the column counts.
// Expected strings are worked by hand: for each site, count the taking-part
// species present per guild, then a(k) = number of guilds with k of them.

#include "analysis/MatrixToTypes.h"

#include "analysis/MarviskError.h"
#include "analysis/SparseArray.h"

#include <QString>
#include <algorithm>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <utility>
#include <string>
#include <vector>

namespace {

using Types = std::vector<std::string>;

// Writes the cells of a matrix row by row, left to right; "." leaves a cell
// unwritten. Row-major writing puts each column in the column-count order
// where its last cell was written.
SparseArray rowMajor(const std::vector<std::vector<const char*>>& rows) {
    SparseArray m;
    for (int32_t r = 0; r < int32_t(rows.size()); ++r)
        for (int32_t c = 0; c < int32_t(rows[r].size()); ++c)
            if (QString::fromUtf8(rows[r][c]) != QStringLiteral("."))
                m.sValue(r, c, QString::fromUtf8(rows[r][c]));
    return m;
}

// Species A and B of guild G1 and C of G2; site 1 holds A, B and C, site 2
// holds C, site 3 holds A and B. Names and guilds first, then the data column
// by column, so the column-count order is site 1, 2, 3.
SparseArray workedExample() {
    SparseArray m;
    const char* header[] = {"Species", "Guild", "S1", "S2", "S3"};
    for (int32_t c = 0; c < 5; ++c)
        m.sValue(0, c, QString::fromLatin1(header[c]));
    const char* species[][2] = {{"A", "G1"}, {"B", "G1"}, {"C", "G2"}};
    for (int32_t r = 1; r <= 3; ++r) {
        m.sValue(r, 0, QString::fromLatin1(species[r - 1][0]));
        m.sValue(r, 1, QString::fromLatin1(species[r - 1][1]));
    }
    const QString one = QStringLiteral("1");
    m.sValue(1, 2, one);
    m.sValue(2, 2, one);
    m.sValue(3, 2, one);
    m.sValue(3, 3, one);
    m.sValue(1, 4, one);
    m.sValue(2, 4, one);
    return m;
}

TEST(MatrixToTypes, WorkedExample) {
    SparseArray m = workedExample();
    EXPECT_EQ(MatrixToTypes(m), (Types{"(1,1,0)", "(1)", "(0,1)"}));
}

// A new cell in column 2 (species D without a guild at site 1) moves site 1
// to the end of the column-count order, and with it its type string; D's "1"
// counts nowhere.
TEST(MatrixToTypes, SitesComeInColumnCountOrder) {
    SparseArray m = workedExample();
    m.sValue(4, 0, QStringLiteral("D"));
    m.sValue(4, 1, QStringLiteral("---"));
    m.sValue(4, 2, QStringLiteral("1"));
    EXPECT_EQ(MatrixToTypes(m), (Types{"(1)", "(0,1)", "(1,1,0)"}));
}

struct EdgeCase {
    const char* name;
    std::vector<std::vector<const char*>> rows;
    Types types;
};

void PrintTo(const EdgeCase& c, std::ostream* os) { *os << c.name; }

class Selection : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(Selection, GivesTheTypesWorkedByHand) {
    SparseArray m = rowMajor(GetParam().rows);
    EXPECT_EQ(MatrixToTypes(m), GetParam().types);
}

// Column order in the row-major cases: a column stands where its last
// written cell was written (noted per case).
INSTANTIATE_TEST_SUITE_P(
    MatrixToTypes, Selection,
    ::testing::Values(
        // Columns last written: 2 (row 2), then 3 (row 3).
        EdgeCase{"ColumnSelectedByNameAndOnePresence",
                 {{"Species", "Guild", "S1", "S2"},
                  {"A", "G", "1", "."},
                  {"B", "G", "1", "."},
                  {"C", "H", ".", "1"}},
                 {"(0,1)", "(1)"}},
        // Column 3 holds one "1" and no name: count 1, not a site.
        EdgeCase{"ColumnWithoutNameNotSelected",
                 {{"Species", "Guild", "S1"},
                  {"A", "G", "1", "1"},
                  {"B", "H", "1", "."}},
                 {"(2,0)"}},
        // Row 2 has only name and guild: not selected, present nowhere anyway;
        // site S2 (name only) has count 1 and is no site.
        EdgeCase{"RowWithoutDataNotSelectedAndNameOnlyColumnNoSite",
                 {{"Species", "Guild", "S1", "S2"},
                  {"A", "G", "1", "."},
                  {"B", "G", ".", "."}},
                 {"(1)"}},
        // Rows 1 to 3 dropped (no guild, empty guild, blanks only); their
        // cells still make S1 and S2 sites. Columns last written: 3 (row 2),
        // 2 (row 4).
        EdgeCase{"DroppedRowsCountForSitesButNotInTypes",
                 {{"Species", "Guild", "S1", "S2"},
                  {"A", "---", "1", "1"},
                  {"B", "", "1", "1"},
                  {"C", "   ", "1", "."},
                  {"D", "G", "1", "."}},
                 {"()", "(1)"}},
        EdgeCase{"EverySelectedRowDroppedGivesEmptySites",
                 {{"Species", "Guild", "S1", "S2"},
                  {"A", "---", "1", "1"},
                  {"", "G", "1", "1"}},
                 {"()", "()"}},
        // Guild " G1 " counts as G1, together with B.
        EdgeCase{"GuildsAreTrimmedBeforeCounting",
                 {{"Species", "Guild", "S1"},
                  {"A", " G1 ", "1"},
                  {"B", "G1", "1"}},
                 {"(0,1)"}},
        EdgeCase{"GuildsDifferingInCaseAreTwoGuilds",
                 {{"Species", "Guild", "S1"},
                  {"A", "g", "1"},
                  {"B", "G", "1"}},
                 {"(2,0)"}},
        // Row 2 "A" is a duplicate of row 1 and is dropped with its "1"s.
        EdgeCase{"DuplicateNameDropped",
                 {{"Species", "Guild", "S1", "S2"},
                  {"A", "G", "1", "."},
                  {"A", "H", "1", "1"},
                  {"B", "H", ".", "1"}},
                 {"(1)", "(1)"}},
        // The first "A" has no guild, so it does not claim the name.
        EdgeCase{"DuplicateAfterANoGuildRowTakesPart",
                 {{"Species", "Guild", "S1"},
                  {"A", "---", "1"},
                  {"A", "H", "1"},
                  {"B", "H", "1"}},
                 {"(0,1)"}},
        // Names " A" and "A " trim to the same name: a duplicate.
        EdgeCase{"NamesAreTrimmedBeforeTheDuplicateTest",
                 {{"Species", "Guild", "S1"},
                  {" A", "G", "1"},
                  {"A ", "H", "1"}},
                 {"(1)"}},
        // Rows 1 and 2 have no name cell: both are named "0", the second is
        // a duplicate. Columns last written: 3 (row 2), then 2 (row 3).
        EdgeCase{"UnstoredNameIsTheNameZero",
                 {{"Species", "Guild", "S1", "S2"},
                  {".", "G", "1", "1"},
                  {".", "H", "1", "1"},
                  {"B", "H", "1", "."}},
                 {"(1)", "(2,0)"}},
        // No guild cell: both rows read the guild "0", one guild. Column 3
        // has no name but two cells, so it is a site too. Columns last
        // written: 2, then 3 (both in row 2).
        EdgeCase{"UnstoredGuildIsTheGuildZero",
                 {{"Species", "Guild", "S1"},
                  {"A", ".", "1", "1"},
                  {"B", ".", "1", "1"}},
                 {"(0,1)", "(0,1)"}},
        // Names, guilds and site names reading "1" are no presences.
        EdgeCase{"OnlyDataCellsArePresences",
                 {{"Species", "Guild", "1"},
                  {"1", "1", "1"},
                  {"B", "1", "1"}},
                 {"(0,1)"}},
        EdgeCase{"PresenceIsExactlyOne",
                 {{"Species", "Guild", "S1"},
                  {"A", "G", " 1"},
                  {"B", "G", "1"},
                  {"C", "H", "x"}},
                 {"(1)"}},
        // Eleven species of one guild at one site: eleven numbers.
        EdgeCase{"LargeSiteHasOneNumberPerSpecies",
                 {{"Species", "Guild", "S1"},
                  {"A1", "G", "1"}, {"A2", "G", "1"}, {"A3", "G", "1"}, {"A4", "G", "1"},
                  {"A5", "G", "1"}, {"A6", "G", "1"}, {"A7", "G", "1"}, {"A8", "G", "1"},
                  {"A9", "G", "1"}, {"A10", "G", "1"}, {"A11", "G", "1"}},
                 {"(0,0,0,0,0,0,0,0,0,0,1)"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Of two rows named "A", the one first in the row-count order takes part,
// not the one with the lower row number. Row 2 is written first, so it comes
// first; its guild H joins C's: (0,1). Row 1 (guild G) would give (2,0).
TEST(MatrixToTypes, FirstInRowCountOrderWinsADuplicate) {
    SparseArray m;
    m.sValue(0, 2, QStringLiteral("S1"));
    m.sValue(2, 0, QStringLiteral("A"));
    m.sValue(2, 1, QStringLiteral("H"));
    m.sValue(2, 2, QStringLiteral("1"));
    m.sValue(1, 0, QStringLiteral("A"));
    m.sValue(1, 1, QStringLiteral("G"));
    m.sValue(1, 2, QStringLiteral("1"));
    m.sValue(3, 0, QStringLiteral("C"));
    m.sValue(3, 1, QStringLiteral("H"));
    m.sValue(3, 2, QStringLiteral("1"));
    EXPECT_EQ(MatrixToTypes(m), (Types{"(0,1)"}));
}

TEST(MatrixToTypes, WritesTrimmedNamesAndGuildsOfSelectedRowsOnly) {
    SparseArray m = rowMajor({{"Species", "Guild", "S1"},
                              {"  A ", " G1  ", "1"},
                              {" B", "---", "1"},
                              {" 0 ", "G2", "1"},
                              {"   ", "G3", "1"},
                              {" C ", " G4 "}});
    MatrixToTypes(m);
    EXPECT_EQ(m.sValue(1, 0), QStringLiteral("A"));
    EXPECT_EQ(m.sValue(1, 1), QStringLiteral("G1"));
    EXPECT_EQ(m.sValue(2, 0), QStringLiteral("B"));
    // A name that trims to "0" is removed by the ordinary write.
    EXPECT_EQ(m.sValue(3, 0), QStringLiteral("0"));
    EXPECT_FALSE(m.sKeys().contains(QStringLiteral("3,0")));
    EXPECT_EQ(m.sValue(4, 0), QString());
    EXPECT_TRUE(m.sKeys().contains(QStringLiteral("4,0")));
    // Row 5 has no data cell: not selected, so not trimmed.
    EXPECT_EQ(m.sValue(5, 0), QStringLiteral(" C "));
    EXPECT_EQ(m.sValue(5, 1), QStringLiteral(" G4 "));
    // Heading row 0 is never selected.
    EXPECT_EQ(m.sValue(0, 0), QStringLiteral("Species"));
}

TEST(MatrixToTypes, NoSelectedColumnFailsBeforeWritingAnything) {
    // Every "1" lies in a column without a name cell.
    SparseArray m = rowMajor({{"Species", "Guild"},
                              {" A ", " G ", "1"},
                              {" B ", " G ", ".", "1"}});
    const QStringList keysBefore = m.sKeys();
    try {
        MatrixToTypes(m);
        FAIL() << "expected a failure";
    } catch (const MarviskError& e) {
        EXPECT_EQ(e.number(), MarviskError::UserDefined);
    }
    EXPECT_EQ(m.sKeys(), keysBefore);
    EXPECT_EQ(m.sValue(1, 0), QStringLiteral(" A "));
    EXPECT_EQ(m.sValue(2, 1), QStringLiteral(" G "));
}

TEST(MatrixToTypes, EmptyMatrixFails) {
    SparseArray m;
    EXPECT_THROW(MatrixToTypes(m), MarviskError);
}

struct CountsCase {
    std::vector<std::pair<const char*, int32_t>> counts;
    const char* type;
};

class SiteType : public ::testing::TestWithParam<CountsCase> {};

TEST_P(SiteType, FollowsTheProfileOfTheCounts) {
    GuildCounts counts;
    for (const auto& [guild, count] : GetParam().counts)
        counts.Add(QString::fromLatin1(guild), count);
    EXPECT_EQ(CountsToType(counts), GetParam().type);
    EXPECT_EQ(counts.Count(), GetParam().counts.size());
}

// Worked by hand: n = sum of counts, a(k) = guilds with count k.
INSTANTIATE_TEST_SUITE_P(
    CountsToType, SiteType,
    ::testing::Values(CountsCase{{}, "()"}, CountsCase{{{"G", 1}}, "(1)"},
                      CountsCase{{{"G", 2}}, "(0,1)"}, CountsCase{{{"A", 1}, {"B", 1}}, "(2,0)"},
                      CountsCase{{{"A", 2}, {"B", 1}}, "(1,1,0)"},
                      CountsCase{{{"A", 1}, {"B", 2}}, "(1,1,0)"},
                      CountsCase{{{"A", 3}}, "(0,0,1)"},
                      CountsCase{{{"A", 1}, {"B", 1}, {"C", 1}, {"D", 1}, {"E", 1}, {"F", 1},
                                  {"G", 1}, {"H", 1}, {"I", 1}, {"J", 1}, {"K", 1}, {"L", 1}},
                                 "(12,0,0,0,0,0,0,0,0,0,0,0)"}));

// The conversion carried out step by step as written: the row and column
// selections from the count stores, the trimmed texts written back row by
// row, and for each site a lookup of every kept row in its order, counting
// guilds in a list. An independent oracle for the one-pass conversion.
QString trimmedOfBlanks(const QString& text) {
    QString t = text;
    while (t.startsWith(u' '))
        t.remove(0, 1);
    while (t.endsWith(u' '))
        t.chop(1);
    return t;
}

std::optional<Types> matrixToTypesStepByStep(SparseArray& m) {
    std::vector<int32_t> rows;
    for (const auto& [r, count] : m.RowCount())
        if (count >= 3 && r > 0)
            rows.push_back(r);
    std::vector<int32_t> cols;
    for (const auto& [c, count] : m.ColCount())
        if (count >= 2 && c > 1)
            cols.push_back(c);
    if (cols.empty())
        return std::nullopt;
    std::vector<std::pair<QString, QString>> species;
    std::vector<int32_t> kept;
    for (const int32_t r : rows) {
        m.sValue(r, 0, trimmedOfBlanks(m.sValue(r, 0)));
        m.sValue(r, 1, trimmedOfBlanks(m.sValue(r, 1)));
        const QString name = m.sValue(r, 0);
        const QString guild = m.sValue(r, 1);
        const bool known = std::any_of(species.begin(), species.end(), [&](const auto& e) { return e.first == name; });
        if (name.isEmpty() || guild.isEmpty() || guild == QStringLiteral("---") || known)
            continue;
        species.emplace_back(name, guild);
        kept.push_back(r);
    }
    Types types;
    for (const int32_t c : cols) {
        std::vector<std::pair<QString, int>> counts;
        for (const int32_t r : kept) {
            if (m.sValue(r, c) != QStringLiteral("1"))
                continue;
            const QString name = m.sValue(r, 0);
            const QString guild =
                std::find_if(species.begin(), species.end(), [&](const auto& e) { return e.first == name; })->second;
            auto it = std::find_if(counts.begin(), counts.end(), [&](const auto& e) { return e.first == guild; });
            if (it == counts.end())
                counts.emplace_back(guild, 1);
            else
                ++it->second;
        }
        int n = 0;
        for (const auto& e : counts)
            n += e.second;
        std::vector<int> a(std::size_t(n), 0);
        for (const auto& e : counts)
            ++a[std::size_t(e.second - 1)];
        std::string type = "(";
        for (int k = 0; k < n; ++k) {
            if (k > 0)
                type += ',';
            type += std::to_string(a[std::size_t(k)]);
        }
        types.push_back(type + ")");
    }
    return types;
}

std::vector<std::pair<int32_t, int32_t>> countList(const SparseArray::CountStore& store) {
    std::vector<std::pair<int32_t, int32_t>> out;
    for (const auto& [key, count] : store)
        out.emplace_back(key, count);
    return out;
}

// Random matrices rich in what decides the conversion: names and guilds with
// blanks, duplicates, "---", empty texts, texts trimming to "0", guilds that
// differ in case, presences that are not exactly "1", removed cells (count
// entries at 0), negative and header rows and columns, and orders of the
// count stores unlike the numbers. The same writes make two equal matrices;
// both ways must give the same strings (or both fail) and leave the same
// matrix behind, orders included.
TEST(MatrixToTypes, OnePassGivesWhatTheStepByStepConversionGives) {
    const char* names[] = {"A", " A", "A ", "B", "C", "", " ", "0", " 0 ", "1"};
    const char* guilds[] = {"G", "g", " G ", "H", "---", " --- ", "", " ", "0", "1"};
    const char* data[] = {"1", "1", "1", " 1", "x", "0", "0"};
    int failures = 0;
    for (uint32_t seed = 1; seed <= 400; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        std::uniform_int_distribution<int32_t> row(-1, 7);
        std::uniform_int_distribution<int32_t> col(-1, 7);
        std::uniform_int_distribution<int> pick(0, 99);
        SparseArray fast;
        SparseArray slow;
        const int writes = 5 + int(seed % 90);
        for (int w = 0; w < writes; ++w) {
            const int32_t r = row(random);
            const int32_t c = col(random);
            QString text;
            if (c == 0)
                text = QString::fromLatin1(names[pick(random) % 10]);
            else if (c == 1)
                text = QString::fromLatin1(guilds[pick(random) % 10]);
            else if (r == 0)
                text = pick(random) < 80 ? QStringLiteral("Site") : QStringLiteral("0");
            else
                text = QString::fromLatin1(data[pick(random) % 7]);
            fast.sValue(r, c, text);
            slow.sValue(r, c, text);
        }
        std::optional<Types> got;
        try {
            got = MatrixToTypes(fast);
        } catch (const MarviskError& e) {
            EXPECT_EQ(e.number(), MarviskError::UserDefined);
        }
        const std::optional<Types> expected = matrixToTypesStepByStep(slow);
        failures += expected ? 0 : 1;
        ASSERT_EQ(got, expected);
        ASSERT_EQ(fast.sKeys(), slow.sKeys());
        for (const QString& key : slow.sKeys()) {
            const auto parts = slow.RowColumn(key);
            ASSERT_EQ(fast.sValue(parts[1], parts[2]), slow.sValue(parts[1], parts[2])) << key.toStdString();
        }
        ASSERT_EQ(countList(fast.RowCount()), countList(slow.RowCount()));
        ASSERT_EQ(countList(fast.ColCount()), countList(slow.ColCount()));
    }
    // Both outcomes occur often enough to mean something.
    EXPECT_GT(failures, 10);
    EXPECT_LT(failures, 380);
}

} // namespace
