#pragma once
// The program's one container for a matrix of text cells, addressed by row
// and column (32-bit signed, counted from 0). Only cells whose text is not
// exactly "0" are stored; a cell that is not stored reads "0". Beside the
// cells it keeps, for every row and every column that ever held a cell, the
// number of its stored cells. All three stores enumerate in insertion order
// and every change of a count moves that entry to the end: callers read the
// orders (they decide the order of sites and species in an analysis).

#include "platform/OrderedDictionary.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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

private:
    // The conversion to site types reads every stored cell with its text in
    // one pass, without a lookup per cell.
    friend std::vector<std::string> MatrixToTypes(SparseArray& sry1);

    // A cell is stored under its row and column packed into one integer: the
    // same one-to-one naming as the key text "row,col", which is made only
    // when a caller asks for the keys. It spares every write a text to
    // allocate, hash and compare.
    using CellKey = uint64_t;
    static CellKey cellKey(int32_t lRow, int32_t lCol) {
        return (CellKey(uint32_t(lRow)) << 32) | uint32_t(lCol);
    }
    static int32_t rowOf(CellKey key) { return int32_t(uint32_t(key >> 32)); }
    static int32_t colOf(CellKey key) { return int32_t(uint32_t(key)); }
    // Each row starts at a well-mixed place among the buckets and its
    // columns follow one another from there: a row's cells share cache
    // lines, while no pattern of row numbers lines the rows up. (The bare
    // integer gives some bucket counts long chains; fully mixed bits cost a
    // cache miss per cell.)
    struct CellKeyHash {
        std::size_t operator()(CellKey key) const noexcept {
            uint64_t row = key >> 32;
            row ^= row >> 33;
            row *= 0xff51afd7ed558ccdull;
            row ^= row >> 33;
            row *= 0xc4ceb9fe1a85ec53ull;
            row ^= row >> 33;
            return static_cast<std::size_t>(row + (key & 0xffffffffull));
        }
    };
    static QString keyText(int32_t lRow, int32_t lCol);
    static void changeCount(CountStore& store, int32_t key, int32_t delta);

    platform::OrderedDictionary<CellKey, QString, CellKeyHash> Cells;
    CountStore ColCounts;
    CountStore RowCounts;
};
