// A device-independent bitmap: pixel memory with top-down rows, each row
// padded to a multiple of 4 bytes, at 8, 16 or 32 bits per pixel. An 8-bit
// bitmap carries a colour table of 256 entries (blue, green, red, 0); 16- and
// 32-bit bitmaps carry red, green and blue masks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class CCanvas;

// Largest width or height of any bitmap or buffer; larger requests are refused.
constexpr int32_t kMaxSurfaceDimension = 16384;

class CDibSection {
public:
    // Null when the bitmap cannot be made: a width or height below 1 or above
    // kMaxSurfaceDimension, a depth other than 8, 16 or 32, or no memory.
    // The pixels start at zero. colourTable is used for depth 8 only and may
    // be null (all black); masks are used for depths 16 and 32.
    static std::unique_ptr<CDibSection> Create(int32_t width, int32_t height, int32_t depth,
                                               const uint8_t* colourTable, uint32_t redMask,
                                               uint32_t greenMask, uint32_t blueMask);

    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    int32_t Depth() const { return m_depth; }
    size_t Stride() const { return m_stride; }
    uint8_t* Bits() { return m_bits.get(); }
    const uint8_t* ColourTable() const { return m_colourTable; }
    uint32_t RedMask() const { return m_masks[0]; }
    uint32_t GreenMask() const { return m_masks[1]; }
    uint32_t BlueMask() const { return m_masks[2]; }

    // Copies width x height pixels from (0, 0) to (x, y) of the canvas,
    // converted to 32 bits, clipped to the bitmap and the canvas.
    void DrawTo(CCanvas& canvas, int32_t x, int32_t y, int32_t width, int32_t height) const;

private:
    CDibSection() = default;

    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_depth = 0;
    size_t m_stride = 0;
    std::unique_ptr<uint8_t[]> m_bits;
    uint8_t m_colourTable[256 * 4] = {};
    uint32_t m_masks[3] = {};
};
