// Shaping a surface as a bitmap or an index buffer, and drawing it.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "TgaBytes.h"
#include "LittleEndian.h"
#include "RasterSurface.h"

namespace {

constexpr uint32_t kBackground = MakeRgb(0x12, 0x34, 0x56);

// The canvas as rows of 0x00RRGGBB, for comparing whole pictures.
std::vector<std::vector<uint32_t>> Picture(const CCanvas& canvas)
{
    std::vector<std::vector<uint32_t>> rows(static_cast<size_t>(canvas.Height()));
    for (int32_t y = 0; y < canvas.Height(); ++y)
        for (int32_t x = 0; x < canvas.Width(); ++x)
            rows[static_cast<size_t>(y)].push_back(canvas.GetPixel(x, y));
    return rows;
}

} // namespace

TEST(RasterSurfaceTest, ASurfaceNeverShapedDrawsNothing)
{
    CRasterSurface s;
    CCanvas canvas(3, 2, kBackground);
    s.BlitTo(canvas, 0, 0);
    EXPECT_EQ(Picture(canvas), (std::vector<std::vector<uint32_t>>(2, std::vector<uint32_t>(3, kBackground))));
}

TEST(RasterSurfaceTest, EightBitBitmapsShowEachPixelInItsPaletteColour)
{
    {
        SCOPED_TRACE("no palette: black everywhere except 255, which is white");
        CRasterSurface s;
        ASSERT_EQ(s.CreateDib(4, 1, 8, nullptr), 1);
        const uint8_t pixels[4] = {0, 255, 7, 254};
        std::memcpy(s.m_pBits, pixels, 4);
        CCanvas canvas(4, 1, kBackground);
        s.BlitTo(canvas, 0, 0);
        EXPECT_EQ(Picture(canvas), (std::vector<std::vector<uint32_t>>{{0, MakeRgb(255, 255, 255), 0, 0}}));
    }
    {
        SCOPED_TRACE("with a palette");
        const Bytes palette = TgaTestPalette(0x99);
        CRasterSurface s;
        ASSERT_EQ(s.CreateDib(4, 1, 8, palette.data()), 1);
        const uint8_t pixels[4] = {0, 255, 7, 128};
        std::memcpy(s.m_pBits, pixels, 4);
        CCanvas canvas(4, 1, kBackground);
        s.BlitTo(canvas, 0, 0);
        std::vector<uint32_t> expected;
        for (uint8_t i : pixels)
            expected.push_back(MakeRgb(palette[i * 4u + 2], palette[i * 4u + 1], palette[i * 4u]));
        EXPECT_EQ(Picture(canvas), (std::vector<std::vector<uint32_t>>{expected}));
    }
}

TEST(RasterSurfaceTest, SixteenAndThirtyTwoBitBitmapsUseTheirDefaultMasks)
{
    CRasterSurface s16;
    ASSERT_EQ(s16.CreateDib(3, 1, 16, nullptr), 1);
    ASSERT_TRUE(s16.m_hBitmap);
    EXPECT_EQ(s16.m_hBitmap->RedMask(), 0xF800u);
    EXPECT_EQ(s16.m_hBitmap->GreenMask(), 0x07E0u);
    EXPECT_EQ(s16.m_hBitmap->BlueMask(), 0x001Fu);
    // 5-6-5 words: red in the top five bits, blue in the low five.
    StoreU16LE(s16.m_pBits + 0, 0xF800);
    StoreU16LE(s16.m_pBits + 2, 0x07E0);
    StoreU16LE(s16.m_pBits + 4, 0x001F);
    CCanvas canvas(3, 1, kBackground);
    s16.BlitTo(canvas, 0, 0);
    EXPECT_EQ(Picture(canvas), (std::vector<std::vector<uint32_t>>{
                                   {MakeRgb(248, 0, 0), MakeRgb(0, 252, 0), MakeRgb(0, 0, 248)}}));

    CRasterSurface s32;
    ASSERT_EQ(s32.CreateDib(2, 1, 32, nullptr), 1);
    EXPECT_EQ(s32.m_hBitmap->RedMask(), 0x00FF0000u);
    EXPECT_EQ(s32.m_hBitmap->GreenMask(), 0x0000FF00u);
    EXPECT_EQ(s32.m_hBitmap->BlueMask(), 0x000000FFu);
    const uint8_t pixels[8] = {1, 2, 3, 0, 0xFE, 0x80, 0x7F, 0xAA};
    std::memcpy(s32.m_pBits, pixels, 8);
    s32.BlitTo(canvas, 1, 0);
    EXPECT_EQ(Picture(canvas), (std::vector<std::vector<uint32_t>>{
                                   {MakeRgb(248, 0, 0), MakeRgb(3, 2, 1), MakeRgb(0x7F, 0x80, 0xFE)}}));

    // Masks given are used as they are.
    CRasterSurface s555;
    ASSERT_EQ(s555.CreateDib(1, 1, 16, nullptr, 0x7C00, 0x03E0, 0x001F), 1);
    EXPECT_EQ(s555.m_hBitmap->RedMask(), 0x7C00u);
    EXPECT_EQ(s555.m_hBitmap->GreenMask(), 0x03E0u);
    StoreU16LE(s555.m_pBits, 0x03E0);
    s555.BlitTo(canvas, 0, 0);
    EXPECT_EQ(canvas.GetPixel(0, 0), MakeRgb(0, 248, 0));
}

