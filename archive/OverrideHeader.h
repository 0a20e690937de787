// The header in front of the image in an override file, as values. It names
// the archive entry that the file replaces.
//
//   offset  width  field
//        0     11  magic "KORV-EXPORT", no terminator (a file without it
//                  is not used in place of its entry)
//       11      4  name length L (uint32)
//       15      L  entry name, no terminator
//   15 + L      4  payload size (uint32): bytes of image data that follow
//   19 + L         payload
//
// OverrideFormat.h reads and writes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

struct OverrideHeader {
    static constexpr const char kMagic[] = "KORV-EXPORT";
    static constexpr size_t kMagicSize = 11;
    static constexpr size_t kNameLengthOffset = 11;
    static constexpr size_t kNameOffset = 15;
    static constexpr size_t kPayloadSizeSize = 4;
    static constexpr size_t kFixedSize = 19; // header size without the name
    static constexpr uint32_t kMaxNameLength = 255; // the room of an archive entry's name field

    // Where the payload size field lies, and where the payload starts, in a
    // header whose name is nameLength bytes long.
    static constexpr uint64_t PayloadSizeOffset(uint64_t nameLength) { return kNameOffset + nameLength; }
    static constexpr uint64_t HeaderSize(uint64_t nameLength) { return kFixedSize + nameLength; }

    // Results of parsing.
    static constexpr int32_t kOk = 1;
    static constexpr int32_t kShort = -1; // the bytes end inside the header

    int32_t result = kShort;
    // L as the header claims it, once its field has been read, even when the
    // rest of the header is missing; headerSize is then 19 + L.
    uint32_t nameLength = 0;
    uint64_t headerSize = 0;
    // A view into the parsed bytes; empty unless the whole header was there
    // and its name was not skipped.
    std::string_view entryName;
    uint32_t payloadSize = 0;
};
