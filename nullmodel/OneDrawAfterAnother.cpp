// Beta's data sets one after another, each draw walked on its own until its
// guild is found: the walk that every build side by side must match.

#include "nullmodel/DataSetWalk.h"

namespace quorlan {

DataSetSums OneDataSet(std::span<const SimulatedType> types, double (*RndU)()) {
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

void WalkOneDrawAfterAnother(std::span<const SimulatedType> types, double (*RndU)(), int32_t Iterations,
                             int32_t& c1, int32_t& c2) {
    for (int32_t iteration = 1; iteration <= Iterations; ++iteration) {
        const DataSetSums sums = OneDataSet(types, RndU);
        CountRejections(sums.SumS, sums.SumMean, sums.SumVar, c1, c2);
    }
}

std::vector<DataSetSums> SumsOneDrawAfterAnother(std::span<const SimulatedType> types, double (*RndU)(),
                                                 int32_t Iterations) {
    std::vector<DataSetSums> sums;
    for (int32_t iteration = 1; iteration <= Iterations; ++iteration)
        sums.push_back(OneDataSet(types, RndU));
    return sums;
}

} // namespace quorlan
