// The chart of the results window: the power functions drawn on the chart
// frame picture and their entries in the legend box. Everything goes into the
// picture boxes' persistent images, so nothing is ever redrawn.

#include "platform/PictureBox.h"
#include "results/frmResults.h"

#include <QColor>

namespace {

QColor fromPlatformColour(uint32_t color) {
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

} // namespace

// Strength 0..3 runs from x = 117 to 595 and a rate 0..1 from y = 368 up to
// 34, the plot box of the frame picture; other values land outside it.
double frmResults::ToChartCoordinate(double value, int16_t axis) {
    if (axis == 0)
        return (478.0 / 3.0) * value + 117.0;
    if (axis == 1)
        return 368.0 - 334.0 * value;
    return 0.0;
}

void frmResults::DrawChartLine(double x1, double y1, double x2, double y2, uint32_t color) {
    const float cx1 = static_cast<float>(ToChartCoordinate(x1, 0));
    const float cx2 = static_cast<float>(ToChartCoordinate(x2, 0));
    const float cy1 = static_cast<float>(ToChartCoordinate(y1, 1));
    const float cy2 = static_cast<float>(ToChartCoordinate(y2, 1));
    pbx1->setDrawWidth(2);
    pbx1->Line(cx1, cy1, cx2, cy2, fromPlatformColour(color));
}

void frmResults::PlotFunction(const Curve& t, uint32_t color, QString label) {
    for (size_t i = 1; i < t.size(); ++i)
        DrawChartLine(t[i - 1].Strength, t[i - 1].Rate, t[i].Strength, t[i].Rate, color);

    // The entry: a 40-pixel sample of the line, then the label beside it, a
    // little above the line; printing leaves the current point at the start
    // of the next text line, so the next entry comes below.
    pbx2->setCurrentX(10);
    pbx2->setCurrentY(pbx2->CurrentY() + 25);
    pbx2->setDrawWidth(2);
    pbx2->LineTo(pbx2->CurrentX() + 40, pbx2->CurrentY(), fromPlatformColour(color));
    pbx2->setCurrentY(pbx2->CurrentY() - 10);
    pbx2->setCurrentX(pbx2->CurrentX() + 10);
    pbx2->Print(label);
}
