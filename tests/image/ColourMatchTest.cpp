// Matching colours to a palette: the classic distance as remapping has always
// worked it out, the nearest colour in OKLab, ties, and error diffusion on
// small pictures worked by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

#include "ColourMatch.h"

namespace {

// 256 entries of blue, green, red, 0; entries past the colours given are black.
std::vector<uint8_t> Palette(const std::vector<std::array<uint8_t, 3>>& rgbColours)
{
    std::vector<uint8_t> palette(1024, 0);
    for (size_t j = 0; j < rgbColours.size(); ++j) {
        palette[j * 4] = rgbColours[j][2];
        palette[j * 4 + 1] = rgbColours[j][1];
        palette[j * 4 + 2] = rgbColours[j][0];
    }
    return palette;
}

// Channels from a few levels only, so that equal distances and equal
// entries are common.
std::vector<uint8_t> CoarsePalette(std::mt19937& rng)
{
    static const uint8_t kLevels[] = {0, 40, 41, 128, 200, 255};
    std::vector<uint8_t> palette(1024, 0);
    for (size_t i = 0; i < 1024; ++i)
        if (i % 4 != 3)
            palette[i] = kLevels[rng() % 6];
    return palette;
}

// Remapping as it was first written: the sum of channel distances over all
// 256 entries, a later entry winning only when strictly nearer.
uint8_t OldNearest(const uint8_t* palette, const uint8_t* bgr)
{
    int best = 768, bestIndex = 0;
    for (int j = 0; j < 256; ++j) {
        const int d = std::abs(bgr[0] - palette[j * 4]) + std::abs(bgr[1] - palette[j * 4 + 1]) +
                      std::abs(bgr[2] - palette[j * 4 + 2]);
        if (d < best) {
            best = d;
            bestIndex = j;
        }
    }
    return static_cast<uint8_t>(bestIndex);
}

// OKLab in double, unrounded, worked out here on its own.
std::array<double, 3> Lab(const uint8_t* rgb)
{
    double c[3];
    for (int k = 0; k < 3; ++k) {
        const double v = rgb[k] / 255.0;
        c[k] = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    }
    const double l = std::cbrt(0.4122214708 * c[0] + 0.5363325363 * c[1] + 0.0514459929 * c[2]);
    const double m = std::cbrt(0.2119034982 * c[0] + 0.6806995451 * c[1] + 0.1073969566 * c[2]);
    const double s = std::cbrt(0.0883024619 * c[0] + 0.2817188376 * c[1] + 0.6299787005 * c[2]);
    return {0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
            1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
            0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}

double LabDistance(const uint8_t* rgb, const uint8_t* bgrEntry)
{
    const uint8_t entry[3] = {bgrEntry[2], bgrEntry[1], bgrEntry[0]};
    const std::array<double, 3> a = Lab(rgb), b = Lab(entry);
    return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}

std::vector<uint8_t> Flat(int width, int height, uint8_t r, uint8_t g, uint8_t b)
{
    std::vector<uint8_t> rgb;
    for (int p = 0; p < width * height; ++p)
        rgb.insert(rgb.end(), {r, g, b});
    return rgb;
}

std::vector<uint8_t> Dithered(const CColourMatch& match, const std::vector<uint8_t>& rgb, int width, int height)
{
    std::vector<uint8_t> out(static_cast<size_t>(width * height), 99);
    EXPECT_TRUE(match.MapColours(rgb.data(), 3 * static_cast<size_t>(width), width, height, out.data(),
                                 static_cast<size_t>(width), true));
    return out;
}

TEST(ColourMatch, ClassicPicksAsRemappingAlwaysDid)
{
    std::mt19937 rng(11);
    for (int round = 0; round < 4; ++round) {
        const std::vector<uint8_t> palette = CoarsePalette(rng);
        const CColourMatch match(palette.data(), ColourMetric::kClassic);
        std::vector<uint8_t> file = CoarsePalette(rng);
        if (round % 2)
            for (uint8_t& byte : file)
                byte = static_cast<uint8_t>(rng());
        uint8_t map[256];
        match.MapPalette(file.data(), map);
        for (int k = 0; k < 256; ++k)
            ASSERT_EQ(map[k], OldNearest(palette.data(), &file[static_cast<size_t>(k) * 4])) << k;

        // A picture of random colours, with padded rows both ways: the
        // indices are each pixel's nearest, and no pad byte is written.
        const size_t width = 37, height = 11;
        const size_t inStride = 3 * width + 5, outStride = width + 3;
        std::vector<uint8_t> rgb(inStride * height);
        for (uint8_t& byte : rgb)
            byte = static_cast<uint8_t>(rng());
        std::vector<uint8_t> out(outStride * height, 0xEE);
        ASSERT_TRUE(match.MapColours(rgb.data(), inStride, static_cast<int32_t>(width), static_cast<int32_t>(height),
                                     out.data(), outStride, false));
        for (size_t y = 0; y < height; ++y) {
            for (size_t x = 0; x < width; ++x) {
                const uint8_t* px = &rgb[y * inStride + x * 3];
                const uint8_t bgr[3] = {px[2], px[1], px[0]};
                ASSERT_EQ(out[y * outStride + x], OldNearest(palette.data(), bgr));
                ASSERT_EQ(match.Nearest(px[0], px[1], px[2]), out[y * outStride + x]);
            }
            ASSERT_EQ(out[y * outStride + width], 0xEE);
            ASSERT_EQ(out[y * outStride + width + 2], 0xEE);
        }
    }
}

TEST(ColourMatch, PerceptualIsNearestInOklab)
{
    // Greys lie on OKLab's L axis at the cube root of their linear light:
    // L(20) = 0.191, L(60) = 0.356, so 20 is nearer 60 than black, though
    // nearer black by channel sums (60 against 120). 30 is as far from both
    // by sums, and the lower entry wins there.
    const std::vector<uint8_t> greys = Palette({{0, 0, 0}, {60, 60, 60}});
    const CColourMatch classic(greys.data(), ColourMetric::kClassic), perceptual(greys.data(), ColourMetric::kPerceptual);
    EXPECT_EQ(classic.Nearest(20, 20, 20), 0);
    EXPECT_EQ(perceptual.Nearest(20, 20, 20), 1);
    EXPECT_EQ(classic.Nearest(30, 30, 30), 0);
    EXPECT_EQ(perceptual.Nearest(30, 30, 30), 1);
    // Mid grey: a darker grey (0.097 away) against a light blue (0.111 away),
    // which the channel sums find nearer (72 against 84).
    const std::vector<uint8_t> blue = Palette({{100, 100, 100}, {128, 128, 200}});
    EXPECT_EQ(CColourMatch(blue.data(), ColourMetric::kClassic).Nearest(128, 128, 128), 1);
    EXPECT_EQ(CColourMatch(blue.data(), ColourMetric::kPerceptual).Nearest(128, 128, 128), 0);

    // Random palettes: the entry chosen is as near as the nearest by an
    // unrounded distance, to within the rounding of the coordinates.
    std::mt19937 rng(12);
    for (int round = 0; round < 3; ++round) {
        std::vector<uint8_t> palette(1024, 0);
        for (uint8_t& byte : palette)
            byte = static_cast<uint8_t>(rng());
        const CColourMatch match(palette.data(), ColourMetric::kPerceptual);
        for (int n = 0; n < 300; ++n) {
            const uint8_t rgb[3] = {static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()),
                                    static_cast<uint8_t>(rng())};
            double best = 10;
            for (int j = 0; j < 256; ++j)
                best = std::min(best, LabDistance(rgb, &palette[static_cast<size_t>(j) * 4]));
            const uint8_t chosen = match.Nearest(rgb[0], rgb[1], rgb[2]);
            ASSERT_LE(LabDistance(rgb, &palette[static_cast<size_t>(chosen) * 4]), best + 2e-4);
        }
    }
}

TEST(ColourMatch, EqualEntriesGiveTheLowestIndex)
{
    std::vector<uint8_t> palette = Palette({{255, 255, 255}});
    for (int j : {9, 5, 200}) {
        palette[j * 4] = 30; // blue
        palette[j * 4 + 1] = 20;
        palette[j * 4 + 2] = 10;
    }
    for (ColourMetric metric : {ColourMetric::kClassic, ColourMetric::kPerceptual}) {
        const CColourMatch match(palette.data(), metric);
        EXPECT_EQ(match.Nearest(10, 20, 30), 5);
        EXPECT_EQ(match.Nearest(12, 20, 31), 5);
        EXPECT_EQ(match.Nearest(250, 250, 250), 0);
        EXPECT_EQ(match.Nearest(0, 0, 0), 1); // black from entry 1 on
    }
}

TEST(ColourMatch, DitheringWorkedByHand)
{
    // Black at 0, white at 1, the rest black again.
    const CColourMatch match(Palette({{0, 0, 0}, {255, 255, 255}}).data(), ColourMetric::kClassic);

    // Mid grey 128, 4 x 2: white (error -127) sends -56 to its right, which
    // goes black, and so on; the second row, right to left, gets the
    // pattern's other half.
    EXPECT_EQ(Dithered(match, Flat(4, 2, 128, 128, 128), 4, 2), (std::vector<uint8_t>{1, 0, 1, 0, 0, 1, 0, 1}));

    // Grey 64, 2 x 2: the top row stays black (64, then 64 + 28), leaving
    // +33 at the right of the second row and +37 at its left. Right to left,
    // the right pixel (97) goes black and adds 42 to the left one, which
    // becomes white (144). Left to right, the left pixel (101) would go
    // black and the right one (141) white.
    EXPECT_EQ(Dithered(match, Flat(2, 2, 64, 64, 64), 2, 2), (std::vector<uint8_t>{0, 0, 1, 0}));

    // One column: the 7/16 ahead and the shares beside the pixel below fall
    // outside and are dropped, so only 5/16 of -127 (-40) reaches the grey
    // below, which goes black. One row: 128 white, 128 - 56 black, 128 + 32
    // white.
    EXPECT_EQ(Dithered(match, Flat(1, 2, 128, 128, 128), 1, 2), (std::vector<uint8_t>{1, 0}));
    EXPECT_EQ(Dithered(match, Flat(3, 1, 128, 128, 128), 3, 1), (std::vector<uint8_t>{1, 0, 1}));

    // The channels carry their own errors: grey 128 in red only.
    EXPECT_EQ(Dithered(CColourMatch(Palette({{0, 0, 0}, {255, 0, 0}}).data(), ColourMetric::kClassic),
                       Flat(4, 2, 128, 0, 0), 4, 2),
              (std::vector<uint8_t>{1, 0, 1, 0, 0, 1, 0, 1}));
}

TEST(ColourMatch, DitheringKeepsPaletteColoursAndItsFrame)
{
    std::mt19937 rng(13);
    std::vector<uint8_t> palette(1024, 0);
    for (uint8_t& byte : palette)
        byte = static_cast<uint8_t>(rng());
    for (ColourMetric metric : {ColourMetric::kClassic, ColourMetric::kPerceptual}) {
        const CColourMatch match(palette.data(), metric);
        // A palette colour leaves no error, so a flat picture of it stays it.
        for (int j : {0, 77, 255}) {
            const uint8_t* e = &palette[static_cast<size_t>(j) * 4];
            const uint8_t expected = match.Nearest(e[2], e[1], e[0]);
            EXPECT_EQ(Dithered(match, Flat(7, 5, e[2], e[1], e[0]), 7, 5), std::vector<uint8_t>(35, expected));
        }
        // Pad bytes on either side are neither read nor written: the same
        // picture with pads of 255 in and 0xEE out dithers as without.
        const int width = 9, height = 6;
        std::vector<uint8_t> rgb(static_cast<size_t>(3 * width * height));
        for (uint8_t& byte : rgb)
            byte = static_cast<uint8_t>(rng());
        const size_t inStride = 3 * width + 4, outStride = width + 2;
        std::vector<uint8_t> padded(inStride * height, 255), out(outStride * height, 0xEE);
        for (int y = 0; y < height; ++y)
            std::copy_n(&rgb[static_cast<size_t>(3 * width * y)], 3 * width, &padded[y * inStride]);
        ASSERT_TRUE(match.MapColours(padded.data(), inStride, width, height, out.data(), outStride, true));
        const std::vector<uint8_t> plain = Dithered(match, rgb, width, height);
        for (int y = 0; y < height; ++y)
            for (size_t x = 0; x < outStride; ++x)
                EXPECT_EQ(out[y * outStride + x], x < width ? plain[y * width + x] : 0xEE);
    }
}

TEST(ColourMatch, RefusesSizesItCannotMap)
{
    const CColourMatch match(Palette({}).data(), ColourMetric::kClassic);
    uint8_t rgb[12] = {}, out[4] = {7, 7, 7, 7};
    EXPECT_FALSE(match.MapColours(rgb, 12, 0, 1, out, 4, false));
    EXPECT_FALSE(match.MapColours(rgb, 12, 4, -1, out, 4, true));
    EXPECT_FALSE(match.MapColours(rgb, 11, 4, 1, out, 4, false));
    EXPECT_FALSE(match.MapColours(rgb, 12, 4, 1, out, 3, true));
    EXPECT_FALSE(match.MapColours(rgb, 12, 1 << 12, (1 << 10) + 1, out, 1 << 12, false));
    EXPECT_EQ(std::vector<uint8_t>(out, out + 4), std::vector<uint8_t>(4, 7));
}

} // namespace
