// A libQuorlan.so that has PValue but lacks Beta: the Run gets its p-value,
// advances to the first power step and ends there with an error; the binding
// of PValue is kept and Beta is looked up again by the next Run.

#include "analysis/Kernel.h"
#include "analysis/MarviskError.h"
#include "analysis/UpdateProgress.h"
#include "analysis/frmProgress.h"
#include "analysis/tests/KernelFakeQuorlan.h"
#include "tests/support/WidgetTestMain.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

TEST(KernelMissingBeta, RunEndsAtTheFirstBetaCall) {
    void* library = dlopen("libQuorlan.so", RTLD_NOW);
    ASSERT_NE(library, nullptr) << dlerror();
    ASSERT_EQ(dlsym(library, "Beta"), nullptr) << "the library beside the test must lack Beta";
    const auto pValueCalls = reinterpret_cast<decltype(&KernelFakePValueCalls)>(dlsym(library, "KernelFakePValueCalls"));
    ASSERT_NE(pValueCalls, nullptr);

    progressWindow().show();
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        int number = 0;
        try {
            Kernel({"(0,2,0,0)"});
        } catch (const MarviskError& error) {
            number = error.number();
        }
        EXPECT_EQ(number, KernelErrors::ExportNotFound);
        EXPECT_EQ(pValueCalls(), run);
        EXPECT_EQ(ProgressStep, 2);
    }
    progressWindow().hide();
    dlclose(library);
}

} // namespace

MARVISK_WIDGET_TEST_MAIN()
