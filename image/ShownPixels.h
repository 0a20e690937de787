// The colours a frame shows, one value a pixel, and how many of them an edit
// changed.
#pragma once

#include <cstdint>
#include <vector>

class CPortraitImage;

// A value a pixel, in rows of the frame's own width: what an import changed
// is where two of these differ.
std::vector<uint32_t> ShownPixels(const CPortraitImage& image, int32_t frame);

// The pixels that differ; all of the larger when the sizes differ.
int64_t CountChanged(const std::vector<uint32_t>& before, const std::vector<uint32_t>& after);
