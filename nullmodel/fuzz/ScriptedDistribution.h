#pragma once
// A distribution for exercising Quorlan without Pellivorn: uniform numbers
// from a script first, then from a Mersenne Twister (the same words and scaling
// as the bound generator, so realistic streams), the normal distribution
// function from erfc. It counts what it is asked for and can act unbindable.

#include "nullmodel/QuorlanCore.h"

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace quorlan {

class ScriptedDistribution final : public Distribution {
public:
    explicit ScriptedDistribution(std::vector<double> script = {}) : script_(std::move(script)) {}

    bool bindable = true;
    int64_t draws = 0;
    int32_t seedings = 0;
    int32_t lastSeed = 0;

    void RandomizeU(int32_t Seed) override {
        if (!bindable)
            throw BindingFailure("unbindable");
        ++seedings;
        lastSeed = Seed;
        if (Seed >= 0)
            generator_.seed(static_cast<uint32_t>(Seed));
    }
    UniformFunction RndU() override {
        if (!bindable)
            throw BindingFailure("unbindable");
        current() = this;
        return &draw;
    }
    double NormCDF(double x) override {
        if (!bindable)
            throw BindingFailure("unbindable");
        return 0.5 * std::erfc(-x / std::sqrt(2.0));
    }

private:
    static ScriptedDistribution*& current() {
        thread_local ScriptedDistribution* distribution = nullptr;
        return distribution;
    }
    static double draw() { return current()->next(); }
    double next() {
        ++draws;
        if (position_ < script_.size())
            return script_[position_++];
        return static_cast<double>(generator_()) * 2.3283064370807974E-10;
    }

    std::vector<double> script_;
    std::size_t position_ = 0;
    std::mt19937 generator_{5489u};
};

} // namespace quorlan
