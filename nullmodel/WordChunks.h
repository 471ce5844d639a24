#pragma once
// The words of a run of data sets, drawn on the calling thread into a buffer
// in the order in which the data sets would draw them and laid out for the
// walks side by side; and what walking them comes to.

#include "nullmodel/SideBySideWalks.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quorlan {

// The words of all buffers of a call at most (64 MB), but never fewer than
// three buffers: a call of very large data sets starts fewer helpers.
// Buffers up to a quarter of that are kept for the thread's next call; larger
// ones are given back at its end.
inline constexpr std::size_t MostBufferWords = std::size_t{1} << 23;
inline constexpr std::size_t KeptBufferWords = MostBufferWords / 4;

// A run of groups of data sets: their words, side by side, and how many data
// sets the last group holds.
struct Chunk {
    double* words = nullptr;
    int32_t groups = 0;
    int lastLanes = Lanes;
};

// The calling thread's word buffers, kept from call to call and grown to the
// largest call seen (up to KeptBufferWords): fresh pages for every call cost
// about as much as drawing the words that fill them. Their words are not
// cleared: a chunk reads only what was drawn into it.
class WordBuffers {
public:
    // At least this many words, for as long as the object lives.
    explicit WordBuffers(std::size_t words);
    ~WordBuffers();
    WordBuffers(const WordBuffers&) = delete;
    WordBuffers& operator=(const WordBuffers&) = delete;
    double* data();
};

// Draws the words of the next count data sets into the chunk, in the order
// of the data sets; the lanes past the last data set read 0.
void drawChunk(Chunk& chunk, double (*RndU)(), int64_t wordsPerDataSet, int32_t count);

// What the walked data sets come to: their rejections, and for the tests
// their sums, in the order of the data sets.
struct Tally {
    int32_t c1 = 0;
    int32_t c2 = 0;
    std::vector<DataSetSums>* sums = nullptr;
    void add(const DataSetSums& dataSet);
};

// Walks every data set of the chunk and adds it to the tally.
void walkChunk(std::span<const SimulatedType> types, const Chunk& chunk, int64_t wordsPerDataSet, WalkGroups walk,
               Tally& tally);

} // namespace quorlan
