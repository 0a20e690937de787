// The pictures a new portrait is made from: JPEG, WebP, PNG and BMP files as
// cameras and image editors write them land with their colours where they
// belong, in sRGB, upright, at the scale asked for; what cannot describe its
// pixels, or declares too many, is refused with the reason and nothing read.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>

#include "IccProfiles.h"
#include "PictureBytes.h"
#include "PictureReader.h"
#include "PngBytes.h"
#include "PngFile.h"

namespace {

constexpr int32_t kWidth = 64, kHeight = 48;

uint32_t At(const Picture& p, int32_t x, int32_t y)
{
    const uint8_t* c = &p.rgb[(static_cast<size_t>(y) * static_cast<size_t>(p.width) + static_cast<size_t>(x)) * 3];
    return uint32_t{c[0]} << 16 | uint32_t{c[1]} << 8 | c[2];
}

// Each channel within the tolerance a JPEG's losses leave in a block's middle.
bool Near(uint32_t a, uint32_t b, int tolerance = 12)
{
    for (int shift : {16, 8, 0})
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

// The middle of each quadrant of a picture of width x height.
void ExpectQuadrants(const Picture& p, const int32_t (&quadrantAt)[4])
{
    const int32_t xs[2] = {p.width / 4, p.width * 3 / 4}, ys[2] = {p.height / 4, p.height * 3 / 4};
    for (int32_t q = 0; q < 4; ++q)
        EXPECT_TRUE(Near(At(p, xs[q % 2], ys[q / 2]), QuadrantColour(quadrantAt[q])))
            << "quadrant " << q << ": " << std::hex << At(p, xs[q % 2], ys[q / 2]);
}

PictureResult Read(const std::vector<uint8_t>& bytes, Picture& p, PictureFailure& why, PictureRequest request = {})
{
    return CPictureReader::Read(bytes, request, p, why);
}

} // namespace

TEST(PictureReader, JpegFilesLandUprightAtTheScaleAsked)
{
    const std::vector<uint8_t> rgb = QuadrantPicture(kWidth, kHeight);
    Picture p;
    PictureFailure why;
    for (bool progressive : {false, true}) {
        SCOPED_TRACE(progressive ? "progressive" : "baseline");
        ASSERT_EQ(Read(JpegBytes(kWidth, kHeight, rgb, 95, 1, progressive), p, why), PictureResult::kOk) << why.reason;
        EXPECT_EQ(p.width, kWidth);
        EXPECT_EQ(p.height, kHeight);
        ExpectQuadrants(p, {0, 1, 2, 3});
    }

    // Wanted at 16 x 12 or more: decoded at a quarter, the largest step that
    // still covers it.
    PictureRequest small;
    small.minWidth = 16;
    small.minHeight = 12;
    ASSERT_EQ(Read(JpegBytes(kWidth, kHeight, rgb, 95), p, why, small), PictureResult::kOk);
    EXPECT_EQ(p.width, 16);
    EXPECT_EQ(p.height, 12);
    ExpectQuadrants(p, {0, 1, 2, 3});

    // EXIF orientation 6 asks for a quarter turn clockwise: the picture
    // stands 48 x 64, the stored top left at the top right; 3 turns it half
    // round; 2 mirrors it.
    ASSERT_EQ(Read(JpegBytes(kWidth, kHeight, rgb, 95, 6), p, why), PictureResult::kOk);
    EXPECT_EQ(p.width, kHeight);
    EXPECT_EQ(p.height, kWidth);
    ExpectQuadrants(p, {2, 0, 3, 1});
    ASSERT_EQ(Read(JpegBytes(kWidth, kHeight, rgb, 95, 3), p, why), PictureResult::kOk);
    ExpectQuadrants(p, {3, 2, 1, 0});
    ASSERT_EQ(Read(JpegBytes(kWidth, kHeight, rgb, 95, 2), p, why), PictureResult::kOk);
    ExpectQuadrants(p, {1, 0, 3, 2});
}

TEST(PictureReader, WebpAndBmpFilesAreReadExactly)
{
    // 21 pixels a row: a BMP row is widened to 64 bytes.
    const std::vector<uint8_t> rgb = QuadrantPicture(21, 11);
    for (const auto& [kind, bytes] : {std::pair{"WebP", WebpBytes(21, 11, rgb)}, std::pair{"BMP", BmpBytes(21, 11, rgb)}}) {
        SCOPED_TRACE(kind);
        Picture p;
        PictureFailure why;
        ASSERT_EQ(Read(bytes, p, why), PictureResult::kOk) << why.reason;
        EXPECT_EQ(p.width, 21);
        EXPECT_EQ(p.height, 11);
        EXPECT_EQ(p.rgb, rgb);
    }
}

TEST(PictureReader, WhatCannotDescribeItsPixelsOrDeclaresTooManyIsRefusedWithTheReason)
{
    const std::vector<uint8_t> rgb = QuadrantPicture(kWidth, kHeight);
    const std::vector<uint8_t> jpeg = JpegBytes(kWidth, kHeight, rgb, 90);
    // The frame header's height and width, after FF C0, its length and the
    // precision: 20000 x 20000 is over 100 megapixels.
    std::vector<uint8_t> huge = jpeg;
    for (size_t i = 0; i + 9 < huge.size(); ++i)
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
            for (size_t k = 5; k < 9; k += 2) {
                huge[i + k] = 0x4E;
                huge[i + k + 1] = 0x20;
            }
            break;
        }
    std::vector<uint8_t> webp = WebpBytes(kWidth, kHeight, rgb);
    const std::vector<uint8_t> bmp = BmpBytes(kWidth, kHeight, rgb);
    std::vector<uint8_t> hugeBmp = bmp;
    hugeBmp[18] = hugeBmp[19] = hugeBmp[22] = hugeBmp[23] = 0xFF; // 65535 x 65535
    hugeBmp[20] = hugeBmp[24] = 0;
    std::vector<uint8_t> badChunk = webp;
    for (size_t i = 21; i < 40 && i < badChunk.size(); ++i)
        badChunk[i] ^= 0x5A; // the lossless stream's header and first codes
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        PictureResult result;
        const char* reason;
    } cases[] = {
        {"a JPEG cut short", std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + static_cast<long>(jpeg.size() / 2)),
         PictureResult::kBroken, "the JPEG file is cut short"},
        {"a JPEG of 20000 x 20000", huge, PictureResult::kTooLarge,
         "the JPEG file declares 20000 x 20000 pixels, more than can be read"},
        {"a WebP with a bad chunk", badChunk, PictureResult::kBroken, "the WebP file is damaged or cut short"},
        {"a WebP cut short", std::vector<uint8_t>(webp.begin(), webp.begin() + 30), PictureResult::kBroken,
         "the WebP file is damaged or cut short"},
        {"a BMP cut short", std::vector<uint8_t>(bmp.begin(), bmp.begin() + 200), PictureResult::kBroken,
         "the BMP file is damaged or cut short"},
        {"a BMP of 65535 x 65535", hugeBmp, PictureResult::kTooLarge,
         "the BMP file declares 65535 x 65535 pixels, more than can be read"},
        {"a GIF", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}, PictureResult::kUnknownKind,
         "the file is neither a JPEG, a WebP, a PNG, a BMP nor a TGA file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Picture p;
        PictureFailure why;
        EXPECT_EQ(Read(c.bytes, p, why), c.result);
        EXPECT_EQ(why.reason, c.reason);
        EXPECT_TRUE(p.rgb.empty());
        EXPECT_EQ(p.width, 0);
    }
}

