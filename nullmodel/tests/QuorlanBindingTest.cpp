// libQuorlan.so binds libPellivorn.so by its bare name from its own folder: a
// copy of Quorlan in this test's folder fails its calls while Pellivorn is
// missing there, and works once Pellivorn is copied in.

#include "nullmodel/Quorlan.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cmath>
#include <cstring>
#include <filesystem>

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

} // namespace
