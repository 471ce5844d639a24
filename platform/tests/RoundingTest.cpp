// Rounding to the nearest integer with halves to the even neighbour. The
// expected values are worked by hand; the cases just beside a half are the
// ones that adding 0.5 and taking the floor gets wrong.

#include "platform/Rounding.h"

#include <bit>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <ostream>

namespace {

struct RoundCase {
    double value;
    double rounded;
};

void PrintTo(const RoundCase& c, std::ostream* os) { *os << std::hexfloat << c.value; }

class HalfEven : public ::testing::TestWithParam<RoundCase> {};

TEST_P(HalfEven, RoundsToTheNearestWithHalvesToEven) {
    for (const int mode : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
        std::fesetround(mode);
        const double rounded = platform::roundHalfEven(GetParam().value);
        std::fesetround(FE_TONEAREST);
        EXPECT_EQ(rounded, GetParam().rounded) << "rounding mode " << mode;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rounding, HalfEven,
    ::testing::Values(RoundCase{0.0, 0.0}, RoundCase{0.5, 0.0}, RoundCase{1.5, 2.0}, RoundCase{2.5, 2.0},
                      RoundCase{3.5, 4.0}, RoundCase{-0.5, 0.0}, RoundCase{-0.49999999999999994, 0.0}, RoundCase{-1.5, -2.0}, RoundCase{-2.5, -2.0},
                      RoundCase{2.4, 2.0}, RoundCase{2.6, 3.0}, RoundCase{-2.6, -3.0},
                      // The largest double below 0.5 rounds to 0 (0.5 + it is 1 in doubles).
                      RoundCase{0.49999999999999994, 0.0},
                      // The smallest double above 0.5 rounds to 1.
                      RoundCase{0.5000000000000001, 1.0},
                      // 2^52 + 1: every double from 2^52 up is an integer and stays itself
                      // (adding 0.5 would round to the even 2^52 + 2).
                      RoundCase{4503599627370497.0, 4503599627370497.0},
                      // 2^52 - 0.5 is a half between two integers: the even one is 2^52.
                      RoundCase{4503599627370495.5, 4503599627370496.0},
                      RoundCase{1e300, 1e300}, RoundCase{-1e300, -1e300},
                      // The progress caption's share at step 15 of 30, and its bar at 165.5 pixels.
                      RoundCase{15 * 100.0 / 30, 50.0}, RoundCase{165.5, 166.0}));

} // namespace
