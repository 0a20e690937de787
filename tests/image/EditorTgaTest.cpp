// The TGA files image editors write by default, taken wherever a PNG file
// of the same pixels is: true-colour and grey files into a palette image
// are remapped as an RGB PNG's pixels are, and a colour-mapped file goes
// into a true-colour image as an indexed PNG does.
#include <gtest/gtest.h>

#include "PngFile.h"
#include "PortraitImage.h"
#include "GameDir.h"
#include "GfxBytes.h"
#include "TgaBytes.h"

namespace {

constexpr int kWidth = 6, kHeight = 4;
const std::string kLarge = "PORTRAITS\\LARGE\\XTVARM1.GFX";
const std::string kSmall = "PORTRAITS\\SMALL\\XTVARM1.GFX";

// Rows of pixels whose channels are multiples of 8, so that five bits a
// channel hold them exactly; the first row is one colour, for run packets.
// Grey pixels have three equal channels. The fourth byte varies, as alpha.
std::vector<std::vector<Bgra>> Picture(bool grey)
{
    std::vector<std::vector<Bgra>> rows(kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const int k = y == 0 ? 0 : y * kWidth + x;
            const auto c = [&](int m) { return static_cast<uint8_t>((k * m) % 32 * 8); };
            rows[y].push_back(grey ? Bgra{c(5), c(5), c(5), c(3)} : Bgra{c(5), c(11), c(3), c(7)});
        }
    return rows;
}

// A pixel of a grey file: grey, then alpha at 16 bits.
Bytes GreyValue(const Bgra& p, int depth) { return depth == 16 ? Bytes{p[0], p[3]} : Bytes{p[0]}; }

// The picture as one kind of file: uncompressed or as run-length packets (a
// run for the first row, a literal packet for each other), bottom row first
// or top.
Bytes TgaFile(bool grey, int depth, bool runLength, bool topRowFirst)
{
    std::vector<std::vector<Bgra>> rows = Picture(grey);
    if (!topRowFirst)
        std::reverse(rows.begin(), rows.end());
    const int encoded = depth == 15 ? 16 : depth;
    Bytes data;
    for (const auto& row : rows) {
        Bytes bytes;
        if (runLength && row == Picture(grey)[0])
            bytes = grey ? Join({Bytes{0x80 | (kWidth - 1)}, GreyValue(row[0], depth)})
                         : RunPacket(kWidth, row[0], encoded);
        else if (runLength && !grey)
            bytes = LiteralPacket(row, encoded);
        else {
            if (runLength)
                bytes.push_back(kWidth - 1);
            for (const Bgra& p : row) {
                const Bytes value = grey ? GreyValue(p, depth) : EncodePixel(p, encoded);
                bytes.insert(bytes.end(), value.begin(), value.end());
            }
        }
        data.insert(data.end(), bytes.begin(), bytes.end());
    }
    TgaLayout layout;
    layout.imageType = static_cast<uint8_t>((grey ? 3 : 2) + (runLength ? 8 : 0));
    layout.depth = static_cast<uint8_t>(depth);
    layout.width = kWidth;
    layout.height = kHeight;
    layout.topRowFirst = topRowFirst;
    return MakeTga(layout, data);
}

// The picture as red, green, blue a pixel, for an RGB PNG file.
std::vector<uint8_t> Rgb(bool grey)
{
    std::vector<uint8_t> rgb;
    for (const auto& row : Picture(grey))
        for (const Bgra& p : row)
            rgb.insert(rgb.end(), {p[2], p[1], p[0]});
    return rgb;
}

std::vector<uint8_t> Palette()
{
    std::vector<uint8_t> rgb;
    for (int i = 0; i < 40; ++i)
        rgb.insert(rgb.end(), {static_cast<uint8_t>(i * 37 % 256), static_cast<uint8_t>(i * 91 % 256),
                               static_cast<uint8_t>(i * 53 % 256)});
    return rgb;
}

std::vector<uint8_t> Pixels(const CRasterSurface& s, size_t bytesPerPixel)
{
    return {s.m_pBits, s.m_pBits + static_cast<size_t>(s.m_width) * s.m_height * bytesPerPixel};
}

class EditorTga : public ::testing::Test {
protected:
    EditorTga()
        : game({{kLarge, MakePaletteImage(Palette(), {PatternFrame(kWidth, kHeight)})},
                {kSmall, MakeTrueColourImage(kWidth, kHeight, std::vector<uint16_t>(kWidth * kHeight, 0x1234))}})
    {
    }
    std::unique_ptr<CPortraitImage> Load(int32_t entry)
    {
        auto image = std::make_unique<CPortraitImage>();
        image->SetSubFolder("\\Portraits");
        EXPECT_EQ(image->Load(game.Base(), game.ArchivePath(), entry, &game.Archive()), 1);
        return image;
    }
    std::string Write(const std::string& name, const Bytes& bytes)
    {
        game.Dir().WriteFile(name, bytes);
        return game / name;
    }
    GameDir game;
};

} // namespace

