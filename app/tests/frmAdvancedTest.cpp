// The options dialog: what OK accepts, warns about and refuses, what Cancel
// keeps, and what the next opening shows. Expected settings were worked by
// hand from the leading-number rule and rounding half to even.

#include "app/frmAdvanced.h"

#include "analysis/Settings.h"
#include "app/tests/AppTestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest/QTest>
#include <optional>

namespace {

using platform::MessageAnswer;
using platform::MessageButtons;

const char* const Error01 = "Error 01: Number of iterations must be an integer greater than 0.";
const char* const Warning02 =
    "Warning: Analyses with fewer than 1000 iterations may yield unreliable results. Continue? (Error 02)";
const char* const Error03 = "Error 03: Random seed must be an integer greater than 0.";

// Settings in force before each case, so that a refused value is seen to
// change nothing.
constexpr int32_t OldIterations = 4321;
constexpr int32_t OldSeed = 99;

class frmAdvancedTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings::IterationCount = OldIterations;
        Settings::RandomSeed = OldSeed;
        dialog = new frmAdvanced();
    }
    void TearDown() override {
        delete dialog.data();
        Settings::IterationCount = 0;
        Settings::RandomSeed = 0;
    }
    // Runs the dialog's discarding, if it asked for it.
    static void processDiscards() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    apptest::MessageRecorder messages;
    QPointer<frmAdvanced> dialog;
};

struct OkCase {
    const char16_t* iterations;
    const char16_t* seed;
    std::optional<MessageAnswer> warningAnswer; // set when the warning is expected
    const char* refusal;                        // the refusing message, or nullptr
    int32_t storedIterations;                   // when accepted
    int32_t storedSeed;
};

const OkCase okCases[] = {
    {u"2500", u"0", std::nullopt, nullptr, 2500, 0},
    {u"1000", u"0", std::nullopt, nullptr, 1000, 0},
    {u"999", u"0", MessageAnswer::Yes, nullptr, 999, 0},
    {u"999", u"0", MessageAnswer::No, nullptr, 0, 0},
    {u"0", u"0", std::nullopt, Error01, 0, 0},
    {u"-5", u"0", std::nullopt, Error01, 0, 0},
    {u"", u"0", std::nullopt, Error01, 0, 0},
    {u"many", u"0", std::nullopt, Error01, 0, 0},
    {u"2500.5", u"0", std::nullopt, nullptr, 2500, 0},
    {u"2501.5", u"0", std::nullopt, nullptr, 2502, 0},
    {u"3.7", u"0", MessageAnswer::Yes, nullptr, 4, 0},
    // 0.3 passes the first check, warns, and is stored as 0 (the kernel's 2500).
    {u"0.3", u"0", MessageAnswer::Yes, nullptr, 0, 0},
    {u"12abc", u"0", MessageAnswer::Yes, nullptr, 12, 0},
    {u"1,000", u"0", MessageAnswer::Yes, nullptr, 1, 0},
    {u"2 500", u"0", std::nullopt, nullptr, 2500, 0},
    {u"5000", u"-1", std::nullopt, Error03, 0, 0},
    {u"5000", u"-0.5", std::nullopt, Error03, 0, 0},
    {u"5000", u"7", std::nullopt, nullptr, 5000, 7},
    {u"5000", u"", std::nullopt, nullptr, 5000, 0},
    {u"5000", u"2.5", std::nullopt, nullptr, 5000, 2},
    {u"5000", u"2147483647", std::nullopt, nullptr, 5000, 2147483647},
    // Beyond a 32-bit setting: refused, as the setting could not hold it.
    {u"3000000000", u"0", std::nullopt, Error01, 0, 0},
    {u"1e400", u"0", std::nullopt, Error01, 0, 0},
    {u"5000", u"2147483648", std::nullopt, Error03, 0, 0},
    // Only the first refusal is reported.
    {u"0", u"-1", std::nullopt, Error01, 0, 0},
    {u"999", u"-1", MessageAnswer::No, nullptr, 0, 0},
    {u"999", u"-1", MessageAnswer::Yes, Error03, 0, 0},
};

class frmAdvancedOk : public frmAdvancedTest, public ::testing::WithParamInterface<OkCase> {};

