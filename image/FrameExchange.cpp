#include "FrameExchange.h"

#include <algorithm>

#include <cstring>
#include <new>

#include "ColourDistance.h"
#include "ColourMatch.h"
#include "GfxImage.h"
#include "PngFile.h"
#include "TgaFile.h"
#include "TgaFormat.h"

namespace {

using Kind = ReplaceFailure::Kind;

Kind FromTgaFailure(TgaFailure why, bool paletteImage)
{
    switch (why) {
    case TgaFailure::kNone: break;
    case TgaFailure::kCannotOpen: return Kind::kCannotOpen;
    case TgaFailure::kNotTga: return Kind::kNotTga;
    case TgaFailure::kCutShort: return Kind::kCutShort;
    case TgaFailure::kIndexOutsideMap: return Kind::kIndexOutsideMap;
    case TgaFailure::kTooLarge: return Kind::kTooLarge;
    case TgaFailure::kUnsupported: return paletteImage ? Kind::kNeedsColourMapped : Kind::kUnsupported;
    }
    return Kind::kNone;
}

// A 32-bit surface's pixels as red, green, blue each, rows top first, for
// a palette image to remap as it remaps an RGB PNG file's.
bool TakeColours(const CRasterSurface& surface, std::vector<uint8_t>& colours)
{
    const size_t pixels = static_cast<size_t>(surface.m_width) * static_cast<size_t>(surface.m_height);
    colours.clear();
    if (!surface.m_pBits)
        return false;
    try {
        colours.resize(pixels * 3);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (size_t p = 0; p < pixels; ++p)
        for (size_t c = 0; c < 3; ++c)
            colours[p * 3 + c] = surface.m_pBits[p * 4 + 2 - c];
    return true;
}

// An index buffer with its palette as 32-bit pixels (blue, green, red, 0),
// for a true-colour image.
std::unique_ptr<CRasterSurface> IndicesAsColours(const CRasterSurface& indexed)
{
    auto surface = std::make_unique<CRasterSurface>();
    if (!indexed.m_pBits || !indexed.m_pPalette ||
        surface->CreateDib(indexed.m_width, indexed.m_height, 32, nullptr) != 1)
        return nullptr;
    const size_t pixels = static_cast<size_t>(indexed.m_width) * static_cast<size_t>(indexed.m_height);
    const uint8_t* palette = indexed.m_pPalette.get();
    for (size_t p = 0; p < pixels; ++p) {
        std::memcpy(surface->m_pBits + p * 4, palette + indexed.m_pBits[p] * 4, 3);
        surface->m_pBits[p * 4 + 3] = 0;
    }
    return surface;
}

// Reads a TGA file for a frame: a colour-mapped file into an index buffer
// with its palette, any other into 32-bit pixels. What the frame needs is
// made of what the file holds, as for a PNG file: a palette image remaps a
// file without a colour map from `colours`, and a true-colour image takes a
// colour-mapped file's colours. The fourth byte of a pixel (a file's alpha)
// is 0, as the frame has no alpha to hold.
int32_t ReadTga(const std::string& path, int32_t width, int32_t height, bool paletteImage, ImportMode mode,
                std::unique_ptr<CRasterSurface>& loaded, std::vector<uint8_t>& colours, ReplaceFailure& failure)
{
    TgaHeader header;
    bool opened = false;
    const bool haveHeader = ReadTgaHeader(path, header, opened);
    if (!haveHeader || header.width != width || header.height != height) {
        failure.kind = !haveHeader         ? (opened ? Kind::kNotTga : Kind::kCannotOpen)
                       : !header.Plausible() ? Kind::kNotTga
                                             : Kind::kWrongSize;
        failure.fileWidth = header.width;
        failure.fileHeight = header.height;
        return kImportFileWrongSize;
    }
    if (!header.Plausible()) {
        failure.kind = Kind::kNotTga;
        return kImportFileWrongDepth;
    }
    const bool mapped = header.ColourMapped();
    if (paletteImage && !mapped && mode != ImportMode::kRemap) {
        failure.kind = mode == ImportMode::kKeepIndices ? Kind::kNeedsIndices : Kind::kNeedsPalette;
        return kImportFileWrongDepth;
    }
    if (paletteImage && mapped && header.pixelDepth != 8) {
        failure.kind = Kind::kNeedsColourMapped;
        return kImportFileWrongDepth;
    }

    // A colour-mapped file is read into an index buffer, as a palette frame is.
    auto surface = std::make_unique<CRasterSurface>();
    if (mapped)
        surface->CreateBuffer(0, 0);
    TgaFailure why = TgaFailure::kNone;
    const int32_t read = surface->LoadTga(path, why);
    failure.kind = FromTgaFailure(why, paletteImage && mapped);
    if (read == -1)
        return kImportFileWrongSize; // the file went away after its header was checked
    if (read != 1)
        return kImportFileWrongDepth;
    const bool indices = surface->m_depth == 8 && surface->m_pPalette;
    if (indices != mapped || (!indices && surface->m_depth != 32)) {
        failure.kind = paletteImage ? Kind::kNeedsColourMapped : Kind::kNeedsTrueColour;
        return kImportFileWrongDepth;
    }
    if (paletteImage && !indices) {
        auto buffer = std::make_unique<CRasterSurface>();
        if (!TakeColours(*surface, colours) || buffer->CreateBuffer(width, height) != 1) {
            failure.kind = Kind::kTooLarge;
            return kImportFileWrongDepth;
        }
        surface = std::move(buffer);
    } else if (!paletteImage && indices) {
        surface = IndicesAsColours(*surface);
        if (!surface) {
            failure.kind = Kind::kTooLarge;
            return kImportFileWrongDepth;
        }
    } else if (!paletteImage) {
        const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
        for (size_t p = 0; p < pixels; ++p)
            surface->m_pBits[p * 4 + 3] = 0;
    }
    failure.kind = Kind::kNone;
    loaded = std::move(surface);
    return kImportFileRead;
}

// A PNG file's pixels as ReadTga gives a TGA file's: its size is checked
// first, then the whole file is read and converted.
int32_t ReadPngFile(const std::string& path, int32_t width, int32_t height, bool paletteImage, ImportMode mode,
                    std::unique_ptr<CRasterSurface>& loaded, std::vector<uint8_t>& colours, ReplaceFailure& failure)
{
    int32_t fileWidth = 0, fileHeight = 0;
    const PngReadResult sized = ReadPngSize(path, fileWidth, fileHeight);
    if (sized != PngReadResult::kOk || fileWidth != width || fileHeight != height) {
        failure.kind = sized == PngReadResult::kCannotOpen ? Kind::kCannotOpen
                       : sized == PngReadResult::kOk       ? Kind::kWrongSize
                                                           : Kind::kBrokenPng;
        failure.fileWidth = fileWidth;
        failure.fileHeight = fileHeight;
        return kImportFileWrongSize;
    }
    PngPicture picture;
    switch (ReadPng(path, picture)) {
    case PngReadResult::kOk: break;
    case PngReadResult::kCannotOpen: failure.kind = Kind::kCannotOpen; return kImportFileWrongSize;
    case PngReadResult::kTooLarge: failure.kind = Kind::kTooLarge; return kImportFileWrongDepth;
    case PngReadResult::kIndexOutsideMap: failure.kind = Kind::kIndexOutsideMap; return kImportFileWrongDepth;
    case PngReadResult::kNotPng:
    case PngReadResult::kBroken: failure.kind = Kind::kBrokenPng; return kImportFileWrongDepth;
    }
    if (paletteImage && !picture.indexed && mode != ImportMode::kRemap) {
        failure.kind = mode == ImportMode::kKeepIndices ? Kind::kNeedsIndices : Kind::kNeedsPalette;
        return kImportFileWrongDepth;
    }

    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    auto surface = std::make_unique<CRasterSurface>();
    const bool shaped = paletteImage ? surface->CreateBuffer(width, height) == 1
                                     : surface->CreateDib(width, height, 32, nullptr) == 1;
    if (!shaped) {
        failure.kind = Kind::kTooLarge;
        return kImportFileWrongDepth;
    }
    // A colour of the file as blue, green, red: from its palette (entries it
    // does not have are black) or its pixels.
    uint8_t map[kTgaPaletteBytes];
    StoredToEditorPalette(picture.palette, map);
    if (paletteImage && picture.indexed) {
        surface->m_pPalette.reset(new (std::nothrow) uint8_t[kTgaPaletteBytes]);
        if (!surface->m_pPalette) {
            failure.kind = Kind::kTooLarge;
            return kImportFileWrongDepth;
        }
        std::memcpy(surface->m_pPalette.get(), map, kTgaPaletteBytes);
        std::memcpy(surface->m_pBits, picture.indices.data(), pixels);
    } else if (paletteImage) {
        colours = std::move(picture.rgb);
    } else {
        // True-colour pixels as a 24-bit TGA file's: blue, green, red, 0.
        for (size_t p = 0; p < pixels; ++p) {
            uint8_t* out = surface->m_pBits + p * 4;
            if (picture.indexed)
                std::memcpy(out, &map[picture.indices[p] * 4], 3);
            else
                for (size_t c = 0; c < 3; ++c)
                    out[c] = picture.rgb[p * 3 + 2 - c];
            out[3] = 0;
        }
    }
    loaded = std::move(surface);
    return kImportFileRead;
}

} // namespace

int32_t ReadImportFile(const std::string& path, int32_t width, int32_t height, bool paletteImage, ImportMode mode,
                       std::unique_ptr<CRasterSurface>& loaded, std::vector<uint8_t>& colours,
                       ReplaceFailure& failure)
{
    loaded.reset();
    colours.clear();
    if (IsPngFile(path)) {
        failure.fileKind = ReplaceFailure::FileKind::kPng;
        return ReadPngFile(path, width, height, paletteImage, mode, loaded, colours, failure);
    }
    const int32_t read = ReadTga(path, width, height, paletteImage, mode, loaded, colours, failure);
    // A file that cannot be opened, or whose header is no TGA file's, is of
    // no kind the import knows.
    const bool known = failure.kind != Kind::kNotTga && failure.kind != Kind::kCannotOpen;
    failure.fileKind = known ? ReplaceFailure::FileKind::kTga : ReplaceFailure::FileKind::kUnknown;
    return read;
}

bool SameIndices(const CRasterSurface& loaded, const CRasterSurface& frame, int32_t width)
{
    if (!loaded.m_pBits || !frame.m_pBits || width < 0 || loaded.m_height != frame.m_height ||
        loaded.m_width < width || frame.m_width < width)
        return false;
    for (int32_t y = 0; y < loaded.m_height; ++y) {
        const uint8_t* a = loaded.m_pBits + static_cast<size_t>(y) * static_cast<size_t>(loaded.m_width);
        const uint8_t* b = frame.m_pBits + static_cast<size_t>(y) * static_cast<size_t>(frame.m_width);
        if (!std::equal(a, a + width, b))
            return false;
    }
    return true;
}

int32_t CountRecolouredPixels(const CRasterSurface& loaded, const uint8_t* palette)
{
    const uint8_t* own = loaded.m_pPalette.get();
    if (!own || !loaded.m_pBits || !palette)
        return 0;
    // Blue, green and red only: the fourth byte of an entry shows nothing.
    bool differs[256];
    for (int k = 0; k < 256; ++k)
        differs[k] = !std::equal(own + k * 4, own + k * 4 + 3, palette + k * 4);
    const size_t pixels = static_cast<size_t>(loaded.m_width) * static_cast<size_t>(loaded.m_height);
    int32_t count = 0;
    for (size_t p = 0; p < pixels; ++p)
        count += differs[loaded.m_pBits[p]] ? 1 : 0;
    return count;
}

bool MatchImportedColours(CRasterSurface& loaded, const std::vector<uint8_t>& colours, const uint8_t* palette,
                          const ImportOptions& options, ColourLoss& loss)
{
    // The one place where a remapped import's pixels are matched to the
    // palette. Without dithering an indexed file's colours are matched once
    // each; otherwise every pixel is, with its neighbours' errors.
    const CColourMatch match(palette, options.metric);
    const CColourDistance distance(palette);
    loss = ColourLoss{};
    const size_t width = static_cast<size_t>(loaded.m_width);
    const size_t pixels = width * static_cast<size_t>(loaded.m_height);
    if (colours.empty() && !options.dither) {
        if (!loaded.m_pPalette)
            return true;
        uint8_t map[256];
        match.MapPalette(loaded.m_pPalette.get(), map);
        if (!distance.MeasureMapped(loaded.m_pPalette.get(), map, loaded.m_pBits, loaded.m_width, loaded.m_height,
                                    loss))
            return false;
        for (size_t p = 0; p < pixels; ++p)
            loaded.m_pBits[p] = map[loaded.m_pBits[p]];
        return true;
    }
    std::unique_ptr<uint8_t[]> expanded;
    const uint8_t* rgb = colours.data();
    if (colours.empty()) {
        if (!loaded.m_pPalette)
            return true;
        // The surface holds the pixels already, so three bytes each are at
        // most three times what it holds.
        expanded.reset(new (std::nothrow) uint8_t[pixels * 3 + 1]);
        if (!expanded)
            return false;
        const uint8_t* own = loaded.m_pPalette.get();
        for (size_t p = 0; p < pixels; ++p)
            for (size_t c = 0; c < 3; ++c)
                expanded[p * 3 + c] = own[loaded.m_pBits[p] * 4 + 2 - c];
        rgb = expanded.get();
    }
    if (!match.MapColours(rgb, width * 3, loaded.m_width, loaded.m_height, loaded.m_pBits, width, options.dither))
        return false;
    if (!options.dither)
        return distance.Measure(rgb, width * 3, loaded.m_width, loaded.m_height, loaded.m_pBits, width, loss);
    // Dithering moves pixels off their nearest entry on purpose, and the
    // picture as a whole keeps its colours: what is lost is what the nearest
    // entry of each pixel's own colour cannot show.
    std::unique_ptr<uint8_t[]> nearest(new (std::nothrow) uint8_t[pixels]);
    return nearest && match.MapColours(rgb, width * 3, loaded.m_width, loaded.m_height, nearest.get(), width, false) &&
           distance.Measure(rgb, width * 3, loaded.m_width, loaded.m_height, nearest.get(), width, loss);
}

namespace {

// The picture of a frame as the PNG export gives it, handed to indexed or to
// rgb (width, height, pixels, stride[, palette]) for the file or the bytes.
template <class Indexed, class Rgb>
bool WithPngPicture(const CRasterSurface& surface, int32_t width, int32_t height, const uint8_t* palette,
                    Indexed indexed, Rgb rgbPicture)
{
    // The same pixels and colours as the TGA export, as an indexed or an
    // 8-bit RGB PNG file.
    if (!surface.m_pBits || width < 1 || height < 1 || width > surface.m_width ||
        height > surface.m_height)
        return false;
    const size_t row = static_cast<size_t>(surface.m_width);
    if (surface.m_depth == 8) {
        const std::vector<uint8_t> rgb = EditorToStoredPalette(palette, static_cast<int32_t>(kTgaPaletteColours));
        return indexed(width, height, surface.m_pBits, row, rgb.data());
    }
    if (surface.m_depth != 32)
        return false;
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    std::unique_ptr<uint8_t[]> rgb(new (std::nothrow) uint8_t[pixels * 3]);
    if (!rgb)
        return false;
    for (size_t y = 0; y < static_cast<size_t>(height); ++y)
        for (size_t x = 0; x < static_cast<size_t>(width); ++x)
            for (size_t c = 0; c < 3; ++c)
                rgb[(y * static_cast<size_t>(width) + x) * 3 + c] = surface.m_pBits[(y * row + x) * 4 + 2 - c];
    return rgbPicture(width, height, rgb.get(), static_cast<size_t>(width) * 3);
}

} // namespace

int32_t ExportPng(const CRasterSurface& surface, int32_t width, int32_t height, const uint8_t* palette,
                  const std::string& path)
{
    const bool written = WithPngPicture(
        surface, width, height, palette,
        [&](int32_t w, int32_t h, const uint8_t* indices, size_t stride, const uint8_t* rgbPalette) {
            return WriteIndexedPng(path, w, h, indices, stride, rgbPalette);
        },
        [&](int32_t w, int32_t h, const uint8_t* rgb, size_t stride) { return WriteRgbPng(path, w, h, rgb, stride); });
    return written ? 1 : -1;
}

bool EncodePng(const CRasterSurface& surface, int32_t width, int32_t height, const uint8_t* palette,
               std::vector<uint8_t>& bytes)
{
    return WithPngPicture(
        surface, width, height, palette,
        [&](int32_t w, int32_t h, const uint8_t* indices, size_t stride, const uint8_t* rgbPalette) {
            return EncodeIndexedPng(w, h, indices, stride, rgbPalette, bytes);
        },
        [&](int32_t w, int32_t h, const uint8_t* rgb, size_t stride) {
            return EncodeRgbPng(w, h, rgb, stride, bytes);
        });
}
