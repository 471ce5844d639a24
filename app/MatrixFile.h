#pragma once
// Matrix text files: one line per matrix row (line 0 the header: the two
// column headings and the site names; then one line per species: name, guild
// and one field per site), then one empty line. Written with fields separated
// by one blank and blanks inside a text written as "_"; read with the
// separator that the header line shows (a comma, else a tab, else a blank).
// A reader stops at the first empty line.
//
// The window-free half of the main window's Open and Save: the handlers in
// frmMainFiles.cpp put these together with the dialogs, the size boxes and
// the grid.

#include "analysis/SparseArray.h"
#include "platform/TextForm.h"

#include <QChar>
#include <QString>
#include <cstdint>
#include <optional>

namespace platform {
class TextReader;
class TextWriter;
} // namespace platform

namespace MatrixFile {

// The largest number of species or sites that the main window accepts.
constexpr int32_t MaximumSize = 32767;

// Field k of the line at row k, column 0: the pieces between separators, so
// two separators in a row enclose an empty field (stored as an empty text) and
// a field "0" is absent. A line without the separator is one field; an empty
// line is one empty field.
SparseArray SplitLine(const QString& line, QChar separator);

// The separator of a file, taken from its header line alone: a comma if it
// holds one, else a tab if it holds one, else a blank.
QChar ChooseSeparator(const QString& header);

// 1 + the number of separators in the header; 0 for an empty header.
int32_t HeaderFieldCount(const QString& header, QChar separator);

// What a counting pass learnt about a file.
struct MatrixFileScan {
    QChar Separator = QLatin1Char(' ');
    int32_t FieldCount = 0;   // fields of the header
    int32_t SpeciesCount = 0; // lines after the header up to the first empty line,
                              // counted up to MaximumSize + 1
    // The form of the whole file, in which the reading pass reads it too.
    platform::TextForm Form = platform::TextForm::Utf8;

    int32_t SiteCount() const { return FieldCount - 2; }
    // Both sizes within what the main window accepts (1 to 32767).
    bool SizeAcceptable() const;
};

// The counting pass over an opened file: reads the header and then lines until
// an empty one, the end of the file, or one line more than MaximumSize. Throws
// platform::TextStreamError when the file is empty, holds only its header line
// (a read past the end) or a line too long to read. The form is that of the
// bytes that reading keeps (the header, the species lines and in them the
// header's number of fields), so that bytes the program never keeps, after
// the first empty line or beyond the header's fields, do not make a UTF-8
// file a legacy one.
MatrixFileScan ScanMatrixFile(platform::TextReader& in);

// The reading pass: opens the file again and reads, in scan.Form, the header
// and the scan.SpeciesCount lines after it; field k of line i becomes cell (i, k),
// every text taken unchanged. Fields beyond the header's count are dropped, so
// no cell lies outside the size that the grid is given. Throws
// platform::TextStreamError when the file cannot be opened or has become shorter.
SparseArray ReadMatrixFile(const QString& path, const MatrixFileScan& scan);

// The form in which a matrix is saved: the form of the file it was read from
// (or last saved to) while every stored cell fits it, else UTF-8, which holds
// every character. Decided before anything is written, so that a file never
// holds two forms.
platform::TextForm SaveForm(const SparseArray& matrix, platform::TextForm remembered);

// A size box as the writer reads it: the whole text (blanks around it aside)
// must be a number, rounded to a whole number with halves to the even
// neighbour, within -32768 to 32767; anything else gives nothing.
std::optional<int32_t> WholeNumber(const QString& text);

// Writes rows 0 to rows, each with the cells of columns 0 to cols + 1 (blanks
// as "_", absent cells "0", one blank between fields), then one empty line.
// The sizes are the two boxes' texts, read by WholeNumber; a text that is not
// a number throws MarviskError before anything is written. A failed write
// throws platform::TextStreamError.
void WriteMatrix(platform::TextWriter& out, const SparseArray& matrix, const QString& rowsText,
                 const QString& colsText);

// The part of a path after its last "/" (or "\"); all of it without either.
QString FileNamePart(const QString& path);

// The file a save writes to, given the dialog's answer: every ".txt" (exact
// case) removed from the file name, then ".txt" appended. Folders are left as
// they are. An empty answer gives ".txt", the sign of a cancelled dialog.
QString SaveFileName(const QString& chosen);

// The caption of the matrix frame for a file: "Presence-Absence Matrix: " and
// the file's name without any ".txt".
QString MatrixCaption(const QString& path);

} // namespace MatrixFile
