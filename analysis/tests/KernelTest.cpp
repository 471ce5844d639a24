// The analysis kernel against a test double of libQuorlan.so that sits beside
// this program: the double hands every call to the hooks below, which record
// the arguments, decide the results and act during the call as a user would
// (a Cancel click queued while the call runs, as the window system would queue it).

#include "analysis/Kernel.h"
#include "analysis/MarviskError.h"
#include "analysis/Settings.h"
#include "analysis/UpdateProgress.h"
#include "analysis/frmProgress.h"
#include "analysis/tests/KernelFakeQuorlan.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <dlfcn.h>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

// One library call as the double saw it.
struct LibraryCall {
    bool isBeta = false;
    double strength = 0;
    int32_t typesUpper = 0;
    bool slotZeroNull = false;
    std::vector<std::string> types;
    int32_t iterations = 0;
    int32_t seed = 0;
    int32_t progressStep = 0; // the step shown when the call was made
};

// What the double does; call 0 is PValue, call k the k-th Beta.
struct Script {
    double pValue = 0.5;
    int failAt = -1;          // that call fails (NaN, null pointer)
    int clickAt = -1;         // the user clicks Cancel while that call runs
    int flagAt = -1;          // something writes flagText into CancelFlag during that call
    QString flagText;
    std::vector<LibraryCall> calls;
};

Script* script = nullptr;

// IterationCount and RandomSeed before any test changes them.
std::optional<std::pair<int32_t, int32_t>> settingsAtStart;

// Rates that tell the calls apart and are exact in binary.
RejectionRates ratesOfCall(int k) { return {k / 64.0, 1.0 - k / 128.0}; }

// A left click on the Cancel button, delivered when events are next processed.
void queueCancelClick() {
    QPushButton* button = progressWindow().cmd1;
    const QPointF inside = QRectF(button->rect()).center();
    const QPointF global = button->mapToGlobal(inside);
    QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonPress, inside, global, Qt::LeftButton,
                                                        Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonRelease, inside, global, Qt::LeftButton,
                                                        Qt::NoButton, Qt::NoModifier));
}

int recordCall(bool isBeta, double strength, const char* const* Types, int32_t upper, int32_t iterations,
               int32_t seed) {
    LibraryCall call;
    call.isBeta = isBeta;
    call.strength = strength;
    call.typesUpper = upper;
    call.slotZeroNull = Types && Types[0] == nullptr;
    for (int32_t i = 1; Types && i <= upper; ++i)
        call.types.emplace_back(Types[i] ? Types[i] : "<null>");
    call.iterations = iterations;
    call.seed = seed;
    call.progressStep = ProgressStep;
    script->calls.push_back(call);
    const int index = static_cast<int>(script->calls.size()) - 1;
    if (script->clickAt == index)
        queueCancelClick();
    if (script->flagAt == index)
        progressWindow().CancelFlag = script->flagText;
    return index;
}

double pValueHook(const char* const* Types, int32_t upper, int32_t seed) {
    const int index = recordCall(false, 0, Types, upper, 0, seed);
    return script->failAt == index ? std::numeric_limits<double>::quiet_NaN() : script->pValue;
}

RejectionRates* betaHook(RejectionRates* result, double strength, const char* const* Types, int32_t upper,
                         int32_t iterations, int32_t seed) {
    const int index = recordCall(true, strength, Types, upper, iterations, seed);
    if (script->failAt == index)
        return nullptr;
    *result = ratesOfCall(index);
    return result;
}

struct Outcome {
    std::optional<SimulationResults> record;
    int errorNumber = 0;
    std::string description;
};

Outcome runKernel(const std::vector<std::string>& types) {
    Outcome outcome;
    try {
        outcome.record = Kernel(types);
    } catch (const MarviskError& error) {
        outcome.errorNumber = error.number();
        outcome.description = error.what();
    }
    return outcome;
}

const std::vector<std::string> SomeTypes{"(0,2,0,0)", "()", "(3,1)"};

