// Beta's data sets side by side: see DataSetWalk.h. The calling thread draws
// the words into chunks (WordChunks.h); a call large enough hands them to
// helper threads through a ring of buffers (HelperThreads.h), else walks each
// chunk itself once drawn. The walks' arithmetic is in SideBySideAvx512.cpp,
// SideBySideAvx2.cpp and SideBySidePlain.cpp.

#include "nullmodel/DataSetWalk.h"

#include "nullmodel/ChunkRing.h"
#include "nullmodel/HelperThreads.h"
#include "nullmodel/SideBySideWalks.h"
#include "nullmodel/WordChunks.h"

#include <sched.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace quorlan {

namespace {

// Words of one buffer handed from the drawing thread to a walking one: large
// enough that handing it over costs little beside drawing it.
constexpr int64_t WordsPerChunk = 1 << 15;
// A buffer of data sets side by side takes Groups Lanes times the words of
// one (32 MB for this many): beyond this many (some 3000 sites of 41 species)
// a data set goes one draw after another.
constexpr int64_t MostWordsPerDataSet = int64_t{1} << 17;
// Below this many words (a few milliseconds on one thread) a call is over
// before helper threads would pay off.
constexpr int64_t WordsWorthHelpers = int64_t{1} << 21;

// The call's plan, from the top: simulate splits the data sets between the
// walk side by side and one draw after another; walkSideBySide draws and
// walks them chunk by chunk.
void simulate(std::span<const SimulatedType> types, double (*RndU)(), int32_t Iterations, Tally& tally,
              unsigned helpers, VectorUnits units);
void walkSideBySide(std::span<const SimulatedType> types, double (*RndU)(), int32_t Iterations,
                    int64_t wordsPerDataSet, WalkGroups walk, unsigned helpers, Tally& tally);
int32_t fewestWorthAWalk(VectorUnits units);
WalkGroups walkFor(VectorUnits units);

} // namespace

void SimulateDataSets(std::span<const SimulatedType> types, double (*RndU)(), int32_t Iterations, int32_t& c1,
                      int32_t& c2, unsigned helpers, VectorUnits units) {
    Tally tally;
    simulate(types, RndU, Iterations, tally, helpers, units);
    // At most Iterations each: the sums can't overflow.
    c1 += tally.c1;
    c2 += tally.c2;
}

std::vector<DataSetSums> SumsSideBySide(std::span<const SimulatedType> types, double (*RndU)(),
                                        int32_t Iterations, VectorUnits units) {
    std::vector<DataSetSums> sums;
    Tally tally;
    tally.sums = &sums;
    simulate(types, RndU, Iterations, tally, 0, units);
    return sums;
}