TEST(PictureReader, AnEmbeddedProfileBringsThePixelsToSrgbAndOneThatCannotServeIsPassedOver)
{
    const std::vector<uint8_t> grey(16 * 8 * 3, 128);
    const std::vector<uint8_t> linear = LinearRgbProfile();
    const struct {
        const char* what;
        std::vector<uint8_t> profile;
        int grey;
    } profiles[] = {
        {"no profile", {}, 128},
        // Linear light of half the white is 188 in sRGB.
        {"a linear RGB profile", linear, 188},
        {"a grey profile", LinearGreyProfile(), 128},
        {"a profile whose tags cannot be read", WithUnreadableTags(linear), 128},
        {"bytes that are no profile", std::vector<uint8_t>(300, 0x5A), 128},
    };
    for (const auto& profile : profiles) {
        const std::pair<const char*, std::vector<uint8_t>> files[] = {
            {"JPEG", JpegBytes(16, 8, grey, 95, 1, false, profile.profile)},
            {"PNG", PngBytes(16, 8, grey, profile.profile)},
            {"WebP", WebpBytes(16, 8, grey, profile.profile)},
        };
        for (const auto& [kind, bytes] : files) {
            SCOPED_TRACE(std::string(kind) + " with " + profile.what);
            Picture p;
            PictureFailure why;
            ASSERT_EQ(Read(bytes, p, why), PictureResult::kOk) << why.reason;
            ASSERT_EQ(p.rgb.size(), grey.size());
            for (size_t i = 0; i < p.rgb.size(); ++i)
                ASSERT_NEAR(p.rgb[i], profile.grey, 2) << "sample " << i;
        }
    }
}

TEST(PictureReader, PngPicturesMayHaveMorePixelsThanAnImportButNoMoreThanAsked)
{
    // 2500 x 2000 is 5 megapixels, over the import bound of about 4.2.
    const std::vector<uint8_t> rgb = QuadrantPicture(2500, 2000);
    const std::vector<uint8_t> png = PngBytes(2500, 2000, rgb);
    Picture p;
    PictureFailure why;
    ASSERT_EQ(Read(png, p, why), PictureResult::kOk) << why.reason;
    EXPECT_EQ(p.width, 2500);
    EXPECT_EQ(p.height, 2000);
    EXPECT_TRUE(p.rgb == rgb);
    PngPicture imported;
    EXPECT_EQ(ReadPng(png, imported), PngReadResult::kTooLarge);

    // Declared sizes over the request, or more pixels than the file's few
    // bytes could describe, are refused from the header, before any row is
    // given memory.
    PictureRequest fourMegapixels;
    fourMegapixels.maxPixels = 4'000'000;
    const std::vector<uint8_t> small = PngBytes(16, 8, QuadrantPicture(16, 8));
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        PictureRequest request;
        PictureResult result;
        const char* reason;
    } cases[] = {
        {"5 megapixels where 4 may be", png, fourMegapixels, PictureResult::kTooLarge,
         "the PNG file has more pixels than can be read"},
        {"20000 x 20000 declared", WithDeclaredPngSize(small, 20000, 20000), {}, PictureResult::kTooLarge,
         "the PNG file has more pixels than can be read"},
        {"9000 x 9000 declared in a few bytes", WithDeclaredPngSize(small, 9000, 9000), {}, PictureResult::kBroken,
         "the PNG file is damaged or cut short"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Read(c.bytes, p, why, c.request), c.result);
        EXPECT_EQ(why.reason, c.reason);
        EXPECT_TRUE(p.rgb.empty());
        EXPECT_EQ(p.width, 0);
    }
}
