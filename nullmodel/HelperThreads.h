#pragma once
// The helper threads of a large call: they live only inside the call and
// walk the chunks that the calling thread draws.

#include "nullmodel/ChunkRing.h"
#include "nullmodel/WordChunks.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <thread>
#include <vector>

namespace quorlan {

// One helper thread: walks chunks as they are drawn, under the call's
// floating-point setup, and keeps its own counts. A failure ends the call.
struct Helper {
    Tally tally;
    void run(std::span<const SimulatedType> types, ChunkRing& ring, int64_t wordsPerDataSet,
             WalkGroups walk) noexcept;
};

// Ends the helpers however the drawing thread leaves: a drawing thread that
// fails stops them before their ring and counts go away.
class HelperThreads {
public:
    explicit HelperThreads(ChunkRing& ring) : ring_(ring) {}
    ~HelperThreads();
    HelperThreads(const HelperThreads&) = delete;
    HelperThreads& operator=(const HelperThreads&) = delete;

    // Starts a thread for each helper, or as many as the system gives.
    void start(std::span<const SimulatedType> types, std::vector<Helper>& helpers, int64_t wordsPerDataSet,
               WalkGroups walk);
    std::size_t started() const { return threads_.size(); }
    void join();

private:
    ChunkRing& ring_;
    std::vector<std::thread> threads_;
};

} // namespace quorlan
