#pragma once
// Beta's simulation, step by step: the selected types, their weights at the
// call's Strength, and the data sets walked with them.

#include "nullmodel/DataSetWalk.h"
#include "nullmodel/QuorlanCore.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quorlan {

// A type whose pool fraction x lies strictly inside (1E-15, 0.99999999999).
struct SelectedType {
    int32_t n;
    int32_t f;
    double x;
    const double* firstMoment;  // ScoreMoments(n, ., 1)
    const double* secondMoment; // ScoreMoments(n, ., 2)
};

// The selected types of the loaded state, in first-met order. Failure when a
// type lacks a recorded value or none is selected.
std::vector<SelectedType> SelectTypes(const ModuleState& state);

// The selected types as the walks read them, with their weights
// w(j) = x / (Strength^j (1 - x) + x), computed once per type and call.
// FloatingPointFault when a weight faults or has no value.
class WeightedTypes {
public:
    WeightedTypes(std::span<const SelectedType> selected, double Strength);
    WeightedTypes(const WeightedTypes&) = delete;
    WeightedTypes& operator=(const WeightedTypes&) = delete;
    std::span<const SimulatedType> types() const { return types_; }
    // Every type's w(0) (never read) to w(n), type after type.
    std::span<const double> weights() const { return weights_; }

private:
    std::vector<double> weights_;
    std::vector<SimulatedType> types_;
};

} // namespace quorlan
