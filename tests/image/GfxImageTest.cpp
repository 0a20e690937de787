// The GFX format layer: bytes from the tests' own builder parse into the
// parts they were made of and serialize back unchanged, values built through
// the writer's helpers give those same bytes, and bytes cut short or
// claiming more than they hold parse without taking memory for the claim.
// Also that the image tells its own message handler of an overrun.
#include <gtest/gtest.h>

#include "GfxImage.h"
#include "MessageBoxHandler.h"
#include "PortraitImage.h"
#include "ArchiveBytes.h"
#include "GfxBytes.h"

namespace {

std::vector<uint8_t> Colours(size_t n)
{
    std::vector<uint8_t> rgb;
    for (size_t i = 0; i < n; ++i)
        rgb.insert(rgb.end(), {static_cast<uint8_t>(i), static_cast<uint8_t>(100 + i), static_cast<uint8_t>(200 + i)});
    return rgb;
}

std::vector<uint8_t> Bytes(std::span<const uint8_t> span)
{
    return {span.begin(), span.end()};
}

const std::vector<TestFrame> kFrames = {PatternFrame(5, 3, 1), PatternFrame(130, 2, 2), PatternFrame(1, 1, 3)};

} // namespace

TEST(GfxImage, PaletteImageRoundTrip)
{
    for (const bool reverseData : {false, true}) {
        SCOPED_TRACE(reverseData);
        const std::vector<uint8_t> rgb = Colours(300); // colours past 256 are stored too
        const std::vector<uint8_t> bytes = MakePaletteImage(rgb, kFrames, -1, reverseData);
        const GfxImage gfx = ParseGfx(bytes);
        EXPECT_EQ(gfx.header.ColourCount(), 300);
        EXPECT_EQ(gfx.palette, rgb);
        ASSERT_EQ(gfx.frameTable.size(), kFrames.size());
        for (size_t i = 0; i < kFrames.size(); ++i) {
            EXPECT_EQ(gfx.frameTable[i].Width(), kFrames[i].width);
            EXPECT_EQ(gfx.frameTable[i].bytes[8], 0xC0 + i); // preserved bytes
            EXPECT_EQ(Bytes(gfx.FrameCode(i)), LiteralRunLength(kFrames[i]));
        }
        EXPECT_TRUE(gfx.pixels.empty());
        EXPECT_EQ(SerializeGfx(gfx), bytes);
    }
}

TEST(GfxImage, BuiltValuesGiveTheBuildersBytes)
{
    const std::vector<uint8_t> rgb = Colours(7);
    const std::vector<uint8_t> expected = MakePaletteImage(rgb, kFrames);
    GfxHeader header;
    header.bytes[0] = 0xA1;
    header.bytes[50] = 0xB2;
    GfxImage gfx = GfxImage::PaletteImage(header, rgb);
    for (size_t i = 0; i < kFrames.size(); ++i) {
        GfxFrameRecord record;
        record.bytes[8] = static_cast<uint8_t>(0xC0 + i);
        record.SetWidth(kFrames[i].width);
        record.SetHeight(kFrames[i].height);
        ASSERT_TRUE(gfx.AddFrame(record, LiteralRunLength(kFrames[i])));
    }
    EXPECT_EQ(SerializeGfx(gfx), expected);

    // Encoded frames decode to the same indices, whatever code they take.
    GfxImage encoded = GfxImage::PaletteImage(header, rgb);
    for (const TestFrame& f : kFrames)
        ASSERT_TRUE(encoded.AddFrame(GfxFrameRecord{}, f.indices.data(), f.width, f.height));
    CPortraitImage image;
    const std::vector<uint8_t> bytes = SerializeGfx(encoded);
    image.ReadImage(bytes.data(), bytes.size());
    ASSERT_EQ(image.Header().FrameCount(), 3);
    for (int32_t i = 0; i < 3; ++i) {
        const CRasterSurface& s = *image.GetFrameSurface(i);
        const TestFrame& f = kFrames[static_cast<size_t>(i)];
        for (int32_t y = 0; y < f.height; ++y)
            ASSERT_EQ(std::vector<uint8_t>(s.m_pBits + y * s.m_width, s.m_pBits + y * s.m_width + f.width),
                      std::vector<uint8_t>(f.indices.begin() + y * f.width, f.indices.begin() + (y + 1) * f.width));
    }

    const std::vector<uint16_t> pixels = {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0x0821};
    const std::vector<uint8_t> trueColour = MakeTrueColourImage(3, 2, pixels);
    EXPECT_EQ(SerializeGfx(GfxImage::TrueColourImage(GfxHeader{}, 3, 2, pixels)), trueColour);
    const GfxImage parsed = ParseGfx(trueColour);
    EXPECT_EQ(parsed.pixels, pixels);
    EXPECT_TRUE(parsed.palette.empty() && parsed.frameTable.empty() && parsed.frameData.empty());
}

