// The size boxes and OK: the checks with their messages, the rewriting of the
// boxes, and the grid grown or shrunk with default names.
// Expected messages, titles and examples are the window's own texts; sizes
// were worked by hand (rows = the number, columns = sites + 1).

#include "app/frmMain.h"

#include "app/tests/AppTestSupport.h"
#include "app/tests/LoadedMainWindow.h"
#include "grid/Grid.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QTest>
#include <memory>
#include <vector>

namespace {

const char* const Error08 = "Error 08: Number of rows must be greater than 0.";
const char* const Error09 = "Error 09: Number of rows cannot exceed 32767.";
const char* const Error10 = "Error 10: Number of columns must be greater than 0.";
const char* const Error11 = "Error 11: Number of columns cannot exceed 32767.";

class frmMainSize : public apptest::LoadedMainWindow {
protected:
    void applySize(const QString& rows, const QString& cols) {
        form->txtRows->setText(rows);
        form->txtCols->setText(cols);
        form->cmdOK_Click();
    }

    apptest::MessageRecorder messages;
};

struct SizeCase {
    const char16_t* rows;
    const char16_t* cols;
    const char* message; // nullptr: no message
    const char* title;
    const char16_t* rowsAfter;
    const char16_t* colsAfter;
    int gridRows;  // species
    int gridCols;  // sites + 1
};

const SizeCase sizeCases[] = {
    // Rows refused: the boxes keep what was typed, the grid its size.
    {u"0", u"20", Error08, "Marvisk Error", u"0", u"20", 20, 21},
    {u"", u"20", Error08, "Marvisk Error", u"", u"20", 20, 21},
    {u"abc", u"20", Error08, "Marvisk Error", u"abc", u"20", 20, 21},
    {u"-3", u"20", Error08, "Marvisk Error", u"-3", u"20", 20, 21},
    {u"0.9", u"20", Error08, "Marvisk Error", u"0.9", u"20", 20, 21},
    {u"32768", u"20", Error09, "Marvisk Error", u"32768", u"20", 20, 21},
    {u"32767.5", u"20", Error09, "Marvisk Error", u"32767.5", u"20", 20, 21},
    {u"1e5", u"20", Error09, "Marvisk Error", u"1e5", u"20", 20, 21},
    // Rows refused before the columns are looked at.
    {u"0", u"abc", Error08, "Marvisk Error", u"0", u"abc", 20, 21},
    // Rows pass and are rewritten; columns refused and kept as typed.
    {u"25", u"abc", Error10, "Marvisk", u"25", u"abc", 20, 21},
    {u"025", u"0", Error10, "Marvisk", u"25", u"0", 20, 21},
    {u"25", u"-1", Error10, "Marvisk", u"25", u"-1", 20, 21},
    {u"25", u"32768", Error11, "Marvisk", u"25", u"32768", 20, 21},
    // Both pass: the boxes show the numbers read, the grid takes them.
    {u"020", u"20", nullptr, nullptr, u"20", u"20", 20, 21},
    {u"20", u"020", nullptr, nullptr, u"20", u"20", 20, 21},
    {u"1e2", u"20", nullptr, nullptr, u"100", u"20", 100, 21},
    {u"12abc", u"20", nullptr, nullptr, u"12", u"20", 12, 21},
    {u"2 5", u"20", nullptr, nullptr, u"25", u"20", 25, 21},
    {u"1,000", u"20", nullptr, nullptr, u"1", u"20", 1, 21},
    {u"&H14", u"&H16", nullptr, nullptr, u"20", u"22", 20, 23},
    {u"1", u"1", nullptr, nullptr, u"1", u"1", 1, 2},
    {u"32767", u"20", nullptr, nullptr, u"32767", u"20", 32767, 21},
    {u"20", u"32767", nullptr, nullptr, u"20", u"32767", 20, 32768},
    // A fraction stays in the box; the grid takes the number rounded half to
    // even, and the sites likewise before the header column is added, so the
    // grid and a saved file agree on the number of sites.
    {u"20.5", u"20", nullptr, nullptr, u"20.5", u"20", 20, 21},
    {u"21.5", u"20", nullptr, nullptr, u"21.5", u"20", 22, 21},
    {u"20", u"2.5", nullptr, nullptr, u"20", u"2.5", 20, 3},
    {u"20", u"3.5", nullptr, nullptr, u"20", u"3.5", 20, 5},
};

class frmMainSizeCases : public frmMainSize, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(frmMainSizeCases, ChecksRewritesAndResizes) {
    const SizeCase& c = GetParam();
    applySize(QString::fromUtf16(c.rows), QString::fromUtf16(c.cols));

