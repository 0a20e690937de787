#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "FileFaultPoints.h"
#include "FileFaults.h"
#include "PngBuilder.h"
#include "PngFile.h"
#include "TempDir.h"

namespace {

struct Size {
    int32_t width, height;
};
// One pixel, odd widths, one row, one column, and a portrait's LARGE image.
const Size kSizes[] = {{1, 1}, {7, 3}, {33, 1}, {1, 17}, {179, 143}};

Bytes Noise(size_t n, uint32_t seed, uint32_t below = 256)
{
    std::mt19937 random(seed);
    Bytes bytes(n);
    for (uint8_t& b : bytes)
        b = static_cast<uint8_t>(random() % below);
    return bytes;
}

// 256 distinct entries, several of them equal colours.
Bytes TestPalette()
{
    Bytes palette(256 * 3);
    for (size_t i = 0; i < 256; ++i) {
        palette[3 * i] = static_cast<uint8_t>(i);
        palette[3 * i + 1] = static_cast<uint8_t>(i < 8 ? 0 : 255 - i);
        palette[3 * i + 2] = static_cast<uint8_t>(i * 37);
    }
    return palette;
}

PngReadResult ReadBytes(const Bytes& file, PngPicture& out)
{
    return ReadPng(std::span<const uint8_t>(file), out);
}

// The result of reading the bytes both from memory and as a file, which must agree.
PngReadResult ReadBoth(const TempDir& dir, const Bytes& file, PngPicture& out)
{
    dir.WriteFile("IN.PNG", file);
    PngPicture fromFile;
    const PngReadResult viaPath = ReadPng(dir / "IN.PNG", fromFile);
    const PngReadResult viaBytes = ReadBytes(file, out);
    EXPECT_EQ(viaPath, viaBytes);
    EXPECT_EQ(fromFile.indices, out.indices);
    EXPECT_EQ(fromFile.rgb, out.rgb);
    EXPECT_EQ(fromFile.palette, out.palette);
    return viaBytes;
}

bool Empty(const PngPicture& p)
{
    return p.width == 0 && p.height == 0 && !p.indexed && p.indices.empty() && p.palette.empty() && p.rgb.empty();
}

// The first offset of a chunk type in a file.
size_t ChunkOffset(const Bytes& file, const char* type)
{
    const auto at = std::search(file.begin(), file.end(), type, type + 4);
    return static_cast<size_t>(at - file.begin());
}

} // namespace

TEST(PngRoundTrip, IndexedFilesKeepIndicesAndTheWholePalette)
{
    TempDir dir;
    const Bytes palette = TestPalette();
    for (const auto [width, height] : kSizes) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        // Rows 5 bytes longer than the picture: only `width` of them are written.
        const size_t stride = size_t(width) + 5;
        const Bytes held = Noise(stride * size_t(height), uint32_t(width * height));
        const std::string path = dir / "OUT.PNG";
        ASSERT_TRUE(WriteIndexedPng(path, width, height, held.data(), stride, palette.data()));
        const Bytes file = ReadFileBytes(path);

        const PngHeaderFields fields = ReadPngHeaderFields(file);
        EXPECT_EQ(fields.colourType, 3);
        EXPECT_EQ(fields.bitDepth, 8);
        EXPECT_EQ(fields.interlace, 0);
        EXPECT_EQ(fields.paletteEntries, 256);
        EXPECT_EQ(fields.palette, palette);
        EXPECT_FALSE(fields.transparent);

        int32_t w = 0, h = 0;
        EXPECT_TRUE(IsPngFile(path));
        ASSERT_EQ(ReadPngSize(path, w, h), PngReadResult::kOk);
        EXPECT_EQ(w, width);
        EXPECT_EQ(h, height);
        PngPicture picture;
        ASSERT_EQ(ReadBoth(dir, file, picture), PngReadResult::kOk);
        EXPECT_TRUE(picture.indexed);
        EXPECT_EQ(picture.width, width);
        EXPECT_EQ(picture.height, height);
        EXPECT_EQ(picture.palette, palette);
        EXPECT_TRUE(picture.rgb.empty());
        ASSERT_EQ(picture.indices.size(), size_t(width) * size_t(height));
        for (size_t y = 0; y < size_t(height); ++y)
            ASSERT_TRUE(std::equal(held.begin() + ptrdiff_t(y * stride), held.begin() + ptrdiff_t(y * stride + width),
                                   picture.indices.begin() + ptrdiff_t(y * size_t(width))))
                << "row " << y;
    }
}

