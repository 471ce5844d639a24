// The matrix store at the size of a large survey: 2000 species by 2000 sites
// with half of the data cells present (every other cell, shifted by one on
// each row), 20 guilds. Building it (row by row, as a matrix file is read,
// and column by column), copying it (Equals), walking its keys and turning it
// into site types.

#include "analysis/MatrixToTypes.h"
#include "analysis/SparseArray.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int32_t Species = 2000;
constexpr int32_t Sites = 2000;

SparseArray buildMatrix() {
    SparseArray m;
    m.sValue(0, 0, QStringLiteral("Species"));
    m.sValue(0, 1, QStringLiteral("Guild"));
    for (int32_t c = 2; c < Sites + 2; ++c)
        m.sValue(0, c, QStringLiteral("Site") + QString::number(c - 1));
    const QString one = QStringLiteral("1");
    for (int32_t r = 1; r <= Species; ++r) {
        m.sValue(r, 0, QStringLiteral("Sp") + QString::number(r));
        m.sValue(r, 1, QStringLiteral("G") + QString::number(r % 20));
        for (int32_t c = 2 + (r % 2); c < Sites + 2; c += 2)
            m.sValue(r, c, one);
    }
    return m;
}

// The same cells written column by column: the order in which a row's
// cells are written no longer follows the row.
SparseArray buildMatrixByColumns() {
    SparseArray m;
    m.sValue(0, 0, QStringLiteral("Species"));
    m.sValue(0, 1, QStringLiteral("Guild"));
    for (int32_t r = 1; r <= Species; ++r) {
        m.sValue(r, 0, QStringLiteral("Sp") + QString::number(r));
        m.sValue(r, 1, QStringLiteral("G") + QString::number(r % 20));
    }
    const QString one = QStringLiteral("1");
    for (int32_t c = 2; c < Sites + 2; ++c) {
        m.sValue(0, c, QStringLiteral("Site") + QString::number(c - 1));
        for (int32_t r = 1 + (c % 2); r <= Species; r += 2)
            m.sValue(r, c, one);
    }
    return m;
}

void BM_BuildMatrixByColumns(benchmark::State& state) {
    for (auto _ : state) {
        SparseArray m = buildMatrixByColumns();
        benchmark::DoNotOptimize(m.RowCount().Count());
    }
    state.SetItemsProcessed(state.iterations() * (int64_t(Species) * Sites / 2));
}

void BM_BuildMatrix(benchmark::State& state) {
    for (auto _ : state) {
        SparseArray m = buildMatrix();
        benchmark::DoNotOptimize(m.RowCount().Count());
    }
    state.SetItemsProcessed(state.iterations() * (int64_t(Species) * Sites / 2));
}

void BM_Equals(benchmark::State& state) {
    const SparseArray source = buildMatrix();
    for (auto _ : state) {
        SparseArray copy;
        copy.Equals(source);
        benchmark::DoNotOptimize(copy.ColCount().Count());
    }
    state.SetItemsProcessed(state.iterations() * (int64_t(Species) * Sites / 2));
}

// What the grid and the validation do with a matrix: walk its keys, split
// each and read the cell.
void BM_WalkKeys(benchmark::State& state) {
    const SparseArray source = buildMatrix();
    for (auto _ : state) {
        qsizetype characters = 0;
        for (const QString& key : source.sKeys()) {
            const auto parts = source.RowColumn(key);
            characters += source.sValue(parts[1], parts[2]).size();
        }
        benchmark::DoNotOptimize(characters);
    }
    state.SetItemsProcessed(state.iterations() * (int64_t(Species) * Sites / 2));
}

void BM_MatrixToTypes(benchmark::State& state) {
    const SparseArray source = buildMatrix();
    for (auto _ : state) {
        // The copy is made and released outside the measured time: the
        // conversion writes into the matrix it is given.
        state.PauseTiming();
        auto copy = std::make_unique<SparseArray>();
        copy->Equals(source);
        state.ResumeTiming();
        const auto types = MatrixToTypes(*copy);
        benchmark::DoNotOptimize(types.data());
        state.PauseTiming();
        copy.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * (int64_t(Species) * Sites));
}

} // namespace

BENCHMARK(BM_BuildMatrix)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildMatrixByColumns)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Equals)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MatrixToTypes)->Unit(benchmark::kMillisecond);
