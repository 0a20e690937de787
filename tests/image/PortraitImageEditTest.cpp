// Exporting, replacing and saving frames: re-indexing to the image palette,
// taking the file's palette over, the override file that a save writes, and
// saves that fail part-way without harming the file they would replace.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>

#include "ColourMatch.h"
#include "PngFile.h"
#include "PngPicture.h"
#include "PortraitImage.h"
#include "FileFaultPoints.h"
#include "GameDir.h"
#include "GfxBytes.h"
#include "TgaBytes.h"

namespace {

const std::string kLarge = "PORTRAITS\\LARGE\\XTVARM1.GFX";
const std::string kMedium = "PORTRAITS\\MEDIUM\\XTVARM1.GFX";
const std::string kSmall = "PORTRAITS\\SMALL\\XTVARM1.GFX";

// An uncompressed TGA file, top row first. colourMap holds 256 entries of
// blue, green, red for type 1 and is empty otherwise.
std::vector<uint8_t> MakeTga(uint8_t type, uint16_t width, uint16_t height, uint8_t depth,
                             const std::vector<uint8_t>& colourMap, const std::vector<uint8_t>& pixels)
{
    TgaLayout layout;
    layout.imageType = type;
    layout.depth = depth;
    layout.width = width;
    layout.height = height;
    if (!colourMap.empty()) {
        layout.colourMapType = 1;
        layout.colourMapLength = 256;
        layout.colourMapEntrySize = 24;
        layout.colourMap = colourMap;
    }
    return ::MakeTga(layout, pixels);
}

// A colour map of 256 entries, entry i = (blue, green, red) from the function.
template <typename F>
std::vector<uint8_t> ColourMap(F colour)
{
    std::vector<uint8_t> map;
    for (int i = 0; i < 256; ++i) {
        const std::array<uint8_t, 3> bgr = colour(i);
        map.insert(map.end(), bgr.begin(), bgr.end());
    }
    return map;
}

std::vector<uint8_t> RowsOf(const CRasterSurface& s, int width)
{
    std::vector<uint8_t> out;
    for (int y = 0; y < s.m_height; ++y)
        out.insert(out.end(), s.m_pBits + y * s.m_width, s.m_pBits + y * s.m_width + width);
    return out;
}

std::vector<uint8_t> SevenColours()
{
    std::vector<uint8_t> rgb;
    for (uint8_t i = 0; i < 8; ++i)
        rgb.insert(rgb.end(), {static_cast<uint8_t>(30 * i), static_cast<uint8_t>(255 - 30 * i), static_cast<uint8_t>(7 * i)});
    return rgb;
}

// The image palette of SevenColours as a TGA colour map; entries 8 on are black.
std::vector<uint8_t> SevenColourMap()
{
    return ColourMap([](int i) -> std::array<uint8_t, 3> {
        if (i >= 8)
            return {0, 0, 0};
        return {static_cast<uint8_t>(7 * i), static_cast<uint8_t>(255 - 30 * i), static_cast<uint8_t>(30 * i)};
    });
}

class PortraitEdit : public ::testing::Test {
protected:
    int32_t LoadEntry(CPortraitImage& image, int32_t index)
    {
        image.SetSubFolder("\\Portraits");
        return image.Load(game->Base(), game->ArchivePath(), index, &game->Archive());
    }
    std::string TgaPath(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        game->Dir().WriteFile(name, bytes);
        return *game / name;
    }
    std::unique_ptr<GameDir> game;
};

// Frame data of frame i in a GFX image, as its table says.
std::vector<uint8_t> StoredFrame(const std::vector<uint8_t>& gfx, size_t i)
{
    const uint32_t colours = gfx[24] | (gfx[25] << 8);
    const size_t frames = gfx[28];
    const size_t table = 64 + 3 * colours, data = table + 16 * frames;
    const uint32_t offset = GetU32(gfx, table + 16 * i), length = GetU32(gfx, table + 16 * i + 4);
    return std::vector<uint8_t>(gfx.begin() + static_cast<long>(data + offset),
                                gfx.begin() + static_cast<long>(data + offset + length));
}

} // namespace

TEST_F(PortraitEdit, ExportReplaceAndSaveAFrameNotAMultipleOfFourWide)
{
    const TestFrame frame = PatternFrame(45, 60);
    game = std::make_unique<GameDir>(std::vector<TestEntry>{{kLarge, MakePaletteImage(SevenColours(), {frame})}});
    const std::vector<uint8_t> archiveBefore = game->ArchiveBytes();
    CPortraitImage image;
    ASSERT_EQ(LoadEntry(image, 0), 1);

    const std::string exported = *game / "Portraits/TVARM1_LARGE.TGA";
    ASSERT_EQ(image.ExportFrame(0, exported), 1);
    std::vector<uint8_t> tga = ReadFileBytes(exported);
    ASSERT_EQ(tga.size(), 18u + 768u + 45u * 60u);
    EXPECT_EQ(tga[12] | (tga[13] << 8), 45);
    EXPECT_EQ(std::vector<uint8_t>(tga.begin() + 18 + 768, tga.end()), frame.indices);
    EXPECT_EQ(image.ExportFrame(1, exported), -1);

    // The edited file: the same palette, every pixel moved one colour on.
    std::vector<uint8_t> edited = frame.indices;
    for (uint8_t& p : edited)
        p = static_cast<uint8_t>((p + 1) % 8);
    ASSERT_EQ(image.ReplaceFrame(0, TgaPath("edit.tga", MakeTga(1, 45, 60, 8, SevenColourMap(), edited)), false), 1);
    EXPECT_TRUE(image.IsFrameChanged(0));
    const CRasterSurface* replaced = image.GetFrameSurface(0);
    ASSERT_EQ(replaced->m_width, 45);
    EXPECT_EQ(RowsOf(*replaced, 45), edited);
    // The display shows the new pixels at once.
    const CRasterSurface* display = image.GetDisplaySurface(0);
    ASSERT_EQ(display->m_width, 45);
    EXPECT_EQ(display->m_pBits[2], 30 * edited[0]);

    ASSERT_EQ(image.ExportFrame(0, exported), 1);
    EXPECT_EQ(ReadFileBytes(exported).size(), 18u + 768u + 45u * 60u);

    ASSERT_EQ(image.SaveIfChanged(), 1);
    EXPECT_FALSE(image.IsFrameChanged(0));
    EXPECT_EQ(image.SourcePath(), game->Base() + "\\Portraits\\XTVARM1.GFX");
    EXPECT_EQ(RowsOf(*image.GetFrameSurface(0), 45), edited);
    EXPECT_EQ(image.GetFrameSurface(0)->m_width, 48); // read back and widened again
    EXPECT_EQ(ListFolder(*game / "Portraits"), (std::vector<std::string>{"TVARM1_LARGE.TGA", "XTVARM1.GFX"}));
    EXPECT_EQ(game->ArchiveBytes(), archiveBefore);
}

