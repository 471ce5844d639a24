// The standard normal density and distribution function. The order of the
// operations is fixed so that every result is reproducible to the last bit:
// the p-values of a Run are compared digit for digit between machines.

#include <cmath>

#pragma GCC visibility push(default)
#include "distribution/Pellivorn.h"
#pragma GCC visibility pop

namespace {

// 6.28318530717958 as written (bit pattern 0x401921FB54442D11), a little short
// of 2 pi; every density carries it.
constexpr double TwoPi = 6.28318530717958;

// The upper end of the integration; the tail beyond it is not counted.
constexpr double UpperLimit = 5.5;
constexpr int Intervals = 1000;

double density(double x) {
    // The square as one multiplication: the form every build computes alike
    // (an optimising compiler turns a power of 2 into it, an unoptimised build
    // would call pow and may differ in the last bit).
    double q = x * x;
    q = q * -1;
    q = q / 2;
    const double e = std::exp(q);
    // The square root, correctly rounded in every build: the same value as the
    // power 0.5 that an optimising compiler works out while compiling.
    const double r = std::sqrt(TwoPi);
    return e / r;
}

// The trapezoid rule over [a, 5.5] with 1000 intervals; 0 beyond 5.5.
double upperTail(double a) {
    if (a > UpperLimit)
        return 0;
    const double h = (UpperLimit - a) / Intervals;
    double sum = 0;
    for (int i = 1; i <= Intervals - 1; ++i) {
        // Each abscissa formed anew, never by adding up h.
        const double t = i * h + a;
        sum = density(t) + sum;
    }
    return ((2 * sum + density(a)) + density(UpperLimit)) * (h / 2);
}

} // namespace

extern "C" double NormPDF(double x) {
    return density(x);
}

extern "C" double NormCDF(double x) {
    const double T = upperTail(std::fabs(x));
    return x > 0 ? 1 - T : T;
}
