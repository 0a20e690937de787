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
