#pragma once
// The question asked before the program ends: "Exit Marvisk?" with Yes and
// No. The main window keeps one instance between close attempts and reads
// ExitFlag after each modal display.

#include <QDialog>
#include <QString>

class QCloseEvent;
class QShowEvent;
class QLabel;
class QPushButton;

class frmConfirmExit : public QDialog {
    Q_OBJECT
public:
    explicit frmConfirmExit(QWidget* parent = nullptr);

    QLabel* const lbl1;
    QPushButton* const cmd1; // "Yes", the default button
    QPushButton* const cmd2; // "No"

    // "" until Yes is chosen, then "Exit"; never reset.
    QString ExitFlag() const { return ExitFlag_; }
    // True once the window was closed by its close box: it is then discarded,
    // and the main window asks a fresh one.
    bool Discarded() const { return Discarded_; }

    // Yes: sets the flag and hides the window, which ends the modal display.
    void cmd1_Click();
    // No: hides the window; the flag stays as it is.
    void cmd2_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Every opening starts on Yes, wherever the focus was when it was hidden.
    void showEvent(QShowEvent* event) override;

private:
    QString ExitFlag_;
    bool Discarded_ = false;
};
