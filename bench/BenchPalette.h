// The palette the colour benchmarks match to: 256 entries of blue, green,
// red, 0, a 6 x 7 x 6 colour cube and four greys.
#pragma once

#include <cstdint>
#include <vector>

inline const std::vector<uint8_t>& BenchPalette()
{
    static const std::vector<uint8_t> palette = [] {
        std::vector<uint8_t> bytes;
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 7; ++g)
                for (int b = 0; b < 6; ++b)
                    bytes.insert(bytes.end(), {static_cast<uint8_t>(b * 51), static_cast<uint8_t>(g * 42),
                                               static_cast<uint8_t>(r * 51), 0});
        for (uint8_t grey : {32, 96, 160, 224})
            bytes.insert(bytes.end(), {grey, grey, grey, 0});
        return bytes;
    }();
    return palette;
}
