// The two small value types of the catalogue: an image's size class and a
// portrait's race.
#pragma once

#include <cstdint>

// Size class of an image; also the index of a record's entry indices and of
// the dialog's three images.
using PortraitSize = int32_t;
constexpr PortraitSize kSizeNone = -1;
constexpr PortraitSize kSizeLarge = 0;
constexpr PortraitSize kSizeMedium = 1;
constexpr PortraitSize kSizeSmall = 2;
constexpr int32_t kSizeCount = 3;
// The word of each size, as entry names and file names spell it.
inline constexpr const char* kSizeNames[kSizeCount] = {"LARGE", "MEDIUM", "SMALL"};

// Race of a portrait: 0 to 11 in the order of the race table, -1 for none.
using RaceIndex = int32_t;
constexpr RaceIndex kRaceNone = -1;
