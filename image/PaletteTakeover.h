// What taking a file's palette over does to the rest of a palette image:
// every frame shows its indices through the new palette, so the other
// frames' pixels at entries whose colour changes show other colours.
#pragma once

#include <cstdint>

class CPortraitImage;

struct PaletteTakeover {
    int32_t otherFrames = 0; // frames besides the imported one that change
    int64_t otherPixels = 0; // their pixels that show another colour
};

// For a file of `filePalette` (256 entries of blue, green, red, unused)
// imported into frame `frame` of a palette image.
PaletteTakeover MeasurePaletteTakeover(const CPortraitImage& image, int32_t frame, const uint8_t* filePalette);
