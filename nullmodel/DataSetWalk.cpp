// Beta's data sets side by side: see DataSetWalk.h. Every lane does exactly
// the floating-point operations of one data set assembled on its own, in the
// same order, so the numbers are those of one draw after another. There are
// three builds of the walk, the widest the processor has being taken: with
// AVX-512 eight lanes to a register and weights looked up in registers, with
// AVX2 four to a register and weights gathered, and on plain x86-64 one data
// set at a time.

#include "nullmodel/DataSetWalk.h"

#include "nullmodel/FloatingPoint.h"

// GCC 12 takes the undefined vectors that some of these intrinsics start
// from for uninitialized variables.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
#include <sched.h>

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>

namespace quorlan {

namespace {

// Data sets walked side by side, one lane each (the walk spells out eight),
// in groups of Lanes: a walk takes Groups groups at once.
constexpr int Lanes = 8;
constexpr int Groups = 4;

// Guild slots of a site: one per species at most, and one more that is
// always empty.
constexpr int Slots = LargestSpeciesCount + 1;

// Words of one buffer handed from the drawing thread to a walking one: large
// enough that handing it over costs little beside drawing it.
constexpr int64_t WordsPerChunk = 1 << 15;
// A buffer of data sets side by side takes Groups Lanes times the words of
// one (32 MB for this many): beyond this many (some 3000 sites of 41 species)
// a data set goes one draw after another.
constexpr int64_t MostWordsPerDataSet = int64_t{1} << 17;
// The words of all buffers of a call at most (64 MB), but never fewer than
// three buffers: a call of very large data sets starts fewer helpers.
// Buffers up to a quarter of that are kept for the thread's next call; larger
// ones are given back at its end.
constexpr std::size_t MostBufferWords = std::size_t{1} << 23;
constexpr std::size_t KeptBufferWords = MostBufferWords / 4;
// Below this many words (a few milliseconds on one thread) a call is over
// before helper threads would pay off.
constexpr int64_t WordsWorthHelpers = int64_t{1} << 21;

// ---- The walk data set by data set ----
//
// For processors without AVX2: each data set of the buffer walked on its
// own, the way the vector walks do it for several at once. For every slot k
// the data set keeps the species in its guilds 0 to k (at[k]), a guild's
// size being the difference of two neighbours; a species adds 1 to at[k]
// wherever u is below 0, i.e. in its slot and every one after it.
// The walk goes through all of the data set's guilds without stopping early:
// a branch on where each draw stops would be mispredicted about once a draw.
// Past a data set's last guild it finds the empty slot (+infinity), where a
// species founds a new guild.

// One type's weights by guild size, w(0) = +infinity for an empty slot; 48 of
// them for the AVX-512 walk's six registers, +infinity past w(n).
struct alignas(64) WeightsBySize {
    double w[48];
    explicit WeightsBySize(const SimulatedType& type) {
        for (double& weight : w)
            weight = std::numeric_limits<double>::infinity();
        for (int32_t j = 1; j <= type.n; ++j)
            w[j] = type.w[j];
    }
};

// The sites of one type in one data set; word: the data set's next word,
// Lanes words on from the one before.
void walkSites(const SimulatedType& type, const WeightsBySize& table, const double*& word, DataSetSums& sums) {
    int64_t at[Slots];
    const int32_t n = type.n;
    for (int32_t site = 0; site < type.f; ++site) {
        at[0] = 1; // species 1 founds guild 1
        int32_t mc = 1;
        for (int32_t species = 2; species <= n; ++species) {
            double u = *word;
            word += Lanes;
            int64_t before = 0;
            for (int32_t k = 0; k < mc; ++k) {
                const int64_t here = at[k];
                u = u - table.w[here - before];
                at[k] = here + (u < 0);
                before = here;
            }
            // Walked past every guild: a new one in slot mc. The slots from
            // mc on hold every species placed.
            at[mc] = species;
            mc += !(u < 0);
        }
        int64_t before = 0;
        for (int32_t k = 0; k < mc; ++k) {
            const int64_t g = at[k] - before;
            before = at[k];
            sums.SumS = static_cast<double>(g * g) + sums.SumS;
        }
        const double E1 = type.firstMoment[2 * mc];
        sums.SumMean = sums.SumMean + E1;
        sums.SumVar = (sums.SumVar + type.secondMoment[2 * mc]) - E1 * E1;
    }
}

// The plain x86-64 build: each data set's operations are the same IEEE
// operations as in the vector walks.
void walkGroupsPlain(std::span<const SimulatedType> types, const double* const* words, DataSetSums* sums) {
    const double* word[Groups * Lanes];
    for (int d = 0; d < Groups * Lanes; ++d) {
        word[d] = words[d / Lanes] + d % Lanes;
        sums[d] = {0, 0, 0};
    }
    for (const SimulatedType& type : types) {
        const WeightsBySize table(type);
        for (int d = 0; d < Groups * Lanes; ++d)
            walkSites(type, table, word[d], sums[d]);
    }
}

// ---- The walk on AVX2 ----
//
// The running sums of the walk above, four lanes to a register, two groups
// (four registers) walked side by side; each slot's weight is gathered from
// the type's weights by guild size.

constexpr int Quarters = 4; // registers of four lanes in two groups

struct QuarterSlots {
    alignas(32) __m256i at[Slots][Quarters]; // the species in slots 0 to k of each lane
};

[[gnu::target("avx2"), gnu::always_inline]] inline bool placeSpeciesAvx2(QuarterSlots& slots, const double** words,
                                                                         const double* w, int64_t widest,
                                                                         __m256i placed) {
    __m256d u[Quarters];
    __m256i before[Quarters];
    __m256d below[Quarters];
#pragma GCC unroll 4
    for (int q = 0; q < Quarters; ++q) {
        u[q] = _mm256_loadu_pd(words[q / 2] + 4 * (q % 2));
        before[q] = _mm256_setzero_si256();
        below[q] = _mm256_setzero_pd();
    }
    words[0] += Lanes;
    words[1] += Lanes;
    const __m256d zero = _mm256_setzero_pd();
    for (int64_t k = 0; k < widest; ++k) {
#pragma GCC unroll 4
        for (int q = 0; q < Quarters; ++q) {
            const __m256i at = _mm256_load_si256(&slots.at[k][q]);
            u[q] = _mm256_sub_pd(u[q], _mm256_i64gather_pd(w, _mm256_sub_epi64(at, before[q]), 8));
            below[q] = _mm256_cmp_pd(u[q], zero, _CMP_LT_OS);
            // below is all ones, -1, in a lane below 0.
            _mm256_store_si256(&slots.at[k][q], _mm256_sub_epi64(at, _mm256_castpd_si256(below[q])));
            before[q] = at;
        }
    }
    int stopped = 0xFFFF;
#pragma GCC unroll 4
    for (int q = 0; q < Quarters; ++q) {
        _mm256_store_si256(&slots.at[widest][q], placed);
        stopped &= _mm256_movemask_pd(below[q]) | 0xFFF0;
    }
    return stopped != 0xFFFF;
}

[[gnu::target("avx2")]] void walkTwoGroupsAvx2(std::span<const SimulatedType> types, const double* wordsA,
                                               const double* wordsB, DataSetSums* sums) {
    QuarterSlots slots;
    const double* words[2] = {wordsA, wordsB};
    __m256d total[3][Quarters]; // SumS, SumMean, SumVar of each lane
    for (auto& sum : total)
        for (__m256d& quarter : sum)
            quarter = _mm256_setzero_pd();
    const __m256i one = _mm256_set1_epi64x(1);
    const __m256i ones = _mm256_set1_epi64x(-1);
    // The low halves of four 64-bit numbers, side by side.
    const __m256i lowHalves = _mm256_setr_epi32(0, 2, 4, 6, 0, 0, 0, 0);

    for (const SimulatedType& type : types) {
        const WeightsBySize table(type);
        const int32_t n = type.n;
        for (int32_t site = 0; site < type.f; ++site) {
            for (__m256i& quarter : slots.at[0])
                quarter = one; // species 1 founds guild 1
            int64_t widest = 1;
            for (int32_t species = 2; species <= n; ++species)
                widest += placeSpeciesAvx2(slots, words, table.w, widest, _mm256_set1_epi64x(species));
            for (int q = 0; q < Quarters; ++q) {
                __m256i guilds = _mm256_setzero_si256();
                __m256i before = _mm256_setzero_si256();
                for (int64_t k = 0; k < widest; ++k) {
                    const __m256i at = _mm256_load_si256(&slots.at[k][q]);
                    const __m256i g = _mm256_sub_epi64(at, before);
                    before = at;
                    const __m256i square = _mm256_permutevar8x32_epi32(_mm256_mul_epu32(g, g), lowHalves);
                    total[0][q] = _mm256_add_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(square)), total[0][q]);
                    guilds = _mm256_sub_epi64(guilds, _mm256_xor_si256(_mm256_cmpeq_epi64(g, _mm256_setzero_si256()), ones));
                }
                const __m256i twice = _mm256_add_epi64(guilds, guilds);
                const __m256d first = _mm256_i64gather_pd(type.firstMoment, twice, 8);
                const __m256d second = _mm256_i64gather_pd(type.secondMoment, twice, 8);
                total[1][q] = _mm256_add_pd(total[1][q], first);
                total[2][q] = _mm256_sub_pd(_mm256_add_pd(total[2][q], second), _mm256_mul_pd(first, first));
            }
        }
    }
    for (int q = 0; q < Quarters; ++q) {
        alignas(32) double lanes[3][4];
        for (int h = 0; h < 3; ++h)
            _mm256_store_pd(lanes[h], total[h][q]);
        for (int l = 0; l < 4; ++l)
            sums[q * 4 + l] = {lanes[0][l], lanes[1][l], lanes[2][l]};
    }
}

