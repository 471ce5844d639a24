#pragma once
// What the walks of data sets side by side share with the pipeline that
// feeds them: how the words of a buffer lie, the weights by guild size, and
// the builds of the walk. Every lane of a walk does exactly the
// floating-point operations of one data set assembled on its own, in the same
// order, so the numbers are those of one draw after another.

#include "nullmodel/DataSetWalk.h"
#include "nullmodel/QuorlanCore.h"

#include <cstdint>
#include <limits>
#include <span>

namespace quorlan {

// Data sets walked side by side, one lane each, in groups of Lanes: the
// words of a group lie word by word, the Lanes data sets' j-th words side by
// side. A walk takes Groups groups at once.
inline constexpr int Lanes = 8;
inline constexpr int Groups = 4;

// Guild slots of a site: one per species at most, and one more that is
// always empty.
inline constexpr int Slots = LargestSpeciesCount + 1;

// One type's weights by guild size, w(0) = +infinity for an empty slot; 48 of
// them for the AVX-512 walk's six registers, +infinity past w(n).
struct alignas(64) WeightsBySize {
    double w[48];
    explicit WeightsBySize(const SimulatedType& type) {
        for (double& weight : w)
            weight = std::numeric_limits<double>::infinity();
        for (int32_t j = 1; j <= type.n; ++j)
            w[j] = type.w[j];
    }
};

// Walks the Groups groups of data sets whose words start at words[0] to
// words[Groups - 1] through every site of the types, and writes the sums of
// the Groups * Lanes data sets, group by group and lane by lane.
using WalkGroups = void (*)(std::span<const SimulatedType> types, const double* const* words, DataSetSums* sums);

void walkGroupsPlain(std::span<const SimulatedType> types, const double* const* words, DataSetSums* sums);
void walkGroupsAvx2(std::span<const SimulatedType> types, const double* const* words, DataSetSums* sums);
void walkGroupsAvx512(std::span<const SimulatedType> types, const double* const* words, DataSetSums* sums);

} // namespace quorlan
