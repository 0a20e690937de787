// Measures how far the colours an import was given lie from the file's: each
// pixel's file colour against the palette entry its index names, in OKLab.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ColourLoss.h"

class CColourDistance {
public:
    // palette: 256 entries of blue, green, red, 0, as the image holds it.
    explicit CColourDistance(const uint8_t* palette);

    // A picture of red, green, blue bytes, rows top first, rgbStride bytes
    // apart, against the entries its indices (rows indexStride apart) name.
    // False, with loss left empty, for a size of 0 or less, one over the
    // import pixel bound, a stride too small, or when no memory is left.
    bool Measure(const uint8_t* rgb, size_t rgbStride, int32_t width, int32_t height, const uint8_t* indices,
                 size_t indexStride, ColourLoss& loss) const;

    // An indexed file's pixels (width x height indices into filePalette, 256
    // entries of blue, green, red, unused) against the entries map gives
    // their colours.
    bool MeasureMapped(const uint8_t* filePalette, const uint8_t* map, const uint8_t* fileIndices, int32_t width,
                       int32_t height, ColourLoss& loss) const;

    // The distance between two colours.
    static double Distance(uint8_t r1, uint8_t g1, uint8_t b1, uint8_t r2, uint8_t g2, uint8_t b2);

private:
    uint8_t m_red[256], m_green[256], m_blue[256];
    float m_lightness[256], m_a[256], m_b[256];
};
