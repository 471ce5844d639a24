// Beta's data sets walked side by side, on one thread and with helpers, in
// each build of the walk that the processor can run, give the sums and the
// rejection counts of the same data sets walked one draw after another, and
// draw exactly the same words on the calling thread.

#include "nullmodel/DataSetWalk.h"
#include "nullmodel/QuorlanCore.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using quorlan::SimulatedType;

// The words of the test: a Mersenne Twister of the calling thread, scaled as
// the generator scales them, with a count of the words drawn on this thread.
struct Stream {
    std::mt19937 words{0};
    int64_t drawn = 0;
};
thread_local Stream stream;
double draw() {
    ++stream.drawn;
    return static_cast<double>(stream.words()) * 2.3283064370807974E-10;
}
void restart(uint32_t seed) {
    stream.words.seed(seed);
    stream.drawn = 0;
}

// A set of site types as the simulation reads them: weights of a pool
// fraction x at Strength, the moments of real tables.
class SiteTypes {
public:
    SiteTypes(const quorlan::ModuleState& tables, std::vector<std::pair<int32_t, int32_t>> nf,
              std::vector<double> x, double Strength) {
        weights_.resize(nf.size());
        for (std::size_t t = 0; t < nf.size(); ++t) {
            const int32_t n = nf[t].first;
            weights_[t].push_back(0);
            for (int32_t j = 1; j <= n; ++j)
                weights_[t].push_back(x[t] / (std::pow(Strength, j) * (1 - x[t]) + x[t]));
            types.push_back({n, nf[t].second, weights_[t].data(), tables.ScoreMomentsRow(n, 1),
                             tables.ScoreMomentsRow(n, 2)});
        }
    }
    std::vector<SimulatedType> types;

private:
    std::vector<std::vector<double>> weights_;
};

struct Counts {
    int32_t c1 = 0;
    int32_t c2 = 0;
    int64_t drawn = 0;
    bool operator==(const Counts&) const = default;
};

Counts oneDrawAfterAnother(const std::vector<SimulatedType>& types, int32_t Iterations) {
    restart(7);
    Counts counts;
    quorlan::WalkOneDrawAfterAnother(types, &draw, Iterations, counts.c1, counts.c2);
    counts.drawn = stream.drawn;
    return counts;
}

Counts sideBySide(const std::vector<SimulatedType>& types, int32_t Iterations, unsigned helpers,
                  quorlan::VectorUnits units) {
    restart(7);
    Counts counts;
    quorlan::SimulateDataSets(types, &draw, Iterations, counts.c1, counts.c2, helpers, units);
    counts.drawn = stream.drawn;
    return counts;
}

// The builds of the walk side by side that this processor can run.
std::vector<quorlan::VectorUnits> unitsHere() {
    std::vector<quorlan::VectorUnits> units;
    for (const auto u : {quorlan::VectorUnits::Plain, quorlan::VectorUnits::Avx2, quorlan::VectorUnits::Avx512})
        if (quorlan::ProcessorHas(u))
            units.push_back(u);
    return units;
}

const char* nameOf(quorlan::VectorUnits units) {
    switch (units) {
    case quorlan::VectorUnits::Plain:
        return "plain";
    case quorlan::VectorUnits::Avx2:
        return "AVX2";
    case quorlan::VectorUnits::Avx512:
        return "AVX-512";
    }
    return "?";
}

class DataSetWalk : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        tables_ = new quorlan::ModuleState;
        tables_->MaxSpecies = 41;
        quorlan::LoadConstants(*tables_);
    }
    static void TearDownTestSuite() { delete tables_; }
    static quorlan::ModuleState* tables_;
};
quorlan::ModuleState* DataSetWalk::tables_ = nullptr;