class KernelRun : public ::testing::Test {
protected:
    void SetUp() override {
        library_ = dlopen("libQuorlan.so", RTLD_NOW);
        ASSERT_NE(library_, nullptr) << dlerror();
        setHooks_ = reinterpret_cast<decltype(&KernelFakeSetHooks)>(dlsym(library_, "KernelFakeSetHooks"));
        ASSERT_NE(setHooks_, nullptr) << "the library beside the test must be the test double";
        script = &script_;
        setHooks_(pValueHook, betaHook);
        Settings::IterationCount = 0;
        Settings::RandomSeed = 0;
        frmProgress& window = progressWindow();
        window.CancelFlag.clear();
        window.cmd1->setEnabled(true);
        window.show();
    }
    void TearDown() override {
        if (setHooks_)
            setHooks_(nullptr, nullptr);
        script = nullptr;
        progressWindow().hide();
        if (library_)
            dlclose(library_);
    }

    int betaCalls() const {
        int n = 0;
        for (const LibraryCall& call : script_.calls)
            n += call.isBeta ? 1 : 0;
        return n;
    }

    Script script_;

private:
    void* library_ = nullptr;
    decltype(&KernelFakeSetHooks) setHooks_ = nullptr;
};

// The strengths as 0.1 accumulated 29 times, each given as the shortest
// decimal that reads back to it (worked by hand in binary: 0.1 + 0.1 + ...,
// rounding each sum to nearest even). Row 10 is the largest double below 1.
constexpr double Strengths[29] = {
    0.1,                0.2,                0.30000000000000004, 0.4,                0.5,
    0.6,                0.7,                0.7999999999999999,  0.8999999999999999, 0.9999999999999999,
    1.0999999999999999, 1.2,                1.3,                 1.4000000000000001, 1.5000000000000002,
    1.6000000000000003, 1.7000000000000004, 1.8000000000000005,  1.9000000000000006, 2.0000000000000004,
    2.1000000000000005, 2.2000000000000006, 2.3000000000000007,  2.400000000000001,  2.500000000000001,
    2.600000000000001,  2.700000000000001,  2.800000000000001,   2.9000000000000012,
};

TEST_F(KernelRun, StrengthsAreTheAccumulatedTenthsBitForBit) {
    const Outcome outcome = runKernel(SomeTypes);
    ASSERT_TRUE(outcome.record) << outcome.description;
    ASSERT_EQ(script_.calls.size(), 30u);
    for (int r = 1; r <= 29; ++r) {
        SCOPED_TRACE(r);
        const uint64_t expected = std::bit_cast<uint64_t>(Strengths[r - 1]);
        EXPECT_EQ(std::bit_cast<uint64_t>(outcome.record->power(r, 1)), expected);
        EXPECT_EQ(std::bit_cast<uint64_t>(script_.calls[r].strength), expected);
        EXPECT_NE(outcome.record->power(r, 1), 1.0);
    }
    EXPECT_EQ(std::bit_cast<uint64_t>(outcome.record->power(10, 1)), 0x3FEFFFFFFFFFFFFFull);
    // r / 10 differs, e.g. in row 3: the table is not computed that way.
    EXPECT_NE(outcome.record->power(3, 1), 3 / 10.0);
}

TEST_F(KernelRun, CallsInOrderWithTheProgressStepShownBeforeEach) {
    script_.pValue = 0.0390625;
    const Outcome outcome = runKernel(SomeTypes);
    ASSERT_TRUE(outcome.record) << outcome.description;
    ASSERT_EQ(script_.calls.size(), 30u);
    EXPECT_FALSE(script_.calls[0].isBeta);
    for (int k = 0; k < 30; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(script_.calls[k].isBeta, k > 0);
        EXPECT_EQ(script_.calls[k].progressStep, k + 1);
    }
    EXPECT_EQ(ProgressStep, 30);
    EXPECT_EQ(progressWindow().windowTitle(), QStringLiteral("Marvisk Progress... 100%"));
    EXPECT_EQ(outcome.record->CompetitionPValue, 0.0390625);
    for (int r = 1; r <= 29; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(outcome.record->power(r, 2), ratesOfCall(r).CompetitionRate);
        EXPECT_EQ(outcome.record->power(r, 3), ratesOfCall(r).FacilitationRate);
    }
}