TEST_F(PortraitEdit, ExportedFramesComeBackUnchangedThroughImportSaveAndReload)
{
    // 256 distinct colours, so that re-indexing maps every index to itself.
    std::vector<uint8_t> rgb;
    for (int i = 0; i < 256; ++i)
        rgb.insert(rgb.end(), {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7)});
    std::vector<TestFrame> frames;
    for (int16_t f = 0; f < 3; ++f) {
        TestFrame frame{static_cast<int16_t>(13 + f), 9, {}};
        for (int i = 0; i < frame.width * frame.height; ++i)
            frame.indices.push_back(static_cast<uint8_t>(i % 4 == 0 ? 0 : (i * 37 + f * 11) % 256));
        frames.push_back(frame);
    }
    const std::vector<uint8_t> archived = MakePaletteImage(rgb, frames);
    game = std::make_unique<GameDir>(std::vector<TestEntry>{{kMedium, archived}});
    CPortraitImage image;
    ASSERT_EQ(LoadEntry(image, 0), 1);
    for (int32_t f = 0; f < 3; f += 2) {
        const std::string tga = *game / ("frame" + std::to_string(f) + ".tga");
        ASSERT_EQ(image.ExportFrame(f, tga), 1);
        ASSERT_EQ(image.ReplaceFrame(f, tga, false), 1);
    }
    ASSERT_EQ(image.Save(), 0);
    for (int32_t f = 0; f < 3; ++f) {
        SCOPED_TRACE(f);
        EXPECT_EQ(RowsOf(*image.GetFrameSurface(f), frames[static_cast<size_t>(f)].width),
                  frames[static_cast<size_t>(f)].indices);
    }
    const std::vector<uint8_t> file = ReadFileBytes(*game / "Portraits/XTVARM1.GFX");
    const std::vector<uint8_t> gfx(file.begin() + static_cast<long>(19 + kMedium.size()), file.end());
    EXPECT_EQ(StoredFrame(gfx, 1), StoredFrame(archived, 1)); // the frame not imported, byte for byte
    EXPECT_EQ(std::vector<uint8_t>(gfx.begin() + 64, gfx.begin() + 64 + 768),
              std::vector<uint8_t>(archived.begin() + 64, archived.begin() + 64 + 768));
}

