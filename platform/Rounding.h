#pragma once
// Rounding a floating-point value to an integer: to the nearest, halves to the
// even neighbour (2.5 -> 2, 3.5 -> 4, -0.5 -> 0), whatever the current rounding mode.

#include <cmath>

namespace platform {

inline double roundHalfEven(double value) {
    const double floorValue = std::floor(value);
    const double diff = value - floorValue;
    if (diff > 0.5)
        return floorValue + 1.0;
    if (diff < 0.5)
        return floorValue;
    return std::fmod(floorValue, 2.0) == 0.0 ? floorValue : floorValue + 1.0;
}

} // namespace platform
