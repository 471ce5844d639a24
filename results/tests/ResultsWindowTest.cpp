// The results window: the chart and its legend in the picture boxes'
// persistent images, the chart frame picture, page selection by headers,
// captions and strips, the window's size and places in twips, closing, the
// default button, help, and both pages as shown (kept as
// screenshots for a look by eye).

#include "analysis/Settings.h"
#include "app/tests/AppTestSupport.h"
#include "app/Help.h"
#include "platform/Geometry.h"
#include "platform/Look.h"
#include "platform/PictureBox.h"
#include "results/OutputResults.h"
#include "results/ResultsWidgets.h"
#include "results/frmResults.h"
#include "tests/support/WidgetTestMain.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

const QColor DarkBlue(0, 0, 138);   // the Competition Test's colour
const QColor LightBlue(142, 142, 255); // the Facilitation/Filtering Test's colour
const QColor White(255, 255, 255);

constexpr double Strengths[29] = {
    0.1, 0.2, 0.30000000000000004, 0.4, 0.5, 0.6, 0.7, 0.7999999999999999, 0.8999999999999999,
    0.9999999999999999, 1.0999999999999999, 1.2, 1.3, 1.4000000000000001, 1.5000000000000002,
    1.6000000000000003, 1.7000000000000004, 1.8000000000000005, 1.9000000000000006, 2.0000000000000004,
    2.1000000000000005, 2.2000000000000006, 2.3000000000000007, 2.400000000000001, 2.500000000000001,
    2.600000000000001, 2.700000000000001, 2.800000000000001, 2.9000000000000012};

// Competition rising from 0.05 by 0.03 a row, Facilitation falling from 0.95.
SimulationResults crossingCurves() {
    SimulationResults r;
    for (int row = 1; row <= 29; ++row) {
        r.power(row, 1) = Strengths[row - 1];
        r.power(row, 2) = 0.05 + 0.03 * (row - 1);
        r.power(row, 3) = 0.95 - 0.03 * (row - 1);
    }
    r.CompetitionPValue = 0.0312;
    return r;
}

// Deletes a window left open; a closed one has deleted itself.
struct WindowDeleter {
    void operator()(QWidget* w) const { delete w; }
};

class ResultsWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings::MatrixFilePath.clear();
        mainWindow = std::make_unique<QWidget>();
        mainWindow->hide();
        form = LoadResults(crossingCurves(), "20", "20", mainWindow.get());
    }
    void TearDown() override {
        delete form.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The six boxes of the window from front to back.
    std::vector<QWidget*> stacking() const {
        const std::vector<QWidget*> boxes{form->pbx3, form->pbx4, form->pbx5, form->pbx6, form->pbx7, form->pbx8};
        std::vector<QWidget*> order;
        const QObjectList& children = form->children(); // back to front
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            for (QWidget* box : boxes)
                if (*it == box)
                    order.push_back(box);
        return order;
    }

    std::unique_ptr<QWidget> mainWindow;
    QPointer<frmResults> form;
};

// --- The chart ---------------------------------------------------------------

// The mapped points, by hand: x = 478/3 * strength + 117, y = 368 - 334 * rate,
// then the nearest pixel.
//   row 1:  strength 0.1 -> x 132.93 -> 133
//           Competition 0.05 -> y 351.30 -> 351; Facilitation 0.95 -> y 50.70 -> 51
//   row 29: strength 2.9 -> x 579.07 -> 579
//           Competition 0.89 -> y 70.74 -> 71;  Facilitation 0.11 -> y 331.26 -> 331
//   row 16: strength 1.6 -> x 371.93 -> 372; both 0.5 -> y 201
struct ChartPoint {
    const char* what;
    int x, y;
    QColor colour;
};

TEST_F(ResultsWindowTest, BothCurvesPassThroughTheirFirstAndLastPoints) {
    const ChartPoint points[] = {
        {"Competition, row 1", 133, 351, DarkBlue},
        {"Competition, row 29", 579, 71, DarkBlue},
        {"Facilitation, row 1", 133, 51, LightBlue},
        {"Facilitation, row 29", 579, 331, LightBlue},
        // Row 16 (strength 1.6 -> x 371.93 -> 372), where both rates are 0.5
        // (y 201): the Facilitation curve, drawn second, lies on top.
        {"Crossing at row 16", 372, 201, LightBlue},
    };
    const QImage& chart = form->pbx1->image();
    for (const ChartPoint& p : points)
        EXPECT_EQ(chart.pixelColor(p.x, p.y), p.colour) << p.what;
    // Before the first row and after the last nothing is drawn: the frame's white.
    EXPECT_EQ(chart.pixelColor(125, 200), White);
    EXPECT_EQ(chart.pixelColor(590, 200), White);
}

