#include "app/frmMain.h"

#include "analysis/SparseArray.h"
#include "app/Help.h"
#include "app/LeadingNumber.h"
#include "platform/Look.h"
#include "app/frmAbout.h"
#include "app/frmAdvanced.h"
#include "app/frmConfirmExit.h"
#include "grid/Grid.h"
#include "grid/PropertyBag.h"
#include "platform/FocusedButton.h"
#include "platform/Frame.h"
#include "platform/Geometry.h"
#include "platform/MessageBox.h"
#include "platform/Rounding.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include <new>
#include <utility>

namespace {

const QString ProgramTitle = QStringLiteral("Marvisk");
const QString SizeErrorTitle = QStringLiteral("Marvisk Error");

// The largest size either box accepts.
constexpr double MaxSize = 32767;

// The grid's cell width and height at which the tool-tip bands below are
// drawn: the header row ends at 20, the species and guild columns at 70 and 140.
constexpr float HeaderRowBottom = 20;
constexpr float SpeciesColumnRight = 70;
constexpr float GuildColumnRight = 140;

// The hourglass for the length of an operation, however it ends.
class WaitCursor {
public:
    explicit WaitCursor(QWidget* window) : window_(window) { window_->setCursor(Qt::WaitCursor); }
    ~WaitCursor() { window_->unsetCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    QWidget* window_;
};

QGroupBox* makeFrame(const QString& caption, QWidget* parent, double pointSize) {
    auto* frame = new platform::Frame(caption, parent);
    look::applyControlLook(frame, look::dialogFont(pointSize, true));
    return frame;
}

QLabel* makeLabel(const QString& caption, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    look::applyControlLook(label, look::dialogFont());
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QRadioButton* makeOption(const QString& caption, QWidget* parent) {
    auto* option = new QRadioButton(caption, parent);
    look::applyControlLook(option, look::dialogFont());
    return option;
}

QPushButton* makeButton(const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setFont(look::dialogFont());
    // No button of this window is the default button: Enter presses only the
    // focused one (see keyPressEvent).
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

QLineEdit* makeTextBox(const QString& text, QWidget* parent) {
    auto* box = new QLineEdit(text, parent);
    box->setFont(look::dialogFont());
    return box;
}

QAction* makeAction(QMenu* menu, const QString& caption, const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(caption);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    return action;
}

// The default names of species rows firstRow to lastRow ("Sp" and the row,
// guild "---") and of columns firstCol to lastCol ("Site" and the site number).
void putDefaultNames(SparseArray& matrix, int32_t firstRow, int32_t lastRow, int32_t firstCol,
                     int32_t lastCol) {
    for (int32_t i = firstRow; i <= lastRow; ++i) {
        matrix.sValue(i, 0, QStringLiteral("Sp") + QString::number(i));
        matrix.sValue(i, 1, QStringLiteral("---"));
    }
    for (int32_t j = firstCol; j <= lastCol; ++j)
        matrix.sValue(0, j, QStringLiteral("Site") + QString::number(j - 1));
}

// The grid as this window keeps it: cells 70 pixels wide, 20 species rows and
// 21 columns after the header column.
PropertyBag gridProperties() {
    return PropertyBag{{QStringLiteral("CellWidth"), 70},
                       {QStringLiteral("GridRows"), 21},
                       {QStringLiteral("GridCols"), 22}};
}

} // namespace

frmMain::frmMain(QWidget* parent)
    : QMainWindow(parent), fra1(makeFrame(QStringLiteral("Presence-Absence Matrix"), nullptr, 12)),
      grd1(new Grid(fra1)), Frame1(makeFrame(QStringLiteral("Matrix Dimensions"), fra1, 9.75)),
      lbl1(makeLabel(QStringLiteral("Rows (Species):"), Frame1)),
      txtRows(makeTextBox(QStringLiteral("20"), Frame1)),
      lbl2(makeLabel(QStringLiteral("Columns (Sites):"), Frame1)),
      txtCols(makeTextBox(QStringLiteral("20"), Frame1)),
      cmdOK(makeButton(QStringLiteral("OK"), Frame1)),
      fra2(makeFrame(QStringLiteral("Headers"), fra1, 9.75)),
      optLocked(makeOption(QStringLiteral("Locked for Editing"), fra2)),
      optOpen(makeOption(QStringLiteral("Open for Editing"), fra2)),
      fra3(makeFrame(QStringLiteral("File"), fra1, 9.75)),
      cmdOpen(makeButton(QStringLiteral("Open..."), fra3)), Shape1(new QFrame(fra1)),
      Label1(new QLabel(QStringLiteral("Analysis"), fra1)),
      cmdRun(makeButton(QStringLiteral("Run"), fra1)),
      mnuFile(menuBar()->addMenu(QStringLiteral("&File"))),
      mnuFileOpen(makeAction(mnuFile, QStringLiteral("Open..."), QKeySequence(Qt::CTRL | Qt::Key_O))),
      mnuFileSave(makeAction(mnuFile, QStringLiteral("Save"), QKeySequence(Qt::CTRL | Qt::Key_S))),
      mnuFileDivider(mnuFile->addSeparator()), mnuFileExit(makeAction(mnuFile, QStringLiteral("E&xit"))),
      mnuMatrix(menuBar()->addMenu(QStringLiteral("&Matrix"))),
      mnuMatrixHeaders(makeAction(mnuMatrix, QStringLiteral("&Headers Locked For Editing"))),
      mnuMatrixClear(makeAction(mnuMatrix, QStringLiteral("&Clear All"))),
      mnuAnalysis(menuBar()->addMenu(QStringLiteral("&Analysis"))),
      mnuAdvanced(makeAction(mnuAnalysis, QStringLiteral("&Advanced Options..."))),
      mnuAnalysisDivider(mnuAnalysis->addSeparator()),
      mnuRun(makeAction(mnuAnalysis, QStringLiteral("&Run"))),
      mnuHelp(menuBar()->addMenu(QStringLiteral("&Help"))),
      mnuHelpTopics(makeAction(mnuHelp, QStringLiteral("Help Topics"), QKeySequence(Qt::Key_F1))),
      mnuHelpDivider(mnuHelp->addSeparator()),
      mnuHelpAbout(makeAction(mnuHelp, QStringLiteral("&About Marvisk..."))) {
    setWindowTitle(ProgramTitle);
    setWindowIcon(QIcon(QStringLiteral(":/assets/marvisk.png")));

    // The client area: everything inside the outer frame on dark blue.
    auto* client = new QWidget(this);
    look::applyWindowLook(client);
    client->setFixedSize(platform::twipsToPixels(13020), platform::twipsToPixels(7065));
    setCentralWidget(client);
    fra1->setParent(client);
    fra1->show(); // shown with the window: reparenting hides a widget
    look::placeTwips(fra1, 240, 300, 12495, 6375);

    // The menus keep the platform's colours.
    menuBar()->setPalette(QApplication::palette());
    menuBar()->setFont(QApplication::font());

    grd1->UserControl_ReadProperties(gridProperties());
    look::placeTwips(grd1, 480, 600, 8655, 5355);

    look::placeTwips(Frame1, 9600, 480, 2415, 1575);
    Frame1->setToolTip(QStringLiteral("Adjust the size of the presence-absence matrix."));
    look::placeTwips(lbl1, 240, 480, 1455, 255);
    look::placeTwips(txtRows, 1560, 360, 555, 285);
    look::placeTwips(lbl2, 240, 795, 1215, 255);
    look::placeTwips(txtCols, 1560, 720, 555, 285);
    look::placeTwips(cmdOK, 1320, 1200, 855, 255);

    look::placeTwips(fra2, 9600, 2400, 2415, 1215);
    fra2->setToolTip(QStringLiteral("Edit or lock headers."));
    look::placeTwips(optLocked, 240, 360, 1815, 375);
    look::placeTwips(optOpen, 240, 720, 1815, 375);
    optLocked->setChecked(true);

    look::placeTwips(fra3, 9600, 4000, 2415, 735);
    fra3->setToolTip(QStringLiteral("Click to clear all data."));
    look::placeTwips(cmdOpen, 1320, 350, 855, 255);

    // The outline of the Analysis box, with its caption sitting on the top edge.
    look::placeTwips(Shape1, 9600, 5280, 2400, 615);
    Shape1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Shape1->setLineWidth(1);
    {
        QPalette palette = Shape1->palette();
        palette.setColor(QPalette::WindowText, QColor(128, 255, 255));
        Shape1->setPalette(palette);
    }
    look::placeTwips(Label1, 9720, 5160, 975, 255);
    look::applyControlLook(Label1, look::dialogFont(9.75, true));
    {
        QPalette palette = Label1->palette();
        palette.setColor(QPalette::WindowText, QColor(128, 255, 255));
        Label1->setPalette(palette);
    }
    Label1->raise();
    look::placeTwips(cmdRun, 10920, 5490, 855, 255);
    cmdRun->setToolTip(QStringLiteral("Click to run test."));

    // The keyboard's way through the window.
    setTabOrder(grd1, optOpen);
    setTabOrder(optOpen, optLocked);
    setTabOrder(optLocked, cmdOK);
    setTabOrder(cmdOK, txtRows);
    setTabOrder(txtRows, txtCols);
    setTabOrder(txtCols, cmdOpen);
    setTabOrder(cmdOpen, cmdRun);

    mnuMatrixHeaders->setCheckable(true);
    mnuMatrixHeaders->setChecked(true);

    connect(cmdOK, &QPushButton::clicked, this, &frmMain::cmdOK_Click);
    connect(cmdOpen, &QPushButton::clicked, this, &frmMain::cmdOpen_Click);
    connect(cmdRun, &QPushButton::clicked, this, &frmMain::cmdRun_Click);
    // Every click on an option applies its lock, even on the option already
    // selected: after the menu has changed the lock, the selected option no
    // longer tells the grid's state, and choosing it must still take effect.
    connect(optLocked, &QRadioButton::clicked, this, &frmMain::optLocked_Click);
    connect(optOpen, &QRadioButton::clicked, this, &frmMain::optOpen_Click);
    connect(grd1, &Grid::MouseMove, this, &frmMain::grd1_MouseMove);
    txtRows->installEventFilter(this);
    txtCols->installEventFilter(this);

    connect(mnuFileOpen, &QAction::triggered, this, &frmMain::mnuFileOpen_Click);
    connect(mnuFileSave, &QAction::triggered, this, &frmMain::mnuFileSave_Click);
    connect(mnuFileExit, &QAction::triggered, this, &frmMain::mnuFileExit_Click);
    connect(mnuMatrixHeaders, &QAction::triggered, this, [this] {
        // The handler decides the check mark itself: undo the toggle that the
        // platform has already made.
        const QSignalBlocker blocker(mnuMatrixHeaders);
        mnuMatrixHeaders->setChecked(!mnuMatrixHeaders->isChecked());
        mnuMatrixHeaders_Click();
    });
    connect(mnuMatrixClear, &QAction::triggered, this, &frmMain::mnuMatrixClear_Click);
    connect(mnuAdvanced, &QAction::triggered, this, &frmMain::mnuAdvanced_Click);
    connect(mnuRun, &QAction::triggered, this, &frmMain::mnuRun_Click);
    connect(mnuHelpTopics, &QAction::triggered, this, &frmMain::mnuHelpTopics_Click);
    connect(mnuHelpAbout, &QAction::triggered, this, &frmMain::mnuHelpAbout_Click);

    // A fixed frame: the layout is made for this one size.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

frmMain::~frmMain() = default;

void frmMain::Form_Load() {
    mnuMatrixClear_Click();

    // Centred on the screen at the first showing.
    adjustSize();
    look::centreWindow(this);
    show();
    cmdRun->setFocus();

    // The help file and the file dialogs are found from the current folder:
    // both start out in the program's own folder.
    QDir::setCurrent(QCoreApplication::applicationDirPath());
}

void frmMain::Form_QueryUnload(int& Cancel, int UnloadMode) {
    (void)UnloadMode; // every reason for a close is asked the same question

    if (!ConfirmExit_)
        ConfirmExit_ = new frmConfirmExit(this);
    ConfirmExit_->exec();
    if (ConfirmExit_->Discarded()) {
        // Its close box discarded the question; a fresh one holds no answer.
        delete ConfirmExit_.data();
        ConfirmExit_ = new frmConfirmExit(this);
    }

    if (ConfirmExit_->ExitFlag() != QLatin1String("Exit")) {
        Cancel = 1;
        return;
    }

    // Every other window of the program goes with this one.
    Exiting_ = true;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window != this && window->isVisible())
            window->close();
    }
    Cancel = 0;
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (Exiting_) {
        event->accept();
        return;
    }
    int Cancel = 0;
    Form_QueryUnload(Cancel, 0);
    if (Cancel != 0)
        event->ignore();
    else
        event->accept();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (watched == txtRows)
            txtRows_GotFocus();
        else if (watched == txtCols)
            txtCols_GotFocus();
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::keyPressEvent(QKeyEvent* event) {
    if (!platform::pressFocusedButton(this, event))
        QMainWindow::keyPressEvent(event);
}

void frmMain::mnuMatrixClear_Click() {
    const WaitCursor hourglass(this);

    // The default matrix is built whole before the grid takes it: when
    // memory runs out, the grid keeps what it had.
    try {
        const int32_t rows = grd1->Rows();
        const int32_t cols = grd1->Cols();
        SparseArray matrix;
        matrix.sValue(0, 0, QStringLiteral("Species"));
        matrix.sValue(0, 1, QStringLiteral("Guild"));
        putDefaultNames(matrix, 1, rows, 2, cols);
        grd1->SetMatrix(std::move(matrix), 0, 0);
    } catch (const std::bad_alloc&) {
        showOutOfMemory();
    }
}

void frmMain::cmdOK_Click() {
    // A resize that runs out of memory leaves the grid as it was, and the
    // boxes show again what they held when OK was pressed.
    const QString typedRows = txtRows->text();
    const QString typedCols = txtCols->text();
    try {
        ApplySizeBoxes();
    } catch (const std::bad_alloc&) {
        txtRows->setText(typedRows);
        txtCols->setText(typedCols);
        showOutOfMemory();
    }
}

void frmMain::showOutOfMemory() {
    platform::showMessage(QStringLiteral("Error 13: Not enough memory for a matrix of this size."),
                          platform::MessageButtons::OK, ProgramTitle);
}

void frmMain::ApplySizeBoxes() {
    const WaitCursor hourglass(this);

    const double rows = leadingNumber(txtRows->text());
    if (rows < 1) {
        platform::showMessage(QStringLiteral("Error 08: Number of rows must be greater than 0."),
                              platform::MessageButtons::OK, SizeErrorTitle);
        return;
    }
    if (rows > MaxSize) {
        platform::showMessage(QStringLiteral("Error 09: Number of rows cannot exceed 32767."),
                              platform::MessageButtons::OK, SizeErrorTitle);
        return;
    }
    txtRows->setText(numberText(rows));

    const double cols = leadingNumber(txtCols->text());
    if (cols < 1) {
        platform::showMessage(QStringLiteral("Error 10: Number of columns must be greater than 0."),
                              platform::MessageButtons::OK, ProgramTitle);
        return;
    }
    if (cols > MaxSize) {
        platform::showMessage(QStringLiteral("Error 11: Number of columns cannot exceed 32767."),
                              platform::MessageButtons::OK, ProgramTitle);
        return;
    }
    txtCols->setText(numberText(cols));

    ResizeGrid();
}

// The new content is built whole from a copy of the grid's matrix before the
// grid changes at all: the cells inside the new size in their order, then
// the default names of new rows and columns. The grid then takes the size and
// that content, so a resize that runs out of memory leaves it as it was. The
// cells end in the same order as resizing the grid first and copying it
// afterwards would leave them (the grid's commit of the editor on cell (1, 1)
// at the end of SetMatrix puts that cell last either way).
void frmMain::ResizeGrid() {
    if (txtCols->text() == QString::number(grd1->Cols() - 1) &&
        txtRows->text() == QString::number(grd1->Rows()))
        return;

    const int32_t oldRows = grd1->Rows();
    const int32_t oldCols = grd1->Cols();

    // Both numbers are rounded before the header column is added, the way the
    // matrix file writer rounds the two boxes: a box holding a fraction then
    // gives the grid and a saved file the same number of sites.
    const auto rows = static_cast<int32_t>(platform::roundHalfEven(leadingNumber(txtRows->text())));
    const auto sites = static_cast<int32_t>(platform::roundHalfEven(leadingNumber(txtCols->text())));
    const int32_t cols = sites + 1;

    SparseArray matrix;
    {
        const SparseArray current = grd1->GetMatrix();
        current.forEachCell([&matrix, rows, cols](int32_t row, int32_t col, const QString& text) {
            if (row <= rows && col <= cols)
                matrix.sValue(row, col, text);
        });
    }
    putDefaultNames(matrix, oldRows + 1, rows, oldCols + 1, cols);
    grd1->ResizeMatrix(rows, cols);
    grd1->SetMatrix(std::move(matrix), 0, 0);
}

void frmMain::SelectAllText(QLineEdit* textBox) { textBox->selectAll(); }

void frmMain::txtRows_GotFocus() { SelectAllText(txtRows); }

void frmMain::txtCols_GotFocus() { SelectAllText(txtCols); }

void frmMain::optLocked_Click() { grd1->EditHeaders(0); }

void frmMain::optOpen_Click() { grd1->EditHeaders(1); }

void frmMain::mnuMatrixHeaders_Click() {
    // The option buttons are not told: each control shows what it last set.
    if (mnuMatrixHeaders->isChecked()) {
        mnuMatrixHeaders->setChecked(false);
        grd1->EditHeaders(1);
    } else {
        mnuMatrixHeaders->setChecked(true);
        grd1->EditHeaders(0);
    }
}

void frmMain::grd1_MouseMove(float X, float Y) {
    QString tip;
    if (Y < HeaderRowBottom) {
        if (X > GuildColumnRight)
            tip = QStringLiteral("Enter names of sites here.");
    } else if (X <= SpeciesColumnRight) {
        tip = QStringLiteral("Enter names of species here.");
    } else if (X <= GuildColumnRight) {
        tip = QStringLiteral("Enter names of guilds here.");
    } else {
        tip = QStringLiteral("Enter ones where species are present and zeroes where they are absent.");
    }
    grd1->GridToolTipText(tip);
}

void frmMain::mnuFileExit_Click() { close(); }

void frmMain::mnuAdvanced_Click() {
    // The dialog discards itself; after a refused value it stays open, not
    // modal, after this call has returned.
    auto* options = new frmAdvanced(this);
    options->exec();
}

void frmMain::mnuHelpTopics_Click() {
    ShowHelpTopic(QStringLiteral("Marvisk Help.chm"), QStringLiteral("Getting Started.htm"));
}

void frmMain::mnuHelpAbout_Click() {
    frmAbout about(nullptr);
    about.centreOver(this);
    about.exec();
}
