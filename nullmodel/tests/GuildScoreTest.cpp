// PValue's statistic and Beta's simulation over a loaded state, with a scripted
// distribution; and the export calls' handling of failures and of the
// caller's floating-point environment.

#include "nullmodel/FloatingPoint.h"
#include "nullmodel/QuorlanCore.h"
#include "nullmodel/fuzz/ScriptedDistribution.h"
#include "nullmodel/tests/LoadedTypes.h"

#include <gtest/gtest.h>

#include <cfenv>
#if defined(__SSE2__)
#include <xmmintrin.h>
#endif
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// Every allocation of the calling thread is counted, so a test can show that
// the simulation draws its data sets without allocating.
namespace {
thread_local int64_t allocations = 0;
}

#if defined(__SANITIZE_THREAD__)
#define COUNTED_BY_THE_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define COUNTED_BY_THE_SANITIZER 1
#endif
#endif

#if defined(COUNTED_BY_THE_SANITIZER)
// ThreadSanitizer keeps operator new and delete for itself (a program's own
// would bypass or clash with them): its allocator tells of each allocation.
// (GCC ships no header for the sanitizers' interface: declared here.)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, std::size_t),
                                                         void (*free_hook)(const volatile void*));
namespace {
void countAllocation(const volatile void*, std::size_t) { ++allocations; }
void ignoreRelease(const volatile void*) {}
const bool countingAllocations = __sanitizer_install_malloc_and_free_hooks(countAllocation, ignoreRelease) != 0;
} // namespace
#else
void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
// Not inlined, so the compiler never pairs a new expression with free().
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#endif

namespace {

using quorlan::ModuleState;
using quorlan::ScriptedDistribution;

ModuleState load(const std::vector<std::string>& strings, ScriptedDistribution& distribution, int32_t Seed = 11) {
    return quorlan::loadTypes(strings, distribution, Seed);
}

double standardNormal(double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); }

// ---- PValue's statistic ----

TEST(PValueStatistic, TwoPairsOfFour) {
    ScriptedDistribution distribution;
    // Obs = 8, Mean = 64/7, Var = 592/7 - (64/7)^2 = 48/49: z = -8/sqrt(48).
    EXPECT_NEAR(quorlan::PValueStatistic(load({"(0,2,0,0)"}, distribution), distribution),
                standardNormal(-8 / std::sqrt(48.0)), 1e-12);
    // Ten times: Obs, Mean and Var ten times as large, z times sqrt(10).
    EXPECT_NEAR(quorlan::PValueStatistic(load(std::vector<std::string>(10, "(0,2,0,0)"), distribution), distribution),
                standardNormal(-8 / std::sqrt(48.0) * std::sqrt(10.0)), 1e-14);
}

TEST(PValueStatistic, SpecialResults) {
    ScriptedDistribution distribution;
    distribution.bindable = false; // neither result needs the normal distribution
    EXPECT_EQ(quorlan::PValueStatistic(load({"()", "(1)", "(0,0,0,1)", "(4,0,0,0)"}, distribution), distribution), -1);
    // (1,1,1,1) is no site's profile, yet recorded (lp = ln(1/12)) with no null variance.
    EXPECT_EQ(quorlan::PValueStatistic(load({"(1,1,1,1)"}, distribution), distribution), 1);
}

TEST(PValueStatistic, FailsWithoutTheNormalDistribution) {
    ScriptedDistribution distribution;
    const ModuleState state = load({"(0,2,0,0)"}, distribution);
    distribution.bindable = false;
    EXPECT_THROW(quorlan::PValueStatistic(state, distribution), quorlan::BindingFailure);
}

TEST(PValueStatistic, ObsOverflowFails) {
    ScriptedDistribution distribution;
    ModuleState state = load({"(0,2,0,0)"}, distribution);
    state.TypeFrequency.SetItem("(0,2,0,0)", (1 << 28) + 1); // 8 * f beyond 2^31 - 1
    EXPECT_THROW(quorlan::PValueStatistic(state, distribution), quorlan::IntegerOverflow);
    state.TypeFrequency.SetItem("(0,2,0,0)", 1 << 27); // 2^30: fits
    EXPECT_NO_THROW(quorlan::PValueStatistic(state, distribution));
}

