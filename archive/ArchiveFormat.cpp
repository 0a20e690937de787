#include "ArchiveFormat.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "ByteReader.h"
#include "CheckedSize.h"
#include "LittleEndian.h"

int32_t ParseArchiveHeader(std::span<const uint8_t> bytes, int32_t& count)
{
    count = 0;
    if (bytes.size() < ArchiveHeader::kSize)
        return kArchiveParseShort;
    CByteReader reader(bytes.data(), bytes.size());
    reader.Seek(ArchiveHeader::kCountOffset);
    const int32_t claimed = reader.I32();
    reader.Seek(ArchiveHeader::kCountCheckOffset);
    const int32_t check = reader.I32();
    if (!reader.Ok())
        return kArchiveParseShort;
    if (claimed != check)
        return kArchiveParseCountMismatch;
    if (claimed < 0)
        return kArchiveParseNegativeCount;
    count = claimed;
    return kArchiveParseOk;
}

bool FindArchiveDirectory(int32_t count, uint64_t fileSize, uint64_t& start, uint64_t& length)
{
    uint64_t bytes = 0;
    if (count < 0 || !CheckedMul(static_cast<uint64_t>(count), ArchiveEntry::kSize, bytes) || bytes > fileSize)
        return false;
    start = fileSize - bytes;
    length = bytes;
    return true;
}

int32_t ParseDirectoryRecord(std::span<const uint8_t> bytes, ArchiveRecord& record)
{
    record = {};
    CByteReader reader(bytes.data(), bytes.size());
    reader.Seek(ArchiveEntry::kDataOffsetOffset);
    const uint32_t offset = reader.U32();
    reader.Seek(ArchiveEntry::kDataSizeOffset);
    const uint32_t size = reader.U32();
    reader.Seek(ArchiveEntry::kSize);
    if (!reader.Ok())
        return kArchiveParseShort;
    const auto* name = reinterpret_cast<const char*>(bytes.data() + ArchiveEntry::kNameOffset);
    const void* zero = std::memchr(name, 0, ArchiveEntry::kNameSize);
    record.name = std::string_view(
        name, zero ? static_cast<size_t>(static_cast<const char*>(zero) - name) : ArchiveEntry::kMaxNameLength);
    record.offset = offset;
    record.size = size;
    return kArchiveParseOk;
}

std::array<uint8_t, ArchiveHeader::kSize> SerializeArchiveHeader(std::string_view storedPath, int32_t count)
{
    ArchiveHeader header;
    const size_t pathLength = std::min(storedPath.size(), ArchiveHeader::kPathSize - 1);
    if (pathLength)
        std::memcpy(&header.bytes[ArchiveHeader::kPathOffset], storedPath.data(), pathLength);
    std::memcpy(&header.bytes[ArchiveHeader::kPrefixOffset], ArchiveHeader::kPrefix, std::strlen(ArchiveHeader::kPrefix));
    StoreU32LE(&header.bytes[ArchiveHeader::kCountOffset], static_cast<uint32_t>(count));
    StoreU32LE(&header.bytes[ArchiveHeader::kCountCheckOffset], static_cast<uint32_t>(count));
    StoreU32LE(&header.bytes[ArchiveHeader::kMarkerOffset], ArchiveHeader::kMarker);
    StoreU32LE(&header.bytes[ArchiveHeader::kVersionOffset], static_cast<uint32_t>(ArchiveHeader::kVersion));
    return header.bytes;
}

std::array<uint8_t, ArchiveEntry::kSize> SerializeDirectoryRecord(std::string_view name, uint32_t offset, uint32_t size)
{
    ArchiveEntry record;
    const size_t nameLength = std::min(name.size(), ArchiveEntry::kMaxNameLength);
    if (nameLength)
        std::memcpy(&record.bytes[ArchiveEntry::kNameOffset], name.data(), nameLength);
    record.SetDataOffset(offset);
    record.SetDataSize(size);
    return record.bytes;
}

std::vector<uint8_t> SerializeArchive(std::string_view storedPath, std::span<const ArchiveMember> members)
{
    if (members.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        return {};
    // The patch builder refuses the same: each payload's start must fit its
    // record's offset field, and its length the size field.
    uint64_t position = ArchiveHeader::kSize;
    for (const ArchiveMember& m : members) {
        if (position > ArchiveEntry::kMaxDataOffset || m.payload.size() > std::numeric_limits<uint32_t>::max())
            return {};
        position += m.payload.size();
    }
    uint64_t directory = 0, total = 0;
    if (!CheckedMul(members.size(), ArchiveEntry::kSize, directory) || !CheckedAdd(position, directory, total) ||
        total > std::numeric_limits<size_t>::max())
        return {};

    std::vector<uint8_t> bytes;
    bytes.reserve(static_cast<size_t>(total));
    const auto header = SerializeArchiveHeader(storedPath, static_cast<int32_t>(members.size()));
    bytes.insert(bytes.end(), header.begin(), header.end());
    std::vector<uint32_t> offsets;
    offsets.reserve(members.size());
    for (const ArchiveMember& m : members) {
        offsets.push_back(static_cast<uint32_t>(bytes.size()));
        bytes.insert(bytes.end(), m.payload.begin(), m.payload.end());
    }
    for (size_t i = 0; i < members.size(); ++i) {
        const auto record = SerializeDirectoryRecord(members[i].name, offsets[i],
                                                     static_cast<uint32_t>(members[i].payload.size()));
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    return bytes;
}
