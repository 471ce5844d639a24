// The cell store of the matrix against the program's plain keyed store, which
// follows the same order rules (insertion order; a key removed or rewritten
// goes to the end) by a list and a hash map. Long random runs with enough
// keys to grow the per-row indexes, empty rows out, and leave enough holes
// behind rewritten keys for them to be closed up.

#include "analysis/CellStore.h"
#include "platform/OrderedDictionary.h"

#include <QString>
#include <gtest/gtest.h>
#include <memory_resource>
#include <new>
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

// Holes are closed up as the store goes, whatever mix of moves and removals
// makes them: beyond its first block the store never holds more holes than
// entries.
TEST(CellStore, HolesNeverOutnumberTheEntries) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> row(0, 39);
    std::uniform_int_distribution<int32_t> col(0, 49);
    std::uniform_int_distribution<int> kind(0, 2);
    CellStore store;
    Reference reference;
    std::size_t mostHoles = 0;
    for (int step = 1; step <= 60000; ++step) {
        const CellStore::Key key = keyOf(row(random), col(random));
        if (kind(random) == 0) {
            EXPECT_EQ(store.RemoveIfPresent(key), reference.RemoveIfPresent(key));
        } else {
            EXPECT_EQ(store.MoveToEnd(key, QStringLiteral("1")), reference.MoveToEnd(key, QStringLiteral("1")));
        }
        if (store.Count() + store.Holes() > CellStore::BlockSize) {
            ASSERT_LE(store.Holes(), store.Count()) << step;
        }
        mostHoles = std::max(mostHoles, store.Holes());
    }
    // The run did make holes enough to close.
    EXPECT_GT(mostHoles, CellStore::BlockSize);
    ASSERT_NO_FATAL_FAILURE(expectSame(store, reference, 0, 49));
}

// Memory that runs out at the n-th allocation after failAt(n); otherwise it
// passes every request on to the heap.
class FailingMemory : public std::pmr::memory_resource {
public:
    void failAt(int n) { countdown_ = n; }
    void never() { countdown_ = 0; }

private:
    void* do_allocate(std::size_t bytes, std::size_t alignment) override {
        if (countdown_ > 0 && --countdown_ == 0)
            throw std::bad_alloc();
        return std::pmr::new_delete_resource()->allocate(bytes, alignment);
    }
    void do_deallocate(void* p, std::size_t bytes, std::size_t alignment) override {
        std::pmr::new_delete_resource()->deallocate(p, bytes, alignment);
    }
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }

    int countdown_ = 0;
};

// A step towards a store's state: a text moved to the end, or (no text) a
// removal.
struct Step {
    CellStore::Key key;
    const char* text;
};
using Steps = std::vector<Step>;

void play(const Steps& steps, CellStore& store, Reference& reference) {
    for (const Step& step : steps) {
        if (step.text) {
            store.MoveToEnd(step.key, QString::fromLatin1(step.text));
            reference.MoveToEnd(step.key, QString::fromLatin1(step.text));
        } else {
            store.RemoveIfPresent(step.key);
            reference.RemoveIfPresent(step.key);
        }
    }
}

// Rows 0 to rows - 1 with the columns 0 to cols - 1, row by row.
Steps filled(int32_t rows, int32_t cols) {
    Steps steps;
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < cols; ++c)
            steps.push_back({keyOf(r, c), "1"});
    return steps;
}

// Every cell of filled(rows, cols) written again in turn: as many holes as
// entries, one more and they are closed up.
Steps filledAndRewritten(int32_t rows, int32_t cols) {
    Steps steps = filled(rows, cols);
    const Steps again = filled(rows, cols);
    steps.insert(steps.end(), again.begin(), again.end());
    return steps;
}

enum class Operation { Move, Remove, Assign };

struct FailureCase {
    const char* name;
    Steps before;       // the state of the store that the operation meets
    Operation operation;
    Step step;          // the key and text of a move or a removal
    Steps source;       // what an assignment copies
};

class CellStoreOutOfMemory : public ::testing::TestWithParam<FailureCase> {};

// Fails the operation at its first allocation, then at its second, and so on
// until it needs no more: each failure leaves the same entries in the same
// order, every look-up (the failed key's row too) answers as before, and the
// operation then succeeds when tried again.
TEST_P(CellStoreOutOfMemory, FailsBeforeItChangesAnything) {
    const FailureCase& test = GetParam();
    FailingMemory memory;
    CellStore source;
    Reference sourceReference;
    play(test.source, source, sourceReference);
    const auto run = [&](CellStore& store, Reference& reference) {
        switch (test.operation) {
        case Operation::Move:
            EXPECT_EQ(store.MoveToEnd(test.step.key, QString::fromLatin1(test.step.text)),
                      reference.MoveToEnd(test.step.key, QString::fromLatin1(test.step.text)));
            break;
        case Operation::Remove:
            EXPECT_EQ(store.RemoveIfPresent(test.step.key), reference.RemoveIfPresent(test.step.key));
            break;
        case Operation::Assign:
            store = source;
            reference = sourceReference;
            break;
        }
    };
    int failures = 0;
    for (int n = 1;; ++n) {
        SCOPED_TRACE(n);
        ASSERT_LE(n, 64) << "the operation never stops allocating";
        CellStore store(&memory);
        Reference reference;
        play(test.before, store, reference);
        memory.failAt(n);
        Reference expected = reference;
        bool failed = false;
        try {
            run(store, expected);
        } catch (const std::bad_alloc&) {
            failed = true;
        }
        memory.never();
        if (!failed) {
            ASSERT_NO_FATAL_FAILURE(expectSame(store, expected, -1, 52));
            break;
        }
        ++failures;
        ASSERT_NO_FATAL_FAILURE(expectSame(store, reference, -1, 52));
        run(store, reference);
        ASSERT_NO_FATAL_FAILURE(expectSame(store, reference, -1, 52));
    }
    if (test.operation != Operation::Remove) {
        EXPECT_GT(failures, 0) << "the operation allocated nothing";
    }
}

INSTANTIATE_TEST_SUITE_P(
    CellStore, CellStoreOutOfMemory,
    ::testing::Values(FailureCase{"CellInANewRow", filled(4, 4), Operation::Move, {keyOf(9, 0), "x"}, {}},
                      FailureCase{"CellPastARowsIndexSize", filled(3, 4), Operation::Move, {keyOf(2, 50), "x"}, {}},
                      FailureCase{"NewRowInANewBlock", filled(8, 32), Operation::Move, {keyOf(20, 7), "x"}, {}},
                      FailureCase{"MoveToEndIntoANewBlock", filled(8, 32), Operation::Move, {keyOf(3, 0), "x"}, {}},
                      FailureCase{"MoveToEndClosingHoles", filledAndRewritten(8, 32), Operation::Move,
                                  {keyOf(0, 0), "x"}, {}},
                      FailureCase{"RemoveClosingHoles", filledAndRewritten(8, 40), Operation::Remove,
                                  {keyOf(5, 5), nullptr}, {}},
                      FailureCase{"RemoveTheLastCellOfARow", filled(3, 1), Operation::Remove, {keyOf(1, 0), nullptr},
                                  {}},
                      FailureCase{"Copy", filled(3, 3), Operation::Assign, {}, filledAndRewritten(9, 40)}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
