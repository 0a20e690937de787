// WebP files read over libwebp: still pictures, lossy or lossless, their
// alpha left out, brought to sRGB when they carry an ICC profile. Only this
// file sees libwebp's header.
#pragma once

#include <cstdint>
#include <span>

#include "Picture.h"

bool HasWebpSignature(std::span<const uint8_t> bytes);

// A declared size over request.maxPixels is refused before any pixel is
// decoded; a file cut short or damaged, or an animation, is refused as
// broken. On any result but kOk, `out` is left empty.
PictureResult ReadWebp(std::span<const uint8_t> bytes, const PictureRequest& request, Picture& out,
                       PictureFailure& failure);
