#pragma once
// The chunks of a call, handed from the drawing thread to the helpers.

#include "nullmodel/WordChunks.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace quorlan {

// The chunks of a call handed from the drawing thread to the helpers, in
// order, through a ring of buffers: a buffer is drawn again only when the
// chunk it held has been walked. Each buffer has its own wake-ups, so a
// hand-over wakes only the one thread waiting for it.
class ChunkRing {
public:
    ChunkRing(double* words, std::size_t buffers, std::size_t wordsPerBuffer, int32_t chunks)
        : ring_(buffers), chunks_(chunks) {
        for (Buffer& buffer : ring_) {
            buffer.chunk.words = words;
            words += wordsPerBuffer;
        }
    }

    // The drawing thread: the buffer for chunk c once it is free, or null when
    // the call has failed.
    Chunk* bufferFor(int32_t c) {
        Buffer& buffer = bufferOf(c);
        std::unique_lock lock(mutex_);
        buffer.emptied.wait(lock, [&] { return failed_ || buffer.holds < 0; });
        return failed_ ? nullptr : &buffer.chunk;
    }
    void drawn(int32_t c) {
        Buffer& buffer = bufferOf(c);
        {
            std::lock_guard lock(mutex_);
            buffer.holds = c;
        }
        // Two helpers may wait on one buffer: the one for chunk c and the
        // one for the chunk after it in that buffer.
        buffer.filled.notify_all();
    }

    // A helper: the next chunk to walk once it is drawn; -1 when there is none
    // left or the call has failed.
    int32_t take(Chunk*& chunk) {
        std::unique_lock lock(mutex_);
        if (nextToTake_ >= chunks_)
            return -1;
        const int32_t c = nextToTake_++;
        Buffer& buffer = bufferOf(c);
        buffer.filled.wait(lock, [&] { return failed_ || buffer.holds == c; });
        if (failed_)
            return -1;
        chunk = &buffer.chunk;
        return c;
    }
    void walked(int32_t c) {
        Buffer& buffer = bufferOf(c);
        {
            std::lock_guard lock(mutex_);
            buffer.holds = -1;
        }
        buffer.emptied.notify_one();
    }

    void fail() {
        {
            std::lock_guard lock(mutex_);
            failed_ = true;
        }
        for (Buffer& buffer : ring_) {
            buffer.filled.notify_all();
            buffer.emptied.notify_all();
        }
    }
    bool failed() {
        std::lock_guard lock(mutex_);
        return failed_;
    }

private:
    struct Buffer {
        Chunk chunk;
        int32_t holds = -1; // the chunk drawn into the buffer and not yet walked
        std::condition_variable filled;
        std::condition_variable emptied;
    };
    Buffer& bufferOf(int32_t c) { return ring_[static_cast<std::size_t>(c) % ring_.size()]; }

    std::mutex mutex_;
    std::vector<Buffer> ring_;
    const int32_t chunks_;
    int32_t nextToTake_ = 0;
    bool failed_ = false;
};

} // namespace quorlan
