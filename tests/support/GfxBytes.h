// Builders for GFX portrait images, written field by field and independent
// of the code under test. Frames are given as plain index rows and stored as
// literal runs, which every decoder must accept.
#pragma once

#include <cstdint>
#include <vector>

struct TestFrame {
    int16_t width = 0;
    int16_t height = 0;
    std::vector<uint8_t> indices;        // width x height, rows top to bottom
    std::vector<uint8_t> runLength = {}; // when not empty, stored instead of the indices
};

struct TestPalette {
    // Colours as red, green, blue.
    std::vector<uint8_t> rgb;
};

// Run-length data of a frame using literal runs only (at most 127 each).
std::vector<uint8_t> LiteralRunLength(const TestFrame& frame);

// A palette image. colourCount defaults to the number of colours given.
// With reverseData the frames' data lie in the data area in reverse order.
std::vector<uint8_t> MakePaletteImage(const std::vector<uint8_t>& paletteRgb, const std::vector<TestFrame>& frames,
                                      int32_t colourCount = -1, bool reverseData = false);

// A true-colour image of 16-bit pixels (red 15-11, green 10-5, blue 4-0).
std::vector<uint8_t> MakeTrueColourImage(int16_t width, int16_t height, const std::vector<uint16_t>& pixels,
                                         uint8_t frameCount = 1);

// A frame whose pixels all differ from their neighbours: index (x + 3y) % 7 + 1,
// with every fifth pixel 0.
TestFrame PatternFrame(int16_t width, int16_t height, uint8_t seed = 0);
