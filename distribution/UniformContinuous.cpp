// The uniform generator: MT19937 with its seeding by one integer, each 32-bit
// word scaled to the closed interval [0, 1]. One generator per calling thread.

#include "distribution/UniformContinuous.h"

#include <cstring>
#include <ctime>
#include <memory>

#pragma GCC visibility push(default)
#include "distribution/Pellivorn.h"
#pragma GCC visibility pop

namespace UniformContinuous {
namespace {

constexpr int32_t StateSize = 624;
constexpr int32_t MiddleDistance = 397;
constexpr int32_t NeverSeeded = 625;
constexpr uint32_t SeedingMultiplier = 1812433253U; // 0x6C078965
constexpr uint32_t TwistWord = 0x9908B0DFU;
constexpr uint32_t UpperMask = 0x80000000U;
constexpr uint32_t LowerMask = 0x7FFFFFFFU;
constexpr uint32_t TemperingMaskB = 0x9D2C5680U;
constexpr uint32_t TemperingMaskC = 0xEFC60000U;
constexpr uint32_t DefaultSeed = 5489U;
constexpr int32_t SecondsPerDay = 86400;

// Word arithmetic is unsigned and wraps modulo 2^32; shifts bring in zeros.
constexpr uint32_t AddU32(uint32_t a, uint32_t b) { return a + b; }
constexpr uint32_t MulU32(uint32_t a, uint32_t b) { return a * b; }
constexpr uint32_t DivU32(uint32_t a, unsigned shift) { return a >> shift; }

// The module state of one thread. Zero-filled and unseeded at the thread's
// first call; it then lives as long as the thread.
struct GeneratorState {
    uint32_t StateWords[StateSize] = {};
    int32_t StateIndex = 0;          // next word to temper; 624: regenerate; 625: never seeded
    uint32_t TwistMask[2] = {0, 0};  // {0, TwistWord} once seeded
    bool Seeded = false;
};

// The calling thread's generator, reached at every draw through a pointer in
// the initial-exec model: a fixed offset from the thread pointer, where the
// library's ordinary thread-local storage would cost a call into the dynamic
// loader on every draw. The pointer is all that needs the small static space
// that the loader keeps for libraries loaded at run time; the state itself
// (2.5 KB) lives in the thread's owner below, made at the thread's first call.
[[gnu::tls_model("initial-exec")]] thread_local GeneratorState* Current = nullptr;
thread_local std::unique_ptr<GeneratorState> Owner;

void SeedGenerator(GeneratorState& g, uint32_t seed) {
    g.StateWords[0] = seed;
    for (g.StateIndex = 1; g.StateIndex < StateSize; ++g.StateIndex) {
        const uint32_t previous = g.StateWords[g.StateIndex - 1];
        g.StateWords[g.StateIndex] = AddU32(MulU32(SeedingMultiplier, previous ^ DivU32(previous, 30)),
                                            static_cast<uint32_t>(g.StateIndex));
    }
    // StateIndex now stands at 624: the next draw regenerates the vector.
    g.Seeded = true;
    g.TwistMask[0] = 0;
    g.TwistMask[1] = TwistWord;
}

// The twist word added when the low bit of y is set: TwistMask[y & 1], written
// without a table read so the compiler can regenerate several words at once
// (TwistMask[0] is 0 from the first seeding on, and regeneration only ever
// follows a seeding).
constexpr uint32_t twist(uint32_t y, uint32_t twistWord) { return (0U - (y & 1U)) & twistWord; }

void Regenerate(GeneratorState& g) {
    uint32_t* const w = g.StateWords;
    const uint32_t twistWord = g.TwistMask[1];
    int32_t k = 0;
    for (; k < StateSize - MiddleDistance; ++k) {
        const uint32_t y = (w[k] & UpperMask) | (w[k + 1] & LowerMask);
        w[k] = w[k + MiddleDistance] ^ DivU32(y, 1) ^ twist(y, twistWord);
    }
    for (; k < StateSize - 1; ++k) {
        const uint32_t y = (w[k] & UpperMask) | (w[k + 1] & LowerMask);
        w[k] = w[k + MiddleDistance - StateSize] ^ DivU32(y, 1) ^ twist(y, twistWord);
    }
    const uint32_t y = (w[StateSize - 1] & UpperMask) | (w[0] & LowerMask);
    w[StateSize - 1] = w[MiddleDistance - 1] ^ DivU32(y, 1) ^ twist(y, twistWord);
    g.StateIndex = 0;
}

// Before a draw with no word ready: seeds with the default seed if the
// generator was never seeded, then regenerates the vector. Kept out of line so
// the draw itself (once in 624) stays a table read and the tempering; not
// marked cold, since the simulation regenerates often enough that its speed
// counts.
[[gnu::noinline]] void PrepareWords(GeneratorState& g) {
    if (!g.Seeded)
        g.StateIndex = NeverSeeded;
    if (g.StateIndex == NeverSeeded)
        SeedGenerator(g, DefaultSeed);
    Regenerate(g);
}

uint32_t NextWord(GeneratorState& g) {
    // Seeded with a word ready (0 to 623); otherwise StateIndex is or becomes
    // 624 or 625 and the vector must be prepared first.
    if (!g.Seeded || g.StateIndex >= StateSize)
        PrepareWords(g);
    uint32_t y = g.StateWords[g.StateIndex];
    ++g.StateIndex;
    y ^= DivU32(y, 11);
    y ^= (y << 7) & TemperingMaskB;
    y ^= (y << 15) & TemperingMaskC;
    y ^= DivU32(y, 18);
    return y;
}

// The word as an unsigned number: every 32-bit word is exact in a double.
double NextWordAsDouble(GeneratorState& g) {
    return static_cast<double>(NextWord(g));
}

double NextUniform(GeneratorState& g) {
    return NextWordAsDouble(g) * ScaleFactor;
}

// The seconds since local midnight with their fraction, as the seed -1 takes them.
uint32_t TimeOfDaySeed() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    double seconds;
    if (localtime_r(&now.tv_sec, &local))
        seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
    else // no local time to be had: the seconds of the day in universal time
        seconds = static_cast<double>(now.tv_sec % SecondsPerDay);
    seconds += static_cast<double>(now.tv_nsec) / 1e9;
    return SeedFromSecondsOfDay(seconds);
}

[[gnu::noinline, gnu::cold]] GeneratorState& CreateThreadState() {
    Owner = std::make_unique<GeneratorState>();
    Current = Owner.get();
    return *Current;
}

// The calling thread's generator, zero-filled and unseeded at its first call.
GeneratorState& ThreadState() {
    GeneratorState* const g = Current;
    return g ? *g : CreateThreadState();
}

} // namespace
} // namespace UniformContinuous

extern "C" void* RandomizeU(void* result, int32_t Seed) {
    using namespace UniformContinuous;
    if (Seed == -1)
        SeedGenerator(ThreadState(), TimeOfDaySeed());
    else if (Seed >= 0)
        SeedGenerator(ThreadState(), static_cast<uint32_t>(Seed));
    // Below -1: nothing changes, not even the position in the sequence.

    // The empty variant: type code 0 and nothing else set.
    if (result)
        std::memset(result, 0, 16);
    return result;
}

extern "C" double RndU(void) {
    return UniformContinuous::NextUniform(UniformContinuous::ThreadState());
}