TEST(RasterSurfaceTest, ShapingAgainDropsThePixelsAndStartsFromZeros)
{
    CRasterSurface s;
    ASSERT_EQ(s.CreateBuffer(3, 2), 1);
    EXPECT_EQ(s.m_ownsBits, 1);
    EXPECT_FALSE(s.m_hBitmap);
    std::memset(s.m_pBits, 0xAA, 6);

    ASSERT_EQ(s.CreateBuffer(5, 3), 1);
    EXPECT_EQ(s.m_ownsBits, 1);
    EXPECT_EQ(s.m_depth, 8);
    EXPECT_EQ(Bytes(s.m_pBits, s.m_pBits + 15), Bytes(15, 0));
    std::memset(s.m_pBits, 0xBB, 15);

    // The bitmap takes over the pixels; the buffer is freed now, not later.
    ASSERT_EQ(s.CreateDib(2, 2, 32, nullptr), 1);
    EXPECT_EQ(s.m_ownsBits, 0);
    ASSERT_TRUE(s.m_hBitmap);
    EXPECT_EQ(s.m_pBits, s.m_hBitmap->Bits());
    EXPECT_EQ(Bytes(s.m_pBits, s.m_pBits + 16), Bytes(16, 0));
    std::memset(s.m_pBits, 0xCC, 16);

    ASSERT_EQ(s.CreateDib(1, 3, 32, nullptr), 1);
    EXPECT_EQ(Bytes(s.m_pBits, s.m_pBits + 12), Bytes(12, 0));
}

TEST(RasterSurfaceTest, ABitmapThatCannotBeMadeLeavesNoPixelsAndTheOldSize)
{
    CRasterSurface s;
    ASSERT_EQ(s.CreateDib(2, 2, 32, nullptr), 1);
    for (const auto& [w, h] : {std::pair{0, 1}, std::pair{1, 0}, std::pair{-3, 2}, std::pair{kMaxSurfaceDimension + 1, 1}}) {
        SCOPED_TRACE(::testing::Message() << w << " x " << h);
        EXPECT_EQ(s.CreateDib(w, h, 32, nullptr), 0);
        EXPECT_FALSE(s.m_hBitmap);
        EXPECT_FALSE(s.m_pBits);
        EXPECT_EQ(s.m_width, 2);
        EXPECT_EQ(s.m_height, 2);
        EXPECT_EQ(s.m_depth, 32);
        CCanvas canvas(2, 2, kBackground);
        s.BlitTo(canvas, 0, 0);
        EXPECT_EQ(canvas.GetPixel(1, 1), kBackground);
    }
}

TEST(RasterSurfaceTest, BlitToCopiesAtNaturalSizeClippedAtTheCanvasEdges)
{
    // A 3 x 3 surface whose pixel (x, y) has red x + 1 and green y + 1.
    CRasterSurface s;
    ASSERT_EQ(s.CreateDib(3, 3, 32, nullptr), 1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            uint8_t* p = s.m_pBits + (y * 3 + x) * 4;
            p[1] = static_cast<uint8_t>(y + 1);
            p[2] = static_cast<uint8_t>(x + 1);
        }
    auto at = [](int x, int y) { return MakeRgb(static_cast<uint8_t>(x + 1), static_cast<uint8_t>(y + 1), 0); };
    const uint32_t o = kBackground;

    CCanvas canvas(4, 4, kBackground);
    s.BlitTo(canvas, -1, -2);
    s.BlitTo(canvas, 2, 3);
    EXPECT_EQ(Picture(canvas), (std::vector<std::vector<uint32_t>>{
                                   {at(1, 2), at(2, 2), o, o},
                                   {o, o, o, o},
                                   {o, o, o, o},
                                   {o, o, at(0, 0), at(1, 0)},
                               }));
    // Entirely outside: nothing changes.
    CCanvas untouched(2, 2, kBackground);
    s.BlitTo(untouched, 2, 0);
    s.BlitTo(untouched, -3, 0);
    s.BlitTo(untouched, 0, 5);
    EXPECT_EQ(Picture(untouched), (std::vector<std::vector<uint32_t>>(2, std::vector<uint32_t>(2, o))));
}