    if (c.message) {
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, QString::fromLatin1(c.message));
        EXPECT_EQ(messages.shown[0].title, QString::fromLatin1(c.title));
        EXPECT_EQ(messages.shown[0].buttons, platform::MessageButtons::OK);
    } else {
        EXPECT_TRUE(messages.shown.empty()) << messages.shown[0].text.toStdString();
    }
    EXPECT_EQ(form->txtRows->text(), QString::fromUtf16(c.rowsAfter));
    EXPECT_EQ(form->txtCols->text(), QString::fromUtf16(c.colsAfter));
    EXPECT_EQ(form->grd1->Rows(), c.gridRows);
    EXPECT_EQ(form->grd1->Cols(), c.gridCols);
    EXPECT_TRUE(form->cursor().shape() != Qt::WaitCursor);
}

INSTANTIATE_TEST_SUITE_P(Cases, frmMainSizeCases, ::testing::ValuesIn(sizeCases));

TEST_F(frmMainSize, HourglassStaysOnWhileAMessageIsShown) {
    std::vector<Qt::CursorShape> shapes;
    platform::setMessageHandler([&](const QString&, platform::MessageButtons, const QString&) {
        shapes.push_back(form->cursor().shape());
        return platform::MessageAnswer::OK;
    });
    applySize(QStringLiteral("0"), QStringLiteral("20"));
    applySize(QStringLiteral("20"), QStringLiteral("32768"));
    EXPECT_EQ(shapes, (std::vector<Qt::CursorShape>{Qt::WaitCursor, Qt::WaitCursor}));
    EXPECT_NE(form->cursor().shape(), Qt::WaitCursor);
}

TEST_F(frmMainSize, OkButtonAppliesTheBoxes) {
    form->txtRows->setText(QStringLiteral("7"));
    form->txtCols->setText(QStringLiteral("9"));
    QTest::mouseClick(form->cmdOK, Qt::LeftButton);
    EXPECT_EQ(form->grd1->Rows(), 7);
    EXPECT_EQ(form->grd1->Cols(), 10);
}

TEST_F(frmMainSize, UnchangedSizeLeavesEveryCell) {
    form->grd1->SetText(QStringLiteral("Wren"), 20, 0);
    form->grd1->SetText(QStringLiteral("A"), 20, 1);
    form->grd1->SetText(QStringLiteral("1"), 20, 21);
    const QStringList before = form->grd1->GetMatrix().sKeys();
    applySize(QStringLiteral("20"), QStringLiteral("20"));
    EXPECT_EQ(form->grd1->GetMatrix().sKeys(), before);
    EXPECT_EQ(form->grd1->GetText(20, 0), QStringLiteral("Wren"));
    EXPECT_EQ(form->grd1->GetText(20, 1), QStringLiteral("A"));
    EXPECT_EQ(form->grd1->GetText(20, 21), QStringLiteral("1"));
}

TEST_F(frmMainSize, GrowingAddsDefaultNamesAndKeepsEveryCell) {
    form->grd1->SetText(QStringLiteral("Wren"), 3, 0);
    form->grd1->SetText(QStringLiteral("A"), 3, 1);
    form->grd1->SetText(QStringLiteral("1"), 3, 5);
    applySize(QStringLiteral("25"), QStringLiteral("22"));
    ASSERT_TRUE(messages.shown.empty());
    ASSERT_EQ(form->grd1->Rows(), 25);
    ASSERT_EQ(form->grd1->Cols(), 23);
    for (int i = 21; i <= 25; ++i) {
        EXPECT_EQ(form->grd1->GetText(i, 0), QStringLiteral("Sp%1").arg(i));
        EXPECT_EQ(form->grd1->GetText(i, 1), QStringLiteral("---"));
    }
    EXPECT_EQ(form->grd1->GetText(0, 22), QStringLiteral("Site21"));
    EXPECT_EQ(form->grd1->GetText(0, 23), QStringLiteral("Site22"));
    EXPECT_EQ(form->grd1->GetText(3, 0), QStringLiteral("Wren"));
    EXPECT_EQ(form->grd1->GetText(3, 1), QStringLiteral("A"));
    EXPECT_EQ(form->grd1->GetText(3, 5), QStringLiteral("1"));
    EXPECT_EQ(form->grd1->GetText(0, 0), QStringLiteral("Species"));
    // New data cells are absent.
    EXPECT_EQ(form->grd1->GetText(25, 23), QStringLiteral("0"));
}

