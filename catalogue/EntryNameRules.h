// How an archive entry name is read: size, race, gender and variant. Every
// test is a case-sensitive test over the whole name, folders included.
#pragma once

#include <string_view>

#include "PortraitTypes.h"

// True for an entry below a PORTRAITS folder that is no skull picture: only
// these entries make the catalogue and the patch.
bool IsPortraitEntry(std::string_view entryName);

// "LARGE", then "MEDIUM", then "SMALL": the first word the name contains.
PortraitSize ClassifySize(std::string_view entryName);

// The first race of the table whose code the name contains anywhere.
RaceIndex ClassifyRace(std::string_view entryName);

// True when the character two places before the name's first dot is 'M'.
bool IsMaleName(std::string_view entryName);

// The character just before the name's first dot; 0 when there is none.
char GetVariantChar(std::string_view entryName);