TEST_F(PortraitEdit, ReplacementsThatDoNotFitChangeNothing)
{
    game = std::make_unique<GameDir>(std::vector<TestEntry>{
        {kLarge, MakePaletteImage(SevenColours(), {PatternFrame(45, 60)})},
        {kSmall, MakeTrueColourImage(2, 2, {1, 2, 3, 4})},
    });
    CPortraitImage image;
    ASSERT_EQ(LoadEntry(image, 0), 1);
    const std::vector<uint8_t> before = RowsOf(*image.GetFrameSurface(0), 48);
    const std::vector<uint8_t> grey(45 * 60, 5);
    const struct {
        const char* what;
        std::vector<uint8_t> tga;
        int32_t result;
    } cases[] = {
        {"one pixel wider", MakeTga(1, 46, 60, 8, SevenColourMap(), std::vector<uint8_t>(46 * 60, 1)), -2},
        {"16-bit indices", MakeTga(1, 45, 60, 16, SevenColourMap(), std::vector<uint8_t>(45 * 60 * 2, 1)), -1},
        {"8-bit true colour", MakeTga(2, 45, 60, 8, {}, grey), -1},
        {"truncated header", {0, 1, 1}, -2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(image.ReplaceFrame(0, TgaPath("bad.tga", c.tga), false), c.result);
        EXPECT_FALSE(image.IsFrameChanged(0));
        EXPECT_EQ(RowsOf(*image.GetFrameSurface(0), 48), before);
    }
    EXPECT_EQ(image.ReplaceFrame(0, *game / "missing.tga", false), -2);
    EXPECT_EQ(image.ReplaceFrame(5, *game / "missing.tga", false), 1); // no such frame: nothing to do
    EXPECT_EQ(image.SaveIfChanged(), 0);

    // A true-colour image takes no 8-bit true-colour file either.
    ASSERT_EQ(LoadEntry(image, 1), 1);
    EXPECT_EQ(image.ReplaceFrame(0, TgaPath("eight.tga", MakeTga(2, 2, 2, 8, {}, {1, 2, 3, 4})), false), -1);
    EXPECT_FALSE(image.IsFrameChanged(0));
    EXPECT_EQ(image.GetFrameSurface(0)->m_depth, 32);
}

TEST_F(PortraitEdit, RemappingPicksTheNearestColourAndTheLowestOnTies)
{
    // Image colours 3 = (0, 0, 0) and 4 = (20, 20, 20); the file's colour 1 =
    // (10, 10, 10) lies 30 from both.
    const std::vector<uint8_t> rgb = {200, 0, 0, 0, 200, 0, 0, 0, 200, 0, 0, 0, 20, 20, 20};
    game = std::make_unique<GameDir>(std::vector<TestEntry>{{kLarge, MakePaletteImage(rgb, {TestFrame{2, 1, {1, 1}}})}});
    CPortraitImage image;
    ASSERT_EQ(LoadEntry(image, 0), 1);
    const auto map = ColourMap([](int i) -> std::array<uint8_t, 3> {
        if (i == 1)
            return {10, 10, 10};
        if (i == 2)
            return {190, 5, 0}; // nearest to image colour 2 = blue 200
        return {255, 255, 255};
    });
    ASSERT_EQ(image.ReplaceFrame(0, TgaPath("t.tga", MakeTga(1, 2, 1, 8, map, {1, 2})), false), 1);
    EXPECT_EQ(RowsOf(*image.GetFrameSurface(0), 2), (std::vector<uint8_t>{3, 2}));
    EXPECT_EQ(image.Palette()[4 * 4 + 0], 20); // the image palette is kept
}

TEST_F(PortraitEdit, TakingTheFilePaletteOver)
{
    game = std::make_unique<GameDir>(
        std::vector<TestEntry>{{kLarge, MakePaletteImage(SevenColours(), {TestFrame{3, 1, {1, 2, 3}}, PatternFrame(4, 1)})}});
    CPortraitImage image;
    ASSERT_EQ(LoadEntry(image, 0), 1);
    // Colours 5 and 9 are both pure red; none of 0 to 4 is.
    const auto map = ColourMap([](int i) -> std::array<uint8_t, 3> {
        if (i == 5 || i == 9)
            return {0, 0, 255};
        return {static_cast<uint8_t>(i), 1, 2};
    });
    ASSERT_EQ(image.ReplaceFrame(0, TgaPath("t.tga", MakeTga(1, 3, 1, 8, map, {9, 5, 200})), true), 1);
    EXPECT_EQ(RowsOf(*image.GetFrameSurface(0), 3), (std::vector<uint8_t>{5, 5, 200}));
    // All 256 colours are taken over.
    EXPECT_EQ(std::vector<uint8_t>(image.Palette() + 200 * 4, image.Palette() + 200 * 4 + 4),
              (std::vector<uint8_t>{200, 1, 2, 0}));
    const CRasterSurface* display = image.GetDisplaySurface(0);
    EXPECT_EQ(std::vector<uint8_t>(display->m_pBits, display->m_pBits + 4), (std::vector<uint8_t>{0, 0, 255, 0}));
}

TEST_F(PortraitEdit, WhatAnImportShowsIsWhatIsSaved)
{
    // Eight colours stored; frame 1 stays as it was.
    const std::vector<TestFrame> frames{TestFrame{3, 1, {1, 2, 3}}, PatternFrame(4, 1)};
    game = std::make_unique<GameDir>(std::vector<TestEntry>{{kLarge, MakePaletteImage(SevenColours(), frames)}});
    CPortraitImage image;
    ASSERT_EQ(LoadEntry(image, 0), 1);
    ASSERT_EQ(image.Header().ColourCount(), 8);
    const auto map = ColourMap([](int i) -> std::array<uint8_t, 3> {
        return {static_cast<uint8_t>(i), static_cast<uint8_t>(100 + i / 2), 9};
    });
    ASSERT_EQ(image.ReplaceFrame(0, TgaPath("t.tga", MakeTga(1, 3, 1, 8, map, {1, 20, 2})), true), 1);
    // Index 20 lies past the stored colours: the count grows to cover it.
    EXPECT_EQ(image.Header().ColourCount(), 21);
    auto shown = [&](int32_t f) {
        const CRasterSurface* d = image.GetDisplaySurface(f);
        return std::vector<uint8_t>(d->m_pBits, d->m_pBits + d->m_width * d->m_height * 4);
    };
    // Frame 1 shows the new palette already, as the saved file will.
    const std::vector<uint8_t> frame0 = shown(0), frame1 = shown(1);
    EXPECT_EQ(std::vector<uint8_t>(frame0.begin() + 4, frame0.begin() + 8), (std::vector<uint8_t>{20, 110, 9, 0}));
    ASSERT_EQ(image.Save(), 0);
    EXPECT_EQ(image.Header().ColourCount(), 21);
    // Reloaded, frame 0 is widened to 4 pixels; its own 3 look the same.
    const std::vector<uint8_t> reloaded = shown(0);
    EXPECT_EQ(std::vector<uint8_t>(reloaded.begin(), reloaded.begin() + 12), frame0);
    EXPECT_EQ(shown(1), frame1);
    // The unchanged frame is copied from where it lay with eight colours.
    const std::vector<uint8_t> saved = ReadFileBytes(*game / "Portraits/XTVARM1.GFX");
    const std::vector<uint8_t> payload(saved.begin() + 19 + static_cast<long>(kLarge.size()), saved.end());
    EXPECT_EQ(StoredFrame(payload, 1), LiteralRunLength(frames[1]));

    // Re-indexed to the image's palette, an index past the count grows it too.
    game = std::make_unique<GameDir>(std::vector<TestEntry>{{kLarge, MakePaletteImage(SevenColours(), frames)}});
    ASSERT_EQ(LoadEntry(image, 0), 1);
    const auto black = ColourMap([](int) -> std::array<uint8_t, 3> { return {0, 0, 0}; });
    ASSERT_EQ(image.ReplaceFrame(0, TgaPath("b.tga", MakeTga(1, 3, 1, 8, black, {0, 0, 0})), false), 1);
    // No colour of the eight is black; colour 8, black, is the nearest.
    EXPECT_EQ(RowsOf(*image.GetFrameSurface(0), 3), (std::vector<uint8_t>{8, 8, 8}));
    EXPECT_EQ(image.Header().ColourCount(), 9);
}

TEST_F(PortraitEdit, SavingOneChangedFrameCopiesTheOthersByteForByte)
{
    const std::vector<TestFrame> frames = {PatternFrame(5, 3, 1), PatternFrame(91, 2, 2), PatternFrame(6, 4, 3),
                                           PatternFrame(7, 1, 4)};
    const std::vector<uint8_t> archived = MakePaletteImage(SevenColours(), frames, -1, /*reverseData=*/true);
    game = std::make_unique<GameDir>(std::vector<TestEntry>{{"OTHER", Pattern(11)}, {kMedium, archived}});
    CPortraitImage image;
    ASSERT_EQ(LoadEntry(image, 1), 1);
    std::vector<uint8_t> edited(6 * 4, 0);
    edited[3] = 7;
    ASSERT_EQ(image.ReplaceFrame(2, TgaPath("f2.tga", MakeTga(1, 6, 4, 8, SevenColourMap(), edited)), false), 1);
    ASSERT_EQ(image.Save(), 0);

    const std::vector<uint8_t> file = ReadFileBytes(*game / "Portraits/XTVARM1.GFX");
    const size_t header = 19 + kMedium.size();
    ASSERT_GT(file.size(), header);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 11), "KORV-EXPORT");
    EXPECT_EQ(std::string(file.begin() + 15, file.begin() + 15 + static_cast<long>(kMedium.size())), kMedium);
    EXPECT_EQ(GetU32(file, 15 + kMedium.size()), file.size() - header);
    const std::vector<uint8_t> gfx(file.begin() + static_cast<long>(header), file.end());

    // Header and palette as loaded, apart from dataSize; untouched bytes stay.
    EXPECT_EQ(std::vector<uint8_t>(gfx.begin(), gfx.begin() + 8), std::vector<uint8_t>(archived.begin(), archived.begin() + 8));
    EXPECT_EQ(std::vector<uint8_t>(gfx.begin() + 12, gfx.begin() + 64 + 24),
              std::vector<uint8_t>(archived.begin() + 12, archived.begin() + 64 + 24));
    const size_t table = 64 + 24;
    uint32_t expectedOffset = 0;
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(GetU32(gfx, table + 16 * i), expectedOffset); // packed in frame order
        expectedOffset += GetU32(gfx, table + 16 * i + 4);
        EXPECT_EQ(gfx[table + 16 * i + 8], 0xC0 + i);           // preserved record bytes
        if (i != 2) {
            EXPECT_EQ(StoredFrame(gfx, i), StoredFrame(archived, i));
        }
    }
    EXPECT_EQ(GetU32(gfx, 8), expectedOffset); // dataSize
    EXPECT_EQ(gfx.size(), table + 64 + expectedOffset);
    EXPECT_EQ(StoredFrame(gfx, 2), (std::vector<uint8_t>{0x83, 0x01, 0x07, 0x82, 0x00, 0x86, 0x00, 0x86, 0x00, 0x86, 0x00}));

    // Reloaded from the new file; a second save replaces it.
    EXPECT_EQ(image.SourcePath(), game->Base() + "\\Portraits\\XTVARM1.GFX");
    EXPECT_EQ(RowsOf(*image.GetFrameSurface(2), 6), edited);
    ASSERT_EQ(image.ReplaceFrame(0, TgaPath("f0.tga", MakeTga(1, 5, 3, 8, SevenColourMap(), std::vector<uint8_t>(15, 2))), false), 1);
    ASSERT_EQ(image.Save(), 0);
    const std::vector<uint8_t> again = ReadFileBytes(*game / "Portraits/XTVARM1.GFX");
    const std::vector<uint8_t> gfx2(again.begin() + static_cast<long>(header), again.end());
    EXPECT_EQ(StoredFrame(gfx2, 2), StoredFrame(gfx, 2));
    EXPECT_EQ(StoredFrame(gfx2, 1), StoredFrame(archived, 1));
    EXPECT_EQ(RowsOf(*image.GetFrameSurface(0), 5), std::vector<uint8_t>(15, 2));
    EXPECT_EQ(ListFolder(*game / "Portraits"), std::vector<std::string>{"XTVARM1.GFX"});
}

