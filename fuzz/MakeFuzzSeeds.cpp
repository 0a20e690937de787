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

#include "ArchiveEntry.h"
#include "ArchiveHeader.h"
#include "GameArchive.h"
#include "OverrideHeader.h"
#include "FrameCodec.h"
#include "GfxFrameRecord.h"
#include "GfxHeader.h"
#include "FileSystem.h"
#include "LittleEndian.h"
#include "RasterSurface.h"
#include "TgaHeader.h"

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

// A frame seed as fuzz_decode_frame reads it: width as u16, height as u8,
// then the run-length data.
Bytes FrameSeed(uint16_t width, uint8_t height, const Bytes& code)
{
    const uint8_t head[3] = {static_cast<uint8_t>(width & 0xFF), static_cast<uint8_t>(width >> 8), height};
    Bytes seed = code;
    seed.insert(seed.begin(), head, head + 3);
    return seed;
}

// Run-length data made by the encoder itself, from indices that a small
// linear congruential generator makes with about `zeroPercent` zeros.
Bytes EncodedFrame(uint16_t width, uint8_t height, unsigned zeroPercent, uint32_t seed)
{
    Bytes indices(static_cast<size_t>(width) * height);
    for (uint8_t& p : indices) {
        seed = seed * 1664525u + 1013904223u;
        p = (seed >> 8) % 100 < zeroPercent ? 0 : static_cast<uint8_t>(1 + (seed >> 16) % 255);
    }
    Bytes code(MaxEncodedSize(width, height));
    const int32_t n = EncodeFrame(indices.data(), width, height, code.data(), code.size());
    if (n < 0)
        Fail("EncodeFrame refused a buffer of MaxEncodedSize");
    code.resize(static_cast<size_t>(n));
    return FrameSeed(width, height, code);
}

Seeds DecodeFrameSeeds(const Material&)
{
    Bytes sevens{0x7F};
    sevens.insert(sevens.end(), 127, 0x07);
    sevens.insert(sevens.end(), {0x03, 0x07, 0x07, 0x07, 0x00});
    Bytes alternating(300 * 2);
    for (size_t i = 0; i < alternating.size(); ++i)
        alternating[i] = i % 2 == 0 ? static_cast<uint8_t>(1 + i % 255) : 0;
    Bytes worstCode(MaxEncodedSize(300, 2));
    if (EncodeFrame(alternating.data(), 300, 2, worstCode.data(), worstCode.size()) !=
        static_cast<int32_t>(worstCode.size()))
        Fail("alternating pixels do not take the worst case");
    const Bytes mixed = EncodedFrame(45, 10, 40, 1);
    return {
        {"row_6", FrameSeed(6, 1, {0x82, 0x03, 0x05, 0x05, 0x05, 0x81, 0x00})},
        {"zeros_200", FrameSeed(200, 1, {0xFF, 0xC9, 0x00})},
        {"sevens_130", FrameSeed(130, 1, sevens)},
        {"zeros_3x2", FrameSeed(3, 2, {0x83, 0x00, 0x83, 0x00})},
        {"width_0", FrameSeed(0, 3, {0x00, 0x00, 0x00})},
        {"zero_length_run", FrameSeed(2, 1, {0x80, 0x02, 0x00, 0x09, 0x00})},
        {"fits_exactly", FrameSeed(4, 1, {0x84, 0x00})},
        {"overrun", FrameSeed(4, 1, {0x85, 0x00})},
        {"overlong_rows", FrameSeed(2, 3, {0x06, 1, 2, 3, 4, 5, 6, 0x00, 0x02, 7, 8, 0x00, 0x81, 0x00})},
        {"mixed_45x10", mixed},
        {"mixed_truncated", Truncated(mixed, mixed.size() / 2)},
        {"no_zeros_300x64", EncodedFrame(300, 64, 0, 2)},
        {"mostly_zeros_300x64", EncodedFrame(300, 64, 95, 3)},
        {"worst_case_300x2", FrameSeed(300, 2, worstCode)},
        {"odd_widths", EncodedFrame(7, 9, 30, 4)},
    };
}

// A TGA header with the given fields, the rest 0, stored field by field.
Bytes TgaHeaderBytes(uint8_t imageType, uint8_t depth, uint16_t width, uint16_t height, bool topRowFirst,
                     uint8_t idLength = 0, uint8_t colourMapType = 0, uint16_t colourMapLength = 0,
                     uint8_t colourMapEntrySize = 0)
{
    TgaHeader header;
    header.idLength = idLength;
    header.colourMapType = colourMapType;
    header.imageType = imageType;
    header.colourMapLength = colourMapLength;
    header.colourMapEntrySize = colourMapEntrySize;
    header.width = width;
    header.height = height;
    header.pixelDepth = depth;
    header.descriptor = topRowFirst ? TgaHeader::kDescriptorTopLeft : 0;
    Bytes bytes(TgaHeader::kSize);
    header.Store(bytes.data());
    return bytes;
}

