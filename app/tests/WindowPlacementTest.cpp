// Where every window opens, on whatever screen the test runs on: CTest runs
// this program on a common desktop screen, on a small screen and at scale 2
// on a 1920 x 1080 screen (960 x 540 in the windows' own pixels), where the
// main window and the results window no longer fit. A window that fits lies
// wholly on the screen, centred where that keeps it there; one that does not
// keeps its top-left corner and title bar on the screen.

#include "app/frmAbout.h"
#include "app/frmAdvanced.h"
#include "app/frmConfirmExit.h"
#include "app/frmMain.h"
#include "app/tests/AppTestSupport.h"
#include "analysis/frmProgress.h"
#include "results/frmResults.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <functional>
#include <memory>

namespace {

QRect available() { return QGuiApplication::primaryScreen()->availableGeometry(); }

std::string describe(const QWidget& window) {
    const QRect f = window.frameGeometry();
    const QRect a = available();
    return window.windowTitle().toStdString() + " at " + std::to_string(f.x()) + "," + std::to_string(f.y()) +
           " size " + std::to_string(f.width()) + "x" + std::to_string(f.height()) + " on " +
           std::to_string(a.width()) + "x" + std::to_string(a.height());
}

// The top-left corner on the screen always; the whole frame where it fits,
// and in each direction where it does not fit, its near edge at the screen's.
void expectOnScreen(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect area = available();
    EXPECT_TRUE(area.contains(frame.topLeft())) << describe(window);
    if (frame.width() <= area.width()) {
        EXPECT_GE(frame.left(), area.left()) << describe(window);
        EXPECT_LE(frame.right(), area.right()) << describe(window);
    } else {
        EXPECT_EQ(frame.left(), area.left()) << describe(window);
    }
    if (frame.height() <= area.height()) {
        EXPECT_GE(frame.top(), area.top()) << describe(window);
        EXPECT_LE(frame.bottom(), area.bottom()) << describe(window);
    } else {
        EXPECT_EQ(frame.top(), area.top()) << describe(window);
    }
}

// Centred on the area where the window fits the screen there.
void expectCentredWhereItFits(const QWidget& window, const QRect& over) {
    QRect centred = window.frameGeometry();
    centred.moveCenter(over.center());
    if (available().contains(centred))
        apptest::expectCentredOn(window.frameGeometry().center(), over);
}

class WindowPlacement : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(QGuiApplication::primaryScreen(), nullptr);
        main = std::make_unique<frmMain>();
        main->Form_Load();
        QApplication::processEvents();
    }
    void TearDown() override { main->hide(); }

    std::unique_ptr<frmMain> main;
};

TEST_F(WindowPlacement, MainWindowOnTheScreen) {
    expectOnScreen(*main);
    expectCentredWhereItFits(*main, available());
}

TEST_F(WindowPlacement, ResultsWindowOnTheScreen) {
    auto* results = new frmResults(main.get()); // deletes itself when closed
    results->show();
    QApplication::processEvents();
    expectOnScreen(*results);
    expectCentredWhereItFits(*results, available());
    results->close();
}

TEST_F(WindowPlacement, ProgressWindowAndExitQuestionOnTheScreen) {
    frmProgress& progress = progressWindow();
    progress.show();
    frmConfirmExit question;
    question.show();
    QApplication::processEvents();
    for (const QWidget* window : std::initializer_list<const QWidget*>{&progress, &question}) {
        expectOnScreen(*window);
        expectCentredWhereItFits(*window, available());
    }
    progress.hide();
    question.hide();
}

// The two dialogs centre over the main window; over a main window moved to a
// corner of the screen (or partly beyond one) they stay on the screen.
struct OwnerPlace {
    const char* what;
    std::function<QPoint(const QRect& area, const QSize& frame)> place;
};

const OwnerPlace ownerPlaces[] = {
    {"where it opened", nullptr},
    {"top left", [](const QRect& area, const QSize&) { return area.topLeft(); }},
    {"bottom right", [](const QRect& area, const QSize& frame) {
         return area.bottomRight() - QPoint(frame.width(), frame.height()) + QPoint(1, 1);
     }},
    {"half beyond the right edge", [](const QRect& area, const QSize& frame) {
         return QPoint(area.right() - frame.width() / 2, area.top());
     }},
    {"above the top edge", [](const QRect& area, const QSize&) { return area.topLeft() - QPoint(0, 300); }},
};

TEST_F(WindowPlacement, DialogsOverTheMainWindowOnTheScreen) {
    for (const OwnerPlace& place : ownerPlaces) {
        SCOPED_TRACE(place.what);
        if (place.place) {
            main->move(place.place(available(), main->frameGeometry().size()));
            QApplication::processEvents();
        }
        frmAbout about;
        about.centreOver(main.get());
        about.show();
        frmAdvanced options(main.get());
        options.show();
        QApplication::processEvents();
        for (const QWidget* dialog : std::initializer_list<const QWidget*>{&about, &options}) {
            expectOnScreen(*dialog);
            expectCentredWhereItFits(*dialog, main->frameGeometry());
        }
        about.hide();
        options.hide();
    }
}

} // namespace

MARVISK_WIDGET_TEST_MAIN()
