// The grid's painting: the fixed background of lines and header bands, kept
// as the drawing surface's background picture, and the repaint of every
// visible cell over it.

#include "grid/Grid.h"

#include "platform/Geometry.h"
#include "platform/PictureBox.h"

#include <QScrollBar>

void Grid::DrawGridLines(const QColor& headerColour) {
    const QColor buttonFace = platform::buttonFaceColour();
    const QColor black(Qt::black);
    const double CW = CellWidth_;
    const double CH = CellHeight_;
    const int32_t VR = VisibleRows_;
    const int32_t VC = VisibleCols_;
    const double right = VC * CW;
    const double bottom = VR * CH;

    pbx1->clearPicture();
    pbx1->setDrawWidth(1);
    for (int32_t i = 2; i <= VR - 1; ++i)
        pbx1->Line(0, CH * i, right, CH * i, buttonFace);
    for (int32_t j = 2; j <= VC - 1; ++j)
        pbx1->Line(CW * j, 0, CW * j, bottom, buttonFace);

    // The header bands: one line as wide as the header row is high, one as
    // wide as the header column.
    pbx1->setDrawWidth(CellHeight_);
    pbx1->Line(0, CH / 2, right, CH / 2, headerColour);
    pbx1->setDrawWidth(CellWidth_);
    pbx1->Line(CW / 2, 0, CW / 2, bottom, headerColour);

    pbx1->setDrawWidth(1);
    const QColor separator = headerColour == QColor(Qt::white) ? buttonFace : black;
    for (int32_t i = 1; i <= VR - 1; ++i)
        pbx1->Line(0, CH * i, CW, CH * i, separator);
    for (int32_t j = 1; j <= VC - 1; ++j)
        pbx1->Line(CW * j, 0, CW * j, CH, separator);
    pbx1->Line(CW, 0, CW, bottom, black);
    pbx1->Line(0, CH, right, CH, black);

    pbx1->setPicture(pbx1->image());
}

void Grid::PrintMatrix(int32_t l1, int32_t l2, int16_t i1, bool b1) {
    layOutPendingSize();
    const QColor buttonFace = platform::buttonFaceColour();
    const QColor white(Qt::white);
    const double CW = CellWidth_;
    const double CH = CellHeight_;
    const int32_t VR = VisibleRows_;
    const int32_t VC = VisibleCols_;
    const bool locked = HeadersEditable_ == 0;
    const bool open = HeadersEditable_ == 1;
    const int32_t rowScroll = vsb1->value();
    const int32_t colScroll = hsb1->value();

    pbx1->Cls();
    pbx1->setDrawWidth(1);
    for (int32_t r = 0; r < VR; ++r) {
        const double top = r * CH;
        const int32_t row = r == 0 ? 0 : rowScroll + r;
        for (int32_t c = 0; c < VC; ++c) {
            const double left = c * CW;
            // Header column cells and the corner show the band beneath.
            if (c >= 1) {
                const QColor fill = r == 0 && locked ? buttonFace : white;
                pbx1->FilledBox(left + 2, top + 2, left + CW - 2, top + CH - 2, fill);
                if (c >= 2 && (r >= 1 || open))
                    pbx1->Line(left, top + 3, left, top + CH - 3, buttonFace);
                pbx1->Line(left + 1, top + 3, left + 1, top + CH - 3, fill);
            }
            pbx1->setCurrentX(left + CW * 4 / 90);
            pbx1->setCurrentY(top + CH * 4 / 30);
            const int32_t col = c == 0 ? 0 : colScroll + c;
            pbx1->Print(Matrix_.sValue(row, col));
            // The strip covers the cell's last 4 pixel columns, and with them
            // the end of a text too long for the cell.
            const QColor strip = (r == 0 || c == 0) && locked ? buttonFace : white;
            pbx1->FilledBox(left + CW - 4, top + 2, left + CW - 1, top + CH - 2, strip);
        }
    }

    int32_t rs = l1;
    int32_t cs = l2;
    if (i1 != 1) {
        rs = VisiblePosition(0, l1);
        cs = VisiblePosition(1, l2);
    }
    if (b1 || rs < 0 || cs < 0)
        return;
    // The box keeps clear of the black border lines next to the first
    // selectable slot and of the surface's edge at the last.
    const int32_t firstSlot = 1 - HeadersEditable_;
    const int aT = rs == firstSlot ? 1 : 0;
    const int aL = cs == firstSlot ? 1 : 0;
    const int aB = rs == VR - 1 ? 1 : 0;
    const int aR = cs == VC - 1 ? 1 : 0;
    pbx1->setDrawWidth(2);
    pbx1->Box(cs * CW + aL, rs * CH + aT, (cs + 1) * CW + 1 - aR, (rs + 1) * CH + 1 - aB, QColor(Qt::black));
}
