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
    const bool sharper = target.devicePixelRatio() > 1 && !sharperPicture_.isNull();
    const QImage& picture = sharper ? sharperPicture_ : picture_;
    if (!picture.isNull()) {
        QPainter painter(&target);
        // A picture of another resolution than the image is scaled smoothly.
        painter.setRenderHint(QPainter::SmoothPixmapTransform, picture.devicePixelRatio() != target.devicePixelRatio());
        painter.drawImage(0, 0, picture);
    }
}

QSize PictureBox::boxSize() const { return size().expandedTo(QSize(1, 1)); }

double PictureBox::imageRatio() const { return devicePixelRatioF(); }

// An image of the box's size at the ratio; what was drawn stays at the top
// left (at the new ratio if that changed) and new area shows the background.
void PictureBox::resizeImage(QImage& image, QSize size, double ratio, const PictureBox& box) {
    const QSize pixels(static_cast<int>(std::ceil(size.width() * ratio)),
                       static_cast<int>(std::ceil(size.height() * ratio)));
    if (!image.isNull() && image.size() == pixels && image.devicePixelRatio() == ratio)
        return;
    QImage resized(pixels, QImage::Format_RGB32);
    resized.setDevicePixelRatio(ratio);
    resized.setDotsPerMeterX(DotsPerMeter);
    resized.setDotsPerMeterY(DotsPerMeter);
    box.paintBackground(resized);
    if (!image.isNull()) {
        QPainter painter(&resized);
        painter.drawImage(0, 0, image);
    }
    image = resized;
}

// The images follow the widget's size and its screen's ratio. Checked before
// every use, because a hidden widget learns its new size only when it is
// shown, and a window moved to another screen learns its new ratio there.
void PictureBox::ensureImage() const {
    const double ratio = imageRatio();
    // Back at ratio 1, the image kept at ratio 1 is the drawing itself.
    if (ratio == 1 && !imageAtRatio1_.isNull()) {
        image_ = imageAtRatio1_;
        imageAtRatio1_ = QImage();
    }
    resizeImage(image_, boxSize(), ratio, *this);
    if (keepImageAtRatio1_ && ratio != 1)
        resizeImage(imageAtRatio1_, boxSize(), 1, *this);
}

template <class Draw> void PictureBox::drawOnImages(Draw draw) {
    for (QImage* target : {&image_, &imageAtRatio1_}) {
        if (target->isNull())
            continue;
        QPainter painter(target);
        draw(painter);
    }
}

const QImage& PictureBox::image() const {
    ensureImage();
    return image_;
}

void PictureBox::setKeepImageAtRatio1(bool keep) {
    keepImageAtRatio1_ = keep;
    if (!keep)
        imageAtRatio1_ = QImage();
    ensureImage();
}

const QImage& PictureBox::imageAtRatio1() const {
    ensureImage();
    return imageAtRatio1_.isNull() ? image_ : imageAtRatio1_;
}

void PictureBox::paintEvent(QPaintEvent* event) {
    ensureImage();
    QPainter painter(this);
    const QRect area = event->rect();
    const double ratio = image_.devicePixelRatio();
    painter.drawImage(QRectF(area), image_,
                      QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio));
}

void PictureBox::setBackColor(const QColor& color) {
    backColor_ = color;
    Cls();
}

void PictureBox::setPicture(const QImage& picture) { setPicture(picture, QImage()); }

void PictureBox::setPicture(const QImage& picture, const QImage& sharperPicture) {
    picture_ = picture;
    sharperPicture_ = sharperPicture;
    ensureImage();
    paintBackground(image_);
    if (!imageAtRatio1_.isNull())
        paintBackground(imageAtRatio1_);
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
    if (!imageAtRatio1_.isNull())
        paintBackground(imageAtRatio1_);
    currentX_ = 0;
    currentY_ = 0;
    update();
}

void PictureBox::fillPixels(int left, int top, int right, int bottom, const QColor& color) {
    if (right <= left || bottom <= top)
        return;
    drawOnImages([&](QPainter& painter) { painter.fillRect(QRect(left, top, right - left, bottom - top), color); });
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
        drawOnImages([&](QPainter& painter) {
            // One step for each pixel of the image along the longer axis, so
            // that at a ratio above 1 the stairs are the screen's, not the
            // box's; the pen's square is w box pixels, from w / 2 before the
            // point, on the image's own pixel edges.
            const double ratio = painter.device()->devicePixelRatioF();
            const int imageSteps = static_cast<int>(std::ceil(steps * ratio));
            const int before = w / 2;
            const auto edge = [ratio](double at) { return nearestPixel(at * ratio) / ratio; };
            for (int k = 0; k <= imageSteps; ++k) {
                const double x = ax + double(bx - ax) * k / imageSteps - before;
                const double y = ay + double(by - ay) * k / imageSteps - before;
                const double left = edge(x);
                const double top = edge(y);
                painter.fillRect(QRectF(left, top, edge(x + w) - left, edge(y + w) - top), color);
            }
        });
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
    const QSize inside = boxSize();
    const int left = keepPenInside(nearestPixel(toPixelX(x1)), inside.width());
    const int top = keepPenInside(nearestPixel(toPixelY(y1)), inside.height());
    const int right = keepPenInside(nearestPixel(toPixelX(x2)), inside.width());
    const int bottom = keepPenInside(nearestPixel(toPixelY(y2)), inside.height());
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
    // The place comes from the metrics in the box's pixels, at any ratio.
    const QFontMetrics metrics(f, &image_);
    const QPoint baseline(nearestPixel(toPixelX(currentX_)), nearestPixel(toPixelY(currentY_)) + metrics.ascent());
    drawOnImages([&](QPainter& painter) {
        painter.setFont(f);
        painter.setPen(foreColor_);
        painter.drawText(baseline, text);
    });
    currentX_ = 0;
    currentY_ += TextHeight(text);
    update();
}

double PictureBox::TextWidth(const QString& text) const {
    ensureImage();
    const QFontMetrics metrics(textFont(), &image_);
    const double pixels = metrics.horizontalAdvance(text);
    return scaleWidth_ > 0 ? pixels * scaleWidth_ / boxSize().width() : pixels;
}

double PictureBox::TextHeight(const QString&) const {
    ensureImage();
    const QFontMetrics metrics(textFont(), &image_);
    const double pixels = metrics.height();
    return scaleHeight_ > 0 ? pixels * scaleHeight_ / boxSize().height() : pixels;
}

} // namespace platform
