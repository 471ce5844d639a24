// Loading the site types: which strings are recorded, in which order, with
// which values, and the pool-fraction estimate with its draws.

#include "nullmodel/QuorlanCore.h"
#include "nullmodel/fuzz/ScriptedDistribution.h"
#include "nullmodel/tests/LoadedTypes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using quorlan::ModuleState;
using quorlan::ScriptedDistribution;

ModuleState load(const std::vector<std::string>& strings, ScriptedDistribution& distribution, int32_t Seed = 1) {
    return quorlan::loadTypes(strings, distribution, Seed);
}

ModuleState load(const std::vector<std::string>& strings) {
    ScriptedDistribution distribution;
    return load(strings, distribution);
}

// ---- Entries ----

TEST(EntryValue, DecimalIntegersOfThirtyTwoBitsElseZero) {
    struct Case {
        const char* text;
        int32_t value;
    } cases[] = {{"0", 0},          {"7", 7},          {"12", 12},         {"007", 7},      {"-3", -3},
                 {"+4", 4},         {"", 0},           {"-", 0},           {"1a", 0},       {"a1", 0},
                 {" 1", 0},         {"1.0", 0},        {"2147483647", 2147483647},          {"-2147483648", INT32_MIN},
                 {"2147483648", 0}, {"-2147483649", 0}, {"123456789012345678901234567890", 0}, {"\x01", 0},
                 {"\xff", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(quorlan::EntryValue(c.text), c.value) << c.text;
}

// ---- Recording ----

TEST(LoadData, NothingToLoad) {
    const ModuleState state = load({});
    EXPECT_EQ(state.TypeCount, 0);
    EXPECT_TRUE(state.TypeStrings.empty());
    EXPECT_EQ(state.TypeFrequency.Count(), 0u);
    EXPECT_EQ(state.TypePoolFraction.Count(), 0u);
}

TEST(LoadData, SkipsStringsThatTellNothing) {
    const std::vector<std::vector<std::string>> skipped{
        {"()"}, {"(1)"}, {"(0,1)"}, {"(2,1,0)"}, {"(" + std::string(41, ',') + ")"},
        // Certain profiles: m = n, m = 1, m = n - 1.
        {"(4,0,0,0)"}, {"(0,0,0,1)"}, {"(2,1,0,0)"}, {"(4,0,0,0)", "(0,0,0,1)", "(2,1,0,0)", "(4,0,0,0)"},
        // Counts that LogCoeff can't take: negative, beyond the table, unreadable.
        {"(-1,2,1,0)"}, {"(0,5,0,0)"}, {"(0,99999999999999999999999999999,0,0)"}, {""}};
    for (const auto& strings : skipped) {
        ScriptedDistribution distribution;
        const ModuleState state = load(strings, distribution);
        EXPECT_EQ(state.TypeCount, 0) << strings[0];
        EXPECT_EQ(state.TypeFrequency.Count(), 0u) << strings[0];
        EXPECT_EQ(distribution.draws, 0) << strings[0];
    }
}

// m = n and m = 1 give exactly 0; m = n - 1 (one pair) carries rounding and is
// decided as computed, so only its smallest case is fixed, in the list above.
TEST(LoadData, CertainProfilesAreIgnoredForEveryN) {
    for (int32_t n = 4; n <= 41; ++n) {
        std::vector<std::string> entries(static_cast<std::size_t>(n), "0");
        auto typeString = [&] {
            std::string s = "(";
            for (std::size_t i = 0; i < entries.size(); ++i)
                s += (i ? "," : "") + entries[i];
            return s + ")";
        };
        entries[0] = std::to_string(n); // m = n
        const std::string allSingle = typeString();
        entries[0] = entries[1]; // "0" again
        entries.back() = std::string(1, '1'); // m = 1
        const std::string oneGuild = typeString();
        const ModuleState state = load({allSingle, oneGuild});
        EXPECT_EQ(state.TypeCount, 0) << n;
    }
}

TEST(LoadData, TwoPairsOfFour) {
    ScriptedDistribution distribution;
    const ModuleState state = load({"(0,2,0,0)"}, distribution);
    ASSERT_EQ(state.TypeCount, 1);
    const std::string key = "(0,2,0,0)";
    EXPECT_EQ(state.TypeStrings, std::vector<std::string>{key});
    EXPECT_EQ(state.TypeFrequency.Item(key), 1);
    EXPECT_EQ(state.TypeSpecies.Item(key), 4);
    EXPECT_EQ(state.TypeGuilds.Item(key), 2);
    EXPECT_EQ(state.TypeScore.Item(key), 8);
    // The root 2/3 lies beyond 1/(n - 1): of the whole pools 1/2 and 1/3,
    // L(1/2) = 3 ln(1/2) beats L(1/3) = 2 ln(1/3) + ln(2/3).
    EXPECT_EQ(state.TypePoolFraction.Item(key), 0.5);
    EXPECT_EQ(distribution.seedings, 1);
    EXPECT_EQ(distribution.lastSeed, 1);
}

TEST(LoadData, TenEqualStringsAreOneTypeWithOneEstimate) {
    ScriptedDistribution distribution({0.5}); // one start suffices for (4, 2)
    const ModuleState state = load(std::vector<std::string>(10, "(0,2,0,0)"), distribution);
    ASSERT_EQ(state.TypeCount, 1);
    EXPECT_EQ(state.TypeFrequency.Item("(0,2,0,0)"), 10);
    EXPECT_EQ(distribution.draws, 1);
}

TEST(LoadData, TypesInFirstMetOrder) {
    const ModuleState state = load({"(0,2,0,0)", "(1,0,1,0)", "()", "(0,2,0,0)", "(0,0,0,1)"});
    ASSERT_EQ(state.TypeCount, 2);
    EXPECT_EQ(state.TypeStrings, (std::vector<std::string>{"(0,2,0,0)", "(1,0,1,0)"}));
    EXPECT_EQ(state.TypeFrequency.Item("(0,2,0,0)"), 2);
    EXPECT_EQ(state.TypeFrequency.Item("(1,0,1,0)"), 1);
    EXPECT_EQ(state.TypeScore.Item("(1,0,1,0)"), 10);
    // Every collection holds exactly the recorded keys, in that order.
    std::vector<std::string> keys;
    for (const auto& entry : state.TypeSpecies)
        keys.push_back(entry.first);
    EXPECT_EQ(keys, state.TypeStrings);
}

TEST(LoadData, FortyOneSpeciesAreTheMost) {
    // One guild of 40 species and one of a single species: 40 commas, n = 41,
    // m = 2, S = 1 + 40^2; lp = ln 41 - ln S(41, 2) = ln 41 - ln(2^40 - 1) < 0.
    // The same profile written with one entry more has 41 commas: skipped.
    std::string entries40 = "1";
    for (int i = 2; i <= 41; ++i)
        entries40 += i == 40 ? ",1" : ",0";
    const std::string fortyOne = "(" + entries40 + ")";
    const std::string fortyTwo = "(" + entries40 + ",0)";
    ScriptedDistribution distribution;
    const ModuleState state = load({fortyTwo, fortyOne, fortyTwo}, distribution);
    EXPECT_EQ(state.MaxSpecies, 41);
    ASSERT_EQ(state.TypeStrings, std::vector<std::string>{fortyOne});
    EXPECT_EQ(state.TypeSpecies.Item(fortyOne), 41);
    EXPECT_EQ(state.TypeGuilds.Item(fortyOne), 2);
    EXPECT_EQ(state.TypeScore.Item(fortyOne), 1601);
    EXPECT_EQ(state.TypeFrequency.Item(fortyOne), 1);
    EXPECT_NE(state.TypePoolFraction.Find(fortyOne), nullptr);
}

TEST(LoadData, GuildsOutsideTheStirlingTableLeaveTheCoefficientAlone) {
    // (1,1,1,4): every count fits the table of 4, the 7 guilds don't, so lp is
    // LogCoeff alone, ln(24 / (2 * 6 * 24^4 * 4!)) < 0: recorded, with m > n
    // and so the special pool fraction -1, which draws nothing.
    // (0,0,0,0): no guild at all, lp = ln 4! > 0: ignored.
    ScriptedDistribution distribution;
    const ModuleState state = load({"(0,0,0,0)", "(1,1,1,4)"}, distribution);
    ASSERT_EQ(state.TypeStrings, std::vector<std::string>{"(1,1,1,4)"});
    EXPECT_EQ(state.TypeSpecies.Item("(1,1,1,4)"), 4);
    EXPECT_EQ(state.TypeGuilds.Item("(1,1,1,4)"), 7);
    EXPECT_EQ(state.TypeScore.Item("(1,1,1,4)"), 1 + 4 + 9 + 64);
    EXPECT_EQ(state.TypePoolFraction.Item("(1,1,1,4)"), -1.0);
    EXPECT_EQ(distribution.draws, 0);
}

TEST(LoadData, EstimatesDrawInFirstMetOrder) {
    // Two types of 6 species in 4 guilds, met in this order, with a repeat and
    // an ignored string between them, neither of which draws. The first start,
    // 0.9995, lies near the pole 1/3 and ends in the whole pool 1/5; the
    // second, 0.5, reaches the root 0.18212071361642...
    ScriptedDistribution distribution({0.9995, 0.5});
    const ModuleState state =
        load({"(2,2,0,0,0,0)", "(4,0,0,0)", "(2,2,0,0,0,0)", "(3,0,1,0,0,0)"}, distribution);
    ASSERT_EQ(state.TypeStrings, (std::vector<std::string>{"(2,2,0,0,0,0)", "(3,0,1,0,0,0)"}));
    EXPECT_EQ(state.TypePoolFraction.Item("(2,2,0,0,0,0)"), 0.2);
    EXPECT_NEAR(state.TypePoolFraction.Item("(3,0,1,0,0,0)"), 0.18212071361642236, 1e-12);
    EXPECT_EQ(distribution.draws, 2);
}

TEST(LoadData, EmptyEntryReadsZeroAndTheTextIsItsOwnType) {
    const ModuleState state = load({"(0,2,0,0)", "(,2,0,0)"});
    ASSERT_EQ(state.TypeCount, 2);
    EXPECT_EQ(state.TypeStrings[1], "(,2,0,0)");
    EXPECT_EQ(state.TypeSpecies.Item("(,2,0,0)"), 4);
    EXPECT_EQ(state.TypeGuilds.Item("(,2,0,0)"), 2);
    EXPECT_EQ(state.TypeScore.Item("(,2,0,0)"), 8);
}

TEST(LoadData, BracketsAreDroppedUnseen) {
    // Whatever stands first and last is dropped; the rest is read as entries.
    const ModuleState state = load({"x0,2,0,0y", "[0,2,0,0]"});
    ASSERT_EQ(state.TypeCount, 2);
    EXPECT_EQ(state.TypeScore.Item("x0,2,0,0y"), 8);
    EXPECT_EQ(state.TypeGuilds.Item("[0,2,0,0]"), 2);
}

TEST(LoadData, ElementsAreReadFromIndexOne) {
    const char* types[] = {"(0,2,0,0)", "(1,0,1,0)", nullptr, "(0,2,0,0)"};
    const std::vector<std::string_view> views = quorlan::ReadTypes(types, 3);
    ASSERT_EQ(views.size(), 3u);
    EXPECT_EQ(views[0], "(1,0,1,0)");
    EXPECT_EQ(views[1], ""); // a null element is the empty string
    EXPECT_TRUE(quorlan::ReadTypes(types, 0).empty());
    EXPECT_TRUE(quorlan::ReadTypes(types, -5).empty());
    EXPECT_THROW(quorlan::ReadTypes(nullptr, 3), quorlan::Failure);
}

TEST(LoadData, GoesOnWhenTheGeneratorCannotBeReached) {
    ScriptedDistribution distribution;
    distribution.bindable = false;
    const ModuleState state = load({"(0,2,0,0)", "(1,0,1,0)", "(0,2,0,0)"}, distribution);
    ASSERT_EQ(state.TypeCount, 2);
    EXPECT_EQ(state.TypeFrequency.Item("(0,2,0,0)"), 2);
    EXPECT_EQ(state.TypeScore.Item("(1,0,1,0)"), 10);
    EXPECT_EQ(state.TypePoolFraction.Count(), 0u); // recorded without estimates
}

TEST(LoadData, FailedEstimateRecordsTheTypeWithoutPoolFraction) {
    // (1,1,1,0,0,0): n = 6, m = 3; the start u = 1 puts x on the pole 1/(m - 1).
    ScriptedDistribution distribution({1.0});
    const ModuleState state = load({"(1,1,1,0,0,0)", "(0,2,0,0)"}, distribution);
    ASSERT_EQ(state.TypeCount, 2);
    EXPECT_EQ(state.TypePoolFraction.Find("(1,1,1,0,0,0)"), nullptr);
    EXPECT_NE(state.TypePoolFraction.Find("(0,2,0,0)"), nullptr);
    EXPECT_EQ(state.TypeGuilds.Item("(1,1,1,0,0,0)"), 3);
}

TEST(LoadData, EachCallStartsAfresh) {
    ScriptedDistribution distribution;
    std::vector<std::string> first{"(0,2,0,0)", "(1,0,1,0)"};
    std::vector<std::string_view> views(first.begin(), first.end());
    ModuleState state;
    quorlan::LoadPc1(state, views);
    quorlan::LoadConstants(state);
    quorlan::LoadData(state, distribution, views, 3);
    std::vector<std::string> second{"(1,0,1,0)"};
    std::vector<std::string_view> again(second.begin(), second.end());
    quorlan::LoadData(state, distribution, again, 3);
    EXPECT_EQ(state.TypeCount, 1);
    EXPECT_EQ(state.TypeStrings, second);
    EXPECT_EQ(state.TypeFrequency.Find("(0,2,0,0)"), nullptr);
}

// ---- Pool fraction ----

TEST(EstimatePoolFraction, SpecialValuesDrawNothing) {
    struct Case {
        int32_t n, m;
        double value;
    } cases[] = {{5, 6, -1}, {0, 0, -1}, {4, 0, -1}, {7, 1, 1}, {4, 4, 0}, {41, 41, 0}};
    for (const Case& c : cases) {
        ScriptedDistribution distribution;
        EXPECT_EQ(quorlan::EstimatePoolFraction(distribution, c.n, c.m), c.value) << c.n << "," << c.m;
        EXPECT_EQ(distribution.draws, 0);
    }
}

TEST(EstimatePoolFraction, SixSpeciesInFourGuildsReachTheRoot) {
    // The root of 2/x - 1/(1-x) - 2/(1-2x) - 3/(1-3x), by bisection in 40-digit
    // decimals: 0.18212071361642235569...
    for (double u : {0.05, 0.3, 0.5, 0.9}) {
        ScriptedDistribution distribution({u});
        const double x = quorlan::EstimatePoolFraction(distribution, 6, 4);
        EXPECT_NEAR(x, 0.18212071361642236, 1e-12) << u;
        EXPECT_EQ(distribution.draws, 1);
    }
}

TEST(EstimatePoolFraction, SmallStartEndsShortOfTheRootAndIsKept) {
    // From x = 1E-4 each step about doubles x: after ten it is near 0.1.
    ScriptedDistribution distribution({3e-4});
    const double x = quorlan::EstimatePoolFraction(distribution, 6, 4);
    EXPECT_GT(x, 0.05);
    EXPECT_LT(x, 0.18);
    EXPECT_EQ(distribution.draws, 1);
}

TEST(EstimatePoolFraction, RejectedStartsDrawAgain) {
    // u = 0 starts at x = 0 exactly: a new start each time.
    ScriptedDistribution distribution({0.0, 0.0, 0.5});
    EXPECT_NEAR(quorlan::EstimatePoolFraction(distribution, 6, 4), 0.18212071361642236, 1e-12);
    EXPECT_EQ(distribution.draws, 3);
}

TEST(EstimatePoolFraction, BeyondTheRangeTakesTheLikeliestWholePool) {
    // n = 4, m = 2: L(1/2) = -2.079 > L(1/3) = -2.603.
    ScriptedDistribution half({0.5});
    EXPECT_EQ(quorlan::EstimatePoolFraction(half, 4, 2), 0.5);
    // n = 5, m = 2: the root is 3/4; L(1/2) = 4 ln(1/2) = -2.773,
    // L(1/3) = 3 ln(1/3) + ln(2/3) = -3.701, L(1/4) = 3 ln(1/4) + ln(3/4) = -4.446.
    ScriptedDistribution five({0.5});
    EXPECT_EQ(quorlan::EstimatePoolFraction(five, 5, 2), 0.5);
}

TEST(EstimatePoolFraction, ScriptedStartsBitForBit) {
    // Expected values from tests/endtoend/oracle.py's estimate, fed the same
    // uniform numbers (its Newton steps and whole-pool choice are written
    // independently, with the same order of operations).
    struct Case {
        const char* name;
        int32_t n, m;
        std::vector<double> script;
        double value;
        int64_t draws;
    } cases[] = {
        {"RootFromTheMiddle", 6, 4, {0.5}, 0x1.74fbb46740f45p-3, 1},
        {"RootFromNearTheTop", 6, 4, {0.9}, 0x1.74fbb46740f44p-3, 1},
        // From x = 1E-4 each step about doubles x: short of the root, kept.
        {"ShortFromASmallStart", 6, 4, {3e-4}, 0x1.607a161508cbap-4, 1},
        // Near the pole 1/3 the distance to it doubles each step: the tenth
        // iterate 0.1886 is still at most 1/(n - 1) = 0.2 and is kept...
        {"ShortFromNearThePole", 6, 4, {0.9993}, 0x1.8250f0513b66ap-3, 1},
        // ...while 0.2041 exceeds it: the whole pools 1/4 and 1/5 are compared,
        // L(1/4) = -5.1397 < L(1/5) = -4.8691.
        {"NearThePoleTakesAWholePool", 6, 4, {0.9995}, 0.2, 1},
        // Tenth iterates beyond 1/(m - 1) (7.06; 72.6 and 145.1) start again.
        {"BeyondThePoleStartsAgain", 20, 3, {0.1, 0.5}, 1.0 / 3, 2},
        {"TwoStartsRejected", 41, 2, {0.1, 0.2, 0.5}, 0.5, 3},
    };
    for (const Case& c : cases) {
        ScriptedDistribution distribution(c.script);
        EXPECT_EQ(quorlan::EstimatePoolFraction(distribution, c.n, c.m), c.value) << c.name;
        EXPECT_EQ(distribution.draws, c.draws) << c.name;
    }
}

TEST(EstimatePoolFraction, StartOnThePoleFails) {
    // u = 1: x = 1/(m - 1) and 1 - (m - 1) x = 0, a division by zero.
    ScriptedDistribution distribution({1.0});
    EXPECT_THROW(quorlan::EstimatePoolFraction(distribution, 6, 4), quorlan::FloatingPointFault);
    EXPECT_EQ(distribution.draws, 1);
}

TEST(EstimatePoolFraction, StuckGeneratorEnds) {
    // A generator that keeps returning 0 gives no usable start: the estimate
    // gives up instead of drawing for ever.
    ScriptedDistribution distribution(std::vector<double>(static_cast<std::size_t>(quorlan::MaxPoolFractionStarts), 0.0));
    EXPECT_THROW(quorlan::EstimatePoolFraction(distribution, 6, 4), quorlan::Failure);
    EXPECT_EQ(distribution.draws, quorlan::MaxPoolFractionStarts);
}

TEST(EstimatePoolFraction, UnbindableGeneratorFails) {
    ScriptedDistribution distribution;
    distribution.bindable = false;
    EXPECT_THROW(quorlan::EstimatePoolFraction(distribution, 6, 4), quorlan::BindingFailure);
    // The cases that need no estimate don't need the generator.
    EXPECT_EQ(quorlan::EstimatePoolFraction(distribution, 6, 1), 1.0);
}

TEST(EstimatePoolFraction, EveryPairEndsInsideTheInterval) {
    ScriptedDistribution distribution;
    distribution.RandomizeU(2024);
    for (int32_t n = 4; n <= 41; ++n)
        for (int32_t m = 2; m <= n - 1; ++m) {
            const double x = quorlan::EstimatePoolFraction(distribution, n, m);
            EXPECT_GT(x, 0) << n << "," << m;
            EXPECT_LE(x, 1.0 / m + 1e-15) << n << "," << m;
        }
}

TEST(EstimatePoolFraction, DifferencesBeyondThirtyTwoBitsFail) {
    // n - m, m - 1 as 32-bit integers: far outside anything a type string
    // gives, but an overflow fails the estimate instead of wrapping.
    ScriptedDistribution distribution({0.5});
    EXPECT_THROW(quorlan::EstimatePoolFraction(distribution, 5, INT32_MIN), quorlan::IntegerOverflow);
    EXPECT_THROW(quorlan::EstimatePoolFraction(distribution, INT32_MAX, -1), quorlan::IntegerOverflow);
    EXPECT_THROW(quorlan::PoolLogLikelihood(INT32_MAX, -1, 0.5), quorlan::IntegerOverflow);
    EXPECT_THROW(quorlan::PoolLogLikelihoodSlope(INT32_MIN, 1, 0.5), quorlan::IntegerOverflow);
    EXPECT_THROW(quorlan::PoolLogLikelihoodCurvature(-2, INT32_MAX, 0.5), quorlan::IntegerOverflow);
}

TEST(PoolLogLikelihood, FunctionsOfTheLikelihood) {
    // n = 4, m = 2 at x = 1/2: L = 2 ln(1/2) + ln(1/2); L' = 2/x - 1/(1-x) = 2;
    // L'' = -2/x^2 - 1/(1-x)^2 = -12.
    EXPECT_NEAR(quorlan::PoolLogLikelihood(4, 2, 0.5), 3 * std::log(0.5), 1e-15);
    EXPECT_EQ(quorlan::PoolLogLikelihoodSlope(4, 2, 0.5), 2.0);
    EXPECT_EQ(quorlan::PoolLogLikelihoodCurvature(4, 2, 0.5), -12.0);
    // m = 1: only the leading term.
    EXPECT_EQ(quorlan::PoolLogLikelihoodSlope(5, 1, 0.25), 16.0);
}

} // namespace
