// Renders the program's windows offscreen into build/screenshots/ so that
// anyone can look at them, checks their colours and fonts as drawn, and
// checks the pictures the program carries.

#include "app/frmAbout.h"
#include "app/frmAdvanced.h"
#include "app/frmConfirmExit.h"
#include "app/frmMain.h"
#include "app/tests/AppTestSupport.h"
#include "analysis/UpdateProgress.h"
#include "analysis/frmProgress.h"
#include "grid/Grid.h"
#include "platform/PictureBox.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
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

// The grid with its editor open on a typed text: the editor lies on the
// cell's slot, 3 pixels in, and the window shows the grid's surface with the
// editor's text exactly where the cell's text is painted.
TEST(Screenshots, MainWindowWithTheEditor) {
    frmMain form;
    form.Form_Load();
    Grid* grid = form.grd1;
    QTest::mouseClick(grid->pbx1, Qt::LeftButton, Qt::NoModifier, QPoint(3 * 70 + 35, 2 * 20 + 10));
    QTest::keyClicks(grid->txt1, QStringLiteral("Guild gjp"));
    QTest::keyClick(grid->txt1, Qt::Key_Return); // stores it, moves down
    QTest::mouseClick(grid->pbx1, Qt::LeftButton, Qt::NoModifier, QPoint(3 * 70 + 35, 2 * 20 + 10));
    ASSERT_EQ(grid->txt1->text(), QStringLiteral("Guild gjp"));
    EXPECT_EQ(grid->txt1->geometry(), QRect(3 * 70 + 3, 2 * 20 + 3, 63, 13));
    grid->txt1->deselect();
    grid->txt1->setCursorPosition(0);
    form.cmdRun->setFocus(); // no caret
    QApplication::processEvents();
    const QImage shown = grid->pbx1->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage painted = grid->pbx1->image().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), painted.size());
    EXPECT_EQ(shown.copy(grid->txt1->geometry()), painted.copy(grid->txt1->geometry()));
    grid->txt1->setFocus();
    grid->txt1->selectAll();
    saveShot(&form, "frmMain-editor.png");
    form.hide();
}

// The progress window at step 10: its caption, and its texts as printed.
TEST(Screenshots, ProgressWindow) {
    frmProgress& progress = progressWindow();
    progress.show();
    UpdateProgress(10);
    EXPECT_EQ(progress.windowTitle(), QStringLiteral("Marvisk Progress... 33%"));
    const QImage upper = progress.pbx2->image();
    int white = 0;
    for (int y = 0; y < upper.height(); ++y)
        for (int x = 0; x < upper.width(); ++x)
            white += upper.pixelColor(x, y).red() > 200;
    EXPECT_GT(white, 20) << upper.width() << "x" << upper.height();
    saveShot(&progress, "frmProgress.png");
    progress.hide();
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

const QColor DarkBlue(0, 0, 96);
const QColor LightCyan(128, 255, 255);

QColor pixelOf(QWidget* widget, QPoint at) { return widget->grab().toImage().pixelColor(at); }

bool near(const QColor& c, const QColor& colour, int tolerance) {
    return std::abs(c.red() - colour.red()) <= tolerance &&
           std::abs(c.green() - colour.green()) <= tolerance &&
           std::abs(c.blue() - colour.blue()) <= tolerance;
}

// Whether the widget as drawn holds a pixel close to the colour (its text,
// with the edges of the letters blended into the background).
bool drawsIn(QWidget* widget, const QColor& colour) {
    const QImage image = widget->grab().toImage();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (near(image.pixelColor(x, y), colour, 24))
                return true;
        }
    }
    return false;
}

void expectFont(const QWidget* widget, double pointSize, bool bold) {
    EXPECT_DOUBLE_EQ(widget->font().pointSizeF(), pointSize) << widget->metaObject()->className();
    EXPECT_EQ(widget->font().bold(), bold) << widget->metaObject()->className();
}

