#pragma once
// One fuzz input through both export calls: the bytes are decoded into a
// seed, a strength, a small iteration count and an array of type strings.

#include <cstddef>
#include <cstdint>

namespace quorlan {

void QuorlanFuzzOne(const uint8_t* data, std::size_t size);

}
