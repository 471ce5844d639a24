#include "platform/PictureBox.h"

#include "platform/Geometry.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace platform {

namespace {

// Drawing happens at 96 dots per inch whatever the screen, so a point size
// gives the same pixels everywhere (15 twips to the pixel).
constexpr int DotsPerMeter = 3780;

// The pixels a pen of the given width covers across the pixel p: from
// p - width/2 (inclusive) to p + width/2 (exclusive).
int penFirst(int p, int width) { return static_cast<int>(std::ceil(p - width / 2.0)); }
int penEnd(int p, int width) { return static_cast<int>(std::ceil(p + width / 2.0)); }

} // namespace

using platform::nearestPixel;

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent), backColor_(palette().color(QPalette::Base)),
      foreColor_(palette().color(QPalette::Text)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    ensureImage();
}

void PictureBox::paintBackground(QImage& target) const {
    target.fill(backColor_);
    if (!picture_.isNull()) {
        QPainter painter(&target);
        painter.drawImage(0, 0, picture_);
    }
}

// The image follows the widget's size; what was drawn stays at the top left
// and new area shows the background. Checked before every use, because a
// hidden widget learns its new size only when it is shown.
void PictureBox::ensureImage() const {
    const QSize wanted = size().expandedTo(QSize(1, 1));
    if (image_.size() == wanted)
        return;
    QImage resized(wanted, QImage::Format_RGB32);
    resized.setDotsPerMeterX(DotsPerMeter);
    resized.setDotsPerMeterY(DotsPerMeter);
    paintBackground(resized);
    if (!image_.isNull()) {
        QPainter painter(&resized);
        painter.drawImage(0, 0, image_);
    }
    image_ = resized;
}

const QImage& PictureBox::image() const {
    ensureImage();
    return image_;
}

void PictureBox::paintEvent(QPaintEvent* event) {
    ensureImage();
    QPainter painter(this);
    painter.drawImage(event->rect(), image_, event->rect());
}

void PictureBox::setBackColor(const QColor& color) {
    backColor_ = color;
    Cls();
}

void PictureBox::setPicture(const QImage& picture) {
    picture_ = picture;
    ensureImage();
    paintBackground(image_);
    update();
}

void PictureBox::clearPicture() { setPicture(QImage()); }

double PictureBox::ScaleWidth() const { return scaleWidth_ > 0 ? scaleWidth_ : width(); }

double PictureBox::ScaleHeight() const { return scaleHeight_ > 0 ? scaleHeight_ : height(); }

void PictureBox::setScaleWidth(double units) { scaleWidth_ = units > 0 ? units : 0; }

void PictureBox::setScaleHeight(double units) { scaleHeight_ = units > 0 ? units : 0; }

void PictureBox::setDrawWidth(int pixels) { drawWidth_ = std::max(1, pixels); }

double PictureBox::toPixelX(double x) const { return scaleWidth_ > 0 ? x * width() / scaleWidth_ : x; }

double PictureBox::toPixelY(double y) const { return scaleHeight_ > 0 ? y * height() / scaleHeight_ : y; }

void PictureBox::Cls() {
    ensureImage();
    paintBackground(image_);
    currentX_ = 0;
    currentY_ = 0;
    update();
}

void PictureBox::fillPixels(int left, int top, int right, int bottom, const QColor& color) {
    if (right <= left || bottom <= top)
        return;
    QPainter painter(&image_);
    painter.fillRect(QRect(left, top, right - left, bottom - top), color);
}

// A line between two pixels with the current pen: straight runs become one
// rectangle; any other line is stepped pixel by pixel along its longer axis
// and each pixel is widened to the pen's square.
void PictureBox::fillBetween(int ax, int ay, int bx, int by, const QColor& color) {
    const int w = drawWidth_;
    fillPixels(penFirst(std::min(ax, bx), w), penFirst(std::min(ay, by), w), penEnd(std::max(ax, bx), w),
               penEnd(std::max(ay, by), w), color);
}

