#include "app/frmConfirmExit.h"

#include "platform/Look.h"
#include "platform/Geometry.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

frmConfirmExit::frmConfirmExit(QWidget* parent)
    : QDialog(parent), lbl1(new QLabel(QStringLiteral("Exit Marvisk?"), this)),
      cmd1(new QPushButton(QStringLiteral("Yes"), this)),
      cmd2(new QPushButton(QStringLiteral("No"), this)) {
    setWindowTitle(QStringLiteral("Marvisk"));
    look::applyWindowLook(this);
    setFixedSize(platform::twipsToPixels(2775), platform::twipsToPixels(1350));

    look::placeTwips(lbl1, 330, 240, 1935, 375);
    look::placeTwips(cmd1, 240, 790, 1095, 375);
    look::placeTwips(cmd2, 1440, 790, 1095, 375);

    // Enter answers Yes while it has the focus, as it has at every opening
    // (see showEvent); a button the user moved to answers Enter itself, as
    // buttons do.
    cmd1->setDefault(true);
    setTabOrder(cmd1, cmd2);
    cmd1->setFocus();

    connect(cmd1, &QPushButton::clicked, this, &frmConfirmExit::cmd1_Click);
    connect(cmd2, &QPushButton::clicked, this, &frmConfirmExit::cmd2_Click);

    look::centreWindow(this);
}

void frmConfirmExit::cmd1_Click() {
    ExitFlag_ = QStringLiteral("Exit");
    hide();
}

void frmConfirmExit::cmd2_Click() { hide(); }

void frmConfirmExit::closeEvent(QCloseEvent* event) {
    Discarded_ = true;
    QDialog::closeEvent(event);
}

void frmConfirmExit::showEvent(QShowEvent* event) {
    // The window is only hidden between questions and would come back with
    // the focus on No after a No; Enter must answer Yes at every opening.
    cmd1->setFocus();
    QDialog::showEvent(event);
}
