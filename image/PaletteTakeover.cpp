#include "PaletteTakeover.h"

#include <algorithm>

#include "PortraitImage.h"
#include "RasterSurface.h"

PaletteTakeover MeasurePaletteTakeover(const CPortraitImage& image, int32_t frame, const uint8_t* filePalette)
{
    PaletteTakeover takeover;
    const uint8_t* own = image.Palette();
    if (!filePalette || image.Header().BitDepth() != GfxHeader::kPaletteDepth)
        return takeover;
    // Blue, green and red only: the fourth byte of an entry shows nothing.
    bool differs[256];
    for (int k = 0; k < 256; ++k)
        differs[k] = !std::equal(own + k * 4, own + k * 4 + 3, filePalette + k * 4);
    const int32_t frames = static_cast<int32_t>(image.FrameTable().size());
    for (int32_t f = 0; f < frames; ++f) {
        const CRasterSurface* surface = image.GetFrameSurface(f);
        if (f == frame || !surface || !surface->m_pBits || surface->m_depth != 8)
            continue;
        int32_t width = 0, height = 0;
        image.GetFrameSize(f, width, height);
        // A frame's rows may be wider than the frame: only its own pixels count.
        const size_t w = static_cast<size_t>(std::clamp(width, 0, surface->m_width));
        const size_t h = static_cast<size_t>(std::clamp(height, 0, surface->m_height));
        int64_t changed = 0;
        for (size_t y = 0; y < h; ++y) {
            const uint8_t* row = surface->m_pBits + y * static_cast<size_t>(surface->m_width);
            for (size_t x = 0; x < w; ++x)
                changed += differs[row[x]] ? 1 : 0;
        }
        takeover.otherPixels += changed;
        takeover.otherFrames += changed > 0 ? 1 : 0;
    }
    return takeover;
}
