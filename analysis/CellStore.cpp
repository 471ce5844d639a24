#include "analysis/CellStore.h"

#include <algorithm>
#include <limits>
#include <new>
#include <utility>

namespace {

// The index is kept at most half full, so that a key that is not present
// (every new cell) is found missing after a short run of table.
constexpr std::size_t SmallestIndex = 16;

bool tooFull(std::size_t keys, std::size_t table) { return keys * 2 > table; }

} // namespace

CellStore::CellStore(const CellStore& other) {
    std::size_t slotCount = SmallestIndex;
    while (tooFull(other.count_, slotCount))
        slotCount *= 2;
    std::vector<Slot> table(slotCount);
    CellStore copy;
    copy.blocks_.reserve((other.count_ + BlockSize - 1) / BlockSize);
    other.forEach([&](Key key, const QString& text) { copy.append(key, text); });
    copy.count_ = other.count_;
    copy.rebuildIndex(table);
    copy.slots_.swap(table);
    swap(copy);
}

CellStore& CellStore::operator=(const CellStore& other) {
    if (this != &other) {
        CellStore copy(other);
        swap(copy);
    }
    return *this;
}

CellStore::CellStore(CellStore&& other) noexcept { swap(other); }

CellStore& CellStore::operator=(CellStore&& other) noexcept {
    if (this != &other) {
        RemoveAll();
        swap(other);
    }
    return *this;
}

void CellStore::swap(CellStore& other) noexcept {
    blocks_.swap(other.blocks_);
    std::swap(size_, other.size_);
    slots_.swap(other.slots_);
    std::swap(count_, other.count_);
}

// Both halves of the key mixed into every bit: the cells of a row lie on
// consecutive keys, and an open-addressing table must not see them as a run.
std::size_t CellStore::hashOf(Key key) noexcept {
    key ^= key >> 33;
    key *= 0xff51afd7ed558ccdull;
    key ^= key >> 33;
    key *= 0xc4ceb9fe1a85ec53ull;
    key ^= key >> 33;
    return static_cast<std::size_t>(key);
}

std::size_t CellStore::probe(Key key) const noexcept {
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = hashOf(key) & mask;
    while (slots_[slot] != 0 && entryAt(slots_[slot] - 1).key != key)
        slot = (slot + 1) & mask;
    return slot;
}

const QString* CellStore::Find(Key key) const {
    if (count_ == 0)
        return nullptr;
    const Slot found = slots_[probe(key)];
    return found == 0 ? nullptr : &entryAt(found - 1).text;
}

void CellStore::rebuildIndex(std::vector<Slot>& table) const noexcept {
    const std::size_t mask = table.size() - 1;
    std::fill(table.begin(), table.end(), Slot(0));
    for (std::size_t position = 0; position < size_; ++position) {
        if (!liveAt(position))
            continue;
        std::size_t slot = hashOf(entryAt(position).key) & mask;
        while (table[slot] != 0)
            slot = (slot + 1) & mask;
        table[slot] = Slot(position + 1);
    }
}

void CellStore::reserveOneMore() {
    if (!slots_.empty() && !tooFull(count_ + 1, slots_.size()))
        return;
    std::vector<Slot> table(slots_.empty() ? SmallestIndex : slots_.size() * 2);
    rebuildIndex(table);
    slots_.swap(table);
}

void CellStore::append(Key key, const QString& text) {
    if (size_ >= std::numeric_limits<Slot>::max() - 1)
        throw std::bad_alloc();
    if (size_ == blocks_.size() * BlockSize) {
        auto block = std::make_unique<Block>();
        blocks_.push_back(std::move(block));
    }
    Entry& entry = entryAt(size_);
    entry.key = key;
    entry.text = text;
    setLive(size_, true);
    ++size_;
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
    rebuildIndex(slots_);
}

bool CellStore::MoveToEnd(Key key, const QString& text) {
    // Many holes: close them first, so that rewriting every cell in turn
    // keeps the store at no more than twice its entries.
    if (size_ - count_ > count_ && size_ > BlockSize)
        closeHoles();
    reserveOneMore();
    const std::size_t slot = probe(key);
    append(key, text);
    const Slot old = slots_[slot];
    slots_[slot] = Slot(size_);
    if (old != 0) {
        setLive(old - 1, false);
        entryAt(old - 1).text = QString();
        return false;
    }
    ++count_;
    return true;
}

// Linear probing without markers: the keys after the emptied slot that no
// longer find their way past it are moved back into it.
void CellStore::eraseSlot(std::size_t slot) noexcept {
    const std::size_t mask = slots_.size() - 1;
    std::size_t hole = slot;
    std::size_t next = (slot + 1) & mask;
    while (slots_[next] != 0) {
        const std::size_t home = hashOf(entryAt(slots_[next] - 1).key) & mask;
        // The key at next stays when its home lies in the circular range
        // (hole, next]; otherwise it moves back into the hole.
        const bool stays = hole <= next ? (home > hole && home <= next) : (home > hole || home <= next);
        if (!stays) {
            slots_[hole] = slots_[next];
            hole = next;
        }
        next = (next + 1) & mask;
    }
    slots_[hole] = 0;
}

bool CellStore::RemoveIfPresent(Key key) {
    if (count_ == 0)
        return false;
    const std::size_t slot = probe(key);
    const Slot found = slots_[slot];
    if (found == 0)
        return false;
    setLive(found - 1, false);
    entryAt(found - 1).text = QString();
    eraseSlot(slot);
    if (--count_ == 0)
        RemoveAll();
    return true;
}

void CellStore::RemoveAll() noexcept {
    std::vector<std::unique_ptr<Block>>().swap(blocks_);
    std::vector<Slot>().swap(slots_);
    size_ = 0;
    count_ = 0;
}
