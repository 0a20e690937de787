#include "PictureFit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>

#include <stb/stb_image_resize.h>

#include "CheckedSize.h"
#include "LinearLight.h"

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

namespace {

// Linear light back to sRGB bytes through a table of 4096 steps: a step
// moves a byte by at most 0.8 even in the darkest tones, where sRGB is
// steepest, so every byte stays reachable and no band appears.
constexpr int32_t kEncodeSteps = 4096;

const uint8_t* ByteOfLinear()
{
    static const std::array<uint8_t, kEncodeSteps> table = [] {
        std::array<uint8_t, kEncodeSteps> t{};
        for (size_t k = 0; k < t.size(); ++k) {
            const double v = static_cast<double>(k) / (kEncodeSteps - 1);
            const double s = v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055;
            t[k] = static_cast<uint8_t>(std::clamp(std::lround(s * 255.0), 0L, 255L));
        }
        return t;
    }();
    return table.data();
}

uint8_t EncodeLinear(const uint8_t* table, float v)
{
    // The filter rings a little past black and white; a NaN goes to black.
    if (!(v > 0.0f))
        return 0;
    if (v >= 1.0f)
        return 255;
    return table[static_cast<int32_t>(v * (kEncodeSteps - 1) + 0.5f)];
}

// How the crop is averaged before filtering: blocks of across x down pixels,
// width x height of them, the last ones in a row or column short where the
// crop is not a multiple of the block.
struct Blocks {
    int32_t across = 1;
    int32_t down = 1;
    int32_t width = 0;
    int32_t height = 0;
};

// The largest blocks that leave at least twice the largest size asked in
// each direction, so that the filter still has two pixels an output pixel.
Blocks BlocksFor(const CropRect& crop, std::span<const FitTarget> targets)
{
    Blocks blocks;
    blocks.across = crop.width;
    blocks.down = crop.height;
    for (const FitTarget& t : targets) {
        blocks.across = std::min(blocks.across, std::max(1, crop.width / (2 * t.width)));
        blocks.down = std::min(blocks.down, std::max(1, crop.height / (2 * t.height)));
    }
    blocks.width = (crop.width + blocks.across - 1) / blocks.across;
    blocks.height = (crop.height + blocks.down - 1) / blocks.down;
    return blocks;
}

// The mean of each block in linear light: red, green, blue floats a block.
void AverageBlocks(const Picture& picture, const CropRect& crop, const Blocks& blocks, std::vector<float>& out)
{
    const float* linear = LinearOfSrgbByte();
    const size_t stride = static_cast<size_t>(picture.width) * 3;
    const size_t rowFloats = static_cast<size_t>(blocks.width) * 3;
    const uint8_t* from = picture.rgb.data() + static_cast<size_t>(crop.y) * stride + static_cast<size_t>(crop.x) * 3;
    for (int32_t by = 0; by < blocks.height; ++by) {
        const int32_t y0 = by * blocks.down;
        const int32_t y1 = std::min(y0 + blocks.down, crop.height);
        float* sums = out.data() + static_cast<size_t>(by) * rowFloats;
        std::fill(sums, sums + rowFloats, 0.0f);
        for (int32_t y = y0; y < y1; ++y) {
            const uint8_t* p = from + static_cast<size_t>(y) * stride;
            int32_t x = 0;
            for (float* sum = sums; sum != sums + rowFloats; sum += 3) {
                const int32_t x1 = std::min(x + blocks.across, crop.width);
                float r = 0.0f, g = 0.0f, b = 0.0f;
                for (; x < x1; ++x, p += 3) {
                    r += linear[p[0]];
                    g += linear[p[1]];
                    b += linear[p[2]];
                }
                sum[0] += r;
                sum[1] += g;
                sum[2] += b;
            }
        }
        const float rows = static_cast<float>(y1 - y0);
        for (int32_t bx = 0; bx < blocks.width; ++bx) {
            const int32_t columns = std::min(blocks.across, crop.width - bx * blocks.across);
            const float scale = 1.0f / (rows * static_cast<float>(columns));
            for (int32_t c = 0; c < 3; ++c)
                sums[static_cast<size_t>(bx) * 3 + static_cast<size_t>(c)] *= scale;
        }
    }
}

// Blocks of blocks: `from` averaged again over across x down of its blocks,
// for a size asked that is smaller than the one they were made for. Short
// blocks at the ends count as whole ones here; they are few, and the region
// given to stb leaves them out anyway.
void AverageAgain(const std::vector<float>& averaged, const Blocks& from, int32_t across, int32_t down,
                  std::vector<float>& out, Blocks& blocks)
{
    blocks.across = from.across * across;
    blocks.down = from.down * down;
    blocks.width = (from.width + across - 1) / across;
    blocks.height = (from.height + down - 1) / down;
    const size_t fromRow = static_cast<size_t>(from.width) * 3;
    const size_t rowFloats = static_cast<size_t>(blocks.width) * 3;
    out.assign(rowFloats * static_cast<size_t>(blocks.height), 0.0f);
    for (int32_t by = 0; by < blocks.height; ++by) {
        const int32_t y0 = by * down, y1 = std::min(y0 + down, from.height);
        float* sums = out.data() + static_cast<size_t>(by) * rowFloats;
        for (int32_t y = y0; y < y1; ++y) {
            const float* p = averaged.data() + static_cast<size_t>(y) * fromRow;
            for (int32_t x = 0; x < from.width; ++x, p += 3) {
                float* sum = sums + static_cast<size_t>(x / across) * 3;
                sum[0] += p[0];
                sum[1] += p[1];
                sum[2] += p[2];
            }
        }
        for (int32_t bx = 0; bx < blocks.width; ++bx) {
            const int32_t columns = std::min(across, from.width - bx * across);
            const float scale = 1.0f / static_cast<float>((y1 - y0) * columns);
            for (int32_t c = 0; c < 3; ++c)
                sums[static_cast<size_t>(bx) * 3 + static_cast<size_t>(c)] *= scale;
        }
    }
}

// The averaged blocks filtered to the target's size in linear light and
// encoded to sRGB bytes. The blocks stand for the crop exactly up to the
// short last ones, which the region given to stb leaves out.
bool FilterBlocks(const std::vector<float>& averaged, const CropRect& crop, const Blocks& blocks,
                  std::vector<float>& filtered, FitTarget& target)
{
    const size_t bytes = static_cast<size_t>(target.width) * static_cast<size_t>(target.height) * 3;
    filtered.resize(bytes);
    target.rgb.resize(bytes);
    const float s1 = static_cast<float>(crop.width) / static_cast<float>(blocks.width * blocks.across);
    const float t1 = static_cast<float>(crop.height) / static_cast<float>(blocks.height * blocks.down);
    if (!stbir_resize_region(averaged.data(), blocks.width, blocks.height, blocks.width * 3 * static_cast<int>(sizeof(float)),
                             filtered.data(), target.width, target.height,
                             target.width * 3 * static_cast<int>(sizeof(float)), STBIR_TYPE_FLOAT, 3,
                             STBIR_ALPHA_CHANNEL_NONE, 0, STBIR_EDGE_CLAMP, STBIR_EDGE_CLAMP, STBIR_FILTER_DEFAULT,
                             STBIR_FILTER_DEFAULT, STBIR_COLORSPACE_LINEAR, nullptr, 0.0f, 0.0f, s1, t1))
        return false;
    const uint8_t* encode = ByteOfLinear();
    for (size_t k = 0; k < bytes; ++k)
        target.rgb[k] = EncodeLinear(encode, filtered[k]);
    return true;
}

// The crop straight through stb's resampler, which decodes and encodes sRGB
// itself: for targets so large that averaged blocks would not be worth their
// memory.
bool FilterDirectly(const Picture& picture, const CropRect& crop, FitTarget& target)
{
    target.rgb.resize(static_cast<size_t>(target.width) * static_cast<size_t>(target.height) * 3);
    const size_t stride = static_cast<size_t>(picture.width) * 3;
    const uint8_t* from = picture.rgb.data() + static_cast<size_t>(crop.y) * stride + static_cast<size_t>(crop.x) * 3;
    return stbir_resize_uint8_srgb(from, crop.width, crop.height, static_cast<int>(stride), target.rgb.data(),
                                   target.width, target.height, target.width * 3, 3, STBIR_ALPHA_CHANNEL_NONE, 0) != 0;
}

bool FitAll(const Picture& picture, const CropRect& crop, std::span<FitTarget> targets)
{
    if (!CropFits(picture, crop) || targets.empty())
        return false;
    for (const FitTarget& t : targets) {
        uint64_t pixels = 0;
        if (t.width <= 0 || t.height <= 0 ||
            !CheckedMul(static_cast<uint64_t>(t.width), static_cast<uint64_t>(t.height), pixels) ||
            pixels > kMaxImagePixels)
            return false;
    }
    const Blocks blocks = BlocksFor(crop, targets);
    uint64_t blockPixels = 0, blockFloats = 0;
    if (!CheckedMul(static_cast<uint64_t>(blocks.width), static_cast<uint64_t>(blocks.height), blockPixels) ||
        !CheckedMul(blockPixels, 3, blockFloats))
        return false;
    if (blockPixels > kMaxImagePixels) {
        for (FitTarget& t : targets)
            if (!FilterDirectly(picture, crop, t))
                return false;
        return true;
    }
    std::vector<float> averaged(static_cast<size_t>(blockFloats));
    AverageBlocks(picture, crop, blocks, averaged);
    // The filter's time grows with the pixels it reads: a smaller size is
    // filtered from blocks averaged again down to twice that size.
    std::vector<float> filtered, smaller;
    Blocks smallerBlocks;
    for (FitTarget& t : targets) {
        const int32_t across = std::max(1, blocks.width / (2 * t.width));
        const int32_t down = std::max(1, blocks.height / (2 * t.height));
        if (across == 1 && down == 1) {
            if (!FilterBlocks(averaged, crop, blocks, filtered, t))
                return false;
            continue;
        }
        AverageAgain(averaged, blocks, across, down, smaller, smallerBlocks);
        if (!FilterBlocks(smaller, crop, smallerBlocks, filtered, t))
            return false;
    }
    return true;
}

} // namespace

bool FitPictureSizes(const Picture& picture, const CropRect& crop, std::span<FitTarget> targets)
{
    bool fitted = false;
    try {
        fitted = FitAll(picture, crop, targets);
    } catch (const std::bad_alloc&) {
        fitted = false;
    }
    if (!fitted)
        for (FitTarget& t : targets)
            t.rgb.clear();
    return fitted;
}

bool FitPicture(const Picture& picture, const CropRect& crop, int32_t width, int32_t height,
                std::vector<uint8_t>& rgb)
{
    // The caller's buffer is lent to the target, so that its memory is
    // used again from one fit to the next.
    rgb.clear();
    FitTarget target{width, height, std::move(rgb)};
    const bool fitted = FitPictureSizes(picture, crop, std::span<FitTarget>(&target, 1));
    rgb = std::move(target.rgb);
    return fitted;
}
