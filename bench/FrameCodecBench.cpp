// How fast the frame decoders turn run-length data into indices and into
// 32-bit pixels, against memcpy of the same decoded size; every load decodes
// each frame both ways, so these bound how quickly a portrait appears. The
// frames are far larger than any portrait so that one pass takes long enough
// to time. Also times the encoder, and the whole read of an image of one
// such frame, for information.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "RatioReport.h"
#include "FrameCodec.h"
#include "GfxImage.h"
#include "PortraitImage.h"

namespace {

constexpr int32_t kWidth = 4096; // a multiple of 4, so rows have no pad
constexpr int32_t kHeight = 1024;
constexpr size_t kPixels = static_cast<size_t>(kWidth) * kHeight;

struct Frame {
    std::vector<uint8_t> indices;
    std::vector<uint8_t> code;
};

Frame Encoded(std::vector<uint8_t> indices)
{
    Frame frame{std::move(indices), std::vector<uint8_t>(MaxEncodedSize(kWidth, kHeight))};
    const int32_t n = EncodeFrame(frame.indices.data(), kWidth, kHeight, frame.code.data(), frame.code.size());
    frame.code.resize(n < 0 ? 0 : static_cast<size_t>(n));
    return frame;
}

// Random indices without a single 0: the code is nearly all literal runs of
// 127, the case where the decoders copy the most bytes per control byte read.
const Frame& LiteralFrame()
{
    static const Frame frame = [] {
        std::mt19937 rng(1);
        std::vector<uint8_t> indices(kPixels);
        for (uint8_t& p : indices)
            p = static_cast<uint8_t>(1 + rng() % 255);
        return Encoded(std::move(indices));
    }();
    return frame;
}

// Mostly background, as a portrait's edges are: zero runs of 1 to 300 pixels
// between short islands of 1 to 24 indices.
const Frame& ZeroFrame()
{
    static const Frame frame = [] {
        std::mt19937 rng(2);
        std::vector<uint8_t> indices(kPixels, 0);
        size_t at = 0;
        while (at < kPixels) {
            at += 1 + rng() % 300;
            for (size_t n = 1 + rng() % 24; n > 0 && at < kPixels; --n)
                indices[at++] = static_cast<uint8_t>(1 + rng() % 255);
        }
        return Encoded(std::move(indices));
    }();
    return frame;
}

const uint8_t* Palette()
{
    static const std::vector<uint8_t> palette = [] {
        std::vector<uint8_t> bytes(1024);
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<uint8_t>(i * 7);
        return bytes;
    }();
    return palette.data();
}

void BenchMemcpy(benchmark::State& state, size_t bytes)
{
    std::vector<uint8_t> from(bytes, 1);
    std::vector<uint8_t> to(bytes, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}

void BenchDecodeIndices(benchmark::State& state, const Frame& frame)
{
    std::vector<uint8_t> out(kPixels, 0);
    for (auto _ : state) {
        DecodeFrameIndices(out.data(), frame.code.data(), frame.code.size(), kWidth, kHeight, 0);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    if (out != frame.indices)
        state.SkipWithError("the decode differs from the frame");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kPixels));
}

void BenchDecodeColours(benchmark::State& state, const Frame& frame)
{
    std::vector<uint8_t> out(4 * kPixels, 0);
    const uint8_t* palette = Palette();
    for (auto _ : state) {
        DecodeFrameColours(out.data(), frame.code.data(), frame.code.size(), kWidth, kHeight, 0, palette);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(4 * kPixels));
}

void BenchEncode(benchmark::State& state, const Frame& frame)
{
    std::vector<uint8_t> out(MaxEncodedSize(kWidth, kHeight));
    for (auto _ : state) {
        const int32_t n = EncodeFrame(frame.indices.data(), kWidth, kHeight, out.data(), out.size());
        benchmark::DoNotOptimize(n);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kPixels));
}

// A palette image of the frame, as an archive entry holds it.
std::vector<uint8_t> ImageOf(const Frame& frame)
{
    std::vector<uint8_t> rgb(768);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<uint8_t>(i * 7);
    GfxImage gfx = GfxImage::PaletteImage(GfxHeader{}, rgb);
    GfxFrameRecord record;
    record.SetWidth(static_cast<int16_t>(kWidth));
    record.SetHeight(static_cast<int16_t>(kHeight));
    gfx.AddFrame(record, frame.code);
    return SerializeGfx(gfx);
}

// Parsing, both decodes and the surfaces' allocation: what a load costs once
// the bytes are read.
void BenchReadImage(benchmark::State& state, const Frame& frame)
{
    const std::vector<uint8_t> bytes = ImageOf(frame);
    bool same = true;
    for (auto _ : state) {
        CPortraitImage image;
        image.ReadImage(bytes.data(), bytes.size());
        const CRasterSurface* indices = image.GetFrameSurface(0);
        benchmark::DoNotOptimize(image.GetDisplaySurface(0));
        same = indices && indices->m_pBits && std::memcmp(indices->m_pBits, frame.indices.data(), kPixels) == 0;
    }
    if (!same)
        state.SkipWithError("the image read differs from the frame");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(5 * kPixels));
}

void Register()
{
    auto add = [](const char* name, auto body) {
        benchmark::RegisterBenchmark(name, body)->Unit(benchmark::kMillisecond)->UseRealTime();
    };
    add("memcpy_indices", [](benchmark::State& s) { BenchMemcpy(s, kPixels); });
    add("memcpy_colours", [](benchmark::State& s) { BenchMemcpy(s, 4 * kPixels); });
    add("decode_indices_literal", [](benchmark::State& s) { BenchDecodeIndices(s, LiteralFrame()); });
    add("decode_indices_zero", [](benchmark::State& s) { BenchDecodeIndices(s, ZeroFrame()); });
    add("decode_colours_literal", [](benchmark::State& s) { BenchDecodeColours(s, LiteralFrame()); });
    add("decode_colours_zero", [](benchmark::State& s) { BenchDecodeColours(s, ZeroFrame()); });
    add("encode_literal", [](benchmark::State& s) { BenchEncode(s, LiteralFrame()); });
    add("encode_zero", [](benchmark::State& s) { BenchEncode(s, ZeroFrame()); });
    add("read_image_literal", [](benchmark::State& s) { BenchReadImage(s, LiteralFrame()); });
    add("read_image_zero", [](benchmark::State& s) { BenchReadImage(s, ZeroFrame()); });
}

[[maybe_unused]] const bool g_registered = (Register(), true);

} // namespace

// The index decode is a memcpy per literal run, so it should come close to
// one memcpy of the frame; the colour decode looks up every pixel and writes
// four times the bytes, measured against a memcpy of that larger output.
TV_RATIO_THROUGHPUT_AT_LEAST("decode_indices_literal", "memcpy_indices", 0.50);
TV_RATIO_THROUGHPUT_AT_LEAST("decode_colours_literal", "memcpy_colours", 0.25);
// Zero-heavy frames write fewer bytes per run, and their runs of random
// kinds cost a mispredicted branch each (their random lengths cost none:
// the index decode clears or copies them in fixed-width blocks), so the
// index decode has a lower floor there; the colour decode is bound by its
// writes either way.
TV_RATIO_THROUGHPUT_AT_LEAST("decode_indices_zero", "memcpy_indices", 0.35);
TV_RATIO_THROUGHPUT_AT_LEAST("decode_colours_zero", "memcpy_colours", 0.25);
