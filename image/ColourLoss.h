// How far an import's pixels lie from the colours the image's palette gave
// them: the pixels further than a difference a viewer notices, the largest
// distance, and which pixels those are.
#pragma once

#include <cstdint>
#include <vector>

struct ColourLoss {
    // Distances are Euclidean in OKLab, whose lightness runs from 0 (black)
    // to 1 (white). OKLab's just-noticeable difference is about 0.02; a
    // pixel counts as far from its file colour past 0.05, a difference a
    // viewer notices without comparing closely.
    static constexpr double kVisibleDistance = 0.05;

    int32_t farPixels = 0;
    double largestDistance = 0.0; // over every pixel measured
    // Width x height bytes, rows top first: 1 for a far pixel. Empty when
    // no pixel is far.
    std::vector<uint8_t> farMask;
};
