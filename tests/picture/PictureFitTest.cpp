// A picture fitted to a portrait image's size: the crop of the image's shape
// lies where the gravity puts it, and each block of colour lands where it
// belongs at every size, the filter's edge allowed.
#include <gtest/gtest.h>

#include <cstdlib>

#include "PictureBytes.h"
#include "PictureFit.h"

namespace {

uint32_t At(const std::vector<uint8_t>& rgb, int32_t width, int32_t x, int32_t y)
{
    const uint8_t* c = &rgb[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3];
    return uint32_t{c[0]} << 16 | uint32_t{c[1]} << 8 | c[2];
}

bool Near(uint32_t a, uint32_t b)
{
    for (int shift : {16, 8, 0})
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 2)
            return false;
    return true;
}

} // namespace

TEST(PictureFit, BlocksLandWhereTheyBelongAtEverySize)
{
    // Wider than LARGE's 179:143: the crop is as high as the picture.
    Picture wide{401, 151, QuadrantPicture(401, 151)};
    const CropRect centre = CropOfShape(401, 151, 179, 143, CropGravity::kCentre);
    EXPECT_EQ(centre.height, 151);
    EXPECT_EQ(centre.width, 151 * 179 / 143);
    EXPECT_EQ(centre.x, (401 - centre.width) / 2);
    EXPECT_EQ(centre.y, 0);
    // Taller: as wide as the picture, centred or from the top.
    EXPECT_EQ(CropOfShape(100, 300, 179, 143, CropGravity::kCentre).y, (300 - 100 * 143 / 179) / 2);
    EXPECT_EQ(CropOfShape(100, 300, 179, 143, CropGravity::kTop).y, 0);

    for (const auto& [w, h] : {std::pair{179, 143}, std::pair{91, 71}, std::pair{47, 35}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        std::vector<uint8_t> rgb;
        ASSERT_TRUE(FitPicture(wide, centre, w, h, rgb));
        ASSERT_EQ(rgb.size(), static_cast<size_t>(w * h * 3));
        // Away from the middle lines, each quadrant is its own colour.
        EXPECT_TRUE(Near(At(rgb, w, w / 4, h / 4), QuadrantColour(0)));
        EXPECT_TRUE(Near(At(rgb, w, w * 3 / 4, h / 4), QuadrantColour(1)));
        EXPECT_TRUE(Near(At(rgb, w, w / 4, h * 3 / 4), QuadrantColour(2)));
        EXPECT_TRUE(Near(At(rgb, w, w * 3 / 4, h * 3 / 4), QuadrantColour(3)));
    }

    // A crop outside the picture, or no size, fits nothing.
    std::vector<uint8_t> rgb;
    EXPECT_FALSE(FitPicture(wide, CropRect{300, 0, 179, 143}, 179, 143, rgb));
    EXPECT_FALSE(FitPicture(wide, centre, 0, 143, rgb));
    EXPECT_TRUE(rgb.empty());
}

TEST(PictureFit, LargeCropsAveragedFirstKeepTheirColoursAndPlaces)
{
    // A crop many times the sizes asked, at an offset and of no multiple of
    // the blocks it is averaged over: all three sizes from it at once.
    Picture big{2003, 1511, QuadrantPicture(2003, 1511)};
    const CropRect crop = CropOfShape(big.width, big.height, 179, 143, CropGravity::kCentre);
    std::vector<FitTarget> targets = {{179, 143, {}}, {91, 71, {}}, {47, 35, {}}};
    ASSERT_TRUE(FitPictureSizes(big, crop, targets));
    for (const FitTarget& t : targets) {
        SCOPED_TRACE(std::to_string(t.width) + " x " + std::to_string(t.height));
        ASSERT_EQ(t.rgb.size(), static_cast<size_t>(t.width * t.height * 3));
        const int32_t w = t.width, h = t.height;
        EXPECT_TRUE(Near(At(t.rgb, w, w / 4, h / 4), QuadrantColour(0)));
        EXPECT_TRUE(Near(At(t.rgb, w, w * 3 / 4, h / 4), QuadrantColour(1)));
        EXPECT_TRUE(Near(At(t.rgb, w, w / 4, h * 3 / 4), QuadrantColour(2)));
        EXPECT_TRUE(Near(At(t.rgb, w, w * 3 / 4, h * 3 / 4), QuadrantColour(3)));
        // The edges between the blocks stay in the middle: three pixels
        // either side of it, past the filter's reach, are still the blocks'
        // own colours.
        EXPECT_TRUE(Near(At(t.rgb, w, w / 2 - 3, h / 4), QuadrantColour(0)));
        EXPECT_TRUE(Near(At(t.rgb, w, w / 2 + 3, h / 4), QuadrantColour(1)));
        EXPECT_TRUE(Near(At(t.rgb, w, w / 4, h / 2 - 3), QuadrantColour(0)));
        EXPECT_TRUE(Near(At(t.rgb, w, w / 4, h / 2 + 3), QuadrantColour(2)));
        // One size alone comes out as it does among the others.
        std::vector<uint8_t> alone;
        ASSERT_TRUE(FitPicture(big, crop, w, h, alone));
        for (int32_t y = h / 8; y < h; y += h / 4)
            for (int32_t x = w / 8; x < w; x += w / 4)
                EXPECT_TRUE(Near(At(alone, w, x, y), At(t.rgb, w, x, y))) << x << ", " << y;
    }

    // Every grey level and colour of one hue fits back to itself exactly:
    // decoding and encoding sRGB lose nothing.
    for (int32_t v = 0; v < 256; ++v) {
        const auto level = static_cast<uint8_t>(v);
        Picture flat{23, 19, {}};
        for (int32_t p = 0; p < flat.width * flat.height; ++p)
            flat.rgb.insert(flat.rgb.end(), {level, static_cast<uint8_t>(255 - v), static_cast<uint8_t>(v / 2)});
        std::vector<uint8_t> rgb;
        ASSERT_TRUE(FitPicture(flat, CropRect{0, 0, 23, 19}, 5, 4, rgb));
        for (size_t p = 0; p < rgb.size(); p += 3) {
            ASSERT_EQ(rgb[p], level);
            ASSERT_EQ(rgb[p + 1], 255 - v);
            ASSERT_EQ(rgb[p + 2], v / 2);
        }
    }

    // A smooth gradient stays smooth: each pixel of a row at most a little
    // brighter than the one before, never darker, and no band wider than
    // the steps of the gradient itself.
    Picture ramp{1800, 40, {}};
    for (int32_t y = 0; y < ramp.height; ++y)
        for (int32_t x = 0; x < ramp.width; ++x) {
            const auto v = static_cast<uint8_t>(x * 256 / ramp.width);
            ramp.rgb.insert(ramp.rgb.end(), {v, v, v});
        }
    std::vector<uint8_t> row;
    ASSERT_TRUE(FitPicture(ramp, CropRect{0, 0, 1800, 40}, 256, 4, row));
    for (int32_t x = 1; x < 256; ++x) {
        const int previous = row[static_cast<size_t>(x - 1) * 3], here = row[static_cast<size_t>(x) * 3];
        EXPECT_GE(here, previous) << x;
        EXPECT_LE(here - previous, 2) << x;
    }

    // One size that cannot be made leaves none made.
    std::vector<FitTarget> bad = {{179, 143, {}}, {0, 71, {}}};
    EXPECT_FALSE(FitPictureSizes(big, crop, bad));
    EXPECT_TRUE(bad[0].rgb.empty());
}
