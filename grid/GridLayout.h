#pragma once
// The arithmetic of the grid's layout, apart from the widget: which scroll
// bars a size needs, the snap of the control's own size to whole cells, and
// what the viewport and drawing surface become. All lengths are pixels.

#include <cstdint>

namespace grid {

// Numbers of the errors the grid raises, as the program numbers them.
constexpr int OverflowError = 6;
constexpr int DivisionByZeroError = 11;
constexpr int TypeMismatchError = 13;
constexpr int InvalidPropertyValueError = 380;

// The sizes that replace a 0 (and only a 0) at each layout. They differ from
// the persisted defaults (20, 60, 1, 1): only a control whose fields were
// never read from a store, or were written as 0, gets 11 rows and columns.
constexpr int32_t LayoutCellHeight = 20;
constexpr int32_t LayoutCellWidth = 60;
constexpr int32_t LayoutGridRows = 11;
constexpr int32_t LayoutGridCols = 11;

struct GridSize {
    int32_t CellHeight = 0;
    int32_t CellWidth = 0;
    int32_t GridRows = 0; // header row included
    int32_t GridCols = 0; // header column included
};

// Replaces a 0 in each size by its layout default.
void ApplyLayoutDefaults(GridSize& size);

// 32-bit arithmetic that raises an overflow error instead of wrapping.
int32_t checkedAdd(int32_t a, int32_t b);
int32_t checkedSubtract(int32_t a, int32_t b);
int32_t checkedMultiply(int32_t a, int32_t b);
// A 32-bit value as a 16-bit one; outside -32768..32767 an overflow error.
int16_t toInteger16(int32_t value);

struct ScrollBarsEnabled {
    bool hsb1 = false;
    bool vsb1 = false;
};

// Which bars the inner size h x w needs for all rows and columns. The
// comparisons are strict (a size exactly equal to the need shows no bar) and
// a needed bar takes room from the other direction, so one bar can bring the
// other. hsbThickness is the horizontal bar's height, vsbThickness the
// vertical bar's width.
ScrollBarsEnabled DecideScrollBars(double h, double w, const GridSize& size, double hsbThickness,
                                   double vsbThickness);

// The control's own length along one axis after the snap: the room for cells
// rounded to whole cells (halves to even), plus the bar's thickness when the
// bar across that axis is shown.
double SnapLength(double length, int32_t cell, bool barShown, double barThickness);

// What the viewport shows along one axis: the drawing surface's length and
// the number of slots, the header slot included.
struct AxisFit {
    double surface = 0;
    int32_t visible = 0;
};
AxisFit FitAxis(double viewport, int32_t cell, int32_t count);

// Everything the arrangement computes from the snapped inner size.
struct Arrangement {
    double surfaceWidth = 0;  // pbx1 and pbx2
    double surfaceHeight = 0;
    int32_t VisibleRows = 0;
    int32_t VisibleCols = 0;
    int16_t hsb1Max = 0;
    int16_t vsb1Max = 0;
};
Arrangement ArrangeAxes(double h, double w, const GridSize& size, ScrollBarsEnabled bars, double hsbThickness,
                        double vsbThickness);

} // namespace grid
