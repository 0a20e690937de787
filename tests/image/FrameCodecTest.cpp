// The frame run-length code: the worked rows byte for byte, the decoders on
// hand-made and malformed data, the overrun guard, and seeded round trips.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "FrameCodec.h"
#include "MessageBoxHandler.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint8_t kGuard = 0xEE;

// Encodes into a buffer of exactly MaxEncodedSize bytes followed by guard
// bytes, checks that the guard survived, and returns what was written.
Bytes Encode(const Bytes& indices, int32_t width, int32_t height)
{
    const size_t max = MaxEncodedSize(width, height);
    Bytes out(max + 16, kGuard);
    const int32_t n = EncodeFrame(indices.data(), width, height, out.data(), max);
    EXPECT_GE(n, 0);
    EXPECT_LE(static_cast<size_t>(n), max);
    for (size_t i = max; i < out.size(); ++i)
        EXPECT_EQ(out[i], kGuard) << "byte " << i << " past the destination";
    out.resize(n < 0 ? 0 : static_cast<size_t>(n));
    return out;
}

Bytes Repeat(size_t count, uint8_t value)
{
    return Bytes(count, value);
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

int32_t PadFor(int32_t width)
{
    return (4 - width % 4) % 4;
}

// A palette whose colours all differ in every channel's role, with a fourth
// byte that is not 0, so that a decoder that copies it or swaps blue and red
// shows up.
Bytes DistinctPalette()
{
    Bytes palette(1024);
    for (size_t i = 0; i < 256; ++i) {
        palette[4 * i] = static_cast<uint8_t>(i);
        palette[4 * i + 1] = static_cast<uint8_t>(i * 37 + 1);
        palette[4 * i + 2] = static_cast<uint8_t>(i * 101 + 2);
        palette[4 * i + 3] = 0x5A;
    }
    return palette;
}

// The 32-bit picture that applying the palette to an index buffer gives.
Bytes ApplyPalette(const Bytes& indices, const Bytes& palette)
{
    Bytes out;
    for (uint8_t index : indices) {
        out.push_back(palette[4 * index]);
        out.push_back(palette[4 * index + 1]);
        out.push_back(palette[4 * index + 2]);
        out.push_back(0);
    }
    return out;
}

// Records every message box the decoder shows.
class FrameCodecTest : public ::testing::Test {
protected:
    std::vector<std::pair<std::string, std::string>> messages;
    const MessageBoxHandler tell = [this](const std::string& text, const std::string& caption) {
        messages.emplace_back(text, caption);
    };
};

} // namespace

TEST_F(FrameCodecTest, EncodesTheWorkedRows)
{
    EXPECT_EQ(Encode({0, 0, 5, 5, 5, 0}, 6, 1), (Bytes{0x82, 0x03, 0x05, 0x05, 0x05, 0x81, 0x00}));
    EXPECT_EQ(Encode(Repeat(200, 0), 200, 1), (Bytes{0xFF, 0xC9, 0x00}));
    EXPECT_EQ(Encode(Repeat(130, 7), 130, 1),
              Concat({{0x7F}, Repeat(127, 7), {0x03, 0x07, 0x07, 0x07}, {0x00}}));
    // A zero run that fills 127 pixels is followed by another zero run.
    EXPECT_EQ(Encode(Repeat(128, 0), 128, 1), (Bytes{0xFF, 0x81, 0x00}));
    EXPECT_EQ(Encode(Repeat(6, 0), 3, 2), (Bytes{0x83, 0x00, 0x83, 0x00}));
    // Runs end at the row end even where the next row goes on alike.
    EXPECT_EQ(Encode({4, 4, 4, 4}, 2, 2), (Bytes{0x02, 0x04, 0x04, 0x00, 0x02, 0x04, 0x04, 0x00}));
}

TEST_F(FrameCodecTest, EncodesEmptyRowsAndNoRows)
{
    uint8_t out[8] = {kGuard, kGuard, kGuard, kGuard, kGuard, kGuard, kGuard, kGuard};
    EXPECT_EQ(EncodeFrame(nullptr, 0, 3, out, sizeof out), 3);
    EXPECT_EQ(EncodeFrame(nullptr, -5, 2, out + 3, 5), 2);
    EXPECT_EQ(Bytes(out, out + 6), (Bytes{0, 0, 0, 0, 0, kGuard}));

    EXPECT_EQ(EncodeFrame(nullptr, 4, 0, out, sizeof out), 0);
    EXPECT_EQ(EncodeFrame(nullptr, 4, -1, out, sizeof out), 0);
    EXPECT_EQ(EncodeFrame(nullptr, 4, 0, nullptr, 0), 0);
    EXPECT_EQ(out[5], kGuard);
}

