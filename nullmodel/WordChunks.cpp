// The word buffers of the calling thread, the drawing of a chunk's words
// and the walk of a chunk: see WordChunks.h.

#include "nullmodel/WordChunks.h"

#include <algorithm>
#include <memory>

namespace quorlan {

namespace {

struct KeptBuffers {
    std::unique_ptr<double[]> words;
    std::size_t size = 0;
};

KeptBuffers& keptBuffers() {
    thread_local KeptBuffers buffers;
    return buffers;
}

} // namespace

WordBuffers::WordBuffers(std::size_t words) {
    KeptBuffers& buffers = keptBuffers();
    if (buffers.size < words) {
        buffers.words.reset();
        buffers.size = 0;
        buffers.words.reset(new double[words]);
        buffers.size = words;
    }
}

WordBuffers::~WordBuffers() {
    KeptBuffers& buffers = keptBuffers();
    if (buffers.size > KeptBufferWords) {
        buffers.words.reset();
        buffers.size = 0;
    }
}

double* WordBuffers::data() { return keptBuffers().words.get(); }

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

void Tally::add(const DataSetSums& dataSet) {
    if (sums)
        sums->push_back(dataSet);
    else
        CountRejections(dataSet.SumS, dataSet.SumMean, dataSet.SumVar, c1, c2);
}

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

} // namespace quorlan
