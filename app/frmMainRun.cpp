// The Run: from the main window's grid through validation, site types and the
// analysis to the results window.

#include "app/frmMain.h"

#include "analysis/Kernel.h"
#include "analysis/MatrixToTypes.h"
#include "analysis/SparseArray.h"
#include "analysis/frmProgress.h"
#include "app/ValidateMatrix.h"
#include "grid/Grid.h"
#include "results/OutputResults.h"

#include <QLineEdit>

void frmMain::cmdRun_Click() {
    // Every failure on the road ends here the same way, whatever raised it: a
    // validation that has shown its message, a cancel, a matrix without a
    // qualifying site, a library that cannot be bound. Nothing more is shown.
    try {
        setCursor(Qt::WaitCursor);

        // Validation trims this copy, never the grid.
        SparseArray working;
        working.Equals(grd1->GetMatrix());
        ValidateMatrix(working);
        const std::vector<std::string> types = MatrixToTypes(working);

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