[[gnu::target("avx2")]] void walkGroupsAvx2(std::span<const SimulatedType> types, const double* const* words,
                                            DataSetSums* sums) {
    walkTwoGroupsAvx2(types, words[0], words[1], sums);
    walkTwoGroupsAvx2(types, words[2], words[3], sums + 2 * Lanes);
}

// ---- The walk on AVX-512 ----
//
// The running sums of the walk above, eight lanes to a register and four
// groups side by side: a species' 1 goes into every slot where u is below 0
// with one masked add, and no mask is carried from slot to slot. The slots
// from the widest of any lane on are empty and hold every species placed.

// The weights by guild size in six registers. While no guild of a site holds
// 16 species, one permutation of the first two looks a slot's weight up;
// beyond that, three and two blends.
template <bool Wide>
[[gnu::target("avx512f"), gnu::always_inline]] inline __m512d weightOf(const __m512d* t, __m512i size) {
    const __m512d low = _mm512_permutex2var_pd(t[0], size, t[1]);
    if constexpr (!Wide)
        return low;
    else {
        const __m512d middle = _mm512_permutex2var_pd(t[2], size, t[3]);
        const __m512d high = _mm512_permutex2var_pd(t[4], size, t[5]);
        const __mmask8 from16 = _mm512_test_epi64_mask(size, _mm512_set1_epi64(16));
        const __mmask8 from32 = _mm512_test_epi64_mask(size, _mm512_set1_epi64(32));
        return _mm512_mask_mov_pd(_mm512_mask_mov_pd(low, from16, middle), from32, high);
    }
}

