// The walk side by side on AVX2: for every slot k each lane keeps the
// species in its guilds 0 to k (at[k]), a guild's size being the difference
// of two neighbours; a species adds 1 to at[k] wherever u is below 0, i.e. in
// its slot and every one after it, so no mask is carried from slot to slot.
// Four lanes to a register, two groups (four registers) walked side by side;
// each slot's weight is gathered from the type's weights by guild size. The
// slots from the widest of any lane on are empty and hold every species
// placed: a lane that walks past its last guild finds +infinity there and
// founds a new guild.

#include "nullmodel/SideBySideWalks.h"
#include "nullmodel/VectorIntrinsics.h"

namespace quorlan {

namespace {

// The registers of four lanes that two groups fill.
constexpr int RegistersOfTwoGroups = 2 * Lanes / 4;

struct RunningSumsOfTwoGroups {
    alignas(32) __m256i at[Slots][RegistersOfTwoGroups]; // the species in slots 0 to k of each lane
};

// Places one species in every lane of the two groups: walks slots 0 to
// widest - 1 and returns whether any lane walked past them all, founding a
// guild in slot widest. placed: the species placed once this one is.
[[gnu::target("avx2"), gnu::always_inline]] inline bool placeSpeciesAvx2(RunningSumsOfTwoGroups& slots,
                                                                         const double** words, const double* w,
                                                                         int64_t widest, __m256i placed) {
    __m256d u[RegistersOfTwoGroups];
    __m256i before[RegistersOfTwoGroups];
    __m256d below[RegistersOfTwoGroups];
#pragma GCC unroll 4
    for (int q = 0; q < RegistersOfTwoGroups; ++q) {
        u[q] = _mm256_loadu_pd(words[q / 2] + 4 * (q % 2));
        before[q] = _mm256_setzero_si256();
        below[q] = _mm256_setzero_pd();
    }
    words[0] += Lanes;
    words[1] += Lanes;
    const __m256d zero = _mm256_setzero_pd();
    for (int64_t k = 0; k < widest; ++k) {
#pragma GCC unroll 4
        for (int q = 0; q < RegistersOfTwoGroups; ++q) {
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
    for (int q = 0; q < RegistersOfTwoGroups; ++q) {
        _mm256_store_si256(&slots.at[widest][q], placed);
        stopped &= _mm256_movemask_pd(below[q]) | 0xFFF0;
    }
    return stopped != 0xFFFF;
}

[[gnu::target("avx2")]] void walkTwoGroupsAvx2(std::span<const SimulatedType> types, const double* wordsA,
                                               const double* wordsB, DataSetSums* sums) {
    RunningSumsOfTwoGroups slots;
    const double* words[2] = {wordsA, wordsB};
    __m256d total[3][RegistersOfTwoGroups]; // SumS, SumMean, SumVar of each lane
    for (auto& sum : total)
        for (__m256d& lanes : sum)
            lanes = _mm256_setzero_pd();
    const __m256i one = _mm256_set1_epi64x(1);
    const __m256i ones = _mm256_set1_epi64x(-1);
    // The low halves of four 64-bit numbers, side by side.
    const __m256i lowHalves = _mm256_setr_epi32(0, 2, 4, 6, 0, 0, 0, 0);

    for (const SimulatedType& type : types) {
        const WeightsBySize table(type);
        const int32_t n = type.n;
        for (int32_t site = 0; site < type.f; ++site) {
            for (__m256i& lanes : slots.at[0])
                lanes = one; // species 1 founds guild 1
            int64_t widest = 1;
            for (int32_t species = 2; species <= n; ++species)
                widest += placeSpeciesAvx2(slots, words, table.w, widest, _mm256_set1_epi64x(species));
            for (int q = 0; q < RegistersOfTwoGroups; ++q) {
                __m256i guilds = _mm256_setzero_si256();
                __m256i before = _mm256_setzero_si256();
                for (int64_t k = 0; k < widest; ++k) {
                    const __m256i at = _mm256_load_si256(&slots.at[k][q]);
                    const __m256i g = _mm256_sub_epi64(at, before);
                    before = at;
                    const __m256i square = _mm256_permutevar8x32_epi32(_mm256_mul_epu32(g, g), lowHalves);
                    total[0][q] = _mm256_add_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(square)), total[0][q]);
                    const __m256i empty = _mm256_cmpeq_epi64(g, _mm256_setzero_si256());
                    guilds = _mm256_sub_epi64(guilds, _mm256_xor_si256(empty, ones));
                }
                const __m256i twice = _mm256_add_epi64(guilds, guilds);
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
