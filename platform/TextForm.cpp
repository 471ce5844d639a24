#include "platform/TextForm.h"

#include <QStringDecoder>
#include <array>
#include <cstdint>
#include <cstring>

namespace platform {

namespace {

// The characters of the bytes 80 to 9F in Windows-1252; the five bytes the
// code page leaves undefined stand for the control characters of their own
// numbers.
constexpr std::array<char16_t, 32> Windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

// The Windows-1252 byte of a character, or -1 when the code page has none.
int windows1252Byte(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (std::size_t i = 0; i < Windows1252High.size(); ++i) {
        if (Windows1252High[i] == c)
            return int(0x80 + i);
    }
    return -1;
}

// Eight bytes at once hold only ASCII: most of any matrix file is.
bool eightAscii(const char* bytes) {
    uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return (word & 0x8080808080808080ull) == 0;
}

} // namespace

void TextFormScan::add(QByteArrayView piece) {
    const char* const data = piece.data();
    const qsizetype size = piece.size();
    qsizetype i = 0;
    // The mark may be split between pieces: only the first three bytes of
    // the file count.
    for (; i < size && seen_ + i < 3; ++i)
        markSeen_ = (seen_ + i == 0 || markSeen_) && data[i] == utf8Mark()[seen_ + i];
    i = 0;
    while (utf8_ && i < size) {
        if (pending_ == 0 && i + 8 <= size && eightAscii(data + i)) {
            i += 8;
            continue;
        }
        const auto byte = static_cast<unsigned char>(data[i++]);
        if (pending_ > 0) {
            if (byte < low_ || byte > high_) {
                utf8_ = false;
                break;
            }
            --pending_;
            low_ = 0x80;
            high_ = 0xBF;
            continue;
        }
        if (byte < 0x80)
            continue;
        // A lead byte: how many continuation bytes follow, and the range of
        // the first, which rules out overlong forms, surrogates and numbers
        // beyond U+10FFFF.
        if (byte >= 0xC2 && byte <= 0xDF) {
            pending_ = 1;
        } else if (byte >= 0xE0 && byte <= 0xEF) {
            pending_ = 2;
            if (byte == 0xE0)
                low_ = 0xA0;
            else if (byte == 0xED)
                high_ = 0x9F;
        } else if (byte >= 0xF0 && byte <= 0xF4) {
            pending_ = 3;
            if (byte == 0xF0)
                low_ = 0x90;
            else if (byte == 0xF4)
                high_ = 0x8F;
        } else {
            utf8_ = false;
        }
    }
    seen_ += size;
}

TextForm TextFormScan::form() const {
    if (!utf8_ || pending_ > 0)
        return TextForm::Windows1252;
    return markSeen_ && seen_ >= 3 ? TextForm::Utf8WithMark : TextForm::Utf8;
}

QString decodeText(QByteArrayView bytes, TextForm form) {
    if (form != TextForm::Windows1252) {
        // A mark at the start of the bytes is a character here, not a sign
        // to drop: the reader has already passed the file's own mark.
        QStringDecoder utf8(QStringDecoder::Utf8,
                            QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        return utf8(bytes);
    }
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char b : bytes) {
        const auto byte = static_cast<unsigned char>(b);
        *out++ = QChar(byte >= 0x80 && byte <= 0x9F ? Windows1252High[byte - 0x80] : char16_t(byte));
    }
    return text;
}

bool fitsTextForm(QStringView text, TextForm form) {
    if (form != TextForm::Windows1252)
        return true;
    for (const QChar c : text) {
        if (windows1252Byte(c.unicode()) < 0)
            return false;
    }
    return true;
}

std::optional<QByteArray> encodeText(QStringView text, TextForm form) {
    if (form == TextForm::Windows1252) {
        QByteArray bytes(text.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const int byte = windows1252Byte(text[i].unicode());
            if (byte < 0)
                return std::nullopt;
            bytes[i] = char(byte);
        }
        return bytes;
    }
    if (text.isValidUtf16())
        return text.toUtf8();
    QString whole;
    whole.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            whole += c;
            whole += text[++i];
        } else {
            whole += c.isSurrogate() ? QChar(QChar::ReplacementCharacter) : c;
        }
    }
    return whole.toUtf8();
}

} // namespace platform
