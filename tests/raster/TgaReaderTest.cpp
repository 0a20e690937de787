// Reading TGA files into a surface: every accepted variant on tiny fixtures
// whose pixels are all distinct, the refused ones, and files that are cut
// short or run past their own image.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "TgaBytes.h"
#include "RasterSurface.h"
#include "TgaBlockReader.h"
#include "TempDir.h"

namespace {

// The four-colour fixture, as surface rows top to bottom. Every channel is a
// multiple of 8 so that the 16-bit form holds it exactly.
const Bgra kTopLeft{0x10, 0x20, 0x30, 0x40};
const Bgra kTopRight{0x50, 0x60, 0x70, 0x80};
const Bgra kBottomLeft{0x90, 0xA0, 0xB0, 0xC0};
const Bgra kBottomRight{0xD0, 0xE0, 0xF0, 0xF8};
const std::vector<std::vector<Bgra>> kFourColours{{kTopLeft, kTopRight}, {kBottomLeft, kBottomRight}};

Bgra PixelAt(const CRasterSurface& s, int32_t x, int32_t y)
{
    const uint8_t* p = s.m_pBits + (static_cast<size_t>(y) * static_cast<size_t>(s.m_width) + static_cast<size_t>(x)) * 4;
    return {p[0], p[1], p[2], p[3]};
}

// All pixels of a 32-bit surface, top row first.
std::vector<std::vector<Bgra>> Rows32(const CRasterSurface& s)
{
    std::vector<std::vector<Bgra>> rows(static_cast<size_t>(s.m_height));
    for (int32_t y = 0; y < s.m_height; ++y)
        for (int32_t x = 0; x < s.m_width; ++x)
            rows[static_cast<size_t>(y)].push_back(PixelAt(s, x, y));
    return rows;
}

std::vector<std::vector<Bgra>> ExpectedRows(const std::vector<std::vector<Bgra>>& rows, int depth)
{
    std::vector<std::vector<Bgra>> out = rows;
    for (auto& row : out)
        for (Bgra& p : row)
            p = Expected(p, depth);
    return out;
}

Bytes SurfaceBytes(const CRasterSurface& s)
{
    const size_t n = static_cast<size_t>(s.m_width) * static_cast<size_t>(s.m_height) * static_cast<size_t>(s.m_depth) / 8;
    return Bytes(s.m_pBits, s.m_pBits + n);
}

bool AllZero(const CRasterSurface& s)
{
    const Bytes b = SurfaceBytes(s);
    for (uint8_t v : b)
        if (v != 0)
            return false;
    return true;
}

// The rows in the order a file with this origin stores them.
std::vector<std::vector<Bgra>> FileOrder(std::vector<std::vector<Bgra>> rows, bool topRowFirst)
{
    if (!topRowFirst)
        std::reverse(rows.begin(), rows.end());
    return rows;
}

// 8-bit indices as run-length packets: a run packet for each stretch of
// equal indices, a one-pixel literal packet for each index on its own.
Bytes IndexPackets(const Bytes& indices)
{
    Bytes out;
    for (size_t i = 0; i < indices.size();) {
        size_t n = 1;
        while (i + n < indices.size() && indices[i + n] == indices[i] && n < 128)
            ++n;
        out.push_back(static_cast<uint8_t>(n > 1 ? 0x80 | (n - 1) : 0));
        out.push_back(indices[i]);
        i += n;
    }
    return out;
}

class TgaReaderTest : public ::testing::Test {
protected:
    // Writes the file and reads it into `surface`.
    int32_t Load(const Bytes& file, CRasterSurface& surface, const std::string& name = "IN.TGA")
    {
        dir.WriteFile(name, file);
        return surface.LoadTga(dir / name);
    }
    TempDir dir;
};

} // namespace

