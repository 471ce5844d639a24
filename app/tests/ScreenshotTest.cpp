// Renders the program's windows offscreen into build/screenshots/ so that
// anyone can look at them, checks their colours and fonts as drawn, and
// checks the pictures the program carries. CTest runs it at scale 1 and again
// at scale 2 (QT_SCALE_FACTOR) on a 3840 x 2160 screen; the shots of a scale
// other than 1 carry it in their names (frmAbout@2x.png). At any scale a
// window shows its picture boxes' persistent images pixel for pixel (at
// scale 1 the pixels that the drawing tests pin down); at scale 2 its texts
// and pictures are drawn at the screen's resolution, not enlarged.

#include "app/frmAbout.h"
#include "app/frmAdvanced.h"
#include "app/frmConfirmExit.h"
#include "app/frmMain.h"
#include "app/tests/AppTestSupport.h"
#include "analysis/SimulationResults.h"
#include "analysis/UpdateProgress.h"
#include "analysis/frmProgress.h"
#include "grid/Grid.h"
#include "platform/PictureBox.h"
#include "results/OutputResults.h"
#include "results/ResultsWidgets.h"
#include "results/frmResults.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegion>
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

// The ratio of the screen the test runs on: 1, or the scale factor.
double screenRatio() { return qApp->devicePixelRatio(); }

// "frmAbout.png" at scale 1, "frmAbout@2x.png" at scale 2.
QString shotName(const char* name) {
    QString file = QString::fromLatin1(name);
    if (screenRatio() != 1)
        file.insert(file.lastIndexOf(u'.'), QStringLiteral("@%1x").arg(screenRatio()));
    return file;
}

// The window as the screen shows it, in the screen's pixels; saved under the
// name of the shot.
QImage saveShot(QWidget* window, const char* name) {
    window->show();
    QApplication::processEvents();
    const QPixmap shot = window->grab();
    EXPECT_FALSE(shot.isNull()) << name;
    EXPECT_EQ(shot.size(), window->size() * screenRatio()) << name;
    const QString path = QDir(screenshotFolder()).filePath(shotName(name));
    EXPECT_TRUE(shot.save(path, "PNG")) << path.toStdString();
    return shot.toImage().convertToFormat(QImage::Format_RGB32);
}

// A widget's place in a shot of its window, in the shot's pixels.
QRect placeInShot(const QWidget* widget, const QWidget* window) {
    const QRect logical(widget->mapTo(window, QPoint(0, 0)), widget->size());
    const double r = screenRatio();
    return QRect(qRound(logical.x() * r), qRound(logical.y() * r), qRound(logical.width() * r),
                 qRound(logical.height() * r));
}

// Where the screen shows the picture box (not covered by a control on it or
// beside it), it shows its persistent image, pixel for pixel.
void expectShowsTheImage(const QImage& shot, const platform::PictureBox* box, const QWidget* window) {
    const QImage image = box->image().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(image.size(), box->size() * screenRatio()) << box->objectName().toStdString();
    QRegion shown = box->visibleRegion();
    for (const QWidget* child : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isVisible())
            shown -= child->geometry();
    const QPoint at = placeInShot(box, window).topLeft();
    const double r = screenRatio();
    int differing = 0;
    int compared = 0;
    for (const QRect& part : shown) {
        const QRect pixels(qRound(part.x() * r), qRound(part.y() * r), qRound(part.width() * r),
                           qRound(part.height() * r));
        for (int y = pixels.top(); y <= pixels.bottom(); ++y)
            for (int x = pixels.left(); x <= pixels.right(); ++x, ++compared)
                differing += shot.pixel(at.x() + x, at.y() + y) != image.pixel(x, y);
    }
    EXPECT_GT(compared, image.width() * image.height() / 2) << box->objectName().toStdString();
    EXPECT_EQ(differing, 0) << box->objectName().toStdString();
}

// The 2 x 2 blocks of screen pixels in an area (from its top left, which at
// scale 2 lies on an even pixel) that are not one colour. A drawing made at
// scale 1 and enlarged has none; text and pictures drawn at the screen's
// resolution have many, along the edges of every letter.
int mixedBlocks(const QImage& shot, const QRect& area) {
    int mixed = 0;
    for (int y = area.top(); y + 1 <= area.bottom(); y += 2) {
        for (int x = area.left(); x + 1 <= area.right(); x += 2) {
            const QRgb c = shot.pixel(x, y);
            mixed += shot.pixel(x + 1, y) != c || shot.pixel(x, y + 1) != c || shot.pixel(x + 1, y + 1) != c;
        }
    }
    return mixed;
}

// At scale 2 the texts or picture of each widget are drawn at the screen's
// resolution; at scale 1 there is nothing finer than a pixel to look for.
void expectDrawnAtTheScreensResolution(const QImage& shot, const QWidget* window,
                                       std::initializer_list<const QWidget*> widgets, int atLeast = 10) {
    if (screenRatio() != 2)
        return;
    for (const QWidget* w : widgets)
        EXPECT_GE(mixedBlocks(shot, placeInShot(w, window)), atLeast) << w->metaObject()->className() << " "
                                                                      << w->objectName().toStdString();
}

