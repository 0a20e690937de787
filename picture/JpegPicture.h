// JPEG files read over libjpeg-turbo: decoded at the smallest of full, 1/2,
// 1/4 and 1/8 size that still covers the size asked for, turned upright as
// their EXIF orientation says, and brought to sRGB when their APP2 segments
// carry an ICC profile. Only this file sees libjpeg's header.
#pragma once

#include <cstdint>
#include <span>

#include "Picture.h"

bool HasJpegSignature(std::span<const uint8_t> bytes);

// A declared size over request.maxPixels is refused before any pixel is
// decoded; a file cut short, damaged or in CMYK is refused as broken. On
// any result but kOk, `out` is left empty.
PictureResult ReadJpeg(std::span<const uint8_t> bytes, const PictureRequest& request, Picture& out,
                       PictureFailure& failure);