TEST_F(TgaReaderTest, FourColoursReadTheSameInEveryTrueColourVariant)
{
    for (int depth : {16, 24, 32})
        for (bool top : {true, false})
            for (bool runLength : {false, true})
                for (int extra = 0; extra < 4; ++extra) {
                    SCOPED_TRACE(::testing::Message() << "depth " << depth << (top ? " top" : " bottom")
                                                      << (runLength ? " rle" : " raw") << " extra " << extra);
                    TgaLayout layout;
                    layout.imageType = runLength ? 10 : 2;
                    layout.depth = static_cast<uint8_t>(depth);
                    layout.width = 2;
                    layout.height = 2;
                    layout.topRowFirst = top;
                    if (extra == 1)
                        layout.id = {'P', 'O', 'R', 'T', 'R', 'A', 'I', 'T', 0};
                    if (extra == 2) { // 256 entries of 24 bits: 768 bytes to pass over
                        layout.colourMapType = 1;
                        layout.colourMapLength = 256;
                        layout.colourMapEntrySize = 24;
                        layout.colourMap = TgaTestColourMap();
                    }
                    if (extra == 3) { // both, with a 32-bit map of 3 entries
                        layout.id = {7};
                        layout.colourMapType = 1;
                        layout.colourMapLength = 3;
                        layout.colourMapEntrySize = 32;
                        layout.colourMap = Bytes(12, 0xEE);
                    }
                    const auto fileRows = FileOrder(kFourColours, top);
                    Bytes data;
                    if (runLength) // a packet that crosses from one row into the next
                        data = Join({LiteralPacket({fileRows[0][0]}, depth),
                                     LiteralPacket({fileRows[0][1], fileRows[1][0], fileRows[1][1]}, depth)});
                    else
                        data = RawRows(fileRows, depth);

                    CRasterSurface s;
                    ASSERT_EQ(Load(MakeTga(layout, data), s), 1);
                    ASSERT_TRUE(s.m_hBitmap);
                    EXPECT_EQ(s.m_depth, 32);
                    EXPECT_EQ(s.m_ownsBits, 0);
                    EXPECT_FALSE(s.m_pPalette);
                    ASSERT_EQ(s.m_width, 2);
                    ASSERT_EQ(s.m_height, 2);
                    EXPECT_EQ(Rows32(s), ExpectedRows(kFourColours, depth));
                }
}

TEST_F(TgaReaderTest, RunPacketsRepeatOnePixelAcrossRowsInEitherOrigin)
{
    const Bgra a{10, 20, 30, 0}, b{40, 50, 60, 0}, c{70, 80, 90, 0};
    TgaLayout layout;
    layout.imageType = 10;
    layout.width = 4;
    layout.height = 1;
    {
        SCOPED_TRACE("0x83 then 10, 20, 30");
        CRasterSurface s;
        ASSERT_EQ(Load(MakeTga(layout, {0x83, 10, 20, 30}), s), 1);
        EXPECT_EQ(Rows32(s), (std::vector<std::vector<Bgra>>{{a, a, a, a}}));
    }
    // Six pixels in two rows of three: a run of four, then a literal of two.
    layout.width = 3;
    layout.height = 2;
    const Bytes data = Join({RunPacket(4, a, 24), LiteralPacket({b, c}, 24)});
    for (bool top : {true, false}) {
        SCOPED_TRACE(top ? "top row first" : "bottom row first");
        layout.topRowFirst = top;
        CRasterSurface s;
        ASSERT_EQ(Load(MakeTga(layout, data), s), 1);
        const std::vector<std::vector<Bgra>> fileRows{{a, a, a}, {a, b, c}};
        EXPECT_EQ(Rows32(s), FileOrder(fileRows, top));
    }
}

TEST_F(TgaReaderTest, SixteenBitValuesShiftEachChannelUpAndIgnoreBitFifteen)
{
    TgaLayout layout;
    layout.depth = 16;
    layout.width = 4;
    layout.height = 1;
    // 0x7FFF and 0xFFFF are white; 0x7C00, 0x03E0 and 0x001F one channel each.
    const Bytes data{0xFF, 0x7F, 0xFF, 0xFF, 0x00, 0x7C, 0xE0, 0x03};
    CRasterSurface s;
    ASSERT_EQ(Load(MakeTga(layout, data), s), 1);
    EXPECT_EQ(Rows32(s), (std::vector<std::vector<Bgra>>{
                             {{248, 248, 248, 0}, {248, 248, 248, 0}, {0, 0, 248, 0}, {0, 248, 0, 0}}}));
    layout.imageType = 10;
    ASSERT_EQ(Load(MakeTga(layout, {0x80, 0x1F, 0x00, 0x82, 0xFF, 0x7F}), s), 1);
    EXPECT_EQ(Rows32(s), (std::vector<std::vector<Bgra>>{
                             {{248, 0, 0, 0}, {248, 248, 248, 0}, {248, 248, 248, 0}, {248, 248, 248, 0}}}));
}