TEST(PValueStatistic, GuildsOutsideTheTableFail) {
    // (1,1,1,4): every count fits the table of 4, the 7 guilds don't.
    ScriptedDistribution distribution;
    const ModuleState state = load({"(1,1,1,4)"}, distribution);
    ASSERT_EQ(state.TypeCount, 1);
    EXPECT_THROW(quorlan::PValueStatistic(state, distribution), quorlan::IndexFault);
}

TEST(PValueStatistic, VarianceMustExceedTheThresholdStrictly) {
    // One recorded type with moments and score set by hand: Obs = Mean = 0, so
    // z = 0 whenever the variance counts, and the scripted NormCDF(0) is 1/2.
    struct Case {
        double variance;
        double p;
    } cases[] = {{1E-10, 1}, {std::nextafter(1E-10, 0.0), 1}, {std::nextafter(1E-10, 1.0), 0.5}, {0, 1}, {-1, 1}};
    for (const Case& c : cases) {
        ScriptedDistribution distribution;
        ModuleState state = load({"(0,2,0,0)"}, distribution);
        state.TypeScore.SetItem("(0,2,0,0)", 0);
        state.ScoreMoments(4, 2, 1) = 0;
        state.ScoreMoments(4, 2, 2) = c.variance;
        EXPECT_EQ(quorlan::PValueStatistic(state, distribution), c.p) << c.variance;
    }
}

// ---- One data set's test ----

TEST(CountRejections, BothTailsIncludeTheCriticalValue) {
    const double crit = 1.6448530004709;
    struct Case {
        const char* name;
        double SumS, SumMean, SumVar;
        int32_t c1, c2;
    } cases[] = {
        // SumVar = 1, so z = SumS - SumMean exactly.
        {"AtLowerCritical", 0, crit, 1, 1, 0},
        {"JustAboveLower", 0, std::nextafter(crit, 0.0), 1, 0, 0},
        {"AtUpperCritical", crit, 0, 1, 0, 1},
        {"JustBelowUpper", std::nextafter(crit, 0.0), 0, 1, 0, 0},
        {"ExactQuantileIsAbove", 0, 1.6448536269514722, 1, 1, 0},
        {"Centre", 5, 5, 1, 0, 0},
        // No variance to speak of: no rejection, however far z would be.
        {"VarianceAtThreshold", 0, 100, 1E-10, 0, 0},
        {"VarianceNegative", 0, 100, -1, 0, 0},
        {"VarianceAboveThreshold", 0, 100, 1.0000001E-10, 1, 0},
        {"VarianceJustAboveThreshold", 0, 100, std::nextafter(1E-10, 1.0), 1, 0},
    };
    for (const Case& c : cases) {
        int32_t c1 = 0, c2 = 0;
        quorlan::CountRejections(c.SumS, c.SumMean, c.SumVar, c1, c2);
        EXPECT_EQ(c1, c.c1) << c.name;
        EXPECT_EQ(c2, c.c2) << c.name;
    }
}

// ---- Beta's simulation ----

class BetaSimulation : public ::testing::Test {
protected:
    // A mix of types: repeated, with a pool fraction, and one ignored.
    const std::vector<std::string> strings{"(0,2,0,0)", "(1,1,1,0,0,0)", "(0,2,0,0)", "(2,0,0,0,0,1,0,0)", "(4,0,0,0)"};
    // Draws of one data set: f (n - 1) per selected type.
    static constexpr int64_t drawsPerDataSet = 2 * 3 + 1 * 5 + 1 * 7;

    RejectionRates simulate(double Strength, int32_t Iterations, int64_t* draws = nullptr) {
        ScriptedDistribution distribution;
        const ModuleState state = load(strings, distribution);
        const int64_t before = distribution.draws;
        const RejectionRates rates = quorlan::BetaSimulation(state, distribution, Strength, Iterations);
        if (draws)
            *draws = distribution.draws - before;
        return rates;
    }
};

TEST_F(BetaSimulation, NoUsableTypeIsZeroWhateverTheCount) {
    ScriptedDistribution distribution;
    const ModuleState state = load({"()", "(0,0,0,1)"}, distribution);
    for (int32_t Iterations : {0, -4, 10})
        for (double Strength : {1.0, 1E300, std::nan("")}) {
            const RejectionRates rates = quorlan::BetaSimulation(state, distribution, Strength, Iterations);
            EXPECT_EQ(rates.CompetitionRate, 0.0);
            EXPECT_EQ(rates.FacilitationRate, 0.0);
            EXPECT_FALSE(std::signbit(rates.CompetitionRate));
        }
}

