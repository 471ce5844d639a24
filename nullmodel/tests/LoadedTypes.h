#pragma once
// The whole loading of one export call, as PValue does it, for the tests that
// look at the state it leaves.

#include "nullmodel/QuorlanCore.h"

#include <string>
#include <string_view>
#include <vector>

namespace quorlan {

inline ModuleState loadTypes(const std::vector<std::string>& strings, Distribution& distribution, int32_t Seed) {
    std::vector<std::string_view> views(strings.begin(), strings.end());
    ModuleState state;
    LoadPc1(state, views);
    LoadConstants(state);
    LoadData(state, distribution, views, Seed);
    return state;
}

} // namespace quorlan
