// The cost of the two Quorlan exports on the default-sized and the large
// matrix: PValue, and Beta (2500 data sets) on one thread and on every
// processor; with RndU alone in the same run, so that Beta's time a draw
// stands beside the generator's time a word.

#include "bench/SiteTypeMatrices.h"
#include "distribution/Pellivorn.h"
#include "nullmodel/Quorlan.h"

#include <benchmark/benchmark.h>

#include <sched.h>

#include <cstdint>
#include <string>
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
