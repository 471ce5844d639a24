// The picture box: pixels of lines, boxes and filled boxes with their pen
// widths, text at the current point, clearing to the background picture, and
// repainting from the persistent image. Expected pixels follow the drawing
// conventions by hand: a point names a pixel, lines and boxes include both
// ends and both corners, a pen of width w covers from p - w/2 (inclusive) to
// p + w/2 (exclusive) across the line. Last, the font that picture boxes
// print in.

#include "platform/PictureBox.h"

#include "platform/Look.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPixmap>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

// One application for all tests, made before the first and ended after the
// last test while Qt's own objects still exist.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override { application_ = new QApplication(argc_, argv_); }
    void TearDown() override {
        delete application_;
        application_ = nullptr;
    }

private:
    int argc_ = 1;
    char name_[16] = "PictureBoxTest";
    char* argv_[2] = {name_, nullptr};
    QApplication* application_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const qtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

const QRgb White = qRgb(255, 255, 255);
const QRgb Black = qRgb(0, 0, 0);
const QRgb Red = qRgb(255, 0, 0);

using Pixels = std::set<std::pair<int, int>>;

// Every pixel of the image that differs from the background.
Pixels drawn(const QImage& image, QRgb background = White) {
    Pixels out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background)
                out.emplace(x, y);
    return out;
}

Pixels rect(int left, int top, int right, int bottom) {
    Pixels out;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            out.emplace(x, y);
    return out;
}

Pixels unite(std::initializer_list<Pixels> parts) {
    Pixels out;
    for (const auto& p : parts)
        out.insert(p.begin(), p.end());
    return out;
}

class PictureBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        box.resize(40, 30);
        box.setBackColor(QColor(White));
        box.setForeColor(QColor(Black));
    }
    platform::PictureBox box;
};

struct ShapeCase {
    const char* name;
    int width;
    enum Kind { Line, Box, Filled } kind;
    double x1, y1, x2, y2;
    Pixels expected;
};

void PrintTo(const ShapeCase& c, std::ostream* os) { *os << c.name; }

class Shapes : public PictureBoxTest, public ::testing::WithParamInterface<ShapeCase> {};

TEST_P(Shapes, CoverExactlyTheirPixels) {
    const ShapeCase& c = GetParam();
    box.setDrawWidth(c.width);
    const QColor red(Red);
    switch (c.kind) {
    case ShapeCase::Line: box.Line(c.x1, c.y1, c.x2, c.y2, red); break;
    case ShapeCase::Box: box.Box(c.x1, c.y1, c.x2, c.y2, red); break;
    case ShapeCase::Filled: box.FilledBox(c.x1, c.y1, c.x2, c.y2, red); break;
    }
    EXPECT_EQ(drawn(box.image()), c.expected);
    for (const auto& [x, y] : c.expected)
        ASSERT_EQ(box.image().pixel(x, y), Red) << x << "," << y;
    // The current point ends at the second point.
    EXPECT_EQ(box.CurrentX(), c.x2);
    EXPECT_EQ(box.CurrentY(), c.y2);
}

