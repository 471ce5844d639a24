// Input layout: byte 0 flags (bit 0: a null array, bit 1: one string fewer
// than given is announced, bit 2: a strength from the next 8 raw bytes, else
// from the preset list), byte 1 the iteration count (-2 to 5), bytes 2 to 5 the
// seed, then the strings separated by '\n'; a line "\0" stands for a null
// element. At most 256 strings.

#include "nullmodel/fuzz/QuorlanFuzzEntry.h"

#include "nullmodel/QuorlanCore.h"
#include "nullmodel/fuzz/ScriptedDistribution.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace quorlan {

namespace {

// A call either fails or gives values that a result can have.
void require(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

void QuorlanFuzzOne(const uint8_t* data, std::size_t size) {
    std::size_t pos = 0;
    const auto byte = [&]() -> uint8_t { return pos < size ? data[pos++] : 0; };
    const uint8_t flags = byte();
    const int32_t Iterations = static_cast<int32_t>(byte() % 8) - 2;
    uint32_t seedBits = 0;
    for (int i = 0; i < 4; ++i)
        seedBits = (seedBits << 8) | byte();
    int32_t Seed;
    std::memcpy(&Seed, &seedBits, sizeof Seed);
    double Strength = 1;
    if (flags & 4) {
        uint64_t bits = 0;
        for (int i = 0; i < 8; ++i)
            bits = (bits << 8) | byte();
        std::memcpy(&Strength, &bits, sizeof Strength);
    } else {
        static const double presets[] = {0.1, 0.5, 1, 1.7, 2.9, 1E7, -1, 0};
        Strength = presets[(flags >> 3) % 8];
    }

    std::vector<std::string> lines;
    std::vector<bool> nulls;
    std::string line;
    for (; pos < size; ++pos) {
        if (data[pos] == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line.push_back(static_cast<char>(data[pos]));
        }
        if (lines.size() == 256)
            break;
    }
    if (lines.size() < 256 && !line.empty())
        lines.push_back(line);

    std::vector<const char*> Types(lines.size() + 1, nullptr);
    Types[0] = "(0,2,0,0)"; // never read
    for (std::size_t i = 0; i < lines.size(); ++i)
        Types[i + 1] = lines[i] == std::string("\\0") ? nullptr : lines[i].c_str();
    int32_t TypesUpper = static_cast<int32_t>(lines.size());
    if ((flags & 2) && TypesUpper > 0)
        --TypesUpper;
    const char* const* array = (flags & 1) ? nullptr : Types.data();

    ScriptedDistribution distribution;
    const double p = CallPValue(distribution, array, TypesUpper, Seed);
    require(std::isnan(p) || p == -1 || (p >= 0 && p <= 1));

    const RejectionRates untouched{-7, -7};
    RejectionRates rates = untouched;
    RejectionRates* const result =
        CallBeta(distribution, &rates, Strength, array, TypesUpper, Iterations, Seed);
    if (result) {
        require(result == &rates);
        require(rates.CompetitionRate >= -0.0 && rates.CompetitionRate <= 1);
        require(rates.FacilitationRate >= -0.0 && rates.FacilitationRate <= 1);
    } else {
        require(std::memcmp(&rates, &untouched, sizeof rates) == 0);
    }
}

} // namespace quorlan