// The chart's place on the page is 9675 by 7875 twips at (480, 360): 645 by
// 525 pixels at (32, 24). The drawing surface, and so the saved bitmap, is
// the frame picture itself, 640 by 521, at the place's top left.
TEST_F(ResultsWindowTest, ChartShowsTheFramePictureAtItsTopLeft) {
    frmResults fresh(mainWindow.get());
    const QImage chart = fresh.pbx1->image();
    const QImage frame = frmResults::ChartFramePicture();
    ASSERT_EQ(chart.size(), QSize(640, 521));
    EXPECT_EQ(chart.convertToFormat(QImage::Format_RGB32), frame);
    QWidget* chartPlace = fresh.pbx1->parentWidget();
    ASSERT_NE(chartPlace, nullptr);
    EXPECT_EQ(chartPlace->parentWidget(), fresh.pbx4);
    EXPECT_EQ(chartPlace->geometry(), QRect(32, 24, 645, 525));
    EXPECT_EQ(fresh.pbx1->geometry(), QRect(0, 0, 640, 521));
    // Beyond the picture the place is white.
    const QImage shown = chartPlace->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.pixelColor(644, 524), White);
    EXPECT_EQ(shown.pixelColor(642, 100), White);
    EXPECT_EQ(shown.pixelColor(300, 523), White);
}

// The frame for screens at scale 2: twice the pixels, the same three colours,
// and each pixel of the plot box's sides and of the red guides a 2 x 2 block
// of the same colour at twice its place, so that the curves meet them there.
TEST(ChartFrameAt2x, IsTheFrameAtTwiceTheResolution) {
    const QImage sharper = frmResults::ChartFramePictureAt2x();
    const QImage frame = frmResults::ChartFramePicture();
    ASSERT_EQ(sharper.size(), QSize(1280, 1042));
    EXPECT_EQ(sharper.devicePixelRatio(), 2);
    for (int y = 0; y < sharper.height(); ++y)
        for (int x = 0; x < sharper.width(); ++x) {
            const QRgb c = sharper.pixel(x, y);
            if (c != qRgb(0, 0, 0) && c != qRgb(255, 255, 255) && c != qRgb(255, 0, 0)) {
                ADD_FAILURE() << "pixel " << x << "," << y << " is not black, white or red";
                return;
            }
        }
    auto expectBlock = [&](int x, int y) {
        for (int d = 0; d < 4; ++d)
            EXPECT_EQ(sharper.pixel(2 * x + d % 2, 2 * y + d / 2), frame.pixel(x, y)) << x << "," << y;
    };
    for (int y = 35; y < 368; ++y)
        for (const int x : {117, 276, 595})
            expectBlock(x, y);
    for (int x = 118; x < 595; ++x)
        for (const int y : {34, 351, 368})
            expectBlock(x, y);
}

TEST_F(ResultsWindowTest, ChartKeepsItsDrawingThroughPageSwitches) {
    const QImage before = form->pbx1->image();
    form->show();
    QTest::mouseClick(form->lbl2, Qt::LeftButton);
    QTest::mouseClick(form->lbl1, Qt::LeftButton);
    QTest::mouseClick(form->lbl2, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(form->pbx1->image(), before);
    // What the screen shows of the chart is the image itself.
    const QImage shown = form->pbx1->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.pixelColor(133, 351), DarkBlue);
    EXPECT_EQ(shown.pixelColor(579, 331), LightBlue);
}

// Where a segment lands, by hand, with its pen 2 pixels wide: an even width
// covers the pixel before the mapped one too, and the pixels either side stay
// as the frame has them (white there: no tick mark lies at x 300, y 150 or
// y 200). The ends of both axes land on the plot box's sides: strength 0 ->
// x 117, 3 -> x 595; rate 0 -> y 368, 1 -> y 34. Inside: rate 0.5 -> y 368 -
// 167 = 201; strength 2 -> x 478/3 * 2 + 117 = 435.67 -> 436.
struct SegmentCase {
    const char* name;
    Curve segment;
    QPoint before, first, second, after; // white, drawn, drawn, white
};

void PrintTo(const SegmentCase& c, std::ostream* os) { *os << c.name; }

class ChartSegmentTest : public ResultsWindowTest, public ::testing::WithParamInterface<SegmentCase> {};

TEST_P(ChartSegmentTest, CoversTheMappedPixelAndTheOneBefore) {
    const SegmentCase& c = GetParam();
    frmResults fresh(mainWindow.get());
    fresh.PlotFunction(c.segment, 9043968, "Competition test");
    const QImage& chart = fresh.pbx1->image();
    EXPECT_EQ(chart.pixelColor(c.before), White);
    EXPECT_EQ(chart.pixelColor(c.first), DarkBlue);
    EXPECT_EQ(chart.pixelColor(c.second), DarkBlue);
    EXPECT_EQ(chart.pixelColor(c.after), White);
}

