// One 280-byte directory record of a game archive, held byte for byte. The
// directory is the last count x 280 bytes of the file; record i describes
// entry i.
//
//   offset  width  field
//        0    256  entry name, zero-terminated, backslash-separated path
//      256      4  data offset (uint32), absolute from the start of the file
//      260      4  data size (uint32)
//      264     16  reserved, zero
//
// ArchiveFormat.h reads and writes it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "LittleEndian.h"

struct ArchiveEntry {
    static constexpr size_t kSize = 280;
    static constexpr size_t kNameOffset = 0;
    static constexpr size_t kNameSize = 256;
    static constexpr size_t kMaxNameLength = kNameSize - 1; // room for the terminator
    static constexpr size_t kDataOffsetOffset = 256;
    static constexpr size_t kDataSizeOffset = 260;
    static constexpr size_t kReservedOffset = 264;
    static constexpr size_t kReservedSize = 16;
    static constexpr uint64_t kMaxDataOffset = 0xFFFFFFFFu; // data further on cannot be pointed at

    std::array<uint8_t, kSize> bytes{};

    void SetDataOffset(uint32_t v) { StoreU32LE(&bytes[kDataOffsetOffset], v); }
    void SetDataSize(uint32_t v) { StoreU32LE(&bytes[kDataSizeOffset], v); }
};
