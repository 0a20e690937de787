// How the editor holds a palette frame: rows widened to a multiple of 4
// pixels, and only frames whose sides a surface can take.
#pragma once

#include <cstdint>

#include "RasterSurface.h"

// The pixels that widen a row of width pixels to a multiple of 4.
inline int32_t FrameRowPad(int32_t width)
{
    return (4 - width % 4) % 4;
}

// Whether a frame of width x height pixels may be held at all; a frame of
// absurd size stays empty rather than deciding an allocation.
inline bool FrameSizeInRange(int32_t width, int32_t height)
{
    return width >= 0 && height >= 0 && width <= kMaxSurfaceDimension && height <= kMaxSurfaceDimension;
}
