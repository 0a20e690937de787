// Ordered dithering before the 16-bit packing of a true-colour image: a
// smooth gradient packed after it averages, block by block, to the colours
// it was, where packing alone leaves every band darker.
#include <gtest/gtest.h>

#include <cmath>

#include "GfxImage.h"
#include "OrderedDither.h"

namespace {

constexpr int32_t kWidth = 173, kHeight = 8;

// Red and green rise from 0 to 255 across, blue falls: every value of each
// between neighbouring steps of the packing somewhere.
std::vector<uint8_t> Gradient()
{
    std::vector<uint8_t> rgb;
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x) {
            const auto v = static_cast<uint8_t>((x * 255 + (kWidth - 1) / 2) / (kWidth - 1));
            rgb.insert(rgb.end(), {v, v, static_cast<uint8_t>(255 - v)});
        }
    return rgb;
}

// The picture as the image shows it after storing: each pixel packed to 5,
// 6 and 5 bits and unpacked.
std::vector<uint8_t> Stored(const std::vector<uint8_t>& rgb)
{
    std::vector<uint8_t> out(rgb.size());
    for (size_t p = 0; p < rgb.size(); p += 3) {
        const uint8_t bgr[3] = {rgb[p + 2], rgb[p + 1], rgb[p]};
        uint8_t shown[4];
        UnpackGfxPixel(PackGfxPixel(bgr), shown);
        out[p] = shown[2];
        out[p + 1] = shown[1];
        out[p + 2] = shown[0];
    }
    return out;
}

// The mean over the 4 x 4 block at (bx, by) of a channel.
double BlockMean(const std::vector<uint8_t>& rgb, int32_t bx, int32_t by, int32_t channel)
{
    double sum = 0;
    for (int32_t y = by * 4; y < by * 4 + 4; ++y)
        for (int32_t x = bx * 4; x < bx * 4 + 4; ++x)
            sum += rgb[(static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)) * 3 + static_cast<size_t>(channel)];
    return sum / 16;
}

} // namespace

TEST(OrderedDither, GradientAveragesToItselfWherePackingAloneBands)
{
    const std::vector<uint8_t> gradient = Gradient();
    std::vector<uint8_t> dithered = gradient;
    ASSERT_TRUE(AddOrderedDither(dithered, kWidth, kHeight));
    const std::vector<uint8_t> withDither = Stored(dithered);
    const std::vector<uint8_t> packedOnly = Stored(gradient);

    // Red and blue keep steps of 8, green of 4. Blocks within a step of
    // white are left out: nothing there can be raised to the next step.
    const int32_t steps[3] = {8, 4, 8};
    for (int32_t channel = 0; channel < 3; ++channel) {
        SCOPED_TRACE("channel " + std::to_string(channel));
        double ditherBias = 0, packedBias = 0, worst = 0;
        int32_t blocks = 0;
        for (int32_t by = 0; by < kHeight / 4; ++by)
            for (int32_t bx = 0; bx < kWidth / 4; ++bx) {
                const double truth = BlockMean(gradient, bx, by, channel);
                if (truth > 255 - steps[channel])
                    continue;
                const double error = BlockMean(withDither, bx, by, channel) - truth;
                worst = std::max(worst, std::abs(error));
                ditherBias += error;
                packedBias += BlockMean(packedOnly, bx, by, channel) - truth;
                ++blocks;
            }
        ASSERT_GT(blocks, 30);
        EXPECT_LE(worst, 1.0);
        EXPECT_LE(std::abs(ditherBias / blocks), 0.25);
        // Packing alone drops half a step on average.
        EXPECT_LE(packedBias / blocks, -(steps[channel] / 2.0 - 1.0));
    }

    // White stays white (held at 255, not wrapped), black gets at most the
    // largest threshold, and a size that does not match is refused.
    std::vector<uint8_t> corners = {255, 255, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0};
    ASSERT_TRUE(AddOrderedDither(corners, 2, 2));
    EXPECT_EQ(corners[0], 255);
    EXPECT_EQ(corners[1], 255);
    EXPECT_EQ(corners[3], 8 >> 1); // threshold 8 at (1, 0)
    EXPECT_EQ(corners[4], 8 >> 2);
    EXPECT_EQ(corners[9], 4 >> 1); // threshold 4 at (1, 1)
    std::vector<uint8_t> wrong(11);
    EXPECT_FALSE(AddOrderedDither(wrong, 2, 2));
    EXPECT_FALSE(AddOrderedDither(wrong, 0, 2));
    EXPECT_EQ(wrong, std::vector<uint8_t>(11));
}