TEST(PngRoundTrip, RgbFilesKeepEverySample)
{
    TempDir dir;
    for (const auto [width, height] : kSizes) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        const size_t row = size_t(width) * 3, stride = row + 2;
        const Bytes held = Noise(stride * size_t(height), uint32_t(7 * width + height));
        const std::string path = dir / "OUT.PNG";
        ASSERT_TRUE(WriteRgbPng(path, width, height, held.data(), stride));
        const PngHeaderFields fields = ReadPngHeaderFields(ReadFileBytes(path));
        EXPECT_EQ(fields.colourType, 2);
        EXPECT_EQ(fields.bitDepth, 8);
        EXPECT_EQ(fields.interlace, 0);
        EXPECT_FALSE(fields.transparent);

        PngPicture picture;
        ASSERT_EQ(ReadPng(path, picture), PngReadResult::kOk);
        EXPECT_FALSE(picture.indexed);
        EXPECT_EQ(picture.width, width);
        EXPECT_EQ(picture.height, height);
        EXPECT_TRUE(picture.indices.empty() && picture.palette.empty());
        ASSERT_EQ(picture.rgb.size(), row * size_t(height));
        for (size_t y = 0; y < size_t(height); ++y)
            ASSERT_TRUE(std::equal(held.begin() + ptrdiff_t(y * stride), held.begin() + ptrdiff_t(y * stride + row),
                                   picture.rgb.begin() + ptrdiff_t(y * row)))
                << "row " << y;
    }
}

// The encoders give the bytes the writers write, and refuse what they refuse.
TEST(PngWrite, EncodersGiveTheWrittenBytes)
{
    TempDir dir;
    const Bytes palette = TestPalette();
    const std::string path = dir / "OUT.PNG";
    for (const auto [width, height] : kSizes) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        const size_t stride = size_t(width) * 3 + 1;
        const Bytes held = Noise(stride * size_t(height), uint32_t(width + 3 * height));
        Bytes encoded;
        ASSERT_TRUE(WriteIndexedPng(path, width, height, held.data(), stride, palette.data()));
        ASSERT_TRUE(EncodeIndexedPng(width, height, held.data(), stride, palette.data(), encoded));
        EXPECT_EQ(encoded, ReadFileBytes(path));
        ASSERT_TRUE(WriteRgbPng(path, width, height, held.data(), stride));
        ASSERT_TRUE(EncodeRgbPng(width, height, held.data(), stride, encoded));
        EXPECT_EQ(encoded, ReadFileBytes(path));
    }
    Bytes kept{1, 2, 3};
    EXPECT_FALSE(EncodeIndexedPng(4, 3, kept.data(), 3, palette.data(), kept));
    EXPECT_FALSE(EncodeIndexedPng(4, 3, kept.data(), 4, nullptr, kept));
    EXPECT_FALSE(EncodeRgbPng(0, 3, kept.data(), 12, kept));
    EXPECT_FALSE(EncodeRgbPng(4, 3, nullptr, 12, kept));
    EXPECT_EQ(kept, (Bytes{1, 2, 3}));
}

