// Builders for the bytes of game archives and override files, written field
// by field and independent of the code under test.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TestEntry {
    std::string name;
    std::vector<uint8_t> data;
};

void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t v);
uint32_t GetU32(const std::vector<uint8_t>& bytes, size_t at);

// A header of 532 bytes with the two counts, followed by the entries' data
// back to back and their directory.
std::vector<uint8_t> MakeArchive(const std::vector<TestEntry>& entries);
std::vector<uint8_t> MakeArchiveHeader(int32_t count, int32_t countCheck);

// The same archive with every header field as the patch builder writes it:
// storedPath (at most 255 bytes), "Data\", the counts, 0x0200FFFF and 1.
std::vector<uint8_t> MakePatchArchive(const std::string& storedPath, const std::vector<TestEntry>& entries);

// One 280-byte directory record: the name (at most 256 bytes, so that a
// name without terminator can be made), the data offset and size.
std::vector<uint8_t> MakeDirectoryRecord(const std::string& name, uint32_t offset, uint32_t size);

// "KORV-EXPORT", the name length and name, the payload size, the payload.
std::vector<uint8_t> MakeOverrideFile(const std::string& entryName, const std::vector<uint8_t>& payload);

// n bytes counting up from `first`, so that every byte of a payload tells
// where it came from.
std::vector<uint8_t> Pattern(size_t n, uint8_t first = 1);
