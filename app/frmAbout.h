#pragma once
// The About box: the program's picture, name, version and a short notice.

#include <QDialog>

class QLabel;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    QLabel* const Image1; // the About picture, stretched to the control
    QLabel* const Label1; // "Marvisk"
    QLabel* const Label2; // "Version 1.0"
    QLabel* const Label3; // the notice
    QPushButton* const cmd1; // "Close"

    // Closes the box, which ends its modal display.
    void cmd1_Click();

    // Centres the box over the given window (or the screen when there is none).
    void centreOver(const QWidget* window);
};
