// The seeds of the targets that read pictures and images: frames of
// run-length code, TGA files, GFX images, override files, PNG files and
// catalogue manifests, each made by the project's own writers or by libpng.
#include <cstring>

#include <png.h>

#include "CatalogueManifest.h"
#include "FrameCodec.h"
#include "FuzzEntryName.h"
#include "FuzzSeeds.h"
#include "GfxImage.h"
#include "OverrideFormat.h"
#include "PngFile.h"
#include "TgaFormat.h"

namespace {

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

Bytes Append(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A TGA file: the header's bytes, then `rest`.
Bytes Tga(const TgaHeader& header, const Bytes& rest)
{
    const auto bytes = SerializeTgaHeader(header);
    return Append(Bytes(bytes.begin(), bytes.end()), rest);
}

// The files SaveTga writes, as SerializeTgaFile makes them: from an index
// buffer 6 wide of which 5 columns are saved, and from a 32-bit bitmap.
std::pair<Bytes, Bytes> SavedTgaFiles()
{
    Bytes palette(256 * 4);
    for (size_t i = 0; i < palette.size(); ++i)
        palette[i] = static_cast<uint8_t>(i * 7);
    Bytes indices(6 * 3);
    for (size_t i = 0; i < indices.size(); ++i)
        indices[i] = static_cast<uint8_t>(i * 13);
    Bytes colours(3 * 2 * 4);
    for (size_t i = 0; i < colours.size(); ++i)
        colours[i] = static_cast<uint8_t>(255 - i * 9);
    std::pair<Bytes, Bytes> files;
    if (!SerializeTgaFile({indices.data(), 6, 5, 3, 8, palette.data()}, files.first) ||
        !SerializeTgaFile({colours.data(), 3 * 4, 3, 2, 32, nullptr}, files.second))
        Fail("SerializeTgaFile failed");
    return files;
}

// A GFX palette image of colourCount colours and frames of the given sizes,
// each frame's indices encoded by AddFrame.
GfxImage GfxPaletteImage(uint16_t colourCount, const std::vector<std::pair<int16_t, int16_t>>& sizes)
{
    Bytes rgb(3 * size_t{colourCount});
    for (size_t c = 0; c < colourCount; ++c) {
        rgb[3 * c] = static_cast<uint8_t>(c);
        rgb[3 * c + 1] = static_cast<uint8_t>(c * 3);
        rgb[3 * c + 2] = static_cast<uint8_t>(255 - c);
    }
    GfxImage gfx = GfxImage::PaletteImage(GfxHeader{}, rgb);
    for (size_t i = 0; i < sizes.size(); ++i) {
        const auto [width, height] = sizes[i];
        Bytes indices(static_cast<size_t>(width) * static_cast<size_t>(height));
        for (size_t p = 0; p < indices.size(); ++p)
            indices[p] = p % 3 == 0 ? 0 : static_cast<uint8_t>(p * 11 + i);
        if (!gfx.AddFrame(GfxFrameRecord{}, indices.data(), width, height))
            Fail("AddFrame refused a frame");
    }
    return gfx;
}

void AppendPngBytes(png_structp png, png_bytep data, size_t n)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

void FlushNothing(png_structp) {}

// A PNG file that libpng makes at settings the export never uses; without a
// jump buffer a libpng error aborts, as a failure here should. The rows are
// bytes of a counter, except that indexed rows count through the palette.
Bytes LibpngFile(uint32_t width, uint32_t height, int colourType, int bitDepth, bool interlaced,
                 int paletteEntries = 0)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, AppendPngBytes, FlushNothing);
    png_set_check_for_invalid_index(png, 0);
    png_set_IHDR(png, info, width, height, bitDepth, colourType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette(static_cast<size_t>(paletteEntries));
    for (size_t i = 0; i < palette.size(); ++i)
        palette[i] = {static_cast<uint8_t>(i * 40), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i)};
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), paletteEntries);
    png_set_filter(png, 0, PNG_ALL_FILTERS);
    png_write_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    Bytes pixels(rowBytes * height);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = paletteEntries > 0 && bitDepth == 8 ? static_cast<uint8_t>(i % size_t(paletteEntries))
                                                        : static_cast<uint8_t>(i * 37 + i / 7);
    std::vector<png_bytep> rows(height);
    for (size_t y = 0; y < rows.size(); ++y)
        rows[y] = pixels.data() + y * rowBytes;
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes WithByteFlipped(Bytes bytes, size_t offset)
{
    bytes[offset] ^= 0x41;
    return bytes;
}

} // namespace

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

