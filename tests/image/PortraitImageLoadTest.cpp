// Loading portrait images: palette and true-colour kinds, row widening, the
// override file before the archive, and malformed images that must load as
// far as they go without reading or allocating out of bounds.
#include <gtest/gtest.h>

#include <cstring>

#include "PortraitImage.h"
#include "MessageBoxHandler.h"
#include "GameDir.h"
#include "GfxBytes.h"

namespace {

const std::string kLarge = "PORTRAITS\\LARGE\\XTVARM1.GFX";

std::vector<uint8_t> Rgb(std::initializer_list<uint8_t> bytes) { return bytes; }

// Pixel (x, y) of a 32-bit surface as blue, green, red, fourth byte.
std::vector<uint8_t> Pixel32(const CRasterSurface& s, int x, int y)
{
    const uint8_t* p = s.m_pBits + (static_cast<size_t>(y) * static_cast<size_t>(s.m_width) + static_cast<size_t>(x)) * 4;
    return {p[0], p[1], p[2], p[3]};
}

int32_t LoadEntry(CPortraitImage& image, GameDir& game, int32_t index)
{
    image.SetSubFolder("\\Portraits");
    return image.Load(game.Base(), game.ArchivePath(), index, &game.Archive());
}

// Counts the message boxes an image shows.
struct MessageCounter {
    void Listen(CPortraitImage& image)
    {
        image.SetMessageHandler([this](const std::string&, const std::string&) { ++count; });
    }
    int count = 0;
};

} // namespace

TEST(PortraitImageLoad, PaletteFramesAreWidenedToAMultipleOfFour)
{
    // Colour i is (red 10i, green 10i + 1, blue 10i + 2).
    std::vector<uint8_t> rgb;
    for (uint8_t i = 0; i < 8; ++i)
        rgb.insert(rgb.end(), {static_cast<uint8_t>(10 * i), static_cast<uint8_t>(10 * i + 1), static_cast<uint8_t>(10 * i + 2)});
    const TestFrame frame = PatternFrame(45, 10);
    GameDir game({{"OTHER", Pattern(7)}, {kLarge, MakePaletteImage(rgb, {frame})}});
    CPortraitImage image;
    ASSERT_EQ(LoadEntry(image, game, 1), 1);
    EXPECT_EQ(image.SourcePath(), game.ArchivePath());

    const CRasterSurface* indices = image.GetFrameSurface(0);
    const CRasterSurface* display = image.GetDisplaySurface(0);
    ASSERT_TRUE(indices && display);
    EXPECT_EQ(indices->m_width, 48);
    EXPECT_EQ(indices->m_height, 10);
    EXPECT_EQ(indices->m_depth, 8);
    EXPECT_EQ(display->m_width, 48);
    EXPECT_EQ(display->m_depth, 32);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 48; ++x) {
            const uint8_t expected = x < 45 ? frame.indices[static_cast<size_t>(y * 45 + x)] : 0;
            ASSERT_EQ(indices->m_pBits[y * 48 + x], expected) << x << "," << y;
            const uint8_t c = expected;
            const std::vector<uint8_t> colour = x < 45 ? std::vector<uint8_t>{static_cast<uint8_t>(10 * c + 2),
                                                                              static_cast<uint8_t>(10 * c + 1),
                                                                              static_cast<uint8_t>(10 * c), 0}
                                                       : std::vector<uint8_t>{0, 0, 0, 0};
            ASSERT_EQ(Pixel32(*display, x, y), colour) << x << "," << y;
        }
    }
}