Bytes Append(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The files SaveTga writes, from an index buffer and from a 32-bit bitmap.
std::pair<Bytes, Bytes> SavedTgaFiles()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/make_fuzz_seeds_tga_XXXXXX";
    if (!::mkdtemp(folder.data()))
        Fail("cannot make a scratch folder");
    Bytes palette(256 * 4);
    for (size_t i = 0; i < palette.size(); ++i)
        palette[i] = static_cast<uint8_t>(i * 7);
    CRasterSurface index;
    if (index.CreateBuffer(6, 3) != 1)
        Fail("CreateBuffer failed");
    for (int32_t i = 0; i < 18; ++i)
        index.m_pBits[i] = static_cast<uint8_t>(i * 13);
    CRasterSurface colour;
    if (colour.CreateDib(3, 2, 32, nullptr) != 1)
        Fail("CreateDib failed");
    for (int32_t i = 0; i < 24; ++i)
        colour.m_pBits[i] = static_cast<uint8_t>(255 - i * 9);
    const std::string indexPath = folder + "/INDEX.TGA";
    const std::string colourPath = folder + "/COLOUR.TGA";
    if (index.SaveTga(indexPath, palette.data(), 5) != 1 || colour.SaveTga(colourPath, nullptr, -1) != 1)
        Fail("SaveTga failed");
    std::pair<Bytes, Bytes> files{ReadAll(indexPath), ReadAll(colourPath)};
    std::error_code ec;
    fs::remove_all(folder, ec);
    return files;
}

