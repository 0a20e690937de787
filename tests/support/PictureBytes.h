// Pictures a camera or an image editor writes, made by the tests' own means:
// JPEG files through libjpeg (with an EXIF orientation when asked), lossless
// WebP files through libwebp and BMP files by hand, of pictures whose
// colours are known; the JPEG and WebP files with an ICC profile when given
// one (IccProfiles.h). PNG files are PngBytes.h's.
#pragma once

#include <cstdint>
#include <vector>

// Red, green, blue a pixel, rows top first: four blocks, red top left, green
// top right, blue bottom left and yellow bottom right.
std::vector<uint8_t> QuadrantPicture(int32_t width, int32_t height);
// The colour of a quadrant: 0 top left, 1 top right, 2 bottom left, 3
// bottom right, as 0xRRGGBB.
uint32_t QuadrantColour(int32_t quadrant);

// A photograph-like picture, the same each time: warm light falling off from
// above the middle into a cool backdrop, a darker oval where a face would
// be, a band of cloth colour across the bottom, and fine noise on every
// channel, so that most pixels are colours of their own.
std::vector<uint8_t> PhotoPicture(int32_t width, int32_t height);

// A baseline (or progressive) JPEG of the picture at the quality; with an
// orientation of 2 to 8, an APP1 segment with EXIF data (big endian) that
// gives it.
std::vector<uint8_t> JpegBytes(int32_t width, int32_t height, const std::vector<uint8_t>& rgb, int quality,
                               int orientation = 1, bool progressive = false,
                               const std::vector<uint8_t>& iccProfile = {});

// A 24-bit BMP file of the picture, rows bottom first and widened to a
// multiple of 4 bytes, as paint programs write it.
std::vector<uint8_t> BmpBytes(int32_t width, int32_t height, const std::vector<uint8_t>& rgb);

// A lossless WebP file of the picture; with a profile, an extended file
// (VP8X) whose ICCP chunk holds it.
std::vector<uint8_t> WebpBytes(int32_t width, int32_t height, const std::vector<uint8_t>& rgb,
                               const std::vector<uint8_t>& iccProfile = {});