void PictureBox::drawSegment(double x1, double y1, double x2, double y2, const QColor& color) {
    ensureImage();
    const int ax = nearestPixel(toPixelX(x1));
    const int ay = nearestPixel(toPixelY(y1));
    const int bx = nearestPixel(toPixelX(x2));
    const int by = nearestPixel(toPixelY(y2));
    const int w = drawWidth_;
    if (ax == bx || ay == by) {
        fillBetween(ax, ay, bx, by, color);
    } else {
        const int steps = std::max(std::abs(bx - ax), std::abs(by - ay));
        QPainter painter(&image_);
        for (int k = 0; k <= steps; ++k) {
            const int x = nearestPixel(ax + double(bx - ax) * k / steps);
            const int y = nearestPixel(ay + double(by - ay) * k / steps);
            const int left = penFirst(x, w);
            const int top = penFirst(y, w);
            painter.fillRect(QRect(left, top, penEnd(x, w) - left, penEnd(y, w) - top), color);
        }
    }
    update();
}

void PictureBox::Line(double x1, double y1, double x2, double y2) { Line(x1, y1, x2, y2, foreColor_); }

void PictureBox::Line(double x1, double y1, double x2, double y2, const QColor& color) {
    drawSegment(x1, y1, x2, y2, color);
    currentX_ = x2;
    currentY_ = y2;
}

void PictureBox::LineTo(double x2, double y2, const QColor& color) { Line(currentX_, currentY_, x2, y2, color); }

// A side whose pen the surface's edge would cut in two moves in until the
// whole pen lies inside, so an outline shows the same width all round even
// against the edge; a side wholly outside stays outside.
int PictureBox::keepPenInside(int p, int limit) const {
    const int w = drawWidth_;
    if (penFirst(p, w) < 0 && penEnd(p, w) > 0)
        return p - penFirst(p, w);
    if (penFirst(p, w) < limit && penEnd(p, w) > limit)
        return p - (penEnd(p, w) - limit);
    return p;
}

void PictureBox::Box(double x1, double y1, double x2, double y2, const QColor& color) {
    ensureImage();
    const int left = keepPenInside(nearestPixel(toPixelX(x1)), image_.width());
    const int top = keepPenInside(nearestPixel(toPixelY(y1)), image_.height());
    const int right = keepPenInside(nearestPixel(toPixelX(x2)), image_.width());
    const int bottom = keepPenInside(nearestPixel(toPixelY(y2)), image_.height());
    fillBetween(left, top, right, top, color);
    fillBetween(right, top, right, bottom, color);
    fillBetween(left, bottom, right, bottom, color);
    fillBetween(left, top, left, bottom, color);
    currentX_ = x2;
    currentY_ = y2;
    update();
}

void PictureBox::FilledBox(double x1, double y1, double x2, double y2, const QColor& color) {
    ensureImage();
    fillBetween(nearestPixel(toPixelX(x1)), nearestPixel(toPixelY(y1)), nearestPixel(toPixelX(x2)),
                nearestPixel(toPixelY(y2)), color);
    currentX_ = x2;
    currentY_ = y2;
    update();
}

QFont PictureBox::textFont() const {
    QFont f = font();
    // Fully hinted, so each letter stands on whole pixels and advances by
    // whole pixels and the gaps between letters come out even (unhinted
    // advances put glyphs at fractions of a pixel, and the gaps wander).
    // Edges are smoothed in grey, never in colour fringes, the same on any
    // surface, so a text box showing this font shows the same pixels.
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(QFont::NoSubpixelAntialias);
    return f;
}

void PictureBox::Print(const QString& text) {
    ensureImage();
    const QFont f = textFont();
    {
        QPainter painter(&image_);
        painter.setFont(f);
        painter.setPen(foreColor_);
        const QFontMetrics metrics(f, &image_);
        const int x = nearestPixel(toPixelX(currentX_));
        const int y = nearestPixel(toPixelY(currentY_));
        painter.drawText(QPoint(x, y + metrics.ascent()), text);
    }
    currentX_ = 0;
    currentY_ += TextHeight(text);
    update();
}

double PictureBox::TextWidth(const QString& text) const {
    ensureImage();
    const QFontMetrics metrics(textFont(), &image_);
    const double pixels = metrics.horizontalAdvance(text);
    return scaleWidth_ > 0 ? pixels * scaleWidth_ / image_.width() : pixels;
}

double PictureBox::TextHeight(const QString&) const {
    ensureImage();
    const QFontMetrics metrics(textFont(), &image_);
    const double pixels = metrics.height();
    return scaleHeight_ > 0 ? pixels * scaleHeight_ / image_.height() : pixels;
}

} // namespace platform
