// ICC profiles made by Little CMS, for pictures that carry one.
#pragma once

#include <cstdint>
#include <vector>

// Profiles as Little CMS saves them: RGB of sRGB's primaries and white
// but linear (gamma 1.0), so that sRGB's mid-grey 128 stands for a grey
// that sRGB writes as about 188; and grey, linear.
std::vector<uint8_t> LinearRgbProfile();
std::vector<uint8_t> LinearGreyProfile();
// The profile with the type of every tag's data made one no reader knows:
// its header is sound, its tags cannot be read.
std::vector<uint8_t> WithUnreadableTags(std::vector<uint8_t> profile);
