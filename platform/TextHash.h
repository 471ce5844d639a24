#pragma once
// A hasher for text keys of the keyed store. It is deliberately not noexcept:
// the standard hash map then keeps each entry's hash beside it instead of
// hashing the stored keys again on every probe and every rehash, which is
// what large stores of short keys spend most of their time on otherwise.

#include <QString>
#include <cstddef>
#include <cstdint>

namespace platform {

struct TextHash {
    // 64-bit FNV-1a over the UTF-16 code units.
    std::size_t operator()(const QString& text) const {
        std::uint64_t h = 14695981039346656037ull;
        for (const QChar c : text) {
            h ^= c.unicode();
            h *= 1099511628211ull;
        }
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
};

} // namespace platform
