// A directory record of a game archive as values (ArchiveEntry.h lays it out).
#pragma once

#include <cstdint>
#include <string_view>

struct ArchiveRecord {
    std::string_view name; // a view into the parsed bytes; at most 255 characters
    uint32_t offset = 0;   // as stored, not checked against the file
    uint32_t size = 0;
};
