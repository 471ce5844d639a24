// The null-model tables: log factorials, logs of the Stirling numbers of the
// second kind, and the exact first two moments of the guild score of n species
// in m guilds when every set partition into m blocks is equally likely.

#include "nullmodel/FloatingPoint.h"
#include "nullmodel/QuorlanCore.h"

#include <algorithm>
#include <cmath>

namespace quorlan {

namespace {

// Entries per row of the tables as built (index 0 included).
std::size_t side(const ModuleState& state) { return state.LogFactorial.size(); }

bool inTable(const ModuleState& state, int32_t i) { return i >= 1 && i <= state.MaxSpecies; }

std::size_t stirlingIndex(const ModuleState& state, int32_t n, int32_t m) {
    if (!inTable(state, n) || !inTable(state, m))
        throw IndexFault("LogStirling2 index outside the table");
    return static_cast<std::size_t>(n) * side(state) + static_cast<std::size_t>(m);
}

std::size_t momentIndex(const ModuleState& state, int32_t n, int32_t m, int32_t k) {
    if (!inTable(state, n) || !inTable(state, m) || k < 1 || k > 2)
        throw IndexFault("ScoreMoments index outside the table");
    return (static_cast<std::size_t>(n) * side(state) + static_cast<std::size_t>(m)) * 2 +
           static_cast<std::size_t>(k - 1);
}

} // namespace

double& ModuleState::LogStirling2(int32_t n, int32_t m) { return LogStirling2Table[stirlingIndex(*this, n, m)]; }
double ModuleState::LogStirling2(int32_t n, int32_t m) const {
    return LogStirling2Table[stirlingIndex(*this, n, m)];
}
double& ModuleState::ScoreMoments(int32_t n, int32_t m, int32_t k) {
    return ScoreMomentsTable[momentIndex(*this, n, m, k)];
}
double ModuleState::ScoreMoments(int32_t n, int32_t m, int32_t k) const {
    return ScoreMomentsTable[momentIndex(*this, n, m, k)];
}
const double* ModuleState::ScoreMomentsRow(int32_t n, int32_t k) const {
    // Entry m of the row sits at offset 2 m.
    return ScoreMomentsTable.data() + static_cast<std::size_t>(n) * side(*this) * 2 + static_cast<std::size_t>(k - 1);
}

ModuleState& ThreadState() {
    thread_local ModuleState state;
    return state;
}

void LoadPc1(ModuleState& state, std::span<const std::string_view> Types) {
    state.MaxSpecies = 0;
    for (std::string_view s : Types) {
        const auto k = std::count(s.begin(), s.end(), ',');
        if (k > state.MaxSpecies && k <= 40)
            state.MaxSpecies = static_cast<int32_t>(k);
    }
    state.MaxSpecies = state.MaxSpecies + 1;
}

void FillLogFactorials(ModuleState& state) {
    for (int32_t i = 1; i <= state.MaxSpecies; ++i) {
        double sum = 0;
        for (int32_t j = 1; j <= i; ++j)
            sum = sum + std::log(static_cast<double>(j));
        state.LogFactorial[static_cast<std::size_t>(i)] = sum;
    }
}

void FillLogStirling(ModuleState& state) {
    const int32_t N = state.MaxSpecies;
    for (int32_t i = 1; i <= N; ++i) {
        state.LogStirling2(i, i) = 1;
        state.LogStirling2(i, 1) = 1;
    }
    // The Stirling numbers themselves first, then their logs in place.
    for (int32_t n = 3; n <= N; ++n)
        for (int32_t m = 2; m <= n - 1; ++m)
            state.LogStirling2(n, m) =
                static_cast<double>(m) * state.LogStirling2(n - 1, m) + state.LogStirling2(n - 1, m - 1);
    for (int32_t n = 1; n <= N; ++n)
        for (int32_t m = 1; m <= n; ++m)
            state.LogStirling2(n, m) = std::log(state.LogStirling2(n, m));
}

double LogCoeff(const ModuleState& state, std::span<const int32_t> c, int32_t n) {
    const auto logFactorial = [&](int32_t i) {
        if (i < 0 || i > state.MaxSpecies)
            throw IndexFault("LogFactorial index outside the table");
        return state.LogFactorial[static_cast<std::size_t>(i)];
    };
    if (n < 1 || static_cast<std::size_t>(n) >= c.size())
        throw IndexFault("profile shorter than its species count");
    double r = logFactorial(n);
    for (int32_t i = 1; i <= n; ++i) {
        const int32_t ci = c[static_cast<std::size_t>(i)];
        if (ci != 0)
            r = (r - static_cast<double>(ci) * logFactorial(i)) - logFactorial(ci);
    }
    return r;
}

void AddPartitionMoments(ModuleState& state, const int32_t* x, int32_t n, int32_t m) {
    int32_t S = 0;
    for (int32_t i = 1; i <= m; ++i)
        S = S + x[i] * x[i];
    // LogCoeff of the partition's profile, read straight off the parts: they
    // stand in decreasing order, so walking them from the end meets the block
    // sizes i with c(i) <> 0 in increasing order, as LogCoeff does, with the
    // same operations in the same order. This is the innermost work of the
    // tables (259,887 partitions at 41 species).
    const double* const logFactorial = state.LogFactorial.data();
    double r = logFactorial[n];
    for (int32_t j = m; j >= 1;) {
        const int32_t i = x[j];
        int32_t ci = 0;
        while (j >= 1 && x[j] == i) {
            ++ci;
            --j;
        }
        r = (r - static_cast<double>(ci) * logFactorial[i]) - logFactorial[ci];
    }
    const double P = std::exp(r - state.LogStirling2(n, m));
    double& first = state.ScoreMoments(n, m, 1);
    double& second = state.ScoreMoments(n, m, 2);
    first = static_cast<double>(S) * P + first;
    second = static_cast<double>(S * S) * P + second;
}

void LoadConstants(ModuleState& state) {
    const int32_t N = state.MaxSpecies;
    if (N < 1 || N > LargestSpeciesCount)
        throw IndexFault("table size outside 1 to 41");
    state.TablesBuiltFor = 0;
    const std::size_t s = static_cast<std::size_t>(N) + 1;
    state.LogFactorial.assign(s, 0.0);
    state.LogStirling2Table.assign(s * s, 0.0);
    state.ScoreMomentsTable.assign(s * s * 2, 0.0);

    ClearFaults();
    FillLogFactorials(state);
    FillLogStirling(state);
    for (int32_t n = 3; n <= N; ++n)
        EnumeratePartitions(n, [&](const int32_t* x, int32_t m) { AddPartitionMoments(state, x, n, m); });
    Observed(state.ScoreMomentsTable.back());
    CheckFaults();
    state.TablesBuiltFor = N;
}

void PrepareTables(ModuleState& state) {
    const int32_t N = state.MaxSpecies;
    if (N < 1 || N > LargestSpeciesCount)
        throw IndexFault("table size outside 1 to 41");
    if (state.TablesBuiltFor >= N)
        return;
    LoadConstants(state);
}

} // namespace quorlan
