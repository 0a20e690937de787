// A picture fitted to a portrait image: the part of it that is cropped (given,
// or the largest of the image's shape, centred, or centred across and from
// the top, where faces sit), resized with a proper filter in linear light.
#pragma once

#include <cstdint>
#include <span>
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
//
// A crop at least twice the size asked, across or down, is first averaged
// over whole blocks of pixels (in linear light) to no less than twice that
// size, and only the rest is left to the filter: a crop of a few megapixels
// then fits in a few milliseconds, quick enough to follow a crop being
// dragged.
bool FitPicture(const Picture& picture, const CropRect& crop, int32_t width, int32_t height,
                std::vector<uint8_t>& rgb);

// One size of FitPictureSizes: width x height asked, rgb what comes out.
struct FitTarget {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb;
};

// The crop fitted to each of the targets' sizes as FitPicture does, the
// averaged blocks made once for them all. False, with every rgb empty, when
// one of them cannot be made.
bool FitPictureSizes(const Picture& picture, const CropRect& crop, std::span<FitTarget> targets);
