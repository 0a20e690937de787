// One file collected by the patch builder: what its directory record in the
// patch archive will say, and where its payload lies in its override file.
#pragma once

#include <cstdint>
#include <string>

struct PatchSlot {
    std::string entryName;     // from the override header: 1 to 255 bytes, no zero
    uint32_t payloadSize = 0;  // from the override header
    uint32_t dataOffset = 0;   // in the patch archive, set when written
    std::string sourcePath;    // the override file; empty for a slot without one
    uint32_t sourceOffset = 0; // first payload byte in the override file (19 + L)
};
