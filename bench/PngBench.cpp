// How long ReadPng takes on a portrait-sized PNG (179 x 143, the LARGE
// image), indexed and RGB as the export writes them, against libpng's own
// simplified reader (png_image) reading the same file in the same run. The
// picture is soft gradients with noisy patches, as painted portraits are.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "PngFile.h"
#include "BenchFolder.h"
#include "RatioReport.h"

namespace {

constexpr int32_t kWidth = 179, kHeight = 143;

using Bytes = std::vector<uint8_t>;

// One sample a pixel for the indexed file, three for the RGB file.
Bytes MakePicture(size_t channels)
{
    std::mt19937 random(4321);
    Bytes samples(size_t{kWidth} * kHeight * channels);
    for (size_t y = 0; y < size_t{kHeight}; ++y)
        for (size_t x = 0; x < size_t{kWidth}; ++x)
            for (size_t c = 0; c < channels; ++c) {
                size_t v = (x * (c + 1) / 3 + y / (c + 2)) % 256;
                if (((x / 32) + (y / 32)) % 3 == 0)
                    v = (v + random() % 7) % 256;
                samples[(y * kWidth + x) * channels + c] = static_cast<uint8_t>(v);
            }
    return samples;
}

// The indexed file (path 0) and the RGB file (path 1).
const CBenchFolder& TestFiles()
{
    static const CBenchFolder files("bench_png", [](const std::string& folder, std::vector<std::string>& paths) {
        paths = {folder + "/INDEXED.PNG", folder + "/RGB.PNG"};
        Bytes palette(256 * 3);
        for (size_t i = 0; i < palette.size(); ++i)
            palette[i] = static_cast<uint8_t>(i * 11);
        const Bytes indices = MakePicture(1), rgb = MakePicture(3);
        if (!WriteIndexedPng(paths[0], kWidth, kHeight, indices.data(), kWidth, palette.data()) ||
            !WriteRgbPng(paths[1], kWidth, kHeight, rgb.data(), size_t{kWidth} * 3))
            return "cannot write the test files in " + folder;
        return std::string();
    });
    return files;
}

void BenchReadPng(benchmark::State& state)
{
    const CBenchFolder& files = TestFiles();
    if (!files.Ok()) {
        state.SkipWithError(files.Error().c_str());
        return;
    }
    const std::string& path = files.Path(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        PngPicture picture;
        if (ReadPng(path, picture) != PngReadResult::kOk) {
            state.SkipWithError("ReadPng refused the file");
            break;
        }
        benchmark::DoNotOptimize(picture.indices.data());
        benchmark::DoNotOptimize(picture.rgb.data());
        benchmark::ClobberMemory();
    }
}

// The same file, indexed as indices and a colour map, RGB as RGB, into
// buffers allocated each time as ReadPng's are.
void BenchPngImageRead(benchmark::State& state)
{
    const CBenchFolder& files = TestFiles();
    if (!files.Ok()) {
        state.SkipWithError(files.Error().c_str());
        return;
    }
    const bool indexed = state.range(0) == 0;
    const std::string& path = files.Path(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_file(&image, path.c_str())) {
            state.SkipWithError("png_image_begin_read_from_file refused the file");
            break;
        }
        image.format = indexed ? PNG_FORMAT_RGB_COLORMAP : PNG_FORMAT_RGB;
        Bytes pixels(PNG_IMAGE_SIZE(image));
        Bytes colourMap(indexed ? PNG_IMAGE_COLORMAP_SIZE(image) : 0);
        if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, indexed ? colourMap.data() : nullptr)) {
            png_image_free(&image);
            state.SkipWithError("png_image_finish_read refused the file");
            break;
        }
        benchmark::DoNotOptimize(pixels.data());
        benchmark::DoNotOptimize(colourMap.data());
        benchmark::ClobberMemory();
    }
}

} // namespace

// Argument 0: the indexed file; 1: the RGB file.
BENCHMARK(BenchReadPng)->Name("read_png")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BenchPngImageRead)->Name("png_image_read")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Reading through the classic API with the checks the editor needs should
// cost little over libpng's own simplified reader.
TV_RATIO_TIME_AT_MOST("read_png/0", "png_image_read/0", 1.2);
TV_RATIO_TIME_AT_MOST("read_png/1", "png_image_read/1", 1.2);
