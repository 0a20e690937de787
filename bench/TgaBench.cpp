// How long LoadTga takes on a 1024 x 1024 24-bit picture, stored uncompressed
// and run-length coded, against a widely used image decoder reading the same
// file in the same run. The run-length picture is smooth gradients with noisy
// patches, so that runs and literal packets mix as in real artwork.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <stb/stb_image.h>

#include "BenchFolder.h"
#include "RatioReport.h"
#include "RasterSurface.h"
#include "TgaFormat.h"

namespace {

constexpr uint16_t kSide = 1024;

using Bytes = std::vector<uint8_t>;

// Blue, green, red of every pixel, top row first.
Bytes MakePicture()
{
    std::mt19937 random(1234);
    Bytes bgr(static_cast<size_t>(kSide) * kSide * 3);
    for (uint32_t y = 0; y < kSide; ++y)
        for (uint32_t x = 0; x < kSide; ++x) {
            // Broad gradients in steps of a few pixels make runs; noise in a
            // checkerboard of 128-pixel patches makes literals.
            int blue = static_cast<int>(x / 6);
            int green = static_cast<int>(y / 5);
            int red = static_cast<int>((x + y) / 9);
            if (((x / 128) + (y / 128)) % 3 == 0) {
                blue += static_cast<int>(random() % 9);
                green += static_cast<int>(random() % 9);
                red += static_cast<int>(random() % 9);
            }
            uint8_t* p = &bgr[(static_cast<size_t>(y) * kSide + x) * 3];
            p[0] = static_cast<uint8_t>(blue);
            p[1] = static_cast<uint8_t>(green);
            p[2] = static_cast<uint8_t>(red);
        }
    return bgr;
}

Bytes Header(uint8_t imageType)
{
    TgaHeader header;
    header.imageType = imageType;
    header.width = kSide;
    header.height = kSide;
    header.pixelDepth = 24;
    header.descriptor = 0; // bottom row first, as most programs write
    const auto bytes = SerializeTgaHeader(header);
    return Bytes(bytes.begin(), bytes.end());
}

// The pixel values bottom row first, as the header says.
Bytes BottomRowFirst(const Bytes& bgr)
{
    Bytes rows;
    const size_t row = static_cast<size_t>(kSide) * 3;
    for (size_t y = kSide; y-- > 0;)
        rows.insert(rows.end(), bgr.begin() + static_cast<ptrdiff_t>(y * row),
                    bgr.begin() + static_cast<ptrdiff_t>((y + 1) * row));
    return rows;
}

Bytes RawFile(const Bytes& bgr)
{
    Bytes file = Header(TgaHeader::kTypeTrueColour);
    const Bytes rows = BottomRowFirst(bgr);
    file.insert(file.end(), rows.begin(), rows.end());
    return file;
}

// Packets cross row ends as the format allows.
Bytes RunLengthFile(const Bytes& bgr)
{
    Bytes file = Header(TgaHeader::kTypeRunLengthTrueColour);
    AppendTgaRunLength(BottomRowFirst(bgr), 3, file);
    return file;
}

bool WriteFile(const std::string& path, const Bytes& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// The uncompressed file (path 0) and the run-length file (path 1).
const CBenchFolder& TestFiles()
{
    static const CBenchFolder files("bench_tga", [](const std::string& folder, std::vector<std::string>& paths) {
        paths = {folder + "/RAW24.TGA", folder + "/RLE24.TGA"};
        const Bytes picture = MakePicture();
        if (!WriteFile(paths[0], RawFile(picture)) || !WriteFile(paths[1], RunLengthFile(picture)))
            return "cannot write the test files in " + folder;
        return std::string();
    });
    return files;
}

constexpr int64_t kPixelBytes = int64_t{kSide} * kSide * 4;

// One surface for all iterations, as a frame's surface is loaded again and
// again on import; LoadTga recreates its bitmap each time.
void BenchLoadTga(benchmark::State& state)
{
    const CBenchFolder& files = TestFiles();
    if (!files.Ok()) {
        state.SkipWithError(files.Error().c_str());
        return;
    }
    const std::string& path = files.Path(static_cast<int>(state.range(0)));
    CRasterSurface surface;
    for (auto _ : state) {
        if (surface.LoadTga(path) != 1) {
            state.SkipWithError("LoadTga refused the file");
            break;
        }
        benchmark::DoNotOptimize(surface.m_pBits);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kPixelBytes);
}

// The same file, asked for four channels so that both sides produce four
// bytes per pixel.
void BenchStbLoad(benchmark::State& state)
{
    const CBenchFolder& files = TestFiles();
    if (!files.Ok()) {
        state.SkipWithError(files.Error().c_str());
        return;
    }
    const std::string& path = files.Path(static_cast<int>(state.range(0)));
    stbi_set_flip_vertically_on_load(0);
    for (auto _ : state) {
        int width = 0, height = 0, channels = 0;
        stbi_uc* pixels = stbi_load(path.c_str(), &width, &height, &channels, 4);
        if (!pixels || width != kSide || height != kSide) {
            stbi_image_free(pixels);
            state.SkipWithError("stbi_load refused the file");
            break;
        }
        benchmark::DoNotOptimize(pixels);
        benchmark::ClobberMemory();
        stbi_image_free(pixels);
    }
    state.SetBytesProcessed(state.iterations() * kPixelBytes);
}

} // namespace

// Argument 0: uncompressed; 1: run-length.
BENCHMARK(BenchLoadTga)->Name("load_tga")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BenchStbLoad)->Name("stbi_load")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The editor's own reader should be no slower than the common decoder.
TV_RATIO_TIME_AT_MOST("load_tga/0", "stbi_load/0", 1.0);
TV_RATIO_TIME_AT_MOST("load_tga/1", "stbi_load/1", 1.0);
