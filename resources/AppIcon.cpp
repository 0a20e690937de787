// Icon 128, painted in code: the window's icon and the desktop's, which
// tools/MakeIconPng.cpp scales to the sizes a desktop asks for.
#include "AppIcon.h"

#include <algorithm>
#include <cstddef>

namespace {

// The icon is drawn here rather than shipped as a picture: a bust in a
// warm frame on a dark blue ground, with soft edges.
Icon MakeIcon()
{
    constexpr int32_t kSize = 32;
    Icon icon;
    icon.size = kSize;
    icon.pixels.assign(kSize * kSize * 4, 0);
    auto put = [&](int x, int y, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
        uint8_t* p = &icon.pixels[static_cast<size_t>(y * kSize + x) * 4];
        p[0] = b;
        p[1] = g;
        p[2] = r;
        p[3] = a;
    };
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const bool frame = x < 3 || y < 3 || x >= kSize - 3 || y >= kSize - 3;
            if (frame) {
                const bool light = (x + y) % 4 < 2;
                put(x, y, light ? 214 : 168, light ? 160 : 118, light ? 64 : 40);
                continue;
            }
            // Ground: a vertical blend from deep blue to slate.
            const uint8_t g = static_cast<uint8_t>(40 + y * 2);
            put(x, y, 30, g, static_cast<uint8_t>(90 + y * 3));
            const double cx = x + 0.5 - 16.0;
            // Head: an ellipse; shoulders: the top of a wider ellipse.
            const double head = (cx * cx) / (5.2 * 5.2) + ((y + 0.5 - 12.0) * (y + 0.5 - 12.0)) / (6.2 * 6.2);
            const double body = (cx * cx) / (11.0 * 11.0) + ((y + 0.5 - 31.0) * (y + 0.5 - 31.0)) / (10.0 * 10.0);
            if (head <= 1.0) {
                const uint8_t shade = static_cast<uint8_t>(236 - std::clamp(static_cast<int>(cx * 6), -20, 40));
                put(x, y, shade, static_cast<uint8_t>(shade * 0.78), static_cast<uint8_t>(shade * 0.62));
            } else if (body <= 1.0) {
                put(x, y, 150, 36, 44);
            }
        }
    }
    return icon;
}

} // namespace

const Icon& LoadAppIcon()
{
    static const Icon icon = MakeIcon();
    return icon;
}
