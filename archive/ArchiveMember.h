// An entry of an archive to be written whole: its name and its data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ArchiveMember {
    std::string name;
    std::vector<uint8_t> payload;
};
