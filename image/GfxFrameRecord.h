// One 16-byte record of a palette image's frame table, held byte for byte.
//
//   offset  width  type  field
//        0      4  u32   offset of the frame's run-length data in the frame data area
//        4      4  u32   length of that data in bytes
//        8      4        preserved
//       12      2  i16   height in rows
//       14      2  i16   width in pixels
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "LittleEndian.h"

struct GfxFrameRecord {
    static constexpr size_t kSize = 16;
    static constexpr size_t kOffsetOffset = 0;
    static constexpr size_t kLengthOffset = 4;
    static constexpr size_t kHeightOffset = 12;
    static constexpr size_t kWidthOffset = 14;

    std::array<uint8_t, kSize> bytes{};

    uint32_t Offset() const { return LoadU32LE(&bytes[kOffsetOffset]); }
    void SetOffset(uint32_t v) { StoreU32LE(&bytes[kOffsetOffset], v); }
    uint32_t Length() const { return LoadU32LE(&bytes[kLengthOffset]); }
    void SetLength(uint32_t v) { StoreU32LE(&bytes[kLengthOffset], v); }
    int16_t Height() const { return LoadI16LE(&bytes[kHeightOffset]); }
    void SetHeight(int16_t v) { StoreU16LE(&bytes[kHeightOffset], static_cast<uint16_t>(v)); }
    int16_t Width() const { return LoadI16LE(&bytes[kWidthOffset]); }
    void SetWidth(int16_t v) { StoreU16LE(&bytes[kWidthOffset], static_cast<uint16_t>(v)); }
};
