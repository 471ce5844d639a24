// Saving an image as a Windows bitmap: a real BMP that reads back equal, and
// a failed save that keeps the old file.

#include "platform/Bitmap.h"
#include "platform/tests/FileSizeLimit.h"
#include "platform/tests/LockedFolder.h"
#include "tests/support/TestFiles.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using testfiles::bytesOf;

using platform::testing::FileSizeLimit;

QImage sample() {
    QImage image(17, 9, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 15, y * 28, (x * y) % 256));
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(16, 8, qRgb(0, 0, 138));
    return image;
}

// A file saved before, with the content "old".
bool putOld(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write("old") == 3;
}

TEST(Bitmap, SavedFileIsABmpThatReadsBackEqual) {
    QTemporaryDir dir;
    const QString path = dir.filePath("chart.bmp");
    ASSERT_TRUE(platform::saveBitmap(sample(), path));
    const QByteArray bytes = bytesOf(path);
    // A Windows bitmap file begins "BM" and records its own size.
    ASSERT_GE(bytes.size(), 54);
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    const quint32 recordedSize = quint8(bytes[2]) | quint8(bytes[3]) << 8 | quint8(bytes[4]) << 16 |
                                 quint32(quint8(bytes[5])) << 24;
    EXPECT_EQ(recordedSize, quint32(bytes.size()));

    QImageReader reader(path);
    EXPECT_EQ(reader.format(), QByteArray("bmp"));
    const QImage back = reader.read();
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), sample());
}

TEST(Bitmap, ReplacesAnExistingFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("chart.bmp");
    ASSERT_TRUE(putOld(path));
    ASSERT_TRUE(platform::saveBitmap(sample(), path));
    EXPECT_EQ(QImage(path, "BMP").convertToFormat(QImage::Format_RGB32), sample());
}

TEST(Bitmap, FailureIsReportedAndKeepsTheOldFile) {
    QTemporaryDir dir;
    EXPECT_FALSE(platform::saveBitmap(sample(), dir.filePath("missing folder/chart.bmp")));
    EXPECT_FALSE(platform::saveBitmap(sample(), QString()));

    const QString path = dir.filePath("kept.bmp");
    ASSERT_TRUE(putOld(path));
    EXPECT_FALSE(platform::saveBitmap(QImage(), path));
    EXPECT_EQ(bytesOf(path), QByteArray("old"));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.bmp"));
    EXPECT_FALSE(platform::saveBitmap(sample(), dir.filePath("folder.bmp")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.bmp"});
}


// The disk fills while the new picture is written: the old file stays as it
// was and nothing is left beside it.
TEST(Bitmap, AWriteThatFailsHalfWayKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("chart.bmp");
    ASSERT_TRUE(putOld(path));
    QImage large(640, 521, QImage::Format_RGB32);
    large.fill(qRgb(0, 0, 138));
    // 54 bytes of headers and 521 rows of 640 * 3 bytes: 1000374 bytes. The
    // disk fills early, or just before the last bytes.
    for (const rlim_t room : {rlim_t(4096), rlim_t(1000374 - 100)}) {
        bool saved = true;
        {
            const FileSizeLimit limit(room);
            ASSERT_TRUE(limit.active());
            saved = platform::saveBitmap(large, path);
        }
        EXPECT_FALSE(saved) << room;
        EXPECT_EQ(bytesOf(path), QByteArray("old")) << room;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  QStringList{"chart.bmp"})
            << room;
    }
    // With room for it all, the same save succeeds.
    {
        const FileSizeLimit limit(1000374);
        ASSERT_TRUE(limit.active());
        EXPECT_TRUE(platform::saveBitmap(large, path));
    }
    EXPECT_EQ(QImage(path, "BMP").convertToFormat(QImage::Format_RGB32), large);
}

// A folder that takes no new file: a picture the user may write is written in
// place, keeping its mode, owner and other names; a read-only one or a new
// one cannot be saved, and nothing is left beside it.
TEST(Bitmap, InAFolderThatTakesNoNewFileOnlyAWritableFileIsSavedInPlace) {
    struct Case {
        const char* name;
        bool old;    // a file is there before the save
        mode_t mode; // its mode
        bool saved;
    } const cases[] = {
        {"writable", true, 0644, true},
        {"read-only", true, 0444, false},
        {"none", false, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::testing::LockedFolder folder;
        ASSERT_TRUE(folder.isValid());
        const QString path = folder.filePath("chart.bmp");
        const QByteArray name = QFile::encodeName(path);
        struct stat before {};
        if (c.old) {
            ASSERT_TRUE(folder.put("chart.bmp", "old"));
            ASSERT_EQ(::link(name.constData(), QFile::encodeName(folder.filePath("copy.bmp")).constData()), 0);
            ASSERT_EQ(::chmod(name.constData(), c.mode), 0);
            ASSERT_EQ(::stat(name.constData(), &before), 0);
        }
        const auto run = folder.runAsUser([&] { return platform::saveBitmap(sample(), path) == c.saved ? 0 : 1; });
        if (!run.made)
            GTEST_SKIP() << run.whyNot;
        EXPECT_EQ(run.code, 0);
        if (!c.old) {
            EXPECT_FALSE(QFile::exists(path));
            EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
            continue;
        }
        if (c.saved)
            EXPECT_EQ(QImage(path, "BMP").convertToFormat(QImage::Format_RGB32), sample());
        else
            EXPECT_EQ(bytesOf(path), QByteArray("old"));
        EXPECT_EQ(bytesOf(folder.filePath("copy.bmp")), bytesOf(path));
        struct stat after {};
        ASSERT_EQ(::stat(name.constData(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_uid, before.st_uid);
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"chart.bmp", "copy.bmp"}));
    }
}

} // namespace
