#include "analysis/CellStore.h"

#include <algorithm>
#include <limits>
#include <new>
#include <utility>

namespace {

// A row's index is kept at most half full, so that a key that is not present
// (every new cell) is found missing after a short run of slots.
constexpr std::size_t SmallestIndex = 8;

bool tooFull(std::size_t keys, std::size_t tableSize) { return keys * 2 > tableSize; }

} // namespace

CellStore::CellStore(std::pmr::memory_resource* memory) noexcept
    : memory_(memory), blocks_(Allocator<BlockPointer>(memory)), rows_(Allocator<RowMap::value_type>(memory)) {}

CellStore::CellStore(const CellStore& other) : CellStore(other.memory_) {
    blocks_.reserve((other.count_ + BlockSize - 1) / BlockSize);
    other.forEach([this](Key key, const QString& text) { MoveToEnd(key, text); });
}

// The copy is made whole beside this store in this store's memory, then
// takes its place: an assignment that fails leaves this store as it was.
CellStore& CellStore::operator=(const CellStore& other) {
    if (this != &other) {
        CellStore copy(memory_);
        copy.blocks_.reserve((other.count_ + BlockSize - 1) / BlockSize);
        other.forEach([&copy](Key key, const QString& text) { copy.MoveToEnd(key, text); });
        swap(copy);
    }
    return *this;
}

CellStore::CellStore(CellStore&& other) noexcept : CellStore(other.memory_) { swap(other); }

CellStore& CellStore::operator=(CellStore&& other) noexcept {
    if (this != &other) {
        RemoveAll();
        swap(other);
    }
    return *this;
}

void CellStore::swap(CellStore& other) noexcept {
    std::swap(memory_, other.memory_);
    blocks_.swap(other.blocks_);
    std::swap(size_, other.size_);
    rows_.swap(other.rows_);
    std::swap(count_, other.count_);
    lastRow_ = nullptr;
    other.lastRow_ = nullptr;
}

// Both halves of the key mixed into every bit: a row's cells lie on
// consecutive keys, and an open-addressing table must not see them as a run.
std::size_t CellStore::hashOf(Key key) noexcept {
    key ^= key >> 33;
    key *= 0xff51afd7ed558ccdull;
    key ^= key >> 33;
    key *= 0xc4ceb9fe1a85ec53ull;
    key ^= key >> 33;
    return static_cast<std::size_t>(key);
}

const CellStore::RowIndex* CellStore::findRow(int32_t row) const {
    if (lastRow_ && lastRowNumber_ == row)
        return lastRow_;
    const auto found = rows_.find(row);
    if (found == rows_.end())
        return nullptr;
    lastRow_ = &found->second;
    lastRowNumber_ = row;
    return lastRow_;
}

std::size_t CellStore::probe(const RowIndex& index, Key key) const noexcept {
    const std::size_t mask = index.table.size() - 1;
    std::size_t slot = hashOf(key) & mask;
    while (index.table[slot] != 0 && entryAt(index.table[slot] - 1).key != key)
        slot = (slot + 1) & mask;
    return slot;
}

const QString* CellStore::Find(Key key) const {
    const RowIndex* index = count_ == 0 ? nullptr : findRow(rowOf(key));
    if (!index)
        return nullptr;
    const Slot found = index->table[probe(*index, key)];
    return found == 0 ? nullptr : &entryAt(found - 1).text;
}

void CellStore::placeInIndex(Table& table, std::size_t position) const noexcept {
    const std::size_t mask = table.size() - 1;
    std::size_t slot = hashOf(entryAt(position).key) & mask;
    while (table[slot] != 0)
        slot = (slot + 1) & mask;
    table[slot] = Slot(position + 1);
}

// Every row's index anew from the entries; the tables keep their sizes.
void CellStore::rebuildIndexes() noexcept {
    for (auto& [row, index] : rows_)
        std::fill(index.table.begin(), index.table.end(), Slot(0));
    for (std::size_t position = 0; position < size_; ++position) {
        if (liveAt(position))
            placeInIndex(const_cast<RowIndex*>(findRow(rowOf(entryAt(position).key)))->table, position);
    }
}

void CellStore::reserveOneMore(RowIndex& index) {
    if (!index.table.empty() && !tooFull(index.count + 1, index.table.size()))
        return;
    Table table(index.table.empty() ? SmallestIndex : index.table.size() * 2, Allocator<Slot>(memory_));
    for (const Slot slot : index.table) {
        if (slot != 0)
            placeInIndex(table, slot - 1);
    }
    index.table.swap(table);
}

