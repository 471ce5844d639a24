// The standard normal density and distribution function. Values fixed bit for
// bit come from an independent re-computation in Python (float64, the same
// order of operations, math.exp and math.pow of the C library); values near the
// exact distribution come from mpmath.ncdf at 30 digits.

#include "distribution/Pellivorn.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

namespace {

uint64_t bits(double d) { return std::bit_cast<uint64_t>(d); }

TEST(NormalDensity, UsesTheShortTwoPiConstant) {
    // 6.28318530717958 as written, not 2 pi to full precision.
    EXPECT_EQ(bits(6.28318530717958), uint64_t{0x401921FB54442D11});
    EXPECT_EQ(bits(NormPDF(0)), bits(1 / std::pow(6.28318530717958, 0.5)));
    EXPECT_EQ(NormPDF(0), 0.39894228040143287);
}

TEST(NormalDensity, KnownValues) {
    struct Case {
        double x;
        double density;
    };
    const Case cases[] = {
        {1.0, 0.24197072451914345},
        {-1.0, 0.24197072451914345},
        {0.5, 0.35206532676429964},
        {2.0, 0.053990966513188084},
        {5.5, 1.076976004254328e-07},
        {38.0, 1.097221052e-314}, // subnormal, not an error
        {40.0, 0.0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(bits(NormPDF(c.x)), bits(c.density)) << "x = " << c.x;
}

TEST(NormalDistribution, ExactEndsFromFiveAndAHalfOutwards) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double x;
        double probability;
    };
    const Case cases[] = {
        {-5.5, 0.0}, {5.5, 1.0}, {-6.0, 0.0}, {6.0, 1.0}, {-40.0, 0.0}, {40.0, 1.0}, {-inf, 0.0}, {inf, 1.0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(bits(NormCDF(c.x)), bits(c.probability)) << "x = " << c.x;
}

TEST(NormalDistribution, ZeroOfEitherSignGivesTheTailShortOfAHalf) {
    // The tail beyond 5.5 (1.8989562e-8 by mpmath) is not counted; the trapezoid
    // rule adds about h^2/12 * |density'(5.5)| = 1.5e-12 on top.
    const double expected = 0.49999998100894527;
    EXPECT_EQ(bits(NormCDF(0.0)), bits(expected));
    EXPECT_EQ(bits(NormCDF(-0.0)), bits(expected));
    EXPECT_NEAR(NormCDF(0.0), 0.5 - 1.8989562e-8, 1e-11);
}

TEST(NormalDistribution, KnownValuesBitForBit) {
    struct Case {
        double x;
        double probability;
    };
    const Case cases[] = {
        {-1.0, 0.1586556432667682},
        {-1.96, 0.024997995776579577},
        {-1.645, 0.04998509660606575},
        {1.645, 0.9500149033939342},
        {1.96, 0.9750020042234204},
        {1.0, 0.8413443567332318},
        {-3.0, 0.0013498859665179391},
        {2.5, 0.9937903207986832},
        {-5.0, 2.6766215193956004e-07},
        {5.4999, 0.9999999999892273},
        {1e-9, 0.5000000193899962},
    };
    for (const Case& c : cases)
        EXPECT_EQ(bits(NormCDF(c.x)), bits(c.probability)) << "x = " << c.x;
}

TEST(NormalDistribution, CloseToTheExactDistribution) {
    struct Case {
        double x;
        double exact; // mpmath.ncdf
        double allowed;
    };
    const Case cases[] = {
        {-1.96, 0.0249978951482204, 5e-7},
        {-1.0, 0.158655253931457, 5e-7},
        {-1.645, 0.0499849055391214, 5e-7},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(NormCDF(c.x), c.exact, c.allowed) << "x = " << c.x;
}

TEST(NormalDistribution, PositiveSideIsOneMinusTheNegativeSide) {
    for (const double x : {1e-300, 1e-9, 0.25, 1.0, 1.644853626951, 1.96, 3.0, 5.0, 5.499999})
        EXPECT_EQ(bits(NormCDF(x)), bits(1 - NormCDF(-x))) << "x = " << x;
}

// The density's square is one multiplication in every build type: an
// unoptimised build that called pow for it gave other last bits for some
// arguments. The distribution function worked again here with x * x, the
// trapezoid rule in the same order, over five thousand arguments.
double densityBySquare(double x) {
    double q = x * x;
    q = q * -1;
    q = q / 2;
    return std::exp(q) / std::sqrt(6.28318530717958);
}

double distributionBySquare(double x) {
    const double a = std::fabs(x);
    double T = 0;
    if (a <= 5.5) {
        const double h = (5.5 - a) / 1000;
        double sum = 0;
        for (int i = 1; i <= 999; ++i)
            sum = densityBySquare(i * h + a) + sum;
        T = ((2 * sum + densityBySquare(a)) + densityBySquare(5.5)) * (h / 2);
    }
    return x > 0 ? 1 - T : T;
}

TEST(NormalDistribution, SquaresByOneMultiplication) {
    std::mt19937_64 stream(15);
    std::uniform_real_distribution<double> anywhere(-6.0, 6.0);
    int differing = 0;
    for (int i = 0; i < 5000; ++i) {
        // Half on an even grid, half anywhere.
        const double x = i % 2 ? anywhere(stream) : -6.0 + 12.0 * i / 5000;
        if (bits(NormCDF(x)) != bits(distributionBySquare(x)) || bits(NormPDF(x)) != bits(densityBySquare(x)))
            ++differing;
    }
    EXPECT_EQ(differing, 0);
}

// A floating-point fault reaches the caller in the exception flags, and an
// ordinary argument raises none: the caller tells a failed call by them alone.
constexpr int FaultFlags = FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID;

TEST(NormalFaults, ASquareBeyondTheDoubleRangeRaisesOverflow) {
    for (const double x : {1e200, -1e155}) {
        std::feclearexcept(FE_ALL_EXCEPT);
        NormPDF(x);
        EXPECT_TRUE(std::fetestexcept(FE_OVERFLOW)) << "x = " << x;
    }
}

TEST(NormalFaults, FiniteArgumentsOfTheDistributionRaiseNoFault) {
    const double cases[] = {-1e300, -40, -5.5, -1.96, -1e-300, -0.0, 0.0, 1e-9, 1, 5.4999, 5.5, 6, 1e300};
    for (const double x : cases) {
        std::feclearexcept(FE_ALL_EXCEPT);
        NormCDF(x);
        EXPECT_EQ(std::fetestexcept(FaultFlags), 0) << "x = " << x;
    }
    // Far out the density underflows to 0, which is not a fault.
    std::feclearexcept(FE_ALL_EXCEPT);
    EXPECT_EQ(NormPDF(40), 0.0);
    EXPECT_EQ(std::fetestexcept(FaultFlags), 0);
}

} // namespace
