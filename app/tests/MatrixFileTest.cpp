// The window-free half of matrix text files: splitting lines, choosing the
// separator, the writer's format and size boxes, the counting and reading
// passes, and the name rules. Expected texts and cells are worked by hand from
// the file format (one line per matrix row, "_" for a blank, one empty line at
// the end, the separator taken from the header).

#include "app/MatrixFile.h"

#include "analysis/MarviskError.h"
#include "platform/TextStream.h"
#include "tests/support/TestFiles.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <clocale>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using testfiles::bytesOf;

using namespace MatrixFile;

// "<absent>" marks a cell that must not be stored at all.
const QString Absent = QStringLiteral("<absent>");

QString cellOrAbsent(const SparseArray& m, int32_t row, int32_t col) {
    const QString key = QString::number(row) + u',' + QString::number(col);
    return m.sKeys().contains(key) ? m.sValue(row, col) : Absent;
}

// ---- SplitLine -------------------------------------------------------------

struct SplitCase {
    const char* line;
    char separator;
    std::vector<const char*> fields; // field k at (k, 0); "<absent>" for a "0"
};

class SplitLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitLineTest, StoresFieldKAtRowK) {
    const SplitCase& c = GetParam();
    const SparseArray fields = SplitLine(QString::fromLatin1(c.line), QLatin1Char(c.separator));
    int stored = 0;
    for (size_t k = 0; k < c.fields.size(); ++k) {
        EXPECT_EQ(cellOrAbsent(fields, int32_t(k), 0), QString::fromLatin1(c.fields[k])) << "field " << k;
        stored += QString::fromLatin1(c.fields[k]) != Absent;
    }
    EXPECT_EQ(fields.sKeys().size(), stored) << "no field beyond the expected ones";
}

INSTANTIATE_TEST_SUITE_P(
    Fields, SplitLineTest,
    ::testing::Values(SplitCase{"Species Guild Site1", ' ', {"Species", "Guild", "Site1"}},
                      SplitCase{"a  b", ' ', {"a", "", "b"}},
                      SplitCase{" a", ' ', {"", "a"}},
                      SplitCase{"a,", ',', {"a", ""}},
                      SplitCase{"", ' ', {""}},
                      SplitCase{"no separator here", ',', {"no separator here"}},
                      SplitCase{"Sp1,0,1", ',', {"Sp1", "<absent>", "1"}},
                      SplitCase{"x\ty z\t", '\t', {"x", "y z", ""}},
                      SplitCase{" 0,00", ',', {" 0", "00"}}));

// ---- separator and header --------------------------------------------------

struct SeparatorCase {
    const char* header;
    char separator;
    int32_t fields;
};

class SeparatorTest : public ::testing::TestWithParam<SeparatorCase> {};

TEST_P(SeparatorTest, TakenFromTheHeaderAlone) {
    const SeparatorCase& c = GetParam();
    const QString header = QString::fromLatin1(c.header);
    EXPECT_EQ(ChooseSeparator(header), QLatin1Char(c.separator));
    EXPECT_EQ(HeaderFieldCount(header, ChooseSeparator(header)), c.fields);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, SeparatorTest,
    ::testing::Values(SeparatorCase{"Species,Guild,S1,S2", ',', 4},
                      SeparatorCase{"Species\tGuild\tS1", '\t', 3},
                      SeparatorCase{"Species\tGuild,S1\tS2", ',', 2},
                      // a blank-separated header with a comma in a site name
                      SeparatorCase{"Species Guild Site,1 Site2", ',', 2},
                      SeparatorCase{"Species Guild S1 S2 S3", ' ', 5},
                      // an empty first field is counted once, not lowered again
                      SeparatorCase{" Guild S1 S2", ' ', 4},
                      SeparatorCase{"Species", ' ', 1},
                      SeparatorCase{"", ' ', 0}));

// ---- the size boxes as the writer reads them -------------------------------

struct NumberCase {
    const char* text;
    std::optional<int32_t> value;
};

class WholeNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(WholeNumberTest, WholeTextMustBeANumber) {
    EXPECT_EQ(WholeNumber(QString::fromLatin1(GetParam().text)), GetParam().value)
        << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WholeNumberTest,
    ::testing::Values(NumberCase{"25", 25}, NumberCase{" 25 ", 25}, NumberCase{"020", 20},
                      NumberCase{"20.5", 20}, NumberCase{"21.5", 22}, NumberCase{"2.5e1", 25},
                      NumberCase{"1e2", 100}, NumberCase{"1D2", 100}, NumberCase{"&H14", 20},
                      NumberCase{"&o17", 15}, NumberCase{"-3", -3}, NumberCase{"32767", 32767},
                      NumberCase{"abc", std::nullopt}, NumberCase{"", std::nullopt},
                      NumberCase{"2 5", std::nullopt}, NumberCase{"12abc", std::nullopt},
                      NumberCase{"1,000", std::nullopt}, NumberCase{".", std::nullopt},
                      NumberCase{"1e", std::nullopt}, NumberCase{"&H", std::nullopt},
                      NumberCase{"&O8", std::nullopt}, NumberCase{"32768", std::nullopt},
                      NumberCase{"1e400", std::nullopt}));

// The point is "." under any regional setting: a locale whose decimal mark is
// a comma must not cut "21.5" to 21 (it rounds half to even to 22).
TEST(WholeNumberLocale, PointIsAPointUnderACommaLocale) {
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    const char* commaLocale = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8", "de_DE"}) {
        if (std::setlocale(LC_NUMERIC, name) && std::string(std::localeconv()->decimal_point) == ",") {
            commaLocale = name;
            break;
        }
    }
    if (!commaLocale) {
        std::setlocale(LC_NUMERIC, before.c_str());
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    const std::optional<int32_t> fraction = WholeNumber(QStringLiteral("21.5"));
    const std::optional<int32_t> exponent = WholeNumber(QStringLiteral("2.5e1"));
    const std::optional<int32_t> comma = WholeNumber(QStringLiteral("21,5"));
    std::setlocale(LC_NUMERIC, before.c_str());
    EXPECT_EQ(fraction, 22) << commaLocale;
    EXPECT_EQ(exponent, 25) << commaLocale;
    EXPECT_EQ(comma, std::nullopt) << commaLocale;
}

// ---- names -----------------------------------------------------------------

struct NameCase {
    const char* chosen;
    const char* saved;
};

class SaveFileNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(SaveFileNameTest, TxtRemovedFromTheFileNameAndAppended) {
    EXPECT_EQ(SaveFileName(QString::fromLatin1(GetParam().chosen)), QString::fromLatin1(GetParam().saved));
}

INSTANTIATE_TEST_SUITE_P(
    Names, SaveFileNameTest,
    ::testing::Values(NameCase{"m", "m.txt"}, NameCase{"m.txt", "m.txt"}, NameCase{"m.TXT", "m.TXT.txt"},
                      NameCase{"a.txt.b", "a.b.txt"}, NameCase{"/home/u/m.txt", "/home/u/m.txt"},
                      // a folder name holding ".txt" is never touched
                      NameCase{"/home/notes.txt/m", "/home/notes.txt/m.txt"},
                      NameCase{"C:\\data.txt\\a.txt.b", "C:\\data.txt\\a.b.txt"},
                      NameCase{"", ".txt"}));

struct CaptionCase {
    const char* path;
    const char* name;
    const char* caption;
};

class CaptionTest : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(CaptionTest, NameAfterTheLastSeparatorWithoutTxt) {
    EXPECT_EQ(FileNamePart(QString::fromLatin1(GetParam().path)), QString::fromLatin1(GetParam().name));
    EXPECT_EQ(MatrixCaption(QString::fromLatin1(GetParam().path)), QString::fromLatin1(GetParam().caption));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, CaptionTest,
    ::testing::Values(CaptionCase{"C:\\data\\birds.txt", "birds.txt", "Presence-Absence Matrix: birds"},
                      CaptionCase{"/data/birds.txt", "birds.txt", "Presence-Absence Matrix: birds"},
                      CaptionCase{"birds", "birds", "Presence-Absence Matrix: birds"},
                      CaptionCase{"/x.txt/b.txt.c", "b.txt.c", "Presence-Absence Matrix: b.c"},
                      CaptionCase{"/x/m.TXT", "m.TXT", "Presence-Absence Matrix: m.TXT"},
                      CaptionCase{"", "", "Presence-Absence Matrix: "}));

// ---- files -----------------------------------------------------------------

qsizetype TextReaderLimit() { return qsizetype(platform::TextReader::MaximumLineBytes); }

