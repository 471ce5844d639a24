#include "analysis/frmProgress.h"

#include "analysis/UpdateProgress.h"
#include "platform/Events.h"
#include "platform/Geometry.h"
#include "platform/Look.h"
#include "platform/Rounding.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFont>
#include <QKeyEvent>
#include <QPalette>
#include <algorithm>

using look::placeTwips;
using platform::twipsToPixels;

QString progressCaption(int32_t step) {
    const double percentage = platform::roundHalfEven(step * 100.0 / ProgressStepCount);
    return QStringLiteral("Marvisk Progress... ") + QString::number(static_cast<int>(percentage)) +
           QStringLiteral("%");
}

QString progressSimulationLine(int32_t step) {
    return QStringLiteral("Simulation: ") + QString::number(step) + QStringLiteral(" of ") +
           QStringLiteral("30");
}

QString progressActivityLine(int32_t step) {
    return step == 1 ? QStringLiteral("Calculating P-Value...") : QStringLiteral("Calculating Power Function...");
}

int progressBarFill(int32_t step, int innerWidth) {
    const double fill = platform::roundHalfEven(static_cast<double>(step) * innerWidth / ProgressStepCount);
    return std::clamp(static_cast<int>(fill), 0, std::max(innerWidth, 0));
}

frmProgress::frmProgress(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Marvisk Progress..."));
    setFixedSize(twipsToPixels(5550), twipsToPixels(1950));
    setFont(look::dialogFont());
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, platform::windowBackground());
    setPalette(background);

    pbx2 = new platform::PictureBox(this);
    placeTwips(pbx2, 225, 240, 5055, 255);
    pbx2->setFont(look::pictureBoxFont());
    pbx2->setForeColor(Qt::white);
    pbx2->setBackColor(platform::windowBackground());

    Shape1 = new QFrame(this);
    placeTwips(Shape1, 240, 585, 4995, 375);
    Shape1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Shape1->setLineWidth(1);
    QPalette outline = Shape1->palette();
    outline.setColor(QPalette::WindowText, Qt::white);
    Shape1->setPalette(outline);

    // Created after the outline so that it lies above it.
    pbxProgressBar = new platform::PictureBox(this);
    placeTwips(pbxProgressBar, 255, 600, 4965, 350);
    pbxProgressBar->setBackColor(platform::menuColour());

    pbx1 = new platform::PictureBox(this);
    placeTwips(pbx1, 225, 1080, 3735, 255);
    pbx1->setFont(look::pictureBoxFont());
    pbx1->setForeColor(platform::highlightTextColour());
    pbx1->setBackColor(platform::windowBackground());

    cmd1 = new QPushButton(QStringLiteral("Cancel"), this);
    placeTwips(cmd1, 3960, 1440, 1215, 375);
    cmd1->setDefault(true);
    connect(cmd1, &QPushButton::clicked, this, &frmProgress::cmd1_Click);
}

void frmProgress::drawStep(int32_t step) {
    pbx1->Cls();
    pbx1->Print(progressActivityLine(step));

    setWindowTitle(progressCaption(step));

    pbx2->Cls();
    pbx2->Print(progressSimulationLine(step));

    pbxProgressBar->Cls();
    const int fill = progressBarFill(step, pbxProgressBar->width());
    if (fill > 0)
        pbxProgressBar->FilledBox(0, 0, fill - 1, pbxProgressBar->height() - 1, platform::windowBackground());
}

void frmProgress::cmd1_Click() {
    // Disabled first, so that a second click while events run cannot land.
    cmd1->setEnabled(false);
    platform::processPendingEvents();
    CancelFlag = QStringLiteral("Cancel");
}

void frmProgress::Form_Paint() { UpdateProgress(ProgressStep); }

void frmProgress::Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode) {
    // The user may not close the window: Cancel is the only way to stop a Run.
    if (UnloadMode == vbFormControlMenu)
        Cancel = 1;
}

// The repaint handler lets events run, which must not happen inside a paint:
// it runs just after, once however many paints arrive meanwhile.
void frmProgress::paintEvent(QPaintEvent*) {
    if (formPaintQueued_)
        return;
    formPaintQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            formPaintQueued_ = false;
            Form_Paint();
        },
        Qt::QueuedConnection);
}

void frmProgress::closeEvent(QCloseEvent* event) {
    // A close that comes from the window system is the user's close box; one
    // the program asks for itself (when it ends) goes ahead.
    int16_t cancel = 0;
    Form_QueryUnload(cancel, event->spontaneous() ? vbFormControlMenu : vbFormCode);
    if (cancel != 0)
        event->ignore();
    else
        event->accept();
}

void frmProgress::keyPressEvent(QKeyEvent* event) {
    // Enter presses the default button wherever the focus is.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && cmd1->isEnabled()) {
        cmd1->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmProgress::showEvent(QShowEvent* event) {
    if (!centred_) {
        centred_ = true;
        look::centreWindow(this);
    }
    QWidget::showEvent(event);
}

namespace {

frmProgress* theProgressWindow = nullptr;

void destroyProgressWindow() {
    delete theProgressWindow;
    theProgressWindow = nullptr;
}

} // namespace

frmProgress& progressWindow() {
    if (!theProgressWindow) {
        theProgressWindow = new frmProgress;
        // Gone with the application, before the windowing system shuts down.
        qAddPostRoutine(destroyProgressWindow);
    }
    return *theProgressWindow;
}