TEST(PortraitImageLoad, PaletteColourCounts)
{
    struct Case {
        int32_t colourCount;
        size_t storedColours;
        int firstBlack;
    };
    for (const Case c : {Case{0, 0, 0}, Case{16, 16, 16}, Case{300, 300, 256}}) {
        SCOPED_TRACE(c.colourCount);
        std::vector<uint8_t> rgb;
        for (size_t i = 0; i < c.storedColours; ++i)
            rgb.insert(rgb.end(), {static_cast<uint8_t>(i), 7, static_cast<uint8_t>(i + 1)});
        // The frame table follows all stored colours, also beyond 256.
        TestFrame frame{2, 1, {3, 4}};
        GameDir game({{kLarge, MakePaletteImage(rgb, {frame}, c.colourCount)}});
        CPortraitImage image;
        ASSERT_EQ(LoadEntry(image, game, 0), 1);
        const uint8_t* palette = image.Palette();
        for (int i = 0; i < 256; ++i) {
            const std::vector<uint8_t> expected =
                i < c.firstBlack ? std::vector<uint8_t>{static_cast<uint8_t>(i + 1), 7, static_cast<uint8_t>(i), 0}
                                 : std::vector<uint8_t>{0, 0, 0, 0};
            ASSERT_EQ(std::vector<uint8_t>(palette + i * 4, palette + i * 4 + 4), expected) << i;
        }
        ASSERT_TRUE(image.GetFrameSurface(0));
        EXPECT_EQ(image.GetFrameSurface(0)->m_pBits[0], 3);
        EXPECT_EQ(image.GetFrameSurface(0)->m_pBits[1], 4);
    }
}

