// What the dialog for a new portrait from a picture shows and asks: the
// picture with a crop rectangle of the portrait's shape, the images as they
// will land, and the choices under them. A host shows it modally; the
// previews come from the caller each time the crop or a choice changes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "DialogTemplate.h"

// The user's choices: the crop in the picture's pixels, and how colours are
// made.
struct PictureCropChoice {
    PixelRect crop{0, 0, 0, 0};
    bool newPalette = false; // one new palette for each palette image
    bool perceptual = false; // colours matched in OKLab, else by the classic metric
    bool dither = false;
    bool sizes[3] = {true, true, true}; // LARGE, MEDIUM, SMALL
};

// One image as it will land: red, green, blue a pixel, rows top first.
struct PicturePreview {
    std::string label; // "LARGE", ...
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb;
    std::string note; // under it: its palette, or what it lost
};

class IPicturePreviews {
public:
    virtual ~IPicturePreviews() = default;
    // The images as the choice makes them, one for each size chosen.
    virtual std::vector<PicturePreview> Previews(const PictureCropChoice& choice) = 0;
};

struct PictureCropRequest {
    std::string caption;
    std::string pictureName; // shown above the picture
    int32_t width = 0;       // the picture, red, green, blue a pixel
    int32_t height = 0;
    const std::vector<uint8_t>* rgb = nullptr;
    int32_t aspectWidth = 1; // the crop keeps this shape (the LARGE image's)
    int32_t aspectHeight = 1;
    bool paletteImages = true; // whether the palette and colour choices apply
    PictureCropChoice initial;
};
