// PNG files as image editors write them, through libpng, for the pictures
// of a new portrait: with a colour profile when given one, and with a
// header that claims another size than the pixels stored.
#pragma once

#include <cstdint>
#include <vector>

// An 8-bit RGB PNG file of the picture, with an iCCP chunk holding the
// profile when one is given, whatever it holds.
std::vector<uint8_t> PngBytes(int32_t width, int32_t height, const std::vector<uint8_t>& rgb,
                              const std::vector<uint8_t>& iccProfile = {});
// The PNG file with its header's width and height replaced (and its CRC
// made right again), its pixel data left as they are.
std::vector<uint8_t> WithDeclaredPngSize(std::vector<uint8_t> png, uint32_t width, uint32_t height);
