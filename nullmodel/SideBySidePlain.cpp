// The walk side by side on plain x86-64: each data set of the buffer walked
// on its own, the way the vector walks do it for several at once. For every
// slot k the data set keeps the species in its guilds 0 to k (at[k]), a
// guild's size being the difference of two neighbours; a species adds 1 to
// at[k] wherever u is below 0, i.e. in its slot and every one after it.
// The walk goes through all of the data set's guilds without stopping early:
// a branch on where each draw stops would be mispredicted about once a draw.
// Past a data set's last guild it finds the empty slot (+infinity), where a
// species founds a new guild.

#include "nullmodel/SideBySideWalks.h"

namespace quorlan {

namespace {

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

} // namespace

// Each data set's operations are the same IEEE operations as in the vector
// walks.
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

} // namespace quorlan
