// An icon: a small square picture with transparency, drawn onto a canvas.
#pragma once

#include <cstdint>
#include <vector>

class CCanvas;

struct Icon {
    int32_t size = 0;            // width and height in pixels
    std::vector<uint8_t> pixels; // size x size, blue, green, red, alpha; top row first
};

// Draws the icon with its top-left corner at (x, y), blending by alpha.
void DrawIcon(CCanvas& canvas, int32_t x, int32_t y, const Icon& icon);
