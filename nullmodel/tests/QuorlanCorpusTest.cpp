// Every input of the fuzz corpus through the fuzz entry: each either gives
// results or fails its calls, never crashes (the entry aborts on a result that
// a call can't have).

#include "nullmodel/fuzz/QuorlanFuzzEntry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

TEST(QuorlanCorpus, EveryInputReplays) {
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QUORLAN_CORPUS_DIR)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        SCOPED_TRACE(entry.path().string());
        quorlan::QuorlanFuzzOne(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        ++replayed;
    }
    EXPECT_GE(replayed, 10);
}

} // namespace
