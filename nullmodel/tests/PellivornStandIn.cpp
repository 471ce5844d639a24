// A stand-in for libPellivorn.so that lacks one of the three exports Quorlan
// binds (the one named by WITHOUT_RandomizeU, WITHOUT_RndU or WITHOUT_NormCDF),
// to show what each export of Quorlan needs of it.

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

uint32_t word = 5489u;

} // namespace

extern "C" {

#ifndef WITHOUT_RandomizeU
__attribute__((visibility("default"))) void* RandomizeU(void* result, int32_t Seed) {
    std::memset(result, 0, 16);
    if (Seed >= 0)
        word = static_cast<uint32_t>(Seed);
    return result;
}
#endif

#ifndef WITHOUT_RndU
// A linear congruential sequence on the closed interval [0, 1].
__attribute__((visibility("default"))) double RndU(void) {
    word = word * 1664525u + 1013904223u;
    return static_cast<double>(word) / 4294967295.0;
}
#endif

#ifndef WITHOUT_NormCDF
__attribute__((visibility("default"))) double NormCDF(double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); }
#endif

}
