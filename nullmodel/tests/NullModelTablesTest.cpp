// The null-model tables: their size from the comma counts, the log factorials,
// the Stirling logs, the partition enumeration and the exact moments.

#include "nullmodel/QuorlanCore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using quorlan::ModuleState;

ModuleState tablesFor(int32_t maxSpecies) {
    ModuleState state;
    state.MaxSpecies = maxSpecies;
    quorlan::LoadConstants(state);
    return state;
}

// ---- MaxSpecies ----

struct SizeCase {
    const char* name;
    std::vector<std::string> strings;
    int32_t maxSpecies;
};

class TableSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(TableSize, IsOnePlusTheLargestCommaCountUpTo40) {
    const SizeCase& c = GetParam();
    std::vector<std::string_view> views(c.strings.begin(), c.strings.end());
    ModuleState state;
    state.MaxSpecies = 99; // overwritten, not carried over
    quorlan::LoadPc1(state, views);
    EXPECT_EQ(state.MaxSpecies, c.maxSpecies);
}

std::string commas(int count) { return "(" + std::string(static_cast<std::size_t>(count), ',') + ")"; }

INSTANTIATE_TEST_SUITE_P(
    Strings, TableSize,
    ::testing::Values(SizeCase{"NoString", {}, 1}, SizeCase{"EmptySite", {"()"}, 1},
                      SizeCase{"OneSpecies", {"(1)"}, 1}, SizeCase{"FourSpecies", {"(0,2,0,0)", "(1)"}, 4},
                      SizeCase{"LargestWins", {"(1,0,1,0)", "(0,0,0,0,0,1)", "(2,1,0)"}, 6},
                      SizeCase{"FortyCommas", {commas(40)}, 41},
                      SizeCase{"FortyOneCommasIgnored", {commas(41)}, 1},
                      SizeCase{"FortyOneCommasBesideOthers", {commas(41), "(0,2,0,0)"}, 4},
                      // Every comma counts, wherever it stands.
                      SizeCase{"CommasAnywhere", {",,x,,y,"}, 6}, SizeCase{"EmptyString", {""}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Tables ----

TEST(NullModelTables, SizeOneHoldsOnlyZeros) {
    const ModuleState state = tablesFor(1);
    EXPECT_EQ(state.LogFactorial, (std::vector<double>{0, 0}));
    EXPECT_EQ(state.LogStirling2(1, 1), 0.0);
    for (double v : state.ScoreMomentsTable)
        EXPECT_EQ(v, 0.0);
    EXPECT_THROW(state.LogStirling2(2, 1), quorlan::IndexFault);
    EXPECT_THROW(state.ScoreMoments(1, 2, 1), quorlan::IndexFault);
}

TEST(NullModelTables, LogFactorialsAreSumsOfLogs) {
    const ModuleState state = tablesFor(41);
    EXPECT_EQ(state.LogFactorial[0], 0.0);
    EXPECT_EQ(state.LogFactorial[1], 0.0);
    // ln(i!) by lgamma, an independent route, to rounding.
    for (int i = 2; i <= 41; ++i)
        EXPECT_NEAR(state.LogFactorial[static_cast<std::size_t>(i)], std::lgamma(i + 1.0), 1e-12 * i) << i;
}

TEST(NullModelTables, StirlingLogs) {
    const ModuleState state = tablesFor(41);
    // Small values worked by hand: S(4,2) = 7, S(5,3) = 25, S(6,3) = 90.
    EXPECT_NEAR(state.LogStirling2(4, 2), std::log(7.0), 1e-15);
    EXPECT_NEAR(state.LogStirling2(5, 3), std::log(25.0), 1e-15);
    EXPECT_NEAR(state.LogStirling2(6, 3), std::log(90.0), 1e-15);
    for (int n = 1; n <= 41; ++n) {
        EXPECT_EQ(state.LogStirling2(n, 1), 0.0);
        EXPECT_EQ(state.LogStirling2(n, n), 0.0);
        for (int m = n + 1; m <= 41; ++m)
            EXPECT_EQ(state.LogStirling2(n, m), 0.0);
    }
    // S(41, 14), the largest: 534584200037719212882636004559739000 in exact
    // integers (Python), whose log is 82.2667973173348; the recurrence in
    // doubles rounds above 2^53.
    EXPECT_NEAR(state.LogStirling2(41, 14), 82.2667973173348, 1e-12);
}

TEST(NullModelTables, IndexesOutsideOneToMaxSpeciesFail) {
    const ModuleState state = tablesFor(4);
    struct Index {
        int32_t n, m;
    };
    for (const Index i : {Index{0, 1}, Index{1, 0}, Index{5, 1}, Index{1, 5}, Index{-1, 1}, Index{1, INT32_MIN},
                          Index{INT32_MAX, 1}}) {
        EXPECT_THROW(state.LogStirling2(i.n, i.m), quorlan::IndexFault) << i.n << "," << i.m;
        EXPECT_THROW(state.ScoreMoments(i.n, i.m, 1), quorlan::IndexFault) << i.n << "," << i.m;
    }
    // The moment index k is 1 or 2.
    EXPECT_THROW(state.ScoreMoments(4, 2, 0), quorlan::IndexFault);
    EXPECT_THROW(state.ScoreMoments(4, 2, 3), quorlan::IndexFault);
    // The corners of the table are inside.
    EXPECT_EQ(state.LogStirling2(1, 4), 0.0);
    EXPECT_EQ(state.ScoreMoments(4, 4, 2), 16.0);
    EXPECT_EQ(state.ScoreMoments(1, 1, 1), 0.0);
}

TEST(NullModelTables, RebuiltFromScratchForEachSize) {
    ModuleState state = tablesFor(41);
    state.MaxSpecies = 4;
    quorlan::LoadConstants(state);
    EXPECT_EQ(state.LogFactorial.size(), 5u);
    EXPECT_THROW(state.ScoreMoments(5, 2, 1), quorlan::IndexFault);
    EXPECT_NEAR(state.ScoreMoments(4, 2, 1), 64.0 / 7.0, 1e-13);
}

// A thread builds its tables once, for the largest size it meets: a call of a
// smaller size reads the same values and still fails outside its own size.
TEST(NullModelTables, PreparedOnceForTheLargestSizeSeen) {
    const ModuleState six = tablesFor(6);
    const ModuleState all = tablesFor(41);
    ModuleState state;
    state.MaxSpecies = 4;
    quorlan::PrepareTables(state);
    state.MaxSpecies = 41; // larger: built again
    quorlan::PrepareTables(state);
    EXPECT_EQ(state.TablesBuiltFor, 41);
    EXPECT_EQ(state.ScoreMomentsTable, all.ScoreMomentsTable);
    const double* const built = state.ScoreMomentsTable.data();

    state.MaxSpecies = 6; // smaller: kept
    quorlan::PrepareTables(state);
    EXPECT_EQ(state.ScoreMomentsTable.data(), built);
    for (int32_t n = 1; n <= 6; ++n) {
        EXPECT_EQ(state.LogFactorial[static_cast<std::size_t>(n)], six.LogFactorial[static_cast<std::size_t>(n)]);
        for (int32_t m = 1; m <= 6; ++m) {
            EXPECT_EQ(state.LogStirling2(n, m), six.LogStirling2(n, m)) << n << "," << m;
            EXPECT_EQ(state.ScoreMoments(n, m, 1), six.ScoreMoments(n, m, 1)) << n << "," << m;
            EXPECT_EQ(state.ScoreMoments(n, m, 2), six.ScoreMoments(n, m, 2)) << n << "," << m;
        }
    }
    // The call's own size bounds every checked read, as if built for 6.
    EXPECT_THROW(state.LogStirling2(7, 1), quorlan::IndexFault);
    EXPECT_THROW(state.LogStirling2(1, 7), quorlan::IndexFault);
    EXPECT_THROW(state.ScoreMoments(7, 2, 1), quorlan::IndexFault);
    EXPECT_THROW(state.ScoreMoments(6, 7, 2), quorlan::IndexFault);
    std::vector<int32_t> sevenSingles(8, 0);
    sevenSingles[1] = 7;
    EXPECT_THROW(quorlan::LogCoeff(state, sevenSingles, 7), quorlan::IndexFault);
    std::vector<int32_t> sixSingles(7, 0);
    sixSingles[1] = 6;
    EXPECT_EQ(quorlan::LogCoeff(state, sixSingles, 6), 0.0);

    // A size outside 1 to 41 fails, built or not.
    for (const int32_t size : {0, -1, 42}) {
        state.MaxSpecies = size;
        EXPECT_THROW(quorlan::PrepareTables(state), quorlan::IndexFault) << size;
    }
}

// ---- LogCoeff ----

struct CoeffCase {
    const char* name;
    std::vector<int32_t> c; // c[0] unused
    int32_t n;
    double expected;
};

class LogCoeffValues : public ::testing::TestWithParam<CoeffCase> {};

TEST_P(LogCoeffValues, CountsSetPartitionsWithTheProfile) {
    const ModuleState state = tablesFor(6);
    const CoeffCase& c = GetParam();
    EXPECT_NEAR(quorlan::LogCoeff(state, c.c, c.n), c.expected, 1e-14);
}

// Hand counts: one block of 1 and one of 3 among 4 species: 24 / (1 * 6) = 4;
// two pairs: 24 / (2^2 * 2!) = 3; 6 species in three pairs: 720 / (8 * 6) = 15.
INSTANTIATE_TEST_SUITE_P(
    Profiles, LogCoeffValues,
    ::testing::Values(CoeffCase{"OneAndThree", {0, 1, 0, 1, 0}, 4, std::log(4.0)},
                      CoeffCase{"TwoPairs", {0, 0, 2, 0, 0}, 4, std::log(3.0)},
                      CoeffCase{"AllSingle", {0, 4, 0, 0, 0}, 4, 0.0},
                      CoeffCase{"OneBlock", {0, 0, 0, 0, 1}, 4, 0.0},
                      CoeffCase{"ThreePairs", {0, 0, 3, 0, 0, 0, 0}, 6, std::log(15.0)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LogCoeff, CountsOutsideTheTableFail) {
    const ModuleState state = tablesFor(4);
    EXPECT_THROW(quorlan::LogCoeff(state, std::vector<int32_t>{0, -1, 2, 1, 0}, 4), quorlan::IndexFault);
    EXPECT_THROW(quorlan::LogCoeff(state, std::vector<int32_t>{0, 5, 0, 0, 0}, 4), quorlan::IndexFault);
    EXPECT_THROW(quorlan::LogCoeff(state, std::vector<int32_t>{0, 0, 0, 0, 0, 1}, 5), quorlan::IndexFault);
    // A count of MaxSpecies itself is inside.
    EXPECT_NO_THROW(quorlan::LogCoeff(state, std::vector<int32_t>{0, 4, 0, 0, 0}, 4));
}

// ---- Partitions ----

TEST(EnumeratePartitions, FiveInReverseLexicographicOrder) {
    std::vector<std::vector<int32_t>> seen;
    quorlan::EnumeratePartitions(5, [&](const int32_t* x, int32_t m) { seen.emplace_back(x + 1, x + 1 + m); });
    const std::vector<std::vector<int32_t>> expected{{5}, {4, 1}, {3, 2}, {3, 1, 1}, {2, 2, 1}, {2, 1, 1, 1},
                                                     {1, 1, 1, 1, 1}};
    EXPECT_EQ(seen, expected);
}

// Each visit is lexicographically smaller than the one before, from (n) down
// to (1, ..., 1): with the counts below, every partition once in that order.
TEST(EnumeratePartitions, EveryNInReverseLexicographicOrder) {
    for (int32_t n = 1; n <= 41; ++n) {
        std::vector<std::vector<int32_t>> seen;
        quorlan::EnumeratePartitions(n, [&](const int32_t* x, int32_t m) { seen.emplace_back(x + 1, x + 1 + m); });
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen.front(), std::vector<int32_t>{n}) << n;
        EXPECT_EQ(seen.back(), std::vector<int32_t>(static_cast<std::size_t>(n), 1)) << n;
        for (std::size_t i = 1; i < seen.size(); ++i)
            ASSERT_TRUE(seen[i] < seen[i - 1]) << n << ": visit " << i;
    }
}

TEST(EnumeratePartitions, CountsUpTo41) {
    int64_t total = 0;
    int64_t of41 = 0;
    for (int32_t n = 3; n <= 41; ++n) {
        int64_t count = 0;
        quorlan::EnumeratePartitions(n, [&](const int32_t* x, int32_t m) {
            int32_t sum = 0;
            for (int32_t i = 1; i <= m; ++i) {
                sum += x[i];
                if (i > 1) {
                    ASSERT_LE(x[i], x[i - 1]);
                }
            }
            ASSERT_EQ(sum, n);
            ++count;
        });
        total += count;
        if (n == 41)
            of41 = count;
    }
    EXPECT_EQ(of41, 44583);
    EXPECT_EQ(total, 259887);
}

// ---- Moments ----

TEST(ScoreMoments, FourSpeciesInTwoGuilds) {
    const ModuleState state = tablesFor(4);
    EXPECT_NEAR(state.ScoreMoments(4, 2, 1), 64.0 / 7.0, 1e-13);
    EXPECT_NEAR(state.ScoreMoments(4, 2, 2), 592.0 / 7.0, 1e-12);
}

TEST(ScoreMoments, CertainProfilesAreExact) {
    const ModuleState state = tablesFor(41);
    for (int32_t n = 3; n <= 41; ++n) {
        const double nn = n;
        EXPECT_EQ(state.ScoreMoments(n, 1, 1), nn * nn) << n;
        EXPECT_EQ(state.ScoreMoments(n, 1, 2), nn * nn * nn * nn) << n;
        EXPECT_EQ(state.ScoreMoments(n, n, 1), nn) << n;
        EXPECT_EQ(state.ScoreMoments(n, n, 2), nn * nn) << n;
        // One pair, the rest single: E[S] = n + 2 and no variance, up to rounding.
        const double e1 = state.ScoreMoments(n, n - 1, 1);
        const double e2 = state.ScoreMoments(n, n - 1, 2);
        EXPECT_NEAR(e1, nn + 2, 1e-12 * nn) << n;
        EXPECT_LT(std::fabs(e2 - e1 * e1), 1e-10) << n;
        for (int32_t m = n + 1; m <= 41; ++m)
            EXPECT_EQ(state.ScoreMoments(n, m, 1), 0.0);
    }
    for (int32_t m = 1; m <= 41; ++m)
        for (int32_t n = 1; n <= 2; ++n)
            EXPECT_EQ(state.ScoreMoments(n, m, 1), 0.0);
}

// The moments read the profile's LogCoeff off the parts; summing the shares
// from LogCoeff of each profile in the visit order gives the same bits.
TEST(ScoreMoments, SameBitsAsLogCoeffOfEachProfile) {
    const ModuleState state = tablesFor(41);
    for (int32_t n = 3; n <= 41; ++n) {
        std::vector<double> first(42, 0.0), second(42, 0.0);
        quorlan::EnumeratePartitions(n, [&](const int32_t* x, int32_t m) {
            std::vector<int32_t> c(static_cast<std::size_t>(n) + 1, 0);
            int32_t S = 0;
            for (int32_t i = 1; i <= m; ++i) {
                ++c[static_cast<std::size_t>(x[i])];
                S += x[i] * x[i];
            }
            const double P = std::exp(quorlan::LogCoeff(state, c, n) - state.LogStirling2(n, m));
            first[static_cast<std::size_t>(m)] = S * P + first[static_cast<std::size_t>(m)];
            second[static_cast<std::size_t>(m)] = static_cast<double>(S * S) * P + second[static_cast<std::size_t>(m)];
        });
        for (int32_t m = 1; m <= n; ++m) {
            EXPECT_EQ(state.ScoreMoments(n, m, 1), first[static_cast<std::size_t>(m)]) << n << "," << m;
            EXPECT_EQ(state.ScoreMoments(n, m, 2), second[static_cast<std::size_t>(m)]) << n << "," << m;
        }
    }
}

// Brute force over every set partition (restricted growth strings), an
// independent route to E[S] and E[S^2], for n up to 9 and every m.
TEST(ScoreMoments, AgreeWithSetPartitionsForSmallN) {
    const ModuleState state = tablesFor(9);
    for (int32_t n = 3; n <= 9; ++n) {
        std::vector<double> count(10), sum1(10), sum2(10);
        std::vector<int> a(static_cast<std::size_t>(n), 0);
        std::function<void(int, int)> walk = [&](int i, int blocks) {
            if (i == n) {
                std::vector<int> sizes(static_cast<std::size_t>(blocks), 0);
                for (int v : a)
                    ++sizes[static_cast<std::size_t>(v)];
                double S = 0;
                for (int s : sizes)
                    S += s * s;
                count[static_cast<std::size_t>(blocks)] += 1;
                sum1[static_cast<std::size_t>(blocks)] += S;
                sum2[static_cast<std::size_t>(blocks)] += S * S;
                return;
            }
            for (int v = 0; v <= blocks; ++v) {
                a[static_cast<std::size_t>(i)] = v;
                walk(i + 1, v == blocks ? blocks + 1 : blocks);
            }
        };
        a[0] = 0;
        walk(1, 1);
        for (int32_t m = 1; m <= n; ++m) {
            const auto k = static_cast<std::size_t>(m);
            EXPECT_NEAR(state.ScoreMoments(n, m, 1), sum1[k] / count[k], 1e-12 * sum1[k] / count[k]) << n << "," << m;
            EXPECT_NEAR(state.ScoreMoments(n, m, 2), sum2[k] / count[k], 1e-12 * sum2[k] / count[k]) << n << "," << m;
        }
    }
}

// Exact rational moments by a separate enumeration of the integer partitions
// with exact Stirling numbers (Python fractions), rounded to double.
TEST(ScoreMoments, AgreeWithExactRationalsForLargeN) {
    const ModuleState state = tablesFor(41);
    struct Exact {
        int32_t n, m;
        double e1, e2;
    };
    const Exact exact[] = {
        {10, 3, 39.18006430868167, 1561.974276527331},  {20, 7, 70.90937405738826, 5083.477827073509},
        {30, 15, 76.58687597967337, 5902.660158798832}, {41, 2, 860.9999999992542, 742140.999998105},
        {41, 14, 151.0110899182397, 22940.367070655113},
    };
    for (const Exact& e : exact) {
        EXPECT_NEAR(state.ScoreMoments(e.n, e.m, 1), e.e1, 1e-11 * e.e1) << e.n << "," << e.m;
        EXPECT_NEAR(state.ScoreMoments(e.n, e.m, 2), e.e2, 1e-11 * e.e2) << e.n << "," << e.m;
    }
}

} // namespace
