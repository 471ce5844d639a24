// Beta from the export call to the data sets' rejections: the loading, the
// selected types, their weights, and the walk that fits them.

#include "nullmodel/BetaSimulation.h"

#include "nullmodel/FloatingPoint.h"

#include <cmath>

namespace quorlan {

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

RejectionRates BetaSimulation(const ModuleState& state, Distribution& distribution, double Strength,
                              int32_t Iterations) {
    if (state.TypeCount == 0)
        return {0, 0};
    const std::vector<SelectedType> selected = SelectTypes(state);

    int32_t c1 = 0;
    int32_t c2 = 0;
    if (Iterations >= 1) {
        const WeightedTypes weighted(selected, Strength);
        const Distribution::UniformFunction RndU = distribution.RndU();
        const std::span<const SimulatedType> types = weighted.types();
        // The walk side by side where its buffers hold a data set and its
        // subtractions can't overflow, else one draw after another.
        const int64_t words = WordsPerDataSet(types);
        if (words > 0 && WalkSideBySide(weighted.weights()))
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

std::vector<SelectedType> SelectTypes(const ModuleState& state) {
    std::vector<SelectedType> selected;
    for (const std::string& s : state.TypeStrings) {
        const double x = RecordedValue(state.TypePoolFraction, s);
        if (x < 0.99999999999 && x > 1E-15) {
            const int32_t n = RecordedValue(state.TypeSpecies, s);
            if (n < 1 || n > state.MaxSpecies)
                throw IndexFault("species count outside the tables");
            const int32_t f = RecordedValue(state.TypeFrequency, s);
            selected.push_back({n, f, x, state.ScoreMomentsRow(n, 1), state.ScoreMomentsRow(n, 2)});
        }
    }
    if (selected.empty())
        throw Failure("no site type has a pool fraction to simulate");
    return selected;
}

WeightedTypes::WeightedTypes(std::span<const SelectedType> selected, double Strength) {
    ClearFaults();
    const double strength = Observed(Strength);
    std::vector<std::size_t> offsets; // of each type's w(0)
    for (const SelectedType& type : selected) {
        offsets.push_back(weights_.size());
        weights_.push_back(0); // w(0), never read
        for (int32_t j = 1; j <= type.n; ++j) {
            const double w = Observed(type.x / (std::pow(strength, j) * (1 - type.x) + type.x));
            // A weight without a value (a Strength without one) would make
            // every comparison of the walk an invalid operation.
            if (std::isnan(w))
                throw FloatingPointFault("weight without a value");
            weights_.push_back(w);
        }
    }
    CheckFaults();
    for (std::size_t t = 0; t < selected.size(); ++t)
        types_.push_back({selected[t].n, selected[t].f, weights_.data() + offsets[t], selected[t].firstMoment,
                          selected[t].secondMoment});
}

} // namespace quorlan