const SegmentCase SegmentCases[] = {
    {"RateOneOnTheTopSide", {{0.5, 1}, {2.5, 1}}, {300, 32}, {300, 33}, {300, 34}, {300, 35}},
    {"RateZeroOnTheBottomSide", {{0.5, 0}, {2.5, 0}}, {300, 366}, {300, 367}, {300, 368}, {300, 369}},
    {"StrengthZeroOnTheLeftSide", {{0, 0.2}, {0, 0.8}}, {115, 200}, {116, 200}, {117, 200}, {118, 200}},
    {"StrengthThreeOnTheRightSide", {{3, 0.2}, {3, 0.8}}, {593, 200}, {594, 200}, {595, 200}, {596, 200}},
    {"LevelInside", {{0.5, 0.5}, {2.5, 0.5}}, {300, 199}, {300, 200}, {300, 201}, {300, 202}},
    {"UprightInside", {{2, 0.2}, {2, 0.8}}, {434, 150}, {435, 150}, {436, 150}, {437, 150}},
};

INSTANTIATE_TEST_SUITE_P(Segments, ChartSegmentTest, ::testing::ValuesIn(SegmentCases),
                         [](const ::testing::TestParamInfo<SegmentCase>& info) { return std::string(info.param.name); });

// Values beyond the axes are drawn where the mapping puts them, outside the
// plot box, cut only by the chart's own edges. By hand: strength 2.9 -> x
// 579.07, 3.1 -> x 610.93; rate 1.05 -> y 17.3; rate -0.1 -> y 401.4.
TEST_F(ResultsWindowTest, ValuesBeyondTheAxesAreDrawnOutsideThePlotBox) {
    frmResults fresh(mainWindow.get());
    fresh.PlotFunction(Curve{{2.9, 1.05}, {3.1, 1.05}, {3.1, -0.1}}, 9043968, "Competition test");
    const QImage& chart = fresh.pbx1->image();
    EXPECT_EQ(chart.pixelColor(579, 17), DarkBlue);
    EXPECT_EQ(chart.pixelColor(600, 17), DarkBlue);
    EXPECT_EQ(chart.pixelColor(611, 17), DarkBlue);
    EXPECT_EQ(chart.pixelColor(611, 200), DarkBlue);
    EXPECT_EQ(chart.pixelColor(611, 401), DarkBlue);
    EXPECT_EQ(chart.pixelColor(611, 410), White);
}

// --- The legend --------------------------------------------------------------

bool isWhite(const QImage& image, int x, int y) { return image.pixelColor(x, y) == White; }

// The ink of one text line printed at (left, top), height rows: found, and
// nothing of it left of 'left' or outside its rows.
void expectLabelAt(const QImage& legend, int left, int top, int height, const char* what) {
    int ink = 0;
    for (int y = 0; y < legend.height(); ++y)
        for (int x = 0; x < legend.width(); ++x) {
            // The text colour or a shade of it at a letter's smoothed edge.
            if (legend.pixelColor(x, y) == White || x < 55)
                continue;
            if (y >= top && y < top + height) {
                EXPECT_GE(x, left) << what << " at " << x << "," << y;
                ++ink;
            }
        }
    EXPECT_GT(ink, 20) << what;
}

TEST_F(ResultsWindowTest, LegendEntriesStackDownwards) {
    const QImage& legend = form->pbx2->image();
    const int lineHeight = static_cast<int>(form->pbx2->TextHeight("Competition test"));

    // First entry: line sample (10, 25)-(50, 25), label from (60, 15).
    for (int x = 10; x <= 50; ++x)
        EXPECT_EQ(legend.pixelColor(x, 25), DarkBlue) << "x " << x;
    EXPECT_TRUE(isWhite(legend, 5, 25));
    EXPECT_TRUE(isWhite(legend, 55, 25));
    expectLabelAt(legend, 60, 15, lineHeight, "first label");

    // The label left the current point at the start of the next line, y = 15 + h;
    // the second entry's line lies 25 below that, its label 10 above its line.
    const int secondLine = 15 + lineHeight + 25;
    ASSERT_LT(secondLine, legend.height());
    for (int x = 10; x <= 50; ++x)
        EXPECT_EQ(legend.pixelColor(x, secondLine), LightBlue) << "x " << x;
    EXPECT_TRUE(isWhite(legend, 10, secondLine - 5));
    expectLabelAt(legend, 60, secondLine - 10, lineHeight, "second label");
}