Seeds LoadTgaSeeds(const Material&)
{
    const auto [indexed, colour] = SavedTgaFiles();
    // Indexed, bottom row first: the same file with the descriptor cleared.
    Bytes indexedBottom = indexed;
    indexedBottom[TgaHeader::kDescriptorOffset] = 0;
    // 24-bit run-length, 5 x 2: a run across the row end, a literal, a run.
    const Bytes rle24 = Append(TgaHeaderBytes(10, 24, 5, 2, false),
                               {0x83, 10, 20, 30, 0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x82, 200, 100, 50});
    // 16-bit run-length, top row first, with a literal crossing a row.
    const Bytes rle16 = Append(TgaHeaderBytes(10, 16, 3, 2, true), {0x03, 0xFF, 0x7F, 0x1F, 0x00, 0xE0, 0x03,
                                                                    0x00, 0x7C, 0x81, 0x34, 0x12});
    // 16-bit raw, bottom row first.
    const Bytes raw16 = Append(TgaHeaderBytes(2, 16, 2, 2, false), {0xFF, 0x7F, 0x00, 0x80, 0x1F, 0x00, 0xE0, 0x03});
    // 24-bit raw with an ID field and a colour map of 4 entries to skip.
    Bytes raw24 = TgaHeaderBytes(2, 24, 2, 2, true, 3, 1, 4, 24);
    raw24 = Append(raw24, {'I', 'D', '!'});
    raw24 = Append(raw24, Bytes(12, 0xEE));
    raw24 = Append(raw24, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    // Colour maps as other programs write them: three 24-bit entries from
    // index 4, uncompressed; three 32-bit entries, run-length, bottom first;
    // two 16-bit entries from index 1.
    Bytes shortMap = TgaHeaderBytes(1, 8, 2, 2, true, 0, 1, 3, 24);
    shortMap[TgaHeader::kColourMapFirstOffset] = 4;
    shortMap = Append(shortMap, {1, 2, 3, 4, 5, 6, 7, 8, 9, 4, 5, 6, 4});
    const Bytes rleMap = Append(TgaHeaderBytes(9, 8, 3, 2, false, 0, 1, 3, 32),
                                {1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 0, 0x82, 1, 0x00, 2, 0x81, 0, 0x00, 2});
    Bytes map16 = TgaHeaderBytes(1, 8, 2, 1, true, 0, 1, 2, 16);
    map16[TgaHeader::kColourMapFirstOffset] = 1;
    map16 = Append(map16, {0x1F, 0x7C, 0xE0, 0x03, 1, 2});
    // 32-bit run-length whose last packet runs past the image's end.
    const Bytes overrun = Append(TgaHeaderBytes(10, 32, 2, 2, true), {0x00, 1, 2, 3, 4, 0xFF, 5, 6, 7, 8});
    return {
        {"saved_indexed", indexed},
        {"saved_indexed_bottom", indexedBottom},
        {"saved_32", colour},
        {"rle_24", rle24},
        {"rle_16", rle16},
        {"raw_16", raw16},
        {"raw_24_id_map", raw24},
        {"rle_overrun", overrun},
        {"indexed_short_map", shortMap},
        {"indexed_rle_32_map", rleMap},
        {"indexed_16_map", map16},
        {"rle_truncated", Truncated(rle24, rle24.size() - 5)},
        {"indexed_truncated", Truncated(indexed, 18 + 700)},
        {"header_only", Truncated(colour, TgaHeader::kSize)},
        {"short_header", Truncated(colour, 10)},
        {"grey", TgaHeaderBytes(3, 8, 2, 2, true)},
        {"indexed_depth_16", Append(TgaHeaderBytes(1, 16, 2, 1, true, 0, 1, 256, 24), Bytes(772, 9))},
        {"too_wide", Append(TgaHeaderBytes(2, 24, 20000, 1, true), Bytes(30, 1))},
    };
}

// A GFX palette image: header, RGB palette, frame table and the frames'
// run-length data made by EncodeFrame, packed in frame order.
Bytes GfxPaletteImage(uint16_t colourCount, const std::vector<std::pair<int16_t, int16_t>>& sizes)
{
    Bytes out(GfxHeader::kSize, 0);
    StoreU16LE(&out[GfxHeader::kColourCountOffset], colourCount);
    out[GfxHeader::kFrameCountOffset] = static_cast<uint8_t>(sizes.size());
    out[GfxHeader::kBitDepthOffset] = 8;
    for (uint16_t c = 0; c < colourCount; ++c)
        out.insert(out.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c * 3), static_cast<uint8_t>(255 - c)});
    const size_t table = out.size();
    out.resize(table + GfxFrameRecord::kSize * sizes.size(), 0);
    Bytes data;
    for (size_t i = 0; i < sizes.size(); ++i) {
        const auto [width, height] = sizes[i];
        Bytes indices(static_cast<size_t>(width) * static_cast<size_t>(height));
        for (size_t p = 0; p < indices.size(); ++p)
            indices[p] = p % 3 == 0 ? 0 : static_cast<uint8_t>(p * 11 + i);
        Bytes code(MaxEncodedSize(width, height) + 1);
        const int32_t n = EncodeFrame(indices.data(), width, height, code.data(), code.size());
        uint8_t* record = &out[table + GfxFrameRecord::kSize * i];
        StoreU32LE(record + GfxFrameRecord::kOffsetOffset, static_cast<uint32_t>(data.size()));
        StoreU32LE(record + GfxFrameRecord::kLengthOffset, static_cast<uint32_t>(n));
        StoreU16LE(record + GfxFrameRecord::kHeightOffset, static_cast<uint16_t>(height));
        StoreU16LE(record + GfxFrameRecord::kWidthOffset, static_cast<uint16_t>(width));
        data.insert(data.end(), code.begin(), code.begin() + n);
    }
    StoreU32LE(&out[GfxHeader::kDataSizeOffset], static_cast<uint32_t>(data.size()));
    return Append(out, data);
}

Seeds ReadImageSeeds(const Material&)
{
    const Bytes palette = GfxPaletteImage(16, {{45, 10}, {3, 2}, {0, 3}});
    Bytes trueColour(GfxHeader::kSize, 0);
    StoreU16LE(&trueColour[GfxHeader::kHeightOffset], 2);
    StoreU16LE(&trueColour[GfxHeader::kWidthOffset], 3);
    trueColour[GfxHeader::kFrameCountOffset] = 3;
    trueColour[GfxHeader::kBitDepthOffset] = 16;
    trueColour = Append(trueColour, {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x21, 0x08});
    Bytes depth24 = trueColour;
    depth24[GfxHeader::kBitDepthOffset] = 24;
    Bytes farFrame = palette;
    StoreU32LE(&farFrame[GfxHeader::kSize + 48 + GfxFrameRecord::kOffsetOffset], 0xFFFFFF00u);
    return {
        {"palette_3_frames", palette},
        {"palette_300_colours", GfxPaletteImage(300, {{5, 4}})},
        {"palette_no_frames", GfxPaletteImage(4, {})},
        {"palette_truncated", Truncated(palette, palette.size() - 20)},
        {"palette_far_frame", farFrame},
        {"true_colour", trueColour},
        {"true_colour_truncated", Truncated(trueColour, GfxHeader::kSize + 5)},
        {"depth_24", depth24},
        {"header_only", Truncated(palette, 40)},
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
        {"decode_frame", DecodeFrameSeeds},
        {"load_tga", LoadTgaSeeds},
        {"read_image", ReadImageSeeds},
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
