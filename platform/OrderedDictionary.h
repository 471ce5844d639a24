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
    // The index holds iterators into the list, so a copy rebuilds it.
    OrderedDictionary(const OrderedDictionary& other) { copyFrom(other); }
    OrderedDictionary& operator=(const OrderedDictionary& other) {
        if (this != &other) {
            RemoveAll();
            copyFrom(other);
        }
        return *this;
    }
    OrderedDictionary(OrderedDictionary&&) noexcept = default;
    OrderedDictionary& operator=(OrderedDictionary&&) noexcept = default;

    std::size_t Count() const { return entries_.size(); }
    bool Exists(const Key& key) const { return index_.find(key) != index_.end(); }

    // Adds the entry at the end; a key already present is an error, as in the
    // store this stands in for.
    void Add(const Key& key, Value value) {
        if (Exists(key))
            throw std::invalid_argument("key already present");
        entries_.emplace_back(key, std::move(value));
        index_.emplace(key, std::prev(entries_.end()));
    }

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
        auto it = index_.find(key);
        if (it == index_.end())
            throw std::out_of_range("key not present");
        entries_.erase(it->second);
        index_.erase(it);
    }

    void RemoveAll() {
        index_.clear();
        entries_.clear();
    }

    const_iterator begin() const { return entries_.begin(); }
    const_iterator end() const { return entries_.end(); }

private:
    void copyFrom(const OrderedDictionary& other) {
        for (const auto& [key, value] : other.entries_)
            Add(key, value);
    }

    std::list<Entry> entries_;
    std::unordered_map<Key, typename std::list<Entry>::iterator, Hash> index_;
};

} // namespace platform