// The legend holds the two entries and nothing else: outside the two line
// samples (x 10 to 50, 2 pixels high at y 25 and at the second line's y) and
// the two labels' lines (from x 60), the box is white; each label is the
// text printed in the box's font, its colour the button-text colour.
TEST_F(ResultsWindowTest, LegendHoldsOnlyTheTwoEntries) {
    const QImage& legend = form->pbx2->image();
    const int h = static_cast<int>(form->pbx2->TextHeight("Competition test"));
    const int secondLine = 15 + h + 25;
    const QRect samples[] = {QRect(9, 24, 42, 2), QRect(9, secondLine - 1, 42, 2)};
    const QRect labels[] = {QRect(60, 15, legend.width() - 60, h), QRect(60, secondLine - 10, legend.width() - 60, h)};
    int stray = 0;
    int solidText = 0;
    for (int y = 0; y < legend.height(); ++y)
        for (int x = 0; x < legend.width(); ++x) {
            const QPoint p(x, y);
            const QColor c = legend.pixelColor(p);
            if (samples[0].contains(p) || samples[1].contains(p))
                continue;
            if (labels[0].contains(p) || labels[1].contains(p)) {
                solidText += c == platform::buttonTextColour();
                continue;
            }
            stray += c != White;
        }
    EXPECT_EQ(stray, 0);
    EXPECT_GT(solidText, 20);
    // The labels' widths as the box measures them: the ink of "Facilitation
    // test" reaches further right than that of "Competition test".
    auto inkRight = [&](const QRect& r) {
        int right = -1;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (legend.pixelColor(x, y) != White)
                    right = std::max(right, x);
        return right;
    };
    const int first = inkRight(labels[0]);
    const int second = inkRight(labels[1]);
    EXPECT_NEAR(first, 60 + form->pbx2->TextWidth("Competition test"), 2);
    EXPECT_NEAR(second, 60 + form->pbx2->TextWidth("Facilitation test"), 2);
}

// A third entry goes below the second, where the 89-pixel box cuts it off:
// its line sample lies 25 below the second label's next line, past the box.
TEST_F(ResultsWindowTest, AThirdCurveAddsItsEntryBelowTheSecond) {
    const QColor red(255, 0, 0);
    const QImage before = form->pbx2->image();
    const int h = static_cast<int>(form->pbx2->TextHeight("Competition test"));
    form->PlotFunction(Curve{{0.5, 0.3}, {2.5, 0.3}}, 255, "Third");
    const QImage& legend = form->pbx2->image();
    EXPECT_EQ(legend.height(), 89);
    const int thirdLine = (15 + h + 25) - 10 + h + 25;
    const int thirdLabelTop = thirdLine - 10;
    // Above the third label nothing changed.
    EXPECT_EQ(legend.copy(0, 0, legend.width(), thirdLabelTop), before.copy(0, 0, before.width(), thirdLabelTop));
    if (thirdLine < legend.height()) {
        EXPECT_EQ(legend.pixelColor(30, thirdLine), red);
    }
    // On the chart: rate 0.3 -> y 368 - 100.2 = 267.8 -> 268.
    EXPECT_EQ(form->pbx1->image().pixelColor(300, 268), red);
}

TEST_F(ResultsWindowTest, ACurveOfOneRowDrawsNoSegmentButAddsItsEntry) {
    frmResults fresh(mainWindow.get());
    const QImage chartBefore = fresh.pbx1->image();
    fresh.PlotFunction(Curve{{1.5, 0.5}}, 9043968, "Competition test");
    EXPECT_EQ(fresh.pbx1->image(), chartBefore);
    EXPECT_EQ(fresh.pbx2->image().pixelColor(30, 25), DarkBlue);
}

// --- The chart frame picture -------------------------------------------------

TEST(ChartFramePictureTest, HasThePlotBoxAndGuidesInThreeColoursOnly) {
    const QImage frame = frmResults::ChartFramePicture();
    ASSERT_EQ(frame.size(), QSize(640, 521));
    const QColor black(0, 0, 0);
    const QColor red(255, 0, 0);
    int reds = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const QColor c = frame.pixelColor(x, y);
            ASSERT_TRUE(c == black || c == White || c == red) << x << "," << y;
            if (c == red) {
                // Red only on the guides: column 276 (strength 1) and row 351 (rate 0.05).
                EXPECT_TRUE((x == 276 && y > 34 && y < 368) || (y == 351 && x > 117 && x < 595)) << x << "," << y;
                ++reds;
            }
        }
    EXPECT_GT(reds, 200);
    for (int y = 34; y <= 368; ++y) {
        EXPECT_EQ(frame.pixelColor(117, y), black) << "left side, y " << y;
        EXPECT_EQ(frame.pixelColor(595, y), black) << "right side, y " << y;
    }
    for (int x = 117; x <= 595; ++x) {
        EXPECT_EQ(frame.pixelColor(x, 34), black) << "top side, x " << x;
        EXPECT_EQ(frame.pixelColor(x, 368), black) << "bottom side, x " << x;
    }
    // The inside of the box is white apart from the guides.
    EXPECT_EQ(frame.pixelColor(400, 200), White);
}

