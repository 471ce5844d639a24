// The kernel binds libQuorlan.so by its bare name from the program's own
// folder at the first call that needs it. While the file is missing every Run
// ends with an error and nothing is kept; once the file is put in place the
// next Run binds it and runs.

#include "analysis/Kernel.h"
#include "analysis/MarviskError.h"
#include "analysis/Settings.h"
#include "analysis/UpdateProgress.h"
#include "analysis/frmProgress.h"
#include "analysis/tests/KernelFakeQuorlan.h"
#include "tests/support/WidgetTestMain.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

// Where the test double is built, and where the kernel looks: beside this program.
const fs::path LibraryBuilt = KERNEL_FAKE_PATH;
const fs::path LibraryBeside = fs::read_symlink("/proc/self/exe").parent_path() / "libQuorlan.so";

const std::vector<std::string> Types{"(0,2,0,0)", "(1,1)"};

class KernelBinding : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(LibraryBuilt)) << LibraryBuilt;
        ASSERT_NE(LibraryBuilt.parent_path(), LibraryBeside.parent_path()) << "the library must start out elsewhere";
        fs::remove(LibraryBeside); // left over from an earlier run that was killed
        progressWindow().show();
    }
    void TearDown() override {
        fs::remove(LibraryBeside);
        progressWindow().hide();
    }
};

TEST_F(KernelBinding, MissingLibraryEndsTheRunThenBindsOnceInPlace) {
    // Missing: the Run ends at the PValue call, before any Beta, on every attempt.
    for (int attempt = 0; attempt < 2; ++attempt) {
        SCOPED_TRACE(attempt);
        int number = 0;
        try {
            Kernel(Types);
        } catch (const MarviskError& error) {
            number = error.number();
        }
        EXPECT_EQ(number, KernelErrors::LibraryNotFound);
        EXPECT_EQ(ProgressStep, 1);
        EXPECT_EQ(progressWindow().CancelFlag, QString());
    }

    fs::copy_file(LibraryBuilt, LibraryBeside);

    const SimulationResults record = Kernel(Types);
    EXPECT_EQ(record.CompetitionPValue, KernelFakePValue);
    for (int r = 1; r <= 29; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(record.power(r, 2), KernelFakeRates.CompetitionRate);
        EXPECT_EQ(record.power(r, 3), KernelFakeRates.FacilitationRate);
    }
    EXPECT_EQ(ProgressStep, 30);

    // The library that answered is the one put in place, called 30 times.
    void* library = dlopen("libQuorlan.so", RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(library, nullptr);
    const auto pValueCalls = reinterpret_cast<decltype(&KernelFakePValueCalls)>(dlsym(library, "KernelFakePValueCalls"));
    const auto betaCalls = reinterpret_cast<decltype(&KernelFakeBetaCalls)>(dlsym(library, "KernelFakeBetaCalls"));
    ASSERT_NE(pValueCalls, nullptr);
    ASSERT_NE(betaCalls, nullptr);
    EXPECT_EQ(pValueCalls(), 1);
    EXPECT_EQ(betaCalls(), 29);
    dlclose(library);
}

} // namespace

MARVISK_WIDGET_TEST_MAIN()
