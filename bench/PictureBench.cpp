// A 6000 x 4000 photograph to all three portrait images, against decoding
// the same JPEG at 1/8 scale alone with libjpeg-turbo: reading at the scale
// the largest frame needs, the crop of each image's shape resized in linear
// light to LARGE, ten MEDIUM frames and SMALL, and each remapped to a
// 256-colour palette. The photograph is made once by the benchmark itself,
// with the tests' own picture and JPEG writer. Also the crop of a smaller
// picture fitted to all three sizes at once, as a preview does while the
// crop is dragged.
#include <benchmark/benchmark.h>

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

// The tests' photograph-like picture, at JPEG quality 90.
const std::vector<uint8_t>& Photograph()
{
    static const std::vector<uint8_t> jpeg = JpegBytes(kWidth, kHeight, PhotoPicture(kWidth, kHeight), 90);
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

// A crop being dragged in the window: the largest crop of LARGE's shape in
// a 2000 x 1500 picture (1877 x 1500, 2.8 megapixels) fitted to LARGE 179 x
// 143, MEDIUM 91 x 71 and SMALL 47 x 35 at once, as each move of the mouse
// asks.
void BenchFitThreeSizes(benchmark::State& state)
{
    static const Picture picture{2000, 1500, PhotoPicture(2000, 1500)};
    const CropRect crop = CropOfShape(picture.width, picture.height, 179, 143, CropGravity::kCentre);
    std::vector<FitTarget> targets = {{179, 143, {}}, {91, 71, {}}, {47, 35, {}}};
    for (auto _ : state) {
        if (!FitPictureSizes(picture, crop, targets)) {
            state.SkipWithError("the crop could not be fitted");
            return;
        }
        benchmark::DoNotOptimize(targets.data());
    }
}

void Register()
{
    benchmark::RegisterBenchmark("fit_three_sizes_2000x1500", BenchFitThreeSizes)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
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
// A preview that follows the mouse has a frame's time, 16 ms, for each
// update: the fitting takes at most 12 of them, leaving room for the
// remapping and the drawing (bench_picturePreview times the whole update).
TV_MEDIAN_TIME_AT_MOST("fit_three_sizes_2000x1500", 12.0);
