// The drawing, read back from the surface's pixels. Cells are 70 x 20 on a
// surface of 8 x 17 slots (560 x 340). Pixel positions are worked by hand
// from the drawing rules and the surface's pixel conventions: a point names
// its pixel, 1-pixel lines and boxes include both ends, a pen of width 2 at
// column x covers columns x - 1 and x.

#include "GridTestSupport.h"

namespace {

class GridDrawing : public ::testing::Test {
protected:
    GridDrawing() : h(mainWindowProperties(), 577, 357) {}

    // Pixels of text inside a rectangle (both ends included).
    int textPixels(int left, int top, int right, int bottom) const {
        int n = 0;
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x)
                n += isInk(h.pixel(x, y));
        return n;
    }
    // Inside a slot, clear of its edge lines and strip.
    int slotTextPixels(int r, int c) const { return textPixels(c * 70 + 3, r * 20 + 3, c * 70 + 65, r * 20 + 17); }

    HostedGrid h;
};

struct PixelCase {
    const char* what;
    int x, y;
    QRgb (*colour)();
};

// After the layout alone: header bands in button face, black separators
// (locked), the black border cross at x = 70 and y = 20, grey grid lines
// from the third row and column line on, the data area in the background.
const PixelCase lockedBackground[] = {
    {"header row band", 300, 5, buttonFace},
    {"header column band", 35, 210, buttonFace},
    {"header column separator y = 40", 10, 40, black},
    {"header row separator x = 140", 140, 10, black},
    {"border line x = 70", 70, 200, black},
    {"border line y = 20", 300, 20, black},
    {"border lines cross", 70, 20, black},
    {"grid line y = 40", 300, 40, buttonFace},
    {"grid line x = 140", 140, 200, buttonFace},
    {"grid line y = 320, the last", 300, 320, buttonFace},
    {"data area", 100, 30, white},
};

TEST_F(GridDrawing, LockedBackgroundAfterTheLayout) {
    for (const PixelCase& c : lockedBackground)
        EXPECT_EQ(h.pixel(c.x, c.y), c.colour()) << c.what;
}

// Opened: white bands, separators in button face; the cross stays black.
const PixelCase openBackground[] = {
    {"header row band", 300, 5, white},
    {"header column band", 35, 210, white},
    {"header column separator y = 40", 10, 40, buttonFace},
    {"header row separator x = 140", 140, 10, buttonFace},
    {"border line x = 70", 70, 200, black},
    {"border line y = 20", 300, 20, black},
    {"grid line x = 140", 140, 200, buttonFace},
};

TEST_F(GridDrawing, OpenBackgroundAfterOpeningTheHeaders) {
    h.grid->EditHeaders(1);
    h.grid->HideSelection(); // repaint without the box
    for (const PixelCase& c : openBackground)
        EXPECT_EQ(h.pixel(c.x, c.y), c.colour()) << c.what;
}

TEST_F(GridDrawing, CellsOverTheBackground) {
    h.grid->HideSelection();
    // Locked header row cell (0, 2): filled in button face; no left edge line,
    // so the black separator at x = 140 stays; the inner edge at 141 in button face.
    EXPECT_EQ(h.pixel(140, 10), black());
    EXPECT_EQ(h.pixel(141, 10), buttonFace());
    EXPECT_EQ(h.pixel(200, 5), buttonFace());
    // Data cell (3, 2): left edge line at x = 140 from y = 63 to 77 in button
    // face, inner edge at 141 and fill from 142 white.
    EXPECT_EQ(h.pixel(140, 70), buttonFace());
    EXPECT_EQ(h.pixel(141, 70), white());
    EXPECT_EQ(h.pixel(142, 70), white());

    h.grid->EditHeaders(1);
    h.grid->HideSelection();
    // Open header row cell (0, 2): white fill, a left edge line in button face
    // over the separator, the inner edge white.
    EXPECT_EQ(h.pixel(140, 10), buttonFace());
    EXPECT_EQ(h.pixel(141, 10), white());
    EXPECT_EQ(h.pixel(200, 5), white());
    // The header row's first data cell (0, 1) gets no left edge line: the
    // black border at x = 70 shows; its inner edge at 71 is white.
    EXPECT_EQ(h.pixel(70, 10), black());
    EXPECT_EQ(h.pixel(71, 10), white());
}

