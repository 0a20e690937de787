#include "PortraitRecord.h"

PortraitRecord::PortraitRecord(RaceIndex race_, bool male_, char variant_, std::string_view archivePath_)
    : race(race_), male(male_ ? 1 : 0), variant(variant_), archivePath(archivePath_),
      entryIndex{-1, -1, -1}
{
}

void PortraitRecord::SetNameFromEntry(std::string_view entryName)
{
    const size_t slash = entryName.rfind('\\');
    std::string_view last = slash == std::string_view::npos ? entryName : entryName.substr(slash + 1);
    const size_t dot = last.rfind('.');
    // The name starts one character into the last part and ends before its
    // last dot; a dot at the first or second place leaves nothing.
    if (dot == std::string_view::npos || dot < 1)
        name.clear();
    else
        name = std::string(last.substr(1, dot - 1));
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
