// The 18-byte header at the start of every Truevision TGA file, read from and
// written to bytes field by field (ParseTgaHeader and SerializeTgaHeader in
// TgaFormat.h, which also describes the rest of the file) so that the host's
// byte order never matters.
//
//   offset  width  field
//        0      1  ID length: bytes of image ID that follow the header
//        1      1  colour-map type: 0 none, 1 a colour map follows
//        2      1  image type: 1 colour-mapped, 2 true-colour, 3 grey, 9, 10 and 11
//                  the same run-length coded
//        3      2  colour-map first entry index: the index of the map's first entry
//        5      2  colour-map length in entries
//        7      1  colour-map entry size in bits
//        8      2  x origin (unused)
//       10      2  y origin (unused)
//       12      2  width in pixels
//       14      2  height in pixels
//       16      1  pixel depth in bits
//       17      1  image descriptor; bit 0x20 set: the first row in the file is the top row
#pragma once

#include <cstddef>
#include <cstdint>

struct TgaHeader {
    static constexpr size_t kSize = 18;
    static constexpr size_t kIdLengthOffset = 0;
    static constexpr size_t kColourMapTypeOffset = 1;
    static constexpr size_t kImageTypeOffset = 2;
    static constexpr size_t kColourMapFirstOffset = 3;
    static constexpr size_t kColourMapLengthOffset = 5;
    static constexpr size_t kColourMapEntrySizeOffset = 7;
    static constexpr size_t kXOriginOffset = 8;
    static constexpr size_t kYOriginOffset = 10;
    static constexpr size_t kWidthOffset = 12;
    static constexpr size_t kHeightOffset = 14;
    static constexpr size_t kPixelDepthOffset = 16;
    static constexpr size_t kDescriptorOffset = 17;

    static constexpr uint8_t kTypeNoImage = 0;
    static constexpr uint8_t kTypeColourMapped = 1;
    static constexpr uint8_t kTypeTrueColour = 2;
    static constexpr uint8_t kTypeGrey = 3;
    static constexpr uint8_t kTypeRunLengthColourMapped = 9;
    static constexpr uint8_t kTypeRunLengthTrueColour = 10;
    static constexpr uint8_t kTypeRunLengthGrey = 11;
    static constexpr uint8_t kDescriptorTopLeft = 0x20;

    // The one colour map this system writes and reads: 256 entries of blue,
    // green, red.
    static constexpr uint16_t kPaletteEntries = 256;
    static constexpr uint8_t kPaletteEntryBits = 24;
    static constexpr size_t kPaletteBytes = 256 * 3;

    uint8_t idLength = 0;
    uint8_t colourMapType = 0;
    uint8_t imageType = 0;
    uint16_t colourMapFirst = 0;
    uint16_t colourMapLength = 0;
    uint8_t colourMapEntrySize = 0;
    uint16_t xOrigin = 0;
    uint16_t yOrigin = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t pixelDepth = 0;
    uint8_t descriptor = 0;

    bool TopRowFirst() const { return (descriptor & kDescriptorTopLeft) != 0; }
    bool ColourMapped() const { return imageType == kTypeColourMapped || imageType == kTypeRunLengthColourMapped; }
    // Bytes a colour-map entry takes: 15-bit entries take two.
    uint32_t ColourMapEntryBytes() const { return (colourMapEntrySize + 7u) / 8u; }
    // Whether any TGA file could start with this header: its colour-map type
    // is 0 or 1 and its image type one the format defines.
    bool Plausible() const
    {
        if (colourMapType > 1)
            return false;
        switch (imageType) {
        case kTypeNoImage:
        case kTypeColourMapped:
        case kTypeTrueColour:
        case kTypeGrey:
        case kTypeRunLengthColourMapped:
        case kTypeRunLengthTrueColour:
        case kTypeRunLengthGrey:
            return true;
        default:
            return false;
        }
    }
};
