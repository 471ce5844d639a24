#pragma once
// Text files in the system's code page, UTF-8, with the legacy 8-bit files
// of Windows-1252 read and written as they are (see TextForm.h). Failures are
// thrown as TextStreamError.

#include "platform/FileSave.h"
#include "platform/TextForm.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>
#include <stdexcept>
#include <string>

namespace platform {

class TextStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes a text file that replaces the file at path only when Close succeeds:
// the text goes to a temporary file beside it, renamed into place at Close, so
// a save that fails half-way (or a writer destroyed without Close) leaves any
// old file as it was. Where the folder takes no new file but the file at path
// can be written, the file itself is written in place at Close, the whole text
// held in memory until then; a failed save leaves it as it was there too (see
// FileSave).
class TextWriter {
public:
    // Creates the temporary file, or opens the file itself where no temporary
    // file can be made; throws when neither can be done.
    explicit TextWriter(const QString& path);
    ~TextWriter();
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    // The form of the file: UTF-8 without a mark unless set before the first
    // Write or WriteLine (setting it later is a programming error). With the
    // mark, the file begins with it.
    void SetForm(TextForm form);
    TextForm Form() const { return form_; }

    // The text alone. A character that the form cannot hold throws, and
    // nothing of that text is written: callers choose the form for the whole
    // file first, so that no file holds two forms.
    void Write(const QString& text);
    // The text, then CR LF.
    void WriteLine(const QString& text = QString());
    // Writes everything out and puts the file in place; throws on failure.
    void Close();

private:
    // The bytes of text in the file's form, the mark first if it is due.
    QByteArray encode(const QString& text);
    TextForm form_ = TextForm::Utf8;
    bool started_ = false; // something has been written, the mark included

    // What is gathered before it goes to the file in one write.
    static constexpr qsizetype PieceBytes = 64 * 1024;

    void put(const QByteArray& bytes);
    void writePending();

    std::unique_ptr<FileSave> file_;
    bool open_ = false; // neither closed nor given up
    QString path_;
    QByteArray text_; // written but not yet on disk: less than a piece
};

// Reads a text file line by line. A line ends at LF; a CR just before the LF
// belongs to the line end. The last line may lack a line end. Lines of up to
// MaximumLineBytes are read whole; any bytes are accepted. The whole file is
// read in one form: UTF-8 when all of it is UTF-8 (a mark at its start is
// no part of the first line), else Windows-1252.
class TextReader {
public:
    // Far beyond any line of text a person writes (a header of 32767 site
    // names of a thousand characters each fits), yet a file of gigabytes
    // without a line feed, such as a disk image, fails here instead of being
    // held in memory whole.
    static constexpr qint64 MaximumLineBytes = qint64(64) * 1024 * 1024;

    // Opens an existing file and learns its form by reading it once through
    // in pieces; throws when it cannot, or when the path names a folder, a
    // pipe or a device rather than a file.
    explicit TextReader(const QString& path);
    // Opens an existing file that is read in the given form, as learnt by an
    // earlier reader of the same file: a file read in several passes is read
    // in one form throughout.
    TextReader(const QString& path, TextForm form);
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;

    // True once the last line has been read (at once for an empty file).
    bool AtEndOfStream() const;
    // The form in which the lines are read.
    TextForm Form() const { return form_; }
    // The next line without its line end; throws at the end of the file and
    // for a line longer than MaximumLineBytes.
    QString ReadLine();
    // The same line as its bytes in the file, undecoded.
    QByteArray ReadLineBytes();
    void Close();

private:
    void open();
    // Starts reading at the first character: after the mark, if there is one.
    void skipMark();

    std::unique_ptr<QFile> file_;
    QString path_;
    TextForm form_ = TextForm::Utf8;
};

} // namespace platform
