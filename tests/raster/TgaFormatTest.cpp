// The TGA format functions over bytes, against the tests' own builder: headers
// both ways and cut short, colour-map entries of every size, the pixel bounds,
// run-length packets, and the whole file as SaveTga writes it.
#include <gtest/gtest.h>

#include <vector>

#include "TgaBytes.h"
#include "TgaFormat.h"

namespace {

Bytes Stored(const TgaHeader& header)
{
    const auto bytes = SerializeTgaHeader(header);
    return Bytes(bytes.begin(), bytes.end());
}

} // namespace

TEST(TgaFormatTest, HeadersParseAndSerializeFieldByField)
{
    TgaLayout layout;
    layout.imageType = 9;
    layout.depth = 8;
    layout.width = 0x1234;
    layout.height = 0x0567;
    layout.topRowFirst = true;
    layout.id = Bytes(7, 1);
    layout.colourMapType = 1;
    layout.colourMapFirst = 0x0102;
    layout.colourMapLength = 0x0304;
    layout.colourMapEntrySize = 15;
    const Bytes bytes = MakeTgaHeader(layout);
    const TgaHeader h = ParseTgaHeader(bytes);
    EXPECT_EQ(h.idLength, 7);
    EXPECT_EQ(h.colourMapType, 1);
    EXPECT_EQ(h.imageType, 9);
    EXPECT_EQ(h.colourMapFirst, 0x0102);
    EXPECT_EQ(h.colourMapLength, 0x0304);
    EXPECT_EQ(h.colourMapEntrySize, 15);
    EXPECT_EQ(h.width, 0x1234);
    EXPECT_EQ(h.height, 0x0567);
    EXPECT_EQ(h.pixelDepth, 8);
    EXPECT_TRUE(h.TopRowFirst());
    EXPECT_EQ(TgaColourMapBytes(h), 0x0304u * 2);
    EXPECT_EQ(Stored(h), bytes);

    // The origin, which the builder leaves 0, at its own offsets.
    TgaHeader origin;
    origin.xOrigin = 0xA1B2;
    origin.yOrigin = 0xC3D4;
    const Bytes o = Stored(origin);
    EXPECT_EQ(Bytes(o.begin() + 8, o.begin() + 12), (Bytes{0xB2, 0xA1, 0xD4, 0xC3}));
    EXPECT_EQ(ParseTgaHeader(o).yOrigin, 0xC3D4);
}

TEST(TgaFormatTest, AHeaderCutShortReadsZerosPastItsEnd)
{
    TgaLayout layout;
    layout.width = 0x0203;
    layout.height = 0x0405;
    layout.colourMapFirst = 0x0607;
    const Bytes whole = MakeTgaHeader(layout);
    for (size_t n = 0; n < whole.size(); ++n) {
        SCOPED_TRACE(n);
        Bytes padded(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(n));
        padded.resize(whole.size(), 0);
        EXPECT_EQ(Stored(ParseTgaHeader(std::span<const uint8_t>(whole.data(), n))), padded);
    }
    // Half a field keeps its low byte.
    EXPECT_EQ(ParseTgaHeader(std::span<const uint8_t>(whole.data(), 13)).width, 0x03);
    EXPECT_EQ(ParseTgaHeader(std::span<const uint8_t>(whole.data(), 4)).colourMapFirst, 0x07);
}

TEST(TgaFormatTest, ColourMapEntriesOfEverySizeLandAtTheirColours)
{
    const Bgra colour{0x18, 0x50, 0xF8, 0x77};
    for (const int bits : {15, 16, 24, 32}) {
        SCOPED_TRACE(bits);
        TgaHeader header;
        header.colourMapType = 1;
        header.colourMapFirst = 254;
        header.colourMapLength = 4;
        header.colourMapEntrySize = static_cast<uint8_t>(bits);
        const Bytes entry = EncodePixel(colour, bits == 15 ? 16 : bits);
        const Bytes map = Join({entry, Bytes(entry.size(), 0xFF), entry, entry});
        Bytes palette(kTgaPaletteBytes, 0xEE);
        // Entries 1 on: entry 1 is colour 255, entries 2 and 3 lie past the palette.
        DecodeTgaColourMap(header, 1, std::span<const uint8_t>(map).subspan(entry.size()), palette.data());
        const Bgra white = Expected({0xFF, 0xFF, 0xFF, 0xFF}, bits == 15 ? 16 : bits);
        EXPECT_EQ(Bytes(palette.begin() + 255 * 4, palette.end()), (Bytes{white[0], white[1], white[2], 0}));
        EXPECT_EQ(Bytes(palette.begin(), palette.begin() + 255 * 4), Bytes(255 * 4, 0xEE));
        DecodeTgaColourMap(header, 0, map, palette.data());
        const Bgra shown = Expected(colour, bits == 15 ? 16 : bits);
        EXPECT_EQ(Bytes(palette.begin() + 254 * 4, palette.begin() + 255 * 4),
                  (Bytes{shown[0], shown[1], shown[2], 0}));
    }
    // An entry size that is not decoded leaves the palette alone.
    TgaHeader odd;
    odd.colourMapEntrySize = 8;
    odd.colourMapLength = 2;
    Bytes palette(kTgaPaletteBytes, 0xEE);
    DecodeTgaColourMap(odd, 0, Bytes{1, 2}, palette.data());
    EXPECT_EQ(palette, Bytes(kTgaPaletteBytes, 0xEE));
}

