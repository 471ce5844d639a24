// What a user can push the grid to: the largest matrix the main window
// allows (32767 species, 32767 sites), texts far longer than a cell, and a
// scroll bar moved many times in a row. Expected cells and scroll positions
// are worked by hand from the navigation and layout rules.

#include "GridTestSupport.h"

namespace {

class GridRobustness : public ::testing::Test {
protected:
    GridRobustness() : h(mainWindowProperties(), 577, 357), g(*h.grid) {}
    HostedGrid h;
    Grid& g;
};

TEST_F(GridRobustness, TheLargestMatrixLaysOutScrollsAndWraps) {
    // 32767 species, and 32767 sites plus the guild column: GridRows 32768,
    // GridCols 32769. 17 x 8 slots leave 32751 rows and 32761 columns for the
    // bars, inside their 16-bit range.
    g.ResizeMatrix(32767, 32768);
    EXPECT_EQ(g.VisibleRows(), 17);
    EXPECT_EQ(g.VisibleCols(), 8);
    EXPECT_EQ(g.vsb1->maximum(), 32751);
    EXPECT_EQ(g.hsb1->maximum(), 32761);

    // Left from (1, 1) wraps to the last cell, which becomes the last slot.
    h.key(Qt::Key_Left);
    EXPECT_EQ(g.TextRow(), 32767);
    EXPECT_EQ(g.TextCol(), 32768);
    EXPECT_EQ(g.vsb1->value(), 32751);
    EXPECT_EQ(g.hsb1->value(), 32761);
    EXPECT_EQ(g.txt1->pos(), QPoint(70 * 7 + 3, 20 * 16 + 3));
    QTest::keyClicks(g.txt1, "last");
    // Right from the last cell wraps to (1, 1) and scrolls back to the start.
    h.key(Qt::Key_Right);
    EXPECT_EQ(g.TextRow(), 1);
    EXPECT_EQ(g.TextCol(), 1);
    EXPECT_EQ(g.vsb1->value(), 0);
    EXPECT_EQ(g.hsb1->value(), 0);
    EXPECT_EQ(g.GetText(32767, 32768), "last");
}

TEST_F(GridRobustness, ALongTypedTextIsStoredWhole) {
    const QString typed(2000, QChar('w'));
    h.clickSlot(2, 2);
    QTest::keyClicks(g.txt1, typed);
    h.key(Qt::Key_Down);
    EXPECT_EQ(g.GetText(2, 2), typed);
}

TEST_F(GridRobustness, ATextLongerThanTheEditorsDefaultLimitSurvivesAVisit) {
    // With no length set, the editor takes any text: visiting a cell that
    // holds more than 32767 characters and moving on keeps all of them.
    const QString longText(40000, QChar('s'));
    SparseArray m;
    m.sValue(2, 2, longText);
    g.SetMatrix(m, 0, 0);
    h.clickSlot(2, 2);
    EXPECT_EQ(g.txt1->text().size(), 40000);
    h.key(Qt::Key_Right);
    EXPECT_EQ(g.GetText(2, 2).size(), 40000);
    EXPECT_TRUE(g.GetText(2, 2) == longText);
}

TEST(GridMaximumLength, LimitsWhatIsTypedNotTheTextsOfTheCells) {
    HostedGrid h(PropertyBag{{"CellWidth", "70"}, {"GridRows", "21"}, {"GridCols", "22"}, {"MaxLength", "3"}}, 577,
                 357);
    Grid& g = *h.grid;
    SparseArray m;
    m.sValue(1, 1, "Species");
    m.sValue(2, 2, "abcdef");
    // Loading the matrix puts cell (1, 1) into the editor and commits it.
    g.SetMatrix(m, 0, 0);
    EXPECT_EQ(g.txt1->text(), "Species");
    // Visiting a cell and moving on leaves its text whole.
    h.clickSlot(2, 2);
    EXPECT_EQ(g.txt1->text(), "abcdef");
    h.key(Qt::Key_Down);
    const SparseArray out = g.GetMatrix();
    EXPECT_EQ(out.sValue(1, 1), "Species");
    EXPECT_EQ(out.sValue(2, 2), "abcdef");
    // Typing stops at the limit.
    QTest::keyClicks(g.txt1, "wxyz");
    EXPECT_EQ(g.txt1->text(), "wxy");
    // A longer loaded text can be shortened, but not lengthened.
    h.clickSlot(2, 2);
    h.key(Qt::Key_End);
    h.key(Qt::Key_Backspace);
    EXPECT_EQ(g.txt1->text(), "abcde");
    QTest::keyClicks(g.txt1, "q");
    EXPECT_EQ(g.txt1->text(), "abcde");
    h.key(Qt::Key_Down);
    EXPECT_EQ(g.GetText(2, 2), "abcde");
    EXPECT_EQ(g.GetText(3, 2), "wxy");
}

TEST_F(GridRobustness, ManyScrollChangesEndOnTheLastPosition) {
    h.clickSlot(3, 3);
    QTest::keyClicks(g.txt1, "kept");
    for (int round = 0; round < 10; ++round) {
        for (int v = 0; v <= g.hsb1->maximum(); ++v)
            g.hsb1->setValue(v);
        for (int v = g.vsb1->maximum(); v >= 0; --v)
            g.vsb1->setValue(v);
    }
    // hsb1 at 14: column 3 is scrolled out, the editor hidden, nothing stored.
    EXPECT_EQ(g.hsb1->value(), 14);
    EXPECT_EQ(g.vsb1->value(), 0);
    EXPECT_TRUE(g.txt1->isHidden());
    EXPECT_EQ(g.GetText(3, 3), "0");
    g.hsb1->setValue(0);
    EXPECT_FALSE(g.txt1->isHidden());
    EXPECT_EQ(g.txt1->text(), "kept");
}

} // namespace
