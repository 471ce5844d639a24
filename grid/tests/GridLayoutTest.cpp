// The layout: scroll bars shown exactly when the cells do not fit, the snap
// of the control's own size, the viewport and slot counts, the defaults that
// replace a 0. Expected values are worked by hand from the layout rules.

#include "GridTestSupport.h"

#include "analysis/MarviskError.h"
#include "grid/GridLayout.h"

namespace {

// Pixels in the text colour inside a slot, clear of its edges and strip.
int textPixels(const Grid& g, int slotRow, int slotCol) {
    const QImage& image = g.pbx1->image();
    int n = 0;
    for (int y = slotRow * g.CellHeight() + 3; y < (slotRow + 1) * g.CellHeight() - 3; ++y)
        for (int x = slotCol * g.CellWidth() + 3; x < (slotCol + 1) * g.CellWidth() - 5; ++x)
            n += isInk(image.pixel(x, y));
    return n;
}

struct BarCase {
    const char* name;
    double h, w;
    grid::GridSize size;
    bool hsb1, vsb1;
};

void PrintTo(const BarCase& c, std::ostream* os) { *os << c.name; }

// Bars are 17 pixels thick.
const BarCase barCases[] = {
    // 357 < 420 needs vsb1; 577 - 17 = 560 < 1540 then needs hsb1.
    {"main window", 357, 577, {20, 70, 21, 22}, true, true},
    {"everything fits", 357, 577, {20, 70, 3, 5}, false, false},
    // Exactly the need shows no bar.
    {"exact fit", 60, 350, {20, 70, 3, 5}, false, false},
    // Height exactly the need, width short: hsb1, and then 60 - 17 < 60 brings vsb1.
    {"one bar brings the other", 60, 349, {20, 70, 3, 5}, true, true},
    // Width short, height with room for the bar: only hsb1.
    {"room below for hsb1", 77, 349, {20, 70, 3, 5}, true, false},
    // Height short, width with room for the bar: only vsb1.
    {"room beside for vsb1", 59, 367, {20, 70, 3, 5}, false, true},
    // Height short and width one pixel short of need plus bar: both.
    {"vsb1 takes the width", 59, 366, {20, 70, 3, 5}, true, true},
};

class ScrollBarDecision : public ::testing::TestWithParam<BarCase> {};

TEST_P(ScrollBarDecision, ShowsABarExactlyWhenTheCellsDoNotFit) {
    const BarCase& c = GetParam();
    const grid::ScrollBarsEnabled bars = grid::DecideScrollBars(c.h, c.w, c.size, 17, 17);
    EXPECT_EQ(bars.hsb1, c.hsb1);
    EXPECT_EQ(bars.vsb1, c.vsb1);
}

INSTANTIATE_TEST_SUITE_P(Cases, ScrollBarDecision, ::testing::ValuesIn(barCases),
                         [](const auto& info) { return caseName(info.param.name); });

struct SnapCase {
    double length;
    int cell;
    bool bar;
    double expected;
};

const SnapCase snapCases[] = {
    {357, 20, true, 357},  // (357 - 17) / 20 = 17
    {577, 70, true, 577},  // (577 - 17) / 70 = 8
    {357, 20, false, 360}, // 17.85 -> 18 cells
    {577, 70, false, 560}, // 8.24 -> 8 cells
    {347, 20, true, 337},  // 16.5 -> 16 (even)
    {367, 20, true, 377},  // 17.5 -> 18 (even)
    {50, 20, false, 40},   // 2.5 -> 2 (even)
    {70, 20, false, 80},   // 3.5 -> 4 (even)
    {9, 20, false, 0},     // below half a cell: nothing left
};

TEST(SnapLength, RoundsTheRoomForCellsToWholeCellsHalvesToEven) {
    for (const SnapCase& c : snapCases)
        EXPECT_EQ(grid::SnapLength(c.length, c.cell, c.bar, 17), c.expected)
            << c.length << " with cell " << c.cell << (c.bar ? " and a bar" : "");
}

TEST(FitAxis, CountsSlotsOrTakesEveryRowWhenTheyFit) {
    // 340 <= 420: the surface is the viewport, 17 slots.
    EXPECT_EQ(grid::FitAxis(340, 20, 21).visible, 17);
    EXPECT_EQ(grid::FitAxis(340, 20, 21).surface, 340);
    // 330 / 20 = 16.5 -> 16 slots.
    EXPECT_EQ(grid::FitAxis(330, 20, 21).visible, 16);
    // 360 > 60: only the three rows.
    EXPECT_EQ(grid::FitAxis(360, 20, 3).visible, 3);
    EXPECT_EQ(grid::FitAxis(360, 20, 3).surface, 60);
    // Exactly the need: the viewport, all rows.
    EXPECT_EQ(grid::FitAxis(60, 20, 3).visible, 3);
}

TEST(ArrangeAxes, ScrollMaximaMustFitSixteenBits) {
    // 32768 + 1 rows with 17 shown leaves 32752 hidden: still fits.
    EXPECT_EQ(grid::ArrangeAxes(357, 577, {20, 70, 32769, 22}, {true, true}, 17, 17).vsb1Max, 32752);
    try {
        grid::ArrangeAxes(357, 577, {20, 70, 40000, 22}, {true, true}, 17, 17);
        FAIL() << "no overflow raised";
    } catch (const MarviskError& e) {
        EXPECT_EQ(e.number(), grid::OverflowError);
    }
}

TEST(ArrangeAxes, ADisabledBarGetsMaximumZero) {
    const grid::Arrangement a = grid::ArrangeAxes(360, 560, {20, 70, 3, 5}, {false, false}, 17, 17);
    EXPECT_EQ(a.hsb1Max, 0);
    EXPECT_EQ(a.vsb1Max, 0);
}

TEST(GridLayout, MainWindowGridShowsBothBars) {
    HostedGrid h(mainWindowProperties(), 577, 357);
    Grid& g = *h.grid;
    EXPECT_EQ(g.size(), QSize(577, 357));
    EXPECT_TRUE(g.hsb1->isEnabled());
    EXPECT_TRUE(g.vsb1->isEnabled());
    EXPECT_TRUE(g.hsb1->isVisible());
    EXPECT_TRUE(g.vsb1->isVisible());
    EXPECT_EQ(g.pbx2->geometry(), QRect(0, 0, 560, 340));
    EXPECT_EQ(g.pbx1->geometry(), QRect(0, 0, 560, 340));
    EXPECT_EQ(g.VisibleRows(), 17);
    EXPECT_EQ(g.VisibleCols(), 8);
    EXPECT_EQ(g.vsb1->minimum(), 0);
    EXPECT_EQ(g.vsb1->maximum(), 4);
    EXPECT_EQ(g.hsb1->minimum(), 0);
    EXPECT_EQ(g.hsb1->maximum(), 14);
    // Along the viewport's bottom and right edges, 17 pixels thick.
    EXPECT_EQ(g.hsb1->geometry(), QRect(0, 340, 560, 17));
    EXPECT_EQ(g.vsb1->geometry(), QRect(560, 0, 17, 340));
    EXPECT_EQ(g.txt1->size(), QSize(63, 13));
    EXPECT_EQ(g.TextRow(), 1);
    EXPECT_EQ(g.TextCol(), 1);
    EXPECT_EQ(g.Rows(), 20);
    EXPECT_EQ(g.Cols(), 21);
}

TEST(GridLayout, SmallMatrixShowsNoBarsAndSnapsTheControl) {
    HostedGrid h(PropertyBag{{"CellWidth", "70"}, {"GridRows", "3"}, {"GridCols", "5"}}, 577, 357);
    Grid& g = *h.grid;
    EXPECT_EQ(g.size(), QSize(560, 360));
    EXPECT_FALSE(g.hsb1->isEnabled());
    EXPECT_FALSE(g.vsb1->isEnabled());
    EXPECT_FALSE(g.hsb1->isVisible());
    EXPECT_FALSE(g.vsb1->isVisible());
    EXPECT_EQ(g.pbx2->geometry(), QRect(0, 0, 350, 60));
    EXPECT_EQ(g.pbx1->geometry(), QRect(0, 0, 350, 60));
    EXPECT_EQ(g.VisibleRows(), 3);
    EXPECT_EQ(g.VisibleCols(), 5);
    EXPECT_EQ(g.hsb1->maximum(), 0);
    EXPECT_EQ(g.vsb1->maximum(), 0);
}

struct OneBarCase {
    const char* what;
    int gridRows, gridCols;
    QSize size;
    bool hsb1, vsb1;
    QRect surface, bar;
    int visibleRows, visibleCols, vsb1Max, hsb1Max;
};

// Cells 70 x 20 in a control sized 577 x 357. Only hsb1: NeedH 60 <= 357,
// 577 < NeedW 1540, and 357 - 17 = 340 leaves room for the 60; the height
// snaps with the bar, Round(340 / 20) = 17 -> 357, the width without,
// Round(577 / 70) = 8 -> 560. Only vsb1: 357 < NeedH 420, 577 - 17 = 560
// leaves room for NeedW 350; the height snaps without the bar,
// Round(357 / 20) = 18 -> 360, the width with, Round(560 / 70) = 8 -> 577.
const OneBarCase oneBarCases[] = {
    {"only hsb1", 3, 22, {560, 357}, true, false, {0, 0, 560, 60}, {0, 60, 560, 17}, 3, 8, 0, 14},
    {"only vsb1", 21, 5, {577, 360}, false, true, {0, 0, 350, 360}, {350, 0, 17, 360}, 18, 5, 3, 0},
};

TEST(GridLayout, OneBarSnapsOnlyItsOwnDirectionWithItsThickness) {
    for (const OneBarCase& c : oneBarCases) {
        HostedGrid h(PropertyBag{{"CellWidth", "70"}, {"GridRows", QString::number(c.gridRows)},
                                 {"GridCols", QString::number(c.gridCols)}},
                     577, 357);
        Grid& g = *h.grid;
        EXPECT_EQ(g.size(), c.size) << c.what;
        EXPECT_EQ(g.hsb1->isEnabled(), c.hsb1) << c.what;
        EXPECT_EQ(g.vsb1->isEnabled(), c.vsb1) << c.what;
        EXPECT_EQ(g.pbx1->geometry(), c.surface) << c.what;
        EXPECT_EQ(g.pbx2->geometry(), c.surface) << c.what;
        EXPECT_EQ((c.hsb1 ? g.hsb1 : g.vsb1)->geometry(), c.bar) << c.what;
        EXPECT_EQ(g.VisibleRows(), c.visibleRows) << c.what;
        EXPECT_EQ(g.VisibleCols(), c.visibleCols) << c.what;
        EXPECT_EQ(g.vsb1->maximum(), c.vsb1Max) << c.what;
        EXPECT_EQ(g.hsb1->maximum(), c.hsb1Max) << c.what;
    }
}

TEST(GridLayout, HeightTiesRoundToEven) {
    struct Case {
        int height;
        int snapped;
        int visibleRows;
    };
    // With hsb1 shown: (347 - 17) / 20 = 16.5 -> 16; (367 - 17) / 20 = 17.5 -> 18.
    const Case cases[] = {{347, 337, 16}, {367, 377, 18}};
    for (const Case& c : cases) {
        HostedGrid h(mainWindowProperties(), 577, c.height);
        EXPECT_EQ(h.grid->height(), c.snapped) << c.height;
        EXPECT_EQ(h.grid->width(), 577) << c.height;
        EXPECT_EQ(h.grid->VisibleRows(), c.visibleRows) << c.height;
        EXPECT_EQ(h.grid->vsb1->maximum(), 21 - c.visibleRows) << c.height;
    }
}

TEST(GridLayout, ANeverPersistedControlTakesTheLayoutDefaults) {
    QWidget host;
    Grid g(&host);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    g.setGeometry(0, 0, 700, 300);
    EXPECT_EQ(g.CellHeight(), 20);
    EXPECT_EQ(g.CellWidth(), 60);
    EXPECT_EQ(g.Rows(), 10);
    EXPECT_EQ(g.Cols(), 10);
}

TEST(GridLayout, ZeroSizesBecomeDefaultsAtTheWritersLayout) {
    HostedGrid h(mainWindowProperties(), 577, 357);
    Grid& g = *h.grid;
    g.CellHeight(0);
    EXPECT_EQ(g.CellHeight(), 20);
    g.CellWidth(0);
    EXPECT_EQ(g.CellWidth(), 60);
    g.Rows(-1);
    EXPECT_EQ(g.GridRows(), 11);
    EXPECT_EQ(g.Rows(), 10);
    g.Cols(-1);
    EXPECT_EQ(g.GridCols(), 11);
    // A negative size is not a 0: it stays.
    g.CellHeight(-5);
    EXPECT_EQ(g.CellHeight(), -5);
}

TEST(GridLayout, WritersRunTheLayout) {
    HostedGrid h(mainWindowProperties(), 577, 357);
    Grid& g = *h.grid;
    g.Rows(2); // 3 rows need 60 pixels: no vsb1
    EXPECT_FALSE(g.vsb1->isEnabled());
    EXPECT_TRUE(g.hsb1->isEnabled());
    EXPECT_EQ(g.VisibleRows(), 3);
    g.CellWidth(20); // 22 columns of 20 need 440: fits, no bars
    EXPECT_FALSE(g.hsb1->isEnabled());
    EXPECT_EQ(g.VisibleCols(), 22);
}

TEST(GridLayout, AnyLayoutMovesTheSelectionToTheFirstDataCell) {
    HostedGrid h(mainWindowProperties(), 577, 357);
    h.clickSlot(4, 3);
    ASSERT_EQ(h.grid->TextRow(), 4);
    ASSERT_EQ(h.grid->TextCol(), 3);
    h.grid->CellHeight(21);
    EXPECT_EQ(h.grid->TextRow(), 1);
    EXPECT_EQ(h.grid->TextCol(), 1);
}

TEST(GridLayout, TheEditorKeepsItsTextAndPlaceThroughALayout) {
    HostedGrid h(mainWindowProperties(), 577, 357);
    Grid& g = *h.grid;
    h.clickSlot(4, 3);
    QTest::keyClicks(g.txt1, "q");
    const QPoint place = g.txt1->pos();
    g.CellWidth(70); // same size, but a layout all the same
    EXPECT_EQ(g.TextRow(), 1);
    EXPECT_EQ(g.TextCol(), 1);
    EXPECT_EQ(g.txt1->text(), "q");
    EXPECT_EQ(g.txt1->pos(), place);
    // Nothing was committed; the next commit writes the pending text to the
    // new selection (1, 1), which is why callers commit before a writer.
    EXPECT_EQ(g.GetText(4, 3), "0");
    EXPECT_EQ(g.GetMatrix().sValue(1, 1), "q");
}

TEST(GridLayout, AControlSizedWhileHiddenKeepsWhatWasPaintedBeforeItIsShown) {
    // A window fills its grid before it shows itself; the size given while
    // hidden is laid out before that first paint, not after it.
    QWidget host;
    Grid* g = new Grid(&host);
    g->UserControl_ReadProperties(mainWindowProperties());
    g->setGeometry(32, 40, 577, 357);
    SparseArray m;
    m.sValue(0, 3, "Site2");
    g->SetMatrix(m, 0, 0);
    EXPECT_EQ(g->VisibleRows(), 17);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    QApplication::processEvents();
    EXPECT_EQ(g->size(), QSize(577, 357));
    // The absent cell (2, 3) still shows its "0".
    EXPECT_GT(textPixels(*g, 2, 3), 0);
}

TEST(GridLayout, TheLayoutThatTheHostsSizingRunsSnapsOnce) {
    // Snapping 577 x 357 without bars gives 560 x 360; the control's own
    // resize must not run a second layout (which would decide again).
    HostedGrid h(PropertyBag{{"CellWidth", "70"}, {"GridRows", "3"}, {"GridCols", "5"}}, 577, 357);
    EXPECT_EQ(h.grid->size(), QSize(560, 360));
    QApplication::processEvents();
    EXPECT_EQ(h.grid->size(), QSize(560, 360));
}

} // namespace
