// sRGB bytes in linear light, the one table the picture library's filters
// and palettes share: entry k is byte k decoded exactly by the sRGB curve.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>

inline const float* LinearOfSrgbByte()
{
    static const std::array<float, 256> table = [] {
        std::array<float, 256> t{};
        for (size_t k = 0; k < t.size(); ++k) {
            const double v = static_cast<double>(k) / 255.0;
            t[k] = static_cast<float>(v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
        }
        return t;
    }();
    return table.data();
}
