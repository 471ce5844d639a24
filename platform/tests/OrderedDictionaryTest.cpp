// The keyed store: exact keys, insertion order, re-added entries at the end,
// independent copies, errors on missing or duplicate keys.

#include "platform/OrderedDictionary.h"

#include <QHashFunctions>
#include <QString>
#include <gtest/gtest.h>
#include <iterator>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

using platform::OrderedDictionary;

template <typename Key, typename Value>
std::vector<std::pair<Key, Value>> entries(const OrderedDictionary<Key, Value>& d) {
    std::vector<std::pair<Key, Value>> out;
    for (const auto& [key, value] : d)
        out.emplace_back(key, value);
    return out;
}

using IntEntries = std::vector<std::pair<int32_t, int32_t>>;

// One operation on a store of integer keys.
struct Step {
    enum Kind { Add, Remove, Set, MoveToEnd, RemoveIfPresent } kind;
    int32_t key;
    int32_t value;
};

struct OrderCase {
    const char* name;
    std::vector<Step> steps;
    IntEntries expected;
};

class OrderRules : public ::testing::TestWithParam<OrderCase> {};

TEST_P(OrderRules, EnumeratesInTheOrderTheRulesGive) {
    OrderedDictionary<int32_t, int32_t> d;
    for (const Step& s : GetParam().steps) {
        switch (s.kind) {
        case Step::Add: d.Add(s.key, s.value); break;
        case Step::Remove: d.Remove(s.key); break;
        case Step::Set: d.SetItem(s.key, s.value); break;
        case Step::MoveToEnd: d.MoveToEnd(s.key, s.value); break;
        case Step::RemoveIfPresent: d.RemoveIfPresent(s.key); break;
        }
    }
    EXPECT_EQ(entries(d), GetParam().expected);
    EXPECT_EQ(d.Count(), GetParam().expected.size());
}

