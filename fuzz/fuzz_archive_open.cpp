// Feeds arbitrary bytes to the archive header and directory parsers that
// CGameArchive::Open reads through: a header that parses places its directory
// within the bytes, and every record there parses with a name of at most 255
// characters that lies inside its own name field.
#include <cstdint>
#include <span>

#include "ArchiveFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> bytes(data, size);
    int32_t count = 0;
    const int32_t result = ParseArchiveHeader(bytes, count);
    const bool known = result == kArchiveParseOk || result == kArchiveParseShort ||
                       result == kArchiveParseCountMismatch || result == kArchiveParseNegativeCount;
    if (!known || (result != kArchiveParseOk && count != 0))
        __builtin_trap();
    uint64_t start = 0, length = 0;
    if (result != kArchiveParseOk || !FindArchiveDirectory(count, size, start, length))
        return 0;
    if (start + length != size || length != static_cast<uint64_t>(count) * ArchiveEntry::kSize)
        __builtin_trap();
    for (uint64_t at = start; at < size; at += ArchiveEntry::kSize) {
        ArchiveRecord record;
        if (ParseDirectoryRecord(bytes.subspan(at, ArchiveEntry::kSize), record) != kArchiveParseOk ||
            record.name.size() > ArchiveEntry::kMaxNameLength ||
            record.name.data() != reinterpret_cast<const char*>(data + at + ArchiveEntry::kNameOffset))
            __builtin_trap();
    }
    return 0;
}
