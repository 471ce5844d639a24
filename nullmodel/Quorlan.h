#pragma once
// Quorlan: the co-occurrence tests. Plain C exports, bound by name at run time.
//
// Types is the caller's array of site type strings indexed from 1: Types[1] to
// Types[TypesUpper] are read, Types[0] never; a null Types is an array that was
// never dimensioned. The strings are 8-bit, NUL-terminated and read only; the
// library keeps no pointer to them after returning. No export throws or prints.
//
// Every call rebuilds the library's state (one per calling thread) from Types
// and reseeds Pellivorn's generator with Seed; libPellivorn.so is bound by that
// bare name, from Quorlan's own folder, at the first call that needs it.

#include <cstdint>

extern "C" {

struct RejectionRates {
    double CompetitionRate;
    double FacilitationRate;
};

// The Competition Test p-value of the site types: -1 with no usable type, 1 when
// the null variance is 1E-10 or less; a quiet NaN when the call fails.
double PValue(const char* const* Types, int32_t TypesUpper, int32_t Seed);

// The simulated rejection rates of both tests at Strength, filled into *result;
// returns result, or a null pointer (leaving *result unchanged) when the call fails.
RejectionRates* Beta(RejectionRates* result, double Strength, const char* const* Types,
                     int32_t TypesUpper, int32_t Iterations, int32_t Seed);

}

static_assert(sizeof(RejectionRates) == 16, "RejectionRates is two doubles, no padding");
