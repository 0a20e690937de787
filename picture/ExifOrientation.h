// The orientation a JPEG's EXIF data (its APP1 segment) asks the picture to
// be shown in, and turning a picture's pixels to it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "Picture.h"

// 1 (as stored) to 8, as EXIF numbers them; 1 when the segment holds none
// or cannot be read. segment: the APP1 segment's bytes after its length.
int32_t ExifOrientation(const uint8_t* segment, size_t size);

// Turns the picture's pixels upright for an orientation of 2 to 8 (mirrored,
// turned half round, or a quarter either way, and their mirrors); false when
// no memory is left, with the picture as it was.
bool ApplyOrientation(Picture& picture, int32_t orientation);
