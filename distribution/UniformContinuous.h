#pragma once
// Inside Pellivorn: how a generator word becomes a number on [0, 1]. Kept in a
// header so the tests can check both ends of the interval, which no practical
// seed reaches on demand.

#include <cstdint>

namespace UniformContinuous {

// The double nearest to 1 / (2^32 - 1) (bit pattern 0x3DF0000000100000): the
// word 4294967295 times it rounds to exactly 1, the word 0 gives exactly 0.
inline constexpr double ScaleFactor = 2.3283064370807974E-10;

// The word read as unsigned, times the scale factor, rounded once.
inline double ScaleWord(uint32_t word) {
    return static_cast<double>(word) * ScaleFactor;
}

} // namespace UniformContinuous
