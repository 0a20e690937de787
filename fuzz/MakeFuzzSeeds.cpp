// Writes the seed corpus of the fuzz targets with the project's own writers:
// `make_fuzz_seeds OUTDIR` fills OUTDIR/<target>/ with a few small valid files
// and malformed variants of them, so that no binary seed is kept in the source tree.
//
// The chain starts from a small source archive laid out with ArchiveHeader and
// ArchiveEntry; its entries are exported with WriteOverrideHeader, and those
// override files are packed into patches with BeginBuild, AddFile and WriteArchive.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "archive/ArchiveEntry.h"
#include "archive/ArchiveHeader.h"
#include "archive/GameArchive.h"
#include "archive/OverrideHeader.h"
#include "platform/FileSystem.h"
#include "platform/LittleEndian.h"

#ifndef TV_FUZZ_TARGET_NAMES
#error "TV_FUZZ_TARGET_NAMES must list the fuzz targets, separated by commas"
#endif

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;
using Seeds = std::vector<std::pair<std::string, Bytes>>;

[[noreturn]] void Fail(const std::string& what)
{
    std::fprintf(stderr, "make_fuzz_seeds: %s\n", what.c_str());
    std::exit(1);
}

Bytes ReadAll(const std::string& path)
{
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file)
        Fail("cannot read " + path);
    Bytes bytes;
    uint8_t buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, file.get())) > 0)
        bytes.insert(bytes.end(), buf, buf + n);
    return bytes;
}

void WriteAll(const std::string& path, const Bytes& bytes)
{
    FileHandle file(std::fopen(path.c_str(), "wb"));
    if (!file || (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) ||
        std::fclose(file.release()) != 0)
        Fail("cannot write " + path);
}

Bytes Truncated(Bytes bytes, size_t size)
{
    bytes.resize(size);
    return bytes;
}

Bytes WithU32(Bytes bytes, size_t offset, uint32_t value)
{
    if (offset + 4 > bytes.size())
        Fail("a field to alter lies past the end of its seed");
    StoreU32LE(&bytes[offset], value);
    return bytes;
}

// The source archive that the override files are exported from. Its last
// entry has the longest name that an entry can hold.
struct SourceEntry {
    std::string name;
    Bytes payload;
};

std::vector<SourceEntry> SourceEntries()
{
    return {
        {"PORTRAITS\\HUMAN\\M01.GFX", {'G', 'F', 'X', 0, 1, 2, 3, 4}},
        {"PORTRAITS\\ELF\\F02.GFX", {'G', 'F', 'X', 0, 0xFF, 0x80, 0x7F}},
        {"PORTRAITS\\" + std::string(255 - 14, 'N') + ".GFX", {'G', 'F', 'X', 0}},
    };
}

Bytes SourceArchive(const std::vector<SourceEntry>& entries)
{
    ArchiveHeader header;
    StoreU32LE(&header.bytes[ArchiveHeader::kCountOffset], static_cast<uint32_t>(entries.size()));
    StoreU32LE(&header.bytes[ArchiveHeader::kCountCheckOffset], static_cast<uint32_t>(entries.size()));
    StoreU32LE(&header.bytes[ArchiveHeader::kMarkerOffset], ArchiveHeader::kMarker);
    StoreU32LE(&header.bytes[ArchiveHeader::kVersionOffset], static_cast<uint32_t>(ArchiveHeader::kVersion));
    Bytes bytes(header.bytes.begin(), header.bytes.end());
    std::vector<ArchiveEntry> records;
    for (const SourceEntry& e : entries) {
        ArchiveEntry record;
        std::memcpy(&record.bytes[ArchiveEntry::kNameOffset], e.name.data(), e.name.size());
        record.SetDataOffset(static_cast<uint32_t>(bytes.size()));
        record.SetDataSize(static_cast<uint32_t>(e.payload.size()));
        records.push_back(record);
        bytes.insert(bytes.end(), e.payload.begin(), e.payload.end());
    }
    for (const ArchiveEntry& record : records)
        bytes.insert(bytes.end(), record.bytes.begin(), record.bytes.end());
    return bytes;
}

