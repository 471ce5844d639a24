// The exports of libQuorlan.so, and the binding of Pellivorn by its bare name at
// the first call of each of its functions. Compiled into the shared library
// itself, so the loader searches Quorlan's own run path ($ORIGIN).

// First, so that the two exports are declared with default visibility.
#pragma GCC visibility push(default)
#include "nullmodel/Quorlan.h"
#pragma GCC visibility pop

#include "nullmodel/QuorlanCore.h"
#include "platform/LibraryBinding.h"

namespace {

platform::LateBoundLibrary& PellivornLibrary() {
    static platform::LateBoundLibrary library("libPellivorn.so");
    return library;
}

platform::LateBoundFunction<void*(void*, int32_t)>& RandomizeUFunction() {
    static platform::LateBoundFunction<void*(void*, int32_t)> function(PellivornLibrary(), "RandomizeU");
    return function;
}

platform::LateBoundFunction<double()>& RndUFunction() {
    static platform::LateBoundFunction<double()> function(PellivornLibrary(), "RndU");
    return function;
}

platform::LateBoundFunction<double(double)>& NormCDFFunction() {
    static platform::LateBoundFunction<double(double)> function(PellivornLibrary(), "NormCDF");
    return function;
}

class BoundPellivorn final : public quorlan::Distribution {
public:
    void RandomizeU(int32_t Seed) override {
        const auto randomize = RandomizeUFunction().address();
        if (!randomize)
            throw quorlan::BindingFailure("RandomizeU can't be bound");
        alignas(16) unsigned char variant[16];
        randomize(variant, Seed);
    }
    UniformFunction RndU() override {
        const auto draw = RndUFunction().address();
        if (!draw)
            throw quorlan::BindingFailure("RndU can't be bound");
        return draw;
    }
    double NormCDF(double x) override {
        const auto cdf = NormCDFFunction().address();
        if (!cdf)
            throw quorlan::BindingFailure("NormCDF can't be bound");
        return cdf(x);
    }
};

} // namespace

extern "C" double PValue(const char* const* Types, int32_t TypesUpper, int32_t Seed) {
    BoundPellivorn pellivorn;
    return quorlan::CallPValue(pellivorn, Types, TypesUpper, Seed);
}

extern "C" RejectionRates* Beta(RejectionRates* result, double Strength, const char* const* Types,
                                int32_t TypesUpper, int32_t Iterations, int32_t Seed) {
    BoundPellivorn pellivorn;
    return quorlan::CallBeta(pellivorn, result, Strength, Types, TypesUpper, Iterations, Seed);
}
