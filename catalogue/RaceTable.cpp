#include "RaceTable.h"

std::string GetRaceName(RaceIndex race)
{
    if (race < 0 || race >= kRaceCount)
        return "Unknown";
    return kRaceTable[race].displayName;
}
