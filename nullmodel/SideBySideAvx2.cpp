// The walk side by side on AVX2: two groups of data sets (sixteen lanes,
// four registers) walked together. Each slot holds, lane by lane, its guild's
// size and that size's weight (+infinity where the slot is empty), so a
// draw's walk is one subtraction and one comparison a slot with no lookup:
// its u only falls, so the slot where it stops is the number of slots where u
// is not below 0. Only that slot's guild grows, so one lane's size and weight
// change a species, done lane by lane from the type's weights by size (AVX2
// gathers cost more than the whole walk). A lane that walks past its last
// guild finds +infinity in the next slot and founds a new guild there.

#include "nullmodel/SideBySideWalks.h"
#include "nullmodel/VectorIntrinsics.h"

#include <limits>

namespace quorlan {

namespace {

constexpr int LanesOfTwoGroups = 2 * Lanes;
// The registers of four lanes that two groups fill.
constexpr int RegistersOfTwoGroups = LanesOfTwoGroups / 4;

// The guilds of the sites that two groups are assembling.
struct GuildsOfTwoGroups {
    alignas(32) int64_t sizes[Slots][LanesOfTwoGroups];  // 0 where empty
    alignas(32) double weights[Slots][LanesOfTwoGroups]; // w(size), +infinity where empty
};

[[gnu::target("avx2")]] inline void emptySlot(GuildsOfTwoGroups& guilds, int64_t k) {
    const __m256d infinity = _mm256_set1_pd(std::numeric_limits<double>::infinity());
    for (int q = 0; q < RegistersOfTwoGroups; ++q) {
        _mm256_store_si256(reinterpret_cast<__m256i*>(&guilds.sizes[k][4 * q]), _mm256_setzero_si256());
        _mm256_store_pd(&guilds.weights[k][4 * q], infinity);
    }
}

// Places one species in every lane of the two groups: walks slots 0 to
// widest - 1, where every lane's guilds and then empty slots lie, and
// returns whether any lane walked past them all, founding a guild in slot
// widest. w: the weights by guild size.
[[gnu::target("avx2"), gnu::always_inline]] inline bool placeSpeciesAvx2(GuildsOfTwoGroups& guilds,
                                                                         const double** words, const double* w,
                                                                         int64_t widest) {
    __m256d u[RegistersOfTwoGroups];
    __m256i stop[RegistersOfTwoGroups];
#pragma GCC unroll 4
    for (int q = 0; q < RegistersOfTwoGroups; ++q) {
        u[q] = _mm256_loadu_pd(words[q / 2] + 4 * (q % 2));
        stop[q] = _mm256_set1_epi64x(widest);
    }
    words[0] += Lanes;
    words[1] += Lanes;
    const __m256i zero = _mm256_setzero_si256();
    for (int64_t k = 0; k < widest; ++k) {
#pragma GCC unroll 4
        for (int q = 0; q < RegistersOfTwoGroups; ++q) {
            u[q] = _mm256_sub_pd(u[q], _mm256_load_pd(&guilds.weights[k][4 * q]));
            // Each slot where u is below 0 takes one off. u starts at +0 or
            // more and only falls, and x - x is +0, so u is never -0: its
            // sign bit, read as that of a 64-bit integer, says whether it is
            // below 0 (an integer comparison has more units to run on than
            // a floating-point one).
            stop[q] = _mm256_add_epi64(stop[q], _mm256_cmpgt_epi64(zero, _mm256_castpd_si256(u[q])));
        }
    }
    alignas(32) int64_t stops[LanesOfTwoGroups];
    const __m256i past = _mm256_set1_epi64x(widest);
    __m256i founded = _mm256_setzero_si256();
#pragma GCC unroll 4
    for (int q = 0; q < RegistersOfTwoGroups; ++q) {
        _mm256_store_si256(reinterpret_cast<__m256i*>(&stops[4 * q]), stop[q]);
        founded = _mm256_or_si256(founded, _mm256_cmpeq_epi64(stop[q], past));
    }
#pragma GCC unroll 16
    for (int l = 0; l < LanesOfTwoGroups; ++l) {
        const int64_t k = stops[l];
        const int64_t size = ++guilds.sizes[k][l];
        guilds.weights[k][l] = w[size];
    }
    return !_mm256_testz_si256(founded, founded);
}

[[gnu::target("avx2")]] void walkTwoGroupsAvx2(std::span<const SimulatedType> types, const double* wordsA,
                                               const double* wordsB, DataSetSums* sums) {
    GuildsOfTwoGroups guilds;
    const double* words[2] = {wordsA, wordsB};
    __m256d total[3][RegistersOfTwoGroups]; // SumS, SumMean, SumVar of each lane
    for (auto& sum : total)
        for (__m256d& lanes : sum)
            lanes = _mm256_setzero_pd();
    const __m256i ones = _mm256_set1_epi64x(-1);
    // The low halves of four 64-bit numbers, side by side.
    const __m256i lowHalves = _mm256_setr_epi32(0, 2, 4, 6, 0, 0, 0, 0);

    for (const SimulatedType& type : types) {
        const WeightsBySize table(type);
        const int32_t n = type.n;
        for (int32_t site = 0; site < type.f; ++site) {
            // Species 1 founds guild 1 in every lane.
            for (int q = 0; q < RegistersOfTwoGroups; ++q) {
                _mm256_store_si256(reinterpret_cast<__m256i*>(&guilds.sizes[0][4 * q]), _mm256_set1_epi64x(1));
                _mm256_store_pd(&guilds.weights[0][4 * q], _mm256_set1_pd(table.w[1]));
            }
            emptySlot(guilds, 1);
            int64_t widest = 1; // the most guilds of any lane
            for (int32_t species = 2; species <= n; ++species)
                if (placeSpeciesAvx2(guilds, words, table.w, widest))
                    emptySlot(guilds, ++widest);
            // The site's score: an empty slot of a lane adds +0, which leaves
            // the sum (never -0) as it is.
            for (int q = 0; q < RegistersOfTwoGroups; ++q) {
                __m256i count = _mm256_setzero_si256();
                for (int64_t k = 0; k < widest; ++k) {
                    const __m256i g = _mm256_load_si256(reinterpret_cast<const __m256i*>(&guilds.sizes[k][4 * q]));
                    const __m256i square = _mm256_permutevar8x32_epi32(_mm256_mul_epu32(g, g), lowHalves);
                    total[0][q] = _mm256_add_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(square)), total[0][q]);
                    const __m256i empty = _mm256_cmpeq_epi64(g, _mm256_setzero_si256());
                    count = _mm256_sub_epi64(count, _mm256_xor_si256(empty, ones));
                }
                const __m256i twice = _mm256_add_epi64(count, count);
                const __m256d first = _mm256_i64gather_pd(type.firstMoment, twice, 8);
                const __m256d second = _mm256_i64gather_pd(type.secondMoment, twice, 8);
                total[1][q] = _mm256_add_pd(total[1][q], first);
                total[2][q] = _mm256_sub_pd(_mm256_add_pd(total[2][q], second), _mm256_mul_pd(first, first));
            }
        }
    }
    for (int q = 0; q < RegistersOfTwoGroups; ++q) {
        alignas(32) double lanes[3][4];
        for (int h = 0; h < 3; ++h)
            _mm256_store_pd(lanes[h], total[h][q]);
        for (int l = 0; l < 4; ++l)
            sums[q * 4 + l] = {lanes[0][l], lanes[1][l], lanes[2][l]};
    }
}

} // namespace

[[gnu::target("avx2")]] void walkGroupsAvx2(std::span<const SimulatedType> types, const double* const* words,
                                            DataSetSums* sums) {
    walkTwoGroupsAvx2(types, words[0], words[1], sums);
    walkTwoGroupsAvx2(types, words[2], words[3], sums + 2 * Lanes);
}

} // namespace quorlan