Seeds LoadTgaSeeds(const Material&)
{
    constexpr uint8_t kTop = TgaHeader::kDescriptorTopLeft;
    constexpr uint8_t kMapped = TgaHeader::kTypeColourMapped;
    constexpr uint8_t kRaw = TgaHeader::kTypeTrueColour;
    constexpr uint8_t kRleMapped = TgaHeader::kTypeRunLengthColourMapped;
    constexpr uint8_t kRle = TgaHeader::kTypeRunLengthTrueColour;
    constexpr uint8_t kGrey = TgaHeader::kTypeGrey;
    const auto [indexed, colour] = SavedTgaFiles();
    // Indexed, bottom row first: the same file with the descriptor cleared.
    TgaHeader bottom = ParseTgaHeader(indexed);
    bottom.descriptor = 0;
    const Bytes indexedBottom = Tga(bottom, Bytes(indexed.begin() + TgaHeader::kSize, indexed.end()));
    // 24-bit run-length, 5 x 2: a run across the row end, a literal, a run.
    const Bytes rle24 = Tga({.imageType = kRle, .width = 5, .height = 2, .pixelDepth = 24},
                           {0x83, 10, 20, 30, 0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x82, 200, 100, 50});
    // 16-bit run-length, top row first, with a literal crossing a row.
    const Bytes rle16 = Tga({.imageType = kRle, .width = 3, .height = 2, .pixelDepth = 16, .descriptor = kTop},
                           {0x03, 0xFF, 0x7F, 0x1F, 0x00, 0xE0, 0x03, 0x00, 0x7C, 0x81, 0x34, 0x12});
    // 16-bit raw, bottom row first.
    const Bytes raw16 = Tga({.imageType = kRaw, .width = 2, .height = 2, .pixelDepth = 16},
                           {0xFF, 0x7F, 0x00, 0x80, 0x1F, 0x00, 0xE0, 0x03});
    // 24-bit raw with an ID field and a colour map of 4 entries to skip.
    Bytes raw24Rest{'I', 'D', '!'};
    raw24Rest = Append(Append(raw24Rest, Bytes(12, 0xEE)), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    const Bytes raw24 = Tga({.idLength = 3, .colourMapType = 1, .imageType = kRaw, .colourMapLength = 4,
                             .colourMapEntrySize = 24, .width = 2, .height = 2, .pixelDepth = 24, .descriptor = kTop},
                            raw24Rest);
    // Colour maps as other programs write them: three 24-bit entries from
    // index 4, uncompressed; three 32-bit entries, run-length, bottom first;
    // two 16-bit entries from index 1.
    const Bytes shortMap = Tga({.colourMapType = 1, .imageType = kMapped, .colourMapFirst = 4, .colourMapLength = 3,
                                .colourMapEntrySize = 24, .width = 2, .height = 2, .pixelDepth = 8, .descriptor = kTop},
                               {1, 2, 3, 4, 5, 6, 7, 8, 9, 4, 5, 6, 4});
    const Bytes rleMap = Tga({.colourMapType = 1, .imageType = kRleMapped, .colourMapLength = 3,
                              .colourMapEntrySize = 32, .width = 3, .height = 2, .pixelDepth = 8},
                             {1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 0, 0x82, 1, 0x00, 2, 0x81, 0, 0x00, 2});
    const Bytes map16 = Tga({.colourMapType = 1, .imageType = kMapped, .colourMapFirst = 1, .colourMapLength = 2,
                             .colourMapEntrySize = 16, .width = 2, .height = 1, .pixelDepth = 8, .descriptor = kTop},
                            {0x1F, 0x7C, 0xE0, 0x03, 1, 2});
    // 32-bit run-length whose last packet runs past the image's end.
    const Bytes overrun = Tga({.imageType = kRle, .width = 2, .height = 2, .pixelDepth = 32, .descriptor = kTop},
                              {0x00, 1, 2, 3, 4, 0xFF, 5, 6, 7, 8});
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
        {"indexed_truncated", Truncated(indexed, TgaHeader::kSize + 700)},
        {"header_only", Truncated(colour, TgaHeader::kSize)},
        {"short_header", Truncated(colour, 10)},
        {"grey", Tga({.imageType = kGrey, .width = 2, .height = 2, .pixelDepth = 8, .descriptor = kTop}, {})},
        {"indexed_depth_16", Tga({.colourMapType = 1, .imageType = kMapped, .colourMapLength = 256,
                                  .colourMapEntrySize = 24, .width = 2, .height = 1, .pixelDepth = 16,
                                  .descriptor = kTop},
                                 Bytes(772, 9))},
        {"too_wide", Tga({.imageType = kRaw, .width = 20000, .height = 1, .pixelDepth = 24, .descriptor = kTop},
                         Bytes(30, 1))},
    };
}

