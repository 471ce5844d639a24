#pragma once
// What the main window's tests share: the window loaded as the program loads
// it at start, and a count of the shows of another window while it is up.

#include "app/frmMain.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QObject>
#include <QWidget>
#include <memory>

namespace apptest {

// A fixture whose main window has been loaded (Form_Load) for each test.
class LoadedMainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<frmMain>();
        form->Form_Load();
    }
    void TearDown() override {
        form->hide();
        form.reset();
    }
    std::unique_ptr<frmMain> form;
};

// Installed as an event filter on a window (the progress window): counts how
// often it is shown, and notes whether the main window was still visible then.
class ShowCounter : public QObject {
public:
    explicit ShowCounter(QWidget* mainWindow) : mainWindow_(mainWindow) {}
    int shows = 0;
    bool mainVisibleAtShow = false;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            ++shows;
            mainVisibleAtShow = mainVisibleAtShow || mainWindow_->isVisible();
        }
        return false;
    }

private:
    QWidget* mainWindow_;
};

} // namespace apptest
