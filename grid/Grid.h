#pragma once
// The matrix editor: a scrollable grid of text cells over a SparseArray, with
// a header row (row 0) and a header column (column 0), one cell edited at a
// time in a text box floated over it, keyboard and mouse navigation with
// wrap-around, and a header lock.
//
// Constituents: the viewport pbx2 holds the drawing surface pbx1 (which holds
// the editor txt1); the scroll bars hsb1 and vsb1 run along the viewport's
// bottom and right edges. Everything is drawn into pbx1's persistent image;
// scrolling never moves pbx1, the cells are redrawn shifted instead.
//
// Lengths inside the control are pixels. The host sizes the control; the
// control then snaps its own size to whole cells plus the bars it shows.

#include "analysis/SparseArray.h"
#include "grid/PropertyBag.h"

#include <QColor>
#include <QString>
#include <QWidget>
#include <cstdint>

class QEvent;
class QLineEdit;
class QResizeEvent;
class QScrollBar;

namespace platform {
class PictureBox;
}

namespace grid {
class EditorLengthLimit;
}

class Grid : public QWidget {
    Q_OBJECT
public:
    explicit Grid(QWidget* parent = nullptr);
    ~Grid() override;

    // The constituents. Hosts and tests may look at them; only the control
    // lays them out and draws on them.
    QScrollBar* const hsb1;           // data columns scrolled out at the left
    QWidget* const pbx2;              // the viewport
    platform::PictureBox* const pbx1; // the drawing surface, at (0, 0) in pbx2
    QLineEdit* const txt1;            // the in-place editor, a child of pbx1
    QScrollBar* const vsb1;           // data rows scrolled out at the top

    // --- Properties -------------------------------------------------------
    // The tool tip of the drawing surface.
    QString GridToolTipText() const;
    void GridToolTipText(const QString& s1);
    // The selected cell (logical row and column; 0 is the header).
    int32_t TextRow() const { return TextRow_; }
    int32_t TextCol() const { return TextCol_; }
    // The editor's maximum number of characters, 0 for no limit. It limits
    // what the user types; a cell's text loaded into the editor stays whole.
    // Reading a length above 32767 (possible from a store) raises an
    // overflow error.
    void MaxLength(int16_t i1);
    int16_t MaxLength() const;
    // Cell sizes in pixels; writing runs the layout. Any value is accepted; a
    // 0 becomes 60 (width) or 20 (height) at the layout.
    void CellWidth(int32_t l1);
    int32_t CellWidth() const { return CellWidth_; }
    void CellHeight(int32_t l1);
    int32_t CellHeight() const { return CellHeight_; }
    // The number of data rows (GridRows - 1) and of columns after the header
    // column (GridCols - 1); writing runs the layout and leaves the cells alone.
    // Reading a count that a store left at the lowest 32-bit value raises an
    // overflow error.
    void Rows(int32_t l1);
    int32_t Rows() const;
    void Cols(int32_t l1);
    int32_t Cols() const;

    // --- Methods ----------------------------------------------------------
    // Commits the editor, then returns a copy of every stored cell (cells
    // beyond the shown size included).
    SparseArray GetMatrix();
    // Removes every cell at row >= l1 and column >= l2, copies sry1 in shifted
    // by (l1, l2), reloads the editor and repaints. The size does not change.
    // A matrix handed over for good is taken without a copy where it can be.
    // Either way the grid is left as it was when the call fails.
    void SetMatrix(const SparseArray& sry1, int32_t l1, int32_t l2);
    void SetMatrix(SparseArray&& sry1, int32_t l1, int32_t l2);
    // Stores s1 as the text of cell (l1, l2) ("0" removes it); no repaint.
    void SetText(const QString& s1, int32_t l1, int32_t l2);
    // The text of cell (l1, l2), "0" for a cell that is not stored.
    QString GetText(int32_t l1, int32_t l2) const;
    // Repaints every visible cell and the selection box. With i1 = 1, (l1, l2)
    // is the display slot of the selected cell, otherwise its logical row and
    // column; b1 true leaves the selection box out.
    void PrintMatrix(int32_t l1, int32_t l2, int16_t i1, bool b1);
    // 1 opens the header row and column for editing, 0 locks them.
    void EditHeaders(int16_t i1);
    // 1 when the headers are open, 0 when locked.
    int16_t GetEdit() const { return HeadersEditable_; }
    // Sets the size to l1 data rows and l2 columns after the header column,
    // keeps the cells inside it, drops the rest, lays out and repaints.
    void ResizeMatrix(int32_t l1, int32_t l2);
    // Commits the editor, hides it and repaints without the selection box.
    void HideSelection();

