// The tests' one builder for the bytes of TGA files, written field by field
// and independent of the format functions, reader and writer under test, so
// that a fault in one is not mirrored by the fixtures.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

using Bytes = std::vector<uint8_t>;
// A pixel as a 32-bit surface holds it: blue, green, red, fourth byte.
using Bgra = std::array<uint8_t, 4>;

// What goes into a file's header and in front of its pixel data.
struct TgaLayout {
    uint8_t imageType = 2;
    uint8_t depth = 24;
    uint16_t width = 0;
    uint16_t height = 0;
    bool topRowFirst = true;
    Bytes id;                    // the image ID; its size is the ID length
    uint8_t colourMapType = 0;
    uint16_t colourMapFirst = 0;
    uint16_t colourMapLength = 0;
    uint8_t colourMapEntrySize = 0;
    Bytes colourMap;             // written as given after the ID
};

Bytes MakeTgaHeader(const TgaLayout& layout);
// Header, ID, colour map, then `data` as the pixel data.
Bytes MakeTga(const TgaLayout& layout, const Bytes& data);

// A pixel's file bytes at depth 16 (five bits per channel from the top of
// each byte, bit 15 clear), 24 (blue, green, red) or 32 (blue, green, red, alpha).
Bytes EncodePixel(const Bgra& pixel, int depth);
// How the reader gives back a pixel of that depth: 16 and 24 bits lose the
// fourth byte, 16 bits the low three bits of each channel.
Bgra Expected(const Bgra& pixel, int depth);

// Rows in the file's order, uncompressed.
Bytes RawRows(const std::vector<std::vector<Bgra>>& rows, int depth);
// One run-length packet: `count` copies of one pixel, or the given pixels.
Bytes RunPacket(int count, const Bgra& pixel, int depth);
Bytes LiteralPacket(const std::vector<Bgra>& pixels, int depth);

// The pieces one after another, for building files piece by piece.
Bytes Join(std::initializer_list<Bytes> pieces);

// 256 palette entries of blue, green, red, fourth byte with every entry
// distinct: entry i is (i, 255 - i, i ^ 0x5A, fourth).
Bytes TgaTestPalette(uint8_t fourth = 0);
// That palette as a TGA colour map: 256 x (blue, green, red).
Bytes TgaTestColourMap();
