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
// to the end or removed leaves a hole behind; the holes are closed up in
// place once they outnumber the entries.
//
// Every operation that can fail for want of memory fails before it changes
// anything: all that it needs is had first, and only then is the store
// changed, by steps that cannot fail.

#include <QString>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <memory_resource>
#include <new>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

class CellStore {
public:
    using Key = uint64_t;
    static constexpr std::size_t BlockSize = 256;

    // All of the store's memory comes from 'memory' (the tests hand in one
    // that runs out on demand).
    explicit CellStore(std::pmr::memory_resource* memory = std::pmr::new_delete_resource()) noexcept;
    // A copy holds the entries in the same order, without the holes. It takes
    // its memory where the source does; an assignment keeps its own.
    CellStore(const CellStore& other);
    CellStore& operator=(const CellStore& other);
    CellStore(CellStore&& other) noexcept;
    CellStore& operator=(CellStore&& other) noexcept;
    ~CellStore() = default;

    void swap(CellStore& other) noexcept;

    std::size_t Count() const { return count_; }
    // Positions left behind by entries that were moved or removed.
    std::size_t Holes() const { return size_ - count_; }
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
    // Every container of the store takes its memory from the store's
    // resource; the resource goes along when stores are swapped or moved.
    template <typename T>
    struct Allocator {
        using value_type = T;
        using propagate_on_container_copy_assignment = std::true_type;
        using propagate_on_container_move_assignment = std::true_type;
        using propagate_on_container_swap = std::true_type;
        Allocator(std::pmr::memory_resource* from) noexcept : memory(from) {}
        template <typename U>
        Allocator(const Allocator<U>& other) noexcept : memory(other.memory) {}
        T* allocate(std::size_t n) {
            if (n > std::numeric_limits<std::size_t>::max() / sizeof(T))
                throw std::bad_array_new_length();
            return static_cast<T*>(memory->allocate(n * sizeof(T), alignof(T)));
        }
        void deallocate(T* p, std::size_t n) noexcept { memory->deallocate(p, n * sizeof(T), alignof(T)); }
        template <typename U>
        bool operator==(const Allocator<U>& other) const noexcept { return memory == other.memory; }
        std::pmr::memory_resource* memory;
    };

    struct Entry {
        Key key = 0;
        QString text;
    };
    struct Block {
        Entry entries[BlockSize];
        std::bitset<BlockSize> live; // false for a hole
    };
    struct BlockDeleter {
        std::pmr::memory_resource* memory;
        void operator()(Block* block) const noexcept {
            block->~Block();
            memory->deallocate(block, sizeof(Block), alignof(Block));
        }
    };
    using BlockPointer = std::unique_ptr<Block, BlockDeleter>;
    // A slot holds an entry's position + 1; 0 is an empty slot.
    using Slot = uint32_t;

    Entry& entryAt(std::size_t position) const {
        return blocks_[position / BlockSize]->entries[position % BlockSize];
    }
    bool liveAt(std::size_t position) const { return blocks_[position / BlockSize]->live[position % BlockSize]; }
    void setLive(std::size_t position, bool live) { blocks_[position / BlockSize]->live[position % BlockSize] = live; }

    // The index of one row's cells: a power of two of slots, at most half full.
    using Table = std::vector<Slot, Allocator<Slot>>;
    struct RowIndex {
        explicit RowIndex(std::pmr::memory_resource* memory) : table(Allocator<Slot>(memory)) {}
        Table table;
        std::size_t count = 0;
    };
    using RowMap = std::unordered_map<int32_t, RowIndex, std::hash<int32_t>, std::equal_to<int32_t>,
                                      Allocator<std::pair<const int32_t, RowIndex>>>;

    static int32_t rowOf(Key key) { return int32_t(uint32_t(key >> 32)); }
    static std::size_t hashOf(Key key) noexcept;
    const RowIndex* findRow(int32_t row) const;
    // The slot of index that holds key, or the empty slot where it would go.
    std::size_t probe(const RowIndex& index, Key key) const noexcept;
    // Room in a row's index for one more key (grows it before anything changes).
    void reserveOneMore(RowIndex& index);
    // The index of row, made (with its first table) when the row is new.
    RowIndex& rowForNewKey(int32_t row);
    // Room for one more entry at the end (a new block when the last is full).
    void reserveEntry();
    void placeInIndex(Table& table, std::size_t position) const noexcept;
    void rebuildIndexes() noexcept;
    void closeHolesWhenMany() noexcept;
    void closeHoles() noexcept;
    void eraseSlot(RowIndex& index, std::size_t slot) noexcept;

    std::pmr::memory_resource* memory_;
    // Entries in order, holes included; positions from size_ on are unused.
    std::vector<BlockPointer, Allocator<BlockPointer>> blocks_;
    std::size_t size_ = 0;
    RowMap rows_;
    // The row last looked up: a row's cells mostly come one after another.
    mutable const RowIndex* lastRow_ = nullptr;
    mutable int32_t lastRowNumber_ = 0;
    std::size_t count_ = 0;   // live entries
    // Appends an entry where reserveEntry made room; cannot fail.
    void append(Key key, const QString& text) noexcept;
};
