// A picture as read from a PNG file: either indices into the file's own
// palette (an indexed file) or 8-bit red, green, blue samples (every other
// kind of file), rows top first.
#pragma once

#include <cstdint>
#include <vector>

struct PngPicture {
    int32_t width = 0;
    int32_t height = 0;
    bool indexed = false;
    // width * height indices, one byte each, when indexed.
    std::vector<uint8_t> indices;
    // The file's palette as stored: red, green, blue an entry, 1 to 256
    // entries, when indexed.
    std::vector<uint8_t> palette;
    // width * height * 3 samples, red, green, blue, when not indexed.
    std::vector<uint8_t> rgb;
    // The ICC profile of the file's iCCP chunk, uncompressed, when the read
    // asked for it; empty without one.
    std::vector<uint8_t> iccProfile;

    size_t PaletteLength() const { return palette.size() / 3; }
};
