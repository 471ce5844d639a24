#pragma once
// Pellivorn: the system's uniform generator (MT19937) and the standard normal
// distribution. Plain C exports, bound by name at run time.

#include <cstdint>

extern "C" {

// Seeds the generator: -1 from the time of day, 0 or more with Seed, below -1
// leaves the state untouched. Stores the empty variant (16 zero bytes) at
// result and returns result.
void* RandomizeU(void* result, int32_t Seed);

// The next uniform number on the closed interval [0, 1]: word / (2^32 - 1).
double RndU(void);

// Standard normal density at x.
double NormPDF(double x);

// Standard normal distribution function at x, in [0, 1], by the trapezoid rule
// on [|x|, 5.5]; exactly 0 and 1 for |x| >= 5.5.
double NormCDF(double x);

}
