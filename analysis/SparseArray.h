#pragma once
// The program's one container for a matrix of text cells, addressed by row
// and column (32-bit signed, counted from 0). Only cells whose text is not
// exactly "0" are stored; a cell that is not stored reads "0". Beside the
// cells it keeps, for every row and every column that ever held a cell, the
// number of its stored cells. All three stores enumerate in insertion order
// and every change of a count moves that entry to the end: callers read the
// orders (they decide the order of sites and species in an analysis).

#include "analysis/CellStore.h"
#include "platform/OrderedDictionary.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstddef>
#include <cstdint>

class SparseArray {
public:
    // Row (column) number to the number of its stored cells, in the order of
    // the last change of each count.
    using CountStore = platform::OrderedDictionary<int32_t, int32_t>;

    SparseArray() = default;

    // Stores s1 in the cell (lRow, lCol); the exact text "0" removes the cell.
    // Rewriting a stored cell moves its key to the end of the cell order and
    // leaves the counts alone.
    void sValue(int32_t lRow, int32_t lCol, const QString& s1);
    // The stored text, or "0" when the cell is not stored. Adds nothing.
    QString sValue(int32_t lRow, int32_t lCol) const;

    // The largest row (column) number among stored cells; 0 when nothing is
    // stored or every number is below 1.
    int32_t Rows() const;
    int32_t Cols() const;

    // The count stores themselves (not copies); callers only read them.
    const CountStore& RowCount() const;
    const CountStore& ColCount() const;

    // Makes this object a copy of sry1: the same cells in the same order, and
    // counts rebuilt cell by cell, so each row (column) stands in the order of
    // its last cell in the cell order and no count entry holds 0.
    void Equals(const SparseArray& sry1);

    // The keys ("row,col") of all stored cells in cell order; a snapshot.
    QStringList sKeys() const;

    // Splits a key made by this class: {0, row, column}.
    std::array<int32_t, 3> RowColumn(const QString& s1) const;

    // Visits every stored cell in cell order as visit(row, column, text),
    // without making a key text: the road of large matrices (reading a file,
    // the grid, the Run) walks cells this way.
    template <typename Visit>
    void forEachCell(Visit&& visit) const {
        Cells.forEach([&](CellStore::Key key, const QString& text) { visit(rowOf(key), colOf(key), text); });
    }

    // The number of stored cells.
    std::size_t cellCount() const { return Cells.Count(); }

    // Exchanges the whole contents of two matrices; never fails.
    void swap(SparseArray& other) noexcept;

private:
    // A cell is stored under its row and column packed into one integer: the
    // same one-to-one naming as the key text "row,col", which is made only
    // when a caller asks for the keys. It spares every write a text to
    // allocate, hash and compare.
    using CellKey = CellStore::Key;
    static CellKey cellKey(int32_t lRow, int32_t lCol) {
        return (CellKey(uint32_t(lRow)) << 32) | uint32_t(lCol);
    }
    static int32_t rowOf(CellKey key) { return int32_t(uint32_t(key >> 32)); }
    static int32_t colOf(CellKey key) { return int32_t(uint32_t(key)); }
    static QString keyText(int32_t lRow, int32_t lCol);
    static void changeCount(CountStore& store, int32_t key, int32_t delta);

    CellStore Cells;
    CountStore ColCounts;
    CountStore RowCounts;
};
