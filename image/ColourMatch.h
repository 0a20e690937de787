// Matching colours to the image's palette when a file is remapped: the nearest
// entry by the chosen metric, the lowest index among equals, for single
// colours, for a file's palette and for whole pictures with or without
// Floyd-Steinberg error diffusion.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ImportOptions.h"

class CColourMatch {
public:
    // palette: 256 entries of blue, green, red, 0, as the image holds it.
    // Perceptual coordinates are worked out in double and rounded to
    // multiples of 1/16384 of OKLab's unit, so distances are exact integers
    // and ties are ties on every build.
    CColourMatch(const uint8_t* palette, ColourMetric metric);

    // The index of the palette entry nearest the colour.
    uint8_t Nearest(uint8_t red, uint8_t green, uint8_t blue) const;

    // map[k] = the entry nearest colour k of filePalette (256 entries of
    // blue, green, red, unused): what a colour-mapped file's indices become.
    void MapPalette(const uint8_t* filePalette, uint8_t* map) const;

    // One index a pixel for a picture of red, green, blue bytes, rows top
    // first, rgbStride bytes apart; indices rows are indexStride (>= width)
    // bytes apart, and bytes past width in each are left as they are. With
    // dither, errors are diffused Floyd-Steinberg style (7/16 ahead, 3/16,
    // 5/16, 1/16 on the row below), rows left to right and right to left in
    // turn, and what would fall outside the picture is dropped. False, with
    // nothing written, for a size of 0 or less, one over the import pixel
    // bound, a stride too small, or when no memory is left.
    bool MapColours(const uint8_t* rgb, size_t rgbStride, int32_t width, int32_t height, uint8_t* indices,
                    size_t indexStride, bool dither) const;

private:
    struct Point {
        int32_t x, y, z;
    };
    Point Coordinates(uint8_t red, uint8_t green, uint8_t blue) const;
    int32_t Key(Point p) const;
    uint8_t NearestTo(Point p) const;

    ColourMetric m_metric;
    // The entries in order of Key: their indices, coordinates (red, green,
    // blue for classic, L, a, b in fixed point for perceptual) and keys; and
    // by index each entry's colour, for the error it leaves.
    uint8_t m_index[256];
    int32_t m_x[256], m_y[256], m_z[256], m_key[256];
    uint8_t m_red[256], m_green[256], m_blue[256];
};