TEST_F(FrameCodecTest, MaxEncodedSizeCountsTheWorstRow)
{
    EXPECT_EQ(MaxEncodedSize(0, 3), 3u);
    EXPECT_EQ(MaxEncodedSize(-7, 3), 3u);
    EXPECT_EQ(MaxEncodedSize(1, 1), 3u);
    EXPECT_EQ(MaxEncodedSize(6, 2), 20u);
    EXPECT_EQ(MaxEncodedSize(45, 60), 60u * 69u);
    EXPECT_EQ(MaxEncodedSize(100, 0), 0u);
    EXPECT_EQ(MaxEncodedSize(100, -4), 0u);
    // Neither the width nor the product overflows 32 bits.
    EXPECT_EQ(MaxEncodedSize(INT32_MAX, INT32_MAX),
              uint64_t{INT32_MAX} * (3 * (uint64_t{INT32_MAX} + 1) / 2));
}

TEST_F(FrameCodecTest, AlternatingPixelsTakeExactlyTheWorstCase)
{
    std::mt19937 rng(7);
    for (int32_t width : {1, 2, 3, 4, 5, 6, 7, 8, 9, 127, 128, 300}) {
        const int32_t height = 3;
        Bytes indices(static_cast<size_t>(width * height));
        // Each row starts with a nonzero pixel, which makes the odd widths
        // as long as they can be.
        for (size_t i = 0; i < indices.size(); ++i)
            indices[i] = (i % static_cast<size_t>(width)) % 2 == 0 ? static_cast<uint8_t>(1 + rng() % 255) : 0;
        EXPECT_EQ(Encode(indices, width, height).size(), MaxEncodedSize(width, height)) << "width " << width;
    }
}

TEST_F(FrameCodecTest, EncoderRefusesATooSmallDestinationWithoutWritingPastIt)
{
    const int32_t width = 9;
    const int32_t height = 4;
    Bytes indices(width * height);
    std::mt19937 rng(11);
    for (uint8_t& p : indices)
        p = rng() % 3 == 0 ? 0 : static_cast<uint8_t>(rng());
    const Bytes full = Encode(indices, width, height);
    ASSERT_FALSE(full.empty());

    for (size_t size = 0; size < full.size(); ++size) {
        Bytes out(size + 8, kGuard);
        EXPECT_EQ(EncodeFrame(indices.data(), width, height, out.data(), size), -1) << "size " << size;
        for (size_t i = size; i < out.size(); ++i)
            ASSERT_EQ(out[i], kGuard) << "size " << size << ", byte " << i;
    }
    Bytes exact(full.size());
    EXPECT_EQ(EncodeFrame(indices.data(), width, height, exact.data(), exact.size()),
              static_cast<int32_t>(full.size()));
    EXPECT_EQ(exact, full);
}

TEST_F(FrameCodecTest, DecodesRunsIntoWidenedRows)
{
    // Width 3, pad 1: the index buffer starts as zeros, as its callers
    // allocate it, and the pad and what lies past the rows stay zeros (the
    // decoder may clear ahead of itself, never past the buffer's size,
    // which the guard after it shows).
    Bytes indices(8 + 4, kGuard);
    std::fill_n(indices.begin(), 8, 0);
    const Bytes allZero{0x83, 0x00, 0x83, 0x00};
    DecodeFrameIndices(indices.data(), allZero.data(), allZero.size(), 3, 2, 1, tell);
    EXPECT_EQ(indices, (Bytes{0, 0, 0, 0, 0, 0, 0, 0, kGuard, kGuard, kGuard, kGuard}));

    // 0x80 writes nothing; a literal run may hold index 0 and copies it.
    Bytes mixed(8 + 4, kGuard);
    std::fill_n(mixed.begin(), 8, 0);
    const Bytes code{0x80, 0x02, 0x09, 0x00, 0x81, 0x00, 0x01, 0x00, 0x80, 0x82, 0x00};
    DecodeFrameIndices(mixed.data(), code.data(), code.size(), 3, 2, 1, tell);
    EXPECT_EQ(mixed, (Bytes{0x09, 0x00, 0x00, 0, 0x00, 0x00, 0x00, 0, kGuard, kGuard, kGuard, kGuard}));
    EXPECT_TRUE(messages.empty());
}

