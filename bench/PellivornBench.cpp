// Time per call of the Pellivorn exports, called directly as Quorlan calls them.

#include "distribution/Pellivorn.h"

#include <benchmark/benchmark.h>

namespace {

void seed(int32_t s) {
    alignas(16) unsigned char variant[16];
    RandomizeU(variant, s);
}

void BM_RndU(benchmark::State& state) {
    seed(5489);
    for (auto _ : state)
        benchmark::DoNotOptimize(RndU());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RndU);

// Seeding fills the 624 state words; the next draw regenerates them.
void BM_RandomizeUThenRndU(benchmark::State& state) {
    for (auto _ : state) {
        seed(12345);
        benchmark::DoNotOptimize(RndU());
    }
}
BENCHMARK(BM_RandomizeUThenRndU);

void BM_NormCDF(benchmark::State& state) {
    double x = -1.96;
    for (auto _ : state) {
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(NormCDF(x));
    }
}
BENCHMARK(BM_NormCDF);

void BM_NormPDF(benchmark::State& state) {
    double x = 1.25;
    for (auto _ : state) {
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(NormPDF(x));
    }
}
BENCHMARK(BM_NormPDF);

} // namespace
