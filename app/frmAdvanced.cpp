#include "app/frmAdvanced.h"

#include "analysis/Settings.h"
#include "app/LeadingNumber.h"
#include "platform/Look.h"
#include "platform/Frame.h"
#include "platform/Geometry.h"
#include "platform/MessageBox.h"
#include "platform/Rounding.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstdint>
#include <limits>
#include <optional>

namespace {

const QString Title = QStringLiteral("Marvisk");

// The value rounded half to even, when it fits a setting (a 32-bit integer).
std::optional<int32_t> asSetting(double value) {
    const double rounded = platform::roundHalfEven(value);
    if (!(rounded >= std::numeric_limits<int32_t>::min() &&
          rounded <= std::numeric_limits<int32_t>::max()))
        return std::nullopt;
    return static_cast<int32_t>(rounded);
}

} // namespace

frmAdvanced::frmAdvanced(QWidget* parent)
    : QDialog(parent), cmd1(new QPushButton(QStringLiteral("OK"), this)),
      cmd2(new QPushButton(QStringLiteral("Cancel"), this)),
      fra1(new platform::Frame(QStringLiteral("Simulations"), this)),
      txt1(new QLineEdit(QStringLiteral("2500"), fra1)),
      lbl1(new QLabel(QStringLiteral("Number of Iterations:"), fra1)),
      lbl2(new QLabel(QStringLiteral("Random Seed:"), fra1)),
      txt2(new QLineEdit(QStringLiteral("0"), fra1)) {
    setWindowTitle(QStringLiteral("Marvisk -- Options"));
    look::applyWindowLook(this);
    setFixedSize(platform::twipsToPixels(3870), platform::twipsToPixels(2340));

    look::placeTwips(fra1, 240, 240, 3375, 1335);
    look::applyControlLook(fra1, look::dialogFont(9.75, true));
    look::placeTwips(lbl1, 360, 360, 2055, 375);
    look::placeTwips(txt1, 2400, 360, 615, 285);
    look::placeTwips(lbl2, 360, 840, 1455, 375);
    look::placeTwips(txt2, 2400, 840, 615, 285);
    for (QWidget* w : {static_cast<QWidget*>(lbl1), static_cast<QWidget*>(lbl2)})
        look::applyControlLook(w, look::dialogFont());
    lbl1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbl2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    txt1->setFont(look::dialogFont());
    txt2->setFont(look::dialogFont());
    look::placeTwips(cmd1, 1320, 1770, 1095, 375);
    look::placeTwips(cmd2, 2520, 1770, 1095, 375);

    // OK is the default button and first in the tab order, so Enter accepts.
    cmd1->setDefault(true);
    setTabOrder(cmd1, cmd2);
    setTabOrder(cmd2, txt1);
    setTabOrder(txt1, txt2);
    cmd1->setFocus();

    txt1->installEventFilter(this);
    txt2->installEventFilter(this);
    connect(cmd1, &QPushButton::clicked, this, &frmAdvanced::cmd1_Click);
    connect(cmd2, &QPushButton::clicked, this, &frmAdvanced::cmd2_Click);

    Form_Load();
    centreOverOwner();
}

void frmAdvanced::Form_Load() {
    if (Settings::IterationCount != 0)
        txt1->setText(QString::number(Settings::IterationCount));
    if (Settings::RandomSeed != 0)
        txt2->setText(QString::number(Settings::RandomSeed));
}

void frmAdvanced::cmd1_Click() {
    hide();

    // A count beyond a 32-bit setting is refused like one below 1: the
    // setting could not hold it.
    const double n = leadingNumber(txt1->text());
    const std::optional<int32_t> iterations = asSetting(n);
    if (n <= 0 || !iterations) {
        platform::showMessage(
            QStringLiteral("Error 01: Number of iterations must be an integer greater than 0."),
            platform::MessageButtons::OK, Title);
        showAgain();
        return;
    }
    if (n < 1000) {
        const platform::MessageAnswer answer = platform::showMessage(
            QStringLiteral("Warning: Analyses with fewer than 1000 iterations may yield unreliable "
                           "results. Continue? (Error 02)"),
            platform::MessageButtons::YesNo, Title);
        if (answer != platform::MessageAnswer::Yes) {
            showAgain();
            return;
        }
    }

    const double s = leadingNumber(txt2->text());
    const std::optional<int32_t> seed = asSetting(s);
    if (s < 0 || !seed) {
        platform::showMessage(
            QStringLiteral("Error 03: Random seed must be an integer greater than 0."),
            platform::MessageButtons::OK, Title);
        showAgain();
        return;
    }

    Settings::IterationCount = *iterations;
    Settings::RandomSeed = *seed;
    unload();
}

void frmAdvanced::cmd2_Click() { unload(); }

void frmAdvanced::txt1_GotFocus() { txt1->selectAll(); }

void frmAdvanced::txt2_GotFocus() { txt2->selectAll(); }

void frmAdvanced::centreOverOwner() {
    if (const QWidget* owner = parentWidget())
        look::centreWindow(this, owner->frameGeometry());
}

bool frmAdvanced::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (watched == txt1)
            txt1_GotFocus();
        else if (watched == txt2)
            txt2_GotFocus();
    }
    return QDialog::eventFilter(watched, event);
}

void frmAdvanced::reject() {
    // Escape and the close box, like Cancel: the settings stay as they were.
    unload();
}

void frmAdvanced::showAgain() {
    setWindowModality(Qt::NonModal);
    show();
}

void frmAdvanced::unload() {
    hide();
    deleteLater();
}
