#pragma once
// A drawing surface with a persistent image: every drawing operation goes into
// an off-screen image from which the widget repaints, so covering the window
// or switching pages loses nothing and the owner needs no paint handler.
//
// The image has the resolution of the box's screen (its device pixel ratio):
// at a scale factor of 2 each of the box's pixels is 2 x 2 pixels of the
// image, so text, lines and pictures are drawn as sharp as the screen shows
// them, while every coordinate, size and pen width stays in the box's own
// pixels. At ratio 1 the image's pixels are the box's pixels.
//
// Coordinates are in the box's units: pixels unless a scale is set
// (setScaleWidth / setScaleHeight give the inner width / height in units).
// Lines and boxes are pixel-exact, without anti-aliasing; text is hinted to
// whole pixels with grey-smoothed edges. A point (x, y) names the
// pixel in column x, row y (fractions round to the nearest pixel). A pen of
// width w is centred on the line; an even width puts its extra pixel before
// the line (width 2 at column x covers columns x - 1 and x). Lines include
// both end points; boxes and filled boxes given by two corners include both
// corner pixels. After each line or box the current point is its second point.

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

namespace platform {

class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    // Colours: BackColor fills the surface where no background picture lies
    // (setting it clears the surface); ForeColor is the text colour and the
    // colour of lines and boxes drawn without one.
    QColor BackColor() const { return backColor_; }
    void setBackColor(const QColor& color);
    QColor ForeColor() const { return foreColor_; }
    void setForeColor(const QColor& color) { foreColor_ = color; }

    // The background picture that Cls restores, drawn at the top left over
    // BackColor. Setting one (or clearing it) also clears the surface to it.
    const QImage& Picture() const { return picture_; }
    void setPicture(const QImage& picture);
    // The same, with the same picture drawn at a higher resolution (its
    // devicePixelRatio set), which images at a ratio above 1 show instead.
    void setPicture(const QImage& picture, const QImage& sharperPicture);
    void clearPicture();

    // Inner size in units; 0 (the default) means pixels.
    double ScaleWidth() const;
    double ScaleHeight() const;
    void setScaleWidth(double units);
    void setScaleHeight(double units);

    // Pen width in pixels (1 at start).
    int DrawWidth() const { return drawWidth_; }
    void setDrawWidth(int pixels);

    // The current point, in units, where the next Print begins.
    double CurrentX() const { return currentX_; }
    double CurrentY() const { return currentY_; }
    void setCurrentX(double x) { currentX_ = x; }
    void setCurrentY(double y) { currentY_ = y; }

    // Clears the surface to the background picture (or BackColor) and puts
    // the current point at the top left.
    void Cls();

    // A line from (x1, y1) to (x2, y2), in ForeColor or the colour given.
    void Line(double x1, double y1, double x2, double y2);
    void Line(double x1, double y1, double x2, double y2, const QColor& color);
    // A line from the current point to (x2, y2).
    void LineTo(double x2, double y2, const QColor& color);
    // A rectangle outline (pen width DrawWidth) with the corners (x1, y1) and
    // (x2, y2). A side that the surface's edge would cut through its pen is
    // moved in just far enough to show whole: the outline is as wide at the
    // edge as anywhere else.
    void Box(double x1, double y1, double x2, double y2, const QColor& color);
    // A filled rectangle with the corners (x1, y1) and (x2, y2); a pen wider
    // than 1 widens it as it widens a box's outline.
    void FilledBox(double x1, double y1, double x2, double y2, const QColor& color);

    // Prints text in the box's font and ForeColor with its top-left corner at
    // the current point, without painting a background; the current point
    // then moves to the start of the next line (x = 0, y + TextHeight).
    void Print(const QString& text);
    // The font Print draws with: the box's font with its glyphs on whole
    // pixels. A text box drawing the same text in this font at the same
    // point shows the very same pixels.
    QFont textFont() const;
    // Size of a one-line text in units.
    double TextWidth(const QString& text) const;
    double TextHeight(const QString& text) const;

    // The persistent image, the size of the box at the screen's resolution
    // (its devicePixelRatio); tests read pixels from it.
    const QImage& image() const;

    // A box whose drawing is saved keeps a second image at ratio 1, drawn by
    // the same operations (set it before drawing; at ratio 1 the two are
    // one): a saved picture is the same at any scale. imageAtRatio1 is that
    // image when kept, else the persistent image.
    void setKeepImageAtRatio1(bool keep);
    const QImage& imageAtRatio1() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void ensureImage() const;
    static void resizeImage(QImage& image, QSize size, double ratio, const PictureBox& box);
    // The images every drawing operation goes to: the persistent one, and
    // the one at ratio 1 where that is kept apart.
    template <class Draw> void drawOnImages(Draw draw);
    double imageRatio() const;
    QSize boxSize() const;
    void paintBackground(QImage& target) const;
    double toPixelX(double x) const;
    double toPixelY(double y) const;
    void fillPixels(int left, int top, int right, int bottom, const QColor& color);
    // The rectangle between two pixels, both included, widened by the pen.
    void fillBetween(int ax, int ay, int bx, int by, const QColor& color);
    void drawSegment(double x1, double y1, double x2, double y2, const QColor& color);
    int keepPenInside(int p, int limit) const;

    mutable QImage image_;
    mutable QImage imageAtRatio1_; // null unless kept and the ratio is not 1
    bool keepImageAtRatio1_ = false;
    QImage picture_;
    QImage sharperPicture_;
    QColor backColor_;
    QColor foreColor_;
    double scaleWidth_ = 0;
    double scaleHeight_ = 0;
    int drawWidth_ = 1;
    double currentX_ = 0;
    double currentY_ = 0;
};

} // namespace platform