TEST_F(TgaReaderTest, ColourMappedFilesFillAnIndexBufferOrAnEightBitBitmap)
{
    // Indices 0..5 in a 3 x 2 image, surface rows top to bottom.
    const Bytes topRows{5, 200, 7, 0, 255, 128};
    TgaLayout layout;
    layout.imageType = 1;
    layout.depth = 8;
    layout.width = 3;
    layout.height = 2;
    layout.colourMapType = 1;
    layout.colourMapLength = 256;
    layout.colourMapEntrySize = 24;
    layout.colourMap = TgaTestColourMap();
    const Bytes bottomRows{0, 255, 128, 5, 200, 7};

    for (bool top : {true, false}) {
        SCOPED_TRACE(top ? "top row first" : "bottom row first");
        layout.topRowFirst = top;
        const Bytes file = MakeTga(layout, top ? topRows : bottomRows);

        // A surface holding an index buffer gets a new one at the file's size.
        CRasterSurface buffer;
        ASSERT_EQ(buffer.CreateBuffer(7, 9), 1);
        ASSERT_EQ(Load(file, buffer), 1);
        EXPECT_EQ(buffer.m_ownsBits, 1);
        EXPECT_FALSE(buffer.m_hBitmap);
        EXPECT_EQ(buffer.m_depth, 8);
        ASSERT_EQ(buffer.m_width, 3);
        ASSERT_EQ(buffer.m_height, 2);
        EXPECT_EQ(SurfaceBytes(buffer), topRows);
        ASSERT_TRUE(buffer.m_pPalette);
        EXPECT_EQ(Bytes(buffer.m_pPalette.get(), buffer.m_pPalette.get() + 1024), TgaTestPalette(0));

        // Any other surface becomes an 8-bit bitmap that shows the palette's colours.
        CRasterSurface bitmap;
        ASSERT_EQ(bitmap.CreateDib(2, 2, 32, nullptr), 1);
        ASSERT_EQ(Load(file, bitmap), 1);
        EXPECT_EQ(bitmap.m_ownsBits, 0);
        ASSERT_TRUE(bitmap.m_hBitmap);
        EXPECT_EQ(bitmap.m_depth, 8);
        // Rows lie at a stride of the width, 3 bytes, not the bitmap's padded 4.
        EXPECT_EQ(SurfaceBytes(bitmap), topRows);
        ASSERT_TRUE(bitmap.m_pPalette);
        EXPECT_EQ(Bytes(bitmap.m_pPalette.get(), bitmap.m_pPalette.get() + 1024), TgaTestPalette(0));
        CCanvas canvas(4, 1, MakeRgb(1, 2, 3));
        bitmap.BlitTo(canvas, 0, 0);
        const Bytes palette = TgaTestPalette();
        const uint32_t colour5 = MakeRgb(palette[5 * 4 + 2], palette[5 * 4 + 1], palette[5 * 4 + 0]);
        const uint32_t colour200 = MakeRgb(palette[200 * 4 + 2], palette[200 * 4 + 1], palette[200 * 4 + 0]);
        EXPECT_EQ(canvas.GetPixel(0, 0), colour5);
        EXPECT_EQ(canvas.GetPixel(1, 0), colour200);
        EXPECT_EQ(canvas.GetPixel(3, 0), MakeRgb(1, 2, 3));
    }
}