// One group of Lanes data sets in the middle of a site.
struct SizeGroup {
    alignas(64) __m512i at[Slots]; // the species in slots 0 to k of each lane
    const double* words;           // the next word of each lane, side by side
    __m512d sums[3];               // SumS, SumMean, SumVar of each lane
};

// Places one species in every lane of the groups: walks slots 0 to widest - 1
// and returns whether any lane walked past them all, founding a guild in slot
// widest. placed: the species placed once this one is.
template <bool Wide>
[[gnu::target("avx512f"), gnu::always_inline]] inline bool placeSpecies(SizeGroup* groups, const __m512d* t,
                                                                        int64_t widest, __m512i placed) {
    // The four walks don't depend on each other: the processor overlaps them.
    __m512d u[Groups];
    __m512i before[Groups];
    __mmask8 below[Groups];
#pragma GCC unroll 4
    for (int i = 0; i < Groups; ++i) {
        u[i] = _mm512_loadu_pd(groups[i].words);
        groups[i].words += Lanes;
        before[i] = _mm512_setzero_si512();
        below[i] = 0;
    }
    const __m512d zero = _mm512_setzero_pd();
    const __m512i one = _mm512_set1_epi64(1);
    for (int64_t k = 0; k < widest; ++k) {
#pragma GCC unroll 4
        for (int i = 0; i < Groups; ++i) {
            const __m512i at = _mm512_load_si512(&groups[i].at[k]);
            u[i] = _mm512_sub_pd(u[i], weightOf<Wide>(t, _mm512_sub_epi64(at, before[i])));
            below[i] = _mm512_cmp_pd_mask(u[i], zero, _CMP_LT_OS);
            _mm512_store_si512(&groups[i].at[k], _mm512_mask_add_epi64(at, below[i], at, one));
            before[i] = at;
        }
    }
    __mmask8 stopped = 0xFF;
#pragma GCC unroll 4
    for (int i = 0; i < Groups; ++i) {
        _mm512_store_si512(&groups[i].at[widest], placed);
        stopped &= below[i];
    }
    return stopped != 0xFF;
}

