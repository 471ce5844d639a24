// Text files: what the writer puts on disk byte for byte in each form, how
// the reader splits lines and learns the form of a whole file, and that a
// failed save leaves the old file alone.

#include "platform/TextStream.h"
#include "platform/tests/FileSizeLimit.h"
#include "platform/tests/LockedFolder.h"
#include "tests/support/TestFiles.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using platform::TextReader;
using platform::TextStreamError;
using platform::TextWriter;

class TextStreamTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }

    QByteArray contents(const QString& name) const { return testfiles::bytesOf(path(name)); }
    void put(const QString& name, const QByteArray& bytes) const { testfiles::put(path(name), bytes); }

    QStringList readAll(const QString& name) const {
        TextReader reader(path(name));
        QStringList lines;
        while (!reader.AtEndOfStream())
            lines.append(reader.ReadLine());
        reader.Close();
        return lines;
    }

    QTemporaryDir dir;
};

TEST_F(TextStreamTest, WriteLineEndsWithCrLfAndWriteAddsNothing) {
    TextWriter writer(path("out.txt"));
    writer.WriteLine(QStringLiteral("Species Guild Site1"));
    writer.Write(QStringLiteral("Sp1 --- 1"));
    writer.Write(QStringLiteral(" 0"));
    writer.WriteLine();
    writer.WriteLine(QString());
    writer.Write(QStringLiteral("last"));
    writer.Close();
    EXPECT_EQ(contents("out.txt"), QByteArray("Species Guild Site1\r\nSp1 --- 1 0\r\n\r\nlast"));
}

struct WriteCase {
    const char* name;
    std::optional<platform::TextForm> form; // nothing: the form a writer starts with
    QByteArray bytes;
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class Written : public TextStreamTest, public ::testing::WithParamInterface<WriteCase> {};

// Two writes and a line: the mark, where there is one, comes once, first.
TEST_P(Written, HoldsTheTextInItsForm) {
    TextWriter writer(path("form.txt"));
    if (GetParam().form)
        writer.SetForm(*GetParam().form);
    writer.Write(QString::fromUtf8("Espa\u00f1a "));
    writer.WriteLine(QString::fromUtf8("\u00e9t\u00e9 \u20ac\u0081"));
    writer.Write(QStringLiteral("end"));
    writer.Close();
    EXPECT_EQ(contents("form.txt"), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    TextWriter, Written,
    ::testing::Values(
        WriteCase{"Utf8WithoutMarkAtFirst", std::nullopt,
                  QByteArray("Espa\xc3\xb1" "a \xc3\xa9t\xc3\xa9 \xe2\x82\xac\xc2\x81\r\nend")},
        WriteCase{"Utf8WithMark", platform::TextForm::Utf8WithMark,
                  QByteArray("\xef\xbb\xbf" "Espa\xc3\xb1" "a \xc3\xa9t\xc3\xa9 \xe2\x82\xac\xc2\x81\r\nend")},
        WriteCase{"Windows1252", platform::TextForm::Windows1252,
                  QByteArray("Espa\xf1" "a \xe9t\xe9 \x80\x81\r\nend")}),
    [](const auto& info) { return std::string(info.param.name); });

// A file with a mark and nothing but an empty line still begins with it.
TEST_F(TextStreamTest, TheMarkComesBeforeAnEmptyFirstLine) {
    TextWriter writer(path("mark.txt"));
    writer.SetForm(platform::TextForm::Utf8WithMark);
    writer.WriteLine();
    writer.Close();
    EXPECT_EQ(contents("mark.txt"), QByteArray("\xef\xbb\xbf\r\n"));
}

// A character the legacy code page lacks is never written as a stand-in:
// the write fails, and the file gets nothing of that text.
TEST_F(TextStreamTest, ACharacterOutsideTheFormIsRefused) {
    TextWriter writer(path("refused.txt"));
    writer.SetForm(platform::TextForm::Windows1252);
    writer.Write(QStringLiteral("kept "));
    EXPECT_THROW(writer.WriteLine(QString::fromUtf8("\u0141\u00f3d\u017a")), TextStreamError);
    writer.Close();
    EXPECT_EQ(contents("refused.txt"), QByteArray("kept "));
}

// The form is one for the whole file: it cannot change once text is written.
TEST_F(TextStreamTest, TheFormIsSetBeforeTheFirstWrite) {
    TextWriter writer(path("late.txt"));
    writer.WriteLine(QStringLiteral("a"));
    EXPECT_THROW(writer.SetForm(platform::TextForm::Utf8WithMark), std::logic_error);
    EXPECT_EQ(writer.Form(), platform::TextForm::Utf8);
}

TEST_F(TextStreamTest, CreatingReplacesAnExistingFile) {
    put("old.txt", QByteArray("a much longer old content\r\n"));
    TextWriter writer(path("old.txt"));
    writer.Write(QStringLiteral("new"));
    writer.Close();
    EXPECT_EQ(contents("old.txt"), QByteArray("new"));
}

// The save that fails half-way (the writer is given up without Close, as
// when an error unwinds past it) leaves the old file exactly as it was.
TEST_F(TextStreamTest, AnUnfinishedSaveKeepsTheOldFile) {
    put("keep.txt", QByteArray("old\r\n"));
    {
        TextWriter writer(path("keep.txt"));
        writer.WriteLine(QStringLiteral("half of the new file"));
    }
    EXPECT_EQ(contents("keep.txt"), QByteArray("old\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.txt"});
}

// The disk fills while the new file is written, early or just before its
// last bytes: Close fails, the old file stays as it was and nothing is left
// beside it. With room for it all, the same text is saved whole.
TEST_F(TextStreamTest, AWriteThatFailsOnAFullDiskKeepsTheOldFile) {
    const QByteArray line(99, 'x'); // 101 bytes a line with its CR LF
    const auto save = [&] {
        TextWriter writer(path("full.txt"));
        for (int i = 0; i < 40; ++i)
            writer.WriteLine(QString::fromLatin1(line));
        writer.Close();
    };
    put("full.txt", QByteArray("old\r\n"));
    for (const rlim_t room : {rlim_t(512), rlim_t(40 * 101 - 1)}) {
        {
            const platform::testing::FileSizeLimit limit(room);
            ASSERT_TRUE(limit.active());
            EXPECT_THROW(save(), TextStreamError) << room;
        }
        EXPECT_EQ(contents("full.txt"), QByteArray("old\r\n")) << room;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"full.txt"}) << room;
    }
    {
        const platform::testing::FileSizeLimit limit(40 * 101);
        ASSERT_TRUE(limit.active());
        save();
    }
    EXPECT_EQ(contents("full.txt"), (line + "\r\n").repeated(40));
}