TEST_F(FrameCodecTest, ShortRunsCopiedWholeLeaveNothingPastTheirRows)
{
    // Sixteen short rows of two indices (width 5, pad 3: each row after a
    // short one starts 2 + 3 pixels on): with the source and the buffer long
    // enough, the decoder copies short runs in whole blocks and clears what
    // they spill past each row, so the pad and the rest stay zeros as if
    // each index had been copied alone.
    Bytes code, expected(8 * 16, 0);
    for (uint8_t row = 0; row < 16; ++row) {
        code.insert(code.end(), {0x02, static_cast<uint8_t>(row + 1), 0xAB, 0x00});
        expected[row * 5u] = static_cast<uint8_t>(row + 1);
        expected[row * 5u + 1] = 0xAB;
    }
    Bytes indices(expected.size(), 0);
    DecodeFrameIndices(indices.data(), code.data(), code.size(), 5, 16, 3, tell);
    EXPECT_EQ(indices, expected);
    EXPECT_TRUE(messages.empty());
}

TEST_F(FrameCodecTest, DecodesZeroRunsThroughPaletteColourZero)
{
    Bytes palette = DistinctPalette();
    palette[0] = 10; // blue
    palette[1] = 20; // green
    palette[2] = 30; // red
    palette[3] = 99; // never copied: the fourth byte of a pixel is 0
    Bytes pixels(4 * 4, kGuard);
    const Bytes code{0x82, 0x00};
    DecodeFrameColours(pixels.data(), code.data(), code.size(), 2, 2, 0, palette.data());
    EXPECT_EQ(pixels, (Bytes{10, 20, 30, 0, 10, 20, 30, 0, kGuard, kGuard, kGuard, kGuard, kGuard, kGuard, kGuard,
                             kGuard}));

    // A literal index 0 draws the same colour, other indices their own, and
    // the pad pixel of each row is left alone.
    Bytes row(4 * 4, kGuard);
    const Bytes literal{0x03, 0x00, 0x01, 0xFF, 0x00};
    DecodeFrameColours(row.data(), literal.data(), literal.size(), 3, 1, 1, palette.data());
    EXPECT_EQ(row, (Bytes{10, 20, 30, 0, palette[4], palette[5], palette[6], 0, palette[1020], palette[1021],
                          palette[1022], 0, kGuard, kGuard, kGuard, kGuard}));
    EXPECT_TRUE(messages.empty());
}

TEST_F(FrameCodecTest, OverrunGuardStopsTheFrameAtTheRunThatWouldPassTheEnd)
{
    EXPECT_EQ(CheckOverrun(4, 4, tell), 0);
    EXPECT_EQ(CheckOverrun(0, 0, tell), 0);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(CheckOverrun(5, 4, tell), 1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], std::make_pair(std::string("Error!"), std::string("Memory Overwrite !")));
    messages.clear();

    const Bytes palette = DistinctPalette();
    Bytes fits(4, kGuard);
    const Bytes four{0x84, 0x00};
    DecodeFrameIndices(fits.data(), four.data(), four.size(), 4, 1, 0, tell);
    EXPECT_EQ(fits, Bytes(4, 0));
    EXPECT_TRUE(messages.empty());

    // One pixel too many, as a zero run and as a literal run: the message
    // once, and nothing written, in either decoder.
    const Bytes tooManyZeros{0x85, 0x00};
    const Bytes tooManyIndices{0x05, 1, 2, 3, 4, 5, 0x00};
    for (const Bytes& code : {tooManyZeros, tooManyIndices}) {
        Bytes indices(4, 0);
        DecodeFrameIndices(indices.data(), code.data(), code.size(), 4, 1, 0, tell);
        EXPECT_EQ(indices, Bytes(4, 0));
        EXPECT_EQ(messages.size(), 1u);
        messages.clear();
        Bytes pixels(16 + 8, kGuard);
        DecodeFrameColours(pixels.data(), code.data(), code.size(), 4, 1, 0, palette.data());
        EXPECT_EQ(pixels, Bytes(24, kGuard));
        EXPECT_TRUE(messages.empty());
    }
}

