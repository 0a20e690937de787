// One new palette for all the frames of an image: entry 0 stays as it was,
// a few colours come out exactly, and the colours of a photograph-like
// picture all lie near an entry.
#include <gtest/gtest.h>

#include <algorithm>

#include "ColourDistance.h"
#include "PictureBytes.h"
#include "PictureFit.h"
#include "SharedPalette.h"

namespace {

// The nearest entry's OKLab distance from a colour.
double NearestDistance(const uint8_t* palette, const uint8_t* rgb)
{
    double best = 1e9;
    for (size_t k = 0; k < 256; ++k)
        best = std::min(best, CColourDistance::Distance(rgb[0], rgb[1], rgb[2], palette[k * 4 + 2],
                                                        palette[k * 4 + 1], palette[k * 4]));
    return best;
}

} // namespace

TEST(SharedPalette, KeepsEntryZeroAndComesNearEveryColourOfTheFrames)
{
    // Two frames of 60 colours between them, each on 6 pixels.
    std::vector<uint8_t> first, second;
    for (int32_t c = 0; c < 60; ++c)
        for (int32_t k = 0; k < 6; ++k)
            (c < 30 ? first : second)
                .insert((c < 30 ? first : second).end(),
                        {static_cast<uint8_t>(c * 4), static_cast<uint8_t>(250 - c * 3), static_cast<uint8_t>(c * c % 251)});
    uint8_t palette[256 * 4] = {0xFF, 0x00, 0xFF, 0}; // entry 0 magenta, the rest black
    const std::vector<PaletteFrame> few = {{18, 10, &first}, {18, 10, &second}};
    ASSERT_TRUE(MakeSharedPalette(few, palette));
    EXPECT_EQ(palette[0], 0xFF);
    EXPECT_EQ(palette[1], 0x00);
    EXPECT_EQ(palette[2], 0xFF);
    for (const std::vector<uint8_t>* rgb : {&first, &second})
        for (size_t p = 0; p < rgb->size(); p += 3)
            EXPECT_EQ(NearestDistance(palette, &(*rgb)[p]), 0.0) << p / 3;

    // LARGE and a MEDIUM frame fitted from a photograph-like picture: the
    // colours on average far nearer an entry than a difference the eye
    // sees, and the farthest of them no farther than about one.
    const Picture photo{600, 450, PhotoPicture(600, 450)};
    std::vector<FitTarget> fitted = {{179, 143, {}}, {91, 71, {}}};
    ASSERT_TRUE(FitPictureSizes(photo, CropOfShape(600, 450, 179, 143, CropGravity::kTop), fitted));
    uint8_t photoPalette[256 * 4] = {};
    ASSERT_TRUE(MakeSharedPalette({{179, 143, &fitted[0].rgb}, {91, 71, &fitted[1].rgb}}, photoPalette));
    double sum = 0, largest = 0;
    size_t pixels = 0;
    for (const FitTarget& t : fitted)
        for (size_t p = 0; p < t.rgb.size(); p += 3, ++pixels) {
            const double d = NearestDistance(photoPalette, &t.rgb[p]);
            sum += d;
            largest = std::max(largest, d);
        }
    EXPECT_LT(sum / static_cast<double>(pixels), 0.004);
    EXPECT_LT(largest, 0.05);

    // Frames without pixels make no palette, and leave it as it was.
    uint8_t untouched[256 * 4] = {1, 2, 3, 0};
    const std::vector<uint8_t> none;
    EXPECT_FALSE(MakeSharedPalette({}, untouched));
    EXPECT_FALSE(MakeSharedPalette({{0, 0, &none}}, untouched));
    EXPECT_EQ(untouched[0], 1);
    EXPECT_EQ(untouched[4], 0);
}
