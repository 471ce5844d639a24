// libQuorlan.so binds libPellivorn.so by its bare name from its own folder: a
// copy of Quorlan in this test's folder fails its calls while Pellivorn is
// missing there, and works once Pellivorn is copied in. Each of Pellivorn's
// exports is bound on its own: a Pellivorn that lacks one fails only the calls
// that need it.

#include "nullmodel/Quorlan.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

const fs::path Folder = fs::read_symlink("/proc/self/exe").parent_path();
const fs::path QuorlanCopy = Folder / "libQuorlan.so";
const fs::path PellivornCopy = Folder / "libPellivorn.so";

class QuorlanBinding : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(fs::path(QUORLAN_BUILT).parent_path(), Folder);
        fs::remove(PellivornCopy); // left over from a run that was killed
        fs::copy_file(QUORLAN_BUILT, QuorlanCopy, fs::copy_options::overwrite_existing);
    }
    void TearDown() override {
        fs::remove(PellivornCopy);
        fs::remove(QuorlanCopy);
    }
};

double standardNormal(double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); }

// Loads the Quorlan copy, calls both exports with the usable (0,2,0,0) and
// with nothing usable, prints what each call gave and ends the process: a
// Pellivorn once bound stays loaded, so each stand-in needs a process of its
// own.
[[noreturn]] void reportOutcomes() {
    std::string report = "outcomes:";
    void* quorlan = dlopen(QuorlanCopy.c_str(), RTLD_NOW | RTLD_LOCAL);
    const auto pValue = quorlan ? reinterpret_cast<decltype(&PValue)>(dlsym(quorlan, "PValue")) : nullptr;
    const auto beta = quorlan ? reinterpret_cast<decltype(&Beta)>(dlsym(quorlan, "Beta")) : nullptr;
    if (!pValue || !beta) {
        std::fprintf(stderr, "Quorlan can't be loaded\n");
        std::_Exit(1);
    }
    const char* usable[] = {nullptr, "(0,2,0,0)"};
    const char* none[] = {nullptr, "()"};

    const double p = pValue(usable, 1, 0);
    report += std::isnan(p)                                                  ? " PValue fails"
              : std::fabs(p - standardNormal(-8 / std::sqrt(48.0))) < 1e-12 ? " PValue p"
                                                                              : " PValue " + std::to_string(p);
    report += pValue(none, 1, 0) == -1 ? ", PValue -1" : ", PValue not -1";

    for (const char* const* Types : {usable, none}) {
        const RejectionRates untouched{0.5, 0.25};
        RejectionRates rates = untouched;
        if (!beta(&rates, 1.0, Types, 1, 10, 0))
            report += std::memcmp(&rates, &untouched, sizeof rates) == 0 ? ", Beta fails" : ", Beta fails and writes";
        else if (rates.CompetitionRate == 0 && rates.FacilitationRate == 0 && Types == none)
            report += ", Beta 0 0";
        else if (rates.CompetitionRate >= 0 && rates.CompetitionRate <= 1 && rates.FacilitationRate >= 0 &&
                 rates.FacilitationRate <= 1)
            report += ", Beta rates";
        else
            report += ", Beta out of range";
    }
    std::fprintf(stderr, "%s.\n", report.c_str());
    std::fflush(stderr);
    std::_Exit(0);
}

TEST_F(QuorlanBinding, FailsWhilePellivornIsMissingThenBinds) {
    void* quorlan = dlopen(QuorlanCopy.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(quorlan, nullptr) << dlerror();
    const auto pValue = reinterpret_cast<decltype(&PValue)>(dlsym(quorlan, "PValue"));
    const auto beta = reinterpret_cast<decltype(&Beta)>(dlsym(quorlan, "Beta"));
    ASSERT_NE(pValue, nullptr);
    ASSERT_NE(beta, nullptr);

    const char* usable[] = {nullptr, "(0,2,0,0)", "(1,0,1,0)"};
    const char* none[] = {nullptr, "()"};
    const char* certain[] = {nullptr, "(1,1,1,1)"};
    const RejectionRates untouched{0.5, 0.25};
    RejectionRates rates = untouched;

    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_TRUE(std::isnan(pValue(usable, 2, 0)));
        // Results that need nothing of Pellivorn.
        EXPECT_EQ(pValue(none, 1, 0), -1);
        EXPECT_EQ(pValue(certain, 1, 0), 1);
        // Beta seeds first, so it fails even with nothing usable.
        EXPECT_EQ(beta(&rates, 1.0, usable, 2, 10, 0), nullptr);
        EXPECT_EQ(beta(&rates, 1.0, none, 1, 10, 0), nullptr);
        EXPECT_EQ(std::memcmp(&rates, &untouched, sizeof rates), 0);
    }

    fs::copy_file(PELLIVORN_BUILT, PellivornCopy);

    const double p = pValue(usable, 2, 0);
    EXPECT_GT(p, 0);
    EXPECT_LT(p, 1);
    EXPECT_EQ(beta(&rates, 1.0, usable, 2, 10, 0), &rates);
    EXPECT_GE(rates.CompetitionRate, 0);
    EXPECT_LE(rates.CompetitionRate, 1);
}

TEST_F(QuorlanBinding, EachExportIsBoundOnItsOwn) {
    // Each case in a fresh process: see reportOutcomes.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct Case {
        const char* missing;
        const char* standIn;
        const char* outcomes;
    } cases[] = {
        // PValue needs NormCDF only for a variance above the threshold; Beta never.
        {"NormCDF", PELLIVORN_WITHOUT_NormCDF, "outcomes: PValue fails, PValue -1, Beta rates, Beta 0 0\\."},
        // Without draws no pool fraction is estimated: PValue doesn't use them,
        // Beta fails at the lookup.
        {"RndU", PELLIVORN_WITHOUT_RndU, "outcomes: PValue p, PValue -1, Beta fails, Beta 0 0\\."},
        // PValue's loading skips the seeding; Beta's own seeding is its first step.
        {"RandomizeU", PELLIVORN_WITHOUT_RandomizeU, "outcomes: PValue p, PValue -1, Beta fails, Beta fails\\."},
    };
    for (const Case& c : cases) {
        // A new file each time, never one rewritten under a process that maps it.
        fs::remove(PellivornCopy);
        fs::copy_file(c.standIn, PellivornCopy);
        EXPECT_EXIT(reportOutcomes(), ::testing::ExitedWithCode(0), c.outcomes) << "without " << c.missing;
    }
}

} // namespace