class MatrixFileIo : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

    QString put(const char* name, const QByteArray& bytes) const { return testfiles::put(path(name), bytes); }

    static MatrixFileScan scan(const QString& file) {
        platform::TextReader in(file);
        MatrixFileScan result = ScanMatrixFile(in);
        in.Close();
        return result;
    }

    static QByteArray save(const QString& file, const SparseArray& m, const char* rows, const char* cols) {
        platform::TextWriter out(file);
        WriteMatrix(out, m, QString::fromLatin1(rows), QString::fromLatin1(cols));
        out.Close();
        return bytesOf(file);
    }

    // Two species, three sites: Sp1 --- 1 0 1, Sp2 A 0 1 1.
    static SparseArray twoByThree() {
        SparseArray m;
        const char* cells[3][5] = {{"Species", "Guild", "Site1", "Site2", "Site3"},
                                   {"Sp1", "---", "1", "0", "1"},
                                   {"Sp2", "A", "0", "1", "1"}};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 5; ++c)
                m.sValue(r, c, QString::fromLatin1(cells[r][c]));
        return m;
    }

    QTemporaryDir dir_;
};

TEST_F(MatrixFileIo, WritesOneLinePerRowThenOneEmptyLine) {
    EXPECT_EQ(save(path("m.txt"), twoByThree(), "2", "3"),
              QByteArray("Species Guild Site1 Site2 Site3\r\nSp1 --- 1 0 1\r\nSp2 A 0 1 1\r\n\r\n"));
}

TEST_F(MatrixFileIo, WritesTheSizeOfTheBoxesWithBlanksAsUnderscores) {
    SparseArray m = twoByThree();
    m.sValue(0, 2, QStringLiteral("Site 1"));
    m.sValue(1, 0, QStringLiteral(" Sp 1 "));
    m.sValue(2, 1, QString()); // an empty cell text stays empty
    // 3 rows and 2 sites: a row beyond the matrix reads "0" everywhere, site 3 is left out.
    EXPECT_EQ(save(path("m.txt"), m, "3", "2"),
              QByteArray("Species Guild Site_1 Site2\r\n_Sp_1_ --- 1 0\r\nSp2  0 1\r\n0 0 0 0\r\n\r\n"));
}

TEST_F(MatrixFileIo, ASizeBoxThatIsNotANumberStopsTheWrite) {
    for (const auto& [rows, cols] : {std::pair{"abc", "3"}, std::pair{"2", "abc"}, std::pair{"", "3"}}) {
        platform::TextWriter out(path("m.txt"));
        EXPECT_THROW(WriteMatrix(out, twoByThree(), QString::fromLatin1(rows), QString::fromLatin1(cols)),
                     MarviskError)
            << rows << " " << cols;
    }
}

