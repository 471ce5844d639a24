// Beta's data sets side by side: see DataSetWalk.h. Every lane does exactly
// the floating-point operations of one data set assembled on its own, in the
// same order, so the numbers are those of one draw after another.

#include "nullmodel/DataSetWalk.h"

#include "nullmodel/FloatingPoint.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>

namespace quorlan {

namespace {

// Data sets walked side by side, one lane each (the walk spells out eight).
constexpr int Lanes = 8;
using Doubles = double __attribute__((vector_size(Lanes * sizeof(double))));
using Longs = int64_t __attribute__((vector_size(Lanes * sizeof(int64_t))));
using Ints = int32_t __attribute__((vector_size(Lanes * sizeof(int32_t))));

// Guild slots of a site: one per species at most.
constexpr int Slots = LargestSpeciesCount;

// Words of one buffer handed from the drawing thread to a walking one: large
// enough that handing it over costs little beside drawing it.
constexpr int64_t WordsPerChunk = 1 << 15;
// A buffer of data sets side by side takes 2 Lanes times the words of one:
// beyond this many (some 3000 sites of 41 species) a data set goes one draw
// after another.
constexpr int64_t MostWordsPerDataSet = int64_t{1} << 17;
// The words of all buffers of a call at most (64 MB): a call of very large
// data sets starts fewer helpers. Buffers up to a quarter of that are kept
// for the thread's next call; larger ones are given back at its end.
constexpr std::size_t MostBufferWords = std::size_t{1} << 23;
constexpr std::size_t KeptBufferWords = MostBufferWords / 4;
// Below this many words (a few milliseconds on one thread) a call is over
// before helper threads would pay off.
constexpr int64_t WordsWorthHelpers = int64_t{1} << 21;

// One group of Lanes data sets in the middle of a site.
struct LaneGroup {
    // The weight of the guild in slot k for each lane, +infinity while the
    // slot is empty: the walk of a lane stops there at the latest (u minus
    // infinity is below 0), which is where a species founds a new guild. The
    // walk goes on past a lane's stop for the sake of the other lanes; the
    // extra subtractions change nothing that is kept.
    alignas(64) Doubles weight[Slots];
    alignas(64) Ints g[Slots]; // guild sizes, 0 for an empty slot
    const double* words;       // the next word of each lane, side by side
};

// The walk of one species in one group, up to slot widest: the slot of each
// lane where u first falls below 0, i.e. the number of slots before it where
// u stayed at 0 or above. On its way it puts the previous species' new weights
// (joinedWeight, in slot joined of each lane) into the group's weights: lane
// by lane stores would stall the walk's whole-vector loads.
[[gnu::always_inline]] inline void startSpecies(LaneGroup& group, Doubles& u) {
    std::memcpy(&u, group.words, sizeof u);
    group.words += Lanes;
}

// Joins each lane's species to the guild of its slot, or founds one in the
// first empty slot; gives the new weights of those guilds and returns the
// highest slot of any lane.
[[gnu::always_inline]] inline int64_t join(LaneGroup& group, const Longs& slot, const double* w,
                                           Doubles& joinedWeight) {
    alignas(64) int64_t stop[Lanes];
    std::memcpy(stop, &slot, sizeof stop);
    int32_t sizes[Lanes];
    int64_t highest = 0;
    for (int l = 0; l < Lanes; ++l) {
        const auto k = static_cast<std::size_t>(stop[l]);
        sizes[l] = group.g[k][l] + 1;
        group.g[k][l] = sizes[l];
        highest = std::max(highest, stop[l]);
    }
    joinedWeight = Doubles{w[sizes[0]], w[sizes[1]], w[sizes[2]], w[sizes[3]],
                           w[sizes[4]], w[sizes[5]], w[sizes[6]], w[sizes[7]]};
    return highest;
}

// Walks two groups of Lanes data sets side by side: the subtractions of one
// walk depend on each other, those of two groups don't, so the processor
// overlaps them. Adds the rejections of the first lanesUsed lanes of each.
// Compiled also for the wider vector units, chosen at load by the processor:
// each lane's operations are the same IEEE operations in every version.
[[gnu::target_clones("avx512f", "avx2", "default")]] void walkGroups(std::span<const SimulatedType> types,
                                                                    const double* wordsA, int lanesA,
                                                                    const double* wordsB, int lanesB, int32_t& c1,
                                                                    int32_t& c2) {
    LaneGroup a;
    LaneGroup b;
    a.words = wordsA;
    b.words = wordsB;
    Doubles empty;
    for (int l = 0; l < Lanes; ++l)
        empty[l] = std::numeric_limits<double>::infinity();
    const Doubles zero = {};
    Doubles sumsA[3] = {}; // SumS, SumMean, SumVar of each lane
    Doubles sumsB[3] = {};

    for (const SimulatedType& type : types) {
        const double* const w = type.w;
        const int32_t n = type.n;
        for (int32_t site = 0; site < type.f; ++site) {
            // Species 1 founds guild 1 in every lane.
            for (LaneGroup* group : {&a, &b}) {
                for (int32_t k = 0; k < n; ++k) {
                    group->weight[k] = empty;
                    group->g[k] = Ints{};
                }
                for (int l = 0; l < Lanes; ++l) {
                    group->weight[0][l] = w[1];
                    group->g[0][l] = 1;
                }
            }
            int64_t widest = 1; // the most guilds of any lane
            Longs joinedA = ~Longs{};
            Longs joinedB = joinedA;
            Doubles joinedWeightA = {};
            Doubles joinedWeightB = {};
            for (int32_t species = 2; species <= n; ++species) {
                Doubles uA;
                Doubles uB;
                startSpecies(a, uA);
                startSpecies(b, uB);
                // No weight is below 0, so u only falls: the slots where it
                // is still at 0 or above are the ones before its stop.
                Longs slotA = {};
                Longs slotB = {};
                for (int64_t k = 0; k <= widest; ++k) {
                    const Doubles wA = joinedA == k ? joinedWeightA : a.weight[k];
                    const Doubles wB = joinedB == k ? joinedWeightB : b.weight[k];
                    a.weight[k] = wA;
                    b.weight[k] = wB;
                    uA = uA - wA;
                    uB = uB - wB;
                    slotA -= uA >= zero;
                    slotB -= uB >= zero;
                }
                // A species in slot k leaves at least k + 1 guilds in its lane.
                const int64_t highest = std::max(join(a, slotA, w, joinedWeightA), join(b, slotB, w, joinedWeightB));
                widest = std::max(widest, highest + 1);
                joinedA = slotA;
                joinedB = slotB;
            }
            for (int h = 0; h < 2; ++h) {
                LaneGroup& group = h == 0 ? a : b;
                Doubles* sums = h == 0 ? sumsA : sumsB;
                // The site's score: an empty slot of a lane adds +0, which
                // leaves the sum (never -0) as it is. Its guilds, mc: the
                // slots filled.
                Ints guilds = {};
                for (int64_t k = 0; k < widest; ++k) {
                    sums[0] = __builtin_convertvector(group.g[k] * group.g[k], Doubles) + sums[0];
                    guilds -= group.g[k] != 0;
                }
                Doubles first = {};
                Doubles second = {};
                for (int l = 0; l < Lanes; ++l) {
                    first[l] = type.firstMoment[2 * guilds[l]];
                    second[l] = type.secondMoment[2 * guilds[l]];
                }
                sums[1] = sums[1] + first;
                sums[2] = (sums[2] + second) - first * first;
            }
        }
    }
    for (int l = 0; l < lanesA; ++l)
        CountRejections(sumsA[0][l], sumsA[1][l], sumsA[2][l], c1, c2);
    for (int l = 0; l < lanesB; ++l)
        CountRejections(sumsB[0][l], sumsB[1][l], sumsB[2][l], c1, c2);
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

void walkChunk(std::span<const SimulatedType> types, const Chunk& chunk, int64_t wordsPerDataSet, int32_t& c1,
               int32_t& c2) {
    // Two groups at a time; a last group without a partner walks beside a
    // copy of itself that counts nothing.
    const int64_t groupWords = Lanes * wordsPerDataSet;
    auto lanesOf = [&](int32_t g) {
        return g >= chunk.groups ? 0 : g + 1 == chunk.groups ? chunk.lastLanes : Lanes;
    };
    for (int32_t g = 0; g < chunk.groups; g += 2) {
        const double* const first = chunk.words + g * groupWords;
        const double* const second = g + 1 < chunk.groups ? first + groupWords : first;
        walkGroups(types, first, lanesOf(g), second, lanesOf(g + 1), c1, c2);
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
    int32_t c1 = 0;
    int32_t c2 = 0;
    void run(std::span<const SimulatedType> types, ChunkRing& ring, int64_t wordsPerDataSet) noexcept {
        try {
            FloatingPointScope scope;
            ClearFaults();
            Chunk* chunk = nullptr;
            for (int32_t c; (c = ring.take(chunk)) >= 0;) {
                walkChunk(types, *chunk, wordsPerDataSet, c1, c2);
                ring.walked(c);
            }
            Observed(c1);
            Observed(c2);
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

    void start(std::span<const SimulatedType> types, std::vector<Helper>& helpers, int64_t wordsPerDataSet) {
        for (Helper& helper : helpers) {
            try {
                threads_.emplace_back(&Helper::run, &helper, types, std::ref(ring_), wordsPerDataSet);
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

} // namespace

// Data sets one after another, each draw walked on its own: the way for
// weights too large for the walk side by side, and for data sets too large
// for its buffers.
void WalkOneDrawAfterAnother(std::span<const SimulatedType> types, double (*RndU)(), int32_t Iterations,
                             int32_t& c1, int32_t& c2) {
    int32_t g[LargestSpeciesCount];
    for (int32_t iteration = 1; iteration <= Iterations; ++iteration) {
        double SumS = 0;
        double SumMean = 0;
        double SumVar = 0;
        for (const SimulatedType& type : types) {
            const double* const w = type.w;
            const int32_t n = type.n;
            for (int32_t site = 0; site < type.f; ++site) {
                // Species 1 founds guild 1; each later species joins a
                // guild already present, walked in the order of founding,
                // or founds the next.
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
                    SumS = static_cast<double>(g[k] * g[k]) + SumS;
                const double E1 = type.firstMoment[2 * mc];
                SumMean = SumMean + E1;
                SumVar = (SumVar + type.secondMoment[2 * mc]) - E1 * E1;
            }
        }
        CountRejections(SumS, SumMean, SumVar, c1, c2);
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

void SimulateDataSets(std::span<const SimulatedType> types, double (*RndU)(), int32_t Iterations, int32_t& c1,
                      int32_t& c2, unsigned helpers) {
    const int64_t wordsPerDataSet = WordsPerDataSet(types);
    if (wordsPerDataSet <= 0 || Iterations < 1)
        throw Failure("no data sets to walk side by side");
    const int64_t groupWords = Lanes * wordsPerDataSet;
    // An even number of groups: the walk takes them two at a time.
    const int64_t groupsPerChunk = std::max<int64_t>(2, WordsPerChunk / groupWords / 2 * 2);
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
        threads.start(types, counts, wordsPerDataSet);
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
            // At most Iterations each: the sums can't overflow.
            for (const Helper& helper : counts) {
                c1 += helper.c1;
                c2 += helper.c2;
            }
            return;
        }
    }

    WordBuffers words(chunkWords);
    Chunk chunk;
    chunk.words = words.data();
    for (int32_t c = 0; c < chunks; ++c) {
        drawChunk(chunk, RndU, wordsPerDataSet, dataSetsOf(c));
        walkChunk(types, chunk, wordsPerDataSet, c1, c2);
    }
}

} // namespace quorlan