// Files of every colour type and bit depth, interlaced or not, some with a
// tRNS chunk, made by libpng with every filter and the strongest compression.
// Indexed files keep their indices and their palette as stored; all others
// read as 8-bit RGB: 16-bit samples keep their high byte, low-depth grey is
// widened to 0..255, grey fills all three samples, alpha and tRNS are ignored.
TEST(PngRead, EveryColourTypeAndBitDepth)
{
    struct Kind {
        int colourType, bitDepth;
    };
    const Kind kinds[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                          {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
    constexpr uint32_t kWidth = 11, kHeight = 9;
    TempDir dir;
    uint32_t seed = 1;
    for (const Kind kind : kinds)
        for (const bool interlaced : {false, true}) {
            SCOPED_TRACE("colour type " + std::to_string(kind.colourType) + ", depth " +
                         std::to_string(kind.bitDepth) + (interlaced ? ", interlaced" : ""));
            PngSettings settings{kind.colourType, kind.bitDepth, interlaced, {}, seed % 2 == 0};
            const size_t perPixel = size_t(SamplesPerPixel(kind.colourType));
            const uint32_t levels = 1u << kind.bitDepth;
            // Short palettes: 2 entries at depth 1, 3 at 2, 16 at 4, 200 at 8.
            const uint32_t entries = kind.bitDepth == 2 ? 3 : std::min<uint32_t>(levels, 200);
            if (kind.colourType == 3)
                settings.palette = Noise(entries * 3, seed + 100);
            std::mt19937 random(seed++);
            std::vector<uint16_t> samples(kWidth * kHeight * perPixel);
            for (uint16_t& s : samples)
                s = static_cast<uint16_t>(random() % (kind.colourType == 3 ? entries : levels));
            const Bytes file = BuildPng(kWidth, kHeight, settings, samples);
            ASSERT_EQ(ReadPngHeaderFields(file).interlace, interlaced ? 1 : 0);

            PngPicture picture;
            ASSERT_EQ(ReadBoth(dir, file, picture), PngReadResult::kOk);
            EXPECT_EQ(picture.width, int32_t(kWidth));
            EXPECT_EQ(picture.height, int32_t(kHeight));
            if (kind.colourType == 3) {
                EXPECT_TRUE(picture.indexed);
                EXPECT_EQ(picture.palette, settings.palette);
                EXPECT_EQ(picture.indices, Bytes(samples.begin(), samples.end()));
                continue;
            }
            EXPECT_FALSE(picture.indexed);
            const auto to8 = [&](uint16_t v) {
                return static_cast<uint8_t>(kind.bitDepth == 16 ? v >> 8 : v * 255 / (levels - 1));
            };
            Bytes expected;
            for (size_t p = 0; p < kWidth * kHeight; ++p) {
                const uint16_t* s = &samples[p * perPixel];
                const bool grey = (kind.colourType & 2) == 0;
                expected.insert(expected.end(), {to8(s[0]), to8(grey ? s[0] : s[1]), to8(grey ? s[0] : s[2])});
            }
            EXPECT_EQ(picture.rgb, expected);
        }
}

// An index at or past the length of the file's own palette.
TEST(PngRead, IndexPastAShortPaletteIsOutsideTheMap)
{
    TempDir dir;
    for (const int depth : {4, 8}) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        PngSettings settings{3, depth, false, Noise(5 * 3, 9), false};
        std::vector<uint16_t> indices = {0, 1, 2, 3, 4, 4, 3, 2};
        PngPicture picture;
        ASSERT_EQ(ReadBoth(dir, BuildPng(4, 2, settings, indices), picture), PngReadResult::kOk);
        EXPECT_EQ(picture.palette.size(), 15u);
        indices[6] = 5;
        EXPECT_EQ(ReadBoth(dir, BuildPng(4, 2, settings, indices), picture), PngReadResult::kIndexOutsideMap);
        EXPECT_TRUE(Empty(picture));
    }
}

TEST(PngRead, TruncatedAndCorruptFilesAreBroken)
{
    TempDir dir;
    const Bytes palette = TestPalette();
    const Bytes indices = Noise(179 * 143, 5);
    ASSERT_TRUE(WriteIndexedPng(dir / "FULL.PNG", 179, 143, indices.data(), 179, palette.data()));
    const Bytes file = ReadFileBytes(dir / "FULL.PNG");
    PngPicture picture;
    // Inside the header, inside the palette, half-way through the image
    // data, without the end chunk, inside the end chunk's CRC.
    for (const size_t size : {size_t{20}, size_t{33}, size_t{300}, file.size() / 2, file.size() - 12,
                              file.size() - 1}) {
        SCOPED_TRACE("cut to " + std::to_string(size));
        EXPECT_EQ(ReadBoth(dir, Bytes(file.begin(), file.begin() + ptrdiff_t(size)), picture),
                  PngReadResult::kBroken);
        EXPECT_TRUE(Empty(picture));
    }
    // A byte changed in the header's data or the image data fails its CRC.
    for (const char* chunk : {"IHDR", "IDAT"}) {
        SCOPED_TRACE(chunk);
        Bytes corrupt = file;
        corrupt[ChunkOffset(file, chunk) + 4 + 5] ^= 0x10;
        EXPECT_EQ(ReadBoth(dir, corrupt, picture), PngReadResult::kBroken);
        EXPECT_TRUE(Empty(picture));
    }
    // A claim of more pixels than a file of this size can describe.
    EXPECT_EQ(ReadBoth(dir, WithSize(Bytes(file.begin(), file.end()), 2048, 2048), picture), PngReadResult::kBroken);
}

// The size comes from the header alone; the pixel budget refuses the file
// before any row is given memory (a 60000 x 60000 picture would take 3.6 GB).
TEST(PngRead, MorePixelsThanTheBudgetIsTooLarge)
{
    TempDir dir;
    const uint8_t pixel[3] = {1, 2, 3};
    ASSERT_TRUE(WriteRgbPng(dir / "ONE.PNG", 1, 1, pixel, 3));
    const Bytes one = ReadFileBytes(dir / "ONE.PNG");
    for (const auto [width, height] : {Size{2049, 2048}, Size{60000, 60000}, Size{0x7FFFFFFF, 1}}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        dir.WriteFile("BIG.PNG", WithSize(one, uint32_t(width), uint32_t(height)));
        int32_t w = 0, h = 0;
        ASSERT_EQ(ReadPngSize(dir / "BIG.PNG", w, h), PngReadResult::kOk);
        EXPECT_EQ(w, width);
        EXPECT_EQ(h, height);
        PngPicture picture;
        EXPECT_EQ(ReadBoth(dir, ReadFileBytes(dir / "BIG.PNG"), picture), PngReadResult::kTooLarge);
        EXPECT_TRUE(Empty(picture));
    }
}

TEST(PngRead, OtherFilesAreNotPng)
{
    TempDir dir;
    PngPicture picture;
    int32_t w = 0, h = 0;
    EXPECT_EQ(ReadPng(dir / "MISSING.PNG", picture), PngReadResult::kCannotOpen);
    EXPECT_EQ(ReadPngSize(dir / "MISSING.PNG", w, h), PngReadResult::kCannotOpen);
    EXPECT_EQ(ReadPng(dir.Path(), picture), PngReadResult::kCannotOpen);
    EXPECT_FALSE(IsPngFile(dir / "MISSING.PNG"));
    const uint8_t pixel[3] = {1, 2, 3};
    ASSERT_TRUE(WriteRgbPng(dir / "ONE.PNG", 1, 1, pixel, 3));
    const Bytes one = ReadFileBytes(dir / "ONE.PNG");
    Bytes wrongSignature = one;
    wrongSignature[1] = 'Q';
    for (const Bytes& bytes : {Bytes{}, Bytes(one.begin(), one.begin() + 7), wrongSignature, Bytes(18, 0)}) {
        EXPECT_FALSE(HasPngSignature(bytes));
        EXPECT_EQ(ReadBoth(dir, bytes, picture), PngReadResult::kNotPng);
        EXPECT_EQ(ReadPngSize(dir / "IN.PNG", w, h), PngReadResult::kNotPng);
        EXPECT_FALSE(IsPngFile(dir / "IN.PNG"));
        EXPECT_TRUE(Empty(picture));
    }
    EXPECT_TRUE(HasPngSignature(Bytes(one.begin(), one.begin() + 8)));
}

// Refusals come before the file is made; a write that fails at any point
// removes what was written.
TEST(PngWrite, AFailedWriteLeavesNoFileOrTheOldOne)
{
    TempDir dir;
    const Bytes palette = TestPalette();
    const Bytes pixels = Noise(179 * 143 * 3, 8);
    const std::string path = dir / "OUT.PNG";
    EXPECT_FALSE(WriteIndexedPng(path, 0, 3, pixels.data(), 4, palette.data()));
    EXPECT_FALSE(WriteIndexedPng(path, 4, 3, pixels.data(), 3, palette.data()));
    EXPECT_FALSE(WriteIndexedPng(path, 4, 3, pixels.data(), 4, nullptr));
    EXPECT_FALSE(WriteRgbPng(path, 4, -1, pixels.data(), 12));
    EXPECT_FALSE(WriteRgbPng(path, 4, 3, pixels.data(), 11));
    EXPECT_FALSE(WriteRgbPng(path, 4, 3, nullptr, 12));
    EXPECT_FALSE(PathExists(path));
    EXPECT_FALSE(WriteRgbPng(dir / "NO/OUT.PNG", 4, 3, pixels.data(), 12));

    const std::function<bool()> writes[] = {
        [&] { return WriteIndexedPng(path, 179, 143, pixels.data(), 179, palette.data()); },
        [&] { return WriteRgbPng(path, 179, 143, pixels.data(), 179 * 3); },
    };
    // A write that fails leaves the file before it as it was.
    dir.WriteFile("OUT.PNG", {'o', 'l', 'd'});
    for (const auto& write : writes) {
        const std::vector<FileFaultPoint> points = FileFaultPoints([&] { ASSERT_TRUE(write()); });
        ASSERT_GE(points.size(), 4u); // a write, flush, sync and rename at least
        const Bytes written = ReadFileBytes(path);
        for (const FileFaultPoint& point : points) {
            SCOPED_TRACE(point.Name());
            CFileFaults::FailNth(point.op, point.n);
            EXPECT_FALSE(write());
            CFileFaults::Reset();
            EXPECT_EQ(ReadFileBytes(path), written);
            EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"OUT.PNG"});
        }
    }
}
