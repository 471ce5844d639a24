// A library with one export, for the binding test to load by name.

#include <cstdint>

extern "C" __attribute__((visibility("default"))) int32_t ProbeAnswer(int32_t x) {
    return 2 * x + 1;
}
