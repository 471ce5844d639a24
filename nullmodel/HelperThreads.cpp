// The helper threads of a large call: see HelperThreads.h.

#include "nullmodel/HelperThreads.h"

#include "nullmodel/FloatingPoint.h"

#include <exception>
#include <functional>
#include <system_error>

namespace quorlan {

void Helper::run(std::span<const SimulatedType> types, ChunkRing& ring, int64_t wordsPerDataSet,
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

HelperThreads::~HelperThreads() {
    if (std::uncaught_exceptions() > 0)
        ring_.fail();
    for (std::thread& thread : threads_)
        thread.join();
}

void HelperThreads::start(std::span<const SimulatedType> types, std::vector<Helper>& helpers,
                          int64_t wordsPerDataSet, WalkGroups walk) {
    for (Helper& helper : helpers) {
        try {
            threads_.emplace_back(&Helper::run, &helper, types, std::ref(ring_), wordsPerDataSet, walk);
        } catch (const std::system_error&) {
            break; // fewer helpers: the ones started walk every chunk
        }
    }
}

void HelperThreads::join() {
    for (std::thread& thread : threads_)
        thread.join();
    threads_.clear();
}

} // namespace quorlan
