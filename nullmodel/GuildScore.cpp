// The two tests: PValue's standardized guild score of the observed sites, and
// Beta's simulated data sets tested against the fixed critical value; with the
// export calls that wrap them.

#include "nullmodel/DataSetWalk.h"
#include "nullmodel/FloatingPoint.h"
#include "nullmodel/QuorlanCore.h"

#include <cmath>
#include <limits>

namespace quorlan {

namespace {

template <typename Value>
const Value& lookup(const platform::OrderedDictionary<std::string, Value>& collection, const std::string& key) {
    const Value* value = collection.Find(key);
    if (!value)
        throw Failure("a recorded type lacks a value");
    return *value;
}

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
        const int32_t f = lookup(state.TypeFrequency, s);
        const int32_t n = lookup(state.TypeSpecies, s);
        const int32_t m = lookup(state.TypeGuilds, s);
        const int32_t S = lookup(state.TypeScore, s);
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

RejectionRates BetaSimulation(const ModuleState& state, Distribution& distribution, double Strength,
                              int32_t Iterations) {
    if (state.TypeCount == 0)
        return {0, 0};

    struct SelectedType {
        int32_t n;
        int32_t f;
        double x;
        std::size_t weights; // offset of w(0) in the weights of the call
        const double* firstMoment;
        const double* secondMoment;
    };
    std::vector<SelectedType> selected;
    for (const std::string& s : state.TypeStrings) {
        const double x = lookup(state.TypePoolFraction, s);
        if (x < 0.99999999999 && x > 1E-15) {
            const int32_t n = lookup(state.TypeSpecies, s);
            if (n < 1 || n > state.MaxSpecies)
                throw IndexFault("species count outside the tables");
            selected.push_back({n, lookup(state.TypeFrequency, s), x, 0, state.ScoreMomentsRow(n, 1),
                                state.ScoreMomentsRow(n, 2)});
        }
    }
    if (selected.empty())
        throw Failure("no site type has a pool fraction to simulate");

    int32_t c1 = 0;
    int32_t c2 = 0;
    if (Iterations >= 1) {
        // The weights depend only on the type and Strength: once per call.
        ClearFaults();
        const double strength = Observed(Strength);
        std::vector<double> weights;
        for (SelectedType& type : selected) {
            type.weights = weights.size();
            weights.push_back(0); // w(0), never read
            for (int32_t j = 1; j <= type.n; ++j) {
                const double w = Observed(type.x / (std::pow(strength, j) * (1 - type.x) + type.x));
                // A weight without a value (a Strength without one) would make
                // every comparison of the walk an invalid operation.
                if (std::isnan(w))
                    throw FloatingPointFault("weight without a value");
                weights.push_back(w);
            }
        }
        CheckFaults();

        const Distribution::UniformFunction RndU = distribution.RndU();
        std::vector<SimulatedType> types;
        for (const SelectedType& type : selected)
            types.push_back({type.n, type.f, weights.data() + type.weights, type.firstMoment, type.secondMoment});
        const int64_t words = WordsPerDataSet(types);
        if (words > 0 && WalkSideBySide(weights))
            SimulateDataSets(types, RndU, Iterations, c1, c2, HelpersWorthStarting(words * Iterations));
        else
            WalkOneDrawAfterAnother(types, RndU, Iterations, c1, c2);
        Observed(c1);
        Observed(c2);
        CheckFaults();
    }

    // 0 / 0 when no data set was asked for: a fault, so the call fails.
    ClearFaults();
    const double count = Observed(static_cast<double>(Iterations));
    RejectionRates rates;
    rates.CompetitionRate = Observed(static_cast<double>(c1) / count);
    rates.FacilitationRate = Observed(static_cast<double>(c2) / count);
    CheckFaults();
    return rates;
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

RejectionRates* CallBeta(Distribution& distribution, RejectionRates* result, double Strength,
                         const char* const* Types, int32_t TypesUpper, int32_t Iterations,
                         int32_t Seed) noexcept {
    if (!result)
        return nullptr;
    FloatingPointScope scope;
    try {
        distribution.RandomizeU(Seed);
        const std::vector<std::string_view> strings = ReadTypes(Types, TypesUpper);
        ModuleState& state = ThreadState();
        LoadPc1(state, strings);
        PrepareTables(state);
        LoadData(state, distribution, strings, Seed);
        *result = BetaSimulation(state, distribution, Strength, Iterations);
        return result;
    } catch (...) {
        return nullptr;
    }
}

} // namespace quorlan
