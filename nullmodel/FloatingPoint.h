#pragma once
// Floating-point faults (division by zero, overflow, an operation without a
// defined result) end a step or a call; underflow and inexact results do not.
// The faults are read from the exception flags around each step. A compiler
// may move plain arithmetic across the calls that clear and test the flags, so
// the values a step starts from and ends with pass through Observed(), which
// pins them in place.

#include "nullmodel/QuorlanCore.h"

#include <cfenv>

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
// traps, rounding to nearest; all of it put back as it was on return.
class FloatingPointScope {
public:
    FloatingPointScope() {
        std::feholdexcept(&saved_);
        std::fesetround(FE_TONEAREST);
    }
    ~FloatingPointScope() { std::fesetenv(&saved_); }
    FloatingPointScope(const FloatingPointScope&) = delete;
    FloatingPointScope& operator=(const FloatingPointScope&) = delete;

private:
    std::fenv_t saved_;
};

} // namespace quorlan
