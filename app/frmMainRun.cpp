// The Run: from the main window's grid through validation, site types and the
// analysis to the results window.

#include "app/frmMain.h"

#include "analysis/Kernel.h"
#include "analysis/MatrixToTypes.h"
#include "analysis/SparseArray.h"
#include "analysis/frmProgress.h"
#include "app/ValidateMatrix.h"
#include "app/frmAdvanced.h"
#include "grid/Grid.h"
#include "results/OutputResults.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <vector>

namespace {

// After a refused value the options dialog stays open, not modal, and the
// main window can start a Run beside it. The analysis reads the iteration
// count and the seed at each of its library calls and yields to the event
// loop between them, so an OK in that dialog during the analysis would mix
// two settings in one power table. Every options dialog therefore takes no
// input for the length of the Run.
class OptionsDialogsHeld {
public:
    OptionsDialogsHeld() {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* options = qobject_cast<frmAdvanced*>(window); options && options->isEnabled()) {
                options->setEnabled(false);
                held_.emplace_back(options);
            }
        }
    }
    ~OptionsDialogsHeld() {
        for (const QPointer<frmAdvanced>& options : held_)
            if (options)
                options->setEnabled(true);
    }
    OptionsDialogsHeld(const OptionsDialogsHeld&) = delete;
    OptionsDialogsHeld& operator=(const OptionsDialogsHeld&) = delete;

private:
    std::vector<QPointer<frmAdvanced>> held_;
};

} // namespace

void frmMain::cmdRun_Click() {
    // Every failure on the road ends here the same way, whatever raised it: a
    // validation that has shown its message, a cancel, a matrix without a
    // qualifying site, a library that cannot be bound. Nothing more is shown.
    try {
        setCursor(Qt::WaitCursor);

        // Validation trims this copy, never the grid.
        // The grid hands out a copy already: copying it once more would give
        // the same cells and counts in the same orders.
        SparseArray working = grd1->GetMatrix();
        ValidateMatrix(working);
        const std::vector<std::string> types = MatrixToTypes(working);

        const OptionsDialogsHeld optionsHeld;
        hide();
        progressWindow().show();
        const SimulationResults results = Kernel(types);
        progressWindow().hide();

        // The results window shows this window again when it closes.
        OutputResults(results, txtRows->text(), txtCols->text(), this);
        unsetCursor();
    } catch (...) {
        // The recovery itself must not fail: nothing may leave this handler.
        try {
            progressWindow().hide();
        } catch (...) {
        }
        unsetCursor();
        show();
    }
}

void frmMain::mnuRun_Click() { cmdRun_Click(); }