TEST(Screenshots, MainWindow) {
    frmMain form;
    form.Form_Load();
    const QImage shot = saveShot(&form, "frmMain.png");
    expectShowsTheImage(shot, form.grd1->pbx1, &form);
    expectDrawnAtTheScreensResolution(shot, &form, {form.grd1->pbx1, form.lbl1, form.lbl2, form.cmdRun});
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
    // The editor's place in the screen's pixels (at scale 2, twice its own).
    const QRect editorPixels = placeInShot(grid->txt1, grid->pbx1);
    EXPECT_EQ(shown.copy(editorPixels), painted.copy(editorPixels));
    grid->txt1->setFocus();
    grid->txt1->selectAll();
    const QImage shot = saveShot(&form, "frmMain-editor.png");
    // Around the editor (which shows its selection now) the screen shows the
    // grid's image; the cells' texts and the editor's are the screen's own.
    QImage withoutEditor = shot;
    const QRect editor = placeInShot(grid->txt1, &form);
    QImage image = grid->pbx1->image().convertToFormat(QImage::Format_RGB32);
    const QRect gridPlace = placeInShot(grid->pbx1, &form);
    for (int y = editor.top(); y <= editor.bottom(); ++y)
        for (int x = editor.left(); x <= editor.right(); ++x)
            image.setPixel(x - gridPlace.left(), y - gridPlace.top(), withoutEditor.pixel(x, y));
    EXPECT_EQ(withoutEditor.copy(gridPlace), image);
    expectDrawnAtTheScreensResolution(shot, &form, {grid->txt1, grid->pbx1});
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
    const QImage shot = saveShot(&progress, "frmProgress.png");
    expectShowsTheImage(shot, progress.pbx2, &progress);
    expectDrawnAtTheScreensResolution(shot, &progress, {progress.pbx2});
    progress.hide();
}

TEST(Screenshots, OptionsDialog) {
    frmAdvanced options;
    const QImage shot = saveShot(&options, "frmAdvanced.png");
    EXPECT_EQ(shot.pixelColor(2, 2), QColor(0, 0, 96));
    expectDrawnAtTheScreensResolution(shot, &options, {options.fra1, options.lbl1, options.lbl2, options.cmd1});
    options.hide();
}

// The picture stretched to its control from its own 283 pixels: at scale 2
// the control's 306 screen pixels come from the picture, not from 153.
TEST(Screenshots, AboutBox) {
    frmAbout about;
    ASSERT_NE(about.Image1->pixmap().toImage().size(), QSize(0, 0));
    const QImage shot = saveShot(&about, "frmAbout.png");
    EXPECT_EQ(shot.pixelColor(2, 2), QColor(0, 0, 96));
    expectDrawnAtTheScreensResolution(shot, &about, {about.Label1, about.Label2, about.Label3, about.cmd1});
    expectDrawnAtTheScreensResolution(shot, &about, {about.Image1}, 1000);
    about.hide();
}

TEST(Screenshots, ExitQuestion) {
    frmConfirmExit question;
    const QImage shot = saveShot(&question, "frmConfirmExit.png");
    EXPECT_EQ(shot.pixelColor(2, 2), QColor(0, 0, 96));
    expectDrawnAtTheScreensResolution(shot, &question, {question.lbl1, question.cmd1, question.cmd2});
    question.hide();
}

// Both pages of the results window of a Run: the results text, then the
// chart with both curves and the legend, each shown as drawn.
TEST(Screenshots, ResultsWindowPages) {
    SimulationResults r;
    for (int row = 1; row <= 29; ++row) {
        r.power(row, 1) = 0.1 * row;
        r.power(row, 2) = 0.05 + 0.03 * (row - 1);
        r.power(row, 3) = 0.95 - 0.03 * (row - 1);
    }
    QWidget mainWindow;
    QPointer<frmResults> form = LoadResults(r, QStringLiteral("20"), QStringLiteral("20"), &mainWindow);
    ASSERT_FALSE(form.isNull());
    const QImage first = saveShot(form, "frmResults-page1.png");
    EXPECT_EQ(first.pixelColor(2, 2), QColor(0, 0, 96));
    expectDrawnAtTheScreensResolution(first, form, {form->txt1, form->lbl1, form->lbl2, form->cmd1});

    QTest::mouseClick(form->lbl2, Qt::LeftButton);
    const QImage second = saveShot(form, "frmResults-page2.png");
    expectShowsTheImage(second, form->pbx1, form);
    expectShowsTheImage(second, form->pbx2, form);
    // The legend's labels, and the curves where they slope.
    expectDrawnAtTheScreensResolution(second, form, {form->pbx2, form->cmd6});
    const QRect plot = placeInShot(form->pbx1, form);
    if (screenRatio() == 2) {
        EXPECT_GE(mixedBlocks(second, QRect(plot.left() + 2 * 140, plot.top() + 2 * 60, 2 * 400, 2 * 280)), 50);
        // The frame's tick labels and axis title, from the frame drawn for scale 2.
        EXPECT_GE(mixedBlocks(second, QRect(plot.left() + 2 * 60, plot.top() + 2 * 20, 2 * 50, 2 * 360)), 50);
        EXPECT_GE(mixedBlocks(second, QRect(plot.left() + 2 * 200, plot.top() + 2 * 390, 2 * 300, 2 * 30)), 50);
    }
    delete form.data();
}

const QColor DarkBlue(0, 0, 96);
const QColor LightCyan(128, 255, 255);

// The colour at a point in the widget's own pixels (at scale 2, the top-left
// screen pixel of the four it covers).
QColor pixelOf(QWidget* widget, QPoint at) {
    return widget->grab().toImage().pixelColor(QPoint(qRound(at.x() * screenRatio()), qRound(at.y() * screenRatio())));
}

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
        const int right = w->width() - 6;
        const int bottom = w->height() - 6;
        for (const QPoint p : {QPoint(6, bottom), QPoint(right, bottom), QPoint(right, w->height() / 2)})
            EXPECT_EQ(pixelOf(w, p), DarkBlue) << w->metaObject()->className() << " at " << p.x() << ","
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
