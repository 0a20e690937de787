// Writing surfaces as TGA files: the exact bytes of both layouts, the cases
// that must leave no file, and round trips through the reader.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>

#include "TgaBytes.h"
#include "FileFaults.h"
#include "RasterSurface.h"
#include "TempDir.h"

namespace {

Bytes Slice(const Bytes& b, size_t from, size_t n)
{
    return Bytes(b.begin() + static_cast<ptrdiff_t>(from), b.begin() + static_cast<ptrdiff_t>(from + n));
}

uint16_t U16At(const Bytes& b, size_t at)
{
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

// A 4 x 2 index buffer holding 1..8.
void MakeIndexBuffer(CRasterSurface& s)
{
    ASSERT_EQ(s.CreateBuffer(4, 2), 1);
    for (uint8_t i = 0; i < 8; ++i)
        s.m_pBits[i] = static_cast<uint8_t>(i + 1);
}

} // namespace

TEST(TgaWriterTest, AnIndexBufferBecomesAColourMappedFileCutToTheImageWidth)
{
    TempDir dir;
    CRasterSurface s;
    MakeIndexBuffer(s);
    const Bytes palette = TgaTestPalette(0x77);
    ASSERT_EQ(s.SaveTga(dir / "CUT.TGA", palette.data(), 3), 1);
    const Bytes cut = ReadFileBytes(dir / "CUT.TGA");
    ASSERT_EQ(cut.size(), 18u + 768u + 6u);
    const Bytes header{0, 1, 1, 0, 0, 0, 1, 24, 0, 0, 0, 0, 3, 0, 2, 0, 8, 0x20};
    EXPECT_EQ(Slice(cut, 0, 18), header);
    EXPECT_EQ(Slice(cut, 18, 768), TgaTestColourMap());
    EXPECT_EQ(Slice(cut, 786, 6), (Bytes{1, 2, 3, 5, 6, 7}));

    ASSERT_EQ(s.SaveTga(dir / "WHOLE.TGA", palette.data(), -1), 1);
    const Bytes whole = ReadFileBytes(dir / "WHOLE.TGA");
    ASSERT_EQ(whole.size(), 18u + 768u + 8u);
    Bytes wholeHeader = header;
    wholeHeader[12] = 4;
    EXPECT_EQ(Slice(whole, 0, 18), wholeHeader);
    EXPECT_EQ(Slice(whole, 786, 8), (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));

    // The fourth byte of a palette entry is left out.
    Bytes oneEntry(1024, 0);
    oneEntry[0] = 1;
    oneEntry[1] = 2;
    oneEntry[2] = 3;
    oneEntry[3] = 4;
    ASSERT_EQ(s.SaveTga(dir / "ENTRY.TGA", oneEntry.data(), -1), 1);
    const Bytes entry = ReadFileBytes(dir / "ENTRY.TGA");
    EXPECT_EQ(Slice(entry, 18, 6), (Bytes{1, 2, 3, 0, 0, 0}));

    // No pixels per row is still a file: header and colour map.
    ASSERT_EQ(s.SaveTga(dir / "ZERO.TGA", palette.data(), 0), 1);
    const Bytes zero = ReadFileBytes(dir / "ZERO.TGA");
    ASSERT_EQ(zero.size(), 18u + 768u);
    EXPECT_EQ(U16At(zero, 12), 0);
    EXPECT_EQ(U16At(zero, 14), 2);
}

// The bytes of a 32-bit surface as a file holds them: the fourth of each
// pixel 255, so that other programs see an opaque picture.
Bytes Opaque(const uint8_t* bytes, size_t n)
{
    Bytes out(bytes, bytes + n);
    for (size_t i = 3; i < n; i += 4)
        out[i] = 0xFF;
    return out;
}

TEST(TgaWriterTest, AThirtyTwoBitSurfaceBecomesATrueColourFileOfItsBytes)
{
    TempDir dir;
    CRasterSurface s;
    ASSERT_EQ(s.CreateDib(2, 2, 32, nullptr), 1);
    for (uint8_t i = 0; i < 16; ++i)
        s.m_pBits[i] = static_cast<uint8_t>(0xA0 + i);
    for (int32_t width : {2, -1}) {
        SCOPED_TRACE(width);
        ASSERT_EQ(s.SaveTga(dir / "A.TGA", nullptr, width), 1);
        const Bytes file = ReadFileBytes(dir / "A.TGA");
        ASSERT_EQ(file.size(), 18u + 16u);
        EXPECT_EQ(Slice(file, 0, 18), (Bytes{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 32, 0x20}));
        EXPECT_EQ(Slice(file, 18, 16), Opaque(s.m_pBits, 16));
    }

    // A surplus of one pixel per row is skipped.
    CRasterSurface wide;
    ASSERT_EQ(wide.CreateDib(3, 2, 32, nullptr), 1);
    for (uint8_t i = 0; i < 24; ++i)
        wide.m_pBits[i] = i;
    ASSERT_EQ(wide.SaveTga(dir / "B.TGA", nullptr, 2), 1);
    const Bytes file = ReadFileBytes(dir / "B.TGA");
    ASSERT_EQ(file.size(), 18u + 16u);
    EXPECT_EQ(U16At(file, 12), 2);
    EXPECT_EQ(Slice(file, 18, 16), (Bytes{0, 1, 2, 255, 4, 5, 6, 255, 12, 13, 14, 255, 16, 17, 18, 255}));
}

TEST(TgaWriterTest, WritingTheSameSurfaceAgainOverwritesTheFile)
{
    TempDir dir;
    CRasterSurface s;
    MakeIndexBuffer(s);
    const Bytes palette = TgaTestPalette();
    ASSERT_EQ(s.SaveTga(dir / "OUT.TGA", palette.data(), -1), 1);
    ASSERT_EQ(s.SaveTga(dir / "out.tga", palette.data(), 1), 1);
    EXPECT_EQ(ListFolder(dir.Path()), (std::vector<std::string>{"OUT.TGA"}));
    const Bytes file = ReadFileBytes(dir / "OUT.TGA");
    ASSERT_EQ(file.size(), 18u + 768u + 2u);
    EXPECT_EQ(Slice(file, 786, 2), (Bytes{1, 5}));
}

TEST(TgaWriterTest, RefusedSurfacesAndArgumentsLeaveNoFile)
{
    TempDir dir;
    const Bytes palette = TgaTestPalette();
    CRasterSurface never;
    CRasterSurface s16;
    ASSERT_EQ(s16.CreateDib(2, 2, 16, nullptr), 1);
    CRasterSurface index;
    MakeIndexBuffer(index);
    CRasterSurface s32;
    ASSERT_EQ(s32.CreateDib(2, 2, 32, nullptr), 1);
    // A bitmap that could not be made keeps its old depth but has no pixels.
    CRasterSurface lost;
    ASSERT_EQ(lost.CreateDib(2, 2, 32, nullptr), 1);
    ASSERT_EQ(lost.CreateDib(0, 2, 32, nullptr), 0);

    struct Case {
        const char* what;
        const CRasterSurface& surface;
        const uint8_t* palette;
        int32_t width;
    };
    const Case cases[] = {
        {"never shaped", never, palette.data(), -1},
        {"16 bits", s16, palette.data(), -1},
        {"8 bits without a palette", index, nullptr, -1},
        {"width below -1", index, palette.data(), -2},
        {"width past the surface", index, palette.data(), 5},
        {"32 bits, width past the surface", s32, nullptr, 3},
        {"no pixels", lost, nullptr, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.surface.SaveTga(dir / "NO.TGA", c.palette, c.width), -1);
        EXPECT_FALSE(PathExists(dir / "NO.TGA"));
    }
    EXPECT_EQ(index.SaveTga(dir / "NOFOLDER/NO.TGA", palette.data(), -1), -1);
    EXPECT_TRUE(ListFolder(dir.Path()).empty());
}

TEST(TgaWriterTest, AWriteErrorKeepsTheOldFileAndALinkIsReplacedNotFollowed)
{
    TempDir dir;
    CRasterSurface s;
    ASSERT_EQ(s.CreateDib(64, 64, 32, nullptr), 1);
    dir.WriteFile("FULL.TGA", {'o', 'l', 'd'});
    CFileFaults::FailNth(FileOperation::Write, 1);
    EXPECT_EQ(s.SaveTga(dir / "FULL.TGA", nullptr, -1), -1);
    CFileFaults::Reset();
    EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"FULL.TGA"});
    EXPECT_EQ(ReadFileBytes(dir / "FULL.TGA"), (Bytes{'o', 'l', 'd'}));

    // A link at the name gets the file in its place; where it led is untouched.
    dir.WriteFile("elsewhere", {'k'});
    ASSERT_EQ(::symlink((dir / "elsewhere").c_str(), (dir / "LINK.TGA").c_str()), 0);
    CRasterSurface index;
    MakeIndexBuffer(index);
    const Bytes palette = TgaTestPalette();
    EXPECT_EQ(index.SaveTga(dir / "LINK.TGA", palette.data(), 3), 1);
    EXPECT_FALSE(std::filesystem::is_symlink(dir / "LINK.TGA"));
    EXPECT_EQ(ReadFileBytes(dir / "elsewhere"), Bytes{'k'});
}

