// A picture's pixels brought from the colour space of the ICC profile its
// file embeds to sRGB, the space the portraits are painted in, over Little
// CMS. Only this file sees lcms2's headers.
#pragma once

#include <cstdint>
#include <span>

#include "Picture.h"

// Converts picture.rgb from the RGB profile `profile` (the bytes a JPEG,
// PNG or WebP file embeds) to sRGB, perceptually. A profile that cannot be
// read, that is not for RGB (grey, CMYK) or not for a device, or whose
// conversion would take more memory than a profile may, leaves the pixels
// as they are: true only when they were converted.
bool IccToSrgb(std::span<const uint8_t> profile, Picture& picture);
