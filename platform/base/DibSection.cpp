#include "DibSection.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "Canvas.h"
#include "LittleEndian.h"

namespace {

// The 8-bit value of the channel that `mask` selects in `v`: the masked bits
// shifted so that their top bit becomes bit 7.
uint8_t Channel(uint32_t v, uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int low = __builtin_ctz(mask);
    const int bits = 32 - __builtin_clz(mask) - low;
    const uint32_t value = (v & mask) >> low;
    return static_cast<uint8_t>(bits >= 8 ? value >> (bits - 8) : value << (8 - bits));
}

} // namespace

std::unique_ptr<CDibSection> CDibSection::Create(int32_t width, int32_t height, int32_t depth,
                                                 const uint8_t* colourTable, uint32_t redMask,
                                                 uint32_t greenMask, uint32_t blueMask)
{
    if (width < 1 || height < 1 || width > kMaxSurfaceDimension || height > kMaxSurfaceDimension)
        return nullptr;
    if (depth != 8 && depth != 16 && depth != 32)
        return nullptr;
    std::unique_ptr<CDibSection> dib(new (std::nothrow) CDibSection);
    if (!dib)
        return nullptr;
    dib->m_width = width;
    dib->m_height = height;
    dib->m_depth = depth;
    dib->m_stride = (static_cast<size_t>(width) * static_cast<size_t>(depth) / 8 + 3) & ~size_t{3};
    const size_t bytes = dib->m_stride * static_cast<size_t>(height);
    dib->m_bits.reset(new (std::nothrow) uint8_t[bytes]);
    if (!dib->m_bits)
        return nullptr;
    std::memset(dib->m_bits.get(), 0, bytes);
    if (depth == 8 && colourTable)
        std::memcpy(dib->m_colourTable, colourTable, sizeof dib->m_colourTable);
    dib->m_masks[0] = redMask;
    dib->m_masks[1] = greenMask;
    dib->m_masks[2] = blueMask;
    return dib;
}

void CDibSection::DrawTo(CCanvas& canvas, int32_t x, int32_t y, int32_t width, int32_t height) const
{
    width = std::min(width, m_width);
    height = std::min(height, m_height);
    if (width <= 0 || height <= 0)
        return;
    const bool plain32 = m_depth == 32 && m_masks[0] == 0x00FF0000 && m_masks[1] == 0x0000FF00 &&
                         m_masks[2] == 0x000000FF;
    if (plain32) {
        canvas.Blit32(x, y, width, height, m_bits.get(), m_stride);
        return;
    }
    // Other layouts are converted a row at a time.
    std::vector<uint8_t> row(static_cast<size_t>(width) * 4);
    for (int32_t r = 0; r < height; ++r) {
        const uint8_t* src = m_bits.get() + static_cast<size_t>(r) * m_stride;
        for (int32_t c = 0; c < width; ++c) {
            uint8_t* out = &row[static_cast<size_t>(c) * 4];
            if (m_depth == 8) {
                std::memcpy(out, &m_colourTable[src[c] * 4], 3);
                out[3] = 0;
                continue;
            }
            const uint32_t v = m_depth == 16 ? LoadU16LE(src + c * 2) : LoadU32LE(src + c * 4);
            out[0] = Channel(v, m_masks[2]);
            out[1] = Channel(v, m_masks[1]);
            out[2] = Channel(v, m_masks[0]);
            out[3] = 0;
        }
        canvas.Blit32(x, y + r, width, 1, row.data(), row.size());
    }
}
