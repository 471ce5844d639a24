#pragma once
// The end of a Run: the results window with both power functions on its chart
// and the numerical results text, derived from the power table.

#include "analysis/SimulationResults.h"

#include <QString>
#include <vector>

class QWidget;
class frmResults;

// One row of a power function: an interaction strength and the rejection rate
// of one test there.
struct CurveRow {
    double Strength = 0.0;
    double Rate = 0.0;
};
// A power function, its rows in the order of the power table.
using Curve = std::vector<CurveRow>;

// The tests, as ActualSize and PowerExtreme number them.
constexpr int CompetitionTest = 1;
constexpr int FacilitationTest = 2;

// The Competition (column 2) and Facilitation/Filtering (column 3) power
// functions of rows 1 to 29 of the power table.
Curve CompetitionCurve(const SimulationResults& Results);
Curve FacilitationCurve(const SimulationResults& Results);

// The Facilitation/Filtering p-value of a Competition p-value p: 1 when p is
// exactly -1 (no usable site type), otherwise 1 - p.
double FacilitationPValue(double p);

// Largest Type I error rate: the largest rate over the rows where the test's
// null hypothesis holds (test 1: strength at most 1 + 1E-6; test 2: at least
// 1 + 1E-6); 0 when no row qualifies or for any other test number.
double ActualSize(const Curve& curve, int test);

// Smallest (mode -1) or largest (mode 1) rate over the rows where the test's
// alternative holds (test 1: strength above 1; test 2: below 1, both exact);
// when no row qualifies, or for any other mode or test, the start value:
// 1 for mode -1, otherwise 0.
double PowerExtreme(const Curve& curve, int mode, int test);

// The matrix file's name without its folder: what follows the last "/" or
// "\" (a name typed the Windows way loses its folder too); the whole path
// when it holds neither.
QString MatrixFileName(const QString& path);

// The whole numerical results text: p-values, sizes and powers with their
// verdicts and warnings, then the matrix block with the two size box texts
// and, when MatrixFilePath is not empty, the file line. Every line ends in
// CR LF except the file line, which ends the text.
QString ResultsText(const SimulationResults& Results, const QString& RowsText, const QString& ColsText,
                    const QString& MatrixFilePath);

// Loads a new results window, not yet shown: both power functions drawn with
// their legend entries and the results text filled in (the file line from
// Settings::MatrixFilePath). Closing it shows MainWindow again; the window
// deletes itself when closed.
frmResults* LoadResults(const SimulationResults& Results, const QString& RowsText, const QString& ColsText,
                        QWidget* MainWindow);

// The results of one Run, shown: LoadResults, then the window appears,
// modeless and without an owner. RowsText and ColsText are the current texts
// of the main window's size boxes, which the matrix block reports as they are.
void OutputResults(const SimulationResults& Results, const QString& RowsText, const QString& ColsText,
                   QWidget* MainWindow);
