// How far a remapped import's pixels lie from the file's colours: counted
// against a palette without red, for each way the pixels are matched.
#include <gtest/gtest.h>

#include <cstring>

#include "ColourDistance.h"
#include "FrameExchange.h"

namespace {

constexpr int32_t kWidth = 8, kHeight = 4;

// 256 greys, blue, green, red, 0: no red at all.
std::vector<uint8_t> GreyPalette()
{
    std::vector<uint8_t> palette;
    for (int k = 0; k < 256; ++k)
        palette.insert(palette.end(), {static_cast<uint8_t>(k), static_cast<uint8_t>(k), static_cast<uint8_t>(k), 0});
    return palette;
}

// Greys of the palette, one pixel a shade off grey, and a 2 x 2 block of
// pure red at (5, 1): red, green, blue a pixel.
std::vector<uint8_t> Picture()
{
    std::vector<uint8_t> rgb;
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x) {
            const bool red = x >= 5 && x < 7 && y >= 1 && y < 3;
            const uint8_t grey = static_cast<uint8_t>(40 * y + 10 * x);
            if (red)
                rgb.insert(rgb.end(), {255, 0, 0});
            else if (x == 0 && y == 3)
                rgb.insert(rgb.end(), {static_cast<uint8_t>(grey + 1), grey, grey});
            else
                rgb.insert(rgb.end(), {grey, grey, grey});
        }
    return rgb;
}

bool IsRed(int32_t p)
{
    const int32_t x = p % kWidth, y = p / kWidth;
    return x >= 5 && x < 7 && y >= 1 && y < 3;
}

void ExpectRedIsFar(const ColourLoss& loss)
{
    EXPECT_EQ(loss.farPixels, 4);
    ASSERT_EQ(loss.farMask.size(), static_cast<size_t>(kWidth * kHeight));
    for (int32_t p = 0; p < kWidth * kHeight; ++p)
        EXPECT_EQ(loss.farMask[static_cast<size_t>(p)] != 0, IsRed(p)) << p;
    // Red lies about 0.6 from its nearest grey.
    EXPECT_GT(loss.largestDistance, 0.25);
    EXPECT_LT(loss.largestDistance, 0.7);
}

} // namespace

TEST(ColourLoss, RedIntoGreysIsFarHoweverThePixelsAreMatched)
{
    const std::vector<uint8_t> palette = GreyPalette();
    const std::vector<uint8_t> rgb = Picture();
    for (ColourMetric metric : {ColourMetric::kClassic, ColourMetric::kPerceptual})
        for (bool dither : {false, true}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(metric)) + (dither ? " dithered" : ""));
            CRasterSurface loaded;
            ASSERT_EQ(loaded.CreateBuffer(kWidth, kHeight), 1);
            ImportOptions options;
            options.metric = metric;
            options.dither = dither;
            ColourLoss loss;
            ASSERT_TRUE(MatchImportedColours(loaded, rgb, palette.data(), options, loss));
            ExpectRedIsFar(loss);
            if (!dither) {
                // The largest distance is the red's from the grey it got.
                const uint8_t g = loaded.m_pBits[1 * kWidth + 5];
                EXPECT_NEAR(loss.largestDistance, CColourDistance::Distance(255, 0, 0, g, g, g), 1e-4);
            }
        }

    // An indexed file is measured a colour at a time: the same pixels.
    std::vector<uint8_t> filePalette = palette;
    filePalette[7 * 4] = 0;
    filePalette[7 * 4 + 1] = 0;
    filePalette[7 * 4 + 2] = 255; // entry 7 is red
    CRasterSurface indexed;
    ASSERT_EQ(indexed.CreateBuffer(kWidth, kHeight), 1);
    indexed.m_pPalette.reset(new uint8_t[256 * 4]);
    std::memcpy(indexed.m_pPalette.get(), filePalette.data(), 256 * 4);
    for (int32_t p = 0; p < kWidth * kHeight; ++p)
        indexed.m_pBits[p] = IsRed(p) ? 7 : static_cast<uint8_t>(p + 10);
    ColourLoss loss;
    ASSERT_TRUE(MatchImportedColours(indexed, {}, palette.data(), ImportOptions{}, loss));
    ExpectRedIsFar(loss);

    // Pixels of the palette's own colours lose nothing, and a shade off is
    // near.
    CRasterSurface greys;
    ASSERT_EQ(greys.CreateBuffer(kWidth, 1), 1);
    const std::vector<uint8_t> firstRow(rgb.begin(), rgb.begin() + 3 * kWidth);
    ASSERT_TRUE(MatchImportedColours(greys, firstRow, palette.data(), ImportOptions{}, loss));
    EXPECT_EQ(loss.farPixels, 0);
    EXPECT_TRUE(loss.farMask.empty());
    EXPECT_EQ(loss.largestDistance, 0.0);

    // OKLab's lightness runs from black to white.
    EXPECT_NEAR(CColourDistance::Distance(0, 0, 0, 255, 255, 255), 1.0, 1e-3);
    EXPECT_LT(CColourDistance::Distance(101, 100, 100, 100, 100, 100), ColourLoss::kVisibleDistance);
}
