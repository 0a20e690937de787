// The demo's only source of chance: a tiny generator whose whole state is the
// seed. Nothing here reads the clock, so two runs give the same bytes.
#pragma once

#include <cstdint>

namespace demo {

// SplitMix64.
class CDemoRandom {
public:
    explicit CDemoRandom(uint64_t seed) : m_state(seed) {}
    uint64_t Next()
    {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. count - 1.
    int32_t Below(int32_t count) { return static_cast<int32_t>(Next() % static_cast<uint64_t>(count)); }
    bool Chance(int32_t percent) { return Below(100) < percent; }

private:
    uint64_t m_state;
};

} // namespace demo
