// How long the whole-catalogue export and import take on the demo game,
// against the file work they cannot avoid, measured in the same run: the
// export against writing the same bytes to the same paths with plain stdio,
// the import of an unchanged export against hashing the files it must hash.
// The dialog is opened once, outside the timed loops. The export and the
// import use a worker thread per core, as the programs do; the baselines run
// on one thread, as plain stdio and a hash of each file in turn would.
//
// The folder is made below $TMPDIR. On a disk file system both sides of the
// export's ratio mostly wait for the disk (opening a file that is still being
// written back, to truncate it), so the ratio follows the disk's load; with
// TMPDIR=/dev/shm it is the work alone.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "BenchFolder.h"
#include "CatalogueOperations.h"
#include "DemoGame.h"
#include "FileSystem.h"
#include "HeadlessHost.h"
#include "PortraitEditorDlg.h"
#include "RatioReport.h"
#include "Sha256.h"

namespace {

using Bytes = std::vector<uint8_t>;

bool ReadWhole(const std::string& path, Bytes& bytes)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    bytes.clear();
    uint8_t block[65536];
    size_t n = 0;
    while ((n = std::fread(block, 1, sizeof block, file)) > 0)
        bytes.insert(bytes.end(), block, block + n);
    const bool ok = !std::ferror(file);
    return std::fclose(file) == 0 && ok;
}

// The demo game with the dialog open on it, and one export of it made
// beforehand: its files (the manifest last) with their bytes.
class CCatalogueSetup {
public:
    // The folder is made empty; the rest needs the dialog, which is
    // constructed after it.
    CCatalogueSetup() : m_folder("bench_catalogue", [](const std::string&, std::vector<std::string>&) {
        return std::string();
    })
    {
        if (m_folder.Ok())
            m_error = Make(m_folder.Folder());
    }

    const std::string& Error() const { return m_folder.Ok() ? m_error : m_folder.Error(); }
    bool Ok() const { return Error().empty(); }
    CCatalogueOperations Operations() { return m_dialog.CatalogueOperations(); }
    const std::string& ExportDir() const { return m_exportDir; }
    const std::string& ArchivePath() const { return m_archivePath; }
    const std::vector<std::pair<std::string, Bytes>>& Written() const { return m_written; }
    uint64_t WrittenBytes() const { return m_writtenBytes; }

private:
    std::string Make(const std::string& folder)
    {
        const std::string base = folder + "/game";
        std::string error;
        if (!MakeDemoGame(base, error))
            return "cannot make the demo game: " + error;
        m_archivePath = base + "/DATA/DATA.QPK";
        // The dialog opens on the current directory, as the editor does.
        const std::string previous = CFileSystem::GetCurrentDir();
        if (::chdir(base.c_str()) != 0)
            return "cannot change to " + base;
        m_host.Open(m_dialog);
        if (::chdir(previous.c_str()) != 0)
            return "cannot change back to " + previous;

        m_exportDir = folder + "/export";
        const CatalogueExportResult result = Operations().ExportCatalogue(m_exportDir, ExportFormat::kPng, false);
        if (result.result != CatalogueExportResult::kOk || !result.failed.empty() || result.files.empty())
            return "the first export of the demo game failed";
        for (const ExportedFile& file : result.files)
            m_written.emplace_back(m_exportDir + "/" + file.path, Bytes());
        m_written.emplace_back(m_exportDir + "/manifest.json", Bytes());
        for (auto& [path, bytes] : m_written) {
            if (!ReadWhole(path, bytes))
                return "cannot read back " + path;
            m_writtenBytes += bytes.size();
        }
        return std::string();
    }

    // Declared first: removed last, after the dialog let go of its files.
    CBenchFolder m_folder;
    std::string m_error;
    CHeadlessHost m_host;
    CPortraitEditorDlg m_dialog;
    std::string m_archivePath;
    std::string m_exportDir;
    std::vector<std::pair<std::string, Bytes>> m_written;
    uint64_t m_writtenBytes = 0;
};