TEST(Look, MainWindowDarkBlueWithWhiteTextsAndTheCyanAnalysisBox) {
    frmMain form;
    form.Form_Load();
    QApplication::processEvents();
    // The window, every frame and the option buttons sit on dark blue.
    EXPECT_EQ(pixelOf(form.centralWidget(), QPoint(4, 4)), DarkBlue);
    // One background inside every frame as around it: by each corner inside
    // the outline and in the middle, where no control lies.
    for (QWidget* w : std::initializer_list<QWidget*>{form.fra1, form.Frame1, form.fra2, form.fra3}) {
        const QImage shown = w->grab().toImage();
        const int right = w->width() - 6;
        const int bottom = w->height() - 6;
        for (const QPoint p : {QPoint(6, bottom), QPoint(right, bottom), QPoint(right, w->height() / 2)})
            EXPECT_EQ(shown.pixelColor(p), DarkBlue) << w->metaObject()->className() << " at " << p.x() << ","
                                                     << p.y();
    }
    // Inside the outer frame between the grid and the small frames.
    EXPECT_EQ(pixelOf(form.fra1, QPoint(form.Frame1->x() - 8, form.Frame1->y() + 20)), DarkBlue);
    for (QWidget* w : std::initializer_list<QWidget*>{form.optLocked, form.lbl1})
        EXPECT_EQ(pixelOf(w, QPoint(w->width() - 2, w->height() - 2)), DarkBlue)
            << w->metaObject()->className();
    for (QWidget* w : std::initializer_list<QWidget*>{form.fra1, form.Frame1, form.lbl1, form.lbl2,
                                                      form.optLocked, form.optOpen})
        EXPECT_TRUE(drawsIn(w, Qt::white)) << w->metaObject()->className();
    // The outline and the caption of the Analysis box in light cyan.
    EXPECT_EQ(pixelOf(form.Shape1, QPoint(0, form.Shape1->height() / 2)), LightCyan);
    EXPECT_TRUE(drawsIn(form.Label1, LightCyan));
    EXPECT_FALSE(drawsIn(form.Label1, Qt::white));
    // Text boxes and buttons keep the platform's colours.
    EXPECT_EQ(pixelOf(form.txtRows, QPoint(form.txtRows->width() - 4, form.txtRows->height() / 2)),
              QApplication::palette().color(QPalette::Base));
    EXPECT_NE(pixelOf(form.cmdOK, QPoint(form.cmdOK->width() / 2, 3)), DarkBlue);

    expectFont(form.fra1, 12, true);
    for (QWidget* w : std::initializer_list<QWidget*>{form.Frame1, form.fra2, form.fra3, form.Label1})
        expectFont(w, 9.75, true);
    for (QWidget* w : std::initializer_list<QWidget*>{form.lbl1, form.lbl2, form.txtRows, form.txtCols,
                                                      form.optLocked, form.optOpen, form.cmdOK,
                                                      form.cmdOpen, form.cmdRun})
        expectFont(w, 9.75, false);
    form.hide();
}

TEST(Look, DialogsDarkBlueWithWhiteTexts) {
    frmAdvanced options;
    options.show();
    frmAbout about;
    about.show();
    frmConfirmExit question;
    question.show();
    QApplication::processEvents();
    for (QWidget* w : std::initializer_list<QWidget*>{&options, &about, &question})
        EXPECT_EQ(pixelOf(w, QPoint(2, 2)), DarkBlue) << w->windowTitle().toStdString();
    for (QWidget* w : std::initializer_list<QWidget*>{options.fra1, options.lbl1, options.lbl2,
                                                      about.Label1, about.Label2, about.Label3,
                                                      question.lbl1})
        EXPECT_TRUE(drawsIn(w, Qt::white)) << w->metaObject()->className();
    EXPECT_EQ(pixelOf(options.txt1, QPoint(options.txt1->width() - 4, options.txt1->height() / 2)),
              QApplication::palette().color(QPalette::Base));

    expectFont(options.fra1, 9.75, true);
    expectFont(options.lbl1, 9.75, false);
    expectFont(question.lbl1, 9.75, false);
    expectFont(about.Label1, 24, false);
    EXPECT_EQ(QFontInfo(about.Label1->font()).styleHint(), QFont::Serif);
    expectFont(about.Label2, 9.75, false);
    options.hide();
    about.hide();
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