TEST_F(EditorTga, TrueColourAndGreyFilesAreRemappedAsAnRgbPngIs)
{
    const struct {
        const char* what;
        bool grey;
        int depth;
        bool runLength;
        bool topRowFirst;
    } kinds[] = {
        {"24-bit, bottom row first", false, 24, false, false}, {"24-bit run-length", false, 24, true, true},
        {"32-bit with alpha", false, 32, false, true},         {"32-bit run-length", false, 32, true, false},
        {"16-bit", false, 16, false, true},                    {"15-bit run-length", false, 15, true, false},
        {"grey", true, 8, false, false},                       {"grey run-length", true, 8, true, true},
        {"grey and alpha", true, 16, false, true},
    };
    ImportOptions plain, dithered;
    dithered.metric = ColourMetric::kPerceptual;
    dithered.dither = true;
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.what);
        const std::string png = game / "same.png";
        ASSERT_TRUE(WriteRgbPng(png, kWidth, kHeight, Rgb(kind.grey).data(), kWidth * 3));
        const std::string tga = Write("same.tga", TgaFile(kind.grey, kind.depth, kind.runLength, kind.topRowFirst));
        for (const ImportOptions& options : {plain, dithered}) {
            auto fromPng = Load(0), fromTga = Load(0);
            ReplaceFailure why;
            ASSERT_EQ(fromPng->ReplaceFrame(0, png, options, why), 1);
            ASSERT_EQ(fromTga->ReplaceFrame(0, tga, options, why), 1) << static_cast<int>(why.kind);
            EXPECT_EQ(Pixels(*fromTga->GetFrameSurface(0), 1), Pixels(*fromPng->GetFrameSurface(0), 1));
            EXPECT_EQ(fromTga->Header().ColourCount(), fromPng->Header().ColourCount());
        }
    }
}

TEST_F(EditorTga, TrueColourImagesTakeColourMappedFilesAndNeverTheAlpha)
{
    // A colour-mapped file gives its colours, as an indexed PNG does.
    std::vector<uint8_t> indices(kWidth * kHeight), pngPalette;
    for (size_t p = 0; p < indices.size(); ++p)
        indices[p] = static_cast<uint8_t>(p * 7);
    const Bytes map = TgaTestColourMap();
    for (size_t i = 0; i < 256; ++i)
        pngPalette.insert(pngPalette.end(), {map[i * 3 + 2], map[i * 3 + 1], map[i * 3]});
    TgaLayout layout;
    layout.imageType = 1;
    layout.depth = 8;
    layout.width = kWidth;
    layout.height = kHeight;
    layout.colourMapType = 1;
    layout.colourMapLength = 256;
    layout.colourMapEntrySize = 24;
    layout.colourMap = map;
    const std::string png = game / "mapped.png";
    ASSERT_TRUE(WriteIndexedPng(png, kWidth, kHeight, indices.data(), kWidth, pngPalette.data()));
    auto fromPng = Load(1), fromTga = Load(1);
    ReplaceFailure why;
    ASSERT_EQ(fromPng->ReplaceFrame(0, png, ImportOptions{}, why), 1);
    ASSERT_EQ(fromTga->ReplaceFrame(0, Write("mapped.tga", MakeTga(layout, indices)), ImportOptions{}, why), 1);
    EXPECT_EQ(Pixels(*fromTga->GetFrameSurface(0), 4), Pixels(*fromPng->GetFrameSurface(0), 4));

    // A 32-bit file's alpha is no colour: it reads as the 24-bit file of the
    // same colours, so importing it over them changes no pixel.
    auto image = Load(1);
    ASSERT_EQ(image->ReplaceFrame(0, Write("24.tga", TgaFile(false, 24, false, true)), ImportOptions{}, why), 1);
    const std::vector<uint8_t> opaque = Pixels(*image->GetFrameSurface(0), 4);
    ASSERT_EQ(image->ReplaceFrame(0, Write("32.tga", TgaFile(false, 32, true, true)), ImportOptions{}, why), 1);
    EXPECT_EQ(Pixels(*image->GetFrameSurface(0), 4), opaque);
}
