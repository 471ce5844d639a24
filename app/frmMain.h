#pragma once
// The start-up window: the matrix editor, the matrix size, the header lock,
// the File, Matrix, Analysis and Help menus, and the start of a Run. Closing
// it asks frmConfirmExit and, after Yes, ends the program.
//
// The handlers of matrix files (cmdOpen_Click, mnuFileOpen_Click,
// mnuFileSave_Click) live in frmMainFiles.cpp, those of the Run (cmdRun_Click,
// mnuRun_Click) in frmMainRun.cpp.

#include "platform/TextForm.h"

#include <QMainWindow>
#include <QPointer>

class Grid;
class QAction;
class QCloseEvent;
class QKeyEvent;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class frmConfirmExit;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // --- Controls (every one inside the outer frame fra1) -----------------
    QGroupBox* const fra1;      // "Presence-Absence Matrix", with the file's name after a save or open
    Grid* const grd1;           // the matrix editor
    QGroupBox* const Frame1;    // "Matrix Dimensions"
    QLabel* const lbl1;         // "Rows (Species):"
    QLineEdit* const txtRows;   // number of species, as text
    QLabel* const lbl2;         // "Columns (Sites):"
    QLineEdit* const txtCols;   // number of sites, as text
    QPushButton* const cmdOK;   // applies the two size boxes
    QGroupBox* const fra2;      // "Headers"
    QRadioButton* const optLocked;
    QRadioButton* const optOpen;
    QGroupBox* const fra3;      // "File"
    QPushButton* const cmdOpen; // "Open..."
    QFrame* const Shape1;       // the outline around the Run button
    QLabel* const Label1;       // "Analysis"
    QPushButton* const cmdRun;  // "Run"

    // --- Menus ---------------------------------------------------------------
    QMenu* const mnuFile;
    QAction* const mnuFileOpen;
    QAction* const mnuFileSave;
    QAction* const mnuFileDivider;
    QAction* const mnuFileExit;
    QMenu* const mnuMatrix;
    QAction* const mnuMatrixHeaders; // checked while the menu last locked the headers
    QAction* const mnuMatrixClear;
    QMenu* const mnuAnalysis;
    QAction* const mnuAdvanced;
    QAction* const mnuAnalysisDivider;
    QAction* const mnuRun;
    QMenu* const mnuHelp;
    QAction* const mnuHelpTopics;
    QAction* const mnuHelpDivider;
    QAction* const mnuHelpAbout;

    // --- Operations and handlers ------------------------------------------------
    // Start-up: the default matrix, the window shown and centred, the focus on
    // Run, the program's own folder made the current folder.
    void Form_Load();
    // The close of the window, whatever its reason: asks frmConfirmExit
    // modally; anything but "Exit" sets Cancel to 1 and the window stays.
    // After "Exit" every other window of the program is closed.
    void Form_QueryUnload(int& Cancel, int UnloadMode);

    // Replaces every cell of the grid by the default matrix for its current size.
    void mnuMatrixClear_Click();
    // Applies the two size boxes to the grid: each box is read by the
    // leading-number rule and checked (Error 08 to Error 11); a box that passes
    // is rewritten in decimal form; when both pass the grid is resized.
    void cmdOK_Click();
    void txtRows_GotFocus();
    void txtCols_GotFocus();
    void optLocked_Click();
    void optOpen_Click();
    void mnuMatrixHeaders_Click();
    // Sets the grid's tool tip from fixed pixel bands of the pointer position.
    void grd1_MouseMove(float X, float Y);
    void mnuFileExit_Click();
    void mnuAdvanced_Click();
    void mnuHelpTopics_Click();
    void mnuHelpAbout_Click();

    // Matrix files (frmMainFiles.cpp).
    void cmdOpen_Click();
    void mnuFileOpen_Click();
    void mnuFileSave_Click();
    // The Run (frmMainRun.cpp).
    void cmdRun_Click();
    void mnuRun_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Enter presses the focused button; no button answers it otherwise.
    void keyPressEvent(QKeyEvent* event) override;

private:
    // cmdOK_Click's work: checks the two boxes (Error 08 to Error 11) and
    // resizes the grid. Throws std::bad_alloc, with the grid as it was, when
    // memory runs out; the boxes may then hold their decimal forms.
    void ApplySizeBoxes();
    // Resizes the grid to the numbers in the size boxes, unless the boxes
    // already show its size; new rows and columns get default names.
    void ResizeGrid();
    // A matrix too large for the memory left: the grid keeps what it had.
    void showOutOfMemory();
    static void SelectAllText(QLineEdit* textBox);

    // The exit question, kept between close attempts.
    QPointer<frmConfirmExit> ConfirmExit_;
    // True while the program's other windows are being closed after "Exit".
    bool Exiting_ = false;
    // The form of the matrix file last opened or saved, in which Save writes
    // while every cell fits it: a legacy file stays legacy, a file with a mark
    // keeps it. It follows the file, as MatrixFilePath does: a failed Open or
    // Save, Clear All and a resize leave it alone. With no file, UTF-8.
    platform::TextForm MatrixFileForm_ = platform::TextForm::Utf8;
};
