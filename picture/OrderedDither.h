// Ordered dithering for a true-colour image, whose pixels are stored as 16
// bits (5 bits of red, 6 of green, 5 of blue) by dropping the low bits of
// each byte. Dropped alone, they turn a smooth gradient into bands, each a
// little darker than the colours it stands for; a Bayer threshold added
// first spreads each band's step over a fine, even pattern whose average is
// the colour itself.
#pragma once

#include <cstdint>
#include <vector>

// Adds to each channel of rgb (red, green, blue a pixel, width x height,
// rows top first) the 4 x 4 Bayer threshold of its place, scaled to the
// step that channel keeps (8 for red and blue, 4 for green), held at 255.
// False, with rgb unchanged, when its size is not width x height x 3.
bool AddOrderedDither(std::vector<uint8_t>& rgb, int32_t width, int32_t height);
