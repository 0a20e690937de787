// A colour that the test images' palette cannot show, and a LARGE file that
// holds a block of it, for imports that lose colour.
#pragma once

#include <cstdint>

#include "TgaBytes.h"

// Of the pure colours, the one furthest (OKLab) from every colour of the
// test palette, and that distance.
uint32_t FarTestColour(double& distance);

// A 24-bit 21 x 15 TGA of palette colour 5 with a 3 x 2 block of `far` at
// (7, 4).
Bytes FarBlockTga(uint32_t far);
