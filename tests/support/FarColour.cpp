#include "FarColour.h"

#include <algorithm>
#include <vector>

#include "ColourDistance.h"
#include "TestGame.h"

namespace {

Bgra Colour(uint32_t rgb)
{
    return {static_cast<uint8_t>(rgb), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb >> 16), 0};
}

} // namespace

uint32_t FarTestColour(double& distance)
{
    uint32_t far = 0;
    distance = 0.0;
    for (uint32_t candidate : {0xFF0000u, 0x00FF00u, 0x0000FFu, 0xFFFF00u, 0x00FFFFu, 0xFF00FFu, 0x000000u, 0xFFFFFFu}) {
        double nearest = 1.0;
        for (int i = 0; i < 256; ++i) {
            const uint32_t c = TestPaletteRgb(i);
            nearest = std::min(nearest, CColourDistance::Distance(candidate >> 16, (candidate >> 8) & 0xFF,
                                                                  candidate & 0xFF, c >> 16, (c >> 8) & 0xFF, c & 0xFF));
        }
        if (nearest > distance) {
            distance = nearest;
            far = candidate;
        }
    }
    return far;
}

Bytes FarBlockTga(uint32_t far)
{
    std::vector<std::vector<Bgra>> rows(15, std::vector<Bgra>(21, Colour(TestPaletteRgb(5))));
    for (int y = 4; y < 6; ++y)
        for (int x = 7; x < 10; ++x)
            rows[y][x] = Colour(far);
    TgaLayout layout;
    layout.width = 21;
    layout.height = 15;
    return MakeTga(layout, RawRows(rows, 24));
}
