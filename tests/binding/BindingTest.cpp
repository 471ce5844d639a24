// A library bound by bare file name is searched in the binding program's own
// folder (its $ORIGIN run path). While it is missing every call fails and keeps
// nothing; once it is put there the next call binds it.

#include "platform/LibraryBinding.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

// Where the probe is built, and where this program expects it: beside itself.
const fs::path ProbeBuilt = BINDING_PROBE_PATH;
const fs::path ProbeBeside = fs::read_symlink("/proc/self/exe").parent_path() / BINDING_PROBE_NAME;

platform::LateBoundLibrary Probe(BINDING_PROBE_NAME);
platform::LateBoundFunction<int32_t(int32_t)> ProbeAnswer(Probe, "ProbeAnswer");
platform::LateBoundFunction<int32_t(int32_t)> ProbeMissing(Probe, "NoSuchExport");

class LibraryBinding : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(ProbeBuilt)) << ProbeBuilt;
        ASSERT_NE(ProbeBuilt.parent_path(), ProbeBeside.parent_path()) << "the probe must start out elsewhere";
        fs::remove(ProbeBeside); // left over from an earlier run that was killed
    }
    void TearDown() override { fs::remove(ProbeBeside); }
};

TEST_F(LibraryBinding, FailsWhileMissingThenBindsOnceInPlace) {
    // Missing: every call fails, and a failure is not kept.
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(ProbeAnswer.address(), nullptr);
        EXPECT_EQ(Probe.handle(), nullptr);
    }

    fs::copy_file(ProbeBuilt, ProbeBeside);

    const auto answer = ProbeAnswer.address();
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(20), 41);
    EXPECT_NE(Probe.handle(), nullptr);

    // An export the library lacks fails on every call without unbinding the rest.
    EXPECT_EQ(ProbeMissing.address(), nullptr);
    EXPECT_EQ(ProbeMissing.address(), nullptr);

    // Bound for the life of the process: the file may go, the function stays.
    fs::remove(ProbeBeside);
    EXPECT_EQ(ProbeAnswer.address(), answer);
    EXPECT_EQ(ProbeAnswer.address()(-3), -5);
}

} // namespace
