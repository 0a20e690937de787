// How long the whole-catalogue export and import take on the demo game,
// against the file work they cannot avoid, measured in the same run: the
// export against writing the same bytes to the same paths with plain stdio,
// the import of an unchanged export against hashing the files it must hash.
// The dialog is opened once, outside the timed loops. The export and the
// import use a worker thread per core, as the programs do; the baselines run
// on one thread, as plain stdio and a hash of each file in turn would.
//
// Both are measured again on the demo game whose archive was grown as a
// game's archive is, by 50,000 entries and 2 GiB of other data: the
// manifest names the archive by its header, directory and portraits, so the
// grown archive must cost hardly more than the demo's.
//
// The folder is made below $TMPDIR. On a disk file system both sides of the
// export's ratio mostly wait for the disk (opening a file that is still being
// written back, to truncate it), so the ratio follows the disk's load; with
// TMPDIR=/dev/shm it is the work alone. The grown archive's other data is a
// hole, which takes no room on either.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "ArchiveDigest.h"
#include "ArchiveFormat.h"
#include "BenchFolder.h"
#include "CatalogueOperations.h"
#include "DemoGame.h"
#include "FileSystem.h"
#include "HeadlessHost.h"
#include "LittleEndian.h"
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

bool WriteAll(int fd, const uint8_t* data, size_t n)
{
    while (n > 0) {
        const ssize_t written = ::write(fd, data, n);
        if (written <= 0)
            return false;
        data += written;
        n -= static_cast<size_t>(written);
    }
    return true;
}

// What a game's archive holds besides the portraits, added to the demo's.
constexpr int32_t kExtraEntries = 50000;
constexpr uint64_t kExtraData = uint64_t{2} << 30;
constexpr uint32_t kExtraEntrySize = 40000; // less than the room each has in the hole