TEST_F(KernelRun, EveryCallGetsTheStringsNumberedFromOne) {
    const Outcome outcome = runKernel(SomeTypes);
    ASSERT_TRUE(outcome.record) << outcome.description;
    ASSERT_EQ(script_.calls.size(), 30u);
    for (const LibraryCall& call : script_.calls) {
        EXPECT_EQ(call.typesUpper, 3);
        EXPECT_TRUE(call.slotZeroNull);
        EXPECT_EQ(call.types, SomeTypes);
    }
}

struct SettingsCase {
    int32_t iterationCount;
    int32_t randomSeed;
    int32_t iterationsPassed;
};

void PrintTo(const SettingsCase& c, std::ostream* os) {
    *os << "IterationCount " << c.iterationCount << ", RandomSeed " << c.randomSeed;
}

class KernelSettings : public KernelRun, public ::testing::WithParamInterface<SettingsCase> {};

TEST_P(KernelSettings, IterationsAndSeedReachEveryCall) {
    Settings::IterationCount = GetParam().iterationCount;
    Settings::RandomSeed = GetParam().randomSeed;
    const Outcome outcome = runKernel(SomeTypes);
    ASSERT_TRUE(outcome.record) << outcome.description;
    ASSERT_EQ(script_.calls.size(), 30u);
    EXPECT_EQ(script_.calls[0].seed, GetParam().randomSeed);
    for (int k = 1; k < 30; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(script_.calls[k].iterations, GetParam().iterationsPassed);
        EXPECT_EQ(script_.calls[k].seed, GetParam().randomSeed);
    }
}

// 0 is the start value and means 2500; any other count passes as set.
INSTANTIATE_TEST_SUITE_P(Options, KernelSettings,
                         ::testing::Values(SettingsCase{0, 0, 2500}, SettingsCase{500, 7, 500},
                                           SettingsCase{1, -1, 1}, SettingsCase{-4, -2, -4}));

// The settings as the program starts, before the options have ever been set:
// every Beta call gets 2500 data sets and every call the seed 0.
TEST_F(KernelRun, SettingsAsTheProgramStartsPass2500AndSeedZero) {
    ASSERT_TRUE(settingsAtStart);
    Settings::IterationCount = settingsAtStart->first;
    Settings::RandomSeed = settingsAtStart->second;
    const Outcome outcome = runKernel(SomeTypes);
    ASSERT_TRUE(outcome.record) << outcome.description;
    ASSERT_EQ(script_.calls.size(), 30u);
    EXPECT_EQ(script_.calls[0].seed, 0);
    for (int k = 1; k < 30; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(script_.calls[k].iterations, 2500);
        EXPECT_EQ(script_.calls[k].seed, 0);
    }
}

TEST_F(KernelRun, PValueIsKeptAsReturned) {
    for (double p : {-1.0, 1.0, 0.0, 0.125}) {
        SCOPED_TRACE(p);
        script_.calls.clear();
        script_.pValue = p;
        const Outcome outcome = runKernel(SomeTypes);
        ASSERT_TRUE(outcome.record) << outcome.description;
        EXPECT_EQ(std::bit_cast<uint64_t>(outcome.record->CompetitionPValue), std::bit_cast<uint64_t>(p));
    }
}

struct CancelCase {
    const char* name;
    QString flagBefore; // CancelFlag when the Run starts
    int clickAt;        // a Cancel click while this call runs
    int flagAt;         // CancelFlag written during this call ...
    QString flagText;   // ... with this text
    bool cancels;
    int betaCallsMade;
};