TEST_F(PortraitEdit, TrueColourImportSavesFiveSixFiveAndReloads)
{
    game = std::make_unique<GameDir>(std::vector<TestEntry>{{kSmall, MakeTrueColourImage(3, 1, {0, 0, 0}, 2)}});
    CPortraitImage image;
    ASSERT_EQ(LoadEntry(image, 0), 1);
    // Blue, green, red per pixel: white, pure red, (8, 4, 8).
    const std::vector<uint8_t> pixels = {255, 255, 255, 0, 0, 255, 8, 4, 8};
    ASSERT_EQ(image.ReplaceFrame(0, TgaPath("t.tga", MakeTga(2, 3, 1, 24, {}, pixels)), false), 1);
    ASSERT_EQ(image.SaveIfChanged(), 1);
    const std::vector<uint8_t> file = ReadFileBytes(*game / "Portraits/XTVARM1.GFX");
    const size_t header = 19 + kSmall.size();
    ASSERT_EQ(file.size(), header + 64 + 6);
    EXPECT_EQ(file[header + 28], 1); // frameCount
    EXPECT_EQ(GetU32(file, header + 8), 6u);
    EXPECT_EQ(std::vector<uint8_t>(file.end() - 6, file.end()), (std::vector<uint8_t>{0xFF, 0xFF, 0x00, 0xF8, 0x21, 0x08}));
    const CRasterSurface* s = image.GetFrameSurface(0);
    ASSERT_TRUE(s);
    EXPECT_EQ(std::vector<uint8_t>(s->m_pBits, s->m_pBits + 4), (std::vector<uint8_t>{248, 252, 248, 0}));
}

TEST_F(PortraitEdit, SaveIfChangedOnlySavesChangedImages)
{
    game = std::make_unique<GameDir>(std::vector<TestEntry>{{kLarge, MakePaletteImage(SevenColours(), {TestFrame{1, 1, {1}}})}},
                                     /*makePortraits=*/false);
    CPortraitImage image;
    ASSERT_EQ(LoadEntry(image, 0), 1);
    EXPECT_EQ(image.SaveIfChanged(), 0);
    ASSERT_EQ(image.ReplaceFrame(0, TgaPath("t.tga", MakeTga(1, 1, 1, 8, SevenColourMap(), {2})), false), 1);
    // The Portraits folder is missing: the save cannot begin, and says so.
    EXPECT_EQ(image.Save(), -1);
    EXPECT_EQ(image.SaveIfChanged(), 1);
    EXPECT_TRUE(image.IsFrameChanged(0));
    EXPECT_FALSE(PathExists(*game / "Portraits"));
}

class FailingSave : public PortraitEdit {
protected:
    void SetUp() override
    {
        frames = {PatternFrame(5, 3, 1), PatternFrame(6, 2, 2), PatternFrame(7, 3, 3)};
        game = std::make_unique<GameDir>(std::vector<TestEntry>{{kMedium, MakePaletteImage(SevenColours(), frames)}});
        ASSERT_EQ(LoadEntry(image, 0), 1);
        ASSERT_EQ(image.ReplaceFrame(1, TgaPath("a.tga", MakeTga(1, 6, 2, 8, SevenColourMap(), std::vector<uint8_t>(12, 3))), false), 1);
        ASSERT_EQ(image.Save(), 0); // the override file that must survive
        overridePath = *game / "Portraits/XTVARM1.GFX";
        saved = ReadFileBytes(overridePath);
        ASSERT_EQ(image.ReplaceFrame(0, TgaPath("b.tga", MakeTga(1, 5, 3, 8, SevenColourMap(), std::vector<uint8_t>(15, 4))), false), 1);
    }
    void ExpectOldFileKept()
    {
        EXPECT_EQ(ReadFileBytes(overridePath), saved);
        EXPECT_EQ(ListFolder(*game / "Portraits"), std::vector<std::string>{"XTVARM1.GFX"});
        EXPECT_TRUE(image.IsFrameChanged(0));
        EXPECT_EQ(RowsOf(*image.GetFrameSurface(0), 5), std::vector<uint8_t>(15, 4));
    }
    std::vector<TestFrame> frames;
    CPortraitImage image;
    std::string overridePath;
    std::vector<uint8_t> saved;
};

TEST_F(FailingSave, WriteCutShortByAFileSizeLimit)
{
    // A file-size limit stops the write whoever runs the test, root included.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {100, 100};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const bool ok = image.Save() == -2 && image.IsFrameChanged(0);
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    ExpectOldFileKept();
}

TEST_F(FailingSave, EachWriteFlushSyncOrRenameThatFailsKeepsTheOldFile)
{
    const std::vector<FileFaultPoint> points = FileFaultPoints([&] { ASSERT_EQ(image.Save(), 0); });
    // The override file is written in one piece, then flushed, synced and
    // renamed into place.
    std::vector<std::string> names;
    for (const FileFaultPoint& point : points)
        names.push_back(point.Name());
    ASSERT_EQ(names, (std::vector<std::string>{"write 1", "flush 1", "sync 1", "rename 1"}));
    for (const FileFaultPoint& point : points) {
        SCOPED_TRACE(point.Name());
        SetUp();
        CFileFaults::FailNth(point.op, point.n);
        EXPECT_EQ(image.Save(), -2);
        CFileFaults::Reset();
        ExpectOldFileKept();
    }
}

