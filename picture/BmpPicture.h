// BMP files (Windows bitmaps, as paint programs write them) read over stb's
// image reader. Only this file sees stb_image's header.
#pragma once

#include <cstdint>
#include <span>

#include "Picture.h"

bool HasBmpSignature(std::span<const uint8_t> bytes);

// A declared size over request.maxPixels is refused before any pixel is
// decoded; a file cut short or damaged is refused as broken. On any result
// but kOk, `out` is left empty.
PictureResult ReadBmp(std::span<const uint8_t> bytes, const PictureRequest& request, Picture& out,
                      PictureFailure& failure);