CCatalogueSetup& Setup()
{
    static CCatalogueSetup setup;
    return setup;
}

bool Ready(benchmark::State& state)
{
    if (Setup().Ok())
        return true;
    state.SkipWithError(Setup().Error().c_str());
    return false;
}

void BenchExportCatalogue(benchmark::State& state)
{
    if (!Ready(state))
        return;
    CCatalogueOperations operations = Setup().Operations();
    const size_t expected = Setup().Written().size() - 1;
    for (auto _ : state) {
        // Forced, so that it may write over the export before it.
        const CatalogueExportResult result = operations.ExportCatalogue(Setup().ExportDir(), ExportFormat::kPng, true);
        if (result.result != CatalogueExportResult::kOk || result.files.size() != expected) {
            state.SkipWithError("the export failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Setup().WrittenBytes()));
}

// Every file the export wrote and its manifest, the same bytes at the same
// paths, each replacing the file there; the path that failed, or nothing.
std::string WriteSameBytes()
{
    for (const auto& [path, bytes] : Setup().Written()) {
        FILE* file = std::fopen(path.c_str(), "wb");
        if (!file)
            return path;
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        if (std::fclose(file) != 0 || !written)
            return path;
    }
    return std::string();
}

void BenchFwriteSameBytes(benchmark::State& state)
{
    if (!Ready(state))
        return;
    for (auto _ : state) {
        if (const std::string failed = WriteSameBytes(); !failed.empty()) {
            state.SkipWithError(("cannot write " + failed).c_str());
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Setup().WrittenBytes()));
}

void BenchImportCatalogueUnchanged(benchmark::State& state)
{
    if (!Ready(state))
        return;
    CCatalogueOperations operations = Setup().Operations();
    const int32_t expected = static_cast<int32_t>(Setup().Written().size() - 1);
    for (auto _ : state) {
        const CatalogueImportResult result = operations.ImportCatalogue(Setup().ExportDir(), ImportOptions{}, false, false);
        if (result.result != CatalogueImportResult::kOk || !result.imported.empty() || !result.failed.empty() ||
            result.unchanged != expected) {
            state.SkipWithError(("the import failed: " + result.reason).c_str());
            break;
        }
    }
}

// What the import must hash: every file the manifest lists, and the game
// archive that it checks the manifest against. The path that failed, or
// nothing.
std::string HashSameFiles()
{
    const auto& written = Setup().Written();
    std::string hex;
    uint64_t size = 0;
    for (size_t i = 0; i + 1 < written.size(); ++i)
        if (!Sha256OfFile(written[i].first, hex, size))
            return written[i].first;
    if (!Sha256OfFile(Setup().ArchivePath(), hex, size))
        return Setup().ArchivePath();
    benchmark::DoNotOptimize(hex.data());
    return std::string();
}

void BenchHashSameFiles(benchmark::State& state)
{
    if (!Ready(state))
        return;
    for (auto _ : state) {
        if (const std::string failed = HashSameFiles(); !failed.empty()) {
            state.SkipWithError(("cannot hash " + failed).c_str());
            break;
        }
    }
}

} // namespace

BENCHMARK(BenchExportCatalogue)->Name("export_catalogue")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BenchFwriteSameBytes)->Name("fwrite_same_bytes")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BenchImportCatalogueUnchanged)->Name("import_catalogue_unchanged")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BenchHashSameFiles)->Name("hash_same_files")->Unit(benchmark::kMillisecond)->UseRealTime();

// Encoding the frames costs more than writing them, but not much more.
TV_RATIO_TIME_AT_MOST("export_catalogue", "fwrite_same_bytes", 2.0);
// An import with nothing to take is about the hashing it cannot avoid.
TV_RATIO_TIME_AT_MOST("import_catalogue_unchanged", "hash_same_files", 1.2);