TEST_F(FrameCodecTest, OverlongRowsRunOnUntilTheBufferEnds)
{
    // Width 2, pad 2, height 3: the first row writes six pixels, running over
    // its pad into the second row; the rows after it start six pixels later
    // than they should, and the third row's run would pass the end.
    const Bytes code{0x06, 1, 2, 3, 4, 5, 6, 0x00, 0x02, 7, 8, 0x00, 0x81, 0x00};
    Bytes indices(12, 0);
    DecodeFrameIndices(indices.data(), code.data(), code.size(), 2, 3, 2, tell);
    EXPECT_EQ(indices, (Bytes{1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 0, 0}));
    EXPECT_EQ(messages.size(), 1u);
    messages.clear();

    const Bytes palette = DistinctPalette();
    Bytes pixels(48 + 8, kGuard);
    DecodeFrameColours(pixels.data(), code.data(), code.size(), 2, 3, 2, palette.data());
    Bytes expected = ApplyPalette(indices, palette);
    // Pixels no decoder wrote keep the guard, in the colour buffer as well.
    for (size_t p : {6u, 7u, 10u, 11u})
        std::fill(expected.begin() + 4 * p, expected.begin() + 4 * p + 4, kGuard);
    expected.resize(56, kGuard);
    EXPECT_EQ(pixels, expected);
    EXPECT_TRUE(messages.empty());

    // A run that ends exactly at the buffer's end passes, even after an
    // overlong row.
    const Bytes exact{0x05, 1, 2, 3, 4, 5, 0x00, 0x81, 0x00};
    Bytes full(8, 0);
    DecodeFrameIndices(full.data(), exact.data(), exact.size(), 2, 2, 2, tell);
    EXPECT_EQ(full, (Bytes{1, 2, 3, 4, 5, 0, 0, 0}));
    EXPECT_TRUE(messages.empty());

    // A short row shifts the rows after it to the left by what it lacks.
    const Bytes shortRow{0x01, 7, 0x00, 0x03, 1, 2, 3, 0x00};
    Bytes shifted(8, 0);
    DecodeFrameIndices(shifted.data(), shortRow.data(), shortRow.size(), 3, 2, 1, tell);
    EXPECT_EQ(shifted, (Bytes{7, 0, 1, 2, 3, 0, 0, 0}));
    EXPECT_TRUE(messages.empty());

    // After the last row end the rest of the source is not read.
    const Bytes trailing{0x81, 0x00, 0x85, 0x01, 0x00};
    Bytes one(4, 0);
    DecodeFrameIndices(one.data(), trailing.data(), trailing.size(), 1, 1, 3, tell);
    EXPECT_EQ(one, Bytes(4, 0));
    EXPECT_TRUE(messages.empty());
}

TEST_F(FrameCodecTest, TruncatedSourceEndsTheDecode)
{
    const Bytes palette = DistinctPalette();
    // Each source is followed by bytes that would write more pixels if the
    // decoders read past the size they are given.
    struct Case {
        Bytes source;
        size_t size;
        Bytes expected;
    };
    const std::vector<Case> cases = {
        {{0x81, 0x82}, 0, Bytes(8, kGuard)},
        // Out of source in the middle of the first row.
        {{0x81, 0x82, 0x00}, 1, {0, kGuard, kGuard, kGuard, kGuard, kGuard, kGuard, kGuard}},
        // A literal run of three cut short after two of its indices.
        {{0x03, 5, 6, 7, 0x00}, 3, {5, 6, kGuard, kGuard, kGuard, kGuard, kGuard, kGuard}},
        // Out of source right after the control byte of a literal run.
        {{0x82, 0x00, 0x02, 9, 9}, 3, {0, 0, kGuard, kGuard, kGuard, kGuard, kGuard, kGuard}},
        // A row end missing at the end of the last row changes nothing.
        {{0x81, 0x00, 0x01, 4, 0x00}, 4, {0, kGuard, kGuard, kGuard, 4, kGuard, kGuard, kGuard}},
    };
    for (const Case& c : cases) {
        // kGuard: no decoder wrote there; the index buffer keeps its zeros.
        Bytes indices(8, 0);
        DecodeFrameIndices(indices.data(), c.source.data(), c.size, 1, 2, 3, tell);
        Bytes zeros = c.expected;
        std::replace(zeros.begin(), zeros.end(), kGuard, uint8_t{0});
        EXPECT_EQ(indices, zeros) << "size " << c.size;

        Bytes pixels(32, kGuard);
        DecodeFrameColours(pixels.data(), c.source.data(), c.size, 1, 2, 3, palette.data());
        Bytes expected = ApplyPalette(c.expected, palette);
        for (size_t p = 0; p < c.expected.size(); ++p)
            if (c.expected[p] == kGuard)
                std::fill(expected.begin() + 4 * p, expected.begin() + 4 * p + 4, kGuard);
        EXPECT_EQ(pixels, expected) << "size " << c.size;
    }
    // Height < 1 reads nothing, not even from a null source.
    DecodeFrameIndices(nullptr, nullptr, 0, 4, 0, 0, tell);
    DecodeFrameColours(nullptr, nullptr, 0, 4, -1, 0, palette.data());
    EXPECT_TRUE(messages.empty());
}

