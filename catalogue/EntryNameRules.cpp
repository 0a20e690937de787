#include "EntryNameRules.h"

#include "RaceTable.h"

namespace {

bool Contains(std::string_view name, std::string_view word)
{
    return name.find(word) != std::string_view::npos;
}

} // namespace

bool IsPortraitEntry(std::string_view entryName)
{
    return Contains(entryName, "PORTRAITS\\") && !Contains(entryName, "SKULL");
}

PortraitSize ClassifySize(std::string_view entryName)
{
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size)
        if (Contains(entryName, kSizeNames[size]))
            return size;
    return kSizeNone;
}

RaceIndex ClassifyRace(std::string_view entryName)
{
    for (RaceIndex race = 0; race < kRaceCount; ++race)
        if (Contains(entryName, kRaceTable[race].code))
            return race;
    return kRaceNone;
}

bool IsMaleName(std::string_view entryName)
{
    const size_t dot = entryName.find('.');
    if (dot == std::string_view::npos || dot < 2)
        return false;
    return entryName[dot - 2] == 'M';
}

char GetVariantChar(std::string_view entryName)
{
    const size_t dot = entryName.find('.');
    if (dot == std::string_view::npos || dot == 0)
        return 0;
    return entryName[dot - 1];
}
