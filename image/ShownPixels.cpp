#include "ShownPixels.h"

#include <algorithm>
#include <cstring>

#include "PortraitImage.h"
#include "RasterSurface.h"

std::vector<uint32_t> ShownPixels(const CPortraitImage& image, int32_t frame)
{
    std::vector<uint32_t> pixels;
    const CRasterSurface* surface = image.GetDisplaySurface(frame);
    if (!surface || !surface->m_pBits || surface->m_depth % 8 != 0 || surface->m_depth == 0)
        return pixels;
    int32_t width = 0, height = 0;
    image.GetFrameSize(frame, width, height);
    const size_t bytes = static_cast<size_t>(surface->m_depth / 8);
    const size_t w = static_cast<size_t>(std::clamp(width, 0, surface->m_width));
    const size_t h = static_cast<size_t>(std::clamp(height, 0, surface->m_height));
    const size_t stride = surface->m_hBitmap ? surface->m_hBitmap->Stride() : static_cast<size_t>(surface->m_width) * bytes;
    pixels.reserve(w * h);
    for (size_t y = 0; y < h; ++y)
        for (size_t x = 0; x < w; ++x) {
            uint32_t value = 0;
            std::memcpy(&value, surface->m_pBits + y * stride + x * bytes, std::min(bytes, sizeof value));
            pixels.push_back(value);
        }
    return pixels;
}

int64_t CountChanged(const std::vector<uint32_t>& before, const std::vector<uint32_t>& after)
{
    if (before.size() != after.size())
        return static_cast<int64_t>(std::max(before.size(), after.size()));
    int64_t changed = 0;
    for (size_t i = 0; i < before.size(); ++i)
        changed += before[i] != after[i];
    return changed;
}
