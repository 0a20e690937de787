#include "ArchiveBytes.h"

#include <algorithm>
#include <cstring>

void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t GetU32(const std::vector<uint8_t>& bytes, size_t at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | bytes[at + static_cast<size_t>(i)];
    return v;
}

std::vector<uint8_t> MakeArchiveHeader(int32_t count, int32_t countCheck)
{
    std::vector<uint8_t> out(532, 0);
    PutU32(out, 512, static_cast<uint32_t>(count));
    PutU32(out, 516, static_cast<uint32_t>(countCheck));
    return out;
}

std::vector<uint8_t> MakeDirectoryRecord(const std::string& name, uint32_t offset, uint32_t size)
{
    std::vector<uint8_t> out(280, 0);
    std::memcpy(out.data(), name.data(), std::min<size_t>(name.size(), 256));
    PutU32(out, 256, offset);
    PutU32(out, 260, size);
    return out;
}

std::vector<uint8_t> MakeArchive(const std::vector<TestEntry>& entries)
{
    const auto count = static_cast<int32_t>(entries.size());
    std::vector<uint8_t> out = MakeArchiveHeader(count, count);
    std::vector<uint32_t> offsets;
    for (const TestEntry& e : entries) {
        offsets.push_back(static_cast<uint32_t>(out.size()));
        out.insert(out.end(), e.data.begin(), e.data.end());
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::vector<uint8_t> record =
            MakeDirectoryRecord(entries[i].name, offsets[i], static_cast<uint32_t>(entries[i].data.size()));
        out.insert(out.end(), record.begin(), record.end());
    }
    return out;
}

std::vector<uint8_t> MakePatchArchive(const std::string& storedPath, const std::vector<TestEntry>& entries)
{
    std::vector<uint8_t> out = MakeArchive(entries);
    std::memcpy(&out[0], storedPath.data(), std::min<size_t>(storedPath.size(), 255));
    std::memcpy(&out[256], "Data\\", 5);
    PutU32(out, 520, 0x0200FFFF);
    PutU32(out, 524, 1);
    return out;
}

std::vector<uint8_t> MakeOverrideFile(const std::string& entryName, const std::vector<uint8_t>& payload)
{
    std::vector<uint8_t> out(11 + 4);
    std::memcpy(out.data(), "KORV-EXPORT", 11);
    PutU32(out, 11, static_cast<uint32_t>(entryName.size()));
    out.insert(out.end(), entryName.begin(), entryName.end());
    const size_t at = out.size();
    out.resize(at + 4);
    PutU32(out, at, static_cast<uint32_t>(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

std::vector<uint8_t> Pattern(size_t n, uint8_t first)
{
    std::vector<uint8_t> out(n);
    for (size_t i = 0; i < n; ++i)
        out[i] = static_cast<uint8_t>(first + i);
    return out;
}