// The largest guild of any lane.
[[gnu::target("avx512f"), gnu::always_inline]] inline int64_t largestGuild(const SizeGroup* groups,
                                                                           int64_t widest) {
    __m512i largest = _mm512_setzero_si512();
    for (int i = 0; i < Groups; ++i) {
        __m512i before = _mm512_setzero_si512();
        for (int64_t k = 0; k < widest; ++k) {
            const __m512i at = _mm512_load_si512(&groups[i].at[k]);
            largest = _mm512_max_epi64(largest, _mm512_sub_epi64(at, before));
            before = at;
        }
    }
    return _mm512_reduce_max_epi64(largest);
}

[[gnu::target("avx512f")]] void walkGroupsAvx512(std::span<const SimulatedType> types, const double* const* words,
                                                 DataSetSums* sums) {
    SizeGroup groups[Groups];
    for (int i = 0; i < Groups; ++i) {
        groups[i].words = words[i];
        for (__m512d& sum : groups[i].sums)
            sum = _mm512_setzero_pd();
    }
    const __m512i one = _mm512_set1_epi64(1);

    for (const SimulatedType& type : types) {
        const int32_t n = type.n;
        const WeightsBySize table(type);
        __m512d t[6];
        for (int p = 0; p < 6; ++p)
            t[p] = _mm512_load_pd(table.w + 8 * p);

        for (int32_t site = 0; site < type.f; ++site) {
            // Species 1 founds guild 1 in every lane.
            for (SizeGroup& group : groups)
                group.at[0] = one;
            int64_t widest = 1; // the most guilds of any lane
            // Species s looks up guilds of at most s - 1 species, so one
            // permutation serves up to species 16. Past that, the largest
            // guild is looked at again whenever it could have reached 16.
            int32_t narrowUpTo = 16;
            int32_t species = 2;
            for (; species <= n; ++species) {
                if (species > narrowUpTo) {
                    const int64_t largest = largestGuild(groups, widest);
                    if (largest >= 16)
                        break;
                    narrowUpTo = species + static_cast<int32_t>(15 - largest);
                }
                widest += placeSpecies<false>(groups, t, widest, _mm512_set1_epi64(species));
            }
            for (; species <= n; ++species)
                widest += placeSpecies<true>(groups, t, widest, _mm512_set1_epi64(species));

            for (SizeGroup& group : groups) {
                // The site's score, its guilds filling slots 0 to mc - 1: an
                // empty slot of a lane adds +0, which leaves the sum (never
                // -0) as it is.
                __m512i guilds = _mm512_setzero_si512();
                __m512i before = _mm512_setzero_si512();
                for (int64_t k = 0; k < widest; ++k) {
                    const __m512i at = _mm512_load_si512(&group.at[k]);
                    const __m512i g = _mm512_sub_epi64(at, before);
                    before = at;
                    const __m256i square = _mm512_cvtepi64_epi32(_mm512_mul_epu32(g, g));
                    group.sums[0] = _mm512_add_pd(_mm512_cvtepi32_pd(square), group.sums[0]);
                    guilds = _mm512_mask_add_epi64(guilds, _mm512_test_epi64_mask(g, g), guilds, one);
                }
                const __m512i twice = _mm512_add_epi64(guilds, guilds);
                const __m512d first = _mm512_i64gather_pd(twice, type.firstMoment, 8);
                const __m512d second = _mm512_i64gather_pd(twice, type.secondMoment, 8);
                group.sums[1] = _mm512_add_pd(group.sums[1], first);
                group.sums[2] = _mm512_sub_pd(_mm512_add_pd(group.sums[2], second), _mm512_mul_pd(first, first));
            }
        }
    }
    for (int i = 0; i < Groups; ++i) {
        alignas(64) double lanes[3][Lanes];
        for (int h = 0; h < 3; ++h)
            _mm512_store_pd(lanes[h], groups[i].sums[h]);
        for (int l = 0; l < Lanes; ++l)
            sums[i * Lanes + l] = {lanes[0][l], lanes[1][l], lanes[2][l]};
    }
}

