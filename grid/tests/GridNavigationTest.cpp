// Selection and navigation: index wrap-around, the key table with its wraps
// and the scrolling that follows, clicks, the header lock. Expected cells and
// scroll positions are worked by hand from the navigation rules for the main
// window's grid: rows 0 to 20, columns 0 to 21, 17 x 8 slots, so the bars
// run to 4 and 14.

#include "GridTestSupport.h"

#include "grid/GridNavigation.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <functional>

namespace {

TEST(WrapIndex, WrapsIntoTheSelectableRange) {
    struct Case {
        int32_t value, max;
        int16_t hdr;
        int32_t expected;
    };
    const Case cases[] = {
        {21, 20, 0, 1}, {21, 20, 1, 0},   {0, 20, 0, 20}, {0, 20, 1, 0},  {-1, 20, 1, 20},
        {-1, 20, 0, 19}, {20, 20, 0, 20}, {20, 20, 1, 20}, {5, 20, 0, 5}, {1, 1, 0, 1},
        {2, 1, 0, 1},   {0, 1, 0, 1},     {1, 0, 1, 0},   {-21, 20, 1, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(grid::WrapIndex(c.value, c.max, c.hdr), c.expected)
            << c.value << " into max " << c.max << " hdr " << c.hdr;
}

TEST(VisibleSlot, MapsIndexesToSlotsOrBeforeOrPast) {
    struct Case {
        int32_t index, scroll, visible, expected;
    };
    const Case cases[] = {
        {0, 4, 17, 0},   // the header always shows in slot 0
        {1, 0, 17, 1},   {16, 0, 17, 16}, {17, 0, 17, -2}, {5, 4, 17, 1},
        {4, 4, 17, -1},  // scrolled out before the first data slot
        {20, 4, 17, 16}, {21, 4, 17, -2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(grid::VisibleSlot(c.index, c.scroll, c.visible), c.expected)
            << c.index << " at scroll " << c.scroll;
}

TEST(KeyTarget, OtherKeysAreLeftToTheEditor) {
    // Qt's code of '%' is 37, the Left arrow's code here: such keys reach the
    // table as -1, and any code outside the table moves nothing.
    EXPECT_FALSE(grid::KeyTarget(-1, {5, 5}, 20, 21, 0).has_value());
    EXPECT_FALSE(grid::KeyTarget(9, {5, 5}, 20, 21, 0).has_value());
}

struct MoveCase {
    const char* what;
    bool open;
    int row, col, vsb, hsb; // the start, and the scrolling it is seen with
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int endRow, endCol, endVsb, endHsb;
};

void PrintTo(const MoveCase& c, std::ostream* os) { *os << c.what; }

const MoveCase moveCases[] = {
    // Locked.
    {"locked down wraps to top", false, 20, 3, 4, 0, Qt::Key_Down, {}, 1, 3, 0, 0},
    {"locked up wraps to bottom", false, 1, 3, 0, 0, Qt::Key_Up, {}, 20, 3, 4, 0},
    {"locked right wraps to next row", false, 5, 21, 0, 14, Qt::Key_Right, {}, 6, 1, 0, 0},
    {"locked right from last cell", false, 20, 21, 4, 14, Qt::Key_Right, {}, 1, 1, 0, 0},
    {"locked left wraps to previous row", false, 5, 1, 0, 0, Qt::Key_Left, {}, 4, 21, 0, 14},
    {"locked left from first cell", false, 1, 1, 0, 0, Qt::Key_Left, {}, 20, 21, 4, 14},
    {"locked right", false, 5, 3, 0, 0, Qt::Key_Right, {}, 5, 4, 0, 0},
    {"locked left", false, 5, 3, 0, 0, Qt::Key_Left, {}, 5, 2, 0, 0},
    {"locked up", false, 5, 3, 0, 0, Qt::Key_Up, {}, 4, 3, 0, 0},
    {"locked down", false, 5, 3, 0, 0, Qt::Key_Down, {}, 6, 3, 0, 0},
    {"enter moves down", false, 5, 3, 0, 0, Qt::Key_Return, {}, 6, 3, 0, 0},
    {"keypad enter moves down", false, 5, 3, 0, 0, Qt::Key_Enter, {}, 6, 3, 0, 0},
    {"down past the last slot scrolls one", false, 16, 3, 0, 0, Qt::Key_Down, {}, 17, 3, 1, 0},
    {"up before the first slot scrolls one", false, 5, 3, 4, 0, Qt::Key_Up, {}, 4, 3, 3, 0},
    {"right past the last slot scrolls one", false, 5, 7, 0, 0, Qt::Key_Right, {}, 5, 8, 0, 1},
    {"left before the first slot scrolls one", false, 5, 6, 0, 5, Qt::Key_Left, {}, 5, 5, 0, 4},
    {"shift right moves like right", false, 5, 3, 0, 0, Qt::Key_Right, Qt::ShiftModifier, 5, 4, 0, 0},
    {"shift left moves like left", false, 5, 3, 0, 0, Qt::Key_Left, Qt::ShiftModifier, 5, 2, 0, 0},
    // Open.
    {"open down wraps to header row", true, 20, 3, 4, 0, Qt::Key_Down, {}, 0, 3, 0, 0},
    {"open up wraps to bottom", true, 0, 3, 0, 0, Qt::Key_Up, {}, 20, 3, 4, 0},
    {"open right wraps to header column", true, 5, 21, 0, 14, Qt::Key_Right, {}, 6, 0, 0, 0},
    {"open right from last cell", true, 20, 21, 4, 14, Qt::Key_Right, {}, 0, 0, 0, 0},
    {"open left from corner", true, 0, 0, 0, 0, Qt::Key_Left, {}, 20, 21, 4, 14},
    {"open right from header column", true, 5, 0, 0, 0, Qt::Key_Right, {}, 5, 1, 0, 0},
};

class KeyMove : public ::testing::TestWithParam<MoveCase> {};

TEST_P(KeyMove, MovesTheSelectionAndScrollsItIntoView) {
    const MoveCase& c = GetParam();
    HostedGrid h(mainWindowProperties(), 577, 357);
    Grid& g = *h.grid;
    g.EditHeaders(c.open ? 1 : 0);
    g.vsb1->setValue(c.vsb);
    g.hsb1->setValue(c.hsb);
    h.clickSlot(c.row == 0 ? 0 : c.row - c.vsb, c.col == 0 ? 0 : c.col - c.hsb);
    ASSERT_EQ(g.TextRow(), c.row);
    ASSERT_EQ(g.TextCol(), c.col);

    h.key(c.key, c.modifiers);
    EXPECT_EQ(g.TextRow(), c.endRow);
    EXPECT_EQ(g.TextCol(), c.endCol);
    EXPECT_EQ(g.vsb1->value(), c.endVsb);
    EXPECT_EQ(g.hsb1->value(), c.endHsb);
    // The editor sits over the new cell's slot (3.5 pixels in, the half going
    // to the lower pixel, 3, where the painted text starts), showing its "0",
    // all of it selected.
    const int rs = c.endRow == 0 ? 0 : c.endRow - c.endVsb;
    const int cs = c.endCol == 0 ? 0 : c.endCol - c.endHsb;
    EXPECT_FALSE(g.txt1->isHidden());
    EXPECT_EQ(g.txt1->pos(), QPoint(70 * cs + 3, 20 * rs + 3));
    EXPECT_EQ(g.txt1->text(), "0");
    EXPECT_EQ(g.txt1->selectedText(), "0");
}

INSTANTIATE_TEST_SUITE_P(Table, KeyMove, ::testing::ValuesIn(moveCases),
                         [](const auto& info) { return caseName(info.param.what); });

class GridNavigation : public ::testing::Test {
protected:
    GridNavigation() : h(mainWindowProperties(), 577, 357), g(*h.grid) {}
    HostedGrid h;
    Grid& g;
};

TEST_F(GridNavigation, EnterMovesDownWithoutAddingACharacter) {
    h.clickSlot(2, 3);
    QTest::keyClicks(g.txt1, "abc");
    h.key(Qt::Key_Return);
    EXPECT_EQ(g.GetText(2, 3), "abc");
    EXPECT_EQ(g.TextRow(), 3);
    EXPECT_EQ(g.TextCol(), 3);
    EXPECT_EQ(g.txt1->text(), "0");
}

TEST_F(GridNavigation, ArrowsMoveTheSelectionNotTheCaret) {
    h.clickSlot(2, 3);
    QTest::keyClicks(g.txt1, "ab");
    h.key(Qt::Key_Left);
    h.key(Qt::Key_Right);
    EXPECT_EQ(g.TextCol(), 3);
    EXPECT_EQ(g.txt1->text(), "ab");
    EXPECT_EQ(g.txt1->selectedText(), "ab");
}

TEST_F(GridNavigation, OtherKeysEditTheText) {
    h.clickSlot(2, 3);
    QTest::keyClicks(g.txt1, "%&'(");
    EXPECT_EQ(g.txt1->text(), "%&'(");
    EXPECT_EQ(g.TextRow(), 2);
    EXPECT_EQ(g.TextCol(), 3);
}

TEST_F(GridNavigation, KeysOutsideTheTableNeitherMoveNorCommit) {
    // Only the arrows and Enter move the selection and commit; Tab takes the
    // focus elsewhere and leaves the typed text pending in the editor.
    const Qt::Key keys[] = {Qt::Key_Tab, Qt::Key_Home, Qt::Key_End, Qt::Key_PageDown, Qt::Key_Escape, Qt::Key_Delete};
    int row = 1;
    for (Qt::Key k : keys) {
        h.clickSlot(row, 3);
        QTest::keyClicks(g.txt1, "7");
        h.key(k);
        EXPECT_EQ(g.TextRow(), row) << k;
        EXPECT_EQ(g.TextCol(), 3) << k;
        EXPECT_EQ(g.GetText(row, 3), "0") << k;
        ++row;
    }
    h.clickSlot(10, 3);
    QTest::keyClicks(g.txt1, "7");
    h.key(Qt::Key_Tab);
    EXPECT_EQ(g.txt1->text(), "7");
    EXPECT_EQ(g.GetMatrix().sValue(10, 3), "7");
}

TEST_F(GridNavigation, AnyMouseButtonSelectsADataCell) {
    BeepCounter beeps;
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        h.clickSlot(1, 1);
        h.clickSlot(3, 4, button);
        EXPECT_EQ(g.TextRow(), 3) << button;
        EXPECT_EQ(g.TextCol(), 4) << button;
        EXPECT_EQ(g.txt1->pos(), QPoint(70 * 4 + 3, 20 * 3 + 3)) << button;
        EXPECT_EQ(g.txt1->selectedText(), "0") << button;
    }
    EXPECT_EQ(beeps.count, 0);
}

TEST_F(GridNavigation, AClickTurnsTheSlotIntoTheScrolledCell) {
    g.vsb1->setValue(3);
    g.hsb1->setValue(10);
    h.clickSlot(2, 5);
    EXPECT_EQ(g.TextRow(), 5);
    EXPECT_EQ(g.TextCol(), 15);
}

TEST_F(GridNavigation, LockedHeaderClicksBeepAndChangeNothing) {
    const struct {
        int r, c;
    } headerSlots[] = {{0, 0}, {0, 3}, {4, 0}};
    h.clickSlot(2, 2);
    QTest::keyClicks(g.txt1, "xyz");
    BeepCounter beeps;
    for (const auto& s : headerSlots)
        h.clickSlot(s.r, s.c);
    EXPECT_EQ(beeps.count, 3);
    EXPECT_EQ(g.TextRow(), 2);
    EXPECT_EQ(g.TextCol(), 2);
    EXPECT_EQ(g.txt1->text(), "xyz");
    EXPECT_EQ(g.GetText(2, 2), "0"); // nothing committed
}

TEST_F(GridNavigation, OpenHeadersLetTheCornerBeSelected) {
    BeepCounter beeps;
    g.EditHeaders(1);
    h.clickSlot(0, 0);
    EXPECT_EQ(beeps.count, 0);
    EXPECT_EQ(g.TextRow(), 0);
    EXPECT_EQ(g.TextCol(), 0);
}

TEST_F(GridNavigation, AClickOutsideTheSurfaceDoesNothing) {
    BeepCounter beeps;
    h.clickSlot(3, 3);
    // The square between the two bars.
    QTest::mouseClick(&g, Qt::LeftButton, Qt::NoModifier, QPoint(568, 348));
    EXPECT_EQ(beeps.count, 0);
    EXPECT_EQ(g.TextRow(), 3);
    EXPECT_EQ(g.TextCol(), 3);
}

TEST_F(GridNavigation, LockingMovesTheSelectionOffTheHeaders) {
    struct Case {
        int row, col, endRow, endCol;
    };
    const Case cases[] = {{0, 5, 1, 5}, {3, 0, 3, 1}, {0, 0, 1, 1}};
    for (const Case& c : cases) {
        g.EditHeaders(1);
        h.clickSlot(c.row, c.col);
        g.txt1->setText("Hdr");
        g.EditHeaders(0);
        EXPECT_EQ(g.GetEdit(), 0);
        EXPECT_EQ(g.TextRow(), c.endRow) << c.row << "," << c.col;
        EXPECT_EQ(g.TextCol(), c.endCol) << c.row << "," << c.col;
        // The header text was committed before the selection moved.
        EXPECT_EQ(g.GetText(c.row, c.col), "Hdr") << c.row << "," << c.col;
        EXPECT_EQ(g.txt1->text(), g.GetText(c.endRow, c.endCol));
    }
}

TEST_F(GridNavigation, SelectingGivesTheEditorTheFocusWithItsTextSelected) {
    // The focus starts on another control of the window each time.
    QLineEdit other(&h.host);
    other.setGeometry(620, 40, 100, 20);
    other.show();
    SparseArray m;
    m.sValue(2, 3, "abc");
    m.sValue(1, 1, "one");
    g.SetMatrix(m, 0, 0);
    const struct {
        const char* what;
        std::function<void()> act;
        QString text;
    } cases[] = {
        {"click", [&] { h.clickSlot(2, 3); }, "abc"},
        {"opening the headers", [&] { g.EditHeaders(1); }, "abc"},
        {"locking them again", [&] { g.EditHeaders(0); }, "abc"},
    };
    for (const auto& c : cases) {
        other.setFocus();
        ASSERT_EQ(h.host.focusWidget(), &other);
        c.act();
        EXPECT_EQ(h.host.focusWidget(), g.txt1) << c.what;
        EXPECT_EQ(g.txt1->text(), c.text) << c.what;
        EXPECT_EQ(g.txt1->selectedText(), c.text) << c.what;
    }
    // With the selected cell scrolled out of view the editor stays hidden
    // and the lock change leaves the focus where it is.
    g.vsb1->setValue(3);
    ASSERT_TRUE(g.txt1->isHidden());
    other.setFocus();
    g.EditHeaders(1);
    EXPECT_EQ(h.host.focusWidget(), &other);
}

TEST_F(GridNavigation, OpeningLeavesTheSelectionWhereItIs) {
    h.clickSlot(3, 4);
    g.EditHeaders(1);
    EXPECT_EQ(g.GetEdit(), 1);
    EXPECT_EQ(g.TextRow(), 3);
    EXPECT_EQ(g.TextCol(), 4);
}

TEST_F(GridNavigation, MouseMoveReportsTheSurfacePositionWithOrWithoutAButton) {
    QSignalSpy spy(&g, &Grid::MouseMove);
    const struct {
        QPointF at;
        Qt::MouseButtons buttons;
    } moves[] = {{{100, 30}, Qt::NoButton}, {{140.5, 19.25}, Qt::LeftButton}};
    for (const auto& m : moves) {
        QMouseEvent event(QEvent::MouseMove, m.at, g.pbx1->mapToGlobal(m.at), Qt::NoButton, m.buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(g.pbx1, &event);
    }
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toFloat(), 100.0f);
    EXPECT_EQ(spy.at(0).at(1).toFloat(), 30.0f);
    EXPECT_EQ(spy.at(1).at(0).toFloat(), 140.5f);
    EXPECT_EQ(spy.at(1).at(1).toFloat(), 19.25f);
}

TEST_F(GridNavigation, DraggingAThumbRepaintsOnlyWhenReleased) {
    h.clickSlot(1, 1);
    ASSERT_FALSE(g.txt1->isHidden());
    g.hsb1->setSliderDown(true);
    g.hsb1->setSliderPosition(5);
    // Still dragging: the editor has not followed its cell out of view.
    EXPECT_FALSE(g.txt1->isHidden());
    g.hsb1->setSliderDown(false);
    EXPECT_EQ(g.hsb1->value(), 5);
    EXPECT_TRUE(g.txt1->isHidden());
}

TEST_F(GridNavigation, AClickOnABarsArrowOrTrackActsAtOnce) {
    // Pressing an arrow or the track moves the position at the press, and
    // the change is handled there and then: cell (1, 1) leaves the view and
    // the editor follows it out.
    const struct {
        const char* what;
        QScrollBar* bar;
        QPoint at;
    } presses[] = {
        {"right arrow of hsb1", g.hsb1, QPoint(g.hsb1->width() - 5, 8)},
        {"track of vsb1 below the thumb", g.vsb1, QPoint(8, g.vsb1->height() - 40)},
    };
    for (const auto& p : presses) {
        g.hsb1->setValue(0);
        g.vsb1->setValue(0);
        h.clickSlot(1, 1);
        ASSERT_FALSE(g.txt1->isHidden()) << p.what;
        QTest::mousePress(p.bar, Qt::LeftButton, Qt::NoModifier, p.at);
        EXPECT_GT(p.bar->value(), 0) << p.what;
        EXPECT_TRUE(g.txt1->isHidden()) << p.what;
        QTest::mouseRelease(p.bar, Qt::LeftButton, Qt::NoModifier, p.at);
    }
}

} // namespace
