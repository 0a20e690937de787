// Reading and writing a game archive's header and directory records (laid
// out in ArchiveHeader.h and ArchiveEntry.h): bytes to values and back, with
// no file in between, and the bytes of a whole archive. A patch archive is a
// game archive; the patch builder writes one through these a piece at a time.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "ArchiveEntry.h"
#include "ArchiveHeader.h"
#include "ArchiveMember.h"
#include "ArchiveRecord.h"

// Results of ParseArchiveHeader and ParseDirectoryRecord.
constexpr int32_t kArchiveParseOk = 1;
constexpr int32_t kArchiveParseShort = -1;         // fewer bytes than the structure
constexpr int32_t kArchiveParseCountMismatch = -2; // the header's two counts differ
constexpr int32_t kArchiveParseNegativeCount = -3; // both counts agree on less than zero

// Sets count to the entry count of the header at the start of `bytes` (0 on
// failure). The counts are compared before their sign is.
int32_t ParseArchiveHeader(std::span<const uint8_t> bytes, int32_t& count);

// Where the directory of `count` records lies in a file of fileSize bytes:
// its last count x 280 bytes. False when the file cannot hold them.
bool FindArchiveDirectory(int32_t count, uint64_t fileSize, uint64_t& start, uint64_t& length);

// Parses the record at the start of `bytes`. The name ends at its first zero;
// a name field without one ends after 255 characters.
int32_t ParseDirectoryRecord(std::span<const uint8_t> bytes, ArchiveRecord& record);

// A header whose path field holds storedPath (cut to 255 bytes) and whose
// two counts are count.
std::array<uint8_t, ArchiveHeader::kSize> SerializeArchiveHeader(std::string_view storedPath, int32_t count);

// A record naming name (cut to 255 bytes), whose data lies at offset.
std::array<uint8_t, ArchiveEntry::kSize> SerializeDirectoryRecord(std::string_view name, uint32_t offset,
                                                                  uint32_t size);

// A whole archive: the header, the payloads back to back in the order given,
// and the directory, byte for byte as the patch builder writes the same
// entries. Empty when a payload would start past 4 GiB or is 4 GiB or longer.
std::vector<uint8_t> SerializeArchive(std::string_view storedPath, std::span<const ArchiveMember> members);
