#include "OrderedDither.h"

#include <algorithm>

#include "CheckedSize.h"

namespace {

// The 4 x 4 Bayer matrix: each of 0 to 15 once, neighbours far apart, so
// that any step is spread as evenly as 16 places allow.
constexpr uint8_t kBayer[4][4] = {
    {0, 8, 2, 10},
    {12, 4, 14, 6},
    {3, 11, 1, 9},
    {15, 7, 13, 5},
};

// What a channel keeps is a multiple of its step; a threshold of t/16 of a
// step raises a value past the next multiple at as many of the 16 places as
// the value's remainder asks, so a block averages to the value. Steps of 8
// (red, blue) and 4 (green): t / 2 and t / 4, each of 0..7 or 0..3 as often.
constexpr int32_t kRedShift = 1;
constexpr int32_t kGreenShift = 2;
constexpr int32_t kBlueShift = 1;

uint8_t Raised(uint8_t value, int32_t threshold)
{
    return static_cast<uint8_t>(std::min(255, value + threshold));
}

} // namespace

bool AddOrderedDither(std::vector<uint8_t>& rgb, int32_t width, int32_t height)
{
    uint64_t pixels = 0, bytes = 0;
    if (width <= 0 || height <= 0 ||
        !CheckedMul(static_cast<uint64_t>(width), static_cast<uint64_t>(height), pixels) ||
        !CheckedMul(pixels, 3, bytes) || rgb.size() != bytes)
        return false;
    uint8_t* p = rgb.data();
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = kBayer[y & 3];
        for (int32_t x = 0; x < width; ++x, p += 3) {
            const int32_t t = row[x & 3];
            p[0] = Raised(p[0], t >> kRedShift);
            p[1] = Raised(p[1], t >> kGreenShift);
            p[2] = Raised(p[2], t >> kBlueShift);
        }
    }
    return true;
}
