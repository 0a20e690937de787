// PNG files made by libpng at any setting, for the reader's tests: colour
// type, bit depth, interlacing and palette length as asked, independent of
// the library's writer.
#pragma once

#include <cstdint>
#include <vector>

using Bytes = std::vector<uint8_t>;

struct PngSettings {
    int colourType = 0; // 0 grey, 2 RGB, 3 indexed, 4 grey and alpha, 6 RGBA
    int bitDepth = 8;
    bool interlaced = false;
    Bytes palette;    // red, green, blue an entry, for colour type 3
    bool transparent = false; // a tRNS chunk: one entry or the first sample value
};

// Samples a pixel for the colour type (1 index, 1 grey, 2 grey and alpha,
// 3 RGB, 4 RGBA).
int SamplesPerPixel(int colourType);

// A file of width x height pixels whose samples (SamplesPerPixel a pixel,
// each below 2^bitDepth, rows top first) are packed as the bit depth needs.
Bytes BuildPng(uint32_t width, uint32_t height, const PngSettings& settings, const std::vector<uint16_t>& samples);

// The header of a file as libpng reads it.
struct PngHeaderFields {
    uint32_t width = 0, height = 0;
    int bitDepth = 0, colourType = 0, interlace = 0;
    int paletteEntries = 0;
    bool transparent = false;
    Bytes palette;
};
PngHeaderFields ReadPngHeaderFields(const Bytes& file);

// The file with the IHDR's width and height replaced (and its CRC mended).
Bytes WithSize(Bytes file, uint32_t width, uint32_t height);