TEST_F(frmMainSize, ShrinkingLosesWhatItRemovesAndGrowingBackGivesDefaults) {
    form->grd1->SetText(QStringLiteral("Wren"), 15, 0);
    form->grd1->SetText(QStringLiteral("A"), 15, 1);
    form->grd1->SetText(QStringLiteral("1"), 15, 5);
    form->grd1->SetText(QStringLiteral("Pond"), 0, 21);
    form->grd1->SetText(QStringLiteral("1"), 2, 21);
    form->grd1->SetText(QStringLiteral("Lark"), 5, 0);
    applySize(QStringLiteral("10"), QStringLiteral("19"));
    EXPECT_EQ(form->grd1->Rows(), 10);
    EXPECT_EQ(form->grd1->Cols(), 20);
    EXPECT_EQ(form->grd1->GetText(15, 0), QStringLiteral("0"));
    EXPECT_EQ(form->grd1->GetText(0, 21), QStringLiteral("0"));

    applySize(QStringLiteral("20"), QStringLiteral("20"));
    EXPECT_EQ(form->grd1->Rows(), 20);
    EXPECT_EQ(form->grd1->Cols(), 21);
    for (int i = 11; i <= 20; ++i) {
        EXPECT_EQ(form->grd1->GetText(i, 0), QStringLiteral("Sp%1").arg(i));
        EXPECT_EQ(form->grd1->GetText(i, 1), QStringLiteral("---"));
    }
    EXPECT_EQ(form->grd1->GetText(15, 5), QStringLiteral("0"));
    EXPECT_EQ(form->grd1->GetText(0, 21), QStringLiteral("Site20"));
    EXPECT_EQ(form->grd1->GetText(2, 21), QStringLiteral("0"));
    // Inside both sizes nothing changed.
    EXPECT_EQ(form->grd1->GetText(5, 0), QStringLiteral("Lark"));
}

TEST_F(frmMainSize, ClearAllResetsTextsAndKeepsSizeBoxesAndCaption) {
    applySize(QStringLiteral("30"), QStringLiteral("40"));
    form->grd1->SetText(QStringLiteral("Wren"), 30, 0);
    form->grd1->SetText(QStringLiteral("A"), 7, 1);
    form->grd1->SetText(QStringLiteral("1"), 30, 41);
    form->grd1->SetText(QStringLiteral("Pond"), 0, 41);
    form->fra1->setTitle(QStringLiteral("Presence-Absence Matrix: birds"));

    form->mnuMatrixClear->trigger();

    EXPECT_EQ(form->grd1->Rows(), 30);
    EXPECT_EQ(form->grd1->Cols(), 41);
    EXPECT_EQ(form->txtRows->text(), QStringLiteral("30"));
    EXPECT_EQ(form->txtCols->text(), QStringLiteral("40"));
    EXPECT_EQ(form->fra1->title(), QStringLiteral("Presence-Absence Matrix: birds"));
    EXPECT_EQ(form->grd1->GetText(30, 0), QStringLiteral("Sp30"));
    EXPECT_EQ(form->grd1->GetText(7, 1), QStringLiteral("---"));
    EXPECT_EQ(form->grd1->GetText(30, 41), QStringLiteral("0"));
    EXPECT_EQ(form->grd1->GetText(0, 41), QStringLiteral("Site40"));
    // 2 headers, 30 species with their guilds, 40 sites.
    EXPECT_EQ(form->grd1->GetMatrix().sKeys().size(), 2 + 60 + 40);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(frmMainSize, FocusSelectsTheWholeBox) {
    QApplication::setActiveWindow(form.get());
    for (QLineEdit* box : {form->txtRows, form->txtCols}) {
        box->setText(QStringLiteral("123"));
        box->deselect();
        form->cmdRun->setFocus();
        box->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(box->selectedText(), QStringLiteral("123"));
        EXPECT_EQ(box->selectionStart(), 0);
    }
}

} // namespace

MARVISK_WIDGET_TEST_MAIN()
