// The 64-byte header of a GFX portrait image, held byte for byte: bytes the
// editor does not interpret are written back exactly as they were read.
//
//   offset  width  type  field
//        0      8        preserved
//        8      4  u32   dataSize: bytes of frame data (palette image) or pixels (true colour)
//       12      8        preserved
//       20      2  i16   height (true-colour images)
//       22      2  i16   width (true-colour images)
//       24      2  i16   colourCount: colours stored in the palette
//       26      2        preserved
//       28      1  u8    frameCount
//       29     15        preserved
//       44      1  u8    bitDepth: 8 palette image, 16 true colour, else no frames
//       45     19        preserved
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "LittleEndian.h"

struct GfxHeader {
    static constexpr size_t kSize = 64;
    static constexpr size_t kDataSizeOffset = 8;
    static constexpr size_t kHeightOffset = 20;
    static constexpr size_t kWidthOffset = 22;
    static constexpr size_t kColourCountOffset = 24;
    static constexpr size_t kFrameCountOffset = 28;
    static constexpr size_t kBitDepthOffset = 44;

    static constexpr uint8_t kPaletteDepth = 8;
    static constexpr uint8_t kTrueColourDepth = 16;

    std::array<uint8_t, kSize> bytes{};

    uint32_t DataSize() const { return LoadU32LE(&bytes[kDataSizeOffset]); }
    void SetDataSize(uint32_t v) { StoreU32LE(&bytes[kDataSizeOffset], v); }
    int16_t Height() const { return LoadI16LE(&bytes[kHeightOffset]); }
    void SetHeight(int16_t v) { StoreU16LE(&bytes[kHeightOffset], static_cast<uint16_t>(v)); }
    int16_t Width() const { return LoadI16LE(&bytes[kWidthOffset]); }
    void SetWidth(int16_t v) { StoreU16LE(&bytes[kWidthOffset], static_cast<uint16_t>(v)); }
    int16_t ColourCount() const { return LoadI16LE(&bytes[kColourCountOffset]); }
    void SetColourCount(int16_t v) { StoreU16LE(&bytes[kColourCountOffset], static_cast<uint16_t>(v)); }
    // Colours actually stored after the header: a negative count stores none.
    int32_t StoredColours() const { return ColourCount() < 0 ? 0 : ColourCount(); }
    uint8_t FrameCount() const { return bytes[kFrameCountOffset]; }
    void SetFrameCount(uint8_t v) { bytes[kFrameCountOffset] = v; }
    uint8_t BitDepth() const { return bytes[kBitDepthOffset]; }
    void SetBitDepth(uint8_t v) { bytes[kBitDepthOffset] = v; }
};