// Everything the seeds are cut from, made in the current folder.
struct Material {
    std::vector<Bytes> overrides; // one exported override file per source entry
    Bytes nameless;               // a header exported for no entry: name length 0
    std::vector<Bytes> patches;   // patches of 0, 1 and 2 entries
};

Material MakeMaterial()
{
    const std::vector<SourceEntry> entries = SourceEntries();
    WriteAll("SOURCE.QPK", SourceArchive(entries));
    CGameArchive source;
    if (source.Open("SOURCE.QPK") != CGameArchive::kOpenOk ||
        source.GetEntryCount() != static_cast<int32_t>(entries.size()))
        Fail("the source archive does not open");

    Material m;
    auto exportEntry = [&](int32_t index, const std::string& path) {
        FileHandle file(std::fopen(path.c_str(), "wb"));
        if (!file || source.WriteOverrideHeader(file.get(), index) < 0)
            Fail("cannot export to " + path);
        // The provisional payload size is the entry's size, which the payload matches.
        if (index >= 0) {
            const Bytes& payload = entries[static_cast<size_t>(index)].payload;
            std::fwrite(payload.data(), 1, payload.size(), file.get());
        }
        if (std::fclose(file.release()) != 0)
            Fail("cannot write " + path);
        return ReadAll(path);
    };
    for (size_t i = 0; i < entries.size(); ++i)
        m.overrides.push_back(exportEntry(static_cast<int32_t>(i), "ENTRY" + std::to_string(i) + ".GFX"));
    m.nameless = exportEntry(-1, "NAMELESS.GFX");

    for (size_t count = 0; count <= 2; ++count) {
        CGameArchive builder;
        builder.BeginBuild("PATCH.010");
        for (size_t i = 0; i < count; ++i)
            if (builder.AddFile("ENTRY" + std::to_string(i) + ".GFX") != CGameArchive::kAddOk)
                Fail("AddFile refused an exported override file");
        if (builder.WriteArchive() != CGameArchive::kWriteOk)
            Fail("WriteArchive failed");
        m.patches.push_back(ReadAll("PATCH.010"));
    }
    return m;
}

Seeds ArchiveOpenSeeds(const Material& m)
{
    const Bytes& one = m.patches[1];
    const Bytes& two = m.patches[2];
    // The name field of the only record of `one`, filled to its end without a zero.
    Bytes unterminated = one;
    std::memset(&unterminated[one.size() - ArchiveEntry::kSize], 'A', ArchiveEntry::kNameSize);
    return {
        {"entries_0", m.patches[0]},
        {"entries_1", one},
        {"entries_2", two},
        {"empty", {}},
        {"short_header", Truncated(one, 100)},
        {"count_mismatch", WithU32(two, ArchiveHeader::kCountCheckOffset, 3)},
        {"huge_count", WithU32(WithU32(one, ArchiveHeader::kCountOffset, 0x7FFFFFFF),
                               ArchiveHeader::kCountCheckOffset, 0x7FFFFFFF)},
        {"negative_count", WithU32(WithU32(one, ArchiveHeader::kCountOffset, 0xFFFFFFFF),
                                   ArchiveHeader::kCountCheckOffset, 0xFFFFFFFF)},
        // Two records need 560 bytes; the file has only its 532-byte header.
        {"short_directory", WithU32(WithU32(m.patches[0], ArchiveHeader::kCountOffset, 2),
                                    ArchiveHeader::kCountCheckOffset, 2)},
        // One record fits in the header itself, so the directory overlaps it.
        {"directory_in_header", WithU32(WithU32(m.patches[0], ArchiveHeader::kCountOffset, 1),
                                        ArchiveHeader::kCountCheckOffset, 1)},
        {"unterminated_name", unterminated},
    };
}

