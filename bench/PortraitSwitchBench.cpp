// How long moving to the next portrait takes, as the scroll bar moves the
// editor's dialog on the headless host: the changed MEDIUM image of the
// portrait left behind is saved as an override file, the next portrait's
// three images are loaded (the MEDIUM one with 12 frames) and the window is
// painted. The game is the demo game. The change, a PNG file imported into
// MEDIUM frame 0 as the Import command imports a file named in its dialog,
// is made outside the timing. Moving on without a change is timed too, to
// tell the save from the load and paint.
// The saves sync to the disk of $TMPDIR (else /tmp), as the editor's do to
// the game's: while other programs write to that disk, each sync waits for
// their writes too, and the switch with it.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "DemoGame.h"
#include "HeadlessHost.h"
#include "PngFile.h"
#include "PortraitEditorDlg.h"
#include "RatioReport.h"
#include "Resources.h"

namespace {

constexpr size_t kFrames = 12;
constexpr int32_t kMediumWidth = 91, kMediumHeight = 71; // the demo's MEDIUM frames

// The demo game in a temporary folder, and two different PNG files of a
// MEDIUM frame beside it; removed, with all the editor wrote, at exit.
struct SwitchGame {
    std::string folder;
    std::string base;
    std::string png[2];
    std::string error;

    SwitchGame()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/bench_switch.XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            error = "cannot create a temporary folder from " + pattern;
            return;
        }
        folder = pattern;
        base = folder + "/game";
        if (!MakeDemoGame(base, error))
            return;
        // Diagonal bands over a grey ramp, shifted half-way round the ramp in
        // the second file, so that each import changes the frame.
        std::vector<uint8_t> palette(256 * 3);
        for (size_t i = 0; i < palette.size(); ++i)
            palette[i] = static_cast<uint8_t>(i / 3);
        std::vector<uint8_t> indices(size_t{kMediumWidth} * kMediumHeight);
        for (int i = 0; i < 2; ++i) {
            for (int32_t y = 0; y < kMediumHeight; ++y)
                for (int32_t x = 0; x < kMediumWidth; ++x)
                    indices[static_cast<size_t>(y * kMediumWidth + x)] =
                        static_cast<uint8_t>((x * 3 + y * 2 + i * 128) % 256);
            png[i] = folder + (i ? "/FRAME_B.PNG" : "/FRAME_A.PNG");
            if (!WriteIndexedPng(png[i], kMediumWidth, kMediumHeight, indices.data(), kMediumWidth, palette.data())) {
                error = "cannot write " + png[i];
                return;
            }
        }
    }
    ~SwitchGame()
    {
        std::error_code ec;
        if (!folder.empty())
            std::filesystem::remove_all(folder, ec);
    }
};

// Made on first use, so that --benchmark_list_tests writes nothing.
const SwitchGame& Game()
{
    static const SwitchGame game;
    return game;
}

// Runs in the game's base directory, where the editor is started, and goes
// back to where it was.
class InGameDir {
public:
    explicit InGameDir(const std::string& base) : m_previous(std::filesystem::current_path(m_error))
    {
        if (!m_error)
            std::filesystem::current_path(base, m_error);
    }
    ~InGameDir()
    {
        std::error_code ec;
        std::filesystem::current_path(m_previous, ec);
    }
    bool Ok() const { return !m_error; }

private:
    std::error_code m_error;
    std::filesystem::path m_previous;
};

// The scroll positions of the portraits whose MEDIUM image is a palette
// image of 12 frames, found by visiting every portrait.
std::vector<int32_t> TwelveFramePortraits(CHeadlessHost& host, const CPortraitEditorDlg& dialog)
{
    std::vector<int32_t> positions;
    for (int32_t p = 1; p <= dialog.PortraitCount(); ++p) {
        host.Scroll(IDC_PORTRAIT_SCROLLBAR, SB_THUMBPOSITION, p);
        if (dialog.Image(kSizeMedium).FrameTable().size() == kFrames)
            positions.push_back(p);
    }
    return positions;
}

// One iteration moves the scroll thumb to the next of those portraits (from
// the last back to the first); with `change`, MEDIUM frame 0 of the portrait
// left behind was imported first.
void RunSwitches(benchmark::State& state, bool change)
{
    const SwitchGame& game = Game();
    if (!game.error.empty()) {
        state.SkipWithError(game.error.c_str());
        return;
    }
    InGameDir inGame(game.base);
    if (!inGame.Ok()) {
        state.SkipWithError("cannot change into the game directory");
        return;
    }
    // The host outlives the dialog, as a window outlives the dialog it shows.
    CHeadlessHost host;
    CPortraitEditorDlg dialog;
    host.Open(dialog);
    const std::vector<int32_t> positions = TwelveFramePortraits(host, dialog);
    if (positions.size() < 2) {
        state.SkipWithError("the demo game has fewer than two portraits of 12 MEDIUM frames");
        return;
    }
    host.Scroll(IDC_PORTRAIT_SCROLLBAR, SB_THUMBPOSITION, positions[0]);
    PixelRect slot{};
    CPortraitEditorDlg::GetSlotRect(1, slot); // MEDIUM frame 0
    host.Click((slot.left + slot.right) / 2, (slot.top + slot.bottom) / 2);

    size_t next = 1, lap = 0;
    for (auto _ : state) {
        if (change) {
            state.PauseTiming();
            host.Effects()->Clear();
            dialog.ImportIntoSlot(dialog.SelectedSlot(), game.png[lap % 2]);
            const bool changed = dialog.Image(kSizeMedium).HasChanges();
            state.ResumeTiming();
            if (!changed) {
                state.SkipWithError("the import did not change the frame");
                break;
            }
        }
        host.Scroll(IDC_PORTRAIT_SCROLLBAR, SB_THUMBPOSITION, positions[next]);
        if (dialog.CurrentPortrait() != positions[next] - 1) {
            state.SkipWithError("the editor stayed on its portrait (a save failed)");
            break;
        }
        next = (next + 1) % positions.size();
        lap += next == 0;
    }
}

void BenchPortraitSwitch(benchmark::State& state)
{
    RunSwitches(state, true);
}

void BenchPortraitBrowse(benchmark::State& state)
{
    RunSwitches(state, false);
}

} // namespace

BENCHMARK(BenchPortraitSwitch)->Name("portrait_switch")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BenchPortraitBrowse)->Name("portrait_browse")->Unit(benchmark::kMillisecond)->UseRealTime();

// Dragging the scroll thumb loads and paints every portrait it passes, so a
// switch must take a small part of a screen frame.
TV_MEDIAN_TIME_AT_MOST("portrait_switch", 2.0);