using WalkGroups = void (*)(std::span<const SimulatedType>, const double* const*, DataSetSums*);

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

// A run of groups of data sets: their words, side by side, and how many data
// sets the last group holds.
struct Chunk {
    double* words = nullptr;
    int32_t groups = 0;
    int lastLanes = Lanes;
};

// The calling thread's word buffers, kept from call to call and grown to the
// largest call seen (up to KeptBufferWords): fresh pages for every call cost
// about as much as drawing the words that fill them.
class WordBuffers {
public:
    explicit WordBuffers(std::size_t words) {
        std::vector<double>& buffers = kept();
        if (buffers.size() < words) {
            buffers.clear();
            buffers.shrink_to_fit();
            buffers.resize(words);
        }
    }
    ~WordBuffers() {
        std::vector<double>& buffers = kept();
        if (buffers.size() > KeptBufferWords) {
            buffers.clear();
            buffers.shrink_to_fit();
        }
    }
    WordBuffers(const WordBuffers&) = delete;
    WordBuffers& operator=(const WordBuffers&) = delete;
    double* data() { return kept().data(); }

private:
    static std::vector<double>& kept() {
        thread_local std::vector<double> buffers;
        return buffers;
    }
};

// Draws the words of data sets first to first + count - 1 into the chunk, in
// the order of the data sets; the lanes past the last data set read 0.
void drawChunk(Chunk& chunk, double (*RndU)(), int64_t wordsPerDataSet, int32_t count) {
    chunk.groups = (count + Lanes - 1) / Lanes;
    chunk.lastLanes = count - (chunk.groups - 1) * Lanes;
    double* group = chunk.words;
    for (int32_t g = 0; g < chunk.groups; ++g, group += Lanes * wordsPerDataSet) {
        const int lanes = g + 1 == chunk.groups ? chunk.lastLanes : Lanes;
        for (int l = 0; l < lanes; ++l)
            for (int64_t j = 0; j < wordsPerDataSet; ++j)
                group[j * Lanes + l] = RndU();
        for (int l = lanes; l < Lanes; ++l)
            for (int64_t j = 0; j < wordsPerDataSet; ++j)
                group[j * Lanes + l] = 0;
    }
}

// What the walked data sets come to: their rejections, and for the tests
// their sums, in the order of the data sets.
struct Tally {
    int32_t c1 = 0;
    int32_t c2 = 0;
    std::vector<DataSetSums>* sums = nullptr;
    void add(const DataSetSums& dataSet) {
        if (sums)
            sums->push_back(dataSet);
        else
            CountRejections(dataSet.SumS, dataSet.SumMean, dataSet.SumVar, c1, c2);
    }
};

void walkChunk(std::span<const SimulatedType> types, const Chunk& chunk, int64_t wordsPerDataSet, WalkGroups walk,
               Tally& tally) {
    // Groups groups at a time; the last ones may walk beside copies of the
    // first that count nothing.
    const int64_t groupWords = Lanes * wordsPerDataSet;
    DataSetSums sums[Groups * Lanes];
    for (int32_t g = 0; g < chunk.groups; g += Groups) {
        const double* words[Groups];
        for (int i = 0; i < Groups; ++i)
            words[i] = chunk.words + (g + i < chunk.groups ? g + i : 0) * groupWords;
        walk(types, words, sums);
        const int32_t dataSets =
            std::min(Groups, chunk.groups - g) * Lanes - (g + Groups >= chunk.groups ? Lanes - chunk.lastLanes : 0);
        for (int32_t d = 0; d < dataSets; ++d)
            tally.add(sums[d]);
    }
}

