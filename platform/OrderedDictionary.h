#pragma once
// The keyed store of the program: keys compared exactly, entries enumerated in
// insertion order, and an entry that is removed and added again goes to the
// end. Lookup, add and remove take constant time (a hash map over a list).

#include <cstddef>
#include <iterator>
#include <list>
#include <stdexcept>
#include <unordered_map>
#include <utility>

namespace platform {

template <typename Key, typename Value, typename Hash = std::hash<Key>>
class OrderedDictionary {
public:
    using Entry = std::pair<const Key, Value>;
    using const_iterator = typename std::list<Entry>::const_iterator;

    OrderedDictionary() = default;
    // The index holds iterators into the list, so a copy rebuilds it. An
    // assignment that fails part way leaves this store as it was.
    OrderedDictionary(const OrderedDictionary& other) { copyFrom(other); }
    OrderedDictionary& operator=(const OrderedDictionary& other) {
        if (this != &other) {
            OrderedDictionary copy(other);
            swap(copy);
        }
        return *this;
    }
    // Moving keeps the list's nodes, so the index stays valid; the source is
    // left empty and usable.
    OrderedDictionary(OrderedDictionary&& other) noexcept { swap(other); }
    OrderedDictionary& operator=(OrderedDictionary&& other) noexcept {
        if (this != &other) {
            RemoveAll();
            swap(other);
        }
        return *this;
    }

    void swap(OrderedDictionary& other) noexcept {
        entries_.swap(other.entries_);
        index_.swap(other.index_);
    }

    std::size_t Count() const { return entries_.size(); }
    bool Exists(const Key& key) const { return index_.find(key) != index_.end(); }

    // Adds the entry at the end; a key already present is an error, as in the
    // store this stands in for.
    // An Add that fails (also for want of memory) changes nothing.
    void Add(const Key& key, Value value) {
        if (!place(key, std::move(value), false))
            throw std::invalid_argument("key already present");
    }

    // The same as removing the entry (when present) and adding it again with
    // the value: it goes to the end. Returns true when the key was new. Done
    // with one lookup and, for a present key, without freeing and allocating.
    bool MoveToEnd(const Key& key, Value value) { return place(key, std::move(value), true); }

    // Removes the entry when present; returns whether it was.
    bool RemoveIfPresent(const Key& key) {
        auto it = index_.find(key);
        if (it == index_.end())
            return false;
        entries_.erase(it->second);
        index_.erase(it);
        return true;
    }

    // Room for count entries without rehashing the index; changes no entry.
    void Reserve(std::size_t count) { index_.reserve(count); }

    // The value under key; throws when the key is missing.
    const Value& Item(const Key& key) const {
        auto it = index_.find(key);
        if (it == index_.end())
            throw std::out_of_range("key not present");
        return it->second->second;
    }

    // Replaces the value in place: the entry keeps its position.
    void SetItem(const Key& key, Value value) {
        auto it = index_.find(key);
        if (it == index_.end())
            Add(key, std::move(value));
        else
            it->second->second = std::move(value);
    }

    // The value, or nullptr when the key is missing.
    const Value* Find(const Key& key) const {
        auto it = index_.find(key);
        return it == index_.end() ? nullptr : &it->second->second;
    }

    // Removes the entry; a missing key is an error.
    void Remove(const Key& key) {
        if (!RemoveIfPresent(key))
            throw std::out_of_range("key not present");
    }

    void RemoveAll() {
        index_.clear();
        entries_.clear();
    }

    const_iterator begin() const { return entries_.begin(); }
    const_iterator end() const { return entries_.end(); }

private:
    // Adds the key at the end, or (when replacing) moves a present key there
    // with the new value; a present key is otherwise left alone.
    bool place(const Key& key, Value value, bool replace) {
        const auto [slot, added] = index_.try_emplace(key);
        if (!added) {
            if (replace) {
                slot->second->second = std::move(value);
                entries_.splice(entries_.end(), entries_, slot->second);
            }
            return false;
        }
        try {
            entries_.emplace_back(key, std::move(value));
        } catch (...) {
            index_.erase(slot);
            throw;
        }
        slot->second = std::prev(entries_.end());
        return true;
    }

    void copyFrom(const OrderedDictionary& other) {
        Reserve(other.Count());
        for (const auto& [key, value] : other.entries_)
            Add(key, value);
    }

    std::list<Entry> entries_;
    std::unordered_map<Key, typename std::list<Entry>::iterator, Hash> index_;
};

} // namespace platform