void PrintTo(const CancelCase& c, std::ostream* os) { *os << c.name; }

class KernelCancel : public KernelRun, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(KernelCancel, TakesEffectAtTheCheckAfterTheCall) {
    const CancelCase& c = GetParam();
    progressWindow().CancelFlag = c.flagBefore;
    script_.clickAt = c.clickAt;
    script_.flagAt = c.flagAt;
    script_.flagText = c.flagText;

    const Outcome outcome = runKernel(SomeTypes);

    EXPECT_EQ(betaCalls(), c.betaCallsMade);
    if (c.cancels) {
        EXPECT_FALSE(outcome.record);
        EXPECT_EQ(outcome.errorNumber, MarviskError::Cancelled);
        EXPECT_EQ(outcome.description, "");
        // The next Run starts clean: no pending request, the button usable.
        EXPECT_EQ(progressWindow().CancelFlag, QString());
        EXPECT_TRUE(progressWindow().cmd1->isEnabled());
        script_ = Script{};
        const Outcome next = runKernel(SomeTypes);
        EXPECT_TRUE(next.record) << next.description;
        EXPECT_EQ(betaCalls(), 29);
    } else {
        EXPECT_TRUE(outcome.record) << outcome.description;
        // Another text is no request, and the kernel leaves it alone.
        EXPECT_EQ(progressWindow().CancelFlag, c.flagText);
        EXPECT_TRUE(progressWindow().cmd1->isEnabled());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Requests, KernelCancel,
    ::testing::Values(
        // A click while PValue runs ends the Run before any Beta call.
        CancelCase{"ClickDuringPValue", "", 0, -1, "", true, 0},
        CancelCase{"ClickDuringFirstBeta", "", 1, -1, "", true, 1},
        // Even with the table complete, a click during the 29th Beta cancels.
        CancelCase{"ClickDuringLastBeta", "", 29, -1, "", true, 29},
        // The kernel never clears the flag at its start: a request left over acts at the first check.
        CancelCase{"RequestPendingAtStart", "Cancel", -1, -1, "", true, 0},
        CancelCase{"FlagWrittenDuringBeta", "", -1, 12, "Cancel", true, 12},
        // Only the exact text "Cancel" is a request.
        CancelCase{"LowerCase", "", -1, 0, "cancel", false, 29},
        CancelCase{"UpperCase", "", -1, 0, "CANCEL", false, 29},
        CancelCase{"TrailingBlank", "", -1, 3, "Cancel ", false, 29},
        CancelCase{"LeadingBlank", "", -1, 3, " Cancel", false, 29},
        CancelCase{"Longer", "", -1, 29, "Cancelled", false, 29}),
    [](const ::testing::TestParamInfo<CancelCase>& info) { return std::string(info.param.name); });

struct FailureCase {
    const char* name;
    int failAt;
    int betaCallsMade;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class KernelFailure : public KernelRun, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(KernelFailure, AFailedCallEndsTheRunWithoutARecord) {
    script_.failAt = GetParam().failAt;
    const Outcome outcome = runKernel(SomeTypes);
    EXPECT_FALSE(outcome.record);
    EXPECT_EQ(outcome.errorNumber, KernelErrors::CallFailed);
    EXPECT_EQ(betaCalls(), GetParam().betaCallsMade);
    EXPECT_EQ(progressWindow().CancelFlag, QString());
}

INSTANTIATE_TEST_SUITE_P(Calls, KernelFailure,
                         ::testing::Values(FailureCase{"PValueReturnsNaN", 0, 0},
                                           FailureCase{"FifthBetaReturnsNull", 5, 5},
                                           FailureCase{"LastBetaReturnsNull", 29, 29}),
                         [](const ::testing::TestParamInfo<FailureCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace

int main(int argc, char** argv) {
    settingsAtStart.emplace(Settings::IterationCount, Settings::RandomSeed);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