TEST_F(GridDrawing, AbsentCellsShowZeroAndEmptyTextsShowNothing) {
    SparseArray m;
    m.sValue(0, 0, "");
    m.sValue(2, 3, "");
    h.grid->SetMatrix(m, 0, 0);
    h.grid->HideSelection();
    EXPECT_EQ(slotTextPixels(0, 0), 0);
    EXPECT_EQ(slotTextPixels(2, 3), 0);
    // Absent cells read "0", header and data cells alike.
    EXPECT_GT(slotTextPixels(0, 1), 0);
    EXPECT_GT(slotTextPixels(2, 0), 0);
    EXPECT_GT(slotTextPixels(2, 2), 0);
}

TEST_F(GridDrawing, TextsStartJustInsideTheirSlot) {
    // The text's left edge is at c * 70 + 70 * 4 / 90 = c * 70 + 3.11, the
    // pixel c * 70 + 3: the "0" of the absent cells shows within the slot's
    // first few pixel columns, and not in the column before (c * 70 + 2).
    h.grid->HideSelection();
    const struct {
        int r, c;
    } cells[] = {{2, 3}, {0, 2}, {5, 0}};
    for (const auto& s : cells) {
        const int left = s.c * 70;
        EXPECT_GT(textPixels(left + 3, s.r * 20 + 3, left + 7, s.r * 20 + 17), 0) << s.r << "," << s.c;
        EXPECT_EQ(textPixels(left + 2, s.r * 20 + 3, left + 2, s.r * 20 + 17), 0) << s.r << "," << s.c;
    }
}

TEST_F(GridDrawing, ScrollingShiftsTheCellsIntoTheSlots) {
    SparseArray m;
    m.sValue(3, 5, ""); // the only cell with nothing to print
    m.sValue(0, 5, "");
    m.sValue(3, 0, "");
    h.grid->SetMatrix(m, 0, 0);
    h.grid->HideSelection();
    EXPECT_EQ(slotTextPixels(3, 5), 0);
    h.grid->hsb1->setValue(2);
    h.grid->vsb1->setValue(1);
    // Cell (3, 5) now shows in slot (2, 3); slot row 0 still shows row 0 and
    // slot column 0 column 0, so (0, 5) is in slot (0, 3) and (3, 0) in (2, 0).
    EXPECT_EQ(slotTextPixels(2, 3), 0);
    EXPECT_GT(slotTextPixels(3, 5), 0);
    EXPECT_EQ(slotTextPixels(0, 3), 0);
    EXPECT_EQ(slotTextPixels(2, 0), 0);
}

TEST_F(GridDrawing, ALongTextIsCutByTheStrip) {
    SparseArray m;
    m.sValue(1, 2, QString(40, QChar('W')));
    m.sValue(1, 3, "");
    m.sValue(1, 7, QString(40, QChar('W')));
    h.grid->SetMatrix(m, 0, 0);
    h.grid->HideSelection();
    // The text fills its cell up to the strip...
    EXPECT_GT(textPixels(143, 22, 205, 38), 0);
    // ...the strip (x 206 to 209, y 22 to 38) is white, and the next cell's
    // left edge (210, button face), inner edge (211) and fill stay clean.
    EXPECT_EQ(textPixels(206, 21, 279, 39), 0);
    for (int y = 22; y <= 38; ++y) {
        EXPECT_EQ(h.pixel(206, y), white()) << y;
        EXPECT_EQ(h.pixel(209, y), white()) << y;
    }
    EXPECT_EQ(h.pixel(210, 30), buttonFace());
    // In the last slot column the strip and the surface's edge cut it.
    EXPECT_GT(textPixels(493, 22, 555, 38), 0);
    EXPECT_EQ(textPixels(556, 21, 559, 39), 0);
}

struct StripCase {
    const char* what;
    bool open;
    int r, c;
    QRgb (*colour)();
};

void PrintTo(const StripCase& c, std::ostream* os) { *os << c.what; }

