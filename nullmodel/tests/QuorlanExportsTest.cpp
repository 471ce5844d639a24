// The two exports of libQuorlan.so with the real Pellivorn beside it.

#include "distribution/Pellivorn.h"
#include "nullmodel/Quorlan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

// Types[0] is never read: it holds a string that would change every result.
struct TypesArray {
    explicit TypesArray(std::vector<std::string> strings) : texts(std::move(strings)) {
        pointers.push_back("(0,0,1,1,0,0,0)");
        for (const std::string& s : texts)
            pointers.push_back(s.c_str());
    }
    const char* const* data() const { return pointers.data(); }
    int32_t upper() const { return static_cast<int32_t>(texts.size()); }
    std::vector<std::string> texts;
    std::vector<const char*> pointers;
};

double standardNormal(double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); }

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A plausible small matrix's sites: 4 to 8 species in two to four guilds.
const TypesArray Sites({"(0,2,0,0)", "(1,0,1,0)", "(2,1,0,0,0)", "(1,1,1,0,0,0)", "(0,2,0,0)",
                        "(2,0,0,0,0,1,0,0)", "(0,1,2,0,0,0,0,0)", "()", "(1,0,1,0)", "(0,0,1,1,0,0,0)"});

TEST(PValueExport, TwoPairsOfFour) {
    // z = -8/sqrt(48); the trapezoid rule of NormCDF is within 4E-7 of the
    // exact tail, the tail beyond 5.5 is 2E-8.
    const TypesArray one({"(0,2,0,0)"});
    EXPECT_NEAR(PValue(one.data(), one.upper(), 0), standardNormal(-8 / std::sqrt(48.0)), 5e-7);
    EXPECT_NEAR(PValue(one.data(), one.upper(), 0), 0.124, 5e-4);
    const TypesArray ten(std::vector<std::string>(10, "(0,2,0,0)"));
    EXPECT_NEAR(PValue(ten.data(), ten.upper(), 0), standardNormal(-8 / std::sqrt(48.0) * std::sqrt(10.0)), 5e-7);
}

TEST(PValueExport, SpecialResults) {
    const TypesArray none({"()", "(1)", "(0,1)", "(2,1,0)", "(0,0,0,1)", "(4,0,0,0)", "(2,1,0,0)"});
    EXPECT_EQ(PValue(none.data(), none.upper(), 0), -1);
    EXPECT_EQ(PValue(none.data(), 0, 0), -1);
    EXPECT_EQ(PValue(none.data(), -1, 0), -1);
    const TypesArray certain({"(1,1,1,1)"});
    EXPECT_EQ(PValue(certain.data(), certain.upper(), 0), 1);
}

TEST(PValueExport, DoesNotDependOnTheSeed) {
    const double reference = PValue(Sites.data(), Sites.upper(), 0);
    ASSERT_GT(reference, 0);
    ASSERT_LT(reference, 1);
    for (int32_t Seed : {1, 5489, 2147483647, -1, -2})
        EXPECT_TRUE(sameBits(PValue(Sites.data(), Sites.upper(), Seed), reference)) << Seed;
}

TEST(PValueExport, FailedCalls) {
    EXPECT_TRUE(std::isnan(PValue(nullptr, 3, 0)));
    EXPECT_TRUE(std::isnan(PValue(nullptr, 0, 0)));
    const TypesArray outside({"(1,1,1,4)"}); // 7 guilds among 4 species
    EXPECT_TRUE(std::isnan(PValue(outside.data(), outside.upper(), 0)));
}

TEST(BetaExport, NoUsableTypeIsZero) {
    const TypesArray none({"()", "(0,0,0,1)"});
    for (int32_t Iterations : {0, -3, 100}) {
        RejectionRates rates{0.5, 0.5};
        ASSERT_EQ(Beta(&rates, 1.7, none.data(), none.upper(), Iterations, 0), &rates);
        EXPECT_TRUE(sameBits(rates.CompetitionRate, 0.0));
        EXPECT_TRUE(sameBits(rates.FacilitationRate, 0.0));
    }
}

