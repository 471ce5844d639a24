#pragma once
// Floating-point faults (division by zero, overflow, an operation without a
// defined result) end a step or a call; underflow and inexact results do not.
// The faults are read from the exception flags around each step. A compiler
// may move plain arithmetic across the calls that clear and test the flags, so
// the values a step starts from and ends with pass through Observed(), which
// pins them in place.

#include "nullmodel/QuorlanCore.h"

#include <cfenv>
#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

namespace quorlan {

inline constexpr int FaultFlags = FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID;

template <typename T>
inline T Observed(T value) {
    volatile T pinned = value;
    return pinned;
}

inline void ClearFaults() { std::feclearexcept(FaultFlags); }

inline void CheckFaults() {
    if (std::fetestexcept(FaultFlags))
        throw FloatingPointFault("floating-point fault");
}

// For the length of an export call: the caller's flags saved and cleared, no
// traps, rounding to nearest, and tiny numbers kept as they are rather than
// flushed to zero; all of it put back as it was on return. So the numbers of
// a given seed never depend on how the caller set up its floating point.
class FloatingPointScope {
public:
    FloatingPointScope() {
        std::feholdexcept(&saved_);
        std::fesetround(FE_TONEAREST);
#if defined(__SSE2__)
        _mm_setcsr(_mm_getcsr() & ~(FlushToZero | DenormalsAreZero));
#endif
    }
    ~FloatingPointScope() { std::fesetenv(&saved_); }
    FloatingPointScope(const FloatingPointScope&) = delete;
    FloatingPointScope& operator=(const FloatingPointScope&) = delete;

private:
    static constexpr unsigned FlushToZero = 0x8000;     // results below the normal range become 0
    static constexpr unsigned DenormalsAreZero = 0x0040; // such operands read as 0
    std::fenv_t saved_;
};

} // namespace quorlan
