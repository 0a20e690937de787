// Writes the seed corpus of the fuzz targets with the project's own writers:
// `make_fuzz_seeds OUTDIR` fills OUTDIR/<target>/ with a few small valid files
// and malformed variants of them, so that no binary seed is kept in the source tree.
//
// The chain starts from a small source archive written by SerializeArchive; its
// entries are exported with WriteOverrideHeader, and those override files are
// packed into patches with BeginBuild, AddFile and WriteArchive. Images and TGA
// files come from the format layer (GfxImage, TgaFormat), PNG files from the
// exchange library's writers and from libpng at other settings; malformed seeds
// are well-formed ones cut short or with a field changed at its named offset.
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

#include "FuzzSeeds.h"
#include "ArchiveFormat.h"
#include "ArchiveMember.h"
#include "GameArchive.h"
#include "OverrideFormat.h"
#include "FileSystem.h"
#include "LittleEndian.h"
#include "PngFile.h"

#include <png.h>

#ifndef TV_FUZZ_TARGET_NAMES
#error "TV_FUZZ_TARGET_NAMES must list the fuzz targets, separated by commas"
#endif

namespace fs = std::filesystem;

namespace {

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

// An archive whose header claims `count` entries in both of its count fields.
Bytes WithCount(const Bytes& archive, uint32_t count)
{
    return WithU32(WithU32(archive, ArchiveHeader::kCountOffset, count), ArchiveHeader::kCountCheckOffset, count);
}

// The entries of the source archive that the override files are exported
// from. The last has the longest name that an entry can hold.
std::vector<ArchiveMember> SourceEntries()
{
    return {
        {"PORTRAITS\\HUMAN\\M01.GFX", {'G', 'F', 'X', 0, 1, 2, 3, 4}},
        {"PORTRAITS\\ELF\\F02.GFX", {'G', 'F', 'X', 0, 0xFF, 0x80, 0x7F}},
        {"PORTRAITS\\" + std::string(255 - 14, 'N') + ".GFX", {'G', 'F', 'X', 0}},
    };
}

// The files WriteIndexedPng and WriteRgbPng make of a 7 x 5 picture.
void MakePngMaterial(Material& m)
{
    constexpr int32_t kWidth = 7, kHeight = 5;
    Bytes palette(256 * 3), pixels(kWidth * kHeight * 3);
    for (size_t i = 0; i < palette.size(); ++i)
        palette[i] = static_cast<uint8_t>(i * 5);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<uint8_t>(i * 29);
    if (!WriteIndexedPng("INDEXED.PNG", kWidth, kHeight, pixels.data(), kWidth, palette.data()) ||
        !WriteRgbPng("RGB.PNG", kWidth, kHeight, pixels.data(), kWidth * 3))
        Fail("the PNG writers failed");
    m.indexedPng = ReadAll("INDEXED.PNG");
    m.rgbPng = ReadAll("RGB.PNG");
}

Material MakeMaterial()
{
    const std::vector<ArchiveMember> entries = SourceEntries();
    WriteAll("SOURCE.QPK", SerializeArchive("", entries));
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
    MakePngMaterial(m);
    return m;
}

Seeds ArchiveOpenSeeds(const Material& m)
{
    const Bytes& one = m.patches[1];
    const Bytes& two = m.patches[2];
    // The name field of the only record of `one`, filled to its end without a zero.
    uint64_t directory = 0, length = 0;
    if (!FindArchiveDirectory(1, one.size(), directory, length))
        Fail("the patch of one entry has no directory");
    Bytes unterminated = one;
    std::memset(&unterminated[directory + ArchiveEntry::kNameOffset], 'A', ArchiveEntry::kNameSize);
    return {
        {"entries_0", m.patches[0]},
        {"entries_1", one},
        {"entries_2", two},
        {"empty", {}},
        {"short_header", Truncated(one, 100)},
        {"count_mismatch", WithU32(two, ArchiveHeader::kCountCheckOffset, 3)},
        {"huge_count", WithCount(one, 0x7FFFFFFF)},
        {"negative_count", WithCount(one, 0xFFFFFFFF)},
        // Two records need 560 bytes; the file has only its 532-byte header.
        {"short_directory", WithCount(m.patches[0], 2)},
        // One record fits in the header itself, so the directory overlaps it.
        {"directory_in_header", WithCount(m.patches[0], 1)},
        {"unterminated_name", unterminated},
    };
}

Seeds OverrideHeaderSeeds(const Material& m)
{
    const Bytes& first = m.overrides[0];
    const size_t sizeOffset = OverrideHeader::PayloadSizeOffset(ParseOverrideHeader(first).nameLength);
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
    const OverrideHeader header = ParseOverrideHeader(first);
    const size_t sizeOffset = OverrideHeader::PayloadSizeOffset(header.nameLength);
    // The first override file with 300 name bytes: its name padded with 'X'.
    std::string name(header.entryName);
    name.resize(300, 'X');
    Bytes longName = SerializeOverrideHeader(name, header.payloadSize);
    longName.insert(longName.end(), first.begin() + static_cast<ptrdiff_t>(header.headerSize), first.end());
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
        {"name_length_300", longName},
        {"payload_past_end", WithU32(first, sizeOffset, header.payloadSize + 100)},
    };
}

// Steam's library list as Steam writes it, in the older form and by hand.
Seeds SteamLibrariesSeeds(const Material&)
{
    const std::string written = "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"/home/ann/.local/share/Steam\"\n"
                                "\t\t\"label\"\t\t\"\"\n\t\t\"contentid\"\t\t\"4211\"\n\t\t\"apps\"\n\t\t{\n"
                                "\t\t\t\"2401\"\t\t\"5120\"\n\t\t}\n\t}\n\t\"1\"\n\t{\n"
                                "\t\t\"path\"\t\t\"/mnt/games/Steam \\\"Library\\\"\"\n\t}\n}\n";
    const auto bytes = [](const std::string& s) { return Bytes(s.begin(), s.end()); };
    return {
        {"libraryfolders", bytes(written)},
        {"older_form", bytes("\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\t\"1\"\n"
                             "\t\"1\"\t\t\"/mnt/games/SteamLibrary\"\n}\n")},
        {"by_hand", bytes("// a comment\nlf { 0 { path /opt/steam [$LINUX] } 1 { \"path\" \"games\" } }")},
        {"truncated", bytes(written.substr(0, written.size() / 2))},
        {"nested", bytes(std::string(40, '{') + std::string(40, '}'))},
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
        {"judge_override", JudgeOverrideSeeds},
        {"patch_add_file", PatchAddFileSeeds},
        {"decode_frame", DecodeFrameSeeds},
        {"load_tga", LoadTgaSeeds},
        {"read_image", ReadImageSeeds},
        {"read_png", ReadPngSeeds},
        {"read_manifest", ReadManifestSeeds},
        {"read_jpeg", ReadJpegSeeds},
        {"read_webp", ReadWebpSeeds},
        {"read_bmp", ReadBmpSeeds},
        // The TGA files LoadTga is fed, through the picture reader instead.
        {"read_tga_picture", LoadTgaSeeds},
        {"read_png_picture", ReadPngPictureSeeds},
        {"read_steam_libraries", SteamLibrariesSeeds},
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
