// How long the new-portrait dialog takes to show the images anew while the
// crop is dragged over a 2000 x 1500 picture: the crop fitted to the current
// portrait's LARGE, MEDIUM and SMALL sizes and matched to their palettes,
// as the dialog asks each time the crop moves. The portrait is the demo
// game's first; the crop moves by a few pixels each time, as a drag does.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "BenchFolder.h"
#include "DemoGame.h"
#include "HeadlessHost.h"
#include "PictureBytes.h"
#include "PicturePreviews.h"
#include "PortraitEditorDlg.h"
#include "RatioReport.h"

namespace {

constexpr int32_t kWidth = 2000, kHeight = 1500;

// The tests' photograph-like picture: a gradient, a face, cloth, noise.
Picture PhotoLike()
{
    return Picture{kWidth, kHeight, PhotoPicture(kWidth, kHeight)};
}

const CBenchFolder& Game()
{
    static const CBenchFolder folder("bench_preview", [](const std::string& dir, std::vector<std::string>& paths) {
        std::string error;
        paths.push_back(dir + "/game");
        MakeDemoGame(paths.back(), error);
        return error;
    });
    return folder;
}

void RunPreviews(benchmark::State& state, bool newPalette)
{
    const CBenchFolder& game = Game();
    std::error_code ec;
    const std::filesystem::path previous = std::filesystem::current_path(ec);
    if (!game.Ok() || (std::filesystem::current_path(game.Path(0), ec), ec)) {
        state.SkipWithError(game.Ok() ? "cannot change into the game directory" : game.Error().c_str());
        return;
    }
    {
        CHeadlessHost host;
        CPortraitEditorDlg dialog;
        host.Open(dialog);
        const Picture picture = PhotoLike();
        CPicturePreviews previews(dialog.Model(), picture);
        PictureCropChoice choice;
        choice.newPalette = newPalette;
        // Three quarters of the picture's height, LARGE's shape.
        choice.crop = {200, 100, 200 + 1400, 100 + 1125};
        int32_t step = 0;
        for (auto _ : state) {
            const int32_t shift = (step++ % 8) * 3;
            choice.crop = {200 + shift, 100 + shift, 1600 + shift, 1225 + shift};
            const std::vector<PicturePreview> shown = previews.Previews(choice);
            if (shown.size() != 3) {
                state.SkipWithError("the demo's first portrait has not three images");
                break;
            }
            benchmark::DoNotOptimize(shown.data());
        }
    }
    std::filesystem::current_path(previous, ec);
}

void preview_update_2000x1500(benchmark::State& state)
{
    RunPreviews(state, false);
}

void preview_update_new_palette(benchmark::State& state)
{
    RunPreviews(state, true);
}

} // namespace

BENCHMARK(preview_update_2000x1500)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(preview_update_new_palette)->Unit(benchmark::kMillisecond)->UseRealTime();

TV_MEDIAN_TIME_AT_MOST("preview_update_2000x1500", 16.0);
