#include "results/OutputResults.h"

#include "analysis/Settings.h"
#include "results/NumberForms.h"
#include "results/ResultsWidgets.h"
#include "results/frmResults.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace {

constexpr int PowerTableRows = 29;

// The curves' colours in the platform's form, red in the lowest byte: dark
// blue (0, 0, 138) for the Competition Test, light blue (142, 142, 255) for
// the Facilitation/Filtering Test.
constexpr uint32_t CompetitionColour = 9043968;
constexpr uint32_t FacilitationColour = 16748174;

// The warnings' threshold for both a high size and a low power: a test that
// rejects a true null 15% of the time, or a false one less often, is one the
// user must be told about.
constexpr double WarningLevel = 0.15;

Curve curveOfColumn(const SimulationResults& Results, int column) {
    Curve curve;
    curve.reserve(PowerTableRows);
    for (int row = 1; row <= PowerTableRows; ++row)
        curve.push_back({Results.power(row, 1), Results.power(row, column)});
    return curve;
}

// Builds the text line by line; every line gets its CR LF.
class TextLines {
public:
    void add(const QString& line) { text_ += line + QStringLiteral("\r\n"); }
    void rule(int length) { add(QString(length, QLatin1Char('-'))); }
    void empty(int count) {
        for (int i = 0; i < count; ++i)
            add(QString());
    }
    QString take() { return std::move(text_); }

private:
    QString text_;
};

struct Summary {
    double sizeC, sizeF, minC, minF, maxC, maxF;
};

QString pValueBlock(double competitionPValue) {
    TextLines t;
    t.add(QStringLiteral("P-VALUE"));
    t.rule(14);
    t.add(QStringLiteral("Competition Test: rejecting the null hypothesis implies competition."));
    t.add(QStringLiteral("Competition p-value = ") + PValueForm(std::fabs(competitionPValue)));
    t.add(QStringLiteral("Facilitation/Filtering Test: rejecting the null hypothesis implies facilitation or "
                         "habitat filtering."));
    t.add(QStringLiteral("Facilitation/Filtering p-value= ") + PValueForm(FacilitationPValue(competitionPValue)));
    t.empty(2);
    return t.take();
}

void sizeLines(TextLines& t, const QString& test, double size) {
    t.add(QStringLiteral("Actual size (alpha) of %1 Test = ").arg(test) + ThreeDecimalForm(size));
    if (size < WarningLevel)
        t.add(QStringLiteral("*****%1 Test has tolerable Type I error rates.*****").arg(test));
    else
        t.add(QStringLiteral("*****Warning: %1 Test has high Type I error rates.  The null hypothesis will be "
                             "rejected as much as ")
                  .arg(test) +
              PercentForm(size) + QStringLiteral(" of the time when it is true.*****"));
}

QString sizeBlock(const Summary& s) {
    TextLines t;
    t.add(QStringLiteral("TYPE I ERROR RATES:  Null hypothesis rejection rates when the null hypothesis is true"));
    t.rule(129);
    t.add(QStringLiteral("Size (alpha): Maximum Type I error rate."));
    t.add(QStringLiteral("Nominal size (alpha) = 0.050"));
    sizeLines(t, QStringLiteral("Competition"), s.sizeC);
    sizeLines(t, QStringLiteral("Facilitation/Filtering"), s.sizeF);
    t.empty(2);
    return t.take();
}

// A test is biased when half its size reaches its minimum power: it then
// rejects a true null about as often as a false one.
void powerLines(TextLines& t, const QString& test, double size, double minPower, double maxPower) {
    t.add(QStringLiteral("Minimum power of %1 Test = ").arg(test) + ThreeDecimalForm(minPower));
    t.add(QStringLiteral("Maximum power of %1 Test = ").arg(test) + ThreeDecimalForm(maxPower));
    const bool biased = size / 2 >= minPower;
    const bool lowPower = maxPower < WarningLevel;
    if (biased)
        t.add(QStringLiteral("*****Warning: %1 Test is biased. The null hypothesis will be rejected more often "
                             "when it is true than when it is false.*****")
                  .arg(test));
    if (lowPower)
        t.add(QStringLiteral("*****Warning: %1 Test has low power.  The null hypothesis will be rejected no more "
                             "than ")
                  .arg(test) +
              PercentForm(maxPower) + QStringLiteral(" of the time when it is false.*****"));
    if (!biased && !lowPower)
        t.add(QStringLiteral("*****%1 Test has adequate power.*****").arg(test));
}