TEST_F(MatrixFileIo, SavedAndReadAgainGivesTheSameCells) {
    SparseArray m = twoByThree();
    m.sValue(0, 3, QStringLiteral("Site 2"));
    m.sValue(1, 1, QString());
    const QString file = path("round.txt");
    save(file, m, "2", "3");

    const MatrixFileScan s = scan(file);
    EXPECT_EQ(s.Separator, QLatin1Char(' '));
    EXPECT_EQ(s.SpeciesCount, 2);
    EXPECT_EQ(s.SiteCount(), 3);
    EXPECT_TRUE(s.SizeAcceptable());

    const SparseArray back = ReadMatrixFile(file, s);
    const char* expected[3][5] = {{"Species", "Guild", "Site1", "Site_2", "Site3"},
                                  {"Sp1", "", "1", "<absent>", "1"},
                                  {"Sp2", "A", "<absent>", "1", "1"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(cellOrAbsent(back, r, c), QString::fromLatin1(expected[r][c])) << r << "," << c;
    EXPECT_EQ(back.sKeys().size(), 13);
}

struct ReadCase {
    const char* name;
    QByteArray bytes;
    int32_t species;
    int32_t sites;
    std::vector<std::vector<const char*>> rows; // expected cells of rows 0.., "<absent>" for none
};

class ReadPassTest : public MatrixFileIo, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadPassTest, CountsAndReadsTheRows) {
    const ReadCase& c = GetParam();
    const QString file = put("read.txt", c.bytes);
    const MatrixFileScan s = scan(file);
    EXPECT_EQ(s.SpeciesCount, c.species);
    EXPECT_EQ(s.SiteCount(), c.sites);
    const SparseArray m = ReadMatrixFile(file, s);
    int stored = 0;
    for (size_t r = 0; r < c.rows.size(); ++r)
        for (size_t k = 0; k < c.rows[r].size(); ++k) {
            EXPECT_EQ(cellOrAbsent(m, int32_t(r), int32_t(k)), QString::fromLatin1(c.rows[r][k]))
                << "cell " << r << "," << k;
            stored += QString::fromLatin1(c.rows[r][k]) != Absent;
        }
    EXPECT_EQ(m.sKeys().size(), stored) << "no cell beyond the expected ones";
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadPassTest,
    ::testing::Values(
        ReadCase{"CommaSeparated", "Species,Guild,S1,S2\r\nSp1,A,1,0\r\n\r\n", 1, 2,
                 {{"Species", "Guild", "S1", "S2"}, {"Sp1", "A", "1", "<absent>"}}},
        ReadCase{"TabSeparatedWithLineFeedsOnly", "Species\tGuild\tS 1\nSp 1\tA\t1\nSp2\tB\t1\n", 2, 1,
                 {{"Species", "Guild", "S 1"}, {"Sp 1", "A", "1"}, {"Sp2", "B", "1"}}},
        ReadCase{"LastLineWithoutLineEnd", "Species Guild S1\r\nSp1 A 1\r\nSp2 B 1", 2, 1,
                 {{"Species", "Guild", "S1"}, {"Sp1", "A", "1"}, {"Sp2", "B", "1"}}},
        ReadCase{"EndsWithoutAnEmptyLine", "Species Guild S1\r\nSp1 A 1\r\n", 1, 1,
                 {{"Species", "Guild", "S1"}, {"Sp1", "A", "1"}}},
        // Two blanks make an empty field and shift the rest one column right;
        // the field pushed beyond the header's count is dropped.
        ReadCase{"TwoBlanksMakeAnEmptyField", "Species Guild S1 S2\r\nSp1  A 1\r\nSp2 B 1  1\r\n\r\n", 2, 2,
                 {{"Species", "Guild", "S1", "S2"}, {"Sp1", "", "A", "1"}, {"Sp2", "B", "1", ""}}},
        // Short lines leave the rest of their row absent, the guild too.
        ReadCase{"ShortLines", "Species Guild S1 S2\r\nSp1 A\r\nSp2\r\n\r\n", 2, 2,
                 {{"Species", "Guild", "S1", "S2"}, {"Sp1", "A"}, {"Sp2"}}},
        // Everything after the first empty line is ignored.
        ReadCase{"StopsAtTheFirstEmptyLine", "Species Guild S1\r\nSp1 A 1\r\n\r\nSp2 B 1\r\n", 1, 1,
                 {{"Species", "Guild", "S1"}, {"Sp1", "A", "1"}, {"<absent>", "<absent>", "<absent>"}}},
        // A line of blanks is not empty: a species row of empty texts.
        ReadCase{"ALineOfBlanksIsARow", "Species Guild S1\r\n  \r\nSp2 B 1\r\n", 2, 1,
                 {{"Species", "Guild", "S1"}, {"", "", ""}, {"Sp2", "B", "1"}}},
        // An empty species heading written by the writer is read back with all sites.
        ReadCase{"EmptyFirstHeading", " Guild S1 S2\r\nSp1 A 1 1\r\n\r\n", 1, 2,
                 {{"", "Guild", "S1", "S2"}, {"Sp1", "A", "1", "1"}}},
        // Bytes above 127 are characters of their own, read unchanged.
        ReadCase{"EightBitText", QByteArray("Esp\xe8" "ce Guild S\xe9\r\nSp1 A 1\r\n"), 1, 1,
                 {{"Esp\xe8" "ce", "Guild", "S\xe9"}, {"Sp1", "A", "1"}}}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST_F(MatrixFileIo, AnEmptyFileOrAHeaderAloneFailsTheCount) {
    for (const QByteArray& bytes : {QByteArray(), QByteArray("Species Guild S1\r\n"), QByteArray("Species Guild S1")}) {
        const QString file = put("short.txt", bytes);
        platform::TextReader in(file);
        EXPECT_THROW(ScanMatrixFile(in), platform::TextStreamError) << bytes.constData();
    }
}

TEST_F(MatrixFileIo, AHeaderFollowedByAnEmptyLineHasNoSpecies) {
    const MatrixFileScan s = scan(put("none.txt", "Species Guild S1\r\n\r\n"));
    EXPECT_EQ(s.SpeciesCount, 0);
    EXPECT_FALSE(s.SizeAcceptable());
}

TEST_F(MatrixFileIo, SizesBeyondTheGridAreRefusedBeforeReading) {
    // 32768 sites: one field too many.
    QByteArray header = "Species Guild";
    for (int s = 1; s <= 32768; ++s)
        header += " S";
    MatrixFileScan s = scan(put("wide.txt", header + "\r\nSp1 A 1\r\n"));
    EXPECT_EQ(s.SiteCount(), 32768);
    EXPECT_FALSE(s.SizeAcceptable());

    // 32767 sites pass.
    header.chop(2);
    s = scan(put("wide.txt", header + "\r\nSp1 A 1\r\n"));
    EXPECT_EQ(s.SiteCount(), 32767);
    EXPECT_TRUE(s.SizeAcceptable());
}

// The count needs to go no further than one row beyond the largest size:
// what follows, even a line too long to read, is never looked at.
TEST_F(MatrixFileIo, TheCountStopsOneRowBeyondTheLargestSize) {
    QByteArray rows = "Species Guild S1\r\n";
    for (int r = 1; r <= 32768; ++r)
        rows += "Sp A 1\r\n";
    const QString file = put("tall.txt", rows + QByteArray(TextReaderLimit() + 1, 'x') + "\r\n");
    const MatrixFileScan s = scan(file);
    EXPECT_EQ(s.SpeciesCount, 32768);
    EXPECT_FALSE(s.SizeAcceptable());
}

TEST_F(MatrixFileIo, AVeryLongLineKeepsOnlyTheFieldsOfTheHeader) {
    // A data line of 6 MB of one-character fields in a file of one site.
    QByteArray line = "Sp1 A";
    line.reserve(6 * 1024 * 1024 + 16);
    while (line.size() < 6 * 1024 * 1024)
        line += " 1";
    const QString file = put("long.txt", "Species Guild S1\r\n" + line + "\r\n");
    const MatrixFileScan s = scan(file);
    EXPECT_EQ(s.SpeciesCount, 1);
    const SparseArray m = ReadMatrixFile(file, s);
    EXPECT_EQ(m.sKeys().size(), 6);
    EXPECT_EQ(m.sValue(1, 2), QStringLiteral("1"));
}

struct FormCase {
    const char* name;
    QByteArray bytes;
    platform::TextForm form;
};

void PrintTo(const FormCase& c, std::ostream* os) { *os << c.name; }

class FormOfTheKeptBytes : public MatrixFileIo, public ::testing::WithParamInterface<FormCase> {};

// The form is judged on the header, the species lines up to the first empty
// line and, in those, the fields that the header counts: the bytes that
// reading keeps. E9 is a stray Windows-1252 byte in a file of UTF-8 names.
TEST_P(FormOfTheKeptBytes, DecidesTheFormOfTheFile) {
    EXPECT_EQ(scan(put("form.txt", GetParam().bytes)).Form, GetParam().form);
}

INSTANTIATE_TEST_SUITE_P(
    Scan, FormOfTheKeptBytes,
    ::testing::Values(
        FormCase{"StrayByteAfterTheFirstEmptyLine", "Species Guild Sp\xc3\xa9" "cies\r\nSp1 A 1\r\n\r\nnote caf\xe9\r\n",
                 platform::TextForm::Utf8},
        FormCase{"StrayByteBeyondTheHeadersFields", "Species Guild Sp\xc3\xa9" "cies\r\nSp1 A 1 caf\xe9\r\n\r\n",
                 platform::TextForm::Utf8},
        FormCase{"StrayByteBeyondTheHeadersFieldsOfACommaFile", "Species,Guild,S\xc3\xa9\r\nSp1,A,1,\xe9,\r\n\r\n",
                 platform::TextForm::Utf8},
        FormCase{"StrayByteAfterTheFirstEmptyLineOfAMarkedFile",
                 "\xef\xbb\xbfSpecies Guild Sp\xc3\xa9" "cies\r\nSp1 A 1\r\n\r\n\xe9\r\n", platform::TextForm::Utf8WithMark},
        // A separator just before the stray byte: the empty field before it
        // is the last one kept.
        FormCase{"StrayByteBeyondAnEmptyLastField", "Species Guild S\xc3\xa9\r\nSp1 A  \xe9\r\n\r\n",
                 platform::TextForm::Utf8},
        FormCase{"StrayByteInAKeptField", "Species Guild Sp\xc3\xa9" "cies\r\nSp\xe9 A 1\r\n\r\n",
                 platform::TextForm::Windows1252},
        FormCase{"StrayByteInTheHeader", "Species Guild Sp\xe9" "cies\r\nSp1 A 1\r\n\r\n", platform::TextForm::Windows1252},
        // A character cut off by the separator that ends the last field kept.
        FormCase{"CharacterCutByTheLastKeptSeparator", "Species Guild S\r\nSp1 A 1\xc3 \xa9\r\n\r\n",
                 platform::TextForm::Windows1252},
        FormCase{"StrayByteOnALastLineWithoutEmptyLine", "Species Guild S\xc3\xa9\r\nSp1 A \xe9", platform::TextForm::Windows1252}),
    [](const ::testing::TestParamInfo<FormCase>& info) { return std::string(info.param.name); });

} // namespace
