#pragma once
// 8-bit text files: every byte is one character (Latin-1 in and out), no
// byte-order mark. Failures are thrown as TextStreamError.

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
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
// can be written, the file itself is emptied and written in place instead;
// a failed save then leaves it cut short or empty.
class TextWriter {
public:
    // Creates the temporary file, or opens the file itself where no temporary
    // file can be made; throws when neither can be done.
    explicit TextWriter(const QString& path);
    ~TextWriter();
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    // The text alone.
    void Write(const QString& text);
    // The text, then CR LF.
    void WriteLine(const QString& text = QString());
    // Writes everything out and puts the file in place; throws on failure.
    void Close();

private:
    // What is gathered before it goes to the file in one write.
    static constexpr qsizetype PieceBytes = 64 * 1024;

    void put(const QByteArray& bytes);
    void writePending();

    std::unique_ptr<QSaveFile> file_;
    QString path_;
    QByteArray text_; // written but not yet on disk: less than a piece
};

// Reads a text file line by line. A line ends at LF; a CR just before the LF
// belongs to the line end. The last line may lack a line end. Lines of up to
// MaximumLineBytes are read whole; any bytes are accepted.
class TextReader {
public:
    // Far beyond any line of text a person writes (a header of 32767 site
    // names of a thousand characters each fits), yet a file of gigabytes
    // without a line feed, such as a disk image, fails here instead of being
    // held in memory whole.
    static constexpr qint64 MaximumLineBytes = qint64(64) * 1024 * 1024;

    // Opens an existing file; throws when it cannot, or when the path names
    // a folder, a pipe or a device rather than a file.
    explicit TextReader(const QString& path);
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;

    // True once the last line has been read (at once for an empty file).
    bool AtEndOfStream() const;
    // The next line without its line end; throws at the end of the file and
    // for a line longer than MaximumLineBytes.
    QString ReadLine();
    void Close();

private:
    std::unique_ptr<QFile> file_;
    QString path_;
};

} // namespace platform
