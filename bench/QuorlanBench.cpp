// The cost of the two Quorlan exports on the default-sized and the large
// matrix: PValue, and Beta (2500 data sets) on one thread and on every
// processor; with RndU alone in the same run, so that Beta's time a draw
// stands beside the generator's time a word. And each build of Beta's walk
// that the processor can run, on one thread over the same matrices' data
// sets, against RndU's time a word taken in the same benchmark.

#include "bench/SiteTypeMatrices.h"
#include "distribution/Pellivorn.h"
#include "nullmodel/BetaSimulation.h"
#include "nullmodel/DataSetWalk.h"
#include "nullmodel/QuorlanCore.h"
#include "nullmodel/Quorlan.h"

#include <benchmark/benchmark.h>

#include <sched.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct TypesArray {
    explicit TypesArray(std::vector<std::string> strings) : texts(std::move(strings)) {
        pointers.push_back(nullptr);
        for (const std::string& s : texts)
            pointers.push_back(s.c_str());
    }
    std::vector<std::string> texts;
    std::vector<const char*> pointers;
    int32_t upper() const { return static_cast<int32_t>(texts.size()); }
};

constexpr int32_t Iterations = 2500;

// Holds the calling thread to the one processor it runs on, for as long as
// it lives: Beta then starts no helper threads.
class OneProcessor {
public:
    OneProcessor() {
        sched_getaffinity(0, sizeof saved_, &saved_);
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(sched_getcpu(), &one);
        sched_setaffinity(0, sizeof one, &one);
    }
    ~OneProcessor() { sched_setaffinity(0, sizeof saved_, &saved_); }
    OneProcessor(const OneProcessor&) = delete;
    OneProcessor& operator=(const OneProcessor&) = delete;

private:
    cpu_set_t saved_;
};

void pValue(benchmark::State& state, TypesArray types) {
    for (auto _ : state) {
        // A failed call or a matrix without usable sites would time nothing.
        const double p = PValue(types.pointers.data(), types.upper(), 0);
        if (!(p >= 0 && p <= 1))
            state.SkipWithError("PValue gave no p-value");
        benchmark::DoNotOptimize(p);
    }
}

void seed(int32_t s) {
    alignas(16) unsigned char variant[16];
    RandomizeU(variant, s);
}

// The words the generator moved on by in a Beta call with the seed 0 (the
// generator of this thread is the one Beta draws from): the next word after
// the call, found again in the sequence of the seed 0.
int64_t wordsDrawnByBeta(const TypesArray& types, int32_t count) {
    RejectionRates rates{};
    Beta(&rates, 1.3, types.pointers.data(), types.upper(), count, 0);
    const double next[3] = {RndU(), RndU(), RndU()};
    seed(0);
    double window[3] = {RndU(), RndU(), RndU()};
    int64_t words = 0;
    while (window[0] != next[0] || window[1] != next[1] || window[2] != next[2]) {
        window[0] = window[1];
        window[1] = window[2];
        window[2] = RndU();
        ++words;
    }
    return words;
}

