// The program: loads the main window, which shows itself.

#include "app/frmMain.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marvisk"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/marvisk.png")));

    frmMain window;
    window.Form_Load();
    return app.exec();
}