TEST(TgaFormatTest, PixelsMustFitTheFileAndTheBudget)
{
    TgaHeader header;
    header.width = 300;
    header.height = 2;
    EXPECT_EQ(CheckTgaPixels(header, 1800, 3), TgaFailure::kNone);
    EXPECT_EQ(CheckTgaPixels(header, 1799, 3), TgaFailure::kCutShort);
    // Run-length: a byte may stand for 128 pixels.
    EXPECT_EQ(CheckTgaPixels(header, 5, 0), TgaFailure::kNone);
    EXPECT_EQ(CheckTgaPixels(header, 4, 0), TgaFailure::kCutShort);
    header.width = 2048;
    header.height = 2048;
    EXPECT_EQ(CheckTgaPixels(header, 2048 * 2048, 1), TgaFailure::kNone);
    header.height = 2049;
    EXPECT_EQ(CheckTgaPixels(header, uint64_t{1} << 40, 1), TgaFailure::kTooLarge);
    header.width = 0;
    EXPECT_EQ(CheckTgaPixels(header, 0, 4), TgaFailure::kNone);
}

TEST(TgaFormatTest, RunLengthPacketsAreRunsOfTwoOrMoreAndLiteralsBetween)
{
    const Bgra a{1, 2, 3, 0}, b{4, 5, 6, 0}, c{7, 8, 9, 0};
    std::vector<Bgra> pixels{a, a, a, b, c, c};
    pixels.insert(pixels.end(), 130, b);
    pixels.push_back(a);
    Bytes out{0x55};
    AppendTgaRunLength(RawRows({pixels}, 24), 3, out);
    EXPECT_EQ(out, Join({Bytes{0x55}, RunPacket(3, a, 24), LiteralPacket({b}, 24), RunPacket(2, c, 24),
                         RunPacket(128, b, 24), RunPacket(2, b, 24), LiteralPacket({a}, 24)}));
    EXPECT_TRUE(TgaRunPacket(0x80));
    EXPECT_FALSE(TgaRunPacket(0x7F));
    EXPECT_EQ(TgaPacketPixels(0xFF), 128u);
    EXPECT_EQ(TgaPacketPixels(0x00), 1u);

    // Literals run up to 128 values.
    std::vector<Bgra> distinct;
    for (int i = 0; i < 129; ++i)
        distinct.push_back({static_cast<uint8_t>(i), 0, 0, 0});
    out.clear();
    AppendTgaRunLength(RawRows({distinct}, 24), 3, out);
    EXPECT_EQ(out, Join({LiteralPacket(std::vector<Bgra>(distinct.begin(), distinct.end() - 1), 24),
                         LiteralPacket({distinct.back()}, 24)}));
}

TEST(TgaFormatTest, TheWholeFileIsWhatTheBuilderMakes)
{
    // 8 bits: three of four columns, the palette's fourth bytes dropped.
    const Bytes indices{1, 2, 3, 99, 4, 5, 6, 99};
    const Bytes palette = TgaTestPalette(0x33);
    TgaPicture picture;
    picture.pixels = indices.data();
    picture.stride = 4;
    picture.width = 3;
    picture.height = 2;
    picture.depth = 8;
    picture.palette = palette.data();
    Bytes file;
    ASSERT_TRUE(SerializeTgaFile(picture, file));
    TgaLayout mapped;
    mapped.imageType = 1;
    mapped.depth = 8;
    mapped.width = 3;
    mapped.height = 2;
    mapped.colourMapType = 1;
    mapped.colourMapLength = 256;
    mapped.colourMapEntrySize = 24;
    mapped.colourMap = TgaTestColourMap();
    EXPECT_EQ(file, MakeTga(mapped, Bytes{1, 2, 3, 4, 5, 6}));

    // 32 bits: every fourth byte 255.
    const Bytes bgra{1, 2, 3, 0, 4, 5, 6, 7};
    picture.pixels = bgra.data();
    picture.stride = 4;
    picture.width = 1;
    picture.depth = 32;
    picture.palette = nullptr;
    ASSERT_TRUE(SerializeTgaFile(picture, file));
    TgaLayout colour;
    colour.depth = 32;
    colour.width = 1;
    colour.height = 2;
    EXPECT_EQ(file, MakeTga(colour, Bytes{1, 2, 3, 255, 4, 5, 6, 255}));

    picture.height = 0;
    ASSERT_TRUE(SerializeTgaFile(picture, file));
    EXPECT_EQ(file.size(), TgaHeader::kSize);
}
