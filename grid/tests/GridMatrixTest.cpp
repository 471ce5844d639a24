// The matrix interface and when the editor's text reaches the cells.
// Expected cells are worked by hand from the commit, copy and resize rules.

#include "GridTestSupport.h"

#include "analysis/MarviskError.h"
#include "grid/GridLayout.h"

#include <functional>
#include <limits>

namespace {

QStringList sortedKeys(const SparseArray& m) {
    QStringList keys = m.sKeys();
    keys.sort();
    return keys;
}

class GridMatrix : public ::testing::Test {
protected:
    GridMatrix() : h(mainWindowProperties(), 577, 357), g(*h.grid) {}
    HostedGrid h;
    Grid& g;
};

struct CommitCase {
    const char* what;
    std::function<void(HostedGrid&)> commit;
};

void PrintTo(const CommitCase& c, std::ostream* os) { *os << c.what; }

const CommitCase commitCases[] = {
    {"selecting click", [](HostedGrid& h) { h.clickSlot(4, 4); }},
    {"key move", [](HostedGrid& h) { h.key(Qt::Key_Down); }},
    {"lock change", [](HostedGrid& h) { h.grid->EditHeaders(1); }},
    {"same lock again", [](HostedGrid& h) { h.grid->EditHeaders(0); }},
    {"GetMatrix", [](HostedGrid& h) { h.grid->GetMatrix(); }},
    {"HideSelection", [](HostedGrid& h) { h.grid->HideSelection(); }},
    {"ResizeMatrix", [](HostedGrid& h) { h.grid->ResizeMatrix(20, 21); }},
};

class Commit : public ::testing::TestWithParam<CommitCase> {};

TEST_P(Commit, TypingThenScrollingStoresNothingUntilACommit) {
    HostedGrid h(mainWindowProperties(), 577, 357);
    Grid& g = *h.grid;
    h.clickSlot(1, 2);
    QTest::keyClicks(g.txt1, "1");
    // Scrolling the cell out of view hides the editor and stores nothing.
    g.hsb1->setValue(2);
    EXPECT_TRUE(g.txt1->isHidden());
    EXPECT_EQ(g.GetText(1, 2), "0");
    // Scrolling back shows it again with the pending text.
    g.hsb1->setValue(0);
    EXPECT_FALSE(g.txt1->isHidden());
    EXPECT_EQ(g.txt1->text(), "1");
    EXPECT_EQ(g.GetText(1, 2), "0");

    GetParam().commit(h);
    EXPECT_EQ(g.GetText(1, 2), "1");
}

INSTANTIATE_TEST_SUITE_P(Triggers, Commit, ::testing::ValuesIn(commitCases),
                         [](const auto& info) { return caseName(info.param.what); });

TEST_F(GridMatrix, ARefusedClickCommitsNothing) {
    BeepCounter beeps;
    h.clickSlot(1, 2);
    QTest::keyClicks(g.txt1, "1");
    h.clickSlot(0, 2);
    EXPECT_EQ(beeps.count, 1);
    EXPECT_EQ(g.GetText(1, 2), "0");
}

TEST_F(GridMatrix, CommittingZeroRemovesTheCellAndOtherTextsAreStoredAsTyped) {
    SparseArray m;
    m.sValue(1, 2, "1");
    m.sValue(1, 3, "1");
    g.SetMatrix(m, 0, 0);
    h.clickSlot(1, 2);
    EXPECT_EQ(g.txt1->selectedText(), "1");
    QTest::keyClicks(g.txt1, "0"); // replaces the selected text
    h.key(Qt::Key_Right);
    EXPECT_EQ(sortedKeys(g.GetMatrix()), QStringList({"1,3"}));
    // Committing the empty text stores it, not "0".
    g.txt1->clear();
    h.key(Qt::Key_Right);
    const SparseArray out = g.GetMatrix();
    EXPECT_TRUE(out.sKeys().contains("1,3"));
    EXPECT_EQ(out.sValue(1, 3), "");
}

TEST_F(GridMatrix, GetMatrixCommitsEvenAHiddenEditorAndHandsOutACopy) {
    h.clickSlot(2, 2);
    g.txt1->setText("x");
    g.HideSelection();
    EXPECT_TRUE(g.txt1->isHidden());
    EXPECT_EQ(g.GetText(2, 2), "x");
    g.SetText("y", 2, 2);
    // The hidden editor still holds "x" and writes it again.
    SparseArray copy = g.GetMatrix();
    EXPECT_EQ(copy.sValue(2, 2), "x");
    copy.sValue(2, 2, "changed");
    EXPECT_EQ(g.GetText(2, 2), "x");
    g.SetText("later", 3, 3);
    EXPECT_EQ(copy.sValue(3, 3), "0");
}

TEST_F(GridMatrix, SetMatrixWithOffsetsKeepsTheCellsBeforeThem) {
    SparseArray before;
    const struct {
        int r, c;
    } cells[] = {{0, 0}, {0, 1}, {0, 5}, {3, 0}, {3, 1}, {3, 2}, {5, 7}, {1, 2}};
    for (const auto& cell : cells)
        before.sValue(cell.r, cell.c, QString("old%1%2").arg(cell.r).arg(cell.c));
    g.SetMatrix(before, 0, 0);

    SparseArray m;
    m.sValue(0, 0, "a");
    m.sValue(2, 3, "b");
    g.SetMatrix(m, 1, 2);
    // Row 0 and columns 0 and 1 stay; every other cell goes; m lands shifted.
    EXPECT_EQ(sortedKeys(g.GetMatrix()), QStringList({"0,0", "0,1", "0,5", "1,2", "3,0", "3,1", "3,5"}));
    EXPECT_EQ(g.GetText(0, 5), "old05");
    EXPECT_EQ(g.GetText(3, 1), "old31");
    EXPECT_EQ(g.GetText(1, 2), "a");
    EXPECT_EQ(g.GetText(3, 5), "b");
    EXPECT_EQ(g.GetText(3, 2), "0");
    EXPECT_EQ(g.GetText(5, 7), "0");
}

TEST_F(GridMatrix, SetMatrixAtTheOriginReplacesEverythingAndLoadsTheEditor) {
    SparseArray first;
    first.sValue(1, 1, "one");
    first.sValue(30, 40, "far"); // beyond the shown size: kept, not shown
    g.SetMatrix(first, 0, 0);
    EXPECT_EQ(g.txt1->text(), "one");
    EXPECT_EQ(g.GetMatrix().sValue(30, 40), "far");

    SparseArray second;
    second.sValue(2, 2, "two");
    g.SetMatrix(second, 0, 0);
    EXPECT_EQ(sortedKeys(g.GetMatrix()), QStringList({"2,2"}));
    EXPECT_EQ(g.txt1->text(), "0");
    EXPECT_EQ(g.Rows(), 20);
    EXPECT_EQ(g.Cols(), 21);
}

TEST_F(GridMatrix, SetMatrixBeyondThirtyTwoBitsRaisesAndLeavesTheGridAlone) {
    SparseArray mine;
    mine.sValue(1, 1, "kept");
    g.SetMatrix(mine, 0, 0);
    SparseArray m;
    m.sValue(5, 5, "x");
    try {
        g.SetMatrix(m, std::numeric_limits<int32_t>::max() - 2, 0);
        FAIL() << "no overflow raised";
    } catch (const MarviskError& e) {
        EXPECT_EQ(e.number(), grid::OverflowError);
    }
    EXPECT_EQ(g.GetText(1, 1), "kept");
}

TEST_F(GridMatrix, ResizeMatrixKeepsTheCellsInsideAndDropsTheRest) {
    SparseArray m;
    for (int r = 0; r <= 20; ++r)
        for (int c = 0; c <= 21; ++c)
            m.sValue(r, c, "c");
    g.SetMatrix(m, 0, 0);
    h.clickSlot(3, 3);

    g.ResizeMatrix(5, 4);
    EXPECT_EQ(g.Rows(), 5);
    EXPECT_EQ(g.Cols(), 4);
    const SparseArray out = g.GetMatrix();
    EXPECT_EQ(out.sKeys().size(), 6 * 5);
    EXPECT_EQ(out.sValue(5, 4), "c");
    EXPECT_EQ(out.sValue(0, 0), "c");
    EXPECT_EQ(out.sValue(6, 1), "0");
    EXPECT_EQ(out.sValue(1, 5), "0");
    // Laid out again: 6 rows of 20 and 5 columns of 70 fit, and the editor
    // is on (1, 1) with its text.
    EXPECT_EQ(g.VisibleRows(), 6);
    EXPECT_EQ(g.VisibleCols(), 5);
    EXPECT_EQ(g.TextRow(), 1);
    EXPECT_EQ(g.TextCol(), 1);
    EXPECT_EQ(g.txt1->text(), "c");

    // Growing again brings back no dropped cell.
    g.ResizeMatrix(20, 21);
    EXPECT_EQ(g.GetMatrix().sKeys().size(), 6 * 5);
    EXPECT_EQ(g.GetText(10, 10), "0");
}

TEST_F(GridMatrix, ResizeMatrixToTheSameSizeKeepsEveryCell) {
    SparseArray m;
    m.sValue(20, 21, "corner");
    m.sValue(7, 9, "mid");
    g.SetMatrix(m, 0, 0);
    h.clickSlot(5, 5);
    g.ResizeMatrix(20, 21);
    EXPECT_EQ(sortedKeys(g.GetMatrix()), QStringList({"20,21", "7,9"}));
    EXPECT_EQ(g.TextRow(), 1);
    EXPECT_EQ(g.TextCol(), 1);
}

TEST_F(GridMatrix, ShrinkingRowsHidesCellsWithoutDroppingThem) {
    SparseArray m;
    for (int r = 1; r <= 20; ++r)
        m.sValue(r, 0, QString("Sp%1").arg(r));
    g.SetMatrix(m, 0, 0);
    g.Rows(5);
    EXPECT_EQ(g.VisibleRows(), 6);
    EXPECT_EQ(g.GetMatrix().sKeys().size(), 20);
    g.ResizeMatrix(5, g.Cols());
    EXPECT_EQ(g.GetMatrix().sKeys().size(), 5);
}

TEST_F(GridMatrix, SizesBeyondTheirRangesRaiseOverflow) {
    struct Case {
        const char* what;
        std::function<void(Grid&)> call;
        bool refusedBeforeAnyChange; // the size stays as it was
    };
    const Case cases[] = {
        {"Rows", [](Grid& grid) { grid.Rows(std::numeric_limits<int32_t>::max()); }, true},
        {"Cols", [](Grid& grid) { grid.Cols(std::numeric_limits<int32_t>::max()); }, true},
        {"ResizeMatrix rows + 1", [](Grid& grid) { grid.ResizeMatrix(std::numeric_limits<int32_t>::max(), 3); }, true},
        // 40001 rows with 17 shown leave more than 32767 for the bar: the
        // size is taken, the layout then overflows.
        {"ResizeMatrix scroll range", [](Grid& grid) { grid.ResizeMatrix(40000, 3); }, false},
    };
    for (const Case& c : cases) {
        const int32_t rows = g.Rows();
        const int32_t cols = g.Cols();
        try {
            c.call(g);
            ADD_FAILURE() << c.what << ": no overflow raised";
        } catch (const MarviskError& e) {
            EXPECT_EQ(e.number(), grid::OverflowError) << c.what;
        }
        if (c.refusedBeforeAnyChange) {
            EXPECT_EQ(g.Rows(), rows) << c.what;
            EXPECT_EQ(g.Cols(), cols) << c.what;
        }
    }
}

TEST_F(GridMatrix, SetTextDoesNotRepaint) {
    const QImage before = g.pbx1->image();
    g.SetText("", 2, 2);
    EXPECT_EQ(g.pbx1->image(), before);
    EXPECT_EQ(g.GetText(2, 2), "");
}

} // namespace