TEST(PortraitImageLoad, FrameAccessAndDataOrder)
{
    const TestFrame a = PatternFrame(5, 3, 1), b = PatternFrame(8, 2, 2), c = PatternFrame(3, 4, 3);
    GameDir game({{kLarge, MakePaletteImage(Rgb({1, 2, 3}), {a, b, c}, -1, /*reverseData=*/true)},
                  {"PORTRAITS\\MEDIUM\\XTVARM1.GFX", MakePaletteImage(Rgb({1, 2, 3}), {})}});
    CPortraitImage image;
    ASSERT_EQ(LoadEntry(image, game, 0), 1);
    EXPECT_EQ(image.GetFrameSurface(-1), nullptr);
    EXPECT_EQ(image.GetFrameSurface(3), nullptr);
    EXPECT_EQ(image.GetDisplaySurface(3), nullptr);
    const TestFrame* frames[] = {&a, &b, &c};
    for (int i = 0; i < 3; ++i) {
        const CRasterSurface* s = image.GetFrameSurface(i);
        ASSERT_TRUE(s);
        const int w = frames[i]->width, stride = s->m_width;
        for (int y = 0; y < frames[i]->height; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(s->m_pBits[y * stride + x], frames[i]->indices[static_cast<size_t>(y * w + x)]) << i;
    }

    // No frames: loaded, but nothing to draw.
    ASSERT_EQ(LoadEntry(image, game, 1), 1);
    EXPECT_EQ(image.GetFrameSurface(0), nullptr);
    EXPECT_EQ(image.GetDisplaySurface(0), nullptr);
    EXPECT_EQ(image.SaveIfChanged(), 0);
}

TEST(PortraitImageLoad, TrueColourPixelsWidenByShifting)
{
    GameDir game({{kLarge, MakeTrueColourImage(3, 2, {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0x0821}, 3)}});
    CPortraitImage image;
    ASSERT_EQ(LoadEntry(image, game, 0), 1);
    EXPECT_EQ(image.Header().FrameCount(), 1); // whatever the header said
    EXPECT_EQ(image.GetFrameSurface(1), nullptr);
    const CRasterSurface* s = image.GetFrameSurface(0);
    ASSERT_TRUE(s);
    EXPECT_EQ(image.GetDisplaySurface(0), s);
    EXPECT_EQ(s->m_width, 4);
    EXPECT_EQ(s->m_depth, 32);
    EXPECT_EQ(Pixel32(*s, 0, 0), (std::vector<uint8_t>{0, 0, 248, 0}));
    EXPECT_EQ(Pixel32(*s, 1, 0), (std::vector<uint8_t>{0, 252, 0, 0}));
    EXPECT_EQ(Pixel32(*s, 2, 0), (std::vector<uint8_t>{248, 0, 0, 0}));
    EXPECT_EQ(Pixel32(*s, 3, 0), (std::vector<uint8_t>{0, 0, 0, 0})); // pad
    EXPECT_EQ(Pixel32(*s, 0, 1), (std::vector<uint8_t>{248, 252, 248, 0}));
    EXPECT_EQ(Pixel32(*s, 2, 1), (std::vector<uint8_t>{8, 4, 8, 0}));
}

TEST(PortraitImageLoad, OverrideFileComesFirst)
{
    const std::vector<uint8_t> archived = MakePaletteImage(Rgb({9, 9, 9}), {TestFrame{1, 1, {1}}});
    const std::vector<uint8_t> overridden = MakePaletteImage(Rgb({9, 9, 9}), {TestFrame{2, 1, {0, 1}}});
    GameDir game({{kLarge, archived}});
    game.Dir().WriteFile("Portraits/XTVARM1.GFX", MakeOverrideFile(kLarge, overridden));
    // The archive is not even opened when an override file exists.
    CPortraitImage image;
    image.SetSubFolder("\\Portraits");
    ASSERT_EQ(image.Load(game.Base(), game.Base() + "\\DATA\\MISSING.QPK", 0, &game.Archive()), 1);
    EXPECT_EQ(image.SourcePath(), game.Base() + "\\Portraits\\XTVARM1.GFX");
    ASSERT_TRUE(image.GetFrameSurface(0));
    EXPECT_EQ(image.GetFrameSurface(0)->m_width, 4); // the override's 2-pixel frame, widened

    // Neither an override nor a readable archive.
    std::filesystem::remove(game / "Portraits/XTVARM1.GFX");
    std::filesystem::remove(game / "DATA/DATA.QPK");
    EXPECT_EQ(image.Load(game.Base(), game.ArchivePath(), 0, &game.Archive()), -1);
    EXPECT_EQ(image.GetFrameSurface(0), nullptr);
    // No entry of that index: nothing is opened.
    EXPECT_EQ(image.Load(game.Base(), game.ArchivePath(), -1, &game.Archive()), -1);
    EXPECT_EQ(image.Load(game.Base(), game.ArchivePath(), 1, &game.Archive()), -1);
}

TEST(PortraitImageLoad, UnknownDepthLoadsEmpty)
{
    std::vector<uint8_t> bytes = MakeTrueColourImage(1, 1, {0xFFFF});
    bytes[44] = 24;
    GameDir game({{kLarge, bytes}, {"PORTRAITS\\LARGE\\XTVARM2.GFX", {1, 2, 3}}});
    CPortraitImage image;
    EXPECT_EQ(LoadEntry(image, game, 0), 1);
    EXPECT_EQ(image.GetFrameSurface(0), nullptr);
    EXPECT_EQ(LoadEntry(image, game, 1), 1); // a header cut short
    EXPECT_EQ(image.GetFrameSurface(0), nullptr);
}

TEST(PortraitImageLoad, MalformedImagesLoadAsFarAsTheyGo)
{
    MessageCounter messages;
    // Frame 0: absurd width; frame 1: negative height; frame 2: data offset
    // far outside the entry, so no data to describe its pixels; frame 3:
    // data running past the entry's end; frame 4: too many pixels for its
    // buffer.
    std::vector<uint8_t> img = MakePaletteImage(
        Rgb({1, 2, 3, 4, 5, 6}),
        {TestFrame{30000, 2, {}, {0, 0}}, TestFrame{4, -3, {}, {0}}, TestFrame{2, 1, {}, {0x02, 1, 1, 0}},
         TestFrame{4, 2, {}, {0x04, 1, 1, 1, 1, 0, 0x04, 1, 1}}, TestFrame{4, 1, {}, {0x85, 0}}});
    const size_t table = 64 + 6;
    PutU32(img, table + 2 * 16, 0xFFFFFF00u);
    GameDir game({{kLarge, img}, {"NEXT", Pattern(64, 0x40)}});
    CPortraitImage image;
    messages.Listen(image);
    ASSERT_EQ(LoadEntry(image, game, 0), 1);
    ASSERT_TRUE(image.GetFrameSurface(0));
    EXPECT_EQ(image.GetFrameSurface(0)->m_pBits, nullptr);
    EXPECT_EQ(image.GetFrameSurface(1)->m_pBits, nullptr);
    EXPECT_EQ(image.GetFrameSurface(2)->m_pBits, nullptr);
    EXPECT_EQ(image.GetDisplaySurface(2)->m_pBits, nullptr);
    // Frame 3's second row is cut where its data end, not filled from the
    // bytes that follow them.
    const CRasterSurface* cut = image.GetFrameSurface(3);
    EXPECT_EQ(std::vector<uint8_t>(cut->m_pBits, cut->m_pBits + 8), (std::vector<uint8_t>{1, 1, 1, 1, 1, 1, 0, 0}));
    EXPECT_EQ(messages.count, 1); // frame 4's overrun
}

TEST(PortraitImageLoad, MemoryIsBoundedByTheImageNotByWhatItsHeadersClaim)
{
    // Twelve frames of 2000 x 2000 pixels that all point at the same zero
    // runs, which describe one of them: the first fits the image's pixel
    // budget, the others would pass it and stay empty. Frame 12 claims
    // 16,000 x 16,000 pixels from four bytes.
    std::vector<uint8_t> zeros(31496, 0xFF); // 127 pixels each
    zeros.push_back(0x88);                   // and the last 8 of 4,000,000
    std::vector<TestFrame> frames(12, TestFrame{2000, 2000, {}, zeros});
    frames.push_back(TestFrame{16000, 16000, {}, {0x81, 0, 0x81, 0}});
    std::vector<uint8_t> img = MakePaletteImage(Rgb({1, 2, 3}), frames);
    const size_t table = 64 + 3;
    for (size_t f = 1; f < 12; ++f)
        PutU32(img, table + f * 16, 0); // every frame's data offset is frame 0's
    const std::vector<uint8_t> trueColour = MakeTrueColourImage(3000, 3000, std::vector<uint16_t>(10, 0xFFFF));
    GameDir game({{kLarge, img}, {"PORTRAITS\\MEDIUM\\XTVARM1.GFX", trueColour}});
    CPortraitImage image;
    ASSERT_EQ(LoadEntry(image, game, 0), 1);
    ASSERT_EQ(image.Header().FrameCount(), 13);
    ASSERT_TRUE(image.GetFrameSurface(0)->m_pBits);
    EXPECT_EQ(image.GetFrameSurface(0)->m_width * image.GetFrameSurface(0)->m_height, 4000000);
    for (int32_t f = 1; f < 13; ++f) {
        SCOPED_TRACE(f);
        EXPECT_EQ(image.GetFrameSurface(f)->m_pBits, nullptr);
        EXPECT_EQ(image.GetDisplaySurface(f)->m_pBits, nullptr);
        int32_t width = 0, height = 0;
        image.GetFrameSize(f, width, height); // the record is kept as it was
        EXPECT_EQ(width, f < 12 ? 2000 : 16000);
    }
    // A true-colour image needs two bytes a pixel; ten pixels of nine million
    // leave it empty.
    ASSERT_EQ(LoadEntry(image, game, 1), 1);
    ASSERT_TRUE(image.GetFrameSurface(0));
    EXPECT_EQ(image.GetFrameSurface(0)->m_pBits, nullptr);
}

TEST(PortraitImageLoad, EntryNamesThatCouldLeaveThePortraitsFolderUseTheArchive)
{
    const std::string name = "PORTRAITS\\../X.GFX";
    const std::vector<uint8_t> archived = MakePaletteImage(Rgb({9, 9, 9}), {TestFrame{1, 1, {1}}});
    GameDir game({{name, archived}});
    // The file that "Portraits\../X.GFX" would reach, outside Portraits.
    game.Dir().WriteFile("X.GFX", MakeOverrideFile(name, MakePaletteImage(Rgb({}), {})));
    CPortraitImage image;
    ASSERT_EQ(LoadEntry(image, game, 0), 1);
    EXPECT_EQ(image.SourcePath(), game.ArchivePath());
    ASSERT_TRUE(image.GetFrameSurface(0));
}