TEST_P(frmAdvancedOk, AcceptsWarnsOrRefuses) {
    const OkCase& c = GetParam();
    if (c.warningAnswer)
        messages.answers.push_back(*c.warningAnswer);
    dialog->show();
    dialog->txt1->setText(QString::fromUtf16(c.iterations));
    dialog->txt2->setText(QString::fromUtf16(c.seed));
    QTest::mouseClick(dialog->cmd1, Qt::LeftButton);

    std::size_t next = 0;
    if (c.warningAnswer) {
        ASSERT_GT(messages.shown.size(), next);
        EXPECT_EQ(messages.shown[next].text, QString::fromLatin1(Warning02));
        EXPECT_EQ(messages.shown[next].buttons, MessageButtons::YesNo);
        EXPECT_EQ(messages.shown[next].title, QStringLiteral("Marvisk"));
        ++next;
    }
    if (c.refusal) {
        ASSERT_GT(messages.shown.size(), next);
        EXPECT_EQ(messages.shown[next].text, QString::fromLatin1(c.refusal));
        EXPECT_EQ(messages.shown[next].buttons, MessageButtons::OK);
        EXPECT_EQ(messages.shown[next].title, QStringLiteral("Marvisk"));
        ++next;
    }
    EXPECT_EQ(messages.shown.size(), next);

    const bool refused = c.refusal || c.warningAnswer == MessageAnswer::No;
    processDiscards();
    if (refused) {
        // Shown again, not modal, with the texts as typed; nothing stored.
        ASSERT_FALSE(dialog.isNull());
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_FALSE(dialog->isModal());
        EXPECT_EQ(dialog->txt1->text(), QString::fromUtf16(c.iterations));
        EXPECT_EQ(dialog->txt2->text(), QString::fromUtf16(c.seed));
        EXPECT_EQ(Settings::IterationCount, OldIterations);
        EXPECT_EQ(Settings::RandomSeed, OldSeed);
    } else {
        EXPECT_TRUE(dialog.isNull()); // unloaded
        EXPECT_EQ(Settings::IterationCount, c.storedIterations);
        EXPECT_EQ(Settings::RandomSeed, c.storedSeed);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, frmAdvancedOk, ::testing::ValuesIn(okCases));

TEST_F(frmAdvancedTest, OpeningShowsTheSettingsInForce) {
    EXPECT_EQ(dialog->txt1->text(), QStringLiteral("4321"));
    EXPECT_EQ(dialog->txt2->text(), QStringLiteral("99"));
}

TEST_F(frmAdvancedTest, OpeningWithUnsetSettingsShowsTheDesignTexts) {
    Settings::IterationCount = 0;
    Settings::RandomSeed = 0;
    frmAdvanced fresh;
    EXPECT_EQ(fresh.txt1->text(), QStringLiteral("2500"));
    EXPECT_EQ(fresh.txt2->text(), QStringLiteral("0"));
}

TEST_F(frmAdvancedTest, DesignTextsAcceptedThenShownAgainNextTime) {
    Settings::IterationCount = 0;
    Settings::RandomSeed = 0;
    frmAdvanced* first = new frmAdvanced();
    first->cmd1_Click();
    processDiscards();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(Settings::IterationCount, 2500);
    EXPECT_EQ(Settings::RandomSeed, 0);
    frmAdvanced next;
    EXPECT_EQ(next.txt1->text(), QStringLiteral("2500")); // from IterationCount
    EXPECT_EQ(next.txt2->text(), QStringLiteral("0"));    // the design text: RandomSeed is 0
}

TEST_F(frmAdvancedTest, CancelAndTheCloseBoxKeepTheOldSettings) {
    dialog->show();
    dialog->txt1->setText(QStringLiteral("10000"));
    dialog->txt2->setText(QStringLiteral("5"));
    QTest::mouseClick(dialog->cmd2, Qt::LeftButton);
    processDiscards();
    EXPECT_TRUE(dialog.isNull());

    QPointer<frmAdvanced> second = new frmAdvanced();
    second->show();
    second->txt1->setText(QStringLiteral("10000"));
    second->close();
    processDiscards();
    EXPECT_TRUE(second.isNull());

    EXPECT_EQ(Settings::IterationCount, OldIterations);
    EXPECT_EQ(Settings::RandomSeed, OldSeed);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(frmAdvancedTest, RefusalEndsTheModalDisplayAndShowsTheDialogModeless) {
    bool modalWhileOpen = false;
    apptest::whenModalShown([&](QWidget* window) {
        auto* shown = qobject_cast<frmAdvanced*>(window);
        ASSERT_NE(shown, nullptr);
        modalWhileOpen = shown->isModal();
        shown->txt1->setText(QStringLiteral("0"));
        QTest::mouseClick(shown->cmd1, Qt::LeftButton);
    });
    dialog->exec(); // returns once OK has hidden the dialog
    ASSERT_FALSE(dialog.isNull());
    EXPECT_TRUE(modalWhileOpen);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QString::fromLatin1(Error01));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(dialog->txt1->text(), QStringLiteral("0"));
    dialog->cmd2_Click();
    processDiscards();
    EXPECT_TRUE(dialog.isNull());
    EXPECT_EQ(Settings::IterationCount, OldIterations);
}

TEST_F(frmAdvancedTest, CorrectedValueAfterARefusalIsAccepted) {
    dialog->show();
    dialog->txt1->setText(QStringLiteral("0"));
    dialog->cmd1_Click();
    ASSERT_EQ(messages.shown.size(), 1u);
    dialog->txt1->setText(QStringLiteral("3000"));
    dialog->cmd1_Click();
    processDiscards();
    EXPECT_TRUE(dialog.isNull());
    EXPECT_EQ(Settings::IterationCount, 3000);
}

TEST_F(frmAdvancedTest, EnterIsOkAndOkHasTheFocusFirst) {
    dialog->show();
    QApplication::setActiveWindow(dialog);
    EXPECT_EQ(dialog->focusWidget(), dialog->cmd1);
    EXPECT_TRUE(dialog->cmd1->isDefault());
    dialog->txt1->setText(QStringLiteral("6000"));
    QTest::keyClick(dialog, Qt::Key_Return);
    processDiscards();
    EXPECT_TRUE(dialog.isNull());
    EXPECT_EQ(Settings::IterationCount, 6000);
}

TEST_F(frmAdvancedTest, TabRunsFromOkToCancelToTheBoxes) {
    const QWidget* order[] = {dialog->cmd2, dialog->txt1, dialog->txt2, dialog->cmd1};
    const QWidget* previous = dialog->cmd1;
    for (const QWidget* next : order) {
        const QWidget* step = previous->nextInFocusChain();
        while (step != next && step != previous && !(step->focusPolicy() & Qt::TabFocus))
            step = step->nextInFocusChain();
        EXPECT_EQ(step, next);
        previous = next;
    }
}

TEST_F(frmAdvancedTest, CaptionsAndSize) {
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Marvisk -- Options"));
    EXPECT_EQ(dialog->fra1->title(), QStringLiteral("Simulations"));
    EXPECT_EQ(dialog->lbl1->text(), QStringLiteral("Number of Iterations:"));
    EXPECT_EQ(dialog->lbl2->text(), QStringLiteral("Random Seed:"));
    EXPECT_EQ(dialog->cmd1->text(), QStringLiteral("OK"));
    EXPECT_EQ(dialog->cmd2->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(dialog->size(), QSize(258, 156));
}

TEST_F(frmAdvancedTest, EveryControlAtItsPlaceInTwips) {
    apptest::expectPlacesInTwips({
        {dialog->fra1, dialog, {240, 240, 3375, 1335}},
        {dialog->lbl1, dialog->fra1, {360, 360, 2055, 375}},
        {dialog->txt1, dialog->fra1, {2400, 360, 615, 285}},
        {dialog->lbl2, dialog->fra1, {360, 840, 1455, 375}},
        {dialog->txt2, dialog->fra1, {2400, 840, 615, 285}},
        {dialog->cmd1, dialog, {1320, 1770, 1095, 375}},
        {dialog->cmd2, dialog, {2520, 1770, 1095, 375}},
    });
}

TEST_F(frmAdvancedTest, FocusSelectsTheWholeBox) {
    dialog->show();
    QApplication::setActiveWindow(dialog);
    for (QLineEdit* box : {dialog->txt1, dialog->txt2}) {
        box->deselect();
        dialog->cmd1->setFocus();
        box->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(box->selectedText(), box->text());
    }
}

} // namespace

MARVISK_WIDGET_TEST_MAIN()
