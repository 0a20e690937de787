// The header in front of the image in an override file. It names the archive
// entry that the file replaces.
//
//   offset  width  field
//        0     11  magic "KORV-EXPORT", no terminator (never compared)
//       11      4  name length L (uint32)
//       15      L  entry name, no terminator
//   15 + L      4  payload size (uint32): bytes of image data that follow
//   19 + L         payload
#pragma once

#include <cstddef>
#include <cstdint>

struct OverrideHeader {
    static constexpr const char kMagic[] = "KORV-EXPORT";
    static constexpr size_t kMagicSize = 11;
    static constexpr size_t kNameLengthOffset = 11;
    static constexpr size_t kNameOffset = 15;
    static constexpr size_t kFixedSize = 19; // header size without the name
    static constexpr uint32_t kMaxNameLength = 255; // the room of an archive entry's name field
};
