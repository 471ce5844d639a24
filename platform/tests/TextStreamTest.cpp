// 8-bit text files: what the writer puts on disk byte for byte, how the
// reader splits lines, and that a failed save leaves the old file alone.

#include "platform/TextStream.h"
#include "platform/tests/FileSizeLimit.h"
#include "platform/tests/LockedFolder.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
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

    QByteArray contents(const QString& name) const {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }

    void put(const QString& name, const QByteArray& bytes) const {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

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

TEST_F(TextStreamTest, TextIsWrittenAsLatin1WithoutByteOrderMark) {
    TextWriter writer(path("latin.txt"));
    writer.Write(QString::fromLatin1("Espa\xf1" "a \xe9t\xe9"));
    writer.Close();
    EXPECT_EQ(contents("latin.txt"), QByteArray("Espa\xf1" "a \xe9t\xe9"));
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
        ReadCase{"BinaryBytesAreRead", QByteArray("\x00\x01\xff\x80\r\n\x00", 7),
                 {QString::fromLatin1(QByteArray("\x00\x01\xff\x80", 4)),
                  QString::fromLatin1(QByteArray("\x00", 1))}}),
    [](const auto& info) { return std::string(info.param.name); });

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

} // namespace