// The labels sit at their heights and places: a region holds black ink or
// none. Rate labels left of the box at y = 368 - 334 * rate (0 -> 368, 0.05 ->
// 351, 0.25 -> 284, 0.5 -> 201, 0.75 -> 118, 1 -> 34), none at the heights
// between (0.125 -> 326, 0.375 -> 243, 0.625 -> 159, 0.875 -> 76); strength
// labels under the box at x = 478/3 * strength + 117, none half-way between;
// the titles, the three arrows and their captions below.
struct InkCase {
    const char* name;
    QRect region;
    bool ink;
};

void PrintTo(const InkCase& c, std::ostream* os) { *os << c.name; }

class ChartFrameLabelTest : public ::testing::TestWithParam<InkCase> {};

TEST_P(ChartFrameLabelTest, InkWhereTheLabelsAre) {
    const InkCase& c = GetParam();
    const QImage frame = frmResults::ChartFramePicture();
    int black = 0;
    for (int y = c.region.top(); y <= c.region.bottom(); ++y)
        for (int x = c.region.left(); x <= c.region.right(); ++x)
            black += frame.pixelColor(x, y) == QColor(0, 0, 0);
    if (c.ink)
        EXPECT_GT(black, 5);
    else
        EXPECT_EQ(black, 0);
}

const InkCase InkCases[] = {
    {"Rate000", QRect(80, 364, 30, 9), true},   {"Rate005", QRect(80, 347, 30, 9), true},
    {"Rate025", QRect(80, 280, 30, 9), true},   {"Rate050", QRect(80, 197, 30, 9), true},
    {"Rate075", QRect(80, 114, 30, 9), true},   {"Rate100", QRect(80, 30, 30, 9), true},
    {"NoRate0125", QRect(80, 322, 36, 9), false}, {"NoRate0375", QRect(80, 239, 36, 9), false},
    {"NoRate0625", QRect(80, 155, 36, 9), false}, {"NoRate0875", QRect(80, 72, 36, 9), false},
    {"Strength00", QRect(110, 376, 15, 14), true}, {"Strength05", QRect(190, 376, 15, 14), true},
    {"Strength10", QRect(269, 376, 15, 14), true}, {"Strength15", QRect(349, 376, 15, 14), true},
    {"Strength20", QRect(429, 376, 15, 14), true}, {"Strength25", QRect(508, 376, 15, 14), true},
    {"Strength30", QRect(588, 376, 15, 14), true}, {"NoStrength025", QRect(155, 370, 5, 20), false},
    {"NoStrength125", QRect(314, 370, 5, 20), false}, {"NoStrength275", QRect(553, 370, 5, 20), false},
    {"XTitle", QRect(300, 394, 120, 20), true},  {"YTitle", QRect(18, 150, 26, 100), true},
    {"LeftArrow", QRect(150, 438, 60, 5), true}, {"UpArrow", QRect(274, 440, 5, 20), true},
    {"RightArrow", QRect(400, 438, 60, 5), true}, {"FacilitationCaption", QRect(117, 448, 80, 45), true},
    {"NoInteractionsCaption", QRect(230, 470, 90, 15), true}, {"CompetitionCaption", QRect(510, 448, 85, 15), true},
};

INSTANTIATE_TEST_SUITE_P(Regions, ChartFrameLabelTest, ::testing::ValuesIn(InkCases),
                         [](const ::testing::TestParamInfo<InkCase>& info) { return std::string(info.param.name); });

// --- Pages ---------------------------------------------------------------------

TEST_F(ResultsWindowTest, OpensOnTheNumericalResultsPage) {
    const std::vector<QWidget*> expected{form->pbx5, form->pbx7, form->pbx3, form->pbx4, form->pbx6, form->pbx8};
    EXPECT_EQ(stacking(), expected);
    EXPECT_TRUE(form->lbl1->font().bold());
    EXPECT_FALSE(form->lbl2->font().bold());
    EXPECT_EQ(form->windowTitle().toStdString(), "Marvisk Results");
    EXPECT_EQ(form->lbl1->text().toStdString(), "Numerical Results");
    EXPECT_EQ(form->lbl2->text().toStdString(), "Power Functions");
    EXPECT_TRUE(form->cmd5->isDefault());
}

