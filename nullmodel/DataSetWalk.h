#pragma once
// Beta's simulated data sets, walked fast and with the same numbers as one
// draw after another: the calling thread draws the words of several data sets
// into a buffer, in the order in which the data sets would draw them, and the
// data sets are then assembled side by side, one lane each, with the guild
// walk of every lane done at once. Large calls hand the buffers to helper
// threads that live only for the call; each data set takes a fixed number of
// words, so it doesn't matter which thread assembles it, and the rejection
// counts are integers whose sum doesn't depend on the split.

#include "nullmodel/QuorlanCore.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quorlan {

// One selected site type, as the simulation reads it.
struct SimulatedType {
    int32_t n;                  // species at such a site: n - 1 words a site
    int32_t f;                  // sites of the type in each data set
    const double* w;            // w[j], j = 1 to n: the weight of a guild of j species
    const double* firstMoment;  // ScoreMoments(n, m, 1) at firstMoment[2 m]
    const double* secondMoment; // ScoreMoments(n, m, 2) at secondMoment[2 m]
};

// What one data set comes to, as its test takes it.
struct DataSetSums {
    double SumS;
    double SumMean;
    double SumVar;
};

// The vector units a walk side by side is compiled for, narrowest first. Each
// gives the same numbers; a call takes the widest the processor has.
enum class VectorUnits { Plain, Avx2, Avx512 };
VectorUnits WidestVectorUnits();
bool ProcessorHas(VectorUnits units);

// Whether the walk side by side gives today's numbers for these weights: each
// at least 0 (so a walk's u only falls: the slots where it is below 0 are
// the one where it stops and all after it) and at most 1E300 (so no subtraction of a
// walk, however long it goes on, can overflow). Every Strength of 0 or more
// gives weights in [0, 1]; the others go one draw after another.
bool WalkSideBySide(std::span<const double> weights);

// The words one data set draws: the sum of f (n - 1). 0 when too many for a
// buffer of data sets side by side (the caller then goes one draw at a time).
int64_t WordsPerDataSet(std::span<const SimulatedType> types);

// Simulates data sets 1 to Iterations (>= 1) and adds their rejections to c1
// and c2, drawing every word from RndU on the calling thread, in order; the
// few data sets of a last walk that would not pay for it go one draw after
// another. helpers: how many helper threads the call may start (0: none).
// units: the build of the walk, the widest the processor has unless the tests
// and benchmarks ask for another it can run. Throws Failure for units the
// processor lacks.
void SimulateDataSets(std::span<const SimulatedType> types, double (*RndU)(), int32_t Iterations,
                      int32_t& c1, int32_t& c2, unsigned helpers, VectorUnits units = WidestVectorUnits());

// The same data sets one after another, each draw walked on its own until its
// guild is found: for weights too large for the walk side by side and for data
// sets too large for its buffers.
void WalkOneDrawAfterAnother(std::span<const SimulatedType> types, double (*RndU)(), int32_t Iterations,
                             int32_t& c1, int32_t& c2);
// One data set of them.
DataSetSums OneDataSet(std::span<const SimulatedType> types, double (*RndU)());

// Each data set's sums, in order, for the tests: walked side by side on the
// calling thread, and one draw after another.
std::vector<DataSetSums> SumsSideBySide(std::span<const SimulatedType> types, double (*RndU)(),
                                        int32_t Iterations, VectorUnits units);
std::vector<DataSetSums> SumsOneDrawAfterAnother(std::span<const SimulatedType> types, double (*RndU)(),
                                                 int32_t Iterations);

// The helper threads a call of this many words is worth: none for calls too
// small to gain from them, else one fewer than the processors the process
// may run on.
unsigned HelpersWorthStarting(int64_t words);

} // namespace quorlan
