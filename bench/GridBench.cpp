// PrintMatrix on the main window's grid (577 x 357 pixels, cells 70 x 20,
// 17 x 8 slots) holding 20 species and 32767 species, each with 20 sites,
// names, guilds and every other data cell present. The tall grid is also
// repainted scrolled to its middle. Only the slots shown are painted, so the
// three figures should agree.

#include "analysis/SparseArray.h"
#include "grid/Grid.h"
#include "grid/PropertyBag.h"

#include <QApplication>
#include <QScrollBar>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

QApplication& application() {
    static int argc = 1;
    static char name[] = "GridBench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

SparseArray surveyMatrix(int32_t species, int32_t sites) {
    SparseArray m;
    m.sValue(0, 0, QStringLiteral("Species"));
    m.sValue(0, 1, QStringLiteral("Guild"));
    for (int32_t j = 2; j <= sites + 1; ++j)
        m.sValue(0, j, QStringLiteral("Site") + QString::number(j - 1));
    for (int32_t i = 1; i <= species; ++i) {
        m.sValue(i, 0, QStringLiteral("Sp") + QString::number(i));
        m.sValue(i, 1, QStringLiteral("G") + QString::number(i % 5));
        for (int32_t j = 2 + (i % 2); j <= sites + 1; j += 2)
            m.sValue(i, j, QStringLiteral("1"));
    }
    return m;
}

struct HostedGrid {
    explicit HostedGrid(int32_t species) {
        host.resize(700, 500);
        grid = new Grid(&host);
        grid->UserControl_ReadProperties(PropertyBag{{"CellWidth", "70"}, {"GridRows", "21"}, {"GridCols", "22"}});
        grid->setGeometry(32, 40, 577, 357);
        grid->ResizeMatrix(species, 21);
        grid->SetMatrix(surveyMatrix(species, 20), 0, 0);
    }
    QWidget host;
    Grid* grid = nullptr;
};

void printMatrix(benchmark::State& state, int32_t species, bool middle) {
    application();
    HostedGrid h(species);
    if (middle)
        h.grid->vsb1->setValue(h.grid->vsb1->maximum() / 2);
    for (auto _ : state)
        h.grid->PrintMatrix(h.grid->TextRow(), h.grid->TextCol(), 0, false);
    state.counters["slots"] = static_cast<double>(h.grid->VisibleRows()) * h.grid->VisibleCols();
    state.counters["rows"] = h.grid->Rows();
}

void BM_PrintMatrix20Rows(benchmark::State& state) { printMatrix(state, 20, false); }
void BM_PrintMatrix32767Rows(benchmark::State& state) { printMatrix(state, 32767, false); }
void BM_PrintMatrix32767RowsScrolled(benchmark::State& state) { printMatrix(state, 32767, true); }

BENCHMARK(BM_PrintMatrix20Rows)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PrintMatrix32767Rows)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PrintMatrix32767RowsScrolled)->Unit(benchmark::kMicrosecond);

} // namespace
