// The progress window, headless: its texts, caption and bar for a step, its
// layout, the Cancel button and Enter, the refused close box and repainting.

#include "analysis/UpdateProgress.h"
#include "analysis/frmProgress.h"
#include "platform/Events.h"
#include "platform/Geometry.h"
#include "platform/Look.h"

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QCloseEvent>
#include <QtTest/qtestspontaneevent.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>

namespace {

int32_t progressStepAtStart = -1;

const QColor DarkBlue(0, 0, 96);

struct StepCase {
    int32_t step;
    const char* caption;
    const char* upperLine;
    const char* lowerLine;
    int barPixels; // of the bar's 331 (4965 twips): step x 331 / 30, to the nearest
};

// Percentages and widths by hand: 1 x 100 / 30 = 3.33, 2 -> 6.67, 29 -> 96.67;
// 1 x 331 / 30 = 11.03, 15 -> 165.5 (a half, to the even 166), 29 -> 319.97.
const StepCase Steps[] = {
    {0, "Marvisk Progress... 0%", "Simulation: 0 of 30", "Calculating Power Function...", 0},
    {1, "Marvisk Progress... 3%", "Simulation: 1 of 30", "Calculating P-Value...", 11},
    {2, "Marvisk Progress... 7%", "Simulation: 2 of 30", "Calculating Power Function...", 22},
    {3, "Marvisk Progress... 10%", "Simulation: 3 of 30", "Calculating Power Function...", 33},
    {15, "Marvisk Progress... 50%", "Simulation: 15 of 30", "Calculating Power Function...", 166},
    {29, "Marvisk Progress... 97%", "Simulation: 29 of 30", "Calculating Power Function...", 320},
    {30, "Marvisk Progress... 100%", "Simulation: 30 of 30", "Calculating Power Function...", 331},
};

void PrintTo(const StepCase& c, std::ostream* os) { *os << "step " << c.step; }

class ProgressTexts : public ::testing::TestWithParam<StepCase> {};

TEST_P(ProgressTexts, CaptionLinesAndBar) {
    const StepCase& c = GetParam();
    EXPECT_EQ(progressCaption(c.step), QString::fromLatin1(c.caption));
    EXPECT_EQ(progressSimulationLine(c.step), QString::fromLatin1(c.upperLine));
    EXPECT_EQ(progressActivityLine(c.step), QString::fromLatin1(c.lowerLine));
    EXPECT_EQ(progressBarFill(c.step, 331), c.barPixels);
}

INSTANTIATE_TEST_SUITE_P(Steps, ProgressTexts, ::testing::ValuesIn(Steps));

// The font the window's two picture boxes print in: the picture-box font at
// 9.75 point.
QFont expectedFont() { return look::pictureBoxFont(9.75); }

// What a box of that size and those colours shows after printing the text
// alone from its top-left corner.
QImage printed(const platform::PictureBox& like, const QColor& fore, const QString& text) {
    platform::PictureBox reference;
    reference.resize(like.size());
    reference.setFont(expectedFont());
    reference.setForeColor(fore);
    reference.setBackColor(DarkBlue);
    reference.Print(text);
    return reference.image();
}

void settle() {
    for (int i = 0; i < 5; ++i)
        platform::processPendingEvents();
}

class ProgressWindow : public ::testing::Test {
protected:
    void SetUp() override {
        frmProgress& w = window();
        w.CancelFlag.clear();
        w.cmd1->setEnabled(true);
        w.show();
        settle();
    }
    void TearDown() override {
        window().hide();
        window().CancelFlag.clear();
        window().cmd1->setEnabled(true);
    }
    static frmProgress& window() { return progressWindow(); }

