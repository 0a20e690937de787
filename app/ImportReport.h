// What the last import into the current portrait did to its colours: how
// many pixels it changed, how far a remapped file's pixels lie from the
// colours the palette gave them (and which, while the frame stays as the
// import left it), and what a file's palette taken over did to the image's
// other frames.
#pragma once

#include <cstdint>
#include <vector>

#include "ColourLoss.h"
#include "PaletteTakeover.h"
#include "PortraitTypes.h"

struct ImportReport {
    int32_t portrait = -1; // none
    PortraitSize size = kSizeLarge;
    int32_t frame = 0;
    int32_t width = 0; // the frame's, which the far pixels' mask covers
    int32_t height = 0;
    int64_t pixelsChanged = 0;
    int64_t recolouredPixels = 0; // indices kept that show another colour than in the file
    ColourLoss colourLoss;
    // The frame's indices (width x height) as the import left them: the far
    // pixels are shown only while the frame holds these.
    std::vector<uint8_t> indices;
    PaletteTakeover takeover;
};