// Grows the demo archive at path: the same header with the larger count, the
// demo's data where it was, 2 GiB of other data left as a hole, then the
// demo's directory and kExtraEntries records of sounds whose data lies in
// the hole. Why it could not, or nothing.
std::string GrowArchive(const std::string& path)
{
    Bytes demo;
    int32_t count = 0;
    uint64_t dirStart = 0, dirBytes = 0;
    if (!ReadWhole(path, demo) || ParseArchiveHeader(demo, count) != kArchiveParseOk ||
        !FindArchiveDirectory(count, demo.size(), dirStart, dirBytes) || dirStart < ArchiveHeader::kSize ||
        dirStart + kExtraData + kExtraData / kExtraEntries > ArchiveEntry::kMaxDataOffset)
        return "cannot read the demo archive " + path;
    std::array<uint8_t, ArchiveHeader::kSize> header;
    std::copy_n(demo.begin(), header.size(), header.begin());
    StoreU32LE(&header[ArchiveHeader::kCountOffset], static_cast<uint32_t>(count + kExtraEntries));
    StoreU32LE(&header[ArchiveHeader::kCountCheckOffset], static_cast<uint32_t>(count + kExtraEntries));
    Bytes directory(demo.begin() + static_cast<long>(dirStart), demo.end());
    for (int32_t i = 0; i < kExtraEntries; ++i) {
        const auto record = SerializeDirectoryRecord(
            "SOUNDS\\AMBIENT\\S" + std::to_string(100000 + i) + ".WAV",
            static_cast<uint32_t>(dirStart + static_cast<uint64_t>(i) * (kExtraData / kExtraEntries)), kExtraEntrySize);
        directory.insert(directory.end(), record.begin(), record.end());
    }
    const std::string grown = path + ".grown";
    const int fd = ::open(grown.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return "cannot create " + grown;
    const bool written = WriteAll(fd, header.data(), header.size()) &&
                         WriteAll(fd, demo.data() + header.size(), static_cast<size_t>(dirStart) - header.size()) &&
                         ::lseek(fd, static_cast<off_t>(dirStart + kExtraData), SEEK_SET) >= 0 &&
                         WriteAll(fd, directory.data(), directory.size());
    if (::close(fd) != 0 || !written || std::rename(grown.c_str(), path.c_str()) != 0)
        return "cannot write " + grown;
    return std::string();
}

// The demo game (its archive grown by GrowArchive when asked) with the
// dialog open on it, and one export of it made beforehand: its files (the
// manifest last) with their bytes.
class CCatalogueSetup {
public:
    // The folder is made empty; the rest needs the dialog, which is
    // constructed after it.
    explicit CCatalogueSetup(bool grown)
        : m_folder(grown ? "bench_catalogue_grown" : "bench_catalogue",
                   [](const std::string&, std::vector<std::string>&) { return std::string(); })
    {
        if (m_folder.Ok())
            m_error = Make(m_folder.Folder(), grown);
    }

    const std::string& Error() const { return m_folder.Ok() ? m_error : m_folder.Error(); }
    bool Ok() const { return Error().empty(); }
    CCatalogueOperations Operations() { return m_dialog.CatalogueOperations(); }
    const std::string& ExportDir() const { return m_exportDir; }
    const std::string& ArchivePath() const { return m_archivePath; }
    const CEditorModel& Model() { return m_dialog.Model(); }
    const std::vector<std::pair<std::string, Bytes>>& Written() const { return m_written; }
    uint64_t WrittenBytes() const { return m_writtenBytes; }

private:
    std::string Make(const std::string& folder, bool grown)
    {
        const std::string base = folder + "/game";
        std::string error;
        if (!MakeDemoGame(base, error))
            return "cannot make the demo game: " + error;
        m_archivePath = base + "/DATA/DATA.QPK";
        if (grown && !(error = GrowArchive(m_archivePath)).empty())
            return error;
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
    static CCatalogueSetup setup(false);
    return setup;
}

CCatalogueSetup& GrownSetup()
{
    static CCatalogueSetup setup(true);
    return setup;
}

bool Ready(benchmark::State& state, CCatalogueSetup& setup = Setup())
{
    if (setup.Ok())
        return true;
    state.SkipWithError(setup.Error().c_str());
    return false;
}

void ExportCatalogue(benchmark::State& state, CCatalogueSetup& setup)
{
    if (!Ready(state, setup))
        return;
    CCatalogueOperations operations = setup.Operations();
    const size_t expected = setup.Written().size() - 1;
    for (auto _ : state) {
        // Forced, so that it may write over the export before it.
        const CatalogueExportResult result = operations.ExportCatalogue(setup.ExportDir(), ExportFormat::kPng, true);
        if (result.result != CatalogueExportResult::kOk || result.files.size() != expected) {
            state.SkipWithError("the export failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * setup.WrittenBytes()));
}

void BenchExportCatalogue(benchmark::State& state) { ExportCatalogue(state, Setup()); }
void BenchExportCatalogueGrown(benchmark::State& state) { ExportCatalogue(state, GrownSetup()); }

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

void ImportCatalogueUnchanged(benchmark::State& state, CCatalogueSetup& setup)
{
    if (!Ready(state, setup))
        return;
    CCatalogueOperations operations = setup.Operations();
    const int32_t expected = static_cast<int32_t>(setup.Written().size() - 1);
    for (auto _ : state) {
        const CatalogueImportResult result = operations.ImportCatalogue(setup.ExportDir(), ImportOptions{}, false, false);
        if (result.result != CatalogueImportResult::kOk || !result.imported.empty() || !result.failed.empty() ||
            result.unchanged != expected) {
            state.SkipWithError(("the import failed: " + result.reason).c_str());
            break;
        }
    }
}

void BenchImportCatalogueUnchanged(benchmark::State& state) { ImportCatalogueUnchanged(state, Setup()); }
void BenchImportCatalogueUnchangedGrown(benchmark::State& state) { ImportCatalogueUnchanged(state, GrownSetup()); }

// What the import must hash: every file the manifest lists, and the game
// archive's header, directory and portraits that it checks the manifest
// against. The path that failed, or nothing.
std::string HashSameFiles()
{
    const auto& written = Setup().Written();
    std::string hex;
    uint64_t size = 0;
    for (size_t i = 0; i + 1 < written.size(); ++i)
        if (!Sha256OfFile(written[i].first, hex, size))
            return written[i].first;
    // Kept, as the import's is, while the archive stays open.
    static CArchiveDigest digest;
    const CEditorModel& model = Setup().Model();
    std::vector<const PortraitRecord*> records;
    for (int32_t i = 0; i < model.PortraitCount(); ++i)
        records.push_back(model.Record(i));
    if (!digest.Digest(model.Archive(), records, hex))
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

BENCHMARK(BenchExportCatalogue)->Name("export_catalogue_demo")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BenchExportCatalogueGrown)
    ->Name("export_catalogue_large_archive")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BenchFwriteSameBytes)->Name("fwrite_same_bytes")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BenchImportCatalogueUnchanged)->Name("import_catalogue_unchanged")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BenchImportCatalogueUnchangedGrown)
    ->Name("import_catalogue_unchanged_large_archive")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BenchHashSameFiles)->Name("hash_same_files")->Unit(benchmark::kMillisecond)->UseRealTime();

// Encoding the frames costs more than writing them, but not much more.
TV_RATIO_TIME_AT_MOST("export_catalogue_demo", "fwrite_same_bytes", 2.0);
// An import with nothing to take is about the hashing it cannot avoid.
TV_RATIO_TIME_AT_MOST("import_catalogue_unchanged", "hash_same_files", 1.2);
// 50,000 more entries and 2 GiB more data cost only their directory's digest.
TV_RATIO_TIME_AT_MOST("export_catalogue_large_archive", "export_catalogue_demo", 1.2);
TV_RATIO_TIME_AT_MOST("import_catalogue_unchanged_large_archive", "import_catalogue_unchanged", 1.2);
