#include "ExifOrientation.h"

#include <cstring>
#include <new>
#include <utility>

namespace {

// A TIFF number, little or big endian as the header says.
uint32_t Read(const uint8_t* at, size_t bytes, bool little)
{
    uint32_t value = 0;
    for (size_t i = 0; i < bytes; ++i)
        value |= static_cast<uint32_t>(at[little ? i : bytes - 1 - i]) << (8 * i);
    return value;
}

} // namespace

int32_t ExifOrientation(const uint8_t* segment, size_t size)
{
    // "Exif\0\0", then a TIFF header: II or MM, 42, the offset of IFD0.
    static const uint8_t kExif[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (!segment || size < 6 + 8 || std::memcmp(segment, kExif, 6) != 0)
        return 1;
    const uint8_t* tiff = segment + 6;
    const size_t length = size - 6;
    const bool little = tiff[0] == 'I' && tiff[1] == 'I';
    if (!little && !(tiff[0] == 'M' && tiff[1] == 'M'))
        return 1;
    if (Read(tiff + 2, 2, little) != 42)
        return 1;
    const uint32_t ifd = Read(tiff + 4, 4, little);
    if (ifd > length || length - ifd < 2)
        return 1;
    const uint32_t entries = Read(tiff + ifd, 2, little);
    // Each entry: tag, type, count, value (12 bytes); orientation is a SHORT.
    for (uint32_t i = 0; i < entries; ++i) {
        const size_t at = ifd + 2 + static_cast<size_t>(i) * 12;
        if (at > length || length - at < 12)
            return 1;
        if (Read(tiff + at, 2, little) != 0x0112)
            continue;
        const uint32_t value = Read(tiff + at + 8, 2, little);
        return value >= 1 && value <= 8 ? static_cast<int32_t>(value) : 1;
    }
    return 1;
}

bool ApplyOrientation(Picture& picture, int32_t orientation)
{
    if (orientation < 2 || orientation > 8)
        return true;
    const size_t w = static_cast<size_t>(picture.width), h = static_cast<size_t>(picture.height);
    // 5 to 8 turn a quarter: the picture's width and height swap.
    const bool swaps = orientation >= 5;
    const size_t outWidth = swaps ? h : w;
    std::vector<uint8_t> out;
    try {
        out.resize(picture.rgb.size());
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (size_t y = 0; y < h; ++y)
        for (size_t x = 0; x < w; ++x) {
            // Where stored pixel (x, y) is shown.
            size_t toX = x, toY = y;
            switch (orientation) {
            case 2: toX = w - 1 - x; break;                       // mirrored
            case 3: toX = w - 1 - x; toY = h - 1 - y; break;      // half round
            case 4: toY = h - 1 - y; break;                       // mirrored upside down
            case 5: toX = y; toY = x; break;                      // mirrored along the diagonal
            case 6: toX = h - 1 - y; toY = x; break;              // a quarter clockwise
            case 7: toX = h - 1 - y; toY = w - 1 - x; break;      // the other diagonal
            case 8: toX = y; toY = w - 1 - x; break;              // a quarter anticlockwise
            default: break;
            }
            std::memcpy(&out[(toY * outWidth + toX) * 3], &picture.rgb[(y * w + x) * 3], 3);
        }
    picture.rgb = std::move(out);
    if (swaps)
        std::swap(picture.width, picture.height);
    return true;
}