TEST_F(TgaReaderTest, ColourMapsAreReadAsOtherProgramsWriteThem)
{
    // Entry k of a map is colour first + k; colours the map does not reach
    // are black. Entries of 15 and 16 bits hold five bits a channel, 32-bit
    // entries an alpha byte that is not kept.
    struct Case {
        const char* what;
        uint16_t first;
        uint8_t entryBits;
        Bytes map; // three entries
        Bytes colours; // palette colours first .. first + 2 as blue, green, red
    };
    const std::vector<Case> cases{
        {"three 24-bit entries", 0, 24, {1, 2, 3, 4, 5, 6, 7, 8, 9}, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"from index 10", 10, 24, {1, 2, 3, 4, 5, 6, 7, 8, 9}, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"32-bit entries", 0, 32, {1, 2, 3, 0xFF, 4, 5, 6, 0x80, 7, 8, 9, 0}, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        // 0x7C1F: red 31, green 0, blue 31; 0x03E0: green 31; 0x8001 (bit 15 set): blue 1.
        {"16-bit entries", 0, 16, {0x1F, 0x7C, 0xE0, 0x03, 0x01, 0x80}, {248, 0, 248, 0, 248, 0, 8, 0, 0}},
        {"15-bit entries", 5, 15, {0x1F, 0x7C, 0xE0, 0x03, 0x01, 0x80}, {248, 0, 248, 0, 248, 0, 8, 0, 0}},
    };
    for (const Case& c : cases) {
        for (bool runLength : {false, true}) {
            for (bool top : {true, false}) {
                SCOPED_TRACE(::testing::Message() << c.what << (runLength ? " rle" : " raw") << (top ? " top" : " bottom"));
                TgaLayout layout;
                layout.imageType = runLength ? 9 : 1;
                layout.depth = 8;
                layout.width = 3;
                layout.height = 2;
                layout.topRowFirst = top;
                layout.colourMapType = 1;
                layout.colourMapFirst = c.first;
                layout.colourMapLength = 3;
                layout.colourMapEntrySize = c.entryBits;
                layout.colourMap = c.map;
                const uint8_t a = static_cast<uint8_t>(c.first), b = static_cast<uint8_t>(c.first + 1),
                              d = static_cast<uint8_t>(c.first + 2);
                // Runs that cross from one row into the next, and single pixels.
                const Bytes topRows{a, b, b, b, d, d};
                const Bytes fileRows = top ? topRows : Bytes{b, d, d, a, b, b};
                const Bytes data = runLength ? IndexPackets(fileRows) : fileRows;
                CRasterSurface s;
                ASSERT_EQ(s.CreateBuffer(1, 1), 1);
                ASSERT_EQ(Load(MakeTga(layout, data), s), 1);
                EXPECT_EQ(SurfaceBytes(s), topRows);
                Bytes expected(1024, 0);
                for (size_t k = 0; k < 3; ++k)
                    std::copy(c.colours.begin() + k * 3, c.colours.begin() + k * 3 + 3, expected.begin() + (c.first + k) * 4);
                EXPECT_EQ(Bytes(s.m_pPalette.get(), s.m_pPalette.get() + 1024), expected);

                // An index the map does not hold is refused, and so is a map
                // or a picture that ends early.
                TgaFailure why = TgaFailure::kNone;
                Bytes outside = data;
                outside[runLength ? 1 : 0] = static_cast<uint8_t>(c.first + 3); // the first pixel
                dir.WriteFile("OUT.TGA", MakeTga(layout, outside));
                EXPECT_EQ(s.LoadTga(dir / "OUT.TGA", why), -2);
                EXPECT_EQ(why, TgaFailure::kIndexOutsideMap);
                const Bytes whole = MakeTga(layout, data);
                const size_t mapEnd = 18 + c.map.size();
                for (size_t cut : {size_t{18}, mapEnd - 1, whole.size() - 1}) {
                    dir.WriteFile("CUT.TGA", Bytes(whole.begin(), whole.begin() + static_cast<long>(cut)));
                    EXPECT_EQ(s.LoadTga(dir / "CUT.TGA", why), -2) << cut;
                    EXPECT_EQ(why, TgaFailure::kCutShort) << cut;
                }
            }
        }
    }
}

TEST_F(TgaReaderTest, RefusedTypesAndDepthsLeaveABlankSurfaceAtTheFileSize)
{
    {
        SCOPED_TRACE("type 1 with 16-bit pixels keeps its palette");
        TgaLayout layout;
        layout.imageType = 1;
        layout.depth = 16;
        layout.width = 3;
        layout.height = 2;
        layout.colourMapType = 1;
        layout.colourMapLength = 256;
        layout.colourMapEntrySize = 24;
        layout.colourMap = TgaTestColourMap();
        CRasterSurface s;
        ASSERT_EQ(s.CreateBuffer(1, 1), 1);
        s.m_pBits[0] = 9;
        EXPECT_EQ(Load(MakeTga(layout, Bytes(12, 0x77)), s), -2);
        EXPECT_EQ(s.m_width, 3);
        EXPECT_EQ(s.m_height, 2);
        EXPECT_EQ(s.m_depth, 8);
        EXPECT_EQ(s.m_ownsBits, 1);
        EXPECT_TRUE(AllZero(s));
        ASSERT_TRUE(s.m_pPalette);
        EXPECT_EQ(Bytes(s.m_pPalette.get(), s.m_pPalette.get() + 1024), TgaTestPalette(0));
    }
    // Grey and true-colour files of depths that are not read, and no image.
    const std::vector<std::pair<uint8_t, uint8_t>> refused{{3, 24}, {11, 32}, {0, 24}, {2, 8}, {10, 8}, {10, 0}};
    for (const auto& [type, depth] : refused) {
        SCOPED_TRACE(::testing::Message() << "type " << int(type) << " depth " << int(depth));
        TgaLayout layout;
        layout.imageType = type;
        layout.depth = depth;
        layout.width = 3;
        layout.height = 2;
        CRasterSurface s;
        ASSERT_EQ(s.CreateBuffer(1, 1), 1);
        s.m_pBits[0] = 9;
        EXPECT_EQ(Load(MakeTga(layout, Bytes(64, 0x99)), s), -2);
        ASSERT_TRUE(s.m_hBitmap);
        EXPECT_EQ(s.m_depth, 32);
        EXPECT_EQ(s.m_ownsBits, 0);
        EXPECT_EQ(s.m_width, 3);
        EXPECT_EQ(s.m_height, 2);
        EXPECT_TRUE(AllZero(s));
        EXPECT_FALSE(s.m_pPalette);
    }
}

TEST_F(TgaReaderTest, AFileThatCannotBeOpenedLeavesTheSurfaceAsItWas)
{
    TgaLayout layout;
    layout.imageType = 1;
    layout.depth = 8;
    layout.width = 2;
    layout.height = 1;
    layout.colourMapType = 1;
    layout.colourMapLength = 256;
    layout.colourMapEntrySize = 24;
    layout.colourMap = TgaTestColourMap();
    CRasterSurface s;
    ASSERT_EQ(s.CreateBuffer(3, 1), 1);
    ASSERT_EQ(Load(MakeTga(layout, {7, 8}), s), 1);
    uint8_t* const bits = s.m_pBits;
    const uint8_t* const palette = s.m_pPalette.get();

    EXPECT_EQ(s.LoadTga(dir / "MISSING.TGA"), -1);
    EXPECT_EQ(s.LoadTga(dir / "NOFOLDER\\IN.TGA"), -1);
    EXPECT_EQ(s.m_pBits, bits);
    EXPECT_EQ(s.m_pPalette.get(), palette);
    EXPECT_EQ(s.m_width, 2);
    EXPECT_EQ(s.m_ownsBits, 1);
    EXPECT_EQ(SurfaceBytes(s), (Bytes{7, 8}));
}

TEST_F(TgaReaderTest, PathsAreMatchedWithoutRegardToCaseAndWithBackslashes)
{
    dir.MakeFolder("Portraits");
    TgaLayout layout;
    layout.width = 1;
    layout.height = 1;
    dir.WriteFile("Portraits/Face.tga", MakeTga(layout, {1, 2, 3}));
    CRasterSurface s;
    ASSERT_EQ(s.LoadTga(dir.Path() + "\\PORTRAITS\\FACE.TGA"), 1);
    EXPECT_EQ(PixelAt(s, 0, 0), (Bgra{1, 2, 3, 0}));
}

TEST_F(TgaReaderTest, PacketsThatRunPastTheLastPixelAreCutAtTheImageEnd)
{
    const Bgra a{1, 2, 3, 0}, b{4, 5, 6, 0}, c{7, 8, 9, 0}, d{10, 11, 12, 0};
    TgaLayout layout;
    layout.imageType = 10;
    layout.width = 2;
    layout.height = 1;
    struct Case {
        const char* what;
        Bytes data;
        std::vector<Bgra> pixels;
    };
    const std::vector<Case> cases{
        {"run of 4 into 2 pixels", {0x83, 1, 2, 3}, {a, a}},
        {"run of 128 after one pixel", Join({LiteralPacket({b}, 24), RunPacket(128, c, 24)}), {b, c}},
        {"literal of 4 into 2 pixels", LiteralPacket({a, b, c, d}, 24), {a, b}},
        {"bytes after the last packet", Join({RunPacket(2, d, 24), Bytes(300, 0xFF)}), {d, d}},
    };
    for (const Case& c0 : cases) {
        SCOPED_TRACE(c0.what);
        for (bool top : {true, false}) {
            layout.topRowFirst = top;
            CRasterSurface s;
            ASSERT_EQ(Load(MakeTga(layout, c0.data), s), 1);
            EXPECT_EQ(Rows32(s), (std::vector<std::vector<Bgra>>{c0.pixels}));
        }
    }
}

TEST_F(TgaReaderTest, FilesTooShortForTheirPixelsAreRefusedBeforeAnythingIsAllocated)
{
    // A larger file first leaves non-zero bytes in memory that the next block
    // buffer may reuse; the short run-length file below must not pick them up.
    TgaLayout big;
    big.width = 100;
    big.height = 100;
    CRasterSurface warm;
    ASSERT_EQ(Load(MakeTga(big, Bytes(30000, 0xAB)), warm, "BIG.TGA"), 1);

    for (bool top : {true, false}) {
        SCOPED_TRACE(top ? "top" : "bottom");
        TgaLayout layout;
        layout.width = 2;
        layout.height = 2;
        layout.topRowFirst = top;
        // Uncompressed: four bytes cannot hold four pixels of three.
        layout.imageType = 2;
        CRasterSurface raw;
        ASSERT_EQ(raw.CreateBuffer(2, 2), 1);
        EXPECT_EQ(Load(MakeTga(layout, Bytes{11, 22, 33, 44}), raw), -2);
        EXPECT_FALSE(raw.m_pBits);
        // Run-length: the packets end before the last pixel.
        layout.imageType = 10;
        CRasterSurface rle;
        TgaFailure why = TgaFailure::kNone;
        dir.WriteFile("RLE.TGA", MakeTga(layout, Bytes{0x03, 11, 22, 33, 44}));
        EXPECT_EQ(rle.LoadTga(dir / "RLE.TGA", why), -2);
        EXPECT_EQ(why, TgaFailure::kCutShort);
        EXPECT_TRUE(AllZero(rle));
        // Cut right after the header.
        dir.WriteFile("HEADER.TGA", MakeTgaHeader(layout));
        EXPECT_EQ(rle.LoadTga(dir / "HEADER.TGA", why), -2);
        EXPECT_EQ(why, TgaFailure::kCutShort);
    }
    {
        SCOPED_TRACE("colour-mapped rows not in the file");
        TgaLayout layout;
        layout.imageType = 1;
        layout.depth = 8;
        layout.width = 3;
        layout.height = 3;
        layout.colourMapType = 1;
        layout.colourMapLength = 256;
        layout.colourMapEntrySize = 24;
        layout.colourMap = TgaTestColourMap();
        CRasterSurface s;
        ASSERT_EQ(s.CreateBuffer(1, 1), 1);
        EXPECT_EQ(Load(MakeTga(layout, {1, 2, 3, 4}), s), -2);
        EXPECT_FALSE(s.m_pBits);
        EXPECT_TRUE(s.m_pPalette);
        // Cut inside the colour map.
        EXPECT_EQ(Load(Join({MakeTgaHeader(layout), Bytes{1, 2, 3, 4}}), s), -2);
        EXPECT_FALSE(s.m_pBits);
    }
    {
        SCOPED_TRACE("a header that claims far more pixels than the file could describe");
        TgaLayout layout;
        layout.imageType = 10;
        layout.width = 16000;
        layout.height = 16000;
        CRasterSurface s;
        EXPECT_EQ(Load(MakeTga(layout, Bytes(600, 0xFF)), s), -2);
        EXPECT_FALSE(s.m_pBits);
    }
    {
        SCOPED_TRACE("a file shorter than a header has no size to make a surface of");
        CRasterSurface s;
        ASSERT_EQ(s.CreateDib(1, 1, 32, nullptr), 1);
        EXPECT_EQ(Load(Bytes{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, s), -2);
        EXPECT_FALSE(s.m_pBits);
        EXPECT_FALSE(s.m_hBitmap);
        EXPECT_EQ(Load(Bytes{}, s), -2);
        EXPECT_FALSE(s.m_pBits);
    }
}

TEST_F(TgaReaderTest, SizesNoSurfaceCanTakeStoreNoPixelsAndReturnMinusTwo)
{
    struct Case {
        uint8_t type;
        uint16_t width;
        uint16_t height;
    };
    for (const Case& c : {Case{2, 0, 2}, Case{10, 2, 0}, Case{2, 16385, 1}, Case{10, 1, 65535}}) {
        SCOPED_TRACE(::testing::Message() << "type " << int(c.type) << " " << c.width << " x " << c.height);
        TgaLayout layout;
        layout.imageType = c.type;
        layout.width = c.width;
        layout.height = c.height;
        CRasterSurface s;
        ASSERT_EQ(s.CreateBuffer(2, 2), 1);
        EXPECT_EQ(Load(MakeTga(layout, Bytes(600, 0x55)), s), -2);
        EXPECT_FALSE(s.m_pBits);
        EXPECT_FALSE(s.m_hBitmap);
        EXPECT_EQ(s.m_ownsBits, 0);
        CCanvas canvas(2, 2, MakeRgb(9, 9, 9));
        s.BlitTo(canvas, 0, 0);
        EXPECT_EQ(canvas.GetPixel(0, 0), MakeRgb(9, 9, 9));
    }
    {
        SCOPED_TRACE("colour-mapped, too wide for an index buffer");
        TgaLayout layout;
        layout.imageType = 1;
        layout.depth = 8;
        layout.width = 20000;
        layout.height = 1;
        layout.colourMapType = 1;
        layout.colourMapLength = 256;
        layout.colourMapEntrySize = 24;
        layout.colourMap = TgaTestColourMap();
        CRasterSurface s;
        ASSERT_EQ(s.CreateBuffer(2, 2), 1);
        EXPECT_EQ(Load(MakeTga(layout, Bytes(20000, 1)), s), -2);
        EXPECT_FALSE(s.m_pBits);
        EXPECT_EQ(s.m_ownsBits, 0);
        EXPECT_TRUE(s.m_pPalette);
    }
    {
        SCOPED_TRACE("colour-mapped, no rows: an empty index buffer, nothing to read");
        TgaLayout layout;
        layout.imageType = 1;
        layout.depth = 8;
        layout.width = 5;
        layout.height = 0;
        layout.colourMapType = 1;
        layout.colourMapLength = 256;
        layout.colourMapEntrySize = 24;
        layout.colourMap = TgaTestColourMap();
        CRasterSurface buffer;
        ASSERT_EQ(buffer.CreateBuffer(2, 2), 1);
        EXPECT_EQ(Load(MakeTga(layout, {}), buffer), 1);
        EXPECT_EQ(buffer.m_ownsBits, 1);
        EXPECT_EQ(buffer.m_height, 0);
        CRasterSurface bitmap;
        EXPECT_EQ(Load(MakeTga(layout, {}), bitmap), -2);
        EXPECT_FALSE(bitmap.m_pBits);
    }
}

TEST_F(TgaReaderTest, SeededRandomImagesCrossBlockBoundariesIntact)
{
    // Sizes whose pixel data spans several 5000-byte blocks with pixels cut
    // at block ends (5000 is no multiple of 3), encoded raw and as random
    // packets, checked against the pixels they were made from.
    std::mt19937 random(20240607);
    const std::vector<std::pair<uint16_t, uint16_t>> sizes{{1, 1}, {7, 3}, {97, 61}, {300, 40}, {1, 4000}};
    for (const auto& [width, height] : sizes)
        for (int depth : {16, 24, 32})
            for (bool runLength : {false, true}) {
                SCOPED_TRACE(::testing::Message() << width << " x " << height << " depth " << depth
                                                  << (runLength ? " rle" : " raw"));
                // Few distinct colours, so that runs happen.
                std::vector<std::vector<Bgra>> rows(height, std::vector<Bgra>(width));
                for (auto& row : rows)
                    for (Bgra& p : row) {
                        const uint8_t v = static_cast<uint8_t>((random() % 4) * 64 + 8);
                        p = {v, static_cast<uint8_t>(v ^ 0x18), static_cast<uint8_t>(random() & 0xF8),
                             static_cast<uint8_t>(random())};
                    }
                Bytes data;
                if (!runLength) {
                    data = RawRows(rows, depth);
                } else {
                    std::vector<Bgra> all;
                    for (const auto& row : rows)
                        all.insert(all.end(), row.begin(), row.end());
                    size_t i = 0;
                    while (i < all.size()) {
                        size_t same = 1;
                        while (i + same < all.size() && same < 128 && all[i + same] == all[i])
                            ++same;
                        if (same > 1) {
                            data = Join({data, RunPacket(static_cast<int>(same), all[i], depth)});
                            i += same;
                            continue;
                        }
                        const size_t n = std::min<size_t>(1 + random() % 128, all.size() - i);
                        data = Join({data, LiteralPacket(std::vector<Bgra>(all.begin() + static_cast<ptrdiff_t>(i),
                                                                           all.begin() + static_cast<ptrdiff_t>(i + n)),
                                                         depth)});
                        i += n;
                    }
                }
                TgaLayout layout;
                layout.imageType = runLength ? 10 : 2;
                layout.depth = static_cast<uint8_t>(depth);
                layout.width = width;
                layout.height = height;
                layout.topRowFirst = false;
                CRasterSurface s;
                ASSERT_EQ(Load(MakeTga(layout, data), s), 1);
                EXPECT_EQ(Rows32(s), FileOrder(ExpectedRows(rows, depth), false));
            }
}

TEST_F(TgaReaderTest, RunPixelsThatStraddleTwoBlocksReadWhole)
{
    // The pixel data starts a fresh 5000-byte block. Literal packets fill it
    // up to just before its end, so that the pixel of the run packet that
    // follows has 1 .. bytes - 1 of its bytes in the first block.
    for (int depth : {16, 24, 32}) {
        const int bytes = depth / 8;
        for (int inFirst = 1; inFirst < bytes; ++inFirst) {
            SCOPED_TRACE(::testing::Message() << "depth " << depth << ", " << inFirst << " byte(s) in the first block");
            const int fill = 5000 - 1 - inFirst; // bytes before the run packet's header
            // m literal packets of P pixels in all: m + P x bytes = fill,
            // with at most 128 pixels a packet.
            int packets = 1;
            while ((fill - packets) % bytes != 0 || (fill - packets) / bytes > 128 * packets)
                ++packets;
            int pixelsLeft = (fill - packets) / bytes;
            std::vector<Bgra> expected;
            Bytes data;
            for (int k = 0; k < packets; ++k) {
                const int n = pixelsLeft - (packets - k - 1) > 128 ? 128 : pixelsLeft - (packets - k - 1);
                std::vector<Bgra> literal;
                for (int i = 0; i < n; ++i) {
                    const auto v = static_cast<uint8_t>(expected.size() * 8);
                    literal.push_back({v, static_cast<uint8_t>(v ^ 0x80), 0x40, 0x11});
                    expected.push_back(Expected(literal.back(), depth));
                }
                data = Join({data, LiteralPacket(literal, depth)});
                pixelsLeft -= n;
            }
            ASSERT_EQ(data.size(), static_cast<size_t>(fill));
            const Bgra run{0xA8, 0xB0, 0xC8, 0xD5};
            data = Join({data, RunPacket(3, run, depth), LiteralPacket({{8, 16, 24, 32}}, depth)});
            for (int i = 0; i < 3; ++i)
                expected.push_back(Expected(run, depth));
            expected.push_back(Expected({8, 16, 24, 32}, depth));

            TgaLayout layout;
            layout.imageType = 10;
            layout.depth = static_cast<uint8_t>(depth);
            layout.width = static_cast<uint16_t>(expected.size());
            layout.height = 1;
            CRasterSurface s;
            ASSERT_EQ(Load(MakeTga(layout, data), s), 1);
            EXPECT_EQ(Rows32(s), (std::vector<std::vector<Bgra>>{expected}));
        }
    }
}

TEST_F(TgaReaderTest, TheBlockReaderTakesWholeBlocksAndGivesZerosPastTheEnd)
{
    Bytes content(5003);
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<uint8_t>(i * 7 + 1);
    dir.WriteFile("BYTES.BIN", content);
    FILE* file = std::fopen((dir / "BYTES.BIN").c_str(), "rb");
    ASSERT_TRUE(file);
    CTgaBlockReader reader;
    ASSERT_TRUE(reader.Begin());
    EXPECT_EQ(reader.ReadBufferedByte(file), content[0]);
    EXPECT_EQ(std::ftell(file), 5000); // one whole block, not one byte
    bool same = true;
    for (size_t i = 1; i < 5000; ++i)
        same = same && reader.ReadBufferedByte(file) == content[i];
    EXPECT_TRUE(same);
    EXPECT_EQ(std::ftell(file), 5000);
    EXPECT_EQ(reader.ReadBufferedByte(file), content[5000]);
    EXPECT_EQ(reader.ReadBufferedByte(file), content[5001]);
    EXPECT_EQ(reader.ReadBufferedByte(file), content[5002]);
    bool zeros = true;
    for (int i = 0; i < 12000; ++i)
        zeros = zeros && reader.ReadBufferedByte(file) == 0;
    EXPECT_TRUE(zeros);

    // A new round starts a fresh block at the file's position.
    reader.End();
    ASSERT_EQ(std::fseek(file, 4999, SEEK_SET), 0);
    ASSERT_TRUE(reader.Begin());
    EXPECT_EQ(reader.ReadBufferedByte(file), content[4999]);
    EXPECT_EQ(reader.ReadBufferedByte(file), content[5000]);
    reader.End();
    std::fclose(file);
}