INSTANTIATE_TEST_SUITE_P(
    PictureBox, Shapes,
    ::testing::Values(
        ShapeCase{"HorizontalLineIncludesBothEnds", 1, ShapeCase::Line, 2, 3, 6, 3, rect(2, 3, 6, 3)},
        ShapeCase{"VerticalLineDrawnUpwards", 1, ShapeCase::Line, 4, 9, 4, 5, rect(4, 5, 4, 9)},
        ShapeCase{"DiagonalLine", 1, ShapeCase::Line, 1, 1, 4, 4,
                  Pixels{{1, 1}, {2, 2}, {3, 3}, {4, 4}}},
        // Steps along x, y rounded halves down: 0, 0.5->0, 1, 1.5->1, 2.
        ShapeCase{"ShallowLine", 1, ShapeCase::Line, 0, 0, 4, 2,
                  Pixels{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}},
        ShapeCase{"SinglePointLine", 1, ShapeCase::Line, 5, 5, 5, 5, rect(5, 5, 5, 5)},
        // Width 2 covers the pixel before the line too, at both ends as well.
        ShapeCase{"WideLineCoversThePixelBefore", 2, ShapeCase::Line, 3, 4, 7, 4, rect(2, 3, 7, 4)},
        ShapeCase{"OddWideLineIsCentred", 3, ShapeCase::Line, 5, 2, 5, 6, rect(4, 1, 6, 7)},
        // A band of width 21 centred on 10.5 covers rows 0 to 20 exactly.
        ShapeCase{"BandOnAHalfCoversItsRows", 21, ShapeCase::Line, 0, 10.5, 40, 10.5, rect(0, 0, 39, 20)},
        ShapeCase{"BandOnAWholeCoversItsRows", 20, ShapeCase::Line, 0, 10, 40, 10, rect(0, 0, 39, 19)},
        ShapeCase{"DiagonalWideLineStampsSquares", 2, ShapeCase::Line, 2, 2, 4, 4,
                  unite({rect(1, 1, 2, 2), rect(2, 2, 3, 3), rect(3, 3, 4, 4)})},
        ShapeCase{"BoxIncludesBothCorners", 1, ShapeCase::Box, 2, 3, 6, 7,
                  unite({rect(2, 3, 6, 3), rect(2, 7, 6, 7), rect(2, 3, 2, 7), rect(6, 3, 6, 7)})},
        ShapeCase{"BoxFromTheOtherCorners", 1, ShapeCase::Box, 6, 7, 2, 3,
                  unite({rect(2, 3, 6, 3), rect(2, 7, 6, 7), rect(2, 3, 2, 7), rect(6, 3, 6, 7)})},
        ShapeCase{"WideBoxOutline", 2, ShapeCase::Box, 3, 3, 8, 9,
                  unite({rect(2, 2, 8, 3), rect(2, 8, 8, 9), rect(2, 2, 3, 9), rect(7, 2, 8, 9)})},
        // Sides whose pen the surface would cut move in to show whole: the
        // 40 x 30 box's sides at 0, 40, 0 and 30 cover columns 0-1 and 38-39,
        // rows 0-1 and 28-29.
        ShapeCase{"WideBoxAgainstTheEdgesStaysWhole", 2, ShapeCase::Box, 0, 0, 40, 30,
                  unite({rect(0, 0, 39, 1), rect(0, 28, 39, 29), rect(0, 0, 1, 29), rect(38, 0, 39, 29)})},
        ShapeCase{"WideBoxWhollyOutsideStaysOutside", 2, ShapeCase::Box, 10, 5, 45, 20,
                  unite({rect(9, 4, 39, 5), rect(9, 19, 39, 20), rect(9, 4, 10, 20)})},
        ShapeCase{"FilledBoxIncludesBothCorners", 1, ShapeCase::Filled, 2, 3, 6, 7, rect(2, 3, 6, 7)},
        // The last four pixel columns of a 70-wide cell at 0: 66 to 69.
        ShapeCase{"StripOfFourColumns", 1, ShapeCase::Filled, 36, 2, 39, 8, rect(36, 2, 39, 8)},
        ShapeCase{"FilledBoxIsCutAtTheEdges", 1, ShapeCase::Filled, -5, -5, 50, 2, rect(0, 0, 39, 2)},
        ShapeCase{"FractionsRoundToTheNearestPixel", 1, ShapeCase::Filled, 3.11, 2.67, 5.5, 4.49,
                  rect(3, 3, 5, 4)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PictureBoxTest, LineWithoutColourUsesForeColor) {
    box.setForeColor(QColor(Red));
    box.Line(1, 1, 3, 1);
    EXPECT_EQ(drawn(box.image()), rect(1, 1, 3, 1));
    EXPECT_EQ(box.image().pixel(2, 1), Red);
}

// The legend's arithmetic: x 10, y + 25, a line 40 to the right, y - 10,
// x + 10, then the label; printing moves to the start of the next line.
TEST_F(PictureBoxTest, LegendCurrentPointArithmetic) {
    box.resize(200, 100);
    box.setCurrentX(10);
    box.setCurrentY(box.CurrentY() + 25);
    box.setDrawWidth(2);
    box.LineTo(box.CurrentX() + 40, box.CurrentY(), QColor(Red));
    EXPECT_EQ(box.CurrentX(), 50);
    EXPECT_EQ(box.CurrentY(), 25);
    EXPECT_EQ(drawn(box.image()), rect(9, 24, 50, 25));
    box.setCurrentY(box.CurrentY() - 10);
    box.setCurrentX(box.CurrentX() + 10);
    const double height = box.TextHeight(QStringLiteral("Competition test"));
    box.Print(QStringLiteral("Competition test"));
    EXPECT_EQ(box.CurrentX(), 0);
    EXPECT_EQ(box.CurrentY(), 15 + height);
}

TEST_F(PictureBoxTest, PrintDrawsTheTextBelowAndRightOfTheCurrentPointWithoutBackground) {
    box.resize(120, 60);
    box.FilledBox(0, 0, 119, 59, QColor(Red));
    box.setCurrentX(20);
    box.setCurrentY(10);
    const QString text = QStringLiteral("HH");
    const int width = int(box.TextWidth(text));
    const int height = int(box.TextHeight(text));
    ASSERT_GT(width, 0);
    ASSERT_GT(height, 0);
    box.Print(text);
    const Pixels ink = drawn(box.image(), Red);
    ASSERT_FALSE(ink.empty());
    int solid = 0;
    for (const auto& [x, y] : ink) {
        EXPECT_GE(x, 20);
        EXPECT_LT(x, 20 + width);
        EXPECT_GE(y, 10);
        EXPECT_LT(y, 10 + height);
        // The text colour, or at the letters' edges a blend of it into what
        // lay beneath: black over red leaves only red shades.
        const QRgb p = box.image().pixel(x, y);
        EXPECT_TRUE(qGreen(p) == 0 && qBlue(p) == 0 && qRed(p) < 255) << x << "," << y;
        solid += p == Black;
    }
    // The stems are solid.
    EXPECT_GE(solid, 8);
    // The background around the letters is not painted.
    EXPECT_LT(ink.size(), std::size_t(width) * std::size_t(height));
    EXPECT_EQ(box.CurrentX(), 0);
    EXPECT_EQ(box.CurrentY(), 10 + height);
}

// Text reads evenly: every letter advances by whole pixels and looks the
// same wherever it stands, so a run of one letter is that letter's image
// repeated at a fixed step. Glyphs at fractions of a pixel fail both: the
// run's width is not a multiple of one letter's, and copies differ.
TEST_F(PictureBoxTest, LettersStandOnWholePixelsAndRepeatExactly) {
    box.resize(200, 30);
    for (const char* letter : {"n", "o", "i", "m", "S"}) {
        const QString one = QString::fromLatin1(letter);
        const QString run = one.repeated(12);
        const int advance = int(box.TextWidth(one));
        ASSERT_GT(advance, 0) << letter;
        EXPECT_EQ(box.TextWidth(run), 12 * box.TextWidth(one)) << letter;
        box.Cls();
        box.Print(one);
        const QImage single = box.image().copy(0, 0, advance, 30);
        box.Cls();
        box.Print(run);
        const QImage repeated = box.image();
        for (int k = 0; k < 12; ++k)
            EXPECT_EQ(repeated.copy(k * advance, 0, advance, 30), single) << letter << " copy " << k;
    }
}

TEST_F(PictureBoxTest, TextSizeGrowsWithTheText) {
    EXPECT_GT(box.TextWidth(QStringLiteral("WWWW")), box.TextWidth(QStringLiteral("W")));
    EXPECT_EQ(box.TextWidth(QString()), 0);
    EXPECT_EQ(box.TextHeight(QStringLiteral("a")), box.TextHeight(QStringLiteral("WWWW")));
}

// An inner width of 30 units over 300 pixels: 10 pixels a unit. A bar to
// unit 15 ends at pixel 150; the full inner height reaches the bottom row.
TEST_F(PictureBoxTest, ScaleMapsUnitsToPixels) {
    box.resize(300, 20);
    box.setScaleWidth(30);
    EXPECT_EQ(box.ScaleWidth(), 30);
    EXPECT_EQ(box.ScaleHeight(), 20);
    box.FilledBox(0, 0, 15, box.ScaleHeight(), QColor(Red));
    EXPECT_EQ(drawn(box.image()), rect(0, 0, 150, 19));
    EXPECT_DOUBLE_EQ(box.TextWidth(QStringLiteral("W")) * 10,
                     platform::PictureBox().TextWidth(QStringLiteral("W")));
}

TEST_F(PictureBoxTest, ClsRestoresTheBackgroundPicture) {
    QImage picture(10, 10, QImage::Format_RGB32);
    picture.fill(Black);
    picture.setPixel(3, 4, Red);
    box.setPicture(picture);
    const QImage withPicture = box.image().copy();
    EXPECT_EQ(withPicture.pixel(3, 4), Red);
    EXPECT_EQ(drawn(withPicture), rect(0, 0, 9, 9));

    box.FilledBox(0, 0, 39, 29, QColor(Red));
    box.setCurrentX(7);
    box.setCurrentY(8);
    box.Cls();
    EXPECT_EQ(box.image(), withPicture);
    EXPECT_EQ(box.CurrentX(), 0);
    EXPECT_EQ(box.CurrentY(), 0);

    box.clearPicture();
    EXPECT_TRUE(drawn(box.image()).empty());
}

TEST_F(PictureBoxTest, TheCurrentImageCanBecomeTheBackgroundPicture) {
    box.Line(0, 5, 39, 5, QColor(Red));
    box.setPicture(box.image());
    box.FilledBox(0, 0, 39, 29, QColor(Black));
    box.Cls();
    EXPECT_EQ(drawn(box.image()), rect(0, 5, 39, 5));
}

TEST_F(PictureBoxTest, ClsWithoutPictureFillsTheBackColor) {
    box.Line(0, 0, 10, 10, QColor(Red));
    box.setBackColor(QColor(Red));
    EXPECT_EQ(drawn(box.image(), Red), Pixels{});
    box.Line(0, 0, 10, 10, QColor(Black));
    box.Cls();
    EXPECT_EQ(drawn(box.image(), Red), Pixels{});
}

// The image follows the size at once, even while hidden, and keeps what was
// drawn when the box grows.
TEST_F(PictureBoxTest, ImageFollowsTheSizeAndKeepsItsDrawing) {
    box.Line(1, 1, 5, 1, QColor(Red));
    box.resize(60, 50);
    EXPECT_EQ(box.image().size(), QSize(60, 50));
    EXPECT_EQ(drawn(box.image()), rect(1, 1, 5, 1));
}

// What the screen shows is painted from the persistent image: the box's own
// rendering equals the image, also after it has been hidden and shown again.
TEST_F(PictureBoxTest, RepaintsFromThePersistentImage) {
    box.resize(50, 40);
    box.FilledBox(5, 5, 20, 15, QColor(Red));
    box.Line(0, 30, 49, 30, QColor(Black));
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    const QImage expected = box.image().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(box.grab().toImage().convertToFormat(QImage::Format_RGB32), expected);
    box.hide();
    QApplication::processEvents();
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_EQ(box.grab().toImage().convertToFormat(QImage::Format_RGB32), expected);
}

TEST_F(PictureBoxTest, DrawWidthIsAtLeastOne) {
    EXPECT_EQ(box.DrawWidth(), 1);
    box.setDrawWidth(0);
    EXPECT_EQ(box.DrawWidth(), 1);
    box.setDrawWidth(2);
    EXPECT_EQ(box.DrawWidth(), 2);
}

// The picture-box font: a face narrow by design, drawn at its own width, and
// plain whatever the font of the window around the box.
// The faces drawn narrow by their designers; fonts-dejavu-extra, which the
// build's package list installs, carries the first.
bool narrowByDesign(const QString& family) {
    return family == QStringLiteral("DejaVu Sans Condensed") || family == QStringLiteral("Liberation Sans Narrow");
}

// The same face as the font found, asked for by its own name and style and
// nothing else: its own width.
QFont ownWidthOf(const QFont& font) {
    const QFontInfo found(font);
    QFont plain(found.family());
    plain.setStyleName(found.styleName());
    plain.setPointSizeF(font.pointSizeF());
    plain.setHintingPreference(font.hintingPreference());
    return plain;
}

TEST(PictureBoxFont, IsANarrowFaceAtItsOwnWidthInAPlainBoxAndInABoldWindow) {
    QWidget boldWindow;
    boldWindow.setFont(look::dialogFont(12, true));
    platform::PictureBox inBold(&boldWindow);
    platform::PictureBox alone;
    for (const double points : {8.0, 9.75, 12.0}) {
        for (platform::PictureBox* box : {&inBold, &alone}) {
            box->setFont(look::pictureBoxFont(points));
            const QFont f = box->textFont();
            const QFontInfo found(f);
            SCOPED_TRACE(found.family().toStdString() + " " + found.styleName().toStdString() + " " +
                         std::to_string(points));
            EXPECT_TRUE(narrowByDesign(found.family()));
            EXPECT_FALSE(found.bold());
            EXPECT_FALSE(found.italic());
            EXPECT_DOUBLE_EQ(f.pointSizeF(), points);
            // No condensing by the renderer: the text is as wide as the face makes it.
            for (const char* text : {"Species", "Site1", "Sp11", "Calculating Power Function..."})
                EXPECT_EQ(QFontMetrics(f).horizontalAdvance(QString::fromLatin1(text)),
                          QFontMetrics(ownWidthOf(f)).horizontalAdvance(QString::fromLatin1(text)))
                    << text;
        }
    }
}

} // namespace