// A click lands where the user would click it, in window coordinates: on a
// part of the header, caption or strip that no other box covers.
struct PageClick {
    const char* name;
    int x, y;
    int page;
};

void PrintTo(const PageClick& c, std::ostream* os) { *os << c.name; }

const PageClick PageClicks[] = {
    {"SecondHeader", 175, 32, 2}, {"SecondCaption", 240, 30, 2}, {"SecondStrip", 240, 19, 2},
    {"FirstHeader", 28, 32, 1},   {"FirstCaption", 100, 30, 1},  {"FirstStrip", 100, 19, 1},
};

class PageSelectionTest : public ResultsWindowTest, public ::testing::WithParamInterface<PageClick> {
protected:
    // The boxes from front to back after each page's selection, by the order
    // of the moves: page 1 moves pbx3 front, pbx4 back, pbx5 front, pbx6, pbx7
    // and pbx8 back; page 2 moves pbx3 back, pbx4 front, pbx5 back, pbx6 front,
    // pbx7 and pbx8 back.
    std::vector<QWidget*> afterSelecting(int page) const {
        if (page == 1)
            return {form->pbx5, form->pbx3, form->pbx4, form->pbx6, form->pbx7, form->pbx8};
        return {form->pbx6, form->pbx4, form->pbx3, form->pbx5, form->pbx7, form->pbx8};
    }
    QWidget* expectedTarget(const std::string& name) const {
        if (name == "SecondHeader")
            return form->pbx6;
        if (name == "SecondCaption")
            return form->lbl2;
        if (name == "SecondStrip")
            return form->pbx8;
        if (name == "FirstHeader")
            return form->pbx5;
        if (name == "FirstCaption")
            return form->lbl1;
        return form->pbx7;
    }
    void clickAt(const QPoint& point) {
        QWidget* target = form->childAt(point);
        ASSERT_NE(target, nullptr);
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(form.data(), point));
    }
};

TEST_P(PageSelectionTest, SelectsThePageOfTheHeader) {
    const PageClick& c = GetParam();
    form->show();
    // Start from the other page, so that the click has something to change.
    if (c.page == 1)
        QTest::mouseClick(form->lbl2, Qt::LeftButton);
    const QPoint point(c.x, c.y);
    EXPECT_EQ(form->childAt(point), expectedTarget(c.name));
    clickAt(point);
    EXPECT_EQ(stacking(), afterSelecting(c.page));
    EXPECT_EQ(form->lbl1->font().bold(), c.page == 1);
    EXPECT_EQ(form->lbl2->font().bold(), c.page == 2);
}

TEST_P(PageSelectionTest, ClickingThePageInFrontChangesNothingVisible) {
    const PageClick& c = GetParam();
    form->show();
    clickAt(QPoint(c.x, c.y));
    QApplication::processEvents();
    const std::vector<QWidget*> order = stacking();
    const QImage before = form->grab().toImage();
    clickAt(QPoint(c.x, c.y));
    QApplication::processEvents();
    EXPECT_EQ(stacking(), order);
    EXPECT_EQ(form->grab().toImage(), before);
}

INSTANTIATE_TEST_SUITE_P(Clicks, PageSelectionTest, ::testing::ValuesIn(PageClicks),
                         [](const ::testing::TestParamInfo<PageClick>& info) { return std::string(info.param.name); });

// Tab, forwards and backwards, visits each control of the page in front and
// none of the page behind, on either page and after switching back; a focus
// left on a page that goes behind moves to the page in front.
TEST_F(ResultsWindowTest, TabMovesOnlyAmongTheControlsOfThePageShown) {
    form->show();
    QApplication::setActiveWindow(form.data());
    const std::vector<QWidget*> page1{form->txt1, form->cmd3, form->cmd1, form->cmd2};
    const std::vector<QWidget*> page2{form->cmd6, form->cmd4, form->cmd5};
    struct Step {
        const char* what;
        QWidget* header; // clicked first to select the page
        const std::vector<QWidget*>* shown;
        QWidget* focusedBefore; // where the focus was before the page came in front
    };
    const Step steps[] = {
        {"page 1 at opening", nullptr, &page1, form->cmd1},
        {"page 2", form->lbl2, &page2, form->cmd2},
        {"page 1 again", form->lbl1, &page1, form->cmd5},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.focusedBefore->setFocus();
        if (step.header)
            QTest::mouseClick(step.header, Qt::LeftButton);
        QWidget* start = QApplication::focusWidget();
        ASSERT_NE(start, nullptr);
        EXPECT_NE(std::find(step.shown->begin(), step.shown->end(), start), step.shown->end())
            << "the focus lies on the page in front";
        for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
            std::vector<QWidget*> visited;
            for (size_t i = 0; i < 2 * step.shown->size(); ++i) {
                QTest::keyClick(QApplication::focusWidget(), key);
                visited.push_back(QApplication::focusWidget());
            }
            for (QWidget* w : visited)
                EXPECT_NE(std::find(step.shown->begin(), step.shown->end(), w), step.shown->end())
                    << (w ? w->metaObject()->className() : "no focus") << " "
                    << (qobject_cast<QPushButton*>(w) ? qobject_cast<QPushButton*>(w)->text().toStdString() : "");
            for (QWidget* control : *step.shown)
                EXPECT_NE(std::find(visited.begin(), visited.end(), control), visited.end())
                    << control->metaObject()->className();
        }
    }
}

