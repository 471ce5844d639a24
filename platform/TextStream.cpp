#include "platform/TextStream.h"

#include <QFileInfo>

#include <optional>
#include <stdexcept>
#include <utility>

namespace platform {

namespace {
std::string describe(const char* what, const QString& path, const QString& reason) {
    return std::string(what) + " " + path.toLocal8Bit().toStdString() + ": " +
           reason.toLocal8Bit().toStdString();
}
} // namespace

TextWriter::TextWriter(const QString& path) : file_(std::make_unique<FileSave>(path)), path_(path) {
    if (!file_->Open())
        throw TextStreamError(describe("cannot create", path, file_->ErrorString()));
    open_ = true;
}

// Not closed: the save did not finish, and the old file stays.
TextWriter::~TextWriter() = default;

void TextWriter::put(const QByteArray& bytes) {
    if (!open_)
        throw TextStreamError(describe("not open for writing:", path_, QString()));
    text_.append(bytes);
    // A file of any size is written with a piece of text at a time in memory
    // (unless it is written in place, which needs all of it first).
    if (text_.size() >= PieceBytes)
        writePending();
}

// Writes what is gathered in one checked write. A write that fails or falls
// short gives the file up: the old file stays.
void TextWriter::writePending() {
    if (text_.isEmpty())
        return;
    if (!file_->Write(text_)) {
        open_ = false;
        text_.clear();
        throw TextStreamError(describe("cannot write", path_, file_->ErrorString()));
    }
    text_.resize(0); // keeps its room for the next piece
}

void TextWriter::SetForm(TextForm form) {
    if (started_)
        throw std::logic_error("the form of a text file is set before anything is written");
    form_ = form;
}

QByteArray TextWriter::encode(const QString& text) {
    std::optional<QByteArray> bytes = encodeText(text, form_);
    if (!bytes)
        throw TextStreamError(describe("a character does not fit the form of", path_, QString()));
    if (!started_ && form_ == TextForm::Utf8WithMark)
        bytes->prepend(utf8Mark());
    started_ = true;
    return *std::move(bytes);
}

void TextWriter::Write(const QString& text) { put(encode(text)); }

void TextWriter::WriteLine(const QString& text) { put(encode(text) + "\r\n"); }

void TextWriter::Close() {
    if (!open_)
        return;
    writePending();
    text_.clear();
    open_ = false;
    if (!file_->Commit())
        throw TextStreamError(describe("cannot write", path_, file_->ErrorString()));
}

void TextReader::open() {
    // Only a file of bytes on disk: opening a named pipe would wait for a
    // writer that may never come, and a device such as /dev/zero never ends.
    // The check comes before the open so that a pipe is never opened; the
    // second one catches a name replaced in between.
    if (path_.isEmpty() || !QFileInfo(path_).isFile())
        throw TextStreamError(describe("cannot open", path_, QStringLiteral("not a file")));
    if (!file_->open(QIODevice::ReadOnly))
        throw TextStreamError(describe("cannot open", path_, file_->errorString()));
    if (file_->isSequential()) {
        file_->close();
        throw TextStreamError(describe("cannot open", path_, QStringLiteral("not a file")));
    }
}

TextReader::TextReader(const QString& path) : file_(std::make_unique<QFile>(path)), path_(path) {
    open();
    // Once through the file in pieces: the form holds for every line, and a
    // file of any size is judged in a fixed amount of memory.
    TextFormScan scan;
    char piece[64 * 1024];
    for (;;) {
        const qint64 read = file_->read(piece, sizeof piece);
        if (read < 0) {
            const QString reason = file_->errorString();
            file_->close();
            throw TextStreamError(describe("cannot read", path_, reason));
        }
        if (read == 0)
            break;
        scan.add(QByteArrayView(piece, read));
    }
    form_ = scan.form();
    skipMark();
}

TextReader::TextReader(const QString& path, TextForm form)
    : file_(std::make_unique<QFile>(path)), path_(path), form_(form) {
    open();
    skipMark();
}

void TextReader::skipMark() {
    if (!file_->seek(0)) {
        const QString reason = file_->errorString();
        file_->close();
        throw TextStreamError(describe("cannot read", path_, reason));
    }
    const qint64 mark = utf8Mark().size();
    if (form_ == TextForm::Utf8WithMark && file_->peek(mark) == utf8Mark())
        file_->skip(mark);
}

bool TextReader::AtEndOfStream() const { return !file_->isOpen() || file_->atEnd(); }

QString TextReader::ReadLine() { return decodeText(ReadLineBytes(), form_); }

QByteArray TextReader::ReadLineBytes() {
    if (AtEndOfStream())
        throw TextStreamError(describe("read past the end of", path_, QString()));
    // Read in pieces, so that a short line costs no more than its length,
    // until the line feed or until the line cannot fit any more (the longest
    // line and its CR LF). Each piece leaves room for readLine's closing zero.
    QByteArray line;
    char piece[16 * 1024];
    while (!line.endsWith('\n') && line.size() <= MaximumLineBytes + 2) {
        const qint64 read = file_->readLine(piece, sizeof piece);
        if (read <= 0)
            break;
        line.append(piece, read);
    }
    const bool ended = line.endsWith('\n');
    if (ended) {
        line.chop(1);
        if (line.endsWith('\r'))
            line.chop(1);
    }
    if (line.size() > MaximumLineBytes)
        throw TextStreamError(describe("line too long in", path_, QString()));
    if (!ended && !file_->atEnd())
        throw TextStreamError(describe("cannot read", path_, file_->errorString()));
    return line;
}

void TextReader::Close() { file_->close(); }

} // namespace platform