TEST_F(BetaSimulation, SameDrawsAtEveryStrength) {
    for (double Strength : {0.1, 0.7, 1.0, 1.9, 2.9, 1E7, 0.0}) {
        int64_t draws = 0;
        simulate(Strength, 25, &draws);
        EXPECT_EQ(draws, 25 * drawsPerDataSet) << Strength;
    }
}

TEST_F(BetaSimulation, AllocatesNothingPerDataSet) {
    // A whole Beta call allocates for its types and weights, never per draw:
    // one data set or five hundred cost the same allocations. (The thread's
    // first call also sizes its state, and its word buffers grow to the
    // largest call met, so the first call of 500 is left out.)
    std::vector<const char*> types{nullptr};
    for (const std::string& s : strings)
        types.push_back(s.c_str());
    auto allocationsOf = [&](int32_t Iterations) {
        ScriptedDistribution distribution;
        RejectionRates rates{};
        const int64_t before = allocations;
        EXPECT_EQ(quorlan::CallBeta(distribution, &rates, 1.3, types.data(), static_cast<int32_t>(strings.size()),
                                    Iterations, 5),
                  &rates);
        return allocations - before;
    };
    allocationsOf(500);
    const int64_t one = allocationsOf(1);
    EXPECT_GT(one, 0);
    EXPECT_EQ(allocationsOf(500), one);
}

TEST_F(BetaSimulation, RatesAreSharesOfTheDataSets) {
    const RejectionRates rates = simulate(1.0, 400);
    for (double rate : {rates.CompetitionRate, rates.FacilitationRate}) {
        EXPECT_GE(rate, 0);
        EXPECT_LE(rate, 1);
        EXPECT_EQ(rate * 400, std::round(rate * 400));
    }
    // Strong competition spreads the species: the Competition Test rejects
    // more often and the Facilitation/Filtering Test less often.
    const RejectionRates strong = simulate(2.9, 400);
    const RejectionRates weak = simulate(0.1, 400);
    EXPECT_GT(strong.CompetitionRate, weak.CompetitionRate);
    EXPECT_LT(strong.FacilitationRate, weak.FacilitationRate);
}

TEST_F(BetaSimulation, HugeStrengthFoundsAGuildPerSpecies) {
    const RejectionRates rates = simulate(1E7, 50);
    EXPECT_EQ(rates.CompetitionRate, 0.0);
    EXPECT_EQ(rates.FacilitationRate, 0.0);
    const RejectionRates infinite = simulate(std::numeric_limits<double>::infinity(), 50);
    EXPECT_EQ(infinite.CompetitionRate, 0.0);
    EXPECT_EQ(infinite.FacilitationRate, 0.0);
}

TEST_F(BetaSimulation, NegativeCountGivesNegativeZeros) {
    int64_t draws = -1;
    const RejectionRates rates = simulate(1.0, -3, &draws);
    EXPECT_EQ(rates.CompetitionRate, 0.0);
    EXPECT_TRUE(std::signbit(rates.CompetitionRate));
    EXPECT_TRUE(std::signbit(rates.FacilitationRate));
    EXPECT_EQ(draws, 0);
    // No data set, so a Strength whose weights would overflow is never used.
    EXPECT_TRUE(std::signbit(simulate(1E300, -1).CompetitionRate));
}

TEST_F(BetaSimulation, FaultsEndTheCall) {
    EXPECT_THROW(simulate(1.0, 0), quorlan::FloatingPointFault);   // 0 / 0
    EXPECT_THROW(simulate(1E300, 1), quorlan::FloatingPointFault); // Strength^j overflows
    EXPECT_THROW(simulate(std::nan(""), 1), quorlan::FloatingPointFault);
    // Strength -1 with the pool fraction 1/2 of (0,2,0,0): -(1 - x) + x = 0.
    EXPECT_THROW(simulate(-1.0, 1), quorlan::FloatingPointFault);
}