// Override files of the entry the target judges against: sound ones of both
// kinds, and each kind of damage.
Seeds JudgeOverrideSeeds(const Material&)
{
    const auto file = [](const Bytes& image) {
        Bytes bytes = SerializeOverrideHeader(kFuzzEntryName, static_cast<uint32_t>(image.size()));
        bytes.insert(bytes.end(), image.begin(), image.end());
        return bytes;
    };
    const Bytes palette = SerializeGfx(GfxPaletteImage(16, {{45, 10}, {3, 2}}));
    const Bytes trueColour = SerializeGfx(GfxImage::TrueColourImage(GfxHeader{}, 2, 1, {0xF800, 0x07E0}));
    Bytes otherEntry = SerializeOverrideHeader("PORTRAITS\\SMALL\\STVARM1.GFX", static_cast<uint32_t>(palette.size()));
    otherEntry.insert(otherEntry.end(), palette.begin(), palette.end());
    Bytes padded = file(palette);
    padded.resize(padded.size() + 100);
    return {
        {"palette", file(palette)},
        {"true_colour", file(trueColour)},
        {"other_entry", otherEntry},
        {"cut_in_frames", Truncated(file(palette), file(palette).size() - 3)},
        {"padded", padded},
        {"no_magic", WithU32(file(palette), 0, 0)},
    };
}

Seeds ReadImageSeeds(const Material&)
{
    GfxImage gfx = GfxPaletteImage(16, {{45, 10}, {3, 2}, {0, 3}});
    const Bytes palette = SerializeGfx(gfx);
    gfx.frameTable[0].SetOffset(0xFFFFFF00u);
    const Bytes farFrame = SerializeGfx(gfx);
    // Three frames claimed, one stored, and no data size.
    GfxImage trueColour =
        GfxImage::TrueColourImage(GfxHeader{}, 3, 2, {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0x0821});
    trueColour.header.SetFrameCount(3);
    trueColour.header.SetDataSize(0);
    const Bytes trueColourBytes = SerializeGfx(trueColour);
    trueColour.header.SetBitDepth(24);
    return {
        {"palette_3_frames", palette},
        {"palette_300_colours", SerializeGfx(GfxPaletteImage(300, {{5, 4}}))},
        {"palette_no_frames", SerializeGfx(GfxPaletteImage(4, {}))},
        {"palette_truncated", Truncated(palette, palette.size() - 20)},
        {"palette_far_frame", farFrame},
        {"true_colour", trueColourBytes},
        {"true_colour_truncated", Truncated(trueColourBytes, GfxHeader::kSize + 5)},
        {"depth_24", SerializeGfx(trueColour)},
        {"header_only", Truncated(palette, 40)},
    };
}

