#include "ArchiveBytes.h"

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
        const size_t at = out.size();
        out.resize(at + 280, 0);
        std::memcpy(&out[at], entries[i].name.data(), std::min<size_t>(entries[i].name.size(), 256));
        PutU32(out, at + 256, offsets[i]);
        PutU32(out, at + 260, static_cast<uint32_t>(entries[i].data.size()));
    }
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
