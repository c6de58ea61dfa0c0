// A small deterministic number generator (SplitMix64). The standard library's
// distributions give different numbers with different libraries; this one
// gives the same numbers everywhere, so a seed always makes the same replay.
#pragma once

#include <cstdint>

namespace zr::sampler {

struct Prng {
    std::uint64_t state = 0;

    std::uint64_t next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A whole number from lo to hi, both included.
    int between(int lo, int hi) {
        return lo + static_cast<int>(next() % static_cast<std::uint64_t>(hi - lo + 1));
    }
};

}  // namespace zr::sampler