TEST_F(FrameCodecTest, ColourDecodeIsThePaletteAppliedToTheIndexDecode)
{
    // Random bytes mostly are not a valid frame: they overrun, run out and
    // leave rows short or long. Whatever the index decoder makes of them, the
    // colour decoder must make the same picture.
    const Bytes palette = DistinctPalette();
    Bytes black = palette;
    std::fill(black.begin(), black.begin() + 4, 0); // unwritten pixels read as colour 0
    std::mt19937 rng(2024);
    for (int round = 0; round < 300; ++round) {
        const int32_t width = static_cast<int32_t>(rng() % 12);
        const int32_t height = static_cast<int32_t>(rng() % 6);
        const int32_t pad = PadFor(width);
        Bytes source(rng() % 80);
        for (uint8_t& b : source)
            b = rng() % 4 == 0 ? 0 : static_cast<uint8_t>(rng());
        const size_t pixelCount = static_cast<size_t>((width + pad) * height);
        Bytes indices(pixelCount, 0);
        Bytes pixels(4 * pixelCount, 0);
        DecodeFrameIndices(indices.data(), source.data(), source.size(), width, height, pad, tell);
        DecodeFrameColours(pixels.data(), source.data(), source.size(), width, height, pad, black.data());
        ASSERT_EQ(pixels, ApplyPalette(indices, black)) << "round " << round;
    }
}

TEST_F(FrameCodecTest, RandomFramesSurviveARoundTrip)
{
    const Bytes palette = DistinctPalette();
    std::mt19937 rng(12345);
    std::vector<std::pair<int32_t, int32_t>> sizes;
    for (int32_t width = 1; width <= 9; ++width)
        sizes.emplace_back(width, 1 + width % 4);
    sizes.emplace_back(45, 10);
    sizes.emplace_back(127, 2);
    sizes.emplace_back(254, 3);
    sizes.emplace_back(300, 17);
    // The share of zero pixels, in percent: none, some, most, all.
    for (unsigned zeroShare : {0u, 30u, 90u, 100u}) {
        for (const auto& [width, height] : sizes) {
            for (int repeat = 0; repeat < 3; ++repeat) {
                Bytes indices(static_cast<size_t>(width * height));
                for (uint8_t& p : indices)
                    p = rng() % 100 < zeroShare ? 0 : static_cast<uint8_t>(1 + rng() % 255);
                const Bytes code = Encode(indices, width, height);

                const int32_t pad = PadFor(width);
                const size_t rowPixels = static_cast<size_t>(width + pad);
                Bytes widened(rowPixels * height, 0);
                for (size_t y = 0; y < static_cast<size_t>(height); ++y)
                    std::copy_n(indices.begin() + y * width, width, widened.begin() + y * rowPixels);

                Bytes decoded(widened.size(), kGuard);
                Bytes pixels(4 * widened.size(), 0);
                DecodeFrameIndices(decoded.data(), code.data(), code.size(), width, height, pad, tell);
                DecodeFrameColours(pixels.data(), code.data(), code.size(), width, height, pad, palette.data());
                // Pad pixels are never written: they keep the guard here.
                for (size_t y = 0; y < static_cast<size_t>(height); ++y)
                    std::fill_n(decoded.begin() + y * rowPixels + width, pad, 0);
                ASSERT_EQ(decoded, widened) << width << " x " << height << ", " << zeroShare << "% zeros";
                Bytes expected = ApplyPalette(widened, palette);
                for (size_t y = 0; y < static_cast<size_t>(height); ++y)
                    std::fill_n(expected.begin() + 4 * (y * rowPixels + width), 4 * pad, 0);
                ASSERT_EQ(pixels, expected) << width << " x " << height << ", " << zeroShare << "% zeros";
            }
        }
    }
    EXPECT_TRUE(messages.empty());
}
