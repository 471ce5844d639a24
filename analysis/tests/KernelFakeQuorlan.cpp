// Built twice: as a complete stand-in, and with KERNEL_FAKE_WITHOUT_BETA as a
// library that lacks the Beta export.
#include "analysis/tests/KernelFakeQuorlan.h"

namespace {

KernelFakePValueHook pValueHook = nullptr;
KernelFakeBetaHook betaHook = nullptr;
int32_t pValueCalls = 0;
int32_t betaCalls = 0;

} // namespace

extern "C" {

void KernelFakeSetHooks(KernelFakePValueHook pValue, KernelFakeBetaHook beta) {
    pValueHook = pValue;
    betaHook = beta;
}

int32_t KernelFakePValueCalls() { return pValueCalls; }
int32_t KernelFakeBetaCalls() { return betaCalls; }

double PValue(const char* const* Types, int32_t TypesUpper, int32_t Seed) {
    ++pValueCalls;
    return pValueHook ? pValueHook(Types, TypesUpper, Seed) : KernelFakePValue;
}

#ifndef KERNEL_FAKE_WITHOUT_BETA
RejectionRates* Beta(RejectionRates* result, double Strength, const char* const* Types, int32_t TypesUpper,
                     int32_t Iterations, int32_t Seed) {
    ++betaCalls;
    if (betaHook)
        return betaHook(result, Strength, Types, TypesUpper, Iterations, Seed);
    *result = KernelFakeRates;
    return result;
}
#endif
}
