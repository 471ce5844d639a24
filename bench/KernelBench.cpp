// One whole analysis (one PValue and 29 Beta calls, the progress window
// updated at each of the 30 steps) with the real libraries: a default-sized
// matrix, the benchmarks' large matrix (200 sites of 30 to 41 species), and
// site types of which none is usable.

#include "analysis/Kernel.h"
#include "analysis/MatrixToTypes.h"
#include "analysis/Settings.h"
#include "analysis/SparseArray.h"
#include "analysis/frmProgress.h"
#include "bench/SiteTypeMatrices.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

// 20 species by 20 sites, species k in guild "G" + ((k - 1) mod 4 + 1), each
// cell present with chance 1/2 from a fixed stream.
std::vector<std::string> defaultSizedTypes() {
    SparseArray matrix;
    matrix.sValue(0, 0, QStringLiteral("Species"));
    matrix.sValue(0, 1, QStringLiteral("Guild"));
    for (int site = 1; site <= 20; ++site)
        matrix.sValue(0, site + 1, QStringLiteral("Site%1").arg(site));
    std::mt19937 stream(20261210);
    for (int species = 1; species <= 20; ++species) {
        matrix.sValue(species, 0, QStringLiteral("Sp%1").arg(species));
        matrix.sValue(species, 1, QStringLiteral("G%1").arg((species - 1) % 4 + 1));
        for (int site = 1; site <= 20; ++site)
            if (stream() & 1u)
                matrix.sValue(species, site + 1, QStringLiteral("1"));
    }
    return MatrixToTypes(matrix);
}

void runKernel(benchmark::State& state, const std::vector<std::string>& types) {
    Settings::IterationCount = 0;
    Settings::RandomSeed = 0;
    progressWindow().show();
    for (auto _ : state) {
        SimulationResults record = Kernel(types);
        benchmark::DoNotOptimize(record);
    }
    progressWindow().hide();
    state.counters["sites"] = static_cast<double>(types.size());
}

void BM_KernelDefaultSizedMatrix(benchmark::State& state) { runKernel(state, defaultSizedTypes()); }
BENCHMARK(BM_KernelDefaultSizedMatrix)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_KernelLargeMatrix(benchmark::State& state) { runKernel(state, bench::largeMatrixTypes()); }
BENCHMARK(BM_KernelLargeMatrix)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_KernelNoUsableSiteType(benchmark::State& state) {
    runKernel(state, std::vector<std::string>(20, "(0,0,0,1)"));
}
BENCHMARK(BM_KernelNoUsableSiteType)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