// The chunks of a call handed from the drawing thread to the helpers, in
// order, through a ring of buffers: a buffer is drawn again only when the
// chunk it held has been walked. Each buffer has its own wake-ups, so a
// hand-over wakes only the one thread waiting for it.
class ChunkRing {
public:
    ChunkRing(double* words, std::size_t buffers, std::size_t wordsPerBuffer, int32_t chunks)
        : ring_(buffers), chunks_(chunks) {
        for (Slot& slot : ring_) {
            slot.chunk.words = words;
            words += wordsPerBuffer;
        }
    }

    // The drawing thread: the buffer for chunk c once it is free, or null when
    // the call has failed.
    Chunk* bufferFor(int32_t c) {
        Slot& slot = slotOf(c);
        std::unique_lock lock(mutex_);
        slot.emptied.wait(lock, [&] { return failed_ || slot.holds < 0; });
        return failed_ ? nullptr : &slot.chunk;
    }
    void drawn(int32_t c) {
        Slot& slot = slotOf(c);
        {
            std::lock_guard lock(mutex_);
            slot.holds = c;
        }
        // Two helpers may wait on one buffer: the one for chunk c and the
        // one for the chunk after it in that buffer.
        slot.filled.notify_all();
    }

    // A helper: the next chunk to walk once it is drawn; -1 when there is none
    // left or the call has failed.
    int32_t take(Chunk*& chunk) {
        std::unique_lock lock(mutex_);
        if (nextToTake_ >= chunks_)
            return -1;
        const int32_t c = nextToTake_++;
        Slot& slot = slotOf(c);
        slot.filled.wait(lock, [&] { return failed_ || slot.holds == c; });
        if (failed_)
            return -1;
        chunk = &slot.chunk;
        return c;
    }
    void walked(int32_t c) {
        Slot& slot = slotOf(c);
        {
            std::lock_guard lock(mutex_);
            slot.holds = -1;
        }
        slot.emptied.notify_one();
    }

    void fail() {
        {
            std::lock_guard lock(mutex_);
            failed_ = true;
        }
        for (Slot& slot : ring_) {
            slot.filled.notify_all();
            slot.emptied.notify_all();
        }
    }
    bool failed() {
        std::lock_guard lock(mutex_);
        return failed_;
    }

private:
    struct Slot {
        Chunk chunk;
        int32_t holds = -1; // the chunk drawn into the buffer and not yet walked
        std::condition_variable filled;
        std::condition_variable emptied;
    };
    Slot& slotOf(int32_t c) { return ring_[static_cast<std::size_t>(c) % ring_.size()]; }

    std::mutex mutex_;
    std::vector<Slot> ring_;
    const int32_t chunks_;
    int32_t nextToTake_ = 0;
    bool failed_ = false;
};

// One helper thread: walks chunks as they are drawn, under the call's
// floating-point setup, and keeps its own counts. A failure ends the call.
struct Helper {
    Tally tally;
    void run(std::span<const SimulatedType> types, ChunkRing& ring, int64_t wordsPerDataSet,
             WalkGroups walk) noexcept {
        try {
            FloatingPointScope scope;
            ClearFaults();
            Chunk* chunk = nullptr;
            for (int32_t c; (c = ring.take(chunk)) >= 0;) {
                walkChunk(types, *chunk, wordsPerDataSet, walk, tally);
                ring.walked(c);
            }
            Observed(tally.c1);
            Observed(tally.c2);
            CheckFaults();
        } catch (...) {
            ring.fail();
        }
    }
};

// Ends the helpers however the drawing thread leaves: a drawing thread that
// fails stops them before their ring and counts go away.
class HelperThreads {
public:
    explicit HelperThreads(ChunkRing& ring) : ring_(ring) {}
    ~HelperThreads() {
        if (std::uncaught_exceptions() > 0)
            ring_.fail();
        for (std::thread& thread : threads_)
            thread.join();
    }
    HelperThreads(const HelperThreads&) = delete;
    HelperThreads& operator=(const HelperThreads&) = delete;

    void start(std::span<const SimulatedType> types, std::vector<Helper>& helpers, int64_t wordsPerDataSet,
               WalkGroups walk) {
        for (Helper& helper : helpers) {
            try {
                threads_.emplace_back(&Helper::run, &helper, types, std::ref(ring_), wordsPerDataSet, walk);
            } catch (const std::system_error&) {
                break; // fewer helpers: the ones started walk every chunk
            }
        }
    }
    std::size_t started() const { return threads_.size(); }
    void join() {
        for (std::thread& thread : threads_)
            thread.join();
        threads_.clear();
    }

private:
    ChunkRing& ring_;
    std::vector<std::thread> threads_;
};