    // --- Persistence ------------------------------------------------------
    // Writes "CellHeight", "CellWidth", "GridRows", "GridCols", "MaxLength"
    // and "GridToolTipText", each left out when it equals its default.
    void UserControl_WriteProperties(PropertyBag& PropBag) const;
    // Reads the six keys (a missing key reads its default: 20, 60, 1, 1, 0,
    // ""). Sets the fields only: no property writer, no layout.
    void UserControl_ReadProperties(const PropertyBag& PropBag);

    // --- Layout -----------------------------------------------------------
    // The resize handler: snaps the control's size, decides the scroll bars,
    // sizes the constituents, counts the slots, moves the selection to (1, 1)
    // and draws the grid lines. Runs when the host sizes the control and from
    // the size property writers and ResizeMatrix.
    void UserControl_Resize();

    // What the layout computed: slots shown, header slot included.
    int32_t VisibleRows() const { return VisibleRows_; }
    int32_t VisibleCols() const { return VisibleCols_; }
    // Rows and columns including the header row and column.
    int32_t GridRows() const { return GridRows_; }
    int32_t GridCols() const { return GridCols_; }

signals:
    // Declared for hosts; an edit raises nothing.
    void Change();
    // The pointer moved over the drawing surface, at (X, Y) pixels from its
    // top-left corner, with or without a button down.
    void MouseMove(float X, float Y);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Layout.
    void UpdateScrollBars(double h, double w);
    void ArrangeControls(double h, double w);
    // Drawing.
    void DrawGridLines(const QColor& headerColour);
    // Selection.
    int32_t VisiblePosition(int16_t axis, int32_t index) const;
    void PlaceEditBox(int32_t row, int32_t col, int16_t mode);
    void EnsureVisible(int32_t row, int32_t col);
    static void SelectAllText(QLineEdit* textBox);
    // Puts a cell's text into the editor whole, whatever its maximum length.
    void loadEditor(const QString& text);
    void commitEditor();
    void showMatrix(SparseArray& next);
    void layOutPendingSize();

    // Handlers of the constituents.
    void pbx1_MouseDown(int Button, int Shift, float X, float Y);
    void pbx1_MouseMove(int Button, int Shift, float X, float Y);
    void txt1_KeyDown(int& KeyCode, int Shift);
    void txt1_KeyPress(int& KeyAscii);
    void hsb1_Change();
    void vsb1_Change();

    int32_t CellWidth_ = 0;
    int32_t CellHeight_ = 0;
    int32_t GridRows_ = 0;
    int32_t GridCols_ = 0;
    int32_t VisibleRows_ = 0;
    int32_t VisibleCols_ = 0;
    SparseArray Matrix_;
    int32_t TextRow_ = 0;
    int32_t TextCol_ = 0;
    int16_t HeadersEditable_ = 0;
    int16_t InResize_ = 0;
    // The editor's maximum length as stored (a store may hold any 32-bit value).
    int32_t MaxLength_ = 0;
    // Applies that length to what the user types into the editor.
    grid::EditorLengthLimit* const txt1Limit_;
    // The size the last layout left the control at; a resize notice for that
    // size (delivered late, when the control was hidden) needs no new layout.
    QSize laidOutSize_{-1, -1};
};
