// Feeds arbitrary bytes to the override header parser that CGameArchive reads
// override files through: a header that parses is written back byte for byte
// (all but the magic, which is never compared), and one that does not names
// a size that the bytes do not reach.
#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "OverrideFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const OverrideHeader header = ParseOverrideHeader(std::span(data, size));
    const OverrideHeader skipped = ParseOverrideHeaderSkippingName(std::span(data, size));
    if ((skipped.result == OverrideHeader::kOk) != (size >= OverrideHeader::kFixedSize))
        __builtin_trap();
    if (header.result != OverrideHeader::kOk) {
        if (header.result != OverrideHeader::kShort || (header.headerSize > 0 && header.headerSize <= size))
            __builtin_trap();
        return 0;
    }
    const std::vector<uint8_t> again = SerializeOverrideHeader(header.entryName, header.payloadSize);
    if (again.size() != header.headerSize || header.headerSize > size ||
        !std::equal(again.begin() + OverrideHeader::kMagicSize, again.end(), data + OverrideHeader::kMagicSize))
        __builtin_trap();
    return 0;
}