TEST_F(FailingSave, AFileAnotherProgramPutInPlaceIsKeptOrSetAside)
{
    // Another program replaces the override file between the load and the
    // save: here it cuts off the last frame's data.
    std::vector<uint8_t> other = saved;
    other.resize(other.size() - 2);
    game->Dir().WriteFile("Portraits/XTVARM1.GFX", other);
    EXPECT_EQ(image.Save(), CPortraitImage::kSaveReplacedMeanwhile);
    saved = other;
    ExpectOldFileKept();

    // So is a file rewritten in place with its old size and time put back,
    // and one taken away.
    game->Dir().WriteFile("Portraits/XTVARM1.GFX", saved);
    const struct timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, overridePath.c_str(), times, 0), 0);
    EXPECT_EQ(image.Save(), CPortraitImage::kSaveReplacedMeanwhile);
    std::filesystem::rename(overridePath, *game / "elsewhere");
    EXPECT_EQ(image.Save(), CPortraitImage::kSaveReplacedMeanwhile);
    EXPECT_FALSE(PathExists(overridePath));
    std::filesystem::rename(*game / "elsewhere", overridePath);

    // Asked to, the save sets the other file aside whole and writes the
    // unchanged frames as they were loaded, never from the other file.
    ASSERT_EQ(image.Save(CPortraitImage::SaveMode::kSetOtherAside), 0);
    EXPECT_EQ(ReadFileBytes(image.SetAsidePath()), other);
    EXPECT_EQ(image.SetAsidePath().find(*game / "Portraits/Reverted/XTVARM1.GFX."), 0u);
    EXPECT_EQ(RowsOf(*image.GetFrameSurface(0), 5), std::vector<uint8_t>(15, 4));
    EXPECT_EQ(RowsOf(*image.GetFrameSurface(1), 6), std::vector<uint8_t>(12, 3));
    EXPECT_EQ(RowsOf(*image.GetFrameSurface(2), 7), frames[2].indices);
}

TEST_F(FailingSave, ASaveAfterOneThatFailedWritesWhatItWouldHaveWritten)
{
    // Frame 0 becomes shorter code, which moves frame 2's data in the new
    // file; the old file, from which frame 2 is copied, keeps it where it was.
    const std::vector<uint8_t> zeros = MakeTga(1, 5, 3, 8, SevenColourMap(), std::vector<uint8_t>(15, 0));
    ASSERT_EQ(image.ReplaceFrame(0, TgaPath("c.tga", zeros), false), 1);
    CFileFaults::FailNth(FileOperation::Rename, 1);
    EXPECT_EQ(image.Save(), -2);
    CFileFaults::Reset();
    ASSERT_EQ(image.Save(), 0);
    const std::vector<uint8_t> retried = ReadFileBytes(overridePath);

    SetUp();
    ASSERT_EQ(image.ReplaceFrame(0, TgaPath("c.tga", zeros), false), 1);
    ASSERT_EQ(image.Save(), 0);
    EXPECT_EQ(retried, ReadFileBytes(overridePath));
    EXPECT_EQ(RowsOf(*image.GetFrameSurface(2), 7), frames[2].indices);
}

namespace {

ImportOptions Mode(ImportMode mode)
{
    ImportOptions options;
    options.mode = mode;
    return options;
}

// Eight colours of which 2 and 5 are the same, so that matching by colour
// moves every 5 to 2.
std::vector<uint8_t> TwinColours()
{
    std::vector<uint8_t> rgb = SevenColours();
    std::copy(rgb.begin() + 6, rgb.begin() + 9, rgb.begin() + 15);
    return rgb;
}

std::vector<uint8_t> TwinColourMap()
{
    std::vector<uint8_t> map = SevenColourMap();
    std::copy(map.begin() + 6, map.begin() + 9, map.begin() + 15);
    return map;
}

} // namespace

TEST_F(PortraitEdit, KeptIndicesStayAsTheFileHasThemWhereColoursRepeat)
{
    game = std::make_unique<GameDir>(
        std::vector<TestEntry>{{kLarge, MakePaletteImage(TwinColours(), {TestFrame{3, 2, {1, 2, 3, 4, 5, 6}}})}});
    const std::vector<uint8_t> pixels = {5, 2, 5, 7, 0, 5};
    const std::string tga = TgaPath("t.tga", MakeTga(1, 3, 2, 8, TwinColourMap(), pixels));
    const std::vector<uint8_t> paletteBefore = [&] {
        CPortraitImage probe;
        LoadEntry(probe, 0);
        return std::vector<uint8_t>(probe.Palette(), probe.Palette() + 1024);
    }();
    const struct {
        ImportMode mode;
        std::vector<uint8_t> indices;
    } cases[] = {
        {ImportMode::kRemap, {2, 2, 2, 7, 0, 2}},
        {ImportMode::kFilePalette, {2, 2, 2, 7, 0, 2}},
        {ImportMode::kKeepIndices, pixels},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        CPortraitImage image;
        ASSERT_EQ(LoadEntry(image, 0), 1);
        ReplaceFailure why;
        ASSERT_EQ(image.ReplaceFrame(0, tga, Mode(c.mode), why), 1);
        EXPECT_EQ(why.kind, ReplaceFailure::Kind::kNone);
        EXPECT_EQ(why.recolouredPixels, 0);
        EXPECT_TRUE(image.IsFrameChanged(0));
        EXPECT_EQ(RowsOf(*image.GetFrameSurface(0), 3), c.indices);
        EXPECT_EQ(std::vector<uint8_t>(image.Palette(), image.Palette() + 1024), paletteBefore);
        // What the frame shows is the file's colours.
        const CRasterSurface* display = image.GetDisplaySurface(0);
        EXPECT_EQ(std::vector<uint8_t>(display->m_pBits, display->m_pBits + 4),
                  (std::vector<uint8_t>{14, 195, 60, 0}));
    }
    // The unchanged overload with the check box clear still remaps.
    CPortraitImage image;
    ASSERT_EQ(LoadEntry(image, 0), 1);
    ASSERT_EQ(image.ReplaceFrame(0, tga, false), 1);
    EXPECT_EQ(RowsOf(*image.GetFrameSurface(0), 3), cases[0].indices);
}