// One data set assembled one draw after another, each draw walked on its own
// until its guild is found.
DataSetSums oneDataSet(std::span<const SimulatedType> types, double (*RndU)()) {
    int32_t g[LargestSpeciesCount];
    DataSetSums sums{0, 0, 0};
    for (const SimulatedType& type : types) {
        const double* const w = type.w;
        const int32_t n = type.n;
        for (int32_t site = 0; site < type.f; ++site) {
            // Species 1 founds guild 1; each later species joins a guild
            // already present, walked in the order of founding, or founds
            // the next.
            g[0] = 1;
            int32_t mc = 1;
            for (int32_t species = 2; species <= n; ++species) {
                double u = RndU();
                int32_t k = 0;
                for (; k < mc; ++k) {
                    u = u - w[g[k]];
                    if (u < 0)
                        break;
                }
                if (k < mc)
                    ++g[k];
                else
                    g[mc++] = 1;
            }
            for (int32_t k = 0; k < mc; ++k)
                sums.SumS = static_cast<double>(g[k] * g[k]) + sums.SumS;
            const double E1 = type.firstMoment[2 * mc];
            sums.SumMean = sums.SumMean + E1;
            sums.SumVar = (sums.SumVar + type.secondMoment[2 * mc]) - E1 * E1;
        }
    }
    return sums;
}

void simulate(std::span<const SimulatedType> types, double (*RndU)(), int32_t Iterations, Tally& tally,
              unsigned helpers, VectorUnits units);

} // namespace

void WalkOneDrawAfterAnother(std::span<const SimulatedType> types, double (*RndU)(), int32_t Iterations,
                             int32_t& c1, int32_t& c2) {
    for (int32_t iteration = 1; iteration <= Iterations; ++iteration) {
        const DataSetSums sums = oneDataSet(types, RndU);
        CountRejections(sums.SumS, sums.SumMean, sums.SumVar, c1, c2);
    }
}

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

std::vector<DataSetSums> SumsOneDrawAfterAnother(std::span<const SimulatedType> types, double (*RndU)(),
                                                 int32_t Iterations) {
    std::vector<DataSetSums> sums;
    for (int32_t iteration = 1; iteration <= Iterations; ++iteration)
        sums.push_back(oneDataSet(types, RndU));
    return sums;
}

namespace {

void simulate(std::span<const SimulatedType> types, double (*RndU)(), int32_t Iterations, Tally& tally,
              unsigned helpers, VectorUnits units) {
    if (!ProcessorHas(units))
        throw Failure("the processor lacks the vector units asked for");
    const WalkGroups walk = walkFor(units);
    const int64_t wordsPerDataSet = WordsPerDataSet(types);
    if (wordsPerDataSet <= 0 || Iterations < 1)
        throw Failure("no data sets to walk side by side");
    const int64_t groupWords = Lanes * wordsPerDataSet;
    // A whole number of walks' groups.
    const int64_t groupsPerChunk = std::max<int64_t>(Groups, WordsPerChunk / groupWords / Groups * Groups);
    const int32_t dataSetsPerChunk = static_cast<int32_t>(std::min<int64_t>(groupsPerChunk * Lanes, Iterations));
    const int32_t chunks = (Iterations - 1) / dataSetsPerChunk + 1;
    // Sized for a whole chunk whatever the count, so that the buffers of a
    // type set, once grown, serve calls of every count.
    const auto chunkWords = static_cast<std::size_t>(groupsPerChunk * groupWords);
    auto dataSetsOf = [&](int32_t c) {
        return c + 1 == chunks ? Iterations - c * dataSetsPerChunk : dataSetsPerChunk;
    };

    helpers = std::min<unsigned>(helpers, static_cast<unsigned>(chunks - 1));
    if (helpers > 0) {
        const std::size_t room = std::max<std::size_t>(MostBufferWords / chunkWords, 3);
        helpers = std::min(helpers, static_cast<unsigned>(room - 2));
        const std::size_t buffers = static_cast<std::size_t>(helpers) + 2;
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

} // namespace quorlan
