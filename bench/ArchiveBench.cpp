// How long CGameArchive::Open takes on an archive of 100,000 entries, against
// the least any reader must do for the same bytes: open, one read of the
// header, one read of the directory, close. Also times the walk over all
// entry names that a catalogue scan makes, for information.
#include <benchmark/benchmark.h>
#include <sys/types.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "BenchFolder.h"
#include "RatioReport.h"
#include "ArchiveFormat.h"
#include "GameArchive.h"

namespace {

constexpr int32_t kEntryCount = 100000;
// Each entry owns a few bytes of data so that offsets and sizes look real;
// Open never reads them, only the directory.
constexpr uint32_t kDataPerEntry = 16;
constexpr size_t kDirectoryBytes = static_cast<size_t>(kEntryCount) * ArchiveEntry::kSize;

// Mostly portraits in two sizes, and a third of other files so that the name
// scan sees misses as well as hits.
std::string EntryName(int32_t index)
{
    char name[ArchiveEntry::kNameSize];
    switch (index % 3) {
    case 0:
        std::snprintf(name, sizeof name, "PORTRAITS\\LARGE\\XTVARM%d.GFX", index);
        break;
    case 1:
        std::snprintf(name, sizeof name, "PORTRAITS\\SMALL\\XTVARM%d.GFX", index);
        break;
    default:
        std::snprintf(name, sizeof name, "INTERFACE\\ICONS\\ICON%05d.GFX", index);
        break;
    }
    return name;
}

// Written with SerializeArchive rather than CGameArchive's builder, which
// takes override files one by one and at most 255 of them.
bool WriteTestArchive(const std::string& path, std::string& error)
{
    std::vector<ArchiveMember> members(static_cast<size_t>(kEntryCount));
    for (int32_t i = 0; i < kEntryCount; ++i) {
        ArchiveMember& m = members[static_cast<size_t>(i)];
        m.name = EntryName(i);
        m.payload.assign(kDataPerEntry, static_cast<uint8_t>(i & 0xFF));
    }
    const std::vector<uint8_t> bytes = SerializeArchive(path, members);

    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot create " + path;
        return false;
    }
    const bool written = !bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

// Reads the whole file once so that every benchmark reads from the page cache
// and none pays for the first read from disk.
bool WarmPageCache(const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    std::vector<char> chunk(1 << 20);
    while (std::fread(chunk.data(), 1, chunk.size(), file) == chunk.size()) {
    }
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

// The archive (path 0), read once so that its pages are cached.
const CBenchFolder& TestArchive()
{
    static const CBenchFolder files("bench_archive", [](const std::string& folder, std::vector<std::string>& paths) {
        paths = {folder + "/DATA.QPK"};
        std::string error;
        if (!WriteTestArchive(paths[0], error))
            return error;
        if (!WarmPageCache(paths[0]))
            return "cannot read back " + paths[0];
        return std::string();
    });
    return files;
}

// The baseline: what any reader of this format must do, and nothing more. The
// buffer is left uninitialised, as Open's is, so that neither pays for zeroing
// 28 MB that the read overwrites anyway.
void BenchRawFread(benchmark::State& state)
{
    const CBenchFolder& archive = TestArchive();
    if (!archive.Ok()) {
        state.SkipWithError(archive.Error().c_str());
        return;
    }
    const char* path = archive.Path(0).c_str();
    for (auto _ : state) {
        FILE* file = std::fopen(path, "rb");
        if (!file) {
            state.SkipWithError("fopen failed");
            break;
        }
        uint8_t header[ArchiveHeader::kSize];
        int32_t count = 0;
        bool ok = std::fread(header, 1, sizeof header, file) == sizeof header &&
                  ParseArchiveHeader(header, count) == kArchiveParseOk;
        const size_t dirBytes = static_cast<size_t>(count) * ArchiveEntry::kSize;
        auto directory = std::make_unique_for_overwrite<uint8_t[]>(dirBytes);
        ok = ok && ::fseeko(file, -static_cast<off_t>(dirBytes), SEEK_END) == 0 &&
             std::fread(directory.get(), 1, dirBytes, file) == dirBytes;
        std::fclose(file);
        benchmark::DoNotOptimize(directory.get());
        benchmark::ClobberMemory();
        if (!ok) {
            state.SkipWithError("short read");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(ArchiveHeader::kSize + kDirectoryBytes));
}

// A new CGameArchive each time, so that freeing the previous directory is
// timed here as it is in the baseline.
void BenchArchiveOpen(benchmark::State& state)
{
    const CBenchFolder& archive = TestArchive();
    if (!archive.Ok()) {
        state.SkipWithError(archive.Error().c_str());
        return;
    }
    for (auto _ : state) {
        CGameArchive reader;
        const int32_t result = reader.Open(archive.Path(0));
        benchmark::DoNotOptimize(reader.GetEntryCount());
        if (result != CGameArchive::kOpenOk || reader.GetEntryCount() != kEntryCount) {
            state.SkipWithError("Open refused the archive");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(ArchiveHeader::kSize + kDirectoryBytes));
}

// Every entry name once, looking for the portraits folder as the catalogue
// scan does; the archive is opened before the timing starts.
void BenchEntryScan(benchmark::State& state)
{
    const CBenchFolder& archive = TestArchive();
    CGameArchive reader;
    if (!archive.Ok() || reader.Open(archive.Path(0)) != CGameArchive::kOpenOk) {
        state.SkipWithError(archive.Ok() ? "Open refused the archive" : archive.Error().c_str());
        return;
    }
    const int32_t count = reader.GetEntryCount();
    for (auto _ : state) {
        int32_t portraits = 0;
        for (int32_t i = 0; i < count; ++i)
            if (std::strstr(reader.GetEntryName(i), "PORTRAITS\\"))
                ++portraits;
        benchmark::DoNotOptimize(portraits);
    }
    state.SetItemsProcessed(state.iterations() * count);
}

} // namespace

BENCHMARK(BenchRawFread)->Name("raw_fread")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BenchArchiveOpen)->Name("archive_open")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BenchEntryScan)->Name("entry_scan")->Unit(benchmark::kMillisecond)->UseRealTime();

// Open may check and fix up what it read, but should cost little beyond the
// read itself.
TV_RATIO_TIME_AT_MOST("archive_open", "raw_fread", 1.20);