TEST_F(PortraitEdit, ExportedFramesReimportedWithTheirIndicesKeepTheirStoredBytes)
{
    // Twin colours and index 0 in literal runs, which a fresh encoding or a
    // remap would both change.
    const std::vector<TestFrame> frames = {PatternFrame(5, 3, 1), TestFrame{4, 2, {5, 5, 2, 0, 0, 5, 2, 5}},
                                           PatternFrame(7, 3, 3)};
    const std::vector<uint8_t> archived = MakePaletteImage(TwinColours(), frames);
    game = std::make_unique<GameDir>(std::vector<TestEntry>{{kMedium, archived}});
    CPortraitImage image;
    ASSERT_EQ(LoadEntry(image, 0), 1);
    for (const ExportFormat format : {ExportFormat::kTga, ExportFormat::kPng}) {
        for (int32_t f = 0; f < 2; ++f) {
            const std::string file = *game / ("frame" + std::to_string(f) + (format == ExportFormat::kPng ? ".png" : ".tga"));
            ASSERT_EQ(image.ExportFrame(f, file, format), 1);
            ReplaceFailure why;
            ASSERT_EQ(image.ReplaceFrame(f, file, Mode(ImportMode::kKeepIndices), why), 1);
            EXPECT_EQ(why.recolouredPixels, 0);
            EXPECT_FALSE(image.IsFrameChanged(f));
        }
    }
    EXPECT_EQ(image.SaveIfChanged(), 0);
    // With another frame edited the save copies the two as they were.
    std::vector<uint8_t> edited = frames[2].indices;
    edited[4] = 5;
    ReplaceFailure why;
    ASSERT_EQ(image.ReplaceFrame(2, TgaPath("f2.tga", MakeTga(1, 7, 3, 8, TwinColourMap(), edited)),
                                 Mode(ImportMode::kKeepIndices), why),
              1);
    ASSERT_EQ(image.Save(), 0);
    const std::vector<uint8_t> file = ReadFileBytes(*game / "Portraits/XTVARM1.GFX");
    const std::vector<uint8_t> gfx(file.begin() + static_cast<long>(19 + kMedium.size()), file.end());
    EXPECT_EQ(StoredFrame(gfx, 0), StoredFrame(archived, 0));
    EXPECT_EQ(StoredFrame(gfx, 1), StoredFrame(archived, 1));
    EXPECT_EQ(RowsOf(*image.GetFrameSurface(2), 7), edited);
    EXPECT_EQ(RowsOf(*image.GetFrameSurface(1), 4), frames[1].indices);
}

TEST_F(PortraitEdit, KeepingIndicesRefusesFilesWithoutThemOrPastTheirMap)
{
    game = std::make_unique<GameDir>(std::vector<TestEntry>{
        {kLarge, MakePaletteImage(SevenColours(), {PatternFrame(4, 2)})},
        {kSmall, MakeTrueColourImage(2, 1, {1, 2})},
    });
    CPortraitImage image;
    ASSERT_EQ(LoadEntry(image, 0), 1);
    const std::vector<uint8_t> before = RowsOf(*image.GetFrameSurface(0), 4);
    TgaLayout shortMap;
    shortMap.imageType = 1;
    shortMap.depth = 8;
    shortMap.width = 4;
    shortMap.height = 2;
    shortMap.colourMapType = 1;
    shortMap.colourMapLength = 8;
    shortMap.colourMapEntrySize = 24;
    const std::vector<uint8_t> sevenMap = SevenColourMap();
    shortMap.colourMap.assign(sevenMap.begin(), sevenMap.begin() + 24);
    using Kind = ReplaceFailure::Kind;
    const struct {
        const char* what;
        std::vector<uint8_t> tga;
        ImportMode mode;
        Kind kind;
    } cases[] = {
        {"24-bit", MakeTga(2, 4, 2, 24, {}, std::vector<uint8_t>(24, 9)), ImportMode::kKeepIndices, Kind::kNeedsIndices},
        {"grey", MakeTga(3, 4, 2, 8, {}, std::vector<uint8_t>(8, 1)), ImportMode::kKeepIndices, Kind::kNeedsIndices},
        {"grey, its palette taken", MakeTga(3, 4, 2, 8, {}, std::vector<uint8_t>(8, 1)), ImportMode::kFilePalette,
         Kind::kNeedsPalette},
        {"index 8 of a map of 8", ::MakeTga(shortMap, {1, 2, 3, 4, 5, 6, 7, 8}), ImportMode::kKeepIndices,
         Kind::kIndexOutsideMap},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ReplaceFailure why;
        EXPECT_EQ(image.ReplaceFrame(0, TgaPath("bad.tga", c.tga), Mode(c.mode), why), -1);
        EXPECT_EQ(why.kind, c.kind);
        EXPECT_FALSE(image.IsFrameChanged(0));
        EXPECT_EQ(RowsOf(*image.GetFrameSurface(0), 4), before);
    }
    // The last index the map holds is taken.
    ReplaceFailure why;
    ASSERT_EQ(image.ReplaceFrame(0, TgaPath("ok.tga", ::MakeTga(shortMap, {1, 2, 3, 4, 5, 6, 7, 7})),
                                 Mode(ImportMode::kKeepIndices), why),
              1);
    EXPECT_EQ(RowsOf(*image.GetFrameSurface(0), 4), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 7}));

    // Into a true-colour image the mode makes no difference.
    ASSERT_EQ(LoadEntry(image, 1), 1);
    const std::vector<uint8_t> pixels = {255, 255, 255, 0, 0, 255};
    ASSERT_EQ(image.ReplaceFrame(0, TgaPath("t.tga", MakeTga(2, 2, 1, 24, {}, pixels)), Mode(ImportMode::kKeepIndices),
                                 why),
              1);
    const CRasterSurface* s = image.GetFrameSurface(0);
    EXPECT_EQ(std::vector<uint8_t>(s->m_pBits, s->m_pBits + 8), (std::vector<uint8_t>{255, 255, 255, 0, 0, 0, 255, 0}));
}

TEST_F(PortraitEdit, KeptIndicesCountThePixelsThatNowShowAnotherColour)
{
    game = std::make_unique<GameDir>(std::vector<TestEntry>{{kLarge, MakePaletteImage(SevenColours(), {PatternFrame(5, 1)})}});
    CPortraitImage image;
    ASSERT_EQ(LoadEntry(image, 0), 1);
    // The file differs from the image at 3 (used twice), 9 (used once; the
    // image's colour 9 is black) and 200 (not used).
    std::vector<uint8_t> map = SevenColourMap();
    map[3 * 3] ^= 1;
    map[9 * 3 + 2] = 40;
    map[200 * 3] = 1;
    const std::vector<uint8_t> pixels = {3, 1, 3, 9, 0};
    ReplaceFailure why;
    ASSERT_EQ(image.ReplaceFrame(0, TgaPath("t.tga", MakeTga(1, 5, 1, 8, map, pixels)), Mode(ImportMode::kKeepIndices),
                                 why),
              1);
    EXPECT_EQ(why.recolouredPixels, 3);
    EXPECT_EQ(RowsOf(*image.GetFrameSurface(0), 5), pixels);
    EXPECT_EQ(image.Palette()[3 * 4], 21); // the image's palette stays
    // Index 9 lies past the eight stored colours: the count grows to cover it.
    EXPECT_EQ(image.Header().ColourCount(), 10);
}