// The strip over a cell's last 4 pixel columns: button face in the header
// row, the header column and the corner while locked, white otherwise. Read
// at its middle pixel column, (c + 1) * 70 - 3, half way down the slot.
const StripCase stripCases[] = {
    {"locked corner", false, 0, 0, buttonFace},
    {"locked header column", false, 3, 0, buttonFace},
    {"locked header row", false, 0, 3, buttonFace},
    {"locked data cell", false, 3, 3, white},
    {"open corner", true, 0, 0, white},
    {"open header column", true, 3, 0, white},
    {"open header row", true, 0, 3, white},
    {"open data cell", true, 3, 3, white},
};

class Strip : public GridDrawing, public ::testing::WithParamInterface<StripCase> {};

TEST_P(Strip, TakesTheColourOfItsKindOfCell) {
    const StripCase& c = GetParam();
    h.grid->EditHeaders(c.open ? 1 : 0);
    h.grid->HideSelection();
    for (int x = (c.c + 1) * 70 - 4; x <= (c.c + 1) * 70 - 1; ++x)
        EXPECT_EQ(h.pixel(x, c.r * 20 + 10), c.colour()) << "x = " << x;
}

INSTANTIATE_TEST_SUITE_P(Kinds, Strip, ::testing::ValuesIn(stripCases),
                         [](const auto& info) { return caseName(info.param.what); });

struct BoxCase {
    const char* what;
    bool open;
    int row, col;                    // logical cell, no scrolling
    int left, top, right, bottom;    // box corners the rules give
};

void PrintTo(const BoxCase& c, std::ostream* os) { *os << c.what; }

// Locked: the first selectable slot is row 1 / column 1, moved in by one
// pixel off the border lines. Open: slot 0 is the first. The last slot row
// and column end at the surface's edge (340, 560).
const BoxCase boxCases[] = {
    {"locked first slot", false, 1, 1, 71, 21, 141, 41},
    {"locked middle slot", false, 5, 4, 280, 100, 351, 121},
    {"locked last slot", false, 16, 7, 490, 320, 560, 340},
    {"open first slot", true, 0, 0, 1, 1, 71, 21},
    {"open slot 1 is not first", true, 1, 1, 70, 20, 141, 41},
    {"open middle slot", true, 5, 4, 280, 100, 351, 121},
    {"open last slot", true, 16, 7, 490, 320, 560, 340},
};

class SelectionBox : public GridDrawing, public ::testing::WithParamInterface<BoxCase> {};

// The box's sides, read across the middle of each: exactly two black pixels,
// with no black either side of them.
void expectSidesTwoPixelsWide(const HostedGrid& h, const BoxCase& c) {
    // A 2-pixel pen at v covers v - 1 and v; a side at the surface's edge
    // (560 or 340) moves in to cover the last two pixels.
    auto pen = [](int v, int limit) { return v < limit ? v : limit - 1; };
    const int midX = (c.left + c.right) / 2;
    const int midY = (c.top + c.bottom) / 2;
    auto isBlack = [&](int x, int y) { return h.pixel(x, y) == black(); };
    auto outside = [&](int x, int y) { return x < 0 || y < 0 || x >= 560 || y >= 340 || !isBlack(x, y); };
    const int l = pen(c.left, 560), r = pen(c.right, 560), t = pen(c.top, 340), b = pen(c.bottom, 340);
    EXPECT_TRUE(isBlack(l - 1, midY) && isBlack(l, midY)) << "left side at " << l - 1 << ".." << l;
    EXPECT_TRUE(outside(l - 2, midY) && outside(l + 1, midY)) << "left side wider than 2";
    EXPECT_TRUE(isBlack(r - 1, midY) && isBlack(r, midY)) << "right side at " << r - 1 << ".." << r;
    EXPECT_TRUE(outside(r - 2, midY) && outside(r + 1, midY)) << "right side wider than 2";
    EXPECT_TRUE(isBlack(midX, t - 1) && isBlack(midX, t)) << "top side at " << t - 1 << ".." << t;
    EXPECT_TRUE(outside(midX, t - 2) && outside(midX, t + 1)) << "top side wider than 2";
    EXPECT_TRUE(isBlack(midX, b - 1) && isBlack(midX, b)) << "bottom side at " << b - 1 << ".." << b;
    EXPECT_TRUE(outside(midX, b - 2) && outside(midX, b + 1)) << "bottom side wider than 2";
    EXPECT_TRUE(isBlack(l - 1, t - 1) && isBlack(r, b)) << "corners";
}

