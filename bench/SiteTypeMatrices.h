#pragma once
// The site type strings of the benchmarks' two matrices: the default size (20
// species, 20 sites, four guilds) and a large one (200 sites of 30 to 41
// species each).

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// The site type string of one site from the species counts of the guilds
// present there: "(" c1 "," ... "," cn ")", ci = guilds with i species.
inline std::string typeString(const std::vector<int>& guildCounts) {
    int n = 0;
    for (int count : guildCounts)
        n += count;
    std::vector<int> c(static_cast<std::size_t>(n) + 1, 0);
    for (int count : guildCounts)
        if (count > 0)
            ++c[static_cast<std::size_t>(count)];
    std::string s = "(";
    for (int i = 1; i <= n; ++i) {
        if (i > 1)
            s += ',';
        s += std::to_string(c[static_cast<std::size_t>(i)]);
    }
    return s + ")";
}

// 20 species (rows, five per guild A to D) by 20 sites (columns).
inline std::vector<std::string> defaultMatrixTypes() {
    const char* rows[20] = {
        "11011101110111011011", "10110011101100111010", "01101110011011100111", "11100101101010111001",
        "00111011100111010110", // guild A
        "11011010111011101101", "01110111010110011011", "10101101111001110110", "11111000110111001110",
        "01011111001110111001", // guild B
        "10111011011101011011", "11010110110111100101", "01101101101110111110", "10110111011001101011",
        "11101010111110010111", // guild C
        "01111101011011011101", "11010011111101110010", "10111110010111011011", "01101011101010111110",
        "11110101110111001101", // guild D
    };
    std::vector<std::string> types;
    for (int site = 0; site < 20; ++site) {
        std::vector<int> guilds(4, 0);
        for (int species = 0; species < 20; ++species)
            if (rows[species][site] == '1')
                ++guilds[static_cast<std::size_t>(species / 5)];
        types.push_back(typeString(guilds));
    }
    return types;
}

// 200 sites of 30 to 41 species, each species drawn into one of ten guilds by
// a fixed linear congruential sequence.
inline std::vector<std::string> largeMatrixTypes() {
    uint32_t state = 12345;
    auto next = [&] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    std::vector<std::string> types;
    for (int site = 0; site < 200; ++site) {
        const int n = 30 + static_cast<int>(next() % 12);
        std::vector<int> guilds(10, 0);
        for (int species = 0; species < n; ++species)
            ++guilds[next() % 10];
        types.push_back(typeString(guilds));
    }
    return types;
}

} // namespace bench
