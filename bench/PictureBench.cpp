// A 6000 x 4000 photograph to all three portrait images, against decoding
// the same JPEG at 1/8 scale alone with libjpeg-turbo: reading at the scale
// the largest frame needs, the crop of each image's shape resized in linear
// light to LARGE, ten MEDIUM frames and SMALL, and each remapped to a
// 256-colour palette. The photograph is made once by the benchmark itself,
// with the tests' own JPEG writer.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include <jpeglib.h>

#include "BenchPalette.h"
#include "ColourMatch.h"
#include "PictureBytes.h"
#include "PictureFit.h"
#include "PictureReader.h"
#include "RatioReport.h"

namespace {

constexpr int32_t kWidth = 6000, kHeight = 4000;

// A smooth photograph-like picture with fine noise, at JPEG quality 90.
const std::vector<uint8_t>& Photograph()
{
    static const std::vector<uint8_t> jpeg = [] {
        std::vector<uint8_t> rgb(static_cast<size_t>(kWidth) * kHeight * 3);
        uint32_t seed = 7;
        for (int32_t y = 0; y < kHeight; ++y)
            for (int32_t x = 0; x < kWidth; ++x) {
                seed = seed * 1664525u + 1013904223u;
                const double d = std::hypot(x - kWidth / 2.0, y - kHeight / 2.5) / 1500.0;
                const int noise = static_cast<int>(seed >> 28) - 8;
                uint8_t* p = &rgb[(static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)) * 3];
                p[0] = static_cast<uint8_t>(std::clamp(230 - 90 * d + noise, 0.0, 255.0));
                p[1] = static_cast<uint8_t>(std::clamp(170 - 80 * d + noise, 0.0, 255.0));
                p[2] = static_cast<uint8_t>(std::clamp(70 + 110 * d + noise, 0.0, 255.0));
            }
        return JpegBytes(kWidth, kHeight, rgb, 90);
    }();
    return jpeg;
}

// libjpeg-turbo alone: the photograph decoded at 1/8 scale into RGB rows.
void BenchDecodeEighth(benchmark::State& state)
{
    const std::vector<uint8_t>& jpeg = Photograph();
    std::vector<uint8_t> out;
    for (auto _ : state) {
        jpeg_decompress_struct info{};
        jpeg_error_mgr error{};
        info.err = jpeg_std_error(&error);
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
        jpeg_read_header(&info, TRUE);
        info.out_color_space = JCS_RGB;
        info.scale_num = 1;
        info.scale_denom = 8;
        jpeg_start_decompress(&info);
        out.resize(static_cast<size_t>(info.output_width) * info.output_height * 3);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = out.data() + static_cast<size_t>(info.output_scanline) * info.output_width * 3;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
        benchmark::DoNotOptimize(out.data());
    }
}

// The photograph to LARGE 179 x 143, ten MEDIUM frames of 91 x 71 and SMALL
// 47 x 35, each remapped to the palette.
void BenchToThreeImages(benchmark::State& state)
{
    const std::vector<uint8_t>& jpeg = Photograph();
    const CColourMatch match(BenchPalette().data(), ColourMetric::kClassic);
    PictureRequest request;
    request.minWidth = 179;
    request.minHeight = 143;
    struct Size {
        int32_t width, height, frames;
    };
    const Size sizes[] = {{179, 143, 1}, {91, 71, 10}, {47, 35, 1}};
    std::vector<uint8_t> rgb, indices;
    for (auto _ : state) {
        Picture picture;
        PictureFailure failure;
        if (CPictureReader::Read(jpeg, request, picture, failure) != PictureResult::kOk) {
            state.SkipWithError(failure.reason.c_str());
            return;
        }
        for (const Size& s : sizes)
            for (int32_t f = 0; f < s.frames; ++f) {
                const CropRect crop = CropOfShape(picture.width, picture.height, s.width, s.height, CropGravity::kTop);
                FitPicture(picture, crop, s.width, s.height, rgb);
                indices.resize(static_cast<size_t>(s.width) * static_cast<size_t>(s.height));
                match.MapColours(rgb.data(), static_cast<size_t>(s.width) * 3, s.width, s.height, indices.data(),
                                 static_cast<size_t>(s.width), false);
                benchmark::DoNotOptimize(indices.data());
            }
    }
}

void Register()
{
    benchmark::RegisterBenchmark("decode_jpeg_eighth", BenchDecodeEighth)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("photo_to_three_images", BenchToThreeImages)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

[[maybe_unused]] const bool g_registered = (Register(), true);

} // namespace

// Read at 1/8 scale, never whole, the photograph costs little more than its
// decoding: fitting and remapping thirteen frames adds at most twice that.
TV_RATIO_TIME_AT_MOST("photo_to_three_images", "decode_jpeg_eighth", 3.0);
