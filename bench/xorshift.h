#pragma once

#include <cstdint>

// A small generator with a fixed seed, so every run of a benchmark sees the same input.
struct XorShift {
    std::uint64_t state;
    std::uint64_t Next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
    unsigned Below(unsigned n) { return static_cast<unsigned>(Next() % n); }
};
