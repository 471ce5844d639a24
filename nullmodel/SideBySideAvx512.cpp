// The walk side by side on AVX-512: the running sums of the AVX2 walk
// (SideBySideAvx2.cpp), eight lanes to a register and four groups side by
// side. A species' 1 goes into every slot where u is below 0 with one masked
// add, and no mask is carried from slot to slot. The slots from the widest of any lane on are
// empty and hold every species placed.

#include "nullmodel/SideBySideWalks.h"
#include "nullmodel/VectorIntrinsics.h"

namespace quorlan {

namespace {

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
struct LaneGroup {
    alignas(64) __m512i at[Slots]; // the species in slots 0 to k of each lane
    const double* words;           // the next word of each lane, side by side
    __m512d sums[3];               // SumS, SumMean, SumVar of each lane
};

// Places one species in every lane of the groups: walks slots 0 to widest - 1
// and returns whether any lane walked past them all, founding a guild in slot
// widest. placed: the species placed once this one is.
template <bool Wide>
[[gnu::target("avx512f"), gnu::always_inline]] inline bool placeSpecies(LaneGroup* groups, const __m512d* t,
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
[[gnu::target("avx512f"), gnu::always_inline]] inline int64_t largestGuild(const LaneGroup* groups,
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

} // namespace

[[gnu::target("avx512f")]] void walkGroupsAvx512(std::span<const SimulatedType> types, const double* const* words,
                                                 DataSetSums* sums) {
    LaneGroup groups[Groups];
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
            for (LaneGroup& group : groups)
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

            for (LaneGroup& group : groups) {
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

} // namespace quorlan