namespace {

// The 256 colours of rgb (red, green, blue each) as a PNG palette, black past them.
std::vector<uint8_t> PngPalette(const std::vector<uint8_t>& rgb)
{
    std::vector<uint8_t> palette(256 * 3, 0);
    std::copy(rgb.begin(), rgb.end(), palette.begin());
    return palette;
}

// The colours of rgb at the given indices, red, green, blue a pixel.
std::vector<uint8_t> PixelsOf(const std::vector<uint8_t>& rgb, const std::vector<uint8_t>& indices)
{
    std::vector<uint8_t> pixels;
    for (uint8_t i : indices)
        pixels.insert(pixels.end(), rgb.begin() + 3 * i, rgb.begin() + 3 * i + 3);
    return pixels;
}

} // namespace

TEST_F(PortraitEdit, PngFilesImportInEveryModeAsTgaFilesDo)
{
    const std::vector<uint8_t> indices = {5, 5, 2, 0, 1, 7};
    game = std::make_unique<GameDir>(std::vector<TestEntry>{
        {kLarge, MakePaletteImage(TwinColours(), {TestFrame{3, 2, {1, 2, 3, 4, 5, 6}}})},
        {kSmall, MakeTrueColourImage(3, 2, {0, 0, 0, 0, 0, 0}, 2)},
        {kMedium, MakePaletteImage({0, 0, 0, 60, 60, 60}, {TestFrame{2, 1, {0, 1}}})},
    });
    const std::string indexed = *game / "indexed.png", rgb = *game / "rgb.png";
    ASSERT_TRUE(WriteIndexedPng(indexed, 3, 2, indices.data(), 3, PngPalette(TwinColours()).data()));
    const std::vector<uint8_t> colours = PixelsOf(TwinColours(), indices);
    ASSERT_TRUE(WriteRgbPng(rgb, 3, 2, colours.data(), 9));
    const std::string tga = TgaPath("same.tga", MakeTga(1, 3, 2, 8, TwinColourMap(), indices));

    // An indexed PNG goes as the TGA file with the same indices and map.
    for (const ImportMode mode : {ImportMode::kRemap, ImportMode::kKeepIndices, ImportMode::kFilePalette}) {
        SCOPED_TRACE(static_cast<int>(mode));
        CPortraitImage fromPng, fromTga;
        ASSERT_EQ(LoadEntry(fromPng, 0), 1);
        ASSERT_EQ(LoadEntry(fromTga, 0), 1);
        ReplaceFailure why;
        ASSERT_EQ(fromPng.ReplaceFrame(0, indexed, Mode(mode), why), 1);
        ASSERT_EQ(fromTga.ReplaceFrame(0, tga, Mode(mode), why), 1);
        EXPECT_EQ(RowsOf(*fromPng.GetFrameSurface(0), 3), RowsOf(*fromTga.GetFrameSurface(0), 3));
        EXPECT_TRUE(std::equal(fromPng.Palette(), fromPng.Palette() + 1024, fromTga.Palette()));
        if (mode == ImportMode::kKeepIndices) {
            EXPECT_EQ(RowsOf(*fromPng.GetFrameSurface(0), 3), indices);
        }
    }

    // An RGB PNG is remapped pixel by pixel, the twin colour to its lowest
    // index; it has no indices to keep and no palette to take.
    CPortraitImage image;
    ASSERT_EQ(LoadEntry(image, 0), 1);
    ReplaceFailure why;
    EXPECT_EQ(image.ReplaceFrame(0, rgb, Mode(ImportMode::kKeepIndices), why), -1);
    EXPECT_EQ(why.kind, ReplaceFailure::Kind::kNeedsIndices);
    EXPECT_EQ(image.ReplaceFrame(0, rgb, Mode(ImportMode::kFilePalette), why), -1);
    EXPECT_EQ(why.kind, ReplaceFailure::Kind::kNeedsPalette);
    EXPECT_FALSE(image.IsFrameChanged(0));
    ASSERT_EQ(image.ReplaceFrame(0, rgb, Mode(ImportMode::kRemap), why), 1);
    EXPECT_EQ(RowsOf(*image.GetFrameSurface(0), 3), (std::vector<uint8_t>{2, 2, 2, 0, 1, 7}));

    // A PNG of another size, or one cut short, changes nothing.
    const std::string wide = *game / "wide.png", cut = *game / "cut.png";
    ASSERT_TRUE(WriteIndexedPng(wide, 4, 2, std::vector<uint8_t>(8, 1).data(), 4, PngPalette(TwinColours()).data()));
    std::vector<uint8_t> bytes = ReadFileBytes(indexed);
    bytes.resize(bytes.size() - 20);
    game->Dir().WriteFile("cut.png", bytes);
    EXPECT_EQ(image.ReplaceFrame(0, wide, Mode(ImportMode::kRemap), why), -2);
    EXPECT_EQ(why.kind, ReplaceFailure::Kind::kWrongSize);
    EXPECT_EQ(why.fileWidth, 4);
    EXPECT_EQ(image.ReplaceFrame(0, cut, Mode(ImportMode::kRemap), why), -1);
    EXPECT_EQ(why.kind, ReplaceFailure::Kind::kBrokenPng);
    EXPECT_EQ(RowsOf(*image.GetFrameSurface(0), 3), (std::vector<uint8_t>{2, 2, 2, 0, 1, 7}));

    // Into a true-colour image PNG pixels go as a 24-bit TGA file's.
    CPortraitImage fromPng, fromTga;
    ASSERT_EQ(LoadEntry(fromPng, 1), 1);
    ASSERT_EQ(LoadEntry(fromTga, 1), 1);
    std::vector<uint8_t> bgr = colours;
    for (size_t p = 0; p < bgr.size(); p += 3)
        std::swap(bgr[p], bgr[p + 2]);
    ASSERT_EQ(fromPng.ReplaceFrame(0, rgb, Mode(ImportMode::kRemap), why), 1);
    ASSERT_EQ(fromTga.ReplaceFrame(0, TgaPath("t.tga", MakeTga(2, 3, 2, 24, {}, bgr)), false), 1);
    const CRasterSurface &a = *fromPng.GetFrameSurface(0), &b = *fromTga.GetFrameSurface(0);
    EXPECT_TRUE(std::equal(a.m_pBits, a.m_pBits + 24, b.m_pBits));

    // The metric chosen is the one matched by: dark greys go to black by the
    // channel sum and to (60, 60, 60) in OKLab.
    const std::vector<uint8_t> greys = {20, 20, 20, 30, 30, 30};
    const std::string grey = *game / "grey.png";
    ASSERT_TRUE(WriteRgbPng(grey, 2, 1, greys.data(), 6));
    for (const ColourMetric metric : {ColourMetric::kClassic, ColourMetric::kPerceptual}) {
        CPortraitImage medium;
        ASSERT_EQ(LoadEntry(medium, 2), 1);
        ImportOptions options;
        options.metric = metric;
        ASSERT_EQ(medium.ReplaceFrame(0, grey, options, why), 1);
        const CColourMatch match(medium.Palette(), metric);
        EXPECT_EQ(RowsOf(*medium.GetFrameSurface(0), 2),
                  (std::vector<uint8_t>{match.Nearest(20, 20, 20), match.Nearest(30, 30, 30)}));
    }
    EXPECT_NE(CColourMatch(image.Palette(), ColourMetric::kClassic).Nearest(20, 20, 20), 1);
}

