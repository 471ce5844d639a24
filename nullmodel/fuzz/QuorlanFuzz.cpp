// libFuzzer target over both export calls.
#include "nullmodel/fuzz/QuorlanFuzzEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    quorlan::QuorlanFuzzOne(data, size);
    return 0;
}
