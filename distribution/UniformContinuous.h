#pragma once
// Inside Pellivorn: how a generator word becomes a number on [0, 1], and how
// the time of day becomes a seed. Kept in a header so the tests can check both
// ends of the interval, which no practical seed reaches on demand, and the
// rounding of the clock, which no test can set.

#include "platform/Rounding.h"

#include <cstdint>

namespace UniformContinuous {

// The double nearest to 1 / (2^32 - 1) (bit pattern 0x3DF0000000100000): the
// word 4294967295 times it rounds to exactly 1, the word 0 gives exactly 0.
inline constexpr double ScaleFactor = 2.3283064370807974E-10;

// The word read as unsigned, times the scale factor, rounded once.
inline double ScaleWord(uint32_t word) {
    return static_cast<double>(word) * ScaleFactor;
}

// The seed -1 stands for the seconds since local midnight with their fraction,
// rounded to the nearest whole second, halves to even: 0 to 86400. A leap
// second (the clock reading 86400 and more) stays at the end of the day.
inline uint32_t SeedFromSecondsOfDay(double seconds) {
    constexpr double SecondsPerDay = 86400;
    const double rounded = platform::roundHalfEven(seconds);
    return static_cast<uint32_t>(rounded > SecondsPerDay ? SecondsPerDay : rounded);
}

} // namespace UniformContinuous