QString powerBlock(const Summary& s) {
    TextLines t;
    t.add(QStringLiteral("TYPE II ERROR RATES:  Null hypothesis acceptance rates when the null hypothesis is false"));
    t.rule(137);
    t.add(QStringLiteral("Power: Null hypothesis rejection rates when the null hypothesis is false (1 - Type II "
                         "error rate)."));
    powerLines(t, QStringLiteral("Competition"), s.sizeC, s.minC, s.maxC);
    powerLines(t, QStringLiteral("Facilitation/Filtering"), s.sizeF, s.minF, s.maxF);
    t.empty(2);
    return t.take();
}

QString matrixBlock(const QString& RowsText, const QString& ColsText, const QString& MatrixFilePath) {
    TextLines t;
    t.add(QStringLiteral("PRESENCE-ABSENCE MATRIX"));
    t.rule(49);
    t.add(QStringLiteral("Number of rows (species): ") + RowsText);
    t.add(QStringLiteral("Number of columns (sites): ") + ColsText);
    QString text = t.take();
    if (!MatrixFilePath.isEmpty())
        text += QStringLiteral("File: \"") + MatrixFileName(MatrixFilePath) + QLatin1Char('"');
    return text;
}

} // namespace

Curve CompetitionCurve(const SimulationResults& Results) { return curveOfColumn(Results, 2); }

Curve FacilitationCurve(const SimulationResults& Results) { return curveOfColumn(Results, 3); }

double FacilitationPValue(double p) { return p == -1 ? 1.0 : 1.0 - p; }

// The tolerance lies above 1 for both tests, so the row just below 1 (the
// no-interaction point of the table) counts as a null row of the Competition
// Test only.
double ActualSize(const Curve& curve, int test) {
    double result = 0;
    for (const CurveRow& row : curve) {
        const double d = 1 - row.Strength;
        const double t = -1e-6;
        bool counts = false;
        if (test == CompetitionTest)
            counts = t <= d;
        else if (test == FacilitationTest)
            counts = t >= d;
        if (counts && row.Rate > result)
            result = row.Rate;
    }
    return result;
}

double PowerExtreme(const Curve& curve, int mode, int test) {
    double result = mode == -1 ? 1 : 0;
    for (const CurveRow& row : curve) {
        bool counts = false;
        if (test == CompetitionTest)
            counts = row.Strength > 1;
        else if (test == FacilitationTest)
            counts = row.Strength < 1;
        if (!counts)
            continue;
        if (mode == -1 && row.Rate < result)
            result = row.Rate;
        else if (mode == 1 && row.Rate > result)
            result = row.Rate;
    }
    return result;
}

QString MatrixFileName(const QString& path) {
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

QString ResultsText(const SimulationResults& Results, const QString& RowsText, const QString& ColsText,
                    const QString& MatrixFilePath) {
    const Curve competition = CompetitionCurve(Results);
    const Curve facilitation = FacilitationCurve(Results);
    Summary s{};
    s.sizeC = ActualSize(competition, CompetitionTest);
    s.sizeF = ActualSize(facilitation, FacilitationTest);
    s.minC = PowerExtreme(competition, -1, CompetitionTest);
    s.minF = PowerExtreme(facilitation, -1, FacilitationTest);
    s.maxC = PowerExtreme(competition, 1, CompetitionTest);
    s.maxF = PowerExtreme(facilitation, 1, FacilitationTest);
    return pValueBlock(Results.CompetitionPValue) + sizeBlock(s) + powerBlock(s) +
           matrixBlock(RowsText, ColsText, MatrixFilePath);
}

frmResults* LoadResults(const SimulationResults& Results, const QString& RowsText, const QString& ColsText,
                        QWidget* MainWindow) {
    auto* form = new frmResults(MainWindow);
    form->PlotFunction(CompetitionCurve(Results), CompetitionColour, QStringLiteral("Competition test"));
    form->PlotFunction(FacilitationCurve(Results), FacilitationColour, QStringLiteral("Facilitation test"));
    form->txt1->setText(ResultsText(Results, RowsText, ColsText, Settings::MatrixFilePath));
    return form;
}

void OutputResults(const SimulationResults& Results, const QString& RowsText, const QString& ColsText,
                   QWidget* MainWindow) {
    frmResults* form = LoadResults(Results, RowsText, ColsText, MainWindow);
    form->show();
}
