#include "PictureFit.h"

#include <algorithm>
#include <new>

#include <stb/stb_image_resize.h>

#include "CheckedSize.h"

CropRect CropOfShape(int32_t pictureWidth, int32_t pictureHeight, int32_t width, int32_t height, CropGravity gravity)
{
    CropRect crop;
    if (pictureWidth <= 0 || pictureHeight <= 0 || width <= 0 || height <= 0)
        return crop;
    // As wide as the picture when it is taller than the shape, else as high.
    const int64_t wideHeight = int64_t{pictureWidth} * height / width;
    if (wideHeight <= pictureHeight) {
        crop.width = pictureWidth;
        crop.height = static_cast<int32_t>(std::max<int64_t>(1, wideHeight));
    } else {
        crop.height = pictureHeight;
        crop.width = static_cast<int32_t>(std::max<int64_t>(1, int64_t{pictureHeight} * width / height));
    }
    crop.x = (pictureWidth - crop.width) / 2;
    crop.y = gravity == CropGravity::kTop ? 0 : (pictureHeight - crop.height) / 2;
    return crop;
}

bool CropFits(const Picture& picture, const CropRect& crop)
{
    return crop.width > 0 && crop.height > 0 && crop.x >= 0 && crop.y >= 0 && crop.x <= picture.width - crop.width &&
           crop.y <= picture.height - crop.height &&
           picture.rgb.size() == static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height) * 3;
}

bool FitPicture(const Picture& picture, const CropRect& crop, int32_t width, int32_t height,
                std::vector<uint8_t>& rgb)
{
    rgb.clear();
    uint64_t pixels = 0;
    if (!CropFits(picture, crop) || width <= 0 || height <= 0 ||
        !CheckedMul(static_cast<uint64_t>(width), static_cast<uint64_t>(height), pixels) || pixels > kMaxImagePixels)
        return false;
    try {
        rgb.resize(static_cast<size_t>(pixels) * 3);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const size_t stride = static_cast<size_t>(picture.width) * 3;
    const uint8_t* from = picture.rgb.data() + static_cast<size_t>(crop.y) * stride + static_cast<size_t>(crop.x) * 3;
    if (!stbir_resize_uint8_srgb(from, crop.width, crop.height, static_cast<int>(stride), rgb.data(), width, height,
                                 width * 3, 3, STBIR_ALPHA_CHANNEL_NONE, 0)) {
        rgb.clear();
        return false;
    }
    return true;
}