TEST_P(SelectionBox, CornersFollowTheSlot) {
    const BoxCase& c = GetParam();
    h.grid->EditHeaders(c.open ? 1 : 0);
    h.grid->PrintMatrix(c.row, c.col, 0, false);
    expectSidesTwoPixelsWide(h, c);
}

INSTANTIATE_TEST_SUITE_P(Slots, SelectionBox, ::testing::ValuesIn(boxCases),
                         [](const auto& info) { return caseName(info.param.what); });

TEST_F(GridDrawing, NoSelectionBoxWhenSuppressedOrScrolledAway) {
    struct Case {
        const char* what;
        int hsb, vsb;
        bool suppressed;
    };
    // The box of (1, 1) would put black on (100, 21) and (71, 30).
    const Case cases[] = {
        {"in view", 0, 0, false},
        {"b1 true", 0, 0, true},
        {"scrolled away upwards", 0, 2, false},
        {"scrolled away sideways", 3, 0, false},
    };
    for (const Case& c : cases) {
        h.grid->hsb1->setValue(c.hsb);
        h.grid->vsb1->setValue(c.vsb);
        h.grid->PrintMatrix(1, 1, 0, c.suppressed);
        const bool expected = std::string(c.what) == "in view";
        EXPECT_EQ(h.pixel(100, 21) == black(), expected) << c.what;
        EXPECT_EQ(h.pixel(71, 30) == black(), expected) << c.what;
    }
}

TEST_F(GridDrawing, SlotModeDrawsTheBoxInTheSlotGiven) {
    h.grid->vsb1->setValue(3);
    // Slot (2, 3) whatever the scrolling: from (210, 40) to (281, 61).
    h.grid->PrintMatrix(2, 3, 1, false);
    EXPECT_EQ(h.pixel(210, 50), black());
    EXPECT_EQ(h.pixel(281, 50), black());
    EXPECT_EQ(h.pixel(240, 61), black());
}

TEST_F(GridDrawing, ARepaintLeavesNothingOfTheLastOne) {
    h.grid->PrintMatrix(5, 4, 0, false);
    ASSERT_EQ(h.pixel(280, 110), black());
    h.grid->PrintMatrix(1, 1, 0, false);
    EXPECT_NE(h.pixel(280, 110), black());
}

// The editor over its cell: same font, start, baseline and rendering as the
// cell's painted text, and the cell's white around it, so the surface as
// shown with the editor on it is exactly the painted image. Texts with
// descenders and one that runs past the cell's end.
struct EditorCase {
    const char* what;
    bool open;
    int row, col; // logical; no scrolling
    const char* text;
};

void PrintTo(const EditorCase& c, std::ostream* os) { *os << c.what; }

const EditorCase editorCases[] = {
    {"data cell", false, 3, 4, "Sp1 gjpq"},
    {"first data cell", false, 1, 1, "Guild"},
    {"last slot", false, 16, 7, "Facilitation"},
    {"text longer than the cell", false, 5, 2, "Simulation: 10 of 30 gjpq"},
    {"open corner", true, 0, 0, "Species"},
    {"open header row", true, 0, 3, "Site20"},
    {"open header column", true, 7, 0, "Sp17"},
};

class EditorOverCell : public GridDrawing, public ::testing::WithParamInterface<EditorCase> {};

