#include "Icon.h"

#include "Canvas.h"

void DrawIcon(CCanvas& canvas, int32_t x, int32_t y, const Icon& icon)
{
    for (int32_t row = 0; row < icon.size; ++row) {
        for (int32_t col = 0; col < icon.size; ++col) {
            const uint8_t* p = &icon.pixels[(static_cast<size_t>(row) * static_cast<size_t>(icon.size) + static_cast<size_t>(col)) * 4];
            if (p[3] == 0)
                continue;
            const uint32_t under = canvas.GetPixel(x + col, y + row);
            auto mix = [&](uint8_t top, uint32_t bottom) {
                return static_cast<uint8_t>((top * p[3] + static_cast<int>(bottom & 0xFF) * (255 - p[3])) / 255);
            };
            const uint32_t rgb = MakeRgb(mix(p[2], under >> 16), mix(p[1], under >> 8), mix(p[0], under));
            canvas.FillRect(x + col, y + row, x + col + 1, y + row + 1, rgb);
        }
    }
}