INSTANTIATE_TEST_SUITE_P(
    Dictionary, OrderRules,
    ::testing::Values(
        OrderCase{"InsertionOrderNotKeyOrder",
                  {{Step::Add, 5, 50}, {Step::Add, -1, 10}, {Step::Add, 3, 30}},
                  {{5, 50}, {-1, 10}, {3, 30}}},
        OrderCase{"RemovedAndAddedAgainGoesToTheEnd",
                  {{Step::Add, 1, 1}, {Step::Add, 2, 2}, {Step::Add, 3, 3}, {Step::Remove, 1, 0},
                   {Step::Add, 1, 9}},
                  {{2, 2}, {3, 3}, {1, 9}}},
        OrderCase{"SettingAnExistingKeyKeepsItsPlace",
                  {{Step::Add, 1, 1}, {Step::Add, 2, 2}, {Step::Set, 1, 7}},
                  {{1, 7}, {2, 2}}},
        OrderCase{"SettingAMissingKeyAppends",
                  {{Step::Add, 1, 1}, {Step::Set, 4, 4}},
                  {{1, 1}, {4, 4}}},
        OrderCase{"RemovingTheLastEntryLeavesAnEmptyStore",
                  {{Step::Add, 1, 1}, {Step::Remove, 1, 0}},
                  {}},
        // Moving to the end is removing and adding again with the new value.
        OrderCase{"MovingAPresentKeyPutsItLastWithItsNewValue",
                  {{Step::Add, 1, 1}, {Step::Add, 2, 2}, {Step::Add, 3, 3}, {Step::MoveToEnd, 1, 8}},
                  {{2, 2}, {3, 3}, {1, 8}}},
        OrderCase{"MovingTheLastKeyKeepsItLast",
                  {{Step::Add, 1, 1}, {Step::Add, 2, 2}, {Step::MoveToEnd, 2, 5}},
                  {{1, 1}, {2, 5}}},
        OrderCase{"MovingAMissingKeyAppends",
                  {{Step::Add, 1, 1}, {Step::MoveToEnd, 7, 7}},
                  {{1, 1}, {7, 7}}},
        OrderCase{"RemovingIfPresentRemovesOrDoesNothing",
                  {{Step::Add, 1, 1}, {Step::Add, 2, 2}, {Step::RemoveIfPresent, 1, 0},
                   {Step::RemoveIfPresent, 9, 0}},
                  {{2, 2}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Dictionary, TextKeysAreComparedExactly) {
    OrderedDictionary<QString, int> d;
    d.Add(QStringLiteral("A"), 1);
    d.Add(QStringLiteral("a"), 2);
    d.Add(QStringLiteral("a "), 3);
    d.Add(QStringLiteral(""), 4);
    EXPECT_EQ(d.Count(), 4u);
    EXPECT_EQ(d.Item(QStringLiteral("A")), 1);
    EXPECT_EQ(d.Item(QStringLiteral("a")), 2);
    EXPECT_EQ(d.Item(QStringLiteral("a ")), 3);
    EXPECT_EQ(d.Item(QString()), 4);
    EXPECT_FALSE(d.Exists(QStringLiteral(" a")));
    EXPECT_EQ(d.Find(QStringLiteral("B")), nullptr);
}

TEST(Dictionary, MissingAndDuplicateKeysAreErrors) {
    OrderedDictionary<int32_t, int32_t> d;
    d.Add(1, 10);
    EXPECT_THROW(d.Add(1, 11), std::invalid_argument);
    EXPECT_EQ(d.Item(1), 10);
    EXPECT_THROW((void)d.Item(2), std::out_of_range);
    EXPECT_THROW(d.Remove(2), std::out_of_range);
    EXPECT_EQ(d.Count(), 1u);
    EXPECT_TRUE(d.MoveToEnd(2, 20));
    EXPECT_FALSE(d.MoveToEnd(2, 21));
    EXPECT_TRUE(d.RemoveIfPresent(1));
    EXPECT_FALSE(d.RemoveIfPresent(1));
    EXPECT_EQ(entries(d), (IntEntries{{2, 21}}));
}

TEST(Dictionary, CopiesAreIndependentAndKeepTheOrder) {
    OrderedDictionary<QString, int> original;
    original.Add(QStringLiteral("x"), 1);
    original.Add(QStringLiteral("y"), 2);
    OrderedDictionary<QString, int> copy(original);
    copy.Remove(QStringLiteral("x"));
    copy.Add(QStringLiteral("x"), 3);
    copy.SetItem(QStringLiteral("y"), 4);
    original.Add(QStringLiteral("z"), 5);

    using E = std::vector<std::pair<QString, int>>;
    EXPECT_EQ(entries(original), (E{{"x", 1}, {"y", 2}, {"z", 5}}));
    EXPECT_EQ(entries(copy), (E{{"y", 4}, {"x", 3}}));
    // The copy's index points into its own entries: removing works there.
    copy.Remove(QStringLiteral("y"));
    EXPECT_EQ(entries(copy), (E{{"x", 3}}));

    OrderedDictionary<QString, int> assigned;
    assigned.Add(QStringLiteral("old"), 0);
    assigned = original;
    original.RemoveAll();
    EXPECT_EQ(entries(assigned), (E{{"x", 1}, {"y", 2}, {"z", 5}}));
    EXPECT_EQ(original.Count(), 0u);
    const auto& same = assigned;
    assigned = same;
    EXPECT_EQ(assigned.Count(), 3u);
}

// The index holds iterators into the entries: a moved store must find, move
// and remove its entries, and the store moved from must be empty and usable.
TEST(Dictionary, MovesKeepTheIndexValid) {
    OrderedDictionary<int32_t, int32_t> source;
    for (int32_t k = 1; k <= 4; ++k)
        source.Add(k, 10 * k);
    OrderedDictionary<int32_t, int32_t> moved(std::move(source));
    moved.MoveToEnd(1, 11);
    moved.Remove(3);
    EXPECT_EQ(entries(moved), (IntEntries{{2, 20}, {4, 40}, {1, 11}}));
    EXPECT_EQ(source.Count(), 0u);
    EXPECT_FALSE(source.Exists(1));
    source.Add(1, 5);
    EXPECT_EQ(entries(source), (IntEntries{{1, 5}}));

    OrderedDictionary<int32_t, int32_t> assigned;
    assigned.Add(9, 9);
    assigned = std::move(moved);
    EXPECT_FALSE(assigned.Exists(9));
    assigned.Remove(2);
    EXPECT_EQ(entries(assigned), (IntEntries{{4, 40}, {1, 11}}));
    EXPECT_EQ(moved.Count(), 0u);
    moved.Add(3, 3);
    EXPECT_EQ(entries(moved), (IntEntries{{3, 3}}));

    auto& alias = assigned;
    assigned = std::move(alias);
    EXPECT_EQ(entries(assigned), (IntEntries{{4, 40}, {1, 11}}));
    assigned.Remove(4);
    EXPECT_EQ(entries(assigned), (IntEntries{{1, 11}}));
}

// Callers pass keys read from the store itself (enumerating, then removing
// or moving what they found); the store must not read a key it has freed.
TEST(Dictionary, KeysTakenFromTheStoreItselfCanRemoveAndMoveTheirEntry) {
    OrderedDictionary<QString, int> d;
    d.Add(QStringLiteral("first key, long enough to live on the heap"), 1);
    d.Add(QStringLiteral("second"), 2);
    d.Add(QStringLiteral("third"), 3);
    d.MoveToEnd(d.begin()->first, 10);
    d.Remove(d.begin()->first);
    EXPECT_FALSE(d.RemoveIfPresent(QStringLiteral("second")));
    using E = std::vector<std::pair<QString, int>>;
    EXPECT_EQ(entries(d), (E{{"third", 3}, {"first key, long enough to live on the heap", 10}}));
    EXPECT_TRUE(d.RemoveIfPresent(std::next(d.begin())->first));
    EXPECT_EQ(entries(d), (E{{"third", 3}}));
}

// A key whose copies fail once a shared budget is spent, to fail an Add or a
// copy half way: the store is stored in two places (the entries and the index).
struct FragileKey {
    int32_t id = 0;
    int* budget = nullptr;
    FragileKey(int32_t i, int* b) : id(i), budget(b) {}
    FragileKey(const FragileKey& other) : id(other.id), budget(other.budget) {
        if (budget && (*budget)-- <= 0)
            throw std::bad_alloc();
    }
    FragileKey& operator=(const FragileKey&) = delete;
    bool operator==(const FragileKey& other) const { return id == other.id; }
};

struct FragileKeyHash {
    std::size_t operator()(const FragileKey& key) const { return std::hash<int32_t>()(key.id); }
};

using FragileStore = OrderedDictionary<FragileKey, int32_t, FragileKeyHash>;

std::vector<int32_t> ids(const FragileStore& d) {
    std::vector<int32_t> out;
    for (const auto& entry : d)
        out.push_back(entry.first.id);
    return out;
}

// Each key is copied twice by an Add; a failure at either copy leaves the
// store as it was, so the key can be added later and is listed once.
TEST(Dictionary, AFailedAddChangesNothing) {
    for (int copiesAllowed : {0, 1}) {
        SCOPED_TRACE(copiesAllowed);
        int budget = 1000;
        FragileStore d;
        d.Add(FragileKey(1, &budget), 1);
        budget = copiesAllowed;
        EXPECT_THROW(d.Add(FragileKey(2, &budget), 2), std::bad_alloc);
        EXPECT_EQ(d.Count(), 1u);
        EXPECT_FALSE(d.Exists(FragileKey(2, nullptr)));
        EXPECT_EQ(ids(d), (std::vector<int32_t>{1}));
        budget = 1000;
        d.Add(FragileKey(2, &budget), 2);
        EXPECT_EQ(ids(d), (std::vector<int32_t>{1, 2}));
    }
}

TEST(Dictionary, AFailedAssignmentKeepsTheOldEntries) {
    int budget = 1000;
    FragileStore source;
    for (int32_t k = 1; k <= 3; ++k)
        source.Add(FragileKey(k, &budget), k);
    FragileStore target;
    target.Add(FragileKey(7, &budget), 7);
    budget = 3; // enough for one and a half entries
    EXPECT_THROW(target = source, std::bad_alloc);
    EXPECT_EQ(ids(target), (std::vector<int32_t>{7}));
    EXPECT_EQ(ids(source), (std::vector<int32_t>{1, 2, 3}));
}

} // namespace
