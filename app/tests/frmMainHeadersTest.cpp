// The header lock from the option buttons and the menu, and the grid's
// tool-tip bands.

#include "app/frmMain.h"

#include "app/tests/AppTestSupport.h"
#include "app/tests/LoadedMainWindow.h"
#include "grid/Grid.h"
#include "platform/PictureBox.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest/QTest>
#include <memory>

namespace {

class frmMainHeaders : public apptest::LoadedMainWindow {};

TEST_F(frmMainHeaders, OptionButtonsOpenAndLock) {
    QTest::mouseClick(form->optOpen, Qt::LeftButton);
    EXPECT_TRUE(form->optOpen->isChecked());
    EXPECT_EQ(form->grd1->GetEdit(), 1);
    EXPECT_TRUE(form->mnuMatrixHeaders->isChecked()); // the menu is not told

    QTest::mouseClick(form->optLocked, Qt::LeftButton);
    EXPECT_TRUE(form->optLocked->isChecked());
    EXPECT_EQ(form->grd1->GetEdit(), 0);
}

TEST_F(frmMainHeaders, MenuEntryTogglesItsCheckAndTheLock) {
    form->mnuMatrixHeaders->trigger();
    EXPECT_FALSE(form->mnuMatrixHeaders->isChecked());
    EXPECT_EQ(form->grd1->GetEdit(), 1);
    EXPECT_TRUE(form->optLocked->isChecked()); // the options are not told

    form->mnuMatrixHeaders->trigger();
    EXPECT_TRUE(form->mnuMatrixHeaders->isChecked());
    EXPECT_EQ(form->grd1->GetEdit(), 0);
}

TEST_F(frmMainHeaders, OpenByOptionThenMenuWhileStillChecked) {
    // The menu still shows the lock it last set: choosing it opens the
    // headers (they stay open) and clears the mark.
    QTest::mouseClick(form->optOpen, Qt::LeftButton);
    form->mnuMatrixHeaders->trigger();
    EXPECT_FALSE(form->mnuMatrixHeaders->isChecked());
    EXPECT_EQ(form->grd1->GetEdit(), 1);
    form->mnuMatrixHeaders->trigger();
    EXPECT_TRUE(form->mnuMatrixHeaders->isChecked());
    EXPECT_EQ(form->grd1->GetEdit(), 0);
    EXPECT_TRUE(form->optOpen->isChecked());
}

TEST_F(frmMainHeaders, ChoosingTheSelectedOptionAfterTheMenuStillApplies) {
    // The menu opens the headers; "Locked for Editing" is still the selected
    // option, and choosing it locks them again, by mouse or by keyboard.
    form->mnuMatrixHeaders->trigger();
    ASSERT_EQ(form->grd1->GetEdit(), 1);
    ASSERT_TRUE(form->optLocked->isChecked());
    QTest::mouseClick(form->optLocked, Qt::LeftButton);
    EXPECT_EQ(form->grd1->GetEdit(), 0);
    EXPECT_FALSE(form->mnuMatrixHeaders->isChecked()); // the menu is not told

    // And the other way round: the menu locks while "Open for Editing" is selected.
    QTest::mouseClick(form->optOpen, Qt::LeftButton);
    form->mnuMatrixHeaders->trigger();
    ASSERT_EQ(form->grd1->GetEdit(), 0);
    QApplication::setActiveWindow(form.get());
    form->optOpen->setFocus();
    QTest::keyClick(form->optOpen, Qt::Key_Space);
    EXPECT_EQ(form->grd1->GetEdit(), 1);
}

TEST_F(frmMainHeaders, ArrowKeysBetweenTheOptionsApplyTheLock) {
    QApplication::setActiveWindow(form.get());
    form->optLocked->setFocus();
    QTest::keyClick(form->optLocked, Qt::Key_Down);
    EXPECT_TRUE(form->optOpen->isChecked());
    EXPECT_EQ(form->grd1->GetEdit(), 1);
    QTest::keyClick(form->optOpen, Qt::Key_Up);
    EXPECT_TRUE(form->optLocked->isChecked());
    EXPECT_EQ(form->grd1->GetEdit(), 0);
}

TEST_F(frmMainHeaders, HandlerCalledDirectlyDecidesTheMarkItself) {
    form->mnuMatrixHeaders_Click();
    EXPECT_FALSE(form->mnuMatrixHeaders->isChecked());
    EXPECT_EQ(form->grd1->GetEdit(), 1);
}

struct TipCase {
    float x;
    float y;
    const char* tip;
};

const char* const NoTip = "";
const char* const Sites = "Enter names of sites here.";
const char* const Species = "Enter names of species here.";
const char* const Guilds = "Enter names of guilds here.";
const char* const Data = "Enter ones where species are present and zeroes where they are absent.";

const TipCase tipCases[] = {
    {0, 0, NoTip},
    {70, 10, NoTip},
    {140, 19.9f, NoTip},
    {140.5f, 0, Sites},
    {141, 19, Sites},
    {500, 5, Sites},
    {0, 20, Species},
    {70, 20, Species},
    {70.5f, 20, Guilds},
    {100, 300, Guilds},
    {140, 20, Guilds},
    {140.5f, 20, Data},
    {141, 25, Data},
    {560, 340, Data},
};

class frmMainTips : public frmMainHeaders, public ::testing::WithParamInterface<TipCase> {};

TEST_P(frmMainTips, BandsAtTwentySeventyAndOneHundredForty) {
    const TipCase& c = GetParam();
    form->grd1->GridToolTipText(QStringLiteral("stale"));
    form->grd1_MouseMove(c.x, c.y);
    EXPECT_EQ(form->grd1->GridToolTipText(), QString::fromLatin1(c.tip)) << c.x << ", " << c.y;
}

INSTANTIATE_TEST_SUITE_P(Cases, frmMainTips, ::testing::ValuesIn(tipCases));

TEST_F(frmMainHeaders, PointerOverTheGridSetsTheTip) {
    QTest::mouseMove(form->grd1->pbx1, QPoint(100, 40));
    EXPECT_EQ(form->grd1->GridToolTipText(), QString::fromLatin1(Guilds));
    QTest::mouseMove(form->grd1->pbx1, QPoint(200, 5));
    EXPECT_EQ(form->grd1->GridToolTipText(), QString::fromLatin1(Sites));
}

TEST_F(frmMainHeaders, BandsDoNotFollowScrolling) {
    // Scroll the sites sideways: the band from 70 to 140 still gives the guild tip.
    form->txtCols->setText(QStringLiteral("60"));
    form->cmdOK_Click();
    form->grd1->hsb1->setValue(5);
    form->grd1_MouseMove(100, 40);
    EXPECT_EQ(form->grd1->GridToolTipText(), QString::fromLatin1(Guilds));
}

} // namespace

MARVISK_WIDGET_TEST_MAIN()
