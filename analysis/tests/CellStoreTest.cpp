// The cell store of the matrix against the program's plain keyed store, which
// follows the same order rules (insertion order; a key removed or rewritten
// goes to the end) by a list and a hash map. Long random runs with enough
// keys to grow the per-row indexes, empty rows out, and leave enough holes
// behind rewritten keys for them to be closed up.

#include "analysis/CellStore.h"
#include "platform/OrderedDictionary.h"

#include <QString>
#include <gtest/gtest.h>
#include <random>
#include <utility>
#include <vector>

namespace {

using Reference = platform::OrderedDictionary<CellStore::Key, QString>;
using Entries = std::vector<std::pair<CellStore::Key, QString>>;

CellStore::Key keyOf(int32_t row, int32_t col) {
    return (CellStore::Key(uint32_t(row)) << 32) | uint32_t(col);
}

Entries entriesOf(const CellStore& store) {
    Entries out;
    store.forEach([&out](CellStore::Key key, const QString& text) { out.emplace_back(key, text); });
    return out;
}

Entries entriesOf(const Reference& store) {
    Entries out;
    for (const auto& [key, text] : store)
        out.emplace_back(key, text);
    return out;
}

void expectSame(const CellStore& store, const Reference& reference, int32_t lowest, int32_t highest) {
    ASSERT_EQ(store.Count(), reference.Count());
    ASSERT_EQ(entriesOf(store), entriesOf(reference));
    for (int32_t row = lowest; row <= highest; ++row) {
        for (int32_t col = lowest; col <= highest; ++col) {
            const QString* text = store.Find(keyOf(row, col));
            const QString* expected = reference.Find(keyOf(row, col));
            ASSERT_EQ(text != nullptr, expected != nullptr) << row << "," << col;
            if (text) {
                ASSERT_EQ(*text, *expected) << row << "," << col;
            }
        }
    }
}

struct RunCase {
    const char* name;
    int32_t lowest;
    int32_t highest;
    int removeOneIn; // one operation in this many removes a key
};

class CellStoreRuns : public ::testing::TestWithParam<RunCase> {};

TEST_P(CellStoreRuns, KeepTheOrderAndTextsOfThePlainStore) {
    const RunCase& run = GetParam();
    for (uint32_t seed = 1; seed <= 3; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        std::uniform_int_distribution<int32_t> number(run.lowest, run.highest);
        std::uniform_int_distribution<int> kind(0, run.removeOneIn - 1);
        std::uniform_int_distribution<int> text(0, 3);
        const QString texts[] = {QStringLiteral("1"), QStringLiteral("x"), QString(), QStringLiteral(" 1")};
        CellStore store;
        Reference reference;
        for (int step = 1; step <= 20000; ++step) {
            const CellStore::Key key = keyOf(number(random), number(random));
            if (kind(random) == 0) {
                EXPECT_EQ(store.RemoveIfPresent(key), reference.RemoveIfPresent(key));
            } else {
                const QString& t = texts[text(random)];
                EXPECT_EQ(store.MoveToEnd(key, t), reference.MoveToEnd(key, t));
            }
            if (step % 2500 == 0) {
                ASSERT_NO_FATAL_FAILURE(expectSame(store, reference, run.lowest, run.highest)) << step;
                const CellStore copy(store);
                ASSERT_NO_FATAL_FAILURE(expectSame(copy, reference, run.lowest, run.highest)) << step;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(CellStore, CellStoreRuns,
                         ::testing::Values(RunCase{"ManyKeysFewRemovals", -3, 60, 10},
                                           RunCase{"FewKeysManyRewrites", -1, 6, 4},
                                           RunCase{"RowsFillAndEmpty", 0, 30, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

// What the Run's validation does: every cell written again in turn, in
// order. The holes this leaves are closed up on the way, and the order comes
// round to where it began.
TEST(CellStore, RewritingEveryCellInTurnKeepsTheOrder) {
    CellStore store;
    for (int32_t row = 0; row < 40; ++row)
        for (int32_t col = 39; col >= 0; --col)
            store.MoveToEnd(keyOf(row, col), QString::number(row * 100 + col));
    const Entries before = entriesOf(store);
    for (int round = 0; round < 3; ++round)
        for (const auto& [key, text] : before)
            EXPECT_FALSE(store.MoveToEnd(key, text));
    EXPECT_EQ(entriesOf(store), before);
}

TEST(CellStore, RemovingTheLastCellLeavesAnEmptyStoreThatWorks) {
    CellStore store;
    store.MoveToEnd(keyOf(5, 5), QStringLiteral("a"));
    EXPECT_TRUE(store.RemoveIfPresent(keyOf(5, 5)));
    EXPECT_FALSE(store.RemoveIfPresent(keyOf(5, 5)));
    EXPECT_EQ(store.Count(), 0u);
    EXPECT_EQ(store.Find(keyOf(5, 5)), nullptr);
    EXPECT_TRUE(store.MoveToEnd(keyOf(5, 5), QStringLiteral("b")));
    EXPECT_EQ(entriesOf(store), (Entries{{keyOf(5, 5), QStringLiteral("b")}}));
}

} // namespace