TEST_P(EditorOverCell, ShowsExactlyThePaintedCell) {
    const EditorCase& c = GetParam();
    SparseArray m;
    m.sValue(c.row, c.col, QString::fromLatin1(c.text));
    h.grid->SetMatrix(m, 0, 0);
    h.grid->EditHeaders(c.open ? 1 : 0);
    h.clickSlot(c.row, c.col);
    ASSERT_FALSE(h.grid->txt1->isHidden());
    ASSERT_EQ(h.grid->txt1->text(), QString::fromLatin1(c.text));
    // The editor's own marks aside (the selection, the caret), it must not show.
    h.grid->txt1->setCursorPosition(0);
    h.grid->txt1->deselect();
    h.grid->txt1->clearFocus();
    const QRect editor = h.grid->txt1->geometry();
    EXPECT_EQ(editor.topLeft(), QPoint(c.col * 70 + 3, c.row * 20 + 3)) << "on the painted text's start and top";
    const QImage shown = h.grid->pbx1->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage painted = h.grid->pbx1->image().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), painted.size());
    int differing = 0;
    for (int y = editor.top(); y <= editor.bottom(); ++y)
        for (int x = editor.left(); x <= editor.right(); ++x)
            differing += shown.pixel(x, y) != painted.pixel(x, y);
    EXPECT_EQ(differing, 0) << "pixels where the editor differs from the painted cell";
    // Nothing of the painted text lies outside the editor: inside the
    // selection box and left of the strip the slot is white around it.
    for (int y = c.row * 20 + 2; y <= c.row * 20 + 17; ++y) {
        for (int x = c.col * 70 + 2; x <= c.col * 70 + 65; ++x) {
            if (!editor.contains(x, y)) {
                ASSERT_EQ(painted.pixel(x, y), white()) << "text outside the editor at " << x << "," << y;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cells, EditorOverCell, ::testing::ValuesIn(editorCases),
                         [](const auto& info) { return caseName(info.param.what); });

// What each handler leaves on the surface: the selection box around the
// selected cell's slot, 2 pixels wide on every side, after a key, a click, a
// scroll and a lock change. Corners by the rules, as in the table above.
struct AfterCase {
    const char* what;
    void (*act)(HostedGrid&);
    BoxCase box; // the slot's box; row and col give the expected selection
};

void PrintTo(const AfterCase& c, std::ostream* os) { *os << c.what; }

const AfterCase afterCases[] = {
    {"Down key", [](HostedGrid& h) { h.clickSlot(3, 4); h.key(Qt::Key_Down); },
     {"", false, 4, 4, 280, 80, 351, 101}},
    {"Enter key", [](HostedGrid& h) { h.clickSlot(3, 4); h.key(Qt::Key_Return); },
     {"", false, 4, 4, 280, 80, 351, 101}},
    {"Up key to the first row", [](HostedGrid& h) { h.clickSlot(2, 4); h.key(Qt::Key_Up); },
     {"", false, 1, 4, 280, 21, 351, 41}},
    {"Right key to the last slot", [](HostedGrid& h) { h.clickSlot(16, 6); h.key(Qt::Key_Right); },
     {"", false, 16, 7, 490, 320, 560, 340}},
    // Scrolled 2 rows and 3 columns: slot (5, 4) shows cell (7, 7).
    {"click while scrolled",
     [](HostedGrid& h) { h.grid->vsb1->setValue(2); h.grid->hsb1->setValue(3); h.clickSlot(5, 4); },
     {"", false, 7, 7, 280, 100, 351, 121}},
    // Cell (3, 4) selected; one column scrolled out moves it to slot (3, 3).
    {"horizontal scroll", [](HostedGrid& h) { h.clickSlot(3, 4); h.grid->hsb1->setValue(1); },
     {"", false, 3, 4, 210, 60, 281, 81}},
    {"vertical scroll", [](HostedGrid& h) { h.clickSlot(3, 4); h.grid->vsb1->setValue(1); },
     {"", false, 3, 4, 280, 40, 351, 61}},
    // Locking moves the selection off the header row: (0, 5) becomes (1, 5).
    {"locking from a header cell",
     [](HostedGrid& h) { h.grid->EditHeaders(1); h.clickSlot(0, 5); h.grid->EditHeaders(0); },
     {"", false, 1, 5, 350, 21, 421, 41}},
    {"opening", [](HostedGrid& h) { h.clickSlot(3, 4); h.grid->EditHeaders(1); },
     {"", true, 3, 4, 280, 60, 351, 81}},
};

class BoxAfter : public GridDrawing, public ::testing::WithParamInterface<AfterCase> {};

TEST_P(BoxAfter, SurroundsTheSelectedCellsSlot) {
    const AfterCase& c = GetParam();
    c.act(h);
    EXPECT_EQ(h.grid->TextRow(), c.box.row);
    EXPECT_EQ(h.grid->TextCol(), c.box.col);
    expectSidesTwoPixelsWide(h, c.box);
}

INSTANTIATE_TEST_SUITE_P(Handlers, BoxAfter, ::testing::ValuesIn(afterCases),
                         [](const auto& info) { return caseName(info.param.what); });

// A cell's text has its top-left corner at (3, 3) in its slot (70 * 4 / 90 =
// 3.11 and 20 * 4 / 30 = 2.67 pixels, to the nearest pixel): what lies
// inside the cell's fill is exactly the text printed at that point on a
// clean white box in the cells' font.
struct TextPlaceCase {
    const char* what;
    bool open;
    int vsb, hsb;
    int r, c;     // slot
    int row, col; // the cell it shows
};

void PrintTo(const TextPlaceCase& c, std::ostream* os) { *os << c.what; }

const TextPlaceCase textPlaceCases[] = {
    {"data cell", false, 0, 0, 4, 5, 4, 5},
    {"first data cell", false, 0, 0, 1, 1, 1, 1},
    {"scrolled data cell", false, 3, 2, 6, 3, 9, 5},
    {"open header row", true, 0, 0, 0, 3, 0, 3},
    {"open header column", true, 0, 0, 8, 0, 8, 0},
    {"open corner", true, 0, 0, 0, 0, 0, 0},
};

class TextPlace : public GridDrawing, public ::testing::WithParamInterface<TextPlaceCase> {};

TEST_P(TextPlace, TopLeftCornerThreePixelsIntoTheSlot) {
    const TextPlaceCase& c = GetParam();
    const QString text = QStringLiteral("Hg|jW");
    SparseArray m;
    m.sValue(c.row, c.col, text);
    h.grid->SetMatrix(m, 0, 0);
    h.grid->EditHeaders(c.open ? 1 : 0);
    h.grid->vsb1->setValue(c.vsb);
    h.grid->hsb1->setValue(c.hsb);
    h.grid->HideSelection();

    platform::PictureBox reference;
    reference.resize(70, 20);
    reference.setFont(h.grid->pbx1->font());
    reference.setBackColor(Qt::white);
    reference.setForeColor(platform::windowTextColour());
    reference.setCurrentX(3);
    reference.setCurrentY(3);
    reference.Print(text);
    const QImage expected = reference.image().copy(2, 2, 64, 16);
    const QImage actual = h.grid->pbx1->image().copy(c.c * 70 + 2, c.r * 20 + 2, 64, 16);
    EXPECT_EQ(actual, expected);
}

INSTANTIATE_TEST_SUITE_P(Slots, TextPlace, ::testing::ValuesIn(textPlaceCases),
                         [](const auto& info) { return caseName(info.param.what); });

// The header bands over their whole extent in the background picture: the
// header row from y 0 to 19 across the surface, the header column from x 0
// to 69 down it, apart from the separators (every 20 rows in the column,
// every 70 pixels in the row) and the black border lines at x 70 and y 20.
struct BandCase {
    const char* what;
    bool open;
    QRgb (*band)();
    QRgb (*separator)();
};

void PrintTo(const BandCase& c, std::ostream* os) { *os << c.what; }

const BandCase bandCases[] = {
    {"locked", false, buttonFace, black},
    {"open", true, white, buttonFace},
};

class HeaderBands : public GridDrawing, public ::testing::WithParamInterface<BandCase> {};

TEST_P(HeaderBands, CoverTheHeaderRowAndColumnWhole) {
    const BandCase& c = GetParam();
    h.grid->EditHeaders(c.open ? 1 : 0);
    const QImage background = h.grid->pbx1->Picture();
    ASSERT_EQ(background.size(), QSize(560, 340));
    int wrong = 0;
    for (int y = 0; y < 340; ++y) {
        for (int x = 0; x < 560; ++x) {
            if (x > 70 && y > 20)
                continue; // the data area
            QRgb expected = c.band();
            if (x == 70 || y == 20)
                expected = black();
            else if ((x < 70 && y % 20 == 0 && y > 0) || (y < 20 && x % 70 == 0 && x > 0))
                expected = c.separator();
            if (background.pixel(x, y) != expected && ++wrong <= 5)
                ADD_FAILURE() << "band pixel " << x << "," << y;
        }
    }
    EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(Locks, HeaderBands, ::testing::ValuesIn(bandCases),
                         [](const auto& info) { return caseName(info.param.what); });

} // namespace
