// A 32-bit drawing surface in the layout of a window's client area: rows top
// to bottom, four bytes per pixel in the order blue, green, red, fourth byte.
// The dialog paints on it and the window shows it; pixels that a paint does
// not touch keep their colour.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A colour as 0x00RRGGBB.
constexpr uint32_t MakeRgb(uint8_t red, uint8_t green, uint8_t blue)
{
    return (static_cast<uint32_t>(red) << 16) | (static_cast<uint32_t>(green) << 8) | blue;
}

class CCanvas {
public:
    CCanvas() = default;
    CCanvas(int32_t width, int32_t height, uint32_t rgb = 0);

    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    uint8_t* Bits() { return m_bits.data(); }
    const uint8_t* Bits() const { return m_bits.data(); }
    int32_t Stride() const { return m_width * 4; }

    // Fills left <= x < right, top <= y < bottom, clipped to the canvas.
    void FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t rgb);
    // The colour at (x, y) as 0x00RRGGBB; 0 outside the canvas.
    uint32_t GetPixel(int32_t x, int32_t y) const;
    // Copies width x height pixels of 32-bit rows (blue, green, red, fourth
    // byte) with the given stride to (x, y), clipped to the canvas.
    void Blit32(int32_t x, int32_t y, int32_t width, int32_t height, const uint8_t* rows, size_t stride);

private:
    int32_t m_width = 0;
    int32_t m_height = 0;
    std::vector<uint8_t> m_bits;
};
