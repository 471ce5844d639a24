// The cost of the two Quorlan exports, each call rebuilding its tables, loading
// the types and (for Beta) simulating 2500 data sets.

#include "nullmodel/Quorlan.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace {

// The site type string of one site from the species counts of the guilds
// present there: "(" c1 "," ... "," cn ")", ci = guilds with i species.
std::string typeString(const std::vector<int>& guildCounts) {
    int n = 0;
    for (int count : guildCounts)
        n += count;
    std::vector<int> c(static_cast<std::size_t>(n) + 1, 0);
    for (int count : guildCounts)
        if (count > 0)
            ++c[static_cast<std::size_t>(count)];
    std::string s = "(";
    for (int i = 1; i <= n; ++i)
        s += (i > 1 ? "," : "") + std::to_string(c[static_cast<std::size_t>(i)]);
    return s + ")";
}

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

// 20 species (rows, five per guild A to D) by 20 sites (columns).
TypesArray defaultMatrix() {
    const char* rows[20] = {
        "11011101110111011011", "10110011101100111010", "01101110011011100111", "11100101101010111001",
        "00111011100111010110", // guild A
        "11011010111011101101", "01110111010110011011", "10101101111001110110", "11111000110111001110",
        "01011111001110111001", // guild B
        "10111011011101011011", "11010110110111100101", "01101101101110111110", "10110111011001101011",
        "11101010111110010111", // guild C
        "01111101011011011101", "11010011111101110010", "10111110010111011011", "01101011101010111110",
        "11110101110111001101", // guild D
    };
    std::vector<std::string> types;
    for (int site = 0; site < 20; ++site) {
        std::vector<int> guilds(4, 0);
        for (int species = 0; species < 20; ++species)
            if (rows[species][site] == '1')
                ++guilds[static_cast<std::size_t>(species / 5)];
        types.push_back(typeString(guilds));
    }
    return TypesArray(types);
}

// 200 sites of 30 to 41 species, each species drawn into one of ten guilds by
// a fixed linear congruential sequence.
TypesArray largeMatrix() {
    uint32_t state = 12345;
    auto next = [&] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    std::vector<std::string> types;
    for (int site = 0; site < 200; ++site) {
        const int n = 30 + static_cast<int>(next() % 12);
        std::vector<int> guilds(10, 0);
        for (int species = 0; species < n; ++species)
            ++guilds[next() % 10];
        types.push_back(typeString(guilds));
    }
    return TypesArray(types);
}

void pValue(benchmark::State& state, TypesArray types) {
    for (auto _ : state) {
        // A failed call or a matrix without usable sites would time nothing.
        const double p = PValue(types.pointers.data(), types.upper(), 0);
        if (!(p >= 0 && p <= 1))
            state.SkipWithError("PValue gave no p-value");
        benchmark::DoNotOptimize(p);
    }
}

void beta(benchmark::State& state, TypesArray types) {
    RejectionRates rates{};
    for (auto _ : state) {
        if (!Beta(&rates, 1.3, types.pointers.data(), types.upper(), 2500, 0))
            state.SkipWithError("Beta failed");
        benchmark::DoNotOptimize(rates);
    }
}

BENCHMARK_CAPTURE(pValue, Default20x20, defaultMatrix())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(beta, Default20x20, defaultMatrix())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(pValue, Large200Sites, largeMatrix())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(beta, Large200Sites, largeMatrix())->Unit(benchmark::kMillisecond);

} // namespace
