// Saving an image as a Windows bitmap: a real BMP that reads back equal, and
// a failed save that keeps the old file.

#include "platform/Bitmap.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QImage sample() {
    QImage image(17, 9, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 15, y * 28, (x * y) % 256));
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(16, 8, qRgb(0, 0, 138));
    return image;
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
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
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    ASSERT_TRUE(platform::saveBitmap(sample(), path));
    EXPECT_EQ(QImage(path, "BMP").convertToFormat(QImage::Format_RGB32), sample());
}

TEST(Bitmap, FailureIsReportedAndKeepsTheOldFile) {
    QTemporaryDir dir;
    EXPECT_FALSE(platform::saveBitmap(sample(), dir.filePath("missing folder/chart.bmp")));
    EXPECT_FALSE(platform::saveBitmap(sample(), QString()));

    const QString path = dir.filePath("kept.bmp");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    EXPECT_FALSE(platform::saveBitmap(QImage(), path));
    EXPECT_EQ(bytesOf(path), QByteArray("old"));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.bmp"));
    EXPECT_FALSE(platform::saveBitmap(sample(), dir.filePath("folder.bmp")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.bmp"});
}

} // namespace
