#pragma once
// What the grid's tests share: a QApplication for the whole run, a grid
// hosted in a window the way the main window hosts one, and pixel reading.

#include "grid/Grid.h"
#include "grid/PropertyBag.h"
#include "platform/Beep.h"
#include "platform/Geometry.h"
#include "platform/PictureBox.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>
#include <cctype>
#include <memory>
#include <ostream>
#include <string>

// Readable texts in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

// A case's description as a test name: every character that is not a letter
// or a digit becomes '_'.
inline std::string caseName(const char* what) {
    std::string n = what;
    for (char& ch : n)
        if (!isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return n;
}

class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "GridTest";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

inline ::testing::Environment* const qtApplicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

// The properties the main window stores its grid with: cells 70 x 20, 20
// species rows and 21 columns after the header column.
inline PropertyBag mainWindowProperties() {
    return PropertyBag{{"CellWidth", "70"}, {"GridRows", "21"}, {"GridCols", "22"}};
}

// A grid read from a store, sized inside a shown window and given an empty
// matrix.
class HostedGrid {
public:
    HostedGrid(const PropertyBag& properties, int width, int height) {
        host.resize(900, 700);
        grid = new Grid(&host);
        grid->UserControl_ReadProperties(properties);
        host.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&host));
        grid->setGeometry(32, 40, width, height);
        // As its host does, give the grid its first content, which also
        // loads the editor with the selected cell's text.
        grid->SetMatrix(SparseArray(), 0, 0);
    }

    QRgb pixel(int x, int y) const { return grid->pbx1->image().pixel(x, y); }

    // Clicks the centre of a display slot with the given button.
    void clickSlot(int slotRow, int slotCol, Qt::MouseButton button = Qt::LeftButton) {
        const QPoint centre(slotCol * grid->CellWidth() + grid->CellWidth() / 2,
                            slotRow * grid->CellHeight() + grid->CellHeight() / 2);
        QTest::mouseClick(grid->pbx1, button, Qt::NoModifier, centre);
    }

    // Scrolls so that logical (row, col) is in view and clicks it.
    void selectCell(int row, int col) {
        const int rowScroll = row <= grid->VisibleRows() - 1 ? 0 : row - (grid->VisibleRows() - 1);
        const int colScroll = col <= grid->VisibleCols() - 1 ? 0 : col - (grid->VisibleCols() - 1);
        grid->vsb1->setValue(rowScroll);
        grid->hsb1->setValue(colScroll);
        clickSlot(row == 0 ? 0 : row - rowScroll, col == 0 ? 0 : col - colScroll);
    }

    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(grid->txt1, k, modifiers); }

    QWidget host;
    Grid* grid = nullptr;
};

// Counts the beeps while it lives.
class BeepCounter {
public:
    BeepCounter() { platform::setBeepHandler([this] { ++count; }); }
    ~BeepCounter() { platform::setBeepHandler(nullptr); }
    int count = 0;
};

inline QRgb buttonFace() { return platform::buttonFaceColour().rgb(); }

// Whether a pixel inside a cell's fill belongs to its text: the text colour,
// or a shade of it at a letter's smoothed edge, where the fills are white or
// button face.
inline bool isInk(QRgb pixel) {
    return pixel != QColor(Qt::white).rgb() && pixel != platform::buttonFaceColour().rgb();
}
inline QRgb white() { return QColor(Qt::white).rgb(); }
inline QRgb black() { return QColor(Qt::black).rgb(); }
