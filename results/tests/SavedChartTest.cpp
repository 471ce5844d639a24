// The saved chart is the same bitmap at any scale of the screen. CTest runs
// this program at scale 1, which keeps the bytes it saved in the file that
// MARVISK_CHART_AT_SCALE_1 names, and then at scale 2, which saves the same
// Run's chart and must write exactly those bytes: 640 x 521 pixels drawn at
// ratio 1, not the screen's image scaled down.

#include "analysis/Settings.h"
#include "analysis/SimulationResults.h"
#include "app/tests/AppTestSupport.h"
#include "platform/FileDialog.h"
#include "platform/PictureBox.h"
#include "results/OutputResults.h"
#include "results/frmResults.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

// Curves that slope and cross, so the chart holds lines of every direction.
SimulationResults crossingCurves() {
    SimulationResults r;
    for (int row = 1; row <= 29; ++row) {
        r.power(row, 1) = 0.1 * row;
        r.power(row, 2) = 0.05 + 0.03 * (row - 1);
        r.power(row, 3) = 0.95 - 0.03 * (row - 1) + 0.04 * std::sin(row);
    }
    return r;
}

TEST(SavedChart, IsTheSameBitmapAtAnyScale) {
    const char* referencePath = std::getenv("MARVISK_CHART_AT_SCALE_1");
    ASSERT_NE(referencePath, nullptr) << "MARVISK_CHART_AT_SCALE_1 names the chart saved at scale 1";
    const QString reference = QString::fromLocal8Bit(referencePath);
    const double ratio = qApp->devicePixelRatio();

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString previousFolder = QDir::currentPath(); // the chosen file's folder becomes current
    Settings::MatrixFilePath.clear();
    QWidget mainWindow;
    std::unique_ptr<frmResults> form(LoadResults(crossingCurves(), "20", "20", &mainWindow));
    form->show();
    QApplication::processEvents();
    const QString saved = QDir(folder.path()).filePath(QStringLiteral("chart.bmp"));
    platform::setFileDialogHandler([&](const platform::FileDialogRequest&) { return saved; });
    QTest::mouseClick(form->cmd4, Qt::LeftButton);
    platform::setFileDialogHandler({});
    QDir::setCurrent(previousFolder);

    // The screen's image has the screen's resolution; the saved one is the
    // chart frame picture's size, drawn by the same operations at ratio 1.
    EXPECT_EQ(form->pbx1->image().size(), QSize(640, 521) * ratio);
    const QByteArray bytes = testfiles::bytesOf(saved);
    const QImage readBack = QImage::fromData(bytes, "BMP");
    ASSERT_EQ(readBack.size(), QSize(640, 521));
    EXPECT_EQ(readBack.convertToFormat(QImage::Format_RGB32),
              form->pbx1->imageAtRatio1().convertToFormat(QImage::Format_RGB32));

    if (ratio == 1) {
        EXPECT_EQ(&form->pbx1->imageAtRatio1(), &form->pbx1->image()) << "at ratio 1 the two are one";
        testfiles::put(reference, bytes);
    } else {
        ASSERT_TRUE(QFile::exists(reference)) << "the run at scale 1 saves " << reference.toStdString();
        const QByteArray atScale1 = testfiles::bytesOf(reference);
        EXPECT_TRUE(bytes == atScale1) << "the chart saved at scale " << ratio << " differs from the one at scale 1";
    }
}

} // namespace

MARVISK_WIDGET_TEST_MAIN()
