#pragma once
// The rules of moving the grid's selection, apart from the widget: logical
// index to display slot, the wrap-around of an index, and the key table.

#include <cstdint>
#include <optional>

namespace grid {

// Key codes as the editor's key handler sees them.
constexpr int KeyReturn = 13;
constexpr int KeyLeft = 37;
constexpr int KeyUp = 38;
constexpr int KeyRight = 39;
constexpr int KeyDown = 40;

// Where logical index shows along one axis: 0 for the header (index 0),
// else index - scroll when that lies in 1 .. visible - 1; -2 when it lies past
// the last slot, -1 when it was scrolled out before the first data slot.
int32_t VisibleSlot(int32_t index, int32_t scroll, int32_t visible);

// value wrapped into 1 .. max with the headers locked (hdr 0) or into
// 0 .. max with them open (hdr 1). Needs hdr + max >= 1.
int32_t WrapIndex(int32_t value, int32_t max, int16_t hdr);

struct CellIndex {
    int32_t row = 0;
    int32_t col = 0;
    bool operator==(const CellIndex&) const = default;
};

// The cell that a key moves the selection to from `from`, in a grid whose
// last row is lastRow and last column lastCol; nothing for a key the editor
// handles itself. Right past the last column goes on in the next row's first
// column, Left before the first column in the previous row's last; Enter
// moves down like the Down arrow.
std::optional<CellIndex> KeyTarget(int keyCode, CellIndex from, int32_t lastRow, int32_t lastCol, int16_t hdr);

} // namespace grid