void beta(benchmark::State& state, const TypesArray& types) {
    // The draws of the simulation: all words of the call but those of the
    // pool-fraction estimates (a call of no data sets fails after them).
    const auto draws = static_cast<double>(wordsDrawnByBeta(types, Iterations) - wordsDrawnByBeta(types, 0));
    RejectionRates rates{};
    for (auto _ : state) {
        if (!Beta(&rates, 1.3, types.pointers.data(), types.upper(), Iterations, 0))
            state.SkipWithError("Beta failed");
        benchmark::DoNotOptimize(rates);
    }
    state.counters["draws"] = draws;
    state.counters["ns_per_draw"] = benchmark::Counter(
        draws * 1E-9 * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void betaOneThread(benchmark::State& state, TypesArray types) {
    OneProcessor one;
    beta(state, types);
}

void betaAllThreads(benchmark::State& state, TypesArray types) { beta(state, types); }

// The generator alone, as Beta calls it, in the same run.
void BM_RndU(benchmark::State& state) {
    seed(5489);
    for (auto _ : state)
        benchmark::DoNotOptimize(RndU());
    state.counters["ns_per_draw"] = benchmark::Counter(static_cast<double>(state.iterations()) * 1E-9,
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RndU);

// ---- The builds of the walk ----

// Pellivorn itself as Quorlan's inside takes it.
class Pellivorn final : public quorlan::Distribution {
public:
    void RandomizeU(int32_t Seed) override { seed(Seed); }
    UniformFunction RndU() override { return &::RndU; }
    double NormCDF(double x) override { return ::NormCDF(x); }
};

// RndU's nanoseconds a word: the best of three runs of a million words.
double rndUNanoseconds() {
    double best = 1E300;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        double sum = 0;
        for (int i = 0; i < 1'000'000; ++i)
            sum += RndU();
        benchmark::DoNotOptimize(sum);
        const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count() / 1E6);
    }
    return best;
}

enum class Build { Simple, Plain, Avx2, Avx512 };

// One build of the walk over Beta's data sets of the matrix at Strength 1.3
// (2500 of them, seed 0), on one thread: per_draw_over_RndU is its time a
// draw over RndU's time a word, RndU taken before and after in this process.
void walk(benchmark::State& state, Build build, TypesArray types) {
    OneProcessor one;
    Pellivorn pellivorn;
    std::vector<std::string_view> strings(types.texts.begin(), types.texts.end());
    quorlan::ModuleState& module = quorlan::ThreadState();
    quorlan::LoadPc1(module, strings);
    quorlan::PrepareTables(module);
    quorlan::LoadData(module, pellivorn, strings, 0);
    const std::vector<quorlan::SelectedType> selected = quorlan::SelectTypes(module);
    const quorlan::WeightedTypes weighted(selected, 1.3);
    const auto simulated = weighted.types();
    const double draws = static_cast<double>(quorlan::WordsPerDataSet(simulated)) * Iterations;

    const double rndUBefore = rndUNanoseconds();
    double seconds = 0;
    for (auto _ : state) {
        int32_t c1 = 0;
        int32_t c2 = 0;
        const auto start = std::chrono::steady_clock::now();
        switch (build) {
        case Build::Simple:
            quorlan::WalkOneDrawAfterAnother(simulated, &RndU, Iterations, c1, c2);
            break;
        case Build::Plain:
            quorlan::SimulateDataSets(simulated, &RndU, Iterations, c1, c2, 0, quorlan::VectorUnits::Plain);
            break;
        case Build::Avx2:
            quorlan::SimulateDataSets(simulated, &RndU, Iterations, c1, c2, 0, quorlan::VectorUnits::Avx2);
            break;
        case Build::Avx512:
            quorlan::SimulateDataSets(simulated, &RndU, Iterations, c1, c2, 0, quorlan::VectorUnits::Avx512);
            break;
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(c1);
        benchmark::DoNotOptimize(c2);
    }
    const double rndU = (rndUBefore + rndUNanoseconds()) / 2;
    const double perDraw = seconds * 1E9 / static_cast<double>(state.iterations()) / draws;
    state.counters["draws"] = draws;
    state.counters["ns_per_draw"] = perDraw;
    state.counters["RndU_ns"] = rndU;
    state.counters["per_draw_over_RndU"] = perDraw / rndU;
}

// Registered for the builds this processor can run.
const bool walksRegistered = [] {
    struct Named {
        const char* name;
        Build build;
        bool runs;
    };
    const Named builds[] = {
        {"simple", Build::Simple, true},
        {"plain", Build::Plain, true},
        {"AVX2", Build::Avx2, quorlan::ProcessorHas(quorlan::VectorUnits::Avx2)},
        {"AVX-512", Build::Avx512, quorlan::ProcessorHas(quorlan::VectorUnits::Avx512)},
    };
    for (const Named& b : builds) {
        if (!b.runs)
            continue;
        benchmark::RegisterBenchmark((std::string("walk/") + b.name + "/Default20x20").c_str(), walk, b.build,
                                     TypesArray(bench::defaultMatrixTypes()))
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark((std::string("walk/") + b.name + "/Large200Sites").c_str(), walk, b.build,
                                     TypesArray(bench::largeMatrixTypes()))
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    return true;
}();

BENCHMARK_CAPTURE(pValue, Default20x20, TypesArray(bench::defaultMatrixTypes()))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(betaOneThread, Default20x20, TypesArray(bench::defaultMatrixTypes()))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(betaAllThreads, Default20x20, TypesArray(bench::defaultMatrixTypes()))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(pValue, Large200Sites, TypesArray(bench::largeMatrixTypes()))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(betaOneThread, Large200Sites, TypesArray(bench::largeMatrixTypes()))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(betaAllThreads, Large200Sites, TypesArray(bench::largeMatrixTypes()))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