TEST_F(BetaSimulation, MissingPoolFractionFails) {
    ScriptedDistribution distribution({1.0}); // the estimate of (1,1,1,0,0,0) divides by zero
    const ModuleState state = load({"(1,1,1,0,0,0)", "(0,2,0,0)"}, distribution);
    ASSERT_EQ(state.TypeCount, 2);
    EXPECT_THROW(quorlan::BetaSimulation(state, distribution, 1.0, 5), quorlan::Failure);
}

TEST_F(BetaSimulation, NoSelectedTypeFails) {
    // The recorded (1,1,1,1) has the pool fraction 0: nothing to simulate.
    ScriptedDistribution distribution;
    const ModuleState state = load({"(1,1,1,1)"}, distribution);
    ASSERT_EQ(state.TypeCount, 1);
    EXPECT_THROW(quorlan::BetaSimulation(state, distribution, 1.0, 5), quorlan::Failure);
    EXPECT_THROW(quorlan::BetaSimulation(state, distribution, 1.0, -5), quorlan::Failure);
}

TEST_F(BetaSimulation, SimulatesOnlyPoolFractionsStrictlyInsideTheBounds) {
    // The upper bound is 0.99999999999 (eleven nines), not 1; both are strict.
    const double upper = 0.99999999999;
    const double lower = 1E-15;
    struct Case {
        double x;
        bool simulated;
    } cases[] = {
        {upper, false},          {std::nextafter(upper, 0.0), true}, {1.0, false},
        {lower, false},          {std::nextafter(lower, 1.0), true}, {0.0, false},
        {-1.0, false},           {0.5, true},
    };
    for (const Case& c : cases) {
        ScriptedDistribution distribution({0.5});
        ModuleState state = load({"(0,2,0,0)"}, distribution);
        state.TypePoolFraction.SetItem("(0,2,0,0)", c.x);
        if (c.simulated) {
            EXPECT_NO_THROW(quorlan::BetaSimulation(state, distribution, 1.0, 2)) << c.x;
            EXPECT_EQ(distribution.draws, 1 + 2 * 3) << c.x;
        } else {
            EXPECT_THROW(quorlan::BetaSimulation(state, distribution, 1.0, 2), quorlan::Failure) << c.x;
        }
    }
}

TEST_F(BetaSimulation, ScriptedAssembly) {
    // Ten (0,2,0,0) sites (x = 1/2; at Strength 1 every weight is 1/2), one
    // data set. Draws 0.7, 0.2, 0.9: species 2 walks guild 1 (0.7 - 0.5 >= 0)
    // and founds guild 2; species 3 joins guild 1 (0.2 - 0.5 < 0); species 4
    // walks guild 1 (0.4 left) and joins guild 2 (0.4 - 0.5 < 0): guilds
    // {2, 2}, S = 8. Draws 0.2, 0.2, 0.9: guilds {3, 1}, S = 10.
    ScriptedDistribution estimate({0.5});
    const ModuleState state = load(std::vector<std::string>(10, "(0,2,0,0)"), estimate);
    ASSERT_EQ(state.TypePoolFraction.Item("(0,2,0,0)"), 0.5);
    auto repeat = [](std::vector<double> site) {
        std::vector<double> all;
        for (int i = 0; i < 10; ++i)
            all.insert(all.end(), site.begin(), site.end());
        return all;
    };
    // All {2, 2}: SumS = 80, SumMean = 640/7, SumVar = 480/49: z = -3.65.
    ScriptedDistribution pairs(repeat({0.7, 0.2, 0.9}));
    const RejectionRates competition = quorlan::BetaSimulation(state, pairs, 1.0, 1);
    EXPECT_EQ(competition.CompetitionRate, 1.0);
    EXPECT_EQ(competition.FacilitationRate, 0.0);
    EXPECT_EQ(pairs.draws, 30);
    // All {3, 1}: SumS = 100: z = +2.74.
    ScriptedDistribution triples(repeat({0.2, 0.2, 0.9}));
    const RejectionRates facilitation = quorlan::BetaSimulation(state, triples, 1.0, 1);
    EXPECT_EQ(facilitation.CompetitionRate, 0.0);
    EXPECT_EQ(facilitation.FacilitationRate, 1.0);
}