// A long text does not wait in memory for Close: it goes to the disk while
// it is written, so a disk that fills fails the write that finds it full, long
// before Close. The old file stays and nothing is left beside it.
TEST_F(TextStreamTest, ADiskThatFillsDuringALongTextFailsTheWrite) {
    put("full.txt", QByteArray("old\r\n"));
    {
        const platform::testing::FileSizeLimit limit(256 * 1024);
        ASSERT_TRUE(limit.active());
        TextWriter writer(path("full.txt"));
        EXPECT_THROW(
            {
                for (int i = 0; i < 20000; ++i)
                    writer.WriteLine(QString(98, u'x'));
            },
            TextStreamError);
    }
    EXPECT_EQ(contents("full.txt"), QByteArray("old\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"full.txt"});
}

// Saving under the name of a link replaces the file it names; the link stays.
TEST_F(TextStreamTest, CreatingThroughALinkReplacesItsFile) {
    put("target.txt", QByteArray("old\r\n"));
    ASSERT_TRUE(QFile::link(path("target.txt"), path("link.txt")));
    TextWriter writer(path("link.txt"));
    writer.Write(QStringLiteral("new"));
    writer.Close();
    EXPECT_TRUE(QFileInfo(path("link.txt")).isSymLink());
    EXPECT_EQ(contents("target.txt"), QByteArray("new"));
}

TEST_F(TextStreamTest, CreatingInAMissingFolderFails) {
    EXPECT_THROW(TextWriter(path("no such folder/out.txt")), TextStreamError);
    EXPECT_THROW(TextWriter{QString()}, TextStreamError);
}

TEST_F(TextStreamTest, CreatingOverAFolderFailsAndKeepsIt) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.txt"));
    bool failed = false;
    try {
        TextWriter writer(path("folder.txt"));
        writer.Write(QStringLiteral("x"));
        writer.Close();
    } catch (const TextStreamError&) {
        failed = true;
    }
    EXPECT_TRUE(failed);
    EXPECT_TRUE(QFileInfo(path("folder.txt")).isDir());
}

struct ReadCase {
    const char* name;
    QByteArray bytes;
    QStringList lines;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class Lines : public TextStreamTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(Lines, AreSplitAtTheLineEnds) {
    put("in.txt", GetParam().bytes);
    EXPECT_EQ(readAll("in.txt"), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    TextReader, Lines,
    ::testing::Values(
        ReadCase{"CrLf", QByteArray("a b\r\nc d\r\n"), {"a b", "c d"}},
        ReadCase{"Lf", QByteArray("a b\nc d\n"), {"a b", "c d"}},
        ReadCase{"Mixed", QByteArray("a\r\nb\nc\r\n"), {"a", "b", "c"}},
        ReadCase{"LastLineWithoutLineEnd", QByteArray("a\r\nlast"), {"a", "last"}},
        ReadCase{"EmptyLinesAreLines", QByteArray("a\r\n\r\n\nb\r\n"), {"a", "", "", "b"}},
        ReadCase{"TheLineEndOfTheLastLineMakesNoExtraLine", QByteArray("\r\n"), {""}},
        ReadCase{"EmptyFileHasNoLine", QByteArray(), {}},
        // A CR that is not followed by LF belongs to the text.
        ReadCase{"LoneCrStaysInTheLine", QByteArray("a\rb\r\nc\r"), {"a\rb", "c\r"}},
        ReadCase{"BlanksAndTabsAreKept", QByteArray("  \t x \r\n"), {"  \t x "}},
        ReadCase{"BytesAreLatin1", QByteArray("Espa\xf1" "a\r\n"), {QString::fromLatin1("Espa\xf1" "a")}},
        // Not UTF-8, so every byte is a Windows-1252 character: 80 is the euro sign.
        ReadCase{"BinaryBytesAreRead", QByteArray("\x00\x01\xff\x80\r\n\x00", 7),
                 {QString::fromLatin1(QByteArray("\x00\x01\xff", 3)) + QChar(0x20AC),
                  QString::fromLatin1(QByteArray("\x00", 1))}}),
    [](const auto& info) { return std::string(info.param.name); });

struct FormCase {
    const char* name;
    QByteArray bytes;
    platform::TextForm form;
    QStringList lines;
};

void PrintTo(const FormCase& c, std::ostream* os) { *os << c.name; }

class FileForm : public TextStreamTest, public ::testing::WithParamInterface<FormCase> {};

// The form is learnt from the whole file and holds for every line of it.
TEST_P(FileForm, IsOneForTheWholeFile) {
    put("in.txt", GetParam().bytes);
    TextReader reader(path("in.txt"));
    EXPECT_EQ(reader.Form(), GetParam().form);
    QStringList lines;
    while (!reader.AtEndOfStream())
        lines.append(reader.ReadLine());
    EXPECT_EQ(lines, GetParam().lines);
}

// Text written as UTF-8 in the source. (fromUtf8 drops a leading U+FEFF, so
// the expected marks are added as characters of their own.)
QString u(const char* utf8) { return QString::fromUtf8(utf8); }

// Longer than the pieces in which the reader judges a file.
const QByteArray ManyX(200000, 'x');

INSTANTIATE_TEST_SUITE_P(
    TextReader, FileForm,
    ::testing::Values(
        FormCase{"Empty", QByteArray(), platform::TextForm::Utf8, {}},
        FormCase{"Ascii", QByteArray("Species Guild\r\n"), platform::TextForm::Utf8, {"Species Guild"}},
        FormCase{"NulBytesAreUtf8", QByteArray("a\0b\r\n", 5), platform::TextForm::Utf8, {QString::fromLatin1(QByteArray("a\0b", 3))}},
        FormCase{"Utf8Names", QByteArray("H\xc3\xa4stholmen \xc5\x81\xc3\xb3" "d\xc5\xba \xe7\xab\x99\r\n"),
                 platform::TextForm::Utf8, {u("H\u00e4stholmen \u0141\u00f3d\u017a \u7ad9")}},
        FormCase{"CharacterBeyondSixteenBits", QByteArray("\xf0\x9f\x90\xa6 x"), platform::TextForm::Utf8,
                 {u("\U0001F426 x")}},
        // Characters cut by the edge of a piece are whole again.
        FormCase{"CharactersAcrossPieces", QByteArray(65535, 'x') + "\xc3\xa4\r\n" + QByteArray(65532, 'y') + "\xf0\x9f\x90\xa6",
                 platform::TextForm::Utf8,
                 {QString(65535, u'x') + u("\u00e4"), QString(65532, u'y') + u("\U0001F426")}},
        FormCase{"Mark", QByteArray("\xef\xbb\xbfSpecies\r\nSp1\r\n"), platform::TextForm::Utf8WithMark,
                 {"Species", "Sp1"}},
        FormCase{"MarkAlone", QByteArray("\xef\xbb\xbf"), platform::TextForm::Utf8WithMark, {}},
        // Only the first mark marks the file; any other is a character.
        FormCase{"TwoMarks", QByteArray("\xef\xbb\xbf\xef\xbb\xbfS"), platform::TextForm::Utf8WithMark,
                 {QChar(0xFEFF) + u("S")}},
        FormCase{"MarkAfterTheStart", QByteArray("a\r\n\xef\xbb\xbf" "b"), platform::TextForm::Utf8,
                 {"a", QChar(0xFEFF) + u("b")}},
        FormCase{"Windows1252", QByteArray("Esp\xe8" "ce Stra\xdf" "e \x80 \x9f\r\n"), platform::TextForm::Windows1252,
                 {u("Esp\u00e8ce Stra\u00dfe \u20ac \u0178")}},
        // The five bytes the code page leaves undefined come back as themselves.
        FormCase{"UndefinedBytesAreControls", QByteArray("\x81\x8d\x8f\x90\x9d"), platform::TextForm::Windows1252,
                 {u("\u0081\u008d\u008f\u0090\u009d")}},
        FormCase{"MarkOfALegacyFile", QByteArray("\xef\xbb\xbf" "caf\xe9"), platform::TextForm::Windows1252,
                 {u("\u00ef\u00bb\u00bf" "caf\u00e9")}},
        // One byte that breaks UTF-8 far into the file makes all of it legacy.
        FormCase{"OneBadByteFarOn", QByteArray("H\xc3\xa4st\r\n") + ManyX + "\r\n\xe9", platform::TextForm::Windows1252,
                 {u("H\u00c3\u00a4st"), QString::fromLatin1(ManyX), u("\u00e9")}},
        FormCase{"CutOffAtTheEnd", QByteArray("ok\xc3"), platform::TextForm::Windows1252, {u("ok\u00c3")}},
        FormCase{"LoneContinuationByte", QByteArray("a\xa9"), platform::TextForm::Windows1252, {u("a\u00a9")}},
        FormCase{"OverlongForm", QByteArray("\xc0\xaf"), platform::TextForm::Windows1252, {u("\u00c0\u00af")}},
        FormCase{"OverlongThreeBytes", QByteArray("\xe0\x9f\xbf"), platform::TextForm::Windows1252,
                 {u("\u00e0\u0178\u00bf")}},
        FormCase{"EncodedSurrogate", QByteArray("\xed\xa0\x80"), platform::TextForm::Windows1252,
                 {u("\u00ed\u00a0\u20ac")}},
        FormCase{"BeyondTheLastCharacter", QByteArray("\xf4\x90\x80\x80"), platform::TextForm::Windows1252,
                 {u("\u00f4\u0090\u20ac\u20ac")}},
        FormCase{"ByteNeverInUtf8", QByteArray("\xf5\x80\x80\x80"), platform::TextForm::Windows1252,
                 {u("\u00f5\u20ac\u20ac\u20ac")}}),
    [](const auto& info) { return std::string(info.param.name); });

// A later pass of the same file is told the form the first pass learnt, and
// reads in that form whatever the bytes; the mark is passed over only when
// the file has one.
TEST_F(TextStreamTest, AGivenFormIsReadAsGiven) {
    put("utf8.txt", QByteArray("\xef\xbb\xbfH\xc3\xa4"));
    put("plain.txt", QByteArray("H\xc3\xa4"));
    const auto firstLine = [&](const char* name, platform::TextForm form) {
        TextReader reader(path(QString::fromLatin1(name)), form);
        EXPECT_EQ(reader.Form(), form);
        return reader.ReadLine();
    };
    EXPECT_EQ(firstLine("utf8.txt", platform::TextForm::Utf8WithMark), u("H\u00e4"));
    EXPECT_EQ(firstLine("utf8.txt", platform::TextForm::Utf8), QChar(0xFEFF) + u("H\u00e4"));
    EXPECT_EQ(firstLine("utf8.txt", platform::TextForm::Windows1252), u("\u00ef\u00bb\u00bfH\u00c3\u00a4"));
    EXPECT_EQ(firstLine("plain.txt", platform::TextForm::Utf8WithMark), u("H\u00e4"));
}

TEST_F(TextStreamTest, LinesOfSeveralMegabytesAreReadWhole) {
    QByteArray longLine(5 * 1024 * 1024, 'x');
    longLine[0] = '1';
    longLine[longLine.size() - 1] = '9';
    put("long.txt", longLine + "\r\n" + longLine + "\r\nend");
    TextReader reader(path("long.txt"));
    for (int i = 0; i < 2; ++i) {
        const QString line = reader.ReadLine();
        ASSERT_EQ(line.size(), longLine.size());
        EXPECT_EQ(line.front(), u'1');
        EXPECT_EQ(line.back(), u'9');
    }
    EXPECT_EQ(reader.ReadLine(), QStringLiteral("end"));
    EXPECT_TRUE(reader.AtEndOfStream());
}

// The longest line is read whole with either line end; one byte more fails,
// and so does a file of zeros without a line feed, without being read whole.
TEST_F(TextStreamTest, LinesBeyondTheLongestFail) {
    const qint64 longest = TextReader::MaximumLineBytes;
    QByteArray line(longest, 'x');
    put("longest.txt", line + "\r\n" + line);
    {
        TextReader reader(path("longest.txt"));
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(reader.ReadLine().size(), longest) << "line " << i;
        EXPECT_TRUE(reader.AtEndOfStream());
    }

    line += 'x';
    for (const QByteArray& bytes : {line + "\n", line}) {
        put("longer.txt", bytes);
        TextReader reader(path("longer.txt"));
        EXPECT_THROW(reader.ReadLine(), TextStreamError) << bytes.size() << " bytes";
    }

    QFile zeros(path("zeros.img"));
    ASSERT_TRUE(zeros.open(QIODevice::WriteOnly));
    ASSERT_TRUE(zeros.resize(qint64(1) << 30)); // sparse: takes next to no room on disk
    zeros.close();
    TextReader reader(path("zeros.img"));
    EXPECT_THROW(reader.ReadLine(), TextStreamError);
}

TEST_F(TextStreamTest, ReadingPastTheEndFails) {
    put("one.txt", QByteArray("only\r\n"));
    TextReader reader(path("one.txt"));
    EXPECT_FALSE(reader.AtEndOfStream());
    EXPECT_EQ(reader.ReadLine(), QStringLiteral("only"));
    EXPECT_TRUE(reader.AtEndOfStream());
    EXPECT_THROW(reader.ReadLine(), TextStreamError);
}

TEST_F(TextStreamTest, OpeningAMissingFileFails) {
    EXPECT_THROW(TextReader(path("missing.txt")), TextStreamError);
    EXPECT_THROW(TextReader{QString()}, TextStreamError);
}

// Only a file of bytes on disk is read: a folder, a named pipe (which would
// wait for a writer that never comes) or a device that never ends fails at
// once instead of blocking or filling memory.
TEST_F(TextStreamTest, OpeningAnythingButAFileFails) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.txt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe.txt")).constData(), 0600), 0);
    for (const QString& notAFile : {path("folder.txt"), path("pipe.txt"), QStringLiteral("/dev/zero")})
        EXPECT_THROW(TextReader{notAFile}, TextStreamError) << notAFile.toStdString();

    // A link to a file is read as the file.
    put("target.txt", QByteArray("linked\r\n"));
    ASSERT_TRUE(QFile::link(path("target.txt"), path("link.txt")));
    EXPECT_EQ(readAll("link.txt"), QStringList{"linked"});
}

TEST_F(TextStreamTest, WrittenLinesReadBack) {
    const QStringList lines{"Species Guild S1", "", "Sp_1 A 1", QString::fromLatin1("\xe9\xff")};
    {
        TextWriter writer(path("round.txt"));
        for (const QString& line : lines)
            writer.WriteLine(line);
        writer.Close();
    }
    EXPECT_EQ(readAll("round.txt"), lines);
}

// ---- a folder that takes no new file ------------------------------------------

struct LockedCase {
    const char* name;
    const char* old; // the file there before the save (nullptr: none)
    mode_t mode;     // its mode
    bool saved;
};

void PrintTo(const LockedCase& c, std::ostream* os) { *os << c.name; }

class InALockedFolder : public ::testing::TestWithParam<LockedCase> {};

// No temporary file can be made beside the file: one the user may write is
// written in place, so it keeps its mode, its owner and its other names; one
// the user may not write, or a new one, cannot be saved, and nothing is left.
TEST_P(InALockedFolder, OnlyAFileTheUserMayWriteIsSavedInPlace) {
    const LockedCase& c = GetParam();
    platform::testing::LockedFolder folder;
    ASSERT_TRUE(folder.isValid());
    const QString file = folder.filePath(QStringLiteral("shared.txt"));
    const QByteArray name = QFile::encodeName(file);
    struct stat before {};
    if (c.old) {
        ASSERT_TRUE(folder.put(QStringLiteral("shared.txt"), c.old));
        // A second name of the same file, which a file put in its place would lose.
        const QByteArray otherName = QFile::encodeName(folder.filePath(QStringLiteral("other name.txt")));
        ASSERT_EQ(::link(name.constData(), otherName.constData()), 0);
        ASSERT_EQ(::chmod(name.constData(), c.mode), 0);
        ASSERT_EQ(::stat(name.constData(), &before), 0);
    }

    const auto run = folder.runAsUser([&] {
        try {
            TextWriter writer(file);
            writer.WriteLine(QStringLiteral("Species Guild S1"));
            writer.Write(QStringLiteral("Sp1 A 1"));
            writer.Close();
            return c.saved ? 0 : 1;
        } catch (const TextStreamError&) {
            return c.saved ? 2 : 0;
        }
    });
    if (!run.made)
        GTEST_SKIP() << run.whyNot;
    EXPECT_EQ(run.code, 0) << "1: saved although it cannot be, 2: not saved";

    QFile saved(file);
    if (!c.old) {
        EXPECT_FALSE(saved.exists());
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
        return;
    }
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray expected = c.saved ? QByteArray("Species Guild S1\r\nSp1 A 1") : QByteArray(c.old);
    EXPECT_EQ(saved.readAll(), expected);
    struct stat after {};
    ASSERT_EQ(::stat(name.constData(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(after.st_nlink, 2u);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"other name.txt", "shared.txt"}));
}

INSTANTIATE_TEST_SUITE_P(
    TextWriter, InALockedFolder,
    ::testing::Values(LockedCase{"WritableLongerFile", "an old text, longer than the new one\r\n", 0644, true},
                      LockedCase{"WritableEmptyFile", "", 0666, true},
                      LockedCase{"ReadOnlyFile", "old\r\n", 0444, false},
                      LockedCase{"NoFile", nullptr, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

// Written in place, the text goes to the file only at Close: a writer given
// up before it leaves the old file as it was.
TEST(InALockedFolder, AnUnfinishedSaveInPlaceKeepsTheOldFile) {
    platform::testing::LockedFolder folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(folder.put(QStringLiteral("shared.txt"), "old\r\n"));
    const auto run = folder.runAsUser([&] {
        TextWriter writer(folder.filePath(QStringLiteral("shared.txt")));
        writer.WriteLine(QString(100000, QLatin1Char('x')));
        return 0;
    });
    if (!run.made)
        GTEST_SKIP() << run.whyNot;
    EXPECT_EQ(run.code, 0);
    QFile saved(folder.filePath(QStringLiteral("shared.txt")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("old\r\n"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"shared.txt"});
}

} // namespace