TEST(TgaWriterTest, WrittenFilesReadBackToTheSamePixelsAndPalette)
{
    TempDir dir;
    std::mt19937 random(77);
    const std::vector<std::pair<int32_t, int32_t>> sizes{{1, 1}, {4, 2}, {5, 3}, {64, 17}, {333, 20}};
    for (const auto& [width, height] : sizes) {
        SCOPED_TRACE(::testing::Message() << width << " x " << height);
        // 8 bits: the index buffer and the palette come back, the palette
        // with 0 as its fourth byte.
        CRasterSurface index;
        ASSERT_EQ(index.CreateBuffer(width, height), 1);
        const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
        for (size_t i = 0; i < count; ++i)
            index.m_pBits[i] = static_cast<uint8_t>(random());
        Bytes palette(1024);
        for (uint8_t& b : palette)
            b = static_cast<uint8_t>(random());
        ASSERT_EQ(index.SaveTga(dir / "I.TGA", palette.data(), -1), 1);
        CRasterSurface back;
        ASSERT_EQ(back.CreateBuffer(1, 1), 1);
        ASSERT_EQ(back.LoadTga(dir / "I.TGA"), 1);
        EXPECT_EQ(back.m_ownsBits, 1);
        EXPECT_EQ(back.m_width, width);
        EXPECT_EQ(back.m_height, height);
        EXPECT_EQ(Bytes(back.m_pBits, back.m_pBits + count), Bytes(index.m_pBits, index.m_pBits + count));
        for (size_t i = 0; i < 256; ++i)
            palette[i * 4 + 3] = 0;
        ASSERT_TRUE(back.m_pPalette);
        EXPECT_EQ(Bytes(back.m_pPalette.get(), back.m_pPalette.get() + 1024), palette);

        // Cut to a narrower image, the rows come back cut.
        if (width > 1) {
            ASSERT_EQ(index.SaveTga(dir / "C.TGA", palette.data(), width - 1), 1);
            ASSERT_EQ(back.LoadTga(dir / "C.TGA"), 1);
            ASSERT_EQ(back.m_width, width - 1);
            bool same = true;
            for (int32_t y = 0; y < height; ++y)
                same = same && std::memcmp(back.m_pBits + static_cast<size_t>(y) * static_cast<size_t>(width - 1),
                                           index.m_pBits + static_cast<size_t>(y) * static_cast<size_t>(width),
                                           static_cast<size_t>(width - 1)) == 0;
            EXPECT_TRUE(same);
        }

        // 32 bits: the colours of every pixel come back, the fourth byte as 255.
        CRasterSurface colour;
        ASSERT_EQ(colour.CreateDib(width, height, 32, nullptr), 1);
        for (size_t i = 0; i < count * 4; ++i)
            colour.m_pBits[i] = static_cast<uint8_t>(random());
        ASSERT_EQ(colour.SaveTga(dir / "T.TGA", nullptr, -1), 1);
        CRasterSurface colourBack;
        ASSERT_EQ(colourBack.LoadTga(dir / "T.TGA"), 1);
        EXPECT_EQ(colourBack.m_depth, 32);
        EXPECT_EQ(colourBack.m_width, width);
        EXPECT_EQ(colourBack.m_height, height);
        EXPECT_EQ(Bytes(colourBack.m_pBits, colourBack.m_pBits + count * 4), Opaque(colour.m_pBits, count * 4));
    }
}
