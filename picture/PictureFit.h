// A picture fitted to a portrait image: the part of it that is cropped (given,
// or the largest of the image's shape, centred, or centred across and from
// the top, where faces sit), resized with a proper filter in linear light.
#pragma once

#include <cstdint>
#include <vector>

#include "Picture.h"

struct CropRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

enum class CropGravity { kCentre, kTop };

// The largest rectangle of width:height's shape within a picture of
// pictureWidth x pictureHeight, placed by the gravity.
CropRect CropOfShape(int32_t pictureWidth, int32_t pictureHeight, int32_t width, int32_t height, CropGravity gravity);

// Whether the crop lies inside the picture and is not empty.
bool CropFits(const Picture& picture, const CropRect& crop);

// The crop of the picture resized to width x height, red, green, blue a
// pixel, rows top first: filtered in linear light (sRGB decoded, resized,
// encoded again). False, with rgb empty, for a crop that does not fit, a
// size of 0 or less, or when no memory is left.
bool FitPicture(const Picture& picture, const CropRect& crop, int32_t width, int32_t height,
                std::vector<uint8_t>& rgb);