// --- Closing -------------------------------------------------------------------

struct CloseWay {
    const char* name;
    void (*close)(frmResults&);
};

void PrintTo(const CloseWay& c, std::ostream* os) { *os << c.name; }

const CloseWay CloseWays[] = {
    {"FirstCloseButton", [](frmResults& f) { QTest::mouseClick(f.cmd2, Qt::LeftButton); }},
    {"SecondCloseButton", [](frmResults& f) { QTest::mouseClick(f.cmd5, Qt::LeftButton); }},
    {"CloseBox", [](frmResults& f) { f.close(); }},
    {"EnterInTheTextBox", [](frmResults& f) { QTest::keyClick(f.txt1, Qt::Key_Return); }},
};

class CloseTest : public ResultsWindowTest, public ::testing::WithParamInterface<CloseWay> {};

TEST_P(CloseTest, ShowsTheMainWindowAgainAndDiscardsTheWindow) {
    form->show();
    ASSERT_FALSE(mainWindow->isVisible());
    GetParam().close(*form);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(mainWindow->isVisible());
    EXPECT_TRUE(form.isNull());
}

INSTANTIATE_TEST_SUITE_P(Ways, CloseTest, ::testing::ValuesIn(CloseWays),
                         [](const ::testing::TestParamInfo<CloseWay>& info) { return std::string(info.param.name); });

// A help file in the current folder for the length of a test, which the help
// call looks for before it hands the topic to the viewer.
struct HelpFileHere {
    QTemporaryDir folder;
    QString previous = QDir::currentPath();
    bool ready = false;
    HelpFileHere() {
        QFile help(QDir(folder.path()).filePath("Marvisk Help.chm"));
        ready = folder.isValid() && QDir::setCurrent(folder.path()) && help.open(QIODevice::WriteOnly);
    }
    ~HelpFileHere() { QDir::setCurrent(previous); }
};

TEST_F(ResultsWindowTest, EnterOnAnotherFocusedButtonPressesThatButton) {
    std::vector<QString> topics;
    const HelpFileHere help;
    ASSERT_TRUE(help.ready);
    setHelpViewer([&](const QString&, const QString& topic) { topics.push_back(topic); });
    form->show();
    form->activateWindow();
    form->cmd3->setFocus();
    QTest::keyClick(form->cmd3, Qt::Key_Return);
    setHelpViewer({});
    EXPECT_EQ(topics.size(), 1u);
    EXPECT_FALSE(form.isNull());
    EXPECT_FALSE(mainWindow->isVisible());
}

// --- Help ----------------------------------------------------------------------

TEST_F(ResultsWindowTest, BothHelpButtonsOpenTheResultsTopic) {
    const HelpFileHere help;
    ASSERT_TRUE(help.ready);
    std::vector<std::pair<QString, QString>> opened;
    setHelpViewer([&](const QString& path, const QString& topic) { opened.emplace_back(path, topic); });
    QTest::mouseClick(form->cmd3, Qt::LeftButton);
    QTest::mouseClick(form->cmd6, Qt::LeftButton);
    setHelpViewer({});
    ASSERT_EQ(opened.size(), 2u);
    for (const auto& [path, topic] : opened) {
        EXPECT_TRUE(path.endsWith("/Marvisk Help.chm")) << path.toStdString();
        EXPECT_EQ(topic.toStdString(), "Results.htm");
    }
    EXPECT_EQ(form->cmd3->text().toStdString(), "Help");
    EXPECT_EQ(form->cmd6->text().toStdString(), "About Power Functions...");
}

// --- OutputResults -------------------------------------------------------------