TEST_F(BetaSimulation, EachSiteAddsItsSecondMomentBeforeTheSquaredMean) {
    // One (0,2,0,0) site and one (0,1,1,0,0) site, x = 1/2 for both, with
    // moments set by hand so the order of SumVar = (SumVar + E2) - E1^2 shows:
    // the first site leaves 1.1E-10; the second adds E2 = 2^20 (which swallows
    // 1.1E-10, less than half its last place) and takes away E1^2 = 2^20,
    // leaving 0: no data set is tested. Taking E2 - E1^2 = 0 first would leave
    // 1.1E-10 above the threshold and z = (27 - 1024) / 1E-5, a rejection.
    ScriptedDistribution estimate({0.5, 0.5});
    ModuleState state = load({"(0,2,0,0)", "(0,1,1,0,0)"}, estimate);
    ASSERT_EQ(state.TypePoolFraction.Item("(0,2,0,0)"), 0.5);
    ASSERT_EQ(state.TypePoolFraction.Item("(0,1,1,0,0)"), 0.5);
    state.ScoreMoments(4, 2, 1) = 0;
    state.ScoreMoments(4, 2, 2) = 1.1E-10;
    state.ScoreMoments(5, 2, 1) = 1024;
    state.ScoreMoments(5, 2, 2) = 1048576;
    // Each site: a second guild founded, then every species joins guild 1.
    ScriptedDistribution draws({0.7, 0.2, 0.2, 0.7, 0.2, 0.2, 0.2});
    const RejectionRates rates = quorlan::BetaSimulation(state, draws, 1.0, 1);
    EXPECT_EQ(draws.draws, 7);
    EXPECT_EQ(rates.CompetitionRate, 0.0);
    EXPECT_EQ(rates.FacilitationRate, 0.0);
}

// ---- The export calls ----

class ExportCalls : public ::testing::Test {
protected:
    std::vector<const char*> types{nullptr, "(0,2,0,0)", "(1,0,1,0)", "(0,2,0,0)", "()", "(0,0,1,1,0,0,0)"};
    int32_t upper() const { return static_cast<int32_t>(types.size()) - 1; }
};

TEST_F(ExportCalls, FailuresReachTheCallerAsFailedCalls) {
    ScriptedDistribution distribution;
    EXPECT_TRUE(std::isnan(quorlan::CallPValue(distribution, nullptr, 3, 1)));

    const RejectionRates untouched{0.25, 0.75};
    struct Case {
        const char* name;
        const char* const* Types;
        int32_t Iterations;
        double Strength;
    } cases[] = {{"NeverDimensioned", nullptr, 10, 1.0},
                 {"NoIterations", types.data(), 0, 1.0},
                 {"Overflow", types.data(), 10, 1E300}};
    for (const Case& c : cases) {
        RejectionRates rates = untouched;
        EXPECT_EQ(quorlan::CallBeta(distribution, &rates, c.Strength, c.Types, upper(), c.Iterations, 3), nullptr)
            << c.name;
        EXPECT_EQ(std::memcmp(&rates, &untouched, sizeof rates), 0) << c.name;
    }
    EXPECT_EQ(quorlan::CallBeta(distribution, nullptr, 1.0, types.data(), upper(), 10, 3), nullptr);

    distribution.bindable = false;
    RejectionRates rates = untouched;
    EXPECT_EQ(quorlan::CallBeta(distribution, &rates, 1.0, types.data(), upper(), 10, 3), nullptr);
    EXPECT_TRUE(std::isnan(quorlan::CallPValue(distribution, types.data(), upper(), 3)));
    // With nothing usable the generator is never needed by PValue; Beta seeds first.
    const char* none[] = {nullptr, "()"};
    EXPECT_EQ(quorlan::CallPValue(distribution, none, 1, 3), -1);
    EXPECT_EQ(quorlan::CallBeta(distribution, &rates, 1.0, none, 1, 10, 3), nullptr);
}

TEST_F(ExportCalls, BetaSeedsItselfAndAgainInTheLoading) {
    ScriptedDistribution distribution;
    RejectionRates rates{};
    ASSERT_EQ(quorlan::CallBeta(distribution, &rates, 1.0, types.data(), upper(), 5, 42), &rates);
    EXPECT_EQ(distribution.seedings, 2);
    EXPECT_EQ(distribution.lastSeed, 42);
    ASSERT_FALSE(std::isnan(quorlan::CallPValue(distribution, types.data(), upper(), 43)));
    EXPECT_EQ(distribution.seedings, 3);
}