// A new row enters the store only with its table made: a row without one
// would send the next look-up in it outside its table.
CellStore::RowIndex& CellStore::rowForNewKey(int32_t row) {
    if (RowIndex* index = const_cast<RowIndex*>(findRow(row))) {
        reserveOneMore(*index);
        return *index;
    }
    RowIndex fresh(memory_);
    reserveOneMore(fresh);
    RowIndex& index = rows_.emplace(row, std::move(fresh)).first->second;
    lastRow_ = &index;
    lastRowNumber_ = row;
    return index;
}

void CellStore::reserveEntry() {
    if (size_ >= std::numeric_limits<Slot>::max() - 1)
        throw std::bad_alloc();
    if (size_ < blocks_.size() * BlockSize)
        return;
    void* memory = memory_->allocate(sizeof(Block), alignof(Block));
    BlockPointer block(new (memory) Block, BlockDeleter{memory_});
    blocks_.push_back(std::move(block));
}

void CellStore::append(Key key, const QString& text) noexcept {
    Entry& entry = entryAt(size_);
    entry.key = key;
    entry.text = text;
    setLive(size_, true);
    ++size_;
}

// Many holes: close them, so that rewriting every cell in turn keeps the
// store at no more than twice its entries.
void CellStore::closeHolesWhenMany() noexcept {
    if (size_ - count_ > count_ && size_ > BlockSize)
        closeHoles();
}

// Moves the live entries up over the holes, keeping their order, and gives
// the emptied blocks back. Nothing is allocated.
void CellStore::closeHoles() noexcept {
    std::size_t kept = 0;
    for (std::size_t position = 0; position < size_; ++position) {
        if (!liveAt(position))
            continue;
        if (kept != position) {
            std::swap(entryAt(kept), entryAt(position));
            setLive(kept, true);
            setLive(position, false);
        }
        ++kept;
    }
    for (std::size_t position = kept; position < size_; ++position)
        entryAt(position).text = QString();
    size_ = kept;
    while (blocks_.size() * BlockSize >= size_ + BlockSize)
        blocks_.pop_back();
    rebuildIndexes();
}

bool CellStore::MoveToEnd(Key key, const QString& text) {
    // The block may stay unused when the row's index cannot be had; it is
    // room at the end and nothing else.
    reserveEntry();
    RowIndex& index = rowForNewKey(rowOf(key));
    const std::size_t slot = probe(index, key);
    append(key, text);
    const Slot old = index.table[slot];
    index.table[slot] = Slot(size_);
    bool added = true;
    if (old != 0) {
        setLive(old - 1, false);
        entryAt(old - 1).text = QString();
        added = false;
    } else {
        ++index.count;
        ++count_;
    }
    closeHolesWhenMany();
    return added;
}

// Linear probing without markers: the keys after the emptied slot that no
// longer find their way past it are moved back into it.
void CellStore::eraseSlot(RowIndex& index, std::size_t slot) noexcept {
    auto& table = index.table;
    const std::size_t mask = table.size() - 1;
    std::size_t hole = slot;
    std::size_t next = (slot + 1) & mask;
    while (table[next] != 0) {
        const std::size_t home = hashOf(entryAt(table[next] - 1).key) & mask;
        // The key at next stays when its home lies in the circular range
        // (hole, next]; otherwise it moves back into the hole.
        const bool stays = hole <= next ? (home > hole && home <= next) : (home > hole || home <= next);
        if (!stays) {
            table[hole] = table[next];
            hole = next;
        }
        next = (next + 1) & mask;
    }
    table[hole] = 0;
}

bool CellStore::RemoveIfPresent(Key key) {
    const int32_t row = rowOf(key);
    RowIndex* index = count_ == 0 ? nullptr : const_cast<RowIndex*>(findRow(row));
    if (!index)
        return false;
    const std::size_t slot = probe(*index, key);
    const Slot found = index->table[slot];
    if (found == 0)
        return false;
    setLive(found - 1, false);
    entryAt(found - 1).text = QString();
    eraseSlot(*index, slot);
    --count_;
    if (--index->count == 0) {
        lastRow_ = nullptr;
        rows_.erase(row);
    }
    if (count_ == 0)
        RemoveAll();
    else
        closeHolesWhenMany();
    return true;
}

void CellStore::RemoveAll() noexcept {
    decltype(blocks_)(blocks_.get_allocator()).swap(blocks_);
    rows_.clear();
    size_ = 0;
    count_ = 0;
    lastRow_ = nullptr;
}
