// The 532-byte header at the start of a game archive, held byte for byte.
//
//   offset  width  field
//        0    256  archive path, zero-terminated (written by the builder, never read)
//      256    256  path prefix "Data\", zero-terminated (never read)
//      512      4  entry count (int32)
//      516      4  entry count again; an archive whose two counts differ is refused
//      520      4  0x0200FFFF (never read)
//      524      4  1 (never read)
//      528      4  reserved, 0
//
// ArchiveFormat.h reads and writes it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

struct ArchiveHeader {
    static constexpr size_t kSize = 532;
    static constexpr size_t kPathOffset = 0;
    static constexpr size_t kPathSize = 256;
    static constexpr size_t kPrefixOffset = 256;
    static constexpr size_t kPrefixSize = 256;
    static constexpr size_t kCountOffset = 512;
    static constexpr size_t kCountCheckOffset = 516;
    static constexpr size_t kMarkerOffset = 520;
    static constexpr size_t kVersionOffset = 524;
    static constexpr size_t kReservedOffset = 528;

    static constexpr uint32_t kMarker = 0x0200FFFF;
    static constexpr int32_t kVersion = 1;
    static constexpr const char* kPrefix = "Data\\";

    std::array<uint8_t, kSize> bytes{};
};