TEST_F(ExportCalls, TablesOfAnEarlierLargerCallGiveTheSameNumbers) {
    // The same calls on a fresh thread and on one whose tables were built for
    // 41 species (one alone and forty in one guild) by an earlier call.
    std::string fortyOne = "(1";
    for (int i = 2; i <= 41; ++i)
        fortyOne += i == 40 ? ",1" : ",0";
    fortyOne += ")";
    std::vector<const char*> largeTypes{nullptr, fortyOne.c_str(), "(0,2,0,0)"};
    auto small = [&] {
        ScriptedDistribution distribution;
        RejectionRates rates{};
        const double p = quorlan::CallPValue(distribution, types.data(), upper(), 3);
        EXPECT_EQ(quorlan::CallBeta(distribution, &rates, 1.3, types.data(), upper(), 200, 3), &rates);
        return std::vector<double>{p, rates.CompetitionRate, rates.FacilitationRate};
    };
    std::vector<double> fresh, afterLarge;
    std::thread([&] { fresh = small(); }).join();
    std::thread([&] {
        ScriptedDistribution distribution;
        ASSERT_FALSE(std::isnan(quorlan::CallPValue(distribution, largeTypes.data(), 2, 3)));
        ASSERT_EQ(quorlan::ThreadState().TablesBuiltFor, 41);
        afterLarge = small();
        EXPECT_EQ(quorlan::ThreadState().TablesBuiltFor, 41);
    }).join();
    ASSERT_EQ(fresh.size(), 3u);
    EXPECT_EQ(afterLarge, fresh);
}

TEST_F(ExportCalls, CallersFloatingPointStateIsLeftAsItWas) {
    ScriptedDistribution distribution;
    RejectionRates rates{};

    // Flags the caller had stay raised; flags of the call's own faults don't appear.
    std::feclearexcept(FE_ALL_EXCEPT);
    std::feraiseexcept(FE_UNDERFLOW);
    EXPECT_EQ(quorlan::CallBeta(distribution, &rates, 1.0, types.data(), upper(), 0, 3), nullptr);
    EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT & ~FE_INEXACT), FE_UNDERFLOW);

    // A caller that traps division by zero gets a failed call, not a signal,
    // and keeps its trap.
    std::feclearexcept(FE_ALL_EXCEPT);
    feenableexcept(FE_DIVBYZERO | FE_INVALID);
    EXPECT_EQ(quorlan::CallBeta(distribution, &rates, -1.0, types.data(), upper(), 3, 3), nullptr);
    EXPECT_EQ(quorlan::CallBeta(distribution, &rates, 1.0, types.data(), upper(), 0, 3), nullptr);
    EXPECT_EQ(fegetexcept(), FE_DIVBYZERO | FE_INVALID);
    fedisableexcept(FE_ALL_EXCEPT);

    // Another rounding mode of the caller doesn't change the numbers.
    const double nearest = quorlan::CallPValue(distribution, types.data(), upper(), 3);
    std::fesetround(FE_UPWARD);
    const double upward = quorlan::CallPValue(distribution, types.data(), upper(), 3);
    EXPECT_EQ(std::fegetround(), FE_UPWARD);
    std::fesetround(FE_TONEAREST);
    EXPECT_EQ(nearest, upward);
}

#if defined(__SSE2__)
// A caller that flushes tiny numbers to zero gets them kept during a call, and
// its own setting back afterwards.
TEST(FloatingPointScope, KeepsTinyNumbersWhateverTheCallerSet) {
    const unsigned flushing = 0x8040;
    const unsigned before = _mm_getcsr();
    _mm_setcsr(before | flushing);
    {
        quorlan::FloatingPointScope scope;
        volatile double tiny = 1e-300;
        volatile double below = 1e-10;
        const double subnormal = tiny * below;
        EXPECT_EQ(std::fpclassify(subnormal), FP_SUBNORMAL);
        EXPECT_EQ(std::fpclassify(subnormal * 1e10), FP_NORMAL) << "a subnormal operand read as zero";
    }
    EXPECT_EQ(_mm_getcsr() & flushing, flushing);
    _mm_setcsr(before);
}
#endif

} // namespace
