// The keyed store: exact keys, insertion order, re-added entries at the end,
// independent copies, errors on missing or duplicate keys.

#include "platform/OrderedDictionary.h"

#include <QHashFunctions>
#include <QString>
#include <gtest/gtest.h>
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
    enum Kind { Add, Remove, Set } kind;
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
                  {}}),
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

} // namespace