TEST(GfxImage, InputCutShortParsesAsFarAsItGoes)
{
    const std::vector<uint8_t> rgb = Colours(4);
    const std::vector<uint8_t> bytes = MakePaletteImage(rgb, kFrames);
    const size_t table = 64 + rgb.size(), data = table + 16 * kFrames.size();
    const std::vector<uint8_t> codes = std::vector<uint8_t>(bytes.begin() + static_cast<long>(data), bytes.end());
    for (size_t size = 0; size < bytes.size(); ++size) {
        SCOPED_TRACE(size);
        const GfxImage gfx = ParseGfx(std::span<const uint8_t>(bytes.data(), size));
        if (size < 64) {
            // Zeros past the end of the header, and nothing after it.
            std::vector<uint8_t> header(bytes.begin(), bytes.begin() + static_cast<long>(size));
            header.resize(64, 0);
            EXPECT_EQ(std::vector<uint8_t>(gfx.header.bytes.begin(), gfx.header.bytes.end()), header);
            EXPECT_TRUE(gfx.palette.empty() && gfx.frameData.empty());
            for (const GfxFrameRecord& record : gfx.frameTable)
                EXPECT_EQ(record.bytes, GfxFrameRecord{}.bytes);
            continue;
        }
        // Whole colours only; a table cut short reads as zeros.
        const size_t colours = std::min<size_t>((size - 64) / 3, 4);
        EXPECT_EQ(gfx.palette, std::vector<uint8_t>(rgb.begin(), rgb.begin() + static_cast<long>(3 * colours)));
        ASSERT_EQ(gfx.frameTable.size(), kFrames.size());
        EXPECT_EQ(gfx.frameTable[0].Width(), size >= table + 16 ? kFrames[0].width : 0);
        EXPECT_EQ(gfx.frameData, std::vector<uint8_t>(codes.begin(), codes.begin() + static_cast<long>(size > data ? size - data : 0)));
        for (size_t i = 0; size >= data && i < kFrames.size(); ++i) {
            const uint32_t offset = gfx.frameTable[i].Offset();
            const std::vector<uint8_t> whole = LiteralRunLength(kFrames[i]);
            const size_t held = offset < size - data ? std::min(whole.size(), size - data - offset) : 0;
            EXPECT_EQ(Bytes(gfx.FrameCode(i)), std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(held)));
        }
    }
    // Odd bytes of a true-colour image are no pixel.
    const std::vector<uint8_t> trueColour = MakeTrueColourImage(2, 1, {0x1234, 0x5678});
    EXPECT_EQ(ParseGfx(std::span<const uint8_t>(trueColour.data(), trueColour.size() - 1)).pixels,
              std::vector<uint16_t>{0x1234});
}

TEST(GfxImage, ClaimsBeyondTheBytesTakeNoMemory)
{
    // 32,767 colours and 255 frames claimed by a header alone.
    std::vector<uint8_t> bytes = MakePaletteImage({}, {}, 32767);
    bytes[28] = 255;
    GfxImage gfx = ParseGfx(bytes);
    EXPECT_TRUE(gfx.palette.empty());
    EXPECT_LE(gfx.palette.capacity(), 16u);
    EXPECT_EQ(gfx.frameTable.size(), 255u);
    EXPECT_TRUE(gfx.frameData.empty());
    EXPECT_TRUE(gfx.FrameCode(0).empty());
    EXPECT_TRUE(gfx.FrameCode(255).empty());

    // Offsets and lengths past the frame data.
    bytes = MakePaletteImage(Colours(1), {TestFrame{2, 1, {}, {0x02, 1, 1, 0}}, TestFrame{2, 1, {}, {0x82, 0}}});
    PutU32(bytes, 64 + 3 + 0, 0xFFFFFF00u);
    PutU32(bytes, 64 + 3 + 16 + 4, 0xFFFFFFFFu);
    gfx = ParseGfx(bytes);
    EXPECT_TRUE(gfx.FrameCode(0).empty());
    EXPECT_EQ(Bytes(gfx.FrameCode(1)), (std::vector<uint8_t>{0x82, 0}));

    // Nine million true-colour pixels claimed, ten held.
    EXPECT_EQ(ParseGfx(MakeTrueColourImage(3000, 3000, std::vector<uint16_t>(10, 7))).pixels.size(), 10u);

    // A value that cannot take another frame is left as it was.
    GfxImage full = GfxImage::PaletteImage(GfxHeader{}, {});
    for (int i = 0; i < 255; ++i)
        ASSERT_TRUE(full.AddFrame(GfxFrameRecord{}, std::vector<uint8_t>{0}));
    EXPECT_FALSE(full.AddFrame(GfxFrameRecord{}, std::vector<uint8_t>{0}));
    EXPECT_EQ(full.header.FrameCount(), 255);
    EXPECT_EQ(full.frameData.size(), 255u);
}

TEST(GfxImage, AnOverrunIsToldToTheImagesHandler)
{
    std::vector<std::pair<std::string, std::string>> told;
    const std::vector<uint8_t> bytes = MakePaletteImage(Colours(1), {TestFrame{4, 1, {}, {0x85, 0}}});
    CPortraitImage image;
    image.SetMessageHandler([&told](const std::string& text, const std::string& caption) { told.emplace_back(text, caption); });
    image.ReadImage(bytes.data(), bytes.size());
    const std::vector<std::pair<std::string, std::string>> expected = {{"Error!", "Memory Overwrite !"}};
    EXPECT_EQ(told, expected);
    // Without one nobody is told, and the image loads as far as it goes.
    image.SetMessageHandler(nullptr);
    image.ReadImage(bytes.data(), bytes.size());
    EXPECT_EQ(told.size(), 1u);
    EXPECT_TRUE(image.GetFrameSurface(0));
}