namespace {

void simulate(std::span<const SimulatedType> types, double (*RndU)(), int32_t Iterations, Tally& tally,
              unsigned helpers, VectorUnits units) {
    if (!ProcessorHas(units))
        throw Failure("the processor lacks the vector units asked for");
    const int64_t wordsPerDataSet = WordsPerDataSet(types);
    if (wordsPerDataSet <= 0 || Iterations < 1)
        throw Failure("no data sets to walk side by side");
    // The data sets of the last walk, drawn after all the others, go one draw
    // after another when too few to pay for it.
    const int32_t last = Iterations % (Groups * Lanes);
    const int32_t alone = last < fewestWorthAWalk(units) ? last : 0;
    if (Iterations > alone)
        walkSideBySide(types, RndU, Iterations - alone, wordsPerDataSet, walkFor(units), helpers, tally);
    for (int32_t d = 0; d < alone; ++d)
        tally.add(OneDataSet(types, RndU));
}

// The fewest data sets worth a walk of Groups groups: a walk costs as much
// for the lanes it fills as for those it doesn't, so a few data sets go
// faster one draw after another. (Measured: a walk of one data set a lane
// costs about 0.8 of one draw after another on plain x86-64; a whole walk's
// work, beside the drawing of its words, about that of 2 data sets drawn one
// after another on AVX-512 and 3.6 on AVX2.)
int32_t fewestWorthAWalk(VectorUnits units) {
    switch (units) {
    case VectorUnits::Avx512:
        return 3;
    case VectorUnits::Avx2:
        return 4;
    case VectorUnits::Plain:
        break;
    }
    return Groups * Lanes * 4 / 5;
}

WalkGroups walkFor(VectorUnits units) {
    switch (units) {
    case VectorUnits::Avx512:
        return walkGroupsAvx512;
    case VectorUnits::Avx2:
        return walkGroupsAvx2;
    case VectorUnits::Plain:
        break;
    }
    return walkGroupsPlain;
}

// The data sets side by side: drawn into chunks, each walked on this thread
// once drawn or, with helpers, handed to them through a ring of buffers.
void walkSideBySide(std::span<const SimulatedType> types, double (*RndU)(), int32_t Iterations,
                    int64_t wordsPerDataSet, WalkGroups walk, unsigned helpers, Tally& tally) {
    const int64_t groupWords = Lanes * wordsPerDataSet;
    // A whole number of walks' groups.
    const int64_t groupsPerChunk = std::max<int64_t>(Groups, WordsPerChunk / groupWords / Groups * Groups);
    const int32_t dataSetsPerChunk = static_cast<int32_t>(std::min<int64_t>(groupsPerChunk * Lanes, Iterations));
    const int32_t chunks = (Iterations - 1) / dataSetsPerChunk + 1;
    // Sized for the data sets of a chunk of this call: a call of a few very
    // large data sets fills and walks no more than it draws.
    const int64_t groupsOfChunk = (dataSetsPerChunk + Lanes - 1) / Lanes;
    const auto chunkWords = static_cast<std::size_t>(groupsOfChunk * groupWords);
    auto dataSetsOf = [&](int32_t c) {
        return c + 1 == chunks ? Iterations - c * dataSetsPerChunk : dataSetsPerChunk;
    };

    helpers = std::min<unsigned>(helpers, static_cast<unsigned>(chunks - 1));
    if (helpers > 0) {
        const std::size_t room = std::max<std::size_t>(MostBufferWords / chunkWords, 3);
        helpers = std::min(helpers, static_cast<unsigned>(room - 2));
        // Two buffers more than helpers keep the drawing thread busy, but
        // never more than the call has chunks.
        const std::size_t buffers = std::min<std::size_t>(std::size_t{helpers} + 2, static_cast<std::size_t>(chunks));
        WordBuffers words(buffers * chunkWords);
        ChunkRing ring(words.data(), buffers, chunkWords, chunks);
        std::vector<Helper> counts(helpers);
        HelperThreads threads(ring);
        threads.start(types, counts, wordsPerDataSet, walk);
        if (threads.started() > 0) {
            for (int32_t c = 0; c < chunks; ++c) {
                Chunk* chunk = ring.bufferFor(c);
                if (!chunk)
                    break;
                drawChunk(*chunk, RndU, wordsPerDataSet, dataSetsOf(c));
                ring.drawn(c);
            }
            threads.join();
            if (ring.failed())
                throw Failure("a helper thread failed");
            for (const Helper& helper : counts) {
                tally.c1 += helper.tally.c1;
                tally.c2 += helper.tally.c2;
            }
            return;
        }
    }

    WordBuffers words(chunkWords);
    Chunk chunk;
    chunk.words = words.data();
    for (int32_t c = 0; c < chunks; ++c) {
        drawChunk(chunk, RndU, wordsPerDataSet, dataSetsOf(c));
        walkChunk(types, chunk, wordsPerDataSet, walk, tally);
    }
}

} // namespace

bool WalkSideBySide(std::span<const double> weights) {
    return std::all_of(weights.begin(), weights.end(), [](double w) { return w >= 0 && w <= 1E300; });
}

int64_t WordsPerDataSet(std::span<const SimulatedType> types) {
    int64_t words = 0;
    for (const SimulatedType& type : types) {
        if (type.n < 1 || type.n > LargestSpeciesCount || type.f < 0)
            return 0;
        words += int64_t{type.f} * (type.n - 1);
        if (words > MostWordsPerDataSet)
            return 0;
    }
    return words;
}

unsigned HelpersWorthStarting(int64_t words) {
    if (words < WordsWorthHelpers)
        return 0;
    // The processors this process may run on (a process held to one gets no
    // helpers), else the machine's.
    unsigned threads = std::thread::hardware_concurrency();
    cpu_set_t allowed;
    if (sched_getaffinity(0, sizeof allowed, &allowed) == 0)
        threads = static_cast<unsigned>(CPU_COUNT(&allowed));
    return threads > 1 ? threads - 1 : 0;
}

VectorUnits WidestVectorUnits() {
    static const VectorUnits widest = [] {
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx512f"))
            return VectorUnits::Avx512;
        if (__builtin_cpu_supports("avx2"))
            return VectorUnits::Avx2;
        return VectorUnits::Plain;
    }();
    return widest;
}

bool ProcessorHas(VectorUnits units) { return units <= WidestVectorUnits(); }

} // namespace quorlan
