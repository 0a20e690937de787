#include "PortraitRecord.h"

#include "EntryBaseName.h"

PortraitRecord::PortraitRecord(RaceIndex race_, bool male_, char variant_, std::string_view archivePath_)
    : race(race_), male(male_ ? 1 : 0), variant(variant_), archivePath(archivePath_),
      entryIndex{-1, -1, -1}
{
}

void PortraitRecord::SetNameFromEntry(std::string_view entryName)
{
    // The name is the entry's stem without its first character (the size
    // letter); a stem of one character or none leaves nothing.
    std::string_view stem;
    if (GetEntryStem(entryName, stem) && stem.size() > 1)
        name = std::string(stem.substr(1));
    else
        name.clear();
}

void PortraitRecord::SetEntry(PortraitSize size, int32_t index)
{
    if (size >= 0 && size < kSizeCount)
        entryIndex[size] = index;
}

PortraitRecord* FindRecord(PortraitRecord* const* records, int32_t count, RaceIndex race, bool male,
                           char variant)
{
    const uint8_t maleFlag = male ? 1 : 0;
    for (int32_t i = 0; i < count; ++i) {
        PortraitRecord* r = records[i];
        if (r && r->race == race && r->male == maleFlag && r->variant == variant)
            return r;
    }
    return nullptr;
}