TEST(BetaExport, SameArgumentsSameRecord) {
    for (double Strength : {0.1, 1.0, 2.9}) {
        RejectionRates first{}, second{};
        ASSERT_EQ(Beta(&first, Strength, Sites.data(), Sites.upper(), 300, 17), &first);
        ASSERT_EQ(Beta(&second, Strength, Sites.data(), Sites.upper(), 300, 17), &second);
        EXPECT_EQ(std::memcmp(&first, &second, sizeof first), 0) << Strength;
    }
}

TEST(BetaExport, SameDrawsAtEveryStrength) {
    // The generator stands at the same place after every strength's call.
    std::vector<double> next;
    for (double Strength : {0.1, 0.5, 1.0, 2.0, 2.9, 1E7}) {
        RejectionRates rates{};
        ASSERT_EQ(Beta(&rates, Strength, Sites.data(), Sites.upper(), 50, 23), &rates);
        next.push_back(RndU());
    }
    for (double value : next)
        EXPECT_TRUE(sameBits(value, next.front()));
}

TEST(BetaExport, CompetitionAndFacilitationMoveApart) {
    RejectionRates strong{}, null{}, weak{};
    ASSERT_NE(Beta(&strong, 2.9, Sites.data(), Sites.upper(), 500, 3), nullptr);
    ASSERT_NE(Beta(&null, 1.0, Sites.data(), Sites.upper(), 500, 3), nullptr);
    ASSERT_NE(Beta(&weak, 0.1, Sites.data(), Sites.upper(), 500, 3), nullptr);
    EXPECT_GT(strong.CompetitionRate, null.CompetitionRate);
    EXPECT_GT(weak.FacilitationRate, null.FacilitationRate);
}

TEST(BetaExport, NegativeCountGivesNegativeZeros) {
    RejectionRates rates{1, 1};
    ASSERT_EQ(Beta(&rates, 1.0, Sites.data(), Sites.upper(), -1, 0), &rates);
    EXPECT_TRUE(sameBits(rates.CompetitionRate, -0.0));
    EXPECT_TRUE(sameBits(rates.FacilitationRate, -0.0));
}

TEST(BetaExport, HugeStrengthRejectsNothing) {
    RejectionRates rates{1, 1};
    ASSERT_EQ(Beta(&rates, 1E7, Sites.data(), Sites.upper(), 200, 0), &rates);
    EXPECT_EQ(rates.CompetitionRate, 0.0);
    EXPECT_EQ(rates.FacilitationRate, 0.0);
}

TEST(BetaExport, FailedCallsLeaveTheResultAlone) {
    const RejectionRates untouched{0.125, 0.375};
    struct Case {
        const char* name;
        const char* const* Types;
        int32_t Iterations;
        double Strength;
    } cases[] = {{"NeverDimensioned", nullptr, 10, 1.0},
                 {"NoIterations", Sites.data(), 0, 1.0},
                 {"WeightOverflow", Sites.data(), 10, 1E300},
                 {"NoValue", Sites.data(), 10, std::nan("")}};
    for (const Case& c : cases) {
        RejectionRates rates = untouched;
        EXPECT_EQ(Beta(&rates, c.Strength, c.Types, Sites.upper(), c.Iterations, 0), nullptr) << c.name;
        EXPECT_EQ(std::memcmp(&rates, &untouched, sizeof rates), 0) << c.name;
    }
    // Only pool fractions of 0 (the recorded (1,1,1,1)): nothing to simulate.
    const TypesArray certain({"(1,1,1,1)"});
    RejectionRates rates = untouched;
    EXPECT_EQ(Beta(&rates, 1.0, certain.data(), certain.upper(), 10, 0), nullptr);
    EXPECT_EQ(std::memcmp(&rates, &untouched, sizeof rates), 0);
}

// Sites of 4 to 15 species, some repeated, in the order the draws follow.
const TypesArray Mixed({"(0,2,0,0)", "(1,0,1,0)", "(2,1,0,0,0)", "(1,1,1,0,0,0)", "(0,2,0,0)",
                        "(2,0,0,0,0,1,0,0)", "(0,1,2,0,0,0,0,0)", "()", "(1,0,1,0)", "(0,0,1,1,0,0,0)",
                        "(3,2,1,1,0,0,0,0,0,0,0,0)", "(0,0,0,0,3,0,0,0,0,0,0,0,0,0,0)"});

