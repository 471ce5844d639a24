// Renders the program's windows offscreen into build/screenshots/ so that
// anyone can look at them, and checks the pictures the program carries.

#include "app/frmAbout.h"
#include "app/frmAdvanced.h"
#include "app/frmConfirmExit.h"
#include "app/frmMain.h"
#include "app/tests/AppTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QWidget>
#include <cstdlib>

namespace {

QString screenshotFolder() {
    const char* bin = std::getenv("MARVISK_BIN_DIR");
    const QDir build = bin ? QDir(QString::fromLocal8Bit(bin) + QStringLiteral("/..")) : QDir(QStringLiteral(".."));
    const QString folder = build.absoluteFilePath(QStringLiteral("screenshots"));
    QDir().mkpath(folder);
    return folder;
}

void saveShot(QWidget* window, const char* name) {
    window->show();
    QApplication::processEvents();
    const QPixmap shot = window->grab();
    ASSERT_FALSE(shot.isNull()) << name;
    const QString path = QDir(screenshotFolder()).filePath(QString::fromLatin1(name));
    EXPECT_TRUE(shot.save(path, "PNG")) << path.toStdString();
}

TEST(Screenshots, MainWindow) {
    frmMain form;
    form.Form_Load();
    saveShot(&form, "frmMain.png");
    form.hide();
}

TEST(Screenshots, OptionsDialog) {
    frmAdvanced options;
    saveShot(&options, "frmAdvanced.png");
    options.hide();
}

TEST(Screenshots, AboutBox) {
    frmAbout about;
    ASSERT_NE(about.Image1->pixmap().toImage().size(), QSize(0, 0));
    saveShot(&about, "frmAbout.png");
    about.hide();
}

TEST(Screenshots, ExitQuestion) {
    frmConfirmExit question;
    saveShot(&question, "frmConfirmExit.png");
    question.hide();
}

// Counts pixels by hue family: enough sea, enough land, the grid's lines.
TEST(Pictures, AboutPictureIsAMapOfIslandsInNineSquares) {
    const QImage picture(QStringLiteral(":/assets/about.jpg"));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(283, 283));
    int sea = 0;
    int land = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            if (c.blue() > c.green() + 30 && c.blue() > c.red() + 60)
                ++sea;
            else if (c.green() > c.red() + 40 && c.green() > c.blue() + 40)
                ++land;
        }
    }
    const int all = picture.width() * picture.height();
    EXPECT_GT(sea, all / 3);
    EXPECT_GT(land, all / 20);
    // The light blue lines at a third and two thirds, across the whole picture.
    for (int along = 5; along < 283; along += 31) {
        for (const QPoint p : {QPoint(94, along), QPoint(along, 188)}) {
            const QColor c = picture.pixelColor(p);
            EXPECT_GT(c.blue(), 200) << p.x() << "," << p.y();
            EXPECT_GT(c.green(), 170) << p.x() << "," << p.y();
        }
    }
}

TEST(Pictures, WindowIconIsCarried) {
    const QImage icon(QStringLiteral(":/assets/marvisk.png"));
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.size(), QSize(64, 64));
}

} // namespace

MARVISK_WIDGET_TEST_MAIN()