struct Case {
    const char* name;
    std::vector<std::pair<int32_t, int32_t>> nf; // species, sites of the type
    std::vector<double> x;
};
// Strength 0 makes every weight 1, so each site is one guild of all its
// species: guilds of 16 to 31 and of 32 to 41 species, whose weights the
// widest walk looks up in the second and third part of its table.
const Case cases[] = {
        {"OneSmallType", {{4, 10}}, {0.5}},
        {"DefaultSized", {{11, 2}, {9, 3}, {12, 1}, {10, 4}, {8, 2}}, {0.3, 0.25, 0.2, 0.27, 0.4}},
        {"LargeSites", {{41, 3}, {35, 2}, {30, 4}, {38, 1}}, {0.1, 0.11, 0.09, 0.1}},
        // Many species in very few guilds: long walks before a founding.
        {"FewGuilds", {{40, 2}, {25, 3}}, {0.45, 0.3}},
        // A tiny pool fraction: nearly every species founds its own guild.
        {"TinyFraction", {{20, 3}, {41, 1}}, {1E-12, 1E-9}},
        // A pool fraction near 1: the first species crowd into guild 1 until
        // its weight falls, often past 16 species.
        {"CrowdedFirstGuild", {{41, 3}, {17, 4}}, {0.99999, 0.9999}},
};
const double strengths[] = {0.1, 0.5, 0.9999999999999999, 1.0, 1.3, 2.9000000000000012, 0.0, 1E7, 1E300};

TEST_F(DataSetWalk, SameSumsAsOneDrawAfterAnother) {
    for (const Case& c : cases)
        for (const double Strength : strengths) {
            const SiteTypes site(*tables_, c.nf, c.x, Strength);
            // 1 to 65 data sets: one lane, a whole walk of four groups, and
            // some lanes of a second.
            for (const int32_t Iterations : {1, 8, 31, 32, 33, 65}) {
                restart(11);
                const std::vector<quorlan::DataSetSums> expected =
                    quorlan::SumsOneDrawAfterAnother(site.types, &draw, Iterations);
                ASSERT_EQ(expected.size(), static_cast<std::size_t>(Iterations));
                for (const quorlan::VectorUnits units : unitsHere()) {
                    restart(11);
                    const std::vector<quorlan::DataSetSums> sums =
                        quorlan::SumsSideBySide(site.types, &draw, Iterations, units);
                    ASSERT_EQ(sums.size(), expected.size());
                    for (std::size_t d = 0; d < sums.size(); ++d) {
                        // Bit for bit: == would take -0 for +0.
                        EXPECT_EQ(std::bit_cast<uint64_t>(sums[d].SumS), std::bit_cast<uint64_t>(expected[d].SumS));
                        EXPECT_EQ(std::bit_cast<uint64_t>(sums[d].SumMean),
                                  std::bit_cast<uint64_t>(expected[d].SumMean));
                        EXPECT_EQ(std::bit_cast<uint64_t>(sums[d].SumVar), std::bit_cast<uint64_t>(expected[d].SumVar))
                            << c.name << " Strength " << Strength << " Iterations " << Iterations << " "
                            << nameOf(units) << " data set " << d;
                    }
                }
            }
        }
}

TEST_F(DataSetWalk, SameCountsAndWordsAsOneDrawAfterAnother) {
    for (const Case& c : cases)
        for (const double Strength : strengths) {
            const SiteTypes site(*tables_, c.nf, c.x, Strength);
            for (const SimulatedType& type : site.types)
                ASSERT_TRUE(quorlan::WalkSideBySide({type.w, static_cast<std::size_t>(type.n) + 1})) << Strength;
            for (const int32_t Iterations : {1, 7, 8, 9, 300}) {
                const Counts expected = oneDrawAfterAnother(site.types, Iterations);
                for (const quorlan::VectorUnits units : unitsHere())
                    for (const unsigned helpers : {0u, 1u, 3u, 7u})
                        EXPECT_EQ(sideBySide(site.types, Iterations, helpers, units), expected)
                            << c.name << " Strength " << Strength << " Iterations " << Iterations << " helpers "
                            << helpers << " " << nameOf(units);
            }
        }
}