Seeds OverrideHeaderSeeds(const Material& m)
{
    const Bytes& first = m.overrides[0];
    const size_t sizeOffset = OverrideHeader::kNameOffset + LoadU32LE(&first[OverrideHeader::kNameLengthOffset]);
    return {
        {"entry_0", first},
        {"entry_1", m.overrides[1]},
        {"name_255", m.overrides[2]},
        {"nameless", m.nameless},
        {"short", Truncated(first, 10)},
        {"huge_name_length", WithU32(first, OverrideHeader::kNameLengthOffset, 0xFFFFFFF0)},
        // Cut inside the payload size field, after the whole name.
        {"short_size", Truncated(first, sizeOffset + 2)},
    };
}

Seeds PatchAddFileSeeds(const Material& m)
{
    const Bytes& first = m.overrides[0];
    const uint32_t nameLength = LoadU32LE(&first[OverrideHeader::kNameLengthOffset]);
    const size_t sizeOffset = OverrideHeader::kNameOffset + nameLength;
    // The first override file with 300 name bytes: its name padded with 'X'.
    Bytes longName(first.begin(), first.begin() + static_cast<ptrdiff_t>(sizeOffset));
    longName.insert(longName.end(), 300 - nameLength, 'X');
    longName.insert(longName.end(), first.begin() + static_cast<ptrdiff_t>(sizeOffset), first.end());
    // Zero bytes inside a name, which an entry name cannot hold: one cuts the
    // name short, the other leaves it empty.
    Bytes zeroInside = first;
    zeroInside[OverrideHeader::kNameOffset + 9] = 0;
    Bytes zeroFirst = first;
    zeroFirst[OverrideHeader::kNameOffset] = 0;
    return {
        {"entry_0", first},
        {"entry_1", m.overrides[1]},
        {"name_255", m.overrides[2]},
        {"nameless", m.nameless},
        {"name_with_zero_inside", zeroInside},
        {"name_with_zero_first", zeroFirst},
        {"short_header", Truncated(first, 12)},
        {"name_length_300", WithU32(longName, OverrideHeader::kNameLengthOffset, 300)},
        {"payload_past_end", WithU32(first, sizeOffset, LoadU32LE(&first[sizeOffset]) + 100)},
    };
}

std::vector<std::string> TargetNames()
{
    std::vector<std::string> names;
    std::string list = TV_FUZZ_TARGET_NAMES;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string::npos)
            end = list.size();
        if (end > start)
            names.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds OUTDIR\n");
        return 2;
    }
    std::error_code ec;
    const fs::path out = fs::absolute(argv[1], ec);
    if (ec)
        Fail("bad output folder");

    const std::map<std::string, std::function<Seeds(const Material&)>> generators = {
        {"archive_open", ArchiveOpenSeeds},
        {"override_header", OverrideHeaderSeeds},
        {"patch_add_file", PatchAddFileSeeds},
    };

    // The builder records the path it writes to in the patch header; working in
    // a scratch folder under a fixed relative name keeps the seeds identical
    // from run to run.
    const char* tmp = std::getenv("TMPDIR");
    std::string scratchTemplate = std::string(tmp && *tmp ? tmp : "/tmp") + "/make_fuzz_seeds_XXXXXX";
    if (!::mkdtemp(scratchTemplate.data()))
        Fail("cannot make a scratch folder");
    const fs::path scratch = scratchTemplate;
    const fs::path home = fs::current_path();
    fs::current_path(scratch);
    const Material material = MakeMaterial();
    fs::current_path(home);
    fs::remove_all(scratch, ec);

    size_t written = 0;
    for (const std::string& name : TargetNames()) {
        const auto generator = generators.find(name);
        if (generator == generators.end())
            Fail("no seeds for the fuzz target " + name);
        const fs::path dir = out / name;
        fs::create_directories(dir, ec);
        if (ec)
            Fail("cannot make " + dir.string());
        for (const auto& [file, bytes] : generator->second(material)) {
            WriteAll((dir / file).string(), bytes);
            ++written;
        }
    }
    std::printf("make_fuzz_seeds: %zu seeds written to %s\n", written, out.c_str());
    return 0;
}