TEST(OutputResultsTest, ShowsAFilledWindowAndLeavesTheMainWindowHidden) {
    QWidget mainWindow;
    Settings::MatrixFilePath = "/data/field work/plot data.txt";
    OutputResults(crossingCurves(), "20", "21", &mainWindow);
    Settings::MatrixFilePath.clear();
    frmResults* shown = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* f = qobject_cast<frmResults*>(w); f && f->isVisible())
            shown = f;
    ASSERT_NE(shown, nullptr);
    EXPECT_FALSE(mainWindow.isVisible());
    EXPECT_EQ(shown->parentWidget(), nullptr); // no owner
    const std::string text = shown->txt1->Text().toStdString();
    EXPECT_EQ(text.rfind("P-VALUE\r\n", 0), 0u);
    const std::string tail = "Number of rows (species): 20\r\nNumber of columns (sites): 21\r\nFile: \"plot data.txt\"";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_EQ(shown->pbx1->image().pixelColor(133, 351), DarkBlue);
    QPointer<frmResults> watch(shown);
    shown->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull());
    EXPECT_TRUE(mainWindow.isVisible());
}

// --- Screenshots ---------------------------------------------------------------

// Each page as shown: the page in front covers the other, and what the
// window shows of the chart and the legend is their images. The pictures are
// kept in screenshots/ for a look by eye.
TEST_F(ResultsWindowTest, BothPagesAsShown) {
    const QByteArray bin = qgetenv("MARVISK_BIN_DIR");
    const QString folder = bin.isEmpty() ? QDir::current().filePath("screenshots")
                                         : QDir(QString::fromLocal8Bit(bin)).filePath("../screenshots");
    ASSERT_TRUE(QDir().mkpath(folder));
    form->show();
    QApplication::processEvents();
    const QImage first = form->grab().toImage().convertToFormat(QImage::Format_RGB32);
    first.save(QDir(folder).filePath("frmResults-NumericalResults.png"));
    const QPoint chartAt = form->pbx1->mapTo(form.data(), QPoint(0, 0));
    const QPoint legendAt = form->pbx2->mapTo(form.data(), QPoint(0, 0));
    // Page 1 in front: where the chart lies, the text box shows, not the chart.
    EXPECT_NE(first.copy(QRect(chartAt, QSize(640, 521))), form->pbx1->image());
    EXPECT_EQ(first.pixelColor(4, 4), QColor(0, 0, 96));

    QTest::mouseClick(form->lbl2, Qt::LeftButton);
    QApplication::processEvents();
    const QImage second = form->grab().toImage().convertToFormat(QImage::Format_RGB32);
    second.save(QDir(folder).filePath("frmResults-PowerFunctions.png"));
    EXPECT_EQ(second.copy(QRect(chartAt, QSize(640, 521))), form->pbx1->image());
    EXPECT_EQ(second.copy(QRect(legendAt, form->pbx2->size())), form->pbx2->image());
    EXPECT_EQ(second.pixelColor(4, 4), QColor(0, 0, 96));
}

// The window's client area is 14535 by 9720 twips, centred on the screen;
// every control lies at its place in twips in its container.
TEST_F(ResultsWindowTest, SizeCentringAndPlacesInTwips) {
    form->show();
    QApplication::processEvents();
    EXPECT_EQ(form->size(), QSize(969, 648));
    ASSERT_NE(form->screen(), nullptr);
    apptest::expectCentredOn(form->frameGeometry().center(), form->screen()->availableGeometry());
    QWidget* w = form.data();
    apptest::expectPlacesInTwips({
        {form->pbx5, w, QRect(370, 360, 2150, 495)},
        {form->lbl1, form->pbx5, QRect(120, -40, 2040, 375)},
        {form->pbx7, w, QRect(480, 240, 1935, 135)},
        {form->pbx3, w, QRect(360, 600, 13815, 8655)},
        {form->txt1, form->pbx3, QRect(450, 360, 12885, 7335)},
        {form->cmd3, form->pbx3, QRect(480, 7920, 1215, 375)},
        {form->cmd1, form->pbx3, QRect(10800, 7920, 1215, 375)},
        {form->cmd2, form->pbx3, QRect(12120, 7920, 1215, 375)},
        {form->Picture1, form->pbx3, QRect(0, 0, 1575, 15)},
        {form->pbx4, w, QRect(360, 600, 13815, 8655)},
        {form->pbx1->parentWidget(), form->pbx4, QRect(480, 360, 9675, 7875)},
        {form->pbx2, form->pbx4, QRect(10440, 360, 2895, 1335)},
        {form->cmd6, form->pbx4, QRect(10680, 7200, 2655, 375)},
        {form->cmd4, form->pbx4, QRect(10680, 7875, 1215, 375)},
        {form->cmd5, form->pbx4, QRect(12120, 7875, 1215, 375)},
        {form->pbx6, w, QRect(2530, 360, 2150, 495)},
        {form->lbl2, form->pbx6, QRect(240, -40, 1800, 375)},
        {form->pbx8, w, QRect(2640, 240, 1935, 135)},
    });
}

} // namespace

MARVISK_WIDGET_TEST_MAIN()
