// The twelve races: the code searched for in entry names and the name shown.
// The order is the order in which the codes are tested.
#pragma once

#include <string>

#include "PortraitTypes.h"

struct RaceInfo {
    const char* code;
    const char* displayName;
};

constexpr int32_t kRaceCount = 12;

inline constexpr RaceInfo kRaceTable[kRaceCount] = {
    {"TVAR", "Tvarran"}, {"BOGRE", "Bogren"}, {"QEN", "Qenni"},  {"VOLLE", "Vollen"},
    {"KAPH", "Kaphiri"}, {"TROMB", "Trombel"}, {"YAS", "Yassan"}, {"MOR", "Moren"},
    {"SKA", "Skarth"},   {"BRUK", "Brukk"},   {"OBI", "Obian"},  {"GUR", "Gurrat"},
};

// The display name of a race; "Unknown" for anything outside 0 to 11.
std::string GetRaceName(RaceIndex race);
