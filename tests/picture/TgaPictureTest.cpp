// TGA files as the pictures of a new portrait: every kind the raster surface
// reads comes out pixel for pixel as LoadTga reads it, red, green, blue and
// upright; a file cut short, of a kind not read, naming colours its map
// lacks or declaring too many pixels is refused with the reason.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PictureReader.h"
#include "RasterSurface.h"
#include "TempDir.h"
#include "TgaBytes.h"

namespace {

// Six distinct pixels, three a row, as blue, green, red, alpha.
const std::vector<Bgra> kPixels = {{0x10, 0x20, 0x30, 0x40}, {0x58, 0x68, 0x78, 0x88}, {0x90, 0xA0, 0xB0, 0xC0},
                                   {0xD8, 0xE8, 0xF8, 0xFF}, {0x08, 0x88, 0xF0, 0x00}, {0xF0, 0x08, 0x88, 0x7F}};

// Rows in file order: top row first or bottom row first.
std::vector<std::vector<Bgra>> Rows(bool topRowFirst)
{
    std::vector<std::vector<Bgra>> rows = {{kPixels[0], kPixels[1], kPixels[2]},
                                           {kPixels[3], kPixels[4], kPixels[5]}};
    if (!topRowFirst)
        std::swap(rows[0], rows[1]);
    return rows;
}

// The same six values as run-length packets: a literal packet across the
// rows, then a run of the last value twice.
Bytes RunLength(const std::vector<std::vector<Bgra>>& rows, int depth)
{
    return Join({LiteralPacket({rows[0][0], rows[0][1], rows[0][2], rows[1][0]}, depth), RunPacket(2, rows[1][1], depth)});
}

// Runs the same bytes through a single byte a value (indices, grey).
Bytes ByteRunLength(const Bytes& values)
{
    return Join({Bytes{3, values[0], values[1], values[2], values[3]}, Bytes{0x81, values[4]}});
}

// A 3 x 2 file's layout, without an ID or a colour map.
TgaLayout Layout(uint8_t imageType, uint8_t depth, bool topRowFirst = true)
{
    TgaLayout layout;
    layout.imageType = imageType;
    layout.depth = depth;
    layout.width = 3;
    layout.height = 2;
    layout.topRowFirst = topRowFirst;
    return layout;
}

// The layout with a colour map of `entries` entries of `bits` from `first` on.
TgaLayout Mapped(TgaLayout layout, uint16_t first, uint16_t entries, uint8_t bits, const Bytes& map)
{
    layout.colourMapType = 1;
    layout.colourMapFirst = first;
    layout.colourMapLength = entries;
    layout.colourMapEntrySize = bits;
    layout.colourMap = map;
    return layout;
}

struct TgaCase {
    std::string what;
    Bytes bytes;
};

std::vector<TgaCase> EveryKind()
{
    std::vector<TgaCase> cases;
    for (bool top : {true, false}) {
        const std::string origin = top ? ", top row first" : ", bottom row first";
        for (int depth : {16, 24, 32}) {
            TgaLayout layout = Layout(2, static_cast<uint8_t>(depth), top);
            layout.id = {'i', 'd'};
            cases.push_back({std::to_string(depth) + "-bit" + origin, MakeTga(layout, RawRows(Rows(top), depth))});
            layout.imageType = 10;
            cases.push_back({std::to_string(depth) + "-bit run-length" + origin,
                             MakeTga(layout, RunLength(Rows(top), depth))});
        }
        const Bytes grey = {0x11, 0x44, 0x77, 0xAA, 0xDD, 0xFE};
        cases.push_back({"grey" + origin, MakeTga(Layout(3, 8, top), grey)});
        cases.push_back({"grey run-length" + origin, MakeTga(Layout(11, 8, top), ByteRunLength(grey))});
        cases.push_back({"grey with alpha" + origin,
                         MakeTga(Layout(3, 16, top), {0x11, 1, 0x44, 2, 0x77, 3, 0xAA, 4, 0xDD, 5, 0xFE, 6})});

        // 256 entries of 24 bits, and six of 16 bits from colour 10 on.
        const Bytes indices = {1, 2, 0x7F, 0x80, 0xC8, 0xFF};
        cases.push_back({"colour-mapped" + origin,
                         MakeTga(Mapped(Layout(1, 8, top), 0, 256, 24, TgaTestColourMap()), indices)});
        cases.push_back({"colour-mapped run-length" + origin,
                         MakeTga(Mapped(Layout(9, 8, top), 0, 256, 24, TgaTestColourMap()), ByteRunLength(indices))});
        cases.push_back({"colour-mapped, 16-bit entries" + origin,
                         MakeTga(Mapped(Layout(1, 8, top), 10, 6, 16, RawRows({kPixels}, 16)),
                                 {15, 14, 13, 12, 11, 10})});
    }
    return cases;
}

// The pixel at (x, y) of a surface LoadTga filled, as red, green, blue.
std::vector<uint8_t> SurfaceRgb(const CRasterSurface& s)
{
    std::vector<uint8_t> rgb;
    for (size_t p = 0; p < static_cast<size_t>(s.m_width) * static_cast<size_t>(s.m_height); ++p) {
        const uint8_t* bgr = s.m_depth == 8 ? &s.m_pPalette[size_t{s.m_pBits[p]} * 4] : &s.m_pBits[p * 4];
        rgb.insert(rgb.end(), {bgr[2], bgr[1], bgr[0]});
    }
    return rgb;
}

PictureResult Read(const Bytes& bytes, Picture& p, PictureFailure& why, PictureRequest request = {})
{
    return CPictureReader::Read(bytes, request, p, why);
}

} // namespace

