#include "app/frmAbout.h"

#include "platform/Look.h"
#include "platform/Geometry.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent), Image1(new QLabel(this)), Label1(new QLabel(QStringLiteral("Marvisk"), this)),
      Label2(new QLabel(QStringLiteral("Version 1.0"), this)),
      Label3(new QLabel(QStringLiteral("Co-occurrence tests\nfor guilds of species."), this)),
      cmd1(new QPushButton(QStringLiteral("Close"), this)) {
    setWindowTitle(QStringLiteral("About Marvisk"));
    look::applyWindowLook(this);
    setFixedSize(platform::twipsToPixels(5550), platform::twipsToPixels(2775));

    look::placeTwips(Image1, 240, 240, 2295, 2295);
    Image1->setPixmap(QPixmap(QStringLiteral(":/assets/about.jpg")));
    Image1->setScaledContents(true);

    look::placeTwips(Label1, 3120, 240, 1935, 495);
    Label1->setFont(look::serifFont(24));
    look::placeTwips(Label2, 3600, 900, 855, 255);
    look::placeTwips(Label3, 2880, 1260, 2415, 495);
    look::placeTwips(cmd1, 3480, 2040, 1100, 375);
    // Enter presses Close while it has the focus, as a dialog's focused
    // button answers Enter.
    cmd1->setAutoDefault(true);
    cmd1->setFocus();

    connect(cmd1, &QPushButton::clicked, this, &frmAbout::cmd1_Click);
    centreOver(parent);
}

void frmAbout::cmd1_Click() { close(); }

void frmAbout::centreOver(const QWidget* window) {
    look::centreWindow(this, window ? window->frameGeometry() : QRect());
}
