#pragma once
// The cell store of a SparseArray: texts under 64-bit cell keys, enumerated
// in insertion order, an entry removed and added again going to the end.
//
// Built for matrices of millions of cells: the entries lie one after another
// in blocks (a key and a text each, nothing allocated per cell beyond the
// text itself, which a shared text such as "1" does not need), and each row
// has an index of its own, an open-addressing table of 32-bit entry
// positions. A row's cells are mostly written one after another, so its
// index and its entries stay in the cache while it is filled. An entry moved
// to the end leaves a hole behind, which is closed up in place once holes
// outnumber the entries.
//
// Every operation that can fail for want of memory fails before it changes
// anything.

#include <QString>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class CellStore {
public:
    using Key = uint64_t;

    CellStore() = default;
    // A copy holds the entries in the same order, without the holes.
    CellStore(const CellStore& other);
    CellStore& operator=(const CellStore& other);
    CellStore(CellStore&& other) noexcept;
    CellStore& operator=(CellStore&& other) noexcept;
    ~CellStore() = default;

    void swap(CellStore& other) noexcept;

    std::size_t Count() const { return count_; }
    // The text under key, or nullptr when the key is missing.
    const QString* Find(Key key) const;
    // Adds the entry at the end, or moves a present key there with the new
    // text. Returns true when the key was new.
    bool MoveToEnd(Key key, const QString& text);
    // Removes the entry when present; returns whether it was.
    bool RemoveIfPresent(Key key);
    void RemoveAll() noexcept;

    // Visits every entry in order as visit(key, text).
    template <typename Visit>
    void forEach(Visit&& visit) const {
        for (std::size_t position = 0; position < size_; ++position) {
            const Block& block = *blocks_[position / BlockSize];
            if (block.live[position % BlockSize])
                visit(block.entries[position % BlockSize].key, block.entries[position % BlockSize].text);
        }
    }

private:
    struct Entry {
        Key key = 0;
        QString text;
    };
    static constexpr std::size_t BlockSize = 256;
    struct Block {
        Entry entries[BlockSize];
        std::bitset<BlockSize> live; // false for a hole
    };
    // A slot holds an entry's position + 1; 0 is an empty slot.
    using Slot = uint32_t;

    Entry& entryAt(std::size_t position) const {
        return blocks_[position / BlockSize]->entries[position % BlockSize];
    }
    bool liveAt(std::size_t position) const { return blocks_[position / BlockSize]->live[position % BlockSize]; }
    void setLive(std::size_t position, bool live) { blocks_[position / BlockSize]->live[position % BlockSize] = live; }

    // The index of one row's cells: a power of two of slots, at most half full.
    struct RowIndex {
        std::vector<Slot> table;
        std::size_t count = 0;
    };

    static int32_t rowOf(Key key) { return int32_t(uint32_t(key >> 32)); }
    static std::size_t hashOf(Key key) noexcept;
    const RowIndex* findRow(int32_t row) const;
    // The slot of index that holds key, or the empty slot where it would go.
    std::size_t probe(const RowIndex& index, Key key) const noexcept;
    // Room in a row's index for one more key (grows it before anything changes).
    void reserveOneMore(RowIndex& index);
    void placeInIndex(std::vector<Slot>& table, std::size_t position) const noexcept;
    void rebuildIndexes() noexcept;
    void closeHoles() noexcept;
    void eraseSlot(RowIndex& index, std::size_t slot) noexcept;

    // Entries in order, holes included; positions from size_ on are unused.
    std::vector<std::unique_ptr<Block>> blocks_;
    std::size_t size_ = 0;
    std::unordered_map<int32_t, RowIndex> rows_;
    // The row last looked up: a row's cells mostly come one after another.
    mutable const RowIndex* lastRow_ = nullptr;
    mutable int32_t lastRowNumber_ = 0;
    std::size_t count_ = 0;   // live entries
    // Appends an entry; throws (changing nothing) when no block can be had.
    void append(Key key, const QString& text);
};