TEST(TgaPicture, EveryKindTheSurfaceReadsComesOutAsItReadsIt)
{
    const TempDir dir;
    for (const TgaCase& c : EveryKind()) {
        SCOPED_TRACE(c.what);
        dir.WriteFile("picture.tga", c.bytes);
        CRasterSurface surface;
        ASSERT_EQ(surface.LoadTga(dir / "picture.tga"), 1);
        Picture p;
        PictureFailure why;
        ASSERT_EQ(Read(c.bytes, p, why), PictureResult::kOk) << why.reason;
        EXPECT_EQ(p.width, 3);
        EXPECT_EQ(p.height, 2);
        EXPECT_EQ(p.rgb, SurfaceRgb(surface));
    }

    // And, known by hand: a 24-bit file bottom row first lands upright.
    Picture p;
    PictureFailure why;
    ASSERT_EQ(Read(MakeTga(Layout(2, 24, false), RawRows(Rows(false), 24)), p, why), PictureResult::kOk);
    EXPECT_EQ(p.rgb, (std::vector<uint8_t>{0x30, 0x20, 0x10, 0x78, 0x68, 0x58, 0xB0, 0xA0, 0x90, 0xF8, 0xE8, 0xD8,
                                           0xF0, 0x88, 0x08, 0x88, 0x08, 0xF0}));
}

TEST(TgaPicture, WhatCannotDescribeItsPixelsOrDeclaresTooManyIsRefusedWithTheReason)
{
    const Bytes whole = MakeTga(Layout(2, 24), RawRows(Rows(true), 24));
    const Bytes packets = MakeTga(Layout(10, 24), RunLength(Rows(true), 24));
    TgaLayout huge = Layout(2, 24);
    huge.width = huge.height = 65535;
    const TgaLayout outside = Mapped(Layout(1, 8), 10, 6, 16, RawRows({kPixels}, 16));
    const Bytes mapped = MakeTga(outside, {10, 11, 12, 13, 14, 15});
    const TgaLayout wideIndices = Mapped(Layout(1, 16), 10, 6, 16, RawRows({kPixels}, 16));
    PictureRequest five;
    five.maxPixels = 5;
    const struct {
        const char* what;
        Bytes bytes;
        PictureRequest request;
        PictureResult result;
        const char* reason;
    } cases[] = {
        {"raw rows cut short", Bytes(whole.begin(), whole.end() - 1), {}, PictureResult::kBroken,
         "the TGA file is cut short"},
        {"packets cut short", Bytes(packets.begin(), packets.end() - 1), {}, PictureResult::kBroken,
         "the TGA file is cut short"},
        {"a colour map cut short", Bytes(mapped.begin(), mapped.begin() + 23), {}, PictureResult::kBroken,
         "the TGA file is cut short"},
        {"an index below the map", MakeTga(outside, {10, 11, 12, 13, 14, 9}), {}, PictureResult::kBroken,
         "the TGA file names a colour that its colour map does not hold"},
        {"16-bit indices", MakeTga(wideIndices, Bytes(12, 10)), {}, PictureResult::kBroken,
         "TGA files of this kind cannot be read"},
        {"65535 x 65535 pixels", MakeTga(huge, RawRows(Rows(true), 24)), {}, PictureResult::kTooLarge,
         "the TGA file declares 65535 x 65535 pixels, more than can be read"},
        {"six pixels where five may be", whole, five, PictureResult::kTooLarge,
         "the TGA file declares 3 x 2 pixels, more than can be read"},
        {"a header without an image", MakeTga(Layout(0, 24), {}), {}, PictureResult::kUnknownKind,
         "the file is neither a JPEG, a WebP, a PNG, a BMP nor a TGA file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Picture p;
        PictureFailure why;
        EXPECT_EQ(Read(c.bytes, p, why, c.request), c.result);
        EXPECT_EQ(why.reason, c.reason);
        EXPECT_TRUE(p.rgb.empty());
        EXPECT_EQ(p.width, 0);
    }
}
