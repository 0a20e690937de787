// One file collected by the patch builder: the directory record it will get
// in the patch archive, and where its payload lies in its override file.
#pragma once

#include <cstdint>
#include <string>

#include "ArchiveEntry.h"

struct PatchSlot {
    ArchiveEntry entry;       // name and size from the override header; offset set when written
    std::string sourcePath;   // the override file; empty for a slot without one
    uint32_t sourceOffset = 0; // first payload byte in the override file (19 + L)
};
