#pragma once
// The options dialog: the number of simulated data sets per interaction
// strength and the generator seed of every Run. Only a valid OK writes them
// into the program-wide settings.

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frmAdvanced : public QDialog {
    Q_OBJECT
public:
    // Creating the dialog loads it: the boxes show the settings in force.
    explicit frmAdvanced(QWidget* parent = nullptr);

    QPushButton* const cmd1; // "OK", the default button
    QPushButton* const cmd2; // "Cancel"
    QGroupBox* const fra1;   // "Simulations"
    QLineEdit* const txt1;   // number of iterations
    QLabel* const lbl1;
    QLabel* const lbl2;
    QLineEdit* const txt2;   // random seed

    // Puts IterationCount and RandomSeed into the boxes when they are not 0;
    // otherwise the boxes keep "2500" and "0".
    void Form_Load();
    // OK: hides the dialog, then checks the two boxes. A refused value is
    // reported and the dialog is shown again, not modal, with the texts as
    // typed; valid values are stored and the dialog is unloaded.
    void cmd1_Click();
    // Cancel: unloads the dialog; the settings stay as they were.
    void cmd2_Click();
    void txt1_GotFocus();
    void txt2_GotFocus();

    // Centres the dialog over its owner.
    void centreOverOwner();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    // Shows the dialog again after a refused value; from then on it is not modal.
    void showAgain();
    // Discards the dialog.
    void unload();
};
