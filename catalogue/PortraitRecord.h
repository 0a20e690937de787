// One portrait of the catalogue: a race, a gender and a variant character,
// with the archive entry of each of its three sizes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "PortraitTypes.h"

class PortraitRecord {
public:
    PortraitRecord(RaceIndex race, bool male, char variant, std::string_view archivePath);

    // The name is the entry's file name without its first character and its
    // extension: PORTRAITS\X\ABCDE.GFX gives BCDE. A last part without a dot
    // gives an empty name.
    void SetNameFromEntry(std::string_view entryName);

    // Stores the entry for a size of 0 to 2; other sizes are ignored.
    void SetEntry(PortraitSize size, int32_t entryIndex);

    std::string GetName() const { return name; }
    std::string GetArchivePath() const { return archivePath; }

    int32_t race;
    uint8_t male;
    char variant;
    std::string name;
    std::string archivePath;
    int32_t entryIndex[kSizeCount];
};

// The first of records[0 .. count-1] with this race, gender and variant, or
// null when there is none.
PortraitRecord* FindRecord(PortraitRecord* const* records, int32_t count, RaceIndex race, bool male,
                           char variant);
