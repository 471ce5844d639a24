#include "grid/GridNavigation.h"

#include "analysis/MarviskError.h"
#include "grid/GridLayout.h"

namespace grid {

int32_t VisibleSlot(int32_t index, int32_t scroll, int32_t visible) {
    if (index == 0)
        return 0;
    const int32_t p = checkedSubtract(index, scroll);
    if (p > visible - 1)
        return -2;
    if (p < 1)
        return -1;
    return p;
}

int32_t WrapIndex(int32_t value, int32_t max, int16_t hdr) {
    const int32_t n = checkedAdd(hdr, max);
    if (n == 0)
        throw MarviskError(DivisionByZeroError, "Division by zero");
    // Truncating remainder, its sign that of value, then into 0 .. n - 1.
    int32_t m = n == -1 ? 0 : value % n;
    if (m < 0)
        m += n;
    if (hdr == 0 && m == 0)
        m = max;
    return m;
}

std::optional<CellIndex> KeyTarget(int keyCode, CellIndex from, int32_t lastRow, int32_t lastCol, int16_t hdr) {
    CellIndex to = from;
    switch (keyCode) {
    case KeyRight:
        to.col = WrapIndex(checkedAdd(from.col, 1), lastCol, hdr);
        if (to.col == 1 - hdr)
            to.row = WrapIndex(checkedAdd(from.row, 1), lastRow, hdr);
        break;
    case KeyLeft:
        to.col = WrapIndex(checkedSubtract(from.col, 1), lastCol, hdr);
        if (to.col == lastCol)
            to.row = WrapIndex(checkedSubtract(from.row, 1), lastRow, hdr);
        break;
    case KeyUp:
        to.row = WrapIndex(checkedSubtract(from.row, 1), lastRow, hdr);
        break;
    case KeyDown:
    case KeyReturn:
        to.row = WrapIndex(checkedAdd(from.row, 1), lastRow, hdr);
        break;
    default:
        return std::nullopt;
    }
    return to;
}

} // namespace grid
