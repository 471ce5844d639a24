// The two tests: PValue's standardized guild score of the observed sites, with
// the export call that wraps it, and the test of one of Beta's simulated data
// sets against the fixed critical value (Beta's road is BetaSimulation.cpp).

#include "nullmodel/FloatingPoint.h"
#include "nullmodel/QuorlanCore.h"

#include <cmath>
#include <limits>

namespace quorlan {

namespace {

double varianceThreshold() { return std::pow(10.0, -10.0); }

} // namespace

double PValueStatistic(const ModuleState& state, Distribution& distribution) {
    if (state.TypeCount == 0)
        return -1;

    ClearFaults();
    int32_t Obs = 0;
    double Mean = 0;
    double Var = 0;
    for (const std::string& s : state.TypeStrings) {
        const int32_t f = RecordedValue(state.TypeFrequency, s);
        const int32_t n = RecordedValue(state.TypeSpecies, s);
        const int32_t m = RecordedValue(state.TypeGuilds, s);
        const int32_t S = RecordedValue(state.TypeScore, s);
        const double E1 = state.ScoreMoments(n, m, 1);
        const double E2 = state.ScoreMoments(n, m, 2);
        int32_t term;
        if (__builtin_mul_overflow(S, f, &term) || __builtin_add_overflow(Obs, term, &Obs))
            throw IntegerOverflow("Obs overflows 32 bits");
        Mean = Mean + E1 * static_cast<double>(f);
        Var = Var + (E2 - E1 * E1) * static_cast<double>(f);
    }
    Mean = Observed(Mean);
    Var = Observed(Var);
    CheckFaults();

    if (!(Var > varianceThreshold()))
        return 1;
    const double z = Observed((static_cast<double>(Obs) - Mean) / std::pow(Var, 0.5));
    CheckFaults();
    const double p = Observed(distribution.NormCDF(z));
    CheckFaults();
    return p;
}

void CountRejections(double SumS, double SumMean, double SumVar, int32_t& c1, int32_t& c2) {
    if (!(SumVar > varianceThreshold()))
        return;
    const double z = (SumS - SumMean) / std::pow(SumVar, 0.5);
    if (z <= -CriticalZ && __builtin_add_overflow(c1, 1, &c1))
        throw IntegerOverflow("rejection counter overflows 32 bits");
    if (z >= CriticalZ && __builtin_add_overflow(c2, 1, &c2))
        throw IntegerOverflow("rejection counter overflows 32 bits");
}

double CallPValue(Distribution& distribution, const char* const* Types, int32_t TypesUpper,
                  int32_t Seed) noexcept {
    FloatingPointScope scope;
    try {
        const std::vector<std::string_view> strings = ReadTypes(Types, TypesUpper);
        ModuleState& state = ThreadState();
        LoadPc1(state, strings);
        PrepareTables(state);
        LoadData(state, distribution, strings, Seed);
        return PValueStatistic(state, distribution);
    } catch (...) {
        return std::numeric_limits<double>::quiet_NaN();
    }
}

} // namespace quorlan
