#pragma once
// The forms in which a text file holds its characters as bytes, and the
// conversions between them and the program's text. A file in UTF-8 is read
// as UTF-8; any other file is a legacy 8-bit file in Windows-1252, where every
// byte is one character, so that no byte is ever lost and a file read and
// written again comes back byte for byte.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

namespace platform {

enum class TextForm {
    Utf8,         // UTF-8 without a byte-order mark
    Utf8WithMark, // UTF-8 that begins with the byte-order mark EF BB BF
    Windows1252,  // every byte one character of Windows-1252
};

// Learns the form of a file from its bytes, given in pieces of any size in
// file order, so that a file of any length is judged in a fixed amount of
// memory. A file is UTF-8 only when all of it is: well-formed sequences of
// the shortest form, no encoded surrogate, nothing beyond U+10FFFF, and no
// character cut off at its end.
class TextFormScan {
public:
    void add(QByteArrayView piece);
    // The form of the bytes added so far, taken as the whole file.
    TextForm form() const;

private:
    qsizetype seen_ = 0;     // bytes added so far
    bool markSeen_ = false;  // the first bytes are EF BB BF
    bool utf8_ = true;       // no byte so far breaks UTF-8
    int pending_ = 0;        // continuation bytes still due
    unsigned char low_ = 0x80;  // the range the next continuation byte must lie in
    unsigned char high_ = 0xBF;
};

// The characters of bytes in the given form. Bytes of a UTF-8 form are taken
// as UTF-8 throughout: a byte-order mark among them is the character U+FEFF
// (the reader skips the one that marks the file). In Windows-1252 the five
// bytes that the code page leaves undefined (81, 8D, 8F, 90, 9D) are the
// control characters of the same numbers, so they too come back.
QString decodeText(QByteArrayView bytes, TextForm form);

// True when every character of text can be written in the form: always for
// UTF-8, only the characters of Windows-1252 for that code page.
bool fitsTextForm(QStringView text, TextForm form);

// The bytes of text in the form, without any byte-order mark; nothing when a
// character does not fit the form. Half of a surrogate pair, which no file
// and no keyboard gives, cannot be written as itself: UTF-8 holds U+FFFD in
// its place.
std::optional<QByteArray> encodeText(QStringView text, TextForm form);

// The UTF-8 byte-order mark.
inline QByteArrayView utf8Mark() { return QByteArrayView("\xEF\xBB\xBF", 3); }

} // namespace platform
