#include "app/MatrixFile.h"

#include "analysis/MarviskError.h"
#include "app/LeadingNumber.h"
#include "platform/Rounding.h"
#include "platform/TextStream.h"

#include <QStringView>
#include <algorithm>
#include <cmath>

namespace MatrixFile {

namespace {

const QString TxtExtension = QStringLiteral(".txt");
const QString One = QStringLiteral("1");
const QString Zero = QStringLiteral("0");

// Stores the fields of a line at rows 0, 1, ... of column `column`, or of
// row `row` when `row` is not negative; at most maxFields of them. The line is
// searched once from the start, so a line of any length costs its length.
void splitInto(SparseArray& target, QStringView line, QChar separator, int32_t row,
               int32_t maxFields) {
    qsizetype start = 0;
    for (int32_t k = 0; k < maxFields; ++k) {
        const qsizetype end = line.indexOf(separator, start);
        const QStringView piece = end < 0 ? line.mid(start) : line.mid(start, end - start);
        // The texts of most cells share one copy: a matrix of millions of
        // cells then holds no text of its own per cell.
        const QString field = piece == One ? One : piece == Zero ? Zero : piece.toString();
        if (row < 0)
            target.sValue(k, 0, field);
        else
            target.sValue(row, k, field);
        if (end < 0)
            return;
        start = end + 1;
    }
}

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

qsizetype skipDigits(QStringView text, qsizetype i) {
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i;
}

// A decimal number filling the whole text: sign, digits with at most one ".",
// an optional exponent (E or D, either case, then sign and digits).
bool isWholeDecimal(QStringView text) {
    qsizetype i = 0;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    const qsizetype integerStart = i;
    i = skipDigits(text, i);
    bool anyDigit = i > integerStart;
    if (i < text.size() && text[i] == u'.') {
        const qsizetype fractionStart = ++i;
        i = skipDigits(text, i);
        anyDigit = anyDigit || i > fractionStart;
    }
    if (!anyDigit)
        return false;
    if (i == text.size())
        return true;
    const QChar e = text[i].toUpper();
    if (e != u'E' && e != u'D')
        return false;
    ++i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    const qsizetype exponentStart = i;
    i = skipDigits(text, i);
    return i > exponentStart && i == text.size();
}

// "&H" and hexadecimal digits, or "&O" and octal digits, filling the whole text.
bool isWholeRadix(QStringView text) {
    if (text.size() < 3 || text[0] != u'&')
        return false;
    const QChar kind = text[1].toUpper();
    const int radix = kind == u'H' ? 16 : kind == u'O' ? 8 : 0;
    if (radix == 0)
        return false;
    for (qsizetype i = 2; i < text.size(); ++i) {
        const QChar c = text[i].toUpper();
        int digit = radix;
        if (isDigit(c))
            digit = c.unicode() - u'0';
        else if (c >= u'A' && c <= u'F')
            digit = c.unicode() - u'A' + 10;
        if (digit >= radix)
            return false;
    }
    return true;
}

} // namespace

SparseArray SplitLine(const QString& line, QChar separator) {
    SparseArray fields;
    splitInto(fields, line, separator, -1, INT32_MAX);
    return fields;
}

QChar ChooseSeparator(const QString& header) {
    if (header.contains(u','))
        return QLatin1Char(',');
    if (header.contains(u'\t'))
        return QLatin1Char('\t');
    return QLatin1Char(' ');
}

int32_t HeaderFieldCount(const QString& header, QChar separator) {
    if (header.isEmpty())
        return 0;
    const qsizetype separators = header.count(separator);
    return separators >= INT32_MAX ? INT32_MAX : static_cast<int32_t>(separators + 1);
}

bool MatrixFileScan::SizeAcceptable() const {
    return SpeciesCount >= 1 && SpeciesCount <= MaximumSize && SiteCount() >= 1 &&
           SiteCount() <= MaximumSize;
}

namespace {

// The bytes of a line that reading keeps: its first `fields` fields, up to
// the separator that ends the last of them. The separators are ASCII, which
// both forms hold as the same one byte, and which UTF-8 never uses inside a
// longer character, so the bytes split exactly as the text does.
QByteArrayView keptFields(const QByteArray& line, char separator, int32_t fields) {
    qsizetype end = -1;
    for (int32_t k = 0; k < fields; ++k) {
        end = line.indexOf(separator, end + 1);
        if (end < 0)
            return line;
    }
    return QByteArrayView(line).first(std::max<qsizetype>(end, 0));
}

} // namespace

MatrixFileScan ScanMatrixFile(platform::TextReader& in) {
    MatrixFileScan scan;
    // The form is judged on the lines and fields that reading keeps, so that
    // a stray byte of another form after the first empty line or beyond the
    // header's fields changes no name shown: the names read are those that a
    // save and a reopen show. A file that is UTF-8 throughout is so in those
    // parts too.
    const bool judge = in.Form() == platform::TextForm::Windows1252;
    platform::TextFormScan kept;
    const QByteArray headerBytes = in.ReadLineBytes();
    const QString header = platform::decodeText(headerBytes, in.Form());
    scan.Separator = ChooseSeparator(header);
    scan.FieldCount = HeaderFieldCount(header, scan.Separator);
    const char separator = char(scan.Separator.unicode());
    const auto keep = [&kept](QByteArrayView bytes) {
        kept.add(bytes);
        kept.add("\n"); // as the line end: no character runs on into the next line
    };
    if (judge)
        keep(headerBytes);
    // At least one line must follow the header; the count stops at the first
    // empty line, which is not a species row. One row more than the grid
    // takes already refuses the file, so a long file is not read to its end.
    do {
        const QByteArray line = in.ReadLineBytes();
        if (line.isEmpty())
            break;
        if (judge)
            keep(keptFields(line, separator, scan.FieldCount));
        ++scan.SpeciesCount;
    } while (scan.SpeciesCount <= MaximumSize && !in.AtEndOfStream());
    scan.Form = judge ? kept.form() : in.Form();
    return scan;
}

SparseArray ReadMatrixFile(const QString& path, const MatrixFileScan& scan) {
    platform::TextReader in(path, scan.Form);
    SparseArray matrix;
    for (int32_t i = 0; i <= scan.SpeciesCount; ++i)
        splitInto(matrix, in.ReadLine(), scan.Separator, i, scan.FieldCount);
    in.Close();
    return matrix;
}

platform::TextForm SaveForm(const SparseArray& matrix, platform::TextForm remembered) {
    if (remembered != platform::TextForm::Windows1252)
        return remembered; // UTF-8 holds every character
    // A cell that is not stored is written "0", and a blank becomes "_":
    // both fit every form, so the stored texts decide.
    for (const QString& key : matrix.sKeys()) {
        const auto rc = matrix.RowColumn(key);
        if (!platform::fitsTextForm(matrix.sValue(rc[1], rc[2]), remembered))
            return platform::TextForm::Utf8;
    }
    return remembered;
}

std::optional<int32_t> WholeNumber(const QString& text) {
    QStringView view(text);
    while (!view.isEmpty() && isBlank(view.front()))
        view = view.mid(1);
    while (!view.isEmpty() && isBlank(view.back()))
        view.chop(1);
    if (!isWholeRadix(view) && !isWholeDecimal(view))
        return std::nullopt;
    // A text of that form reads the same by the leading-number rule, which
    // takes "." as the point whatever the regional settings.
    const double number = leadingNumber(view.toString());
    if (!std::isfinite(number))
        return std::nullopt;
    const double whole = platform::roundHalfEven(number);
    if (whole < -32768.0 || whole > 32767.0)
        return std::nullopt;
    return static_cast<int32_t>(whole);
}

void WriteMatrix(platform::TextWriter& out, const SparseArray& matrix, const QString& rowsText,
                 const QString& colsText) {
    const std::optional<int32_t> rows = WholeNumber(rowsText);
    if (!rows)
        throw MarviskError(MarviskError::UserDefined, "the rows box does not hold a number");
    for (int32_t i = 0; i <= *rows; ++i) {
        const std::optional<int32_t> cols = WholeNumber(colsText);
        if (!cols)
            throw MarviskError(MarviskError::UserDefined, "the columns box does not hold a number");
        const int32_t last = *cols + 1;
        if (last < 0)
            continue; // no field at all on this line
        QString line;
        for (int32_t j = 0; j <= last; ++j) {
            if (j > 0)
                line += u' ';
            const QString text = matrix.sValue(i, j);
            if (text.contains(u' '))
                line += QString(text).replace(u' ', u'_');
            else
                line += text;
        }
        out.WriteLine(line);
    }
    out.WriteLine();
}

QString FileNamePart(const QString& path) {
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(slash + 1);
}

QString SaveFileName(const QString& chosen) {
    const QString name = FileNamePart(chosen);
    const QString folder = chosen.left(chosen.size() - name.size());
    return folder + QString(name).remove(TxtExtension, Qt::CaseSensitive) + TxtExtension;
}

QString MatrixCaption(const QString& path) {
    return QStringLiteral("Presence-Absence Matrix: ") +
           FileNamePart(path).remove(TxtExtension, Qt::CaseSensitive);
}

} // namespace MatrixFile
