#pragma once
// Quorlan's inside: the null-model tables, the loading of the site types, the
// pool-fraction estimate, the statistic of PValue and the simulation of Beta.
// The exports in Quorlan.cpp are thin forwarders to CallPValue and CallBeta;
// the tests and the fuzz entry reach the same code through this header, with a
// Distribution of their own in place of the bound Pellivorn.

#include "nullmodel/Quorlan.h"
#include "platform/OrderedDictionary.h"

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quorlan {

// Every failure of a call: it ends the call (or, inside LoadData, the step).
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
// A Pellivorn export that cannot be bound.
class BindingFailure : public Failure {
public:
    using Failure::Failure;
};
// Division by zero, overflow or an operation without a defined result.
class FloatingPointFault : public Failure {
public:
    using Failure::Failure;
};
// An index outside a table.
class IndexFault : public Failure {
public:
    using Failure::Failure;
};
// A 32-bit signed integer that would leave its range.
class IntegerOverflow : public Failure {
public:
    using Failure::Failure;
};

// The largest number of species a usable site type has (40 commas).
inline constexpr int32_t LargestSpeciesCount = 41;

// The three services Quorlan takes from the distribution library. Each throws
// BindingFailure when its export can't be bound.
class Distribution {
public:
    using UniformFunction = double (*)();
    virtual ~Distribution() = default;
    virtual void RandomizeU(int32_t Seed) = 0;
    // The draw function itself, so the simulation calls it without a detour.
    virtual UniformFunction RndU() = 0;
    virtual double NormCDF(double x) = 0;
};

// The library's state of one calling thread, rebuilt by every export call.
struct ModuleState {
    // The call's table size: every checked read of the tables stays within it,
    // whatever size the tables were built for.
    int32_t MaxSpecies = 0;
    // The size the tables were last built for, in full (0: none). An entry's
    // value doesn't depend on that size, so tables built for the largest size
    // seen serve every call of a size up to it.
    int32_t TablesBuiltFor = 0;
    std::vector<double> LogFactorial;      // index 0 to the built size
    std::vector<double> LogStirling2Table; // (n, m), each 0 to the built size, row 0 and column 0 unused
    std::vector<double> ScoreMomentsTable; // (n, m, k), k = 1 or 2

    int32_t TypeCount = 0;
    std::vector<std::string> TypeStrings; // TypeStrings[k - 1] is type k, in first-met order
    platform::OrderedDictionary<std::string, int32_t> TypeFrequency;
    platform::OrderedDictionary<std::string, int32_t> TypeSpecies;
    platform::OrderedDictionary<std::string, int32_t> TypeGuilds;
    platform::OrderedDictionary<std::string, int32_t> TypeScore;
    platform::OrderedDictionary<std::string, double> TypePoolFraction;

    // Checked reads and writes of the tables: IndexFault outside 1 to MaxSpecies.
    double& LogStirling2(int32_t n, int32_t m);
    double LogStirling2(int32_t n, int32_t m) const;
    double& ScoreMoments(int32_t n, int32_t m, int32_t k);
    double ScoreMoments(int32_t n, int32_t m, int32_t k) const;
    // Unchecked row of ScoreMoments(n, ., k), indexed by m; for the simulation,
    // which has checked n beforehand.
    const double* ScoreMomentsRow(int32_t n, int32_t k) const;
};

// The state of the calling thread.
ModuleState& ThreadState();

// The value that one of the state's stores records for the type string s;
// Failure when it records none.
template <typename Value>
const Value& RecordedValue(const platform::OrderedDictionary<std::string, Value>& store, const std::string& s) {
    const Value* value = store.Find(s);
    if (!value)
        throw Failure("a recorded type lacks a value");
    return *value;
}

// The caller's Types[1] to Types[TypesUpper] (a null element reads as ""), in
// index order; a null Types (never dimensioned) is a Failure.
std::vector<std::string_view> ReadTypes(const char* const* Types, int32_t TypesUpper);

// ---- Null-model tables ----

// MaxSpecies = 1 + the largest comma count not above 40 among the strings.
void LoadPc1(ModuleState& state, std::span<const std::string_view> Types);
// Recreates and fills LogFactorial, LogStirling2 and ScoreMoments for MaxSpecies.
void LoadConstants(ModuleState& state);
// The export calls' way to the tables: LoadConstants only when the tables
// built on this thread don't reach MaxSpecies, so a thread builds them once
// for the largest size it meets. IndexFault for a size outside 1 to 41.
void PrepareTables(ModuleState& state);
void FillLogFactorials(ModuleState& state);
void FillLogStirling(ModuleState& state);
// Adds one integer partition x[1] >= ... >= x[m] of n to ScoreMoments(n, m, .).
void AddPartitionMoments(ModuleState& state, const int32_t* x, int32_t n, int32_t m);
// ln of the number of set partitions of n labelled species with the block-size
// profile c (c[i] = blocks of size i, c[0] unused; c holds at least n + 1
// entries). IndexFault when n or a count lies outside 0 to MaxSpecies.
double LogCoeff(const ModuleState& state, std::span<const int32_t> c, int32_t n);

// Visits every integer partition of n >= 1 once, from (n) to (1, ..., 1) in
// reverse lexicographic order (Zoghbi and Stojmenovic's ZS1): visit(x, m) with
// the parts x[1] >= ... >= x[m] (x[0] unused).
template <typename Visit>
void EnumeratePartitions(int32_t n, Visit&& visit) {
    std::vector<int32_t> x(static_cast<std::size_t>(n) + 1, 1);
    x[1] = n;
    int32_t m = 1;
    int32_t h = 1;
    visit(x.data(), m);
    while (x[1] != 1) {
        if (x[h] == 2) {
            m = m + 1;
            x[h] = 1;
            h = h - 1;
        } else {
            const int32_t r = x[h] - 1;
            int32_t t = m - h + 1;
            x[h] = r;
            while (t >= r) {
                h = h + 1;
                x[h] = r;
                t = t - r;
            }
            if (t == 0) {
                m = h;
            } else {
                m = h + 1;
                if (t > 1) {
                    h = h + 1;
                    x[h] = t;
                }
            }
        }
        visit(x.data(), m);
    }
}

// ---- Site types and pool fractions ----

// Seeds the generator, then records one type per distinct usable string, in
// first-met order, skipping the steps that fail.
void LoadData(ModuleState& state, Distribution& distribution, std::span<const std::string_view> Types,
              int32_t Seed);

// The value of one entry text of a type string: a decimal integer (optional
// sign, digits) that fits 32 bits; anything else counts 0.
int32_t EntryValue(std::string_view text);

double PoolLogLikelihood(int32_t n, int32_t m, double x);
double PoolLogLikelihoodSlope(int32_t n, int32_t m, double x);
double PoolLogLikelihoodCurvature(int32_t n, int32_t m, double x);
// The pool fraction of n species in m guilds, or -1, 1, 0 for the cases that
// need no estimate. Throws Failure when a step faults or the generator can't be
// reached.
double EstimatePoolFraction(Distribution& distribution, int32_t n, int32_t m);
// Starts the estimate makes before it gives up: far beyond what any stream of
// genuine uniform numbers needs (each start is accepted with a chance of at
// least one in ten), so it only stops a generator that is stuck.
inline constexpr int64_t MaxPoolFractionStarts = 1'000'000;

// ---- The statistic and the simulation ----

// The critical value of both one-sided tests.
inline constexpr double CriticalZ = 1.6448530004709;

// PValue's statistic over the loaded state.
double PValueStatistic(const ModuleState& state, Distribution& distribution);
// One data set's test: counts a Competition rejection in c1 and a
// Facilitation/Filtering rejection in c2.
void CountRejections(double SumS, double SumMean, double SumVar, int32_t& c1, int32_t& c2);
// Beta's simulation over the loaded state.
RejectionRates BetaSimulation(const ModuleState& state, Distribution& distribution, double Strength,
                              int32_t Iterations);

// ---- The export calls ----
// The whole of PValue and Beta: every failure becomes the failed-call value
// (a quiet NaN; a null pointer with *result untouched), the caller's
// floating-point environment is left as it was.
double CallPValue(Distribution& distribution, const char* const* Types, int32_t TypesUpper,
                  int32_t Seed) noexcept;
RejectionRates* CallBeta(Distribution& distribution, RejectionRates* result, double Strength,
                         const char* const* Types, int32_t TypesUpper, int32_t Iterations,
                         int32_t Seed) noexcept;

} // namespace quorlan
