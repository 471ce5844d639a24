// The forms of text files: judging a file from pieces of any size, and the
// Windows-1252 and UTF-8 conversions. Byte values are those of the published
// Windows-1252 table and of the UTF-8 encoding rules, worked by hand.

#include "platform/TextForm.h"

#include <QByteArray>
#include <QString>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <string>

namespace {

using platform::TextForm;

struct ScanCase {
    const char* name;
    QByteArray bytes;
    TextForm form;
};

void PrintTo(const ScanCase& c, std::ostream* os) { *os << c.name; }

class Judged : public ::testing::TestWithParam<ScanCase> {};

// Whatever the pieces a file is read in, the same form: characters, runs of
// ASCII and the mark may all be cut at any byte.
TEST_P(Judged, TheSameInPiecesOfAnySize) {
    const QByteArray& bytes = GetParam().bytes;
    for (qsizetype size : {qsizetype(1), qsizetype(2), qsizetype(3), qsizetype(5), qsizetype(9), bytes.size() + 1}) {
        platform::TextFormScan scan;
        for (qsizetype at = 0; at < bytes.size(); at += size)
            scan.add(bytes.mid(at, size));
        EXPECT_EQ(scan.form(), GetParam().form) << "pieces of " << size;
    }
}

const QByteArray Ascii("Species Guild Site1 Site2\r\nSp1 A 1 0\r\n");

INSTANTIATE_TEST_SUITE_P(
    Files, Judged,
    ::testing::Values(ScanCase{"Nothing", QByteArray(), TextForm::Utf8},
                      ScanCase{"Ascii", Ascii, TextForm::Utf8},
                      ScanCase{"Names", Ascii + "H\xc3\xa4stholmen \xc5\x81\xc3\xb3" "d\xc5\xba \xe7\xab\x99 \xf0\x9f\x90\xa6" + Ascii,
                               TextForm::Utf8},
                      ScanCase{"LargestCharacter", QByteArray("\xf4\x8f\xbf\xbf"), TextForm::Utf8},
                      ScanCase{"Mark", "\xef\xbb\xbf" + Ascii, TextForm::Utf8WithMark},
                      ScanCase{"MarkAfterAByte", "a\xef\xbb\xbf" + Ascii, TextForm::Utf8},
                      ScanCase{"HalfAMark", QByteArray("\xef\xbb"), TextForm::Windows1252},
                      ScanCase{"MarkThenLegacy", "\xef\xbb\xbf" + Ascii + "\xe9", TextForm::Windows1252},
                      ScanCase{"LegacyAfterAsciiRuns", Ascii + Ascii + "caf\xe9" + Ascii, TextForm::Windows1252},
                      ScanCase{"CutCharacterAtTheEnd", Ascii + "\xe7\xab", TextForm::Windows1252},
                      ScanCase{"AsciiInsideACharacter", Ascii + "\xe7" "abcdefgh" "\xab\x99", TextForm::Windows1252},
                      ScanCase{"Overlong", Ascii + "\xe0\x80\xaf", TextForm::Windows1252},
                      ScanCase{"Surrogate", Ascii + "\xed\xbf\xbf", TextForm::Windows1252},
                      ScanCase{"LastBelowSurrogates", Ascii + "\xed\x9f\xbf", TextForm::Utf8},
                      ScanCase{"BeyondTheLargest", Ascii + "\xf4\x90\x80\x80", TextForm::Windows1252},
                      ScanCase{"ShortestFourBytes", Ascii + "\xf0\x90\x80\x80", TextForm::Utf8},
                      ScanCase{"OverlongFourBytes", Ascii + "\xf0\x8f\xbf\xbf", TextForm::Windows1252}),
    [](const auto& info) { return std::string(info.param.name); });

// Every byte is one character and comes back as itself, the five undefined
// bytes included.
TEST(Windows1252, EveryByteComesBack) {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes += char(b);
    const QString text = platform::decodeText(bytes, TextForm::Windows1252);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text[0x80], QChar(0x20AC));
    EXPECT_EQ(text[0x8A], QChar(0x0160));
    EXPECT_EQ(text[0x99], QChar(0x2122));
    for (int b : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(text[b], QChar(b)) << b;
    EXPECT_EQ(text[0xDF], QChar(0xDF));
    EXPECT_TRUE(platform::fitsTextForm(text, TextForm::Windows1252));
    EXPECT_EQ(platform::encodeText(text, TextForm::Windows1252), std::optional<QByteArray>(bytes));
}

struct FitCase {
    const char* name;
    QString text;
    bool fitsWindows1252;
};

void PrintTo(const FitCase& c, std::ostream* os) { *os << c.name; }

class Fits : public ::testing::TestWithParam<FitCase> {};

// A text outside the legacy code page is refused, never written with "?";
// UTF-8 takes every text.
TEST_P(Fits, TheLegacyCodePageOnlyWithItsOwnCharacters) {
    const FitCase& c = GetParam();
    EXPECT_EQ(platform::fitsTextForm(c.text, TextForm::Windows1252), c.fitsWindows1252);
    EXPECT_EQ(platform::encodeText(c.text, TextForm::Windows1252).has_value(), c.fitsWindows1252);
    EXPECT_TRUE(platform::fitsTextForm(c.text, TextForm::Utf8));
    EXPECT_TRUE(platform::fitsTextForm(c.text, TextForm::Utf8WithMark));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Fits,
    ::testing::Values(FitCase{"Ascii", QStringLiteral("Sp_1 --- 1"), true},
                      FitCase{"EuroAndSharpS", QString::fromUtf8("\u20ac Stra\u00dfe"), true},
                      FitCase{"Polish", QString::fromUtf8("\u0141\u00f3d\u017a"), false},
                      FitCase{"Chinese", QString::fromUtf8("\u7ad9"), false},
                      // 80 is the euro sign there, so the control character 80 has no byte.
                      FitCase{"ControlWithoutAByte", QString(QChar(0x80)), false},
                      FitCase{"LoneSurrogate", QString(QChar(0xD800)), false}),
    [](const auto& info) { return std::string(info.param.name); });

struct Utf8Case {
    const char* name;
    QString text;
    QByteArray bytes;
};

void PrintTo(const Utf8Case& c, std::ostream* os) { *os << c.name; }

class Utf8Bytes : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Bytes, AreWrittenWithoutAMark) {
    EXPECT_EQ(platform::encodeText(GetParam().text, TextForm::Utf8), std::optional<QByteArray>(GetParam().bytes));
    EXPECT_EQ(platform::encodeText(GetParam().text, TextForm::Utf8WithMark), std::optional<QByteArray>(GetParam().bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf8Bytes,
    ::testing::Values(Utf8Case{"Names", QString::fromUtf8("\u0141\u00f3d\u017a \u7ad9"),
                               QByteArray("\xc5\x81\xc3\xb3" "d\xc5\xba \xe7\xab\x99")},
                      Utf8Case{"Pair", QString::fromUtf8("\U0001F426"), QByteArray("\xf0\x9f\x90\xa6")},
                      Utf8Case{"Nul", QString(QChar(0)) + u'a', QByteArray("\0a", 2)},
                      // Half a pair is no character: the replacement character, never "?".
                      Utf8Case{"LoneHighSurrogate", QString(QChar(0xD83D)) + u'a', QByteArray("\xef\xbf\xbd" "a")},
                      Utf8Case{"LoneLowSurrogate", u'a' + QString(QChar(0xDC26)), QByteArray("a\xef\xbf\xbd")},
                      Utf8Case{"SwappedPair", QString(QChar(0xDC26)) + QChar(0xD83D),
                               QByteArray("\xef\xbf\xbd\xef\xbf\xbd")}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
