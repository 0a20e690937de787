// A portrait drawn at one size in one pose: the painter's samples turned into
// palette indices over the character's palette, or into true-colour pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "DemoCast.h"
#include "DemoPainter.h"

namespace demo {

// The pose of frame `frame` of an animation of `frames` frames.
Pose PoseAt(const Character& who, int32_t frame, int32_t frames);

// The palette of a palette image: colour 0 the frame, then one ramp of
// `shades` colours per material, as red, green, blue triples.
std::vector<uint8_t> BuildPalette(const Character& who);

// Rows of exactly width palette indices.
std::vector<uint8_t> PaintIndices(const Character& who, const Pose& pose, int32_t width, int32_t height);

// Rows of exactly width 16-bit colours (5 bits red, 6 green, 5 blue).
std::vector<uint16_t> PaintTrueColour(const Character& who, const Pose& pose, int32_t width, int32_t height);

} // namespace demo