TEST_F(PortraitEdit, FramesExportAsPngWithTheTgaExportsColours)
{
    game = std::make_unique<GameDir>(std::vector<TestEntry>{
        {kLarge, MakePaletteImage(SevenColours(), {PatternFrame(5, 3, 1)})},
        {kSmall, MakeTrueColourImage(3, 1, {0xF800, 0x07E0, 0x001F}, 2)},
    });
    for (int32_t entry = 0; entry < 2; ++entry) {
        CPortraitImage image;
        ASSERT_EQ(LoadEntry(image, entry), 1);
        const std::string png = *game / "f.png", tga = *game / "f.tga";
        ASSERT_EQ(image.ExportFrame(0, png, ExportFormat::kPng), 1);
        ASSERT_EQ(image.ExportFrame(0, tga, ExportFormat::kTga), 1);
        PngPicture picture;
        ASSERT_EQ(ReadPng(png, picture), PngReadResult::kOk);
        CRasterSurface fromTga;
        if (entry == 0)
            fromTga.CreateBuffer(0, 0);
        ASSERT_EQ(fromTga.LoadTga(tga), 1);
        const size_t pixels = static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height);
        ASSERT_EQ(picture.width, fromTga.m_width);
        ASSERT_EQ(picture.height, fromTga.m_height);
        ASSERT_EQ(picture.indexed, entry == 0);
        for (size_t p = 0; p < pixels; ++p) {
            if (entry == 0) {
                ASSERT_EQ(picture.indices[p], fromTga.m_pBits[p]);
            } else {
                for (size_t c = 0; c < 3; ++c)
                    ASSERT_EQ(picture.rgb[p * 3 + c], fromTga.m_pBits[p * 4 + 2 - c]);
            }
        }
        if (entry == 0) {
            ASSERT_EQ(picture.PaletteLength(), 256u);
            for (size_t k = 0; k < 256; ++k)
                for (size_t c = 0; c < 3; ++c)
                    ASSERT_EQ(picture.palette[k * 3 + c], fromTga.m_pPalette[k * 4 + 2 - c]);
        }
    }
}

TEST_F(PortraitEdit, ASnapshotRestoredSavesTheImageOfItsMoment)
{
    const std::vector<TestFrame> frames = {PatternFrame(5, 3, 1), PatternFrame(91, 2, 2), PatternFrame(6, 4, 3),
                                           PatternFrame(7, 1, 4)};
    const std::vector<uint8_t> archived = MakePaletteImage(SevenColours(), frames, -1, /*reverseData=*/true);
    game = std::make_unique<GameDir>(std::vector<TestEntry>{{"OTHER", Pattern(11)}, {kMedium, archived}});
    const std::string file = *game / "Portraits/XTVARM1.GFX";
    CPortraitImage image;
    ASSERT_EQ(LoadEntry(image, 1), 1);
    const std::vector<uint8_t> frame2 = RowsOf(*image.GetFrameSurface(2), 6);
    ImageSnapshot original, imported;
    ASSERT_TRUE(image.TakeSnapshot(original));
    EXPECT_TRUE(original.original && image.IsOriginal());

    std::vector<uint8_t> edited(6 * 4, 5);
    ASSERT_EQ(image.ReplaceFrame(2, TgaPath("f2.tga", MakeTga(1, 6, 4, 8, SevenColourMap(), edited)), false), 1);
    EXPECT_FALSE(image.IsOriginal());
    ASSERT_TRUE(image.TakeSnapshot(imported));
    EXPECT_FALSE(imported.original);
    ASSERT_EQ(image.Save(), 0);
    const std::vector<uint8_t> saved = ReadFileBytes(file);
    ASSERT_EQ(image.ReplaceFrame(0, TgaPath("f0.tga", MakeTga(1, 5, 3, 8, SevenColourMap(), std::vector<uint8_t>(15, 2))), false), 1);
    ASSERT_EQ(image.Save(), 0);
    ASSERT_NE(ReadFileBytes(file), saved);

    // Back to the import: counted as a change, and saved as it was saved then.
    image.RestoreSnapshot(imported);
    EXPECT_TRUE(image.HasChanges());
    EXPECT_FALSE(image.IsOriginal());
    EXPECT_EQ(RowsOf(*image.GetFrameSurface(2), 6), edited);
    ASSERT_EQ(image.Save(), 0);
    EXPECT_EQ(ReadFileBytes(file), saved);
    EXPECT_FALSE(image.HasChanges());

    // Back to the archive's image, which the override file no longer holds:
    // a frame changed afterwards is saved beside the others' archived bytes.
    image.RestoreSnapshot(original);
    EXPECT_TRUE(image.IsOriginal());
    EXPECT_EQ(RowsOf(*image.GetFrameSurface(2), 6), frame2);
    ASSERT_EQ(image.ReplaceFrame(1, TgaPath("f1.tga", MakeTga(1, 91, 2, 8, SevenColourMap(), std::vector<uint8_t>(182, 3))), false), 1);
    ASSERT_EQ(image.Save(), 0);
    const std::vector<uint8_t> last = ReadFileBytes(file);
    const std::vector<uint8_t> gfx(last.begin() + static_cast<long>(19 + kMedium.size()), last.end());
    for (size_t i : {0u, 2u, 3u})
        EXPECT_EQ(StoredFrame(gfx, i), StoredFrame(archived, i)) << i;
}
