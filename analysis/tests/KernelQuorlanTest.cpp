// The kernel with the real libQuorlan.so (and through it libPellivorn.so),
// found by its bare name on this program's run path to the program's folder.

#include "analysis/Kernel.h"
#include "analysis/MarviskError.h"
#include "analysis/Settings.h"
#include "analysis/frmProgress.h"
#include "tests/support/WidgetTestMain.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <dlfcn.h>
#include <string>
#include <vector>

namespace {

class KernelWithQuorlan : public ::testing::Test {
protected:
    void SetUp() override {
        void* library = dlopen("libQuorlan.so", RTLD_NOW);
        ASSERT_NE(library, nullptr) << dlerror();
        ASSERT_EQ(dlsym(library, "KernelFakeSetHooks"), nullptr) << "this test needs the real library";
        dlclose(library);
        Settings::IterationCount = 200;
        Settings::RandomSeed = 5;
        progressWindow().show();
    }
    void TearDown() override {
        progressWindow().hide();
        Settings::IterationCount = 0;
        Settings::RandomSeed = 0;
    }
};

void expectRatesOfCount(const SimulationResults& record, int32_t iterations) {
    for (int r = 1; r <= 29; ++r) {
        for (int col = 2; col <= 3; ++col) {
            const double rate = record.power(r, col);
            SCOPED_TRACE(testing::Message() << "row " << r << " column " << col);
            EXPECT_GE(rate, 0.0);
            EXPECT_LE(rate, 1.0);
            // A share of the simulated data sets.
            const double count = rate * iterations;
            EXPECT_NEAR(count, std::round(count), 1e-9);
        }
    }
}

TEST_F(KernelWithQuorlan, OneSiteGivesItsPValueAndAPowerTable) {
    // Four species in two guilds of two: Obs 8, Mean 64/7, Var 48/49, so
    // z = -8 / sqrt(48) and p = Phi(z) = 0.12410653949496 (from erfc; the
    // library's normal distribution is an approximation, hence the margin).
    const std::vector<std::string> types{"(0,2,0,0)"};
    const SimulationResults record = Kernel(types);
    EXPECT_NEAR(record.CompetitionPValue, 0.12410653949496, 1e-4);
    EXPECT_EQ(std::bit_cast<uint64_t>(record.power(1, 1)), std::bit_cast<uint64_t>(0.1));
    EXPECT_EQ(std::bit_cast<uint64_t>(record.power(10, 1)), std::bit_cast<uint64_t>(0.9999999999999999));
    EXPECT_EQ(std::bit_cast<uint64_t>(record.power(29, 1)), std::bit_cast<uint64_t>(2.9000000000000012));
    expectRatesOfCount(record, 200);

    // Every call reseeds, so a second Run gives the same table.
    const SimulationResults again = Kernel(types);
    EXPECT_EQ(again.PowerTable, record.PowerTable);
    EXPECT_EQ(again.CompetitionPValue, record.CompetitionPValue);
}

TEST_F(KernelWithQuorlan, TenSitesOfOneTypeScaleTheStatistic) {
    // z = -8 / sqrt(48) x sqrt(10); Phi(z) = 1.303648164277e-4 (from erfc).
    const std::vector<std::string> types(10, "(0,2,0,0)");
    const SimulationResults record = Kernel(types);
    EXPECT_NEAR(record.CompetitionPValue, 1.303648164277e-4, 1e-5);
    expectRatesOfCount(record, 200);
}

TEST_F(KernelWithQuorlan, NoUsableSiteTypeKeepsMinusOneAndZeroRates) {
    // Empty, too few species, and profiles that are certain (one guild; every
    // species its own guild).
    const std::vector<std::string> types{"()", "(2)", "(0,0,0,1)", "(4,0,0,0)"};
    const SimulationResults record = Kernel(types);
    EXPECT_EQ(record.CompetitionPValue, -1.0);
    for (int r = 1; r <= 29; ++r) {
        EXPECT_EQ(record.power(r, 2), 0.0) << r;
        EXPECT_EQ(record.power(r, 3), 0.0) << r;
    }
}

} // namespace

MARVISK_WIDGET_TEST_MAIN()