    void expectStepShown(const StepCase& c) {
        frmProgress& w = window();
        EXPECT_EQ(w.windowTitle(), QString::fromLatin1(c.caption));
        EXPECT_EQ(w.pbx2->image(), printed(*w.pbx2, Qt::white, QString::fromLatin1(c.upperLine)));
        EXPECT_EQ(w.pbx1->image(), printed(*w.pbx1, platform::highlightTextColour(), QString::fromLatin1(c.lowerLine)));
        const QImage bar = w.pbxProgressBar->image();
        ASSERT_EQ(bar.size(), QSize(331, 23));
        for (int y : {0, 11, 22})
            for (int x = 0; x < bar.width(); ++x) {
                const QColor expected = x < c.barPixels ? DarkBlue : platform::menuColour();
                if (bar.pixelColor(x, y) != expected) {
                    ADD_FAILURE() << "bar pixel " << x << "," << y << " at step " << c.step;
                    return;
                }
            }
    }
};

TEST_F(ProgressWindow, StartsAtStepZero) { EXPECT_EQ(progressStepAtStart, 0); }

TEST_F(ProgressWindow, LayoutInPixels) {
    frmProgress& w = window();
    // Twips / 15; the bar's 350 twips are 23 whole pixels.
    EXPECT_EQ(w.size(), QSize(370, 130));
    EXPECT_EQ(w.pbx2->geometry(), QRect(15, 16, 337, 17));
    EXPECT_EQ(w.Shape1->geometry(), QRect(16, 39, 333, 25));
    EXPECT_EQ(w.pbxProgressBar->geometry(), QRect(17, 40, 331, 23));
    EXPECT_EQ(w.pbx1->geometry(), QRect(15, 72, 249, 17));
    EXPECT_EQ(w.cmd1->geometry(), QRect(264, 96, 81, 25));
    EXPECT_EQ(w.cmd1->text(), QStringLiteral("Cancel"));
    EXPECT_TRUE(w.cmd1->isDefault());
    EXPECT_EQ(w.palette().color(QPalette::Window), DarkBlue);
    EXPECT_EQ(w.pbx2->BackColor(), DarkBlue);
    EXPECT_EQ(w.pbx2->ForeColor(), QColor(Qt::white));
    EXPECT_EQ(w.pbx1->BackColor(), DarkBlue);
    EXPECT_EQ(w.pbx1->ForeColor(), platform::highlightTextColour());
    EXPECT_EQ(w.pbxProgressBar->BackColor(), platform::menuColour());
    EXPECT_EQ(w.pbx1->font().pointSizeF(), 9.75);
    EXPECT_EQ(w.pbx2->font().pointSizeF(), 9.75);
    EXPECT_EQ(w.Shape1->palette().color(QPalette::WindowText), QColor(Qt::white));
    // Opens centred on the screen.
    const QRect screen = w.screen()->availableGeometry();
    EXPECT_LE((w.frameGeometry().center() - screen.center()).manhattanLength(), 2);
}

class ProgressSteps : public ProgressWindow, public ::testing::WithParamInterface<StepCase> {};

TEST_P(ProgressSteps, UpdateProgressDrawsTheStep) {
    UpdateProgress(GetParam().step);
    EXPECT_EQ(ProgressStep, GetParam().step);
    expectStepShown(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Steps, ProgressSteps, ::testing::ValuesIn(Steps));

TEST_F(ProgressWindow, RepaintDrawsTheLastStep) {
    // Before the first step of the first Run the last step drawn is 0.
    ProgressStep = 0;
    window().hide();
    window().setWindowTitle(QStringLiteral("Marvisk Progress..."));
    window().show();
    settle();
    expectStepShown(Steps[0]);

    UpdateProgress(15);
    frmProgress& w = window();
    w.setWindowTitle(QStringLiteral("lost"));
    w.pbx1->Cls();
    w.pbx2->Cls();
    w.pbxProgressBar->Cls();
    w.update();
    settle();
    expectStepShown(Steps[4]);
}

TEST_F(ProgressWindow, AnIdleWindowDoesNotRedrawItself) {
    // Drawing a step must not itself ask for another repaint.
    UpdateProgress(3);
    settle();
    window().setWindowTitle(QStringLiteral("untouched"));
    settle();
    EXPECT_EQ(window().windowTitle(), QStringLiteral("untouched"));
}

TEST_F(ProgressWindow, CancelClickDisablesTheButtonAndSetsTheFlagOnce) {
    frmProgress& w = window();
    QTest::mouseClick(w.cmd1, Qt::LeftButton);
    EXPECT_EQ(w.CancelFlag, QStringLiteral("Cancel"));
    EXPECT_FALSE(w.cmd1->isEnabled());
    // A second click lands on a disabled button: nothing is set again.
    w.CancelFlag.clear();
    QTest::mouseClick(w.cmd1, Qt::LeftButton);
    EXPECT_EQ(w.CancelFlag, QString());
}

class ProgressEnter : public ProgressWindow, public ::testing::WithParamInterface<Qt::Key> {};

TEST_P(ProgressEnter, PressesCancelWithTheFocusOnTheButtonOrNot) {
    frmProgress& w = window();
    for (QWidget* target : {static_cast<QWidget*>(w.cmd1), static_cast<QWidget*>(&w)}) {
        w.CancelFlag.clear();
        w.cmd1->setEnabled(true);
        QTest::keyClick(target, GetParam());
        EXPECT_EQ(w.CancelFlag, QStringLiteral("Cancel")) << target->metaObject()->className();
        EXPECT_FALSE(w.cmd1->isEnabled());
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, ProgressEnter, ::testing::Values(Qt::Key_Return, Qt::Key_Enter));

TEST_F(ProgressWindow, OtherKeysDoNotCancel) {
    QTest::keyClick(&window(), Qt::Key_Escape);
    QTest::keyClick(&window(), Qt::Key_A);
    EXPECT_EQ(window().CancelFlag, QString());
}

TEST_F(ProgressWindow, CloseBoxIsRefusedWhileTheProgramMayClose) {
    frmProgress& w = window();
    ASSERT_TRUE(w.isVisible());
    // The window system's close request, as the close box sends it.
    QCloseEvent closeBox;
    QSpontaneKeyEvent::setSpontaneous(&closeBox);
    qApp->notify(&w, &closeBox); // keeps the event spontaneous, as QTest does
    settle();
    EXPECT_FALSE(closeBox.isAccepted());
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.CancelFlag, QString());
    // The program closing its windows when it ends goes ahead.
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(w.isVisible());
}

struct UnloadCase {
    int16_t unloadMode;
    int16_t cancel;
};

void PrintTo(const UnloadCase& c, std::ostream* os) { *os << "UnloadMode " << c.unloadMode; }

class ProgressUnload : public ::testing::TestWithParam<UnloadCase> {};

TEST_P(ProgressUnload, OnlyTheUsersCloseIsRefused) {
    int16_t cancel = 0;
    progressWindow().Form_QueryUnload(cancel, GetParam().unloadMode);
    EXPECT_EQ(cancel, GetParam().cancel);
}

// 0: close box or system menu; 1: the program; 2: the session ending.
INSTANTIATE_TEST_SUITE_P(Modes, ProgressUnload,
                         ::testing::Values(UnloadCase{0, 1}, UnloadCase{1, 0}, UnloadCase{2, 0}));

} // namespace

int main(int argc, char** argv) {
    progressStepAtStart = ProgressStep;
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
