#include "analysis/SparseArray.h"

#include <QStringView>

namespace {

const QString Zero = QStringLiteral("0");

// The leading decimal number of a text (sign included); 0 when there is none.
int32_t leadingNumber(QStringView text) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > int64_t(INT32_MAX) + 1)
            break;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

} // namespace

// The key text "row,col", built with a single allocation.
QString SparseArray::keyText(int32_t lRow, int32_t lCol) {
    char16_t buffer[24]; // "-2147483648,-2147483648" is the longest key
    int length = 0;
    const auto put = [&](int32_t value) {
        uint32_t magnitude = value < 0 ? 0u - uint32_t(value) : uint32_t(value);
        if (value < 0)
            buffer[length++] = u'-';
        char16_t digits[10];
        int count = 0;
        do {
            digits[count++] = char16_t(u'0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        while (count > 0)
            buffer[length++] = digits[--count];
    };
    put(lRow);
    buffer[length++] = u',';
    put(lCol);
    return QString(reinterpret_cast<const QChar*>(buffer), length);
}

// A count changes by removing its entry and adding it again, so the entry
// stands where the last change happened; an absent entry counts as 0.
void SparseArray::changeCount(CountStore& store, int32_t key, int32_t delta) {
    const int32_t* old = store.Find(key);
    store.MoveToEnd(key, (old ? *old : 0) + delta);
}

void SparseArray::sValue(int32_t lRow, int32_t lCol, const QString& s1) {
    const CellKey key = cellKey(lRow, lCol);
    if (s1 == Zero) {
        if (Cells.RemoveIfPresent(key)) {
            changeCount(RowCounts, lRow, -1);
            changeCount(ColCounts, lCol, -1);
        }
        return;
    }
    // A stored cell is removed and added again (its key goes to the end) with
    // its counts unchanged; a new cell is appended and counted.
    if (Cells.MoveToEnd(key, s1)) {
        changeCount(RowCounts, lRow, +1);
        changeCount(ColCounts, lCol, +1);
    }
}

QString SparseArray::sValue(int32_t lRow, int32_t lCol) const {
    const QString* text = Cells.Find(cellKey(lRow, lCol));
    return text ? *text : Zero;
}

// A row (column) with a count above 0 holds a stored cell, and every stored
// cell is counted, so the counts give the same maximum as the keys at a
// fraction of the work.
int32_t SparseArray::Rows() const {
    int32_t largest = 0;
    for (const auto& [row, count] : RowCounts)
        if (count > 0 && row > largest)
            largest = row;
    return largest;
}

int32_t SparseArray::Cols() const {
    int32_t largest = 0;
    for (const auto& [col, count] : ColCounts)
        if (count > 0 && col > largest)
            largest = col;
    return largest;
}

const SparseArray::CountStore& SparseArray::RowCount() const { return RowCounts; }

const SparseArray::CountStore& SparseArray::ColCount() const { return ColCounts; }

// The copy is made whole beside this object and then takes its place, so a
// copy that fails for want of memory leaves this object as it was.
void SparseArray::Equals(const SparseArray& sry1) {
    SparseArray copy;
    copy.Cells = sry1.Cells;
    copy.Cells.forEach([&copy](CellKey key, const QString&) {
        changeCount(copy.RowCounts, rowOf(key), +1);
        changeCount(copy.ColCounts, colOf(key), +1);
    });
    swap(copy);
}

void SparseArray::swap(SparseArray& other) noexcept {
    Cells.swap(other.Cells);
    ColCounts.swap(other.ColCounts);
    RowCounts.swap(other.RowCounts);
}

QStringList SparseArray::sKeys() const {
    QStringList keys;
    keys.reserve(static_cast<qsizetype>(Cells.Count()));
    Cells.forEach([&keys](CellKey key, const QString&) { keys.append(keyText(rowOf(key), colOf(key))); });
    return keys;
}

std::array<int32_t, 3> SparseArray::RowColumn(const QString& s1) const {
    const qsizetype comma = s1.indexOf(u',');
    const int32_t row = leadingNumber(s1);
    const int32_t col = comma < 0 ? 0 : leadingNumber(QStringView(s1).mid(comma + 1));
    return {0, row, col};
}