TEST(Exports, ResultsOfTheIndependentWorking) {
    // Expected values from tests/endtoend/oracle.py (its pvalue and beta, fed
    // these strings): the reference MT19937 seeded twice by Beta, the pool
    // fractions drawn first in first-met order, n - 1 draws per simulated
    // site. Any change to the order or number of draws changes the counts.
    EXPECT_TRUE(sameBits(PValue(Mixed.data(), Mixed.upper(), 0), 0x1.6902aae3fd2dap-1));
    struct Case {
        double Strength;
        int32_t Iterations;
        int32_t Seed;
        int32_t competitions;
        int32_t facilitations;
    };
    const Case cases[] = {
        {0.1, 300, 17, 0, 211},   {1.0, 300, 17, 7, 22},   {2.9, 300, 17, 77, 0},
        {1.0, 300, 0, 1, 15},     {0.7, 1000, 2147483647, 1, 611}, {1.9, 250, 5489, 33, 0},
    };
    for (const Case& c : cases) {
        RejectionRates rates{};
        ASSERT_EQ(Beta(&rates, c.Strength, Mixed.data(), Mixed.upper(), c.Iterations, c.Seed), &rates);
        const double count = c.Iterations;
        EXPECT_TRUE(sameBits(rates.CompetitionRate, c.competitions / count))
            << c.Strength << " " << c.Seed << ": " << rates.CompetitionRate * count;
        EXPECT_TRUE(sameBits(rates.FacilitationRate, c.facilitations / count))
            << c.Strength << " " << c.Seed << ": " << rates.FacilitationRate * count;
    }
    // The same strings in the reverse order: other types meet the draws first.
    std::vector<std::string> reversed(Mixed.texts.rbegin(), Mixed.texts.rend());
    const TypesArray backwards(reversed);
    RejectionRates rates{};
    ASSERT_EQ(Beta(&rates, 1.0, backwards.data(), backwards.upper(), 300, 17), &rates);
    EXPECT_TRUE(sameBits(rates.CompetitionRate, 2 / 300.0));
    EXPECT_TRUE(sameBits(rates.FacilitationRate, 17 / 300.0));
}

TEST(BetaExport, SeedBelowMinusOneRunsOnFromTheGeneratorsState) {
    // Neither Beta's own seeding nor the loading's touches the generator, so
    // after seeding it with 0 by hand the call is the call with the seed 0,
    // and it leaves the generator where that call leaves it.
    RejectionRates seeded{}, runningOn{};
    ASSERT_EQ(Beta(&seeded, 1.3, Mixed.data(), Mixed.upper(), 200, 0), &seeded);
    const double nextAfterSeeded = RndU();
    alignas(16) unsigned char variant[16];
    RandomizeU(variant, 0);
    ASSERT_EQ(Beta(&runningOn, 1.3, Mixed.data(), Mixed.upper(), 200, -2), &runningOn);
    EXPECT_EQ(std::memcmp(&runningOn, &seeded, sizeof seeded), 0);
    EXPECT_TRUE(sameBits(RndU(), nextAfterSeeded));
}

TEST(Exports, EachThreadHasItsOwnState) {
    RejectionRates here{};
    ASSERT_NE(Beta(&here, 1.3, Sites.data(), Sites.upper(), 200, 8), nullptr);
    const double p = PValue(Sites.data(), Sites.upper(), 8);
    RejectionRates there[2]{};
    double pThere[2]{};
    std::thread threads[2];
    for (int t = 0; t < 2; ++t)
        threads[t] = std::thread([&, t] {
            Beta(&there[t], 1.3, Sites.data(), Sites.upper(), 200, 8);
            pThere[t] = PValue(Sites.data(), Sites.upper(), 8);
        });
    for (auto& thread : threads)
        thread.join();
    for (int t = 0; t < 2; ++t) {
        EXPECT_EQ(std::memcmp(&there[t], &here, sizeof here), 0);
        EXPECT_TRUE(sameBits(pThere[t], p));
    }
}

} // namespace
