#pragma once
// The results window: two pages behind two tab headers, "Numerical Results"
// (the results text) and "Power Functions" (the chart of both tests'
// rejection rates against the interaction strength, with its legend). Each
// page has its own Save and Close buttons; closing the window in any way shows
// the main window again. One window per Run, deleted when closed.

#include "results/OutputResults.h"

#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <utility>
#include <vector>

class ClickBox;
class ClickLabel;
class ResultsTextBox;
class QCloseEvent;
class QKeyEvent;
class QPaintEvent;
class QPushButton;
namespace platform {
class PictureBox;
}

class frmResults : public QWidget {
    Q_OBJECT
public:
    // MainWindow is shown again when this window closes; it is not the owner.
    explicit frmResults(QWidget* MainWindow);

    // Draws the curve t on the chart as a polyline through its rows in table
    // order (strength on x, rate on y) in color, a 32-bit colour with red in
    // the lowest byte, and adds its legend entry below the earlier ones.
    void PlotFunction(const Curve& t, uint32_t color, QString label);

    // The chart frame picture: 640 by 521 pixels, plot box from (117, 34) to
    // (595, 368). The chart box pbx1 is this size and sits at the top left of
    // its white place on the page.
    static QImage ChartFramePicture();
    // The same frame drawn for screens at scale 2: 1280 by 1042 pixels, its
    // device pixel ratio 2, every line and text at that resolution.
    static QImage ChartFramePictureAt2x();

    // Controls, by their names in the handlers.
    ClickBox* pbx5 = nullptr;        // tab header of page 1
    ClickLabel* lbl1 = nullptr;      //   "Numerical Results"
    ClickBox* pbx7 = nullptr;        // strip above the first header
    ClickBox* pbx3 = nullptr;        // page 1
    ResultsTextBox* txt1 = nullptr;  //   the results text
    QPushButton* cmd3 = nullptr;     //   "Help"
    QPushButton* cmd1 = nullptr;     //   "Save" (the text)
    QPushButton* cmd2 = nullptr;     //   "Close"
    ClickBox* Picture1 = nullptr;    //   strip along the page's top left edge
    ClickBox* pbx4 = nullptr;        // page 2
    platform::PictureBox* pbx1 = nullptr; // the chart, the frame picture's size
    platform::PictureBox* pbx2 = nullptr; // the legend
    QPushButton* cmd6 = nullptr;     //   "About Power Functions..."
    QPushButton* cmd4 = nullptr;     //   "Save" (the chart)
    QPushButton* cmd5 = nullptr;     //   "Close", the window's default button
    ClickBox* pbx6 = nullptr;        // tab header of page 2
    ClickLabel* lbl2 = nullptr;      //   "Power Functions"
    ClickBox* pbx8 = nullptr;        // strip above the second header

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pbx5_Click();
    void lbl1_Click();
    void pbx7_Click();
    void pbx6_Click();
    void lbl2_Click();
    void pbx8_Click();
    void cmd1_Click();
    void cmd4_Click();
    void cmd2_Click();
    void cmd5_Click();
    void cmd3_Click();
    void cmd6_Click();
    void Form_Unload();

    void selectPage(int page);
    void offerFocusOnPage(int page);
    void buildPage1();
    void buildPage2();
    static double ToChartCoordinate(double value, int16_t axis);
    void DrawChartLine(double x1, double y1, double x2, double y2, uint32_t color);

    QPointer<QWidget> mainWindow_;
    // Every control of the two pages that takes the focus, with the way it
    // takes it, in the order of Tab: only those of the page in front do.
    std::vector<std::pair<QWidget*, Qt::FocusPolicy>> focusStops_;
};