TEST_F(DataSetWalk, AWalkLandingOnZeroGoesOn) {
    // Ten (0,2,0,0) sites, every weight 1/2, every word 1/2: u - w is exactly
    // 0 at guild 1, which is not below 0, so species 2 founds guild 2 and
    // species 3 and 4 join it: guilds {1, 3}, S = 10 a site, SumS = 100
    // against a mean of 640/7 and a variance of 480/49: z = +2.74, a
    // Facilitation/Filtering rejection in every data set. (Stopping at 0
    // would put all four in guild 1: no variance, no rejection.)
    const SiteTypes site(*tables_, {{4, 10}}, {0.5}, 1.0);
    const auto half = [] { return 0.5; };
    for (const int32_t Iterations : {1, 9, 40}) {
        for (const quorlan::DataSetSums& sums : quorlan::SumsOneDrawAfterAnother(site.types, half, Iterations))
            EXPECT_EQ(sums.SumS, 100);
        int32_t c1 = 0, c2 = 0;
        quorlan::WalkOneDrawAfterAnother(site.types, half, Iterations, c1, c2);
        EXPECT_EQ(c1, 0);
        EXPECT_EQ(c2, Iterations);
        for (const quorlan::VectorUnits units : unitsHere()) {
            // Guilds {1, 3} at every site, whatever the walk: S = 10 a site.
            for (const quorlan::DataSetSums& sums : quorlan::SumsSideBySide(site.types, half, Iterations, units))
                EXPECT_EQ(sums.SumS, 100) << Iterations << " " << nameOf(units);
            for (const unsigned helpers : {0u, 3u}) {
                int32_t s1 = 0, s2 = 0;
                quorlan::SimulateDataSets(site.types, half, Iterations, s1, s2, helpers, units);
                EXPECT_EQ(s1, 0) << Iterations << " " << helpers << " " << nameOf(units);
                EXPECT_EQ(s2, Iterations) << Iterations << " " << helpers << " " << nameOf(units);
            }
        }
    }
}

TEST_F(DataSetWalk, LargeCallsOverManyBuffersAgree) {
    // Enough data sets for many handed-over buffers and a last one part full:
    // its last walk holds 7 data sets, or 1, which go one draw after another
    // once the helpers are done.
    const SiteTypes site(*tables_, {{41, 2}, {30, 3}, {36, 1}}, {0.1, 0.12, 0.1}, 1.3);
    for (const int32_t Iterations : {2503, 2497}) {
        const Counts expected = oneDrawAfterAnother(site.types, Iterations);
        EXPECT_GT(expected.c1, 0);
        for (const quorlan::VectorUnits units : unitsHere())
            for (const unsigned helpers : {0u, 2u, 7u, 15u})
                EXPECT_EQ(sideBySide(site.types, Iterations, helpers, units), expected)
                    << Iterations << " " << helpers << " " << nameOf(units);
    }
}

TEST_F(DataSetWalk, WeightsTooLargeForTheWalkSideBySide) {
    // From 0 to 1E300: u only falls, and no subtraction of a walk can overflow.
    const double at = 1E300;
    const std::vector<double> ordinary{0, -0.0, 0.5, 1, at, 5E-324};
    EXPECT_TRUE(quorlan::WalkSideBySide(ordinary));
    const double infinity = std::numeric_limits<double>::infinity();
    for (const double w : {std::nextafter(at, infinity), -5E-324, -0.25, -at, infinity, -infinity, std::nan("")}) {
        std::vector<double> weights = ordinary;
        weights.push_back(w);
        EXPECT_FALSE(quorlan::WalkSideBySide(weights)) << w;
    }
}

TEST_F(DataSetWalk, WordsPerDataSet) {
    const SiteTypes site(*tables_, {{4, 10}, {41, 3}}, {0.5, 0.1}, 1.0);
    EXPECT_EQ(quorlan::WordsPerDataSet(site.types), 10 * 3 + 3 * 40);
    // Too many for a buffer of data sets side by side: 0.
    std::vector<SimulatedType> many = site.types;
    many[0].f = 1 << 20;
    EXPECT_EQ(quorlan::WordsPerDataSet(many), 0);
}

TEST_F(DataSetWalk, SmallCallsStartNoHelpers) {
    EXPECT_EQ(quorlan::HelpersWorthStarting(0), 0u);
    EXPECT_EQ(quorlan::HelpersWorthStarting(184 * 100), 0u);
    // A Beta call of the default-sized matrix stays on its thread.
    EXPECT_EQ(quorlan::HelpersWorthStarting(int64_t{246} * 2500), 0u);
    const unsigned large = quorlan::HelpersWorthStarting(int64_t{6983} * 2500);
    EXPECT_LT(large, std::max(1u, std::thread::hardware_concurrency()));
}

} // namespace
