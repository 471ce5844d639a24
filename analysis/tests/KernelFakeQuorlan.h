#pragma once
// A stand-in for libQuorlan.so that the kernel's tests build under the same
// file name and place beside a test program. With no hooks set its exports
// return fixed values; a test that sets hooks sees every call with its
// arguments and decides the result (a NaN or null pointer for a failed call).
// While a hook runs, the kernel is inside a library call.

#include "nullmodel/Quorlan.h"

#include <cstdint>

extern "C" {

using KernelFakePValueHook = double (*)(const char* const* Types, int32_t TypesUpper, int32_t Seed);
using KernelFakeBetaHook = RejectionRates* (*)(RejectionRates* result, double Strength, const char* const* Types,
                                                int32_t TypesUpper, int32_t Iterations, int32_t Seed);

// Null hooks restore the fixed results.
void KernelFakeSetHooks(KernelFakePValueHook pValue, KernelFakeBetaHook beta);
// How many times each export has been called since the library was loaded.
int32_t KernelFakePValueCalls();
int32_t KernelFakeBetaCalls();
}

// The fixed results without hooks.
constexpr double KernelFakePValue = 0.375;
constexpr RejectionRates KernelFakeRates{0.125, 0.625};
