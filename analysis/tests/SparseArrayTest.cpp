// The sparse string matrix: which writes store, move or remove cells, how the
// three orders change, and what a copy looks like. Every expected state below
// was worked out by hand from the write rules: a new cell is appended and
// moves its row and column counts (+1) to the end; rewriting a stored cell
// moves only its key to the end; writing "0" removes the key and moves both
// counts (-1) to the end; writing "0" to an absent cell does nothing.

#include "analysis/SparseArray.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <algorithm>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using Counts = std::vector<std::pair<int32_t, int32_t>>;

Counts counts(const SparseArray::CountStore& store) {
    Counts out;
    for (const auto& [key, count] : store)
        out.emplace_back(key, count);
    return out;
}

struct Write {
    int32_t row;
    int32_t col;
    const char* text;
};

struct WriteCase {
    const char* name;
    std::vector<Write> writes;
    QStringList keys;
    Counts rows;
    Counts cols;
    int32_t maxRow;
    int32_t maxCol;
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class Writes : public ::testing::TestWithParam<WriteCase> {};

TEST_P(Writes, LeaveTheCellsAndBothCountOrdersAsTheRulesSay) {
    const WriteCase& c = GetParam();
    SparseArray m;
    for (const Write& w : c.writes)
        m.sValue(w.row, w.col, QString::fromUtf8(w.text));
    EXPECT_EQ(m.sKeys(), c.keys);
    EXPECT_EQ(counts(m.RowCount()), c.rows);
    EXPECT_EQ(counts(m.ColCount()), c.cols);
    EXPECT_EQ(m.Rows(), c.maxRow);
    EXPECT_EQ(m.Cols(), c.maxCol);
}

INSTANTIATE_TEST_SUITE_P(
    SparseArray, Writes,
    ::testing::Values(
        WriteCase{"NewCellsAreAppended",
                  {{1, 2, "1"}, {0, 3, "a"}},
                  {"1,2", "0,3"}, {{1, 1}, {0, 1}}, {{2, 1}, {3, 1}}, 1, 3},
        WriteCase{"AnotherTextMovesOnlyTheKey",
                  {{1, 2, "1"}, {0, 3, "a"}, {1, 2, "x"}},
                  {"0,3", "1,2"}, {{1, 1}, {0, 1}}, {{2, 1}, {3, 1}}, 1, 3},
        WriteCase{"TheSameTextAgainMovesOnlyTheKey",
                  {{1, 2, "1"}, {0, 3, "a"}, {1, 2, "1"}},
                  {"0,3", "1,2"}, {{1, 1}, {0, 1}}, {{2, 1}, {3, 1}}, 1, 3},
        WriteCase{"ACountChangeMovesItsEntryToTheEnd",
                  {{1, 1, "a"}, {2, 2, "b"}, {1, 3, "c"}},
                  {"1,1", "2,2", "1,3"}, {{2, 1}, {1, 2}}, {{1, 1}, {2, 1}, {3, 1}}, 2, 3},
        WriteCase{"ZeroRemovesTheCellAndMovesBothCounts",
                  {{1, 2, "1"}, {1, 3, "1"}, {0, 2, "s"}, {1, 2, "0"}},
                  {"1,3", "0,2"}, {{0, 1}, {1, 1}}, {{3, 1}, {2, 1}}, 1, 3},
        WriteCase{"ZeroToAnAbsentCellChangesNothing",
                  {{1, 2, "1"}, {5, 5, "0"}},
                  {"1,2"}, {{1, 1}}, {{2, 1}}, 1, 2},
        WriteCase{"ACountThatReachesZeroStaysLast",
                  {{5, 2, "1"}, {1, 3, "1"}, {5, 2, "0"}},
                  {"1,3"}, {{1, 1}, {5, 0}}, {{3, 1}, {2, 0}}, 1, 3},
        WriteCase{"AZeroEntryCountsUpAgain",
                  {{5, 2, "1"}, {5, 2, "0"}, {5, 3, "1"}},
                  {"5,3"}, {{5, 1}}, {{2, 0}, {3, 1}}, 5, 3},
        WriteCase{"RowsForgetsARemovedLargestRow",
                  {{7, 2, "1"}, {3, 2, "1"}, {7, 2, "0"}},
                  {"3,2"}, {{3, 1}, {7, 0}}, {{2, 1}}, 3, 2},
        WriteCase{"OnlyTheExactTextZeroRemoves",
                  {{1, 1, " 0"}, {1, 2, "00"}, {1, 3, ""}, {1, 4, "0 "}},
                  {"1,1", "1,2", "1,3", "1,4"}, {{1, 4}}, {{1, 1}, {2, 1}, {3, 1}, {4, 1}}, 1, 4},
        WriteCase{"ANegativeRowIsStoredAndCountedButNotLargest",
                  {{-1, 4, "1"}},
                  {"-1,4"}, {{-1, 1}}, {{4, 1}}, 0, 4},
        WriteCase{"RowZeroAndColumnZeroGiveNoLargest",
                  {{0, 0, "Species"}},
                  {"0,0"}, {{0, 1}}, {{0, 1}}, 0, 0},
        WriteCase{"NothingWrittenIsEmpty", {}, {}, {}, {}, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SparseArray, ReadsTheStoredTextOrZero) {
    SparseArray m;
    m.sValue(1, 1, QStringLiteral(" 0"));
    m.sValue(1, 2, QString());
    m.sValue(3, 12, QStringLiteral("Site 11"));
    EXPECT_EQ(m.sValue(1, 1), QStringLiteral(" 0"));
    EXPECT_EQ(m.sValue(1, 2), QString());
    EXPECT_EQ(m.sValue(3, 12), QStringLiteral("Site 11"));
    EXPECT_EQ(m.sValue(12, 3), QStringLiteral("0"));
}

TEST(SparseArray, ReadingAddsNothing) {
    SparseArray m;
    m.sValue(2, 3, QStringLiteral("1"));
    EXPECT_EQ(m.sValue(9, 9), QStringLiteral("0"));
    EXPECT_EQ(m.sValue(2, 9), QStringLiteral("0"));
    EXPECT_EQ(m.sValue(9, 3), QStringLiteral("0"));
    EXPECT_EQ(m.sKeys(), QStringList{"2,3"});
    EXPECT_EQ(counts(m.RowCount()), (Counts{{2, 1}}));
    EXPECT_EQ(counts(m.ColCount()), (Counts{{3, 1}}));
}

TEST(SparseArray, CountStoresAreTheObjectsOwnStores) {
    SparseArray m;
    const SparseArray::CountStore& rows = m.RowCount();
    const SparseArray::CountStore& cols = m.ColCount();
    m.sValue(4, 6, QStringLiteral("1"));
    EXPECT_EQ(&rows, &m.RowCount());
    EXPECT_EQ(&cols, &m.ColCount());
    EXPECT_EQ(counts(rows), (Counts{{4, 1}}));
    EXPECT_EQ(counts(cols), (Counts{{6, 1}}));
}

TEST(SparseArray, SKeysIsASnapshot) {
    SparseArray m;
    m.sValue(1, 1, QStringLiteral("a"));
    const QStringList before = m.sKeys();
    m.sValue(1, 1, QStringLiteral("0"));
    m.sValue(2, 2, QStringLiteral("b"));
    EXPECT_EQ(before, QStringList{"1,1"});
    EXPECT_EQ(m.sKeys(), QStringList{"2,2"});
}

struct SplitCase {
    int32_t row;
    int32_t col;
    const char* key;
};

class KeyParts : public ::testing::TestWithParam<SplitCase> {};

TEST_P(KeyParts, KeysAreRowCommaColumnAndSplitBack) {
    const SplitCase& c = GetParam();
    SparseArray m;
    m.sValue(c.row, c.col, QStringLiteral("1"));
    ASSERT_EQ(m.sKeys(), QStringList{QString::fromLatin1(c.key)});
    const auto parts = m.RowColumn(m.sKeys().at(0));
    EXPECT_EQ(parts[0], 0);
    EXPECT_EQ(parts[1], c.row);
    EXPECT_EQ(parts[2], c.col);
}

INSTANTIATE_TEST_SUITE_P(SparseArray, KeyParts,
                         ::testing::Values(SplitCase{12, 3, "12,3"}, SplitCase{3, 12, "3,12"},
                                           SplitCase{0, 0, "0,0"}, SplitCase{-1, 4, "-1,4"},
                                           SplitCase{5, -20, "5,-20"},
                                           SplitCase{std::numeric_limits<int32_t>::max(),
                                                     std::numeric_limits<int32_t>::min(),
                                                     "2147483647,-2147483648"}));

// The source of the copy tests: cells "0,2", "1,0", "1,2", "0,3" in this cell
// order, but with a history that leaves its count stores in another order
// (column 2 before 0) and with entries at 0 from a removed cell (4,4).
SparseArray copySource() {
    SparseArray s;
    s.sValue(4, 4, QStringLiteral("x"));
    s.sValue(1, 2, QStringLiteral("1"));
    s.sValue(0, 2, QStringLiteral("S1"));
    s.sValue(1, 0, QStringLiteral("A"));
    s.sValue(1, 2, QStringLiteral("1"));
    s.sValue(0, 3, QStringLiteral("S2"));
    s.sValue(4, 4, QStringLiteral("0"));
    return s;
}

TEST(SparseArrayEquals, CopiesCellsInOrderAndRebuildsTheCountsCellByCell) {
    const SparseArray source = copySource();
    // The source as its writes left it (worked by hand).
    ASSERT_EQ(source.sKeys(), (QStringList{"0,2", "1,0", "1,2", "0,3"}));
    ASSERT_EQ(counts(source.RowCount()), (Counts{{1, 2}, {0, 2}, {4, 0}}));
    ASSERT_EQ(counts(source.ColCount()), (Counts{{2, 2}, {0, 1}, {3, 1}, {4, 0}}));

    SparseArray copy;
    copy.sValue(9, 9, QStringLiteral("old"));
    copy.sValue(0, 2, QStringLiteral("old"));
    copy.Equals(source);

    EXPECT_EQ(copy.sKeys(), (QStringList{"0,2", "1,0", "1,2", "0,3"}));
    EXPECT_EQ(counts(copy.RowCount()), (Counts{{1, 2}, {0, 2}}));
    EXPECT_EQ(counts(copy.ColCount()), (Counts{{0, 1}, {2, 2}, {3, 1}}));
    EXPECT_EQ(copy.sValue(0, 2), QStringLiteral("S1"));
    EXPECT_EQ(copy.sValue(1, 0), QStringLiteral("A"));
    EXPECT_EQ(copy.sValue(1, 2), QStringLiteral("1"));
    EXPECT_EQ(copy.sValue(0, 3), QStringLiteral("S2"));
    EXPECT_EQ(copy.sValue(9, 9), QStringLiteral("0"));
    EXPECT_EQ(copy.Rows(), 1);
    EXPECT_EQ(copy.Cols(), 3);
}

TEST(SparseArrayEquals, TheCopyIsIndependentOfItsSource) {
    SparseArray source = copySource();
    SparseArray copy;
    copy.Equals(source);
    copy.sValue(1, 2, QStringLiteral("0"));
    source.sValue(0, 3, QStringLiteral("changed"));
    EXPECT_EQ(source.sValue(1, 2), QStringLiteral("1"));
    EXPECT_EQ(copy.sValue(0, 3), QStringLiteral("S2"));
    EXPECT_EQ(counts(source.RowCount()), (Counts{{1, 2}, {0, 2}, {4, 0}}));
}

TEST(SparseArrayEquals, OfAnEmptyMatrixEmptiesTheCopy) {
    SparseArray copy = copySource();
    copy.Equals(SparseArray());
    EXPECT_TRUE(copy.sKeys().isEmpty());
    EXPECT_EQ(copy.RowCount().Count(), 0u);
    EXPECT_EQ(copy.ColCount().Count(), 0u);
}

// Copying a matrix onto itself keeps its cells (emptying it first would lose
// them) and leaves the counts as a copy has them.
TEST(SparseArrayEquals, OntoItselfKeepsTheCells) {
    SparseArray m = copySource();
    m.Equals(m);
    EXPECT_EQ(m.sKeys(), (QStringList{"0,2", "1,0", "1,2", "0,3"}));
    EXPECT_EQ(counts(m.RowCount()), (Counts{{1, 2}, {0, 2}}));
    EXPECT_EQ(counts(m.ColCount()), (Counts{{0, 1}, {2, 2}, {3, 1}}));
    EXPECT_EQ(m.sValue(0, 3), QStringLiteral("S2"));
}

// The write and copy rules carried out literally on plain lists (key texts,
// counts as row/column and number), as an independent model of the store.
struct ModelStore {
    std::vector<std::pair<std::string, std::string>> cells;
    Counts rows;
    Counts cols;

    static void bump(Counts& store, int32_t key, int32_t delta) {
        int32_t count = 0;
        const auto it = std::find_if(store.begin(), store.end(), [&](const auto& e) { return e.first == key; });
        if (it != store.end()) {
            count = it->second;
            store.erase(it);
        }
        store.emplace_back(key, count + delta);
    }

    void write(int32_t row, int32_t col, const std::string& text) {
        const std::string key = std::to_string(row) + "," + std::to_string(col);
        const auto it = std::find_if(cells.begin(), cells.end(), [&](const auto& e) { return e.first == key; });
        if (it != cells.end()) {
            cells.erase(it);
            if (text != "0") {
                cells.emplace_back(key, text);
            } else {
                bump(rows, row, -1);
                bump(cols, col, -1);
            }
        } else if (text != "0") {
            cells.emplace_back(key, text);
            bump(rows, row, +1);
            bump(cols, col, +1);
        }
    }

    // The copy: cells in order, each counted under its row, then its column.
    ModelStore copy() const {
        ModelStore out;
        for (const auto& [key, text] : cells) {
            out.cells.emplace_back(key, text);
            const auto comma = key.find(',');
            bump(out.rows, std::stoi(key.substr(0, comma)), +1);
            bump(out.cols, std::stoi(key.substr(comma + 1)), +1);
        }
        return out;
    }

    int32_t largest(bool row) const {
        int32_t largest = 0;
        for (const auto& [key, text] : cells) {
            const auto comma = key.find(',');
            const int32_t n = std::stoi(row ? key.substr(0, comma) : key.substr(comma + 1));
            if (n > largest)
                largest = n;
        }
        return largest;
    }
};

void expectSameAsModel(const SparseArray& m, const ModelStore& model) {
    QStringList keys;
    for (const auto& [key, text] : model.cells) {
        keys.append(QString::fromStdString(key));
        const QString k = QString::fromStdString(key);
        const auto parts = m.RowColumn(k);
        ASSERT_EQ(m.sValue(parts[1], parts[2]), QString::fromStdString(text)) << key;
    }
    ASSERT_EQ(m.sKeys(), keys);
    ASSERT_EQ(counts(m.RowCount()), model.rows);
    ASSERT_EQ(counts(m.ColCount()), model.cols);
    ASSERT_EQ(m.Rows(), model.largest(true));
    ASSERT_EQ(m.Cols(), model.largest(false));
}

// Long random runs of every kind of write (new cells, rewrites with the same
// or another text, "0" on stored and absent cells, negative numbers), with
// the whole state compared after each write and after a copy.
TEST(SparseArray, RandomWritesAndCopiesFollowTheRules) {
    const char* texts[] = {"0", "0", "1", "1", "x", " 0", "", "00"};
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        std::uniform_int_distribution<int32_t> number(-2, 6);
        std::uniform_int_distribution<int> text(0, 7);
        SparseArray m;
        ModelStore model;
        for (int step = 0; step < 600; ++step) {
            const int32_t row = number(random);
            const int32_t col = number(random);
            const char* t = texts[text(random)];
            m.sValue(row, col, QString::fromLatin1(t));
            model.write(row, col, t);
            ASSERT_NO_FATAL_FAILURE(expectSameAsModel(m, model)) << "after write " << step;
            if (step % 150 == 149) {
                SparseArray copy;
                copy.sValue(9, 9, QStringLiteral("old"));
                copy.Equals(m);
                ASSERT_NO_FATAL_FAILURE(expectSameAsModel(copy, model.copy())) << "copy after " << step;
            }
        }
    }
}

} // namespace