Seeds ReadPngSeeds(const Material& m)
{
    const Bytes interlaced = LibpngFile(13, 11, PNG_COLOR_TYPE_RGB, 8, true);
    // Indices at depth 1 over a one-entry palette: every set bit is outside it.
    return {
        {"export_indexed", m.indexedPng},
        {"export_rgb", m.rgbPng},
        {"grey_1", LibpngFile(9, 3, PNG_COLOR_TYPE_GRAY, 1, false)},
        {"grey_2", LibpngFile(9, 3, PNG_COLOR_TYPE_GRAY, 2, false)},
        {"grey_4_interlaced", LibpngFile(9, 9, PNG_COLOR_TYPE_GRAY, 4, true)},
        {"grey_16", LibpngFile(5, 4, PNG_COLOR_TYPE_GRAY, 16, false)},
        {"grey_alpha_8", LibpngFile(5, 4, PNG_COLOR_TYPE_GRAY_ALPHA, 8, false)},
        {"rgba_16", LibpngFile(6, 5, PNG_COLOR_TYPE_RGB_ALPHA, 16, false)},
        {"rgb_interlaced", interlaced},
        {"indexed_4_palette_16", LibpngFile(7, 3, PNG_COLOR_TYPE_PALETTE, 4, false, 16)},
        {"indexed_8_short_palette", LibpngFile(7, 3, PNG_COLOR_TYPE_PALETTE, 8, true, 5)},
        {"indexed_outside_palette", LibpngFile(16, 2, PNG_COLOR_TYPE_PALETTE, 1, false, 1)},
        {"truncated", Truncated(m.indexedPng, m.indexedPng.size() / 2)},
        {"signature_only", Truncated(m.rgbPng, 8)},
        {"corrupt_crc_end", WithByteFlipped(m.rgbPng, m.rgbPng.size() - 1)},
        {"corrupt_data", WithByteFlipped(interlaced, interlaced.size() / 2)},
    };
}

Seeds ReadManifestSeeds(const Material&)
{
    CatalogueManifest manifest;
    manifest.archiveSize = 1234;
    manifest.archiveSha256 = std::string(64, 'c');
    ManifestPortrait portrait{0, "TVARM1", 2, "Elf", true, "1", {}};
    portrait.files.push_back({kSizeLarge, 0, "TVARM1/TVARM1_LARGE.PNG", 21, 15, 8, std::string(64, 'd')});
    portrait.files.push_back({kSizeMedium, 3, "TVARM1/TVARM13_MEDIUM.PNG", 11, 7, 8, std::string(64, 'e')});
    manifest.portraits = {portrait, {1, "QEN\xE9", 0, "", false, "", {}}};
    const std::string text = SerializeCatalogueManifest(manifest);
    // The same catalogue named by the whole archive file's digest, as
    // version 1 names it.
    CatalogueManifest wholeFile = manifest;
    wholeFile.version = CatalogueManifest::kWholeFileVersion;
    const auto bytes = [](const std::string& s) { return Bytes(s.begin(), s.end()); };
    std::string otherDigest = text;
    otherDigest.replace(otherDigest.find(CatalogueManifest::kDigestOf), 6, "entire");
    return {
        {"manifest", bytes(text)},
        {"manifest_version1", bytes(SerializeCatalogueManifest(wholeFile))},
        {"digest_of_other", bytes(otherDigest)},
        {"empty_catalogue", bytes(SerializeCatalogueManifest(CatalogueManifest()))},
        {"truncated", bytes(text.substr(0, text.size() / 2))},
        {"other_version", bytes("{\"format\": \"thornvale-portraits\", \"version\": 3}")},
        {"no_digest_of", bytes("{\"format\": \"thornvale-portraits\", \"version\": 2, \"archive\": {\"size\": 1, "
                               "\"sha256\": \"" + std::string(64, '0') + "\"}, \"portraits\": []}")},
        {"nested", bytes(std::string(64, '[') + std::string(64, ']'))},
        {"escapes", bytes("{\"format\": \"thornvale-portraits\", \"version\": 1, \"archive\": {\"size\": 1, "
                          "\"sha256\": \"\\u0041\"}, \"portraits\": [{\"name\": \"\\ud83d\\ude00\", \"files\": []}]}")},
    };
}
