#include "grid/GridLayout.h"

#include "analysis/MarviskError.h"
#include "platform/Rounding.h"

#include <limits>

namespace grid {

namespace {
[[noreturn]] void overflow() { throw MarviskError(OverflowError, "Overflow"); }
} // namespace

void ApplyLayoutDefaults(GridSize& size) {
    if (size.CellHeight == 0)
        size.CellHeight = LayoutCellHeight;
    if (size.CellWidth == 0)
        size.CellWidth = LayoutCellWidth;
    if (size.GridRows == 0)
        size.GridRows = LayoutGridRows;
    if (size.GridCols == 0)
        size.GridCols = LayoutGridCols;
}

int32_t checkedAdd(int32_t a, int32_t b) {
    int32_t result = 0;
    if (__builtin_add_overflow(a, b, &result))
        overflow();
    return result;
}

int32_t checkedSubtract(int32_t a, int32_t b) {
    int32_t result = 0;
    if (__builtin_sub_overflow(a, b, &result))
        overflow();
    return result;
}

int32_t checkedMultiply(int32_t a, int32_t b) {
    int32_t result = 0;
    if (__builtin_mul_overflow(a, b, &result))
        overflow();
    return result;
}

int16_t toInteger16(int32_t value) {
    if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
        overflow();
    return static_cast<int16_t>(value);
}

ScrollBarsEnabled DecideScrollBars(double h, double w, const GridSize& size, double hsbThickness,
                                   double vsbThickness) {
    const int32_t needH = checkedMultiply(size.GridRows, size.CellHeight);
    const int32_t needW = checkedMultiply(size.GridCols, size.CellWidth);
    ScrollBarsEnabled bars;
    if (h < needH) {
        bars.vsb1 = true;
        bars.hsb1 = w - vsbThickness < needW;
    } else if (w < needW) {
        bars.hsb1 = true;
        bars.vsb1 = h - hsbThickness < needH;
    }
    return bars;
}

double SnapLength(double length, int32_t cell, bool barShown, double barThickness) {
    if (cell == 0)
        throw MarviskError(DivisionByZeroError, "Division by zero");
    if (barShown)
        return platform::roundHalfEven((length - barThickness) / cell) * cell + barThickness;
    return platform::roundHalfEven(length / cell) * cell;
}

AxisFit FitAxis(double viewport, int32_t cell, int32_t count) {
    if (viewport <= static_cast<double>(checkedMultiply(cell, count))) {
        if (cell == 0)
            throw MarviskError(DivisionByZeroError, "Division by zero");
        const double slots = platform::roundHalfEven(viewport / cell);
        if (slots < std::numeric_limits<int32_t>::min() || slots > std::numeric_limits<int32_t>::max())
            overflow();
        return {viewport, static_cast<int32_t>(slots)};
    }
    return {static_cast<double>(checkedMultiply(cell, count)), count};
}

Arrangement ArrangeAxes(double h, double w, const GridSize& size, ScrollBarsEnabled bars, double hsbThickness,
                        double vsbThickness) {
    double viewportHeight = h;
    double viewportWidth = w;
    if (bars.hsb1)
        viewportHeight -= hsbThickness;
    if (bars.vsb1)
        viewportWidth -= vsbThickness;
    const AxisFit rows = FitAxis(viewportHeight, size.CellHeight, size.GridRows);
    const AxisFit cols = FitAxis(viewportWidth, size.CellWidth, size.GridCols);
    Arrangement a;
    a.surfaceHeight = rows.surface;
    a.surfaceWidth = cols.surface;
    a.VisibleRows = rows.visible;
    a.VisibleCols = cols.visible;
    a.hsb1Max = toInteger16(checkedSubtract(size.GridCols, a.VisibleCols));
    a.vsb1Max = toInteger16(checkedSubtract(size.GridRows, a.VisibleRows));
    if (!bars.hsb1)
        a.hsb1Max = 0;
    if (!bars.vsb1)
        a.vsb1Max = 0;
    return a;
}

} // namespace grid
