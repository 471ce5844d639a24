#pragma once
// The small window shown instead of the main window while a Run computes: two
// text lines naming the step, the share done in its caption and in a bar, and
// the Cancel button that asks the analysis to stop between steps. There is one
// window for the whole program (progressWindow()); between Runs it is hidden,
// never closed.

#include "platform/PictureBox.h"

#include <QFrame>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <cstdint>

// The steps of a Run: step 1 is the p-value, steps 2 to 30 the points of the
// power functions.
constexpr int32_t ProgressStepCount = 30;

// The window's texts and the bar's extent for a step, kept out of the window so
// they can be checked on their own.
// "Marvisk Progress... " + step x 100 / 30 to the nearest whole number + "%".
QString progressCaption(int32_t step);
// The upper line: "Simulation: " + step + " of " + "30".
QString progressSimulationLine(int32_t step);
// The lower line: "Calculating P-Value..." at step 1, else "Calculating Power Function...".
QString progressActivityLine(int32_t step);
// How many pixel columns, from the left, the bar fills at a step when its
// inside is innerWidth pixels wide: step/30 of it, to the nearest pixel.
int progressBarFill(int32_t step, int innerWidth);

class frmProgress : public QWidget {
    Q_OBJECT
public:
    // How a close was asked for, as Form_QueryUnload receives it.
    static constexpr int16_t vbFormControlMenu = 0; // the close box or the system menu
    static constexpr int16_t vbFormCode = 1;        // the program itself

    explicit frmProgress(QWidget* parent = nullptr);

    // "Cancel" from the moment the Cancel button has been handled until the
    // analysis acts on it (and empties it); any other text means no request.
    QString CancelFlag;

    platform::PictureBox* pbx2;           // upper text line
    QFrame* Shape1;                       // white outline around the bar
    platform::PictureBox* pbxProgressBar; // the bar
    platform::PictureBox* pbx1;           // lower text line
    QPushButton* cmd1;                    // "Cancel", the default button

    // Draws one step: both text lines, the caption and the bar. Events are not
    // processed here; UpdateProgress does that.
    void drawStep(int32_t step);

    void cmd1_Click();
    void Form_Paint();
    void Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode);

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool formPaintQueued_ = false;
    bool centred_ = false;
};

// The program's one progress window, created on first use (a QApplication
// must exist) and destroyed with the application.
frmProgress& progressWindow();
