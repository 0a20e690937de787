// Reading TGA files into a surface: colour-mapped 8-bit files, uncompressed
// or run-length, with colour maps of any first index and length and entries
// of 15, 16, 24 or 32 bits; uncompressed or run-length true-colour files of
// 15, 16, 24 and 32 bits; and uncompressed or run-length grey files of 8 bits
// (grey) or 16 (grey, then alpha); all with either vertical origin. A file
// whose pixels or colour map end early is refused.
#include "TgaBlockReader.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <vector>

#include "RasterSurface.h"
#include "TgaFormat.h"
#include "CheckedSize.h"
#include "FileSystem.h"
#include "LittleEndian.h"

namespace {

constexpr int32_t kLoadOk = 1;
constexpr int32_t kLoadCannotOpen = -1;
constexpr int32_t kLoadNotAccepted = -2;

// The word whose bytes in memory are blue, green, red, fourth byte, built in
// registers: a run's pixel assembled byte by byte in memory and then read as
// one word would stall the store of every copy.
constexpr uint32_t PixelWord(uint32_t blue, uint32_t green, uint32_t red, uint32_t fourth)
{
    if constexpr (std::endian::native == std::endian::little)
        return blue | (green << 8) | (red << 16) | (fourth << 24);
    else
        return (blue << 24) | (green << 16) | (red << 8) | fourth;
}

// The kinds of pixel value a true-colour or grey file holds.
enum class Pixels {
    k5Bit,      // one little-endian word, five bits a channel (15- and 16-bit files)
    k24Bit,     // blue, green, red
    k32Bit,     // blue, green, red, alpha
    kGrey,      // one grey byte
    kGreyAlpha, // grey, then alpha
};

constexpr size_t PixelBytes(Pixels kind)
{
    switch (kind) {
    case Pixels::k5Bit: return 2;
    case Pixels::k24Bit: return 3;
    case Pixels::k32Bit: return 4;
    case Pixels::kGrey: return 1;
    case Pixels::kGreyAlpha: return 2;
    }
    return 4;
}

// One pixel value at src as a surface pixel.
template <Pixels Kind>
inline uint32_t ConvertOne(const uint8_t* src)
{
    if constexpr (Kind == Pixels::k5Bit) {
        const TgaRgb rgb = DecodeTga16(LoadU16LE(src));
        return PixelWord(rgb.blue, rgb.green, rgb.red, 0);
    } else if constexpr (Kind == Pixels::kGrey) {
        return PixelWord(src[0], src[0], src[0], 0);
    } else if constexpr (Kind == Pixels::kGreyAlpha) {
        return PixelWord(src[0], src[0], src[0], src[1]);
    } else {
        return PixelWord(src[0], src[1], src[2], Kind == Pixels::k32Bit ? src[3] : 0);
    }
}

// Converts n whole pixels of a true-colour or grey file at src into surface
// pixels (blue, green, red, fourth byte) at dst.
template <Pixels Kind>
void ConvertPixels(const uint8_t* src, uint8_t* dst, size_t n)
{
    if constexpr (Kind == Pixels::k24Bit) {
        size_t i = 0;
        if constexpr (std::endian::native == std::endian::little) {
            // Four pixels at a time are three whole words in and four out,
            // which costs far less than twelve single bytes. The shifts
            // assume the words' bytes lie in little-endian order, hence the
            // test; other hosts take the byte-wise loop below.
            for (; i + 4 <= n; i += 4, src += 12, dst += 16) {
                uint32_t in[3];
                std::memcpy(in, src, 12);
                const uint32_t out[4] = {in[0] & 0x00FFFFFFu, (in[0] >> 24) | ((in[1] & 0xFFFFu) << 8),
                                         (in[1] >> 16) | ((in[2] & 0xFFu) << 16), in[2] >> 8};
                std::memcpy(dst, out, 16);
            }
        }
        for (; i < n; ++i, src += 3, dst += 4) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
            dst[3] = 0;
        }
    } else if constexpr (Kind == Pixels::k32Bit) {
        std::memcpy(dst, src, n * 4);
    } else {
        constexpr size_t kBytes = PixelBytes(Kind);
        for (size_t i = 0; i < n; ++i, src += kBytes, dst += 4) {
            const uint32_t word = ConvertOne<Kind>(src);
            std::memcpy(dst, &word, 4);
        }
    }
}

// The slow path of ReadPixels, for pixels that are not all in the current
// block: whole pixels that are there are converted in one go, and a pixel
// that straddles two blocks is put together byte by byte.
template <Pixels Kind>
[[gnu::noinline]] void ReadPixelsAcrossBlocks(CTgaBlockReader& reader, FILE* file, uint8_t* dst, size_t n)
{
    constexpr size_t kBytes = PixelBytes(Kind);
    while (n > 0) {
        size_t whole = reader.Available() / kBytes;
        if (whole == 0) {
            uint8_t value[kBytes];
            for (size_t i = 0; i < kBytes; ++i)
                value[i] = reader.ReadBufferedByte(file);
            ConvertPixels<Kind>(value, dst, 1);
            dst += 4;
            --n;
            continue;
        }
        whole = std::min(whole, n);
        ConvertPixels<Kind>(reader.Cursor(), dst, whole);
        reader.Advance(whole * kBytes);
        dst += whole * 4;
        n -= whole;
    }
}

// Takes n pixel values through the block reader and stores them converted at
// dst. Kept small so that it inlines into the packet loop: nearly always the
// pixels lie in the current block.
template <Pixels Kind>
inline void ReadPixels(CTgaBlockReader& reader, FILE* file, uint8_t* dst, size_t n)
{
    constexpr size_t kBytes = PixelBytes(Kind);
    if (reader.Available() >= n * kBytes) {
        ConvertPixels<Kind>(reader.Cursor(), dst, n);
        reader.Advance(n * kBytes);
        return;
    }
    ReadPixelsAcrossBlocks<Kind>(reader, file, dst, n);
}

// One pixel value, as a run packet has it, converted to a surface pixel.
template <Pixels Kind>
inline uint32_t ReadOnePixel(CTgaBlockReader& reader, FILE* file)
{
    constexpr size_t kBytes = PixelBytes(Kind);
    uint8_t straddling[kBytes];
    const uint8_t* src = reader.Cursor();
    if (reader.Available() >= kBytes) {
        reader.Advance(kBytes);
    } else {
        for (size_t i = 0; i < kBytes; ++i)
            straddling[i] = reader.ReadBufferedByte(file);
        src = straddling;
    }
    return ConvertOne<Kind>(src);
}

// count copies of a pixel from dst on.
inline void FillPixels(uint8_t* dst, uint32_t word, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        std::memcpy(dst + i * 4, &word, 4);
}

// Uncompressed rows, in file order, into a surface of 32-bit rows. False
// when the file ends before the last pixel.
template <Pixels Kind>
bool ReadRawRows(CTgaBlockReader& reader, FILE* file, CRasterSurface& surface, bool topRowFirst)
{
    const size_t width = static_cast<size_t>(surface.m_width);
    const size_t height = static_cast<size_t>(surface.m_height);
    for (size_t i = 0; i < height; ++i) {
        if (reader.Exhausted() && width > 0)
            return false;
        const size_t row = topRowFirst ? i : height - 1 - i;
        ReadPixels<Kind>(reader, file, surface.m_pBits + row * width * 4, width);
    }
    return !reader.ReadPastEnd();
}

// Run-length packets into a working buffer of width x height pixels, then
// the buffer's rows into the surface. False when the buffer cannot be had or
// the file ends before the last pixel.
template <Pixels Kind>
bool ReadRunLengthRows(CTgaBlockReader& reader, FILE* file, CRasterSurface& surface, bool topRowFirst)
{
    const uint64_t width = static_cast<uint64_t>(surface.m_width);
    const uint64_t height = static_cast<uint64_t>(surface.m_height);
    uint64_t pixels = 0;
    uint64_t bytes = 0;
    if (!CheckedMul(width, height, pixels) || !CheckedMul(pixels, 4, bytes) || bytes > SIZE_MAX)
        return false;
    // Left uninitialised: only the pixels decoded below are ever copied out.
    const std::unique_ptr<uint8_t[]> work(new (std::nothrow) uint8_t[static_cast<size_t>(bytes)]);
    if (!work)
        return false;

    uint64_t decoded = 0;
    while (decoded < pixels) {
        if (reader.Exhausted())
            return false;
        const uint8_t packet = reader.ReadBufferedByte(file);
        // A packet that runs past the last pixel is cut at the image's end:
        // the buffer holds exactly width x height pixels.
        const uint64_t count = std::min<uint64_t>(TgaPacketPixels(packet), pixels - decoded);
        uint8_t* out = work.get() + decoded * 4;
        if (TgaRunPacket(packet)) {
            FillPixels(out, ReadOnePixel<Kind>(reader, file), static_cast<size_t>(count));
        } else {
            ReadPixels<Kind>(reader, file, out, static_cast<size_t>(count));
        }
        decoded += count;
    }

    const size_t rowBytes = static_cast<size_t>(width) * 4;
    for (uint64_t i = 0; i < height && i * width < decoded; ++i) {
        const uint64_t row = topRowFirst ? i : height - 1 - i;
        const uint64_t rowPixels = std::min(width, decoded - i * width);
        std::memcpy(surface.m_pBits + static_cast<size_t>(row) * rowBytes,
                    work.get() + static_cast<size_t>(i) * rowBytes, static_cast<size_t>(rowPixels) * 4);
    }
    return !reader.ReadPastEnd();
}

template <Pixels Kind>
bool ReadTrueColour(CTgaBlockReader& reader, FILE* file, CRasterSurface& surface, bool runLength,
                    bool topRowFirst)
{
    if (!runLength)
        return ReadRawRows<Kind>(reader, file, surface, topRowFirst);
    return ReadRunLengthRows<Kind>(reader, file, surface, topRowFirst);
}

// The kind of pixel value a true-colour or grey file's header names; false
// for one the reader does not take.
bool PixelKind(const TgaHeader& header, Pixels& kind)
{
    const bool grey = header.imageType == TgaHeader::kTypeGrey || header.imageType == TgaHeader::kTypeRunLengthGrey;
    const bool colour =
        header.imageType == TgaHeader::kTypeTrueColour || header.imageType == TgaHeader::kTypeRunLengthTrueColour;
    if (grey && header.pixelDepth == 8)
        kind = Pixels::kGrey;
    else if (grey && header.pixelDepth == 16)
        kind = Pixels::kGreyAlpha;
    else if (colour && (header.pixelDepth == 15 || header.pixelDepth == 16))
        kind = Pixels::k5Bit;
    else if (colour && header.pixelDepth == 24)
        kind = Pixels::k24Bit;
    else if (colour && header.pixelDepth == 32)
        kind = Pixels::k32Bit;
    else
        return false;
    return true;
}

// Reads the colour map into the 256-colour palette: entry k of the map is
// colour first + k, and colours it does not reach stay black. False when the
// file ends inside the map.
bool ReadColourMap(FILE* file, const TgaHeader& header, uint8_t* palette)
{
    const uint32_t entryBytes = header.ColourMapEntryBytes();
    uint8_t chunk[256 * 4];
    const uint32_t perChunk = sizeof chunk / entryBytes;
    for (uint32_t k = 0; k < header.colourMapLength;) {
        const uint32_t n = std::min<uint32_t>(perChunk, header.colourMapLength - k);
        if (std::fread(chunk, 1, n * entryBytes, file) != n * entryBytes)
            return false;
        DecodeTgaColourMap(header, k, std::span<const uint8_t>(chunk, n * entryBytes), palette);
        k += n;
    }
    return true;
}

// Run-length packets of 8-bit indices, width x height of them in file order,
// into `out`. False when the file ends before the last pixel.
bool ReadRunLengthIndices(CTgaBlockReader& reader, FILE* file, uint8_t* out, size_t pixels)
{
    size_t decoded = 0;
    while (decoded < pixels) {
        if (reader.Exhausted())
            return false;
        const uint8_t packet = reader.ReadBufferedByte(file);
        // A packet that runs past the last pixel is cut at the image's end.
        const size_t count = std::min<size_t>(TgaPacketPixels(packet), pixels - decoded);
        if (TgaRunPacket(packet)) {
            std::memset(out + decoded, reader.ReadBufferedByte(file), count);
        } else {
            for (size_t i = 0; i < count; ++i)
                out[decoded + i] = reader.ReadBufferedByte(file);
        }
        decoded += count;
    }
    return !reader.ReadPastEnd();
}

// Turns rows stored bottom row first into top row first, in place.
void FlipRows(uint8_t* pixels, size_t rowBytes, size_t rows)
{
    if (rowBytes == 0)
        return;
    std::vector<uint8_t> row(rowBytes);
    for (size_t top = 0, bottom = rows ? rows - 1 : 0; top < bottom; ++top, --bottom) {
        std::memcpy(row.data(), pixels + top * rowBytes, rowBytes);
        std::memcpy(pixels + top * rowBytes, pixels + bottom * rowBytes, rowBytes);
        std::memcpy(pixels + bottom * rowBytes, row.data(), rowBytes);
    }
}

// Passes over bytes read directly from the file (the ID field, a colour map).
void SkipBytes(FILE* file, uint64_t count)
{
    if (count == 0)
        return;
    // Seeking past the end is allowed; the reads that follow then yield nothing.
    if (std::fseek(file, static_cast<long>(count), SEEK_CUR) == 0)
        return;
    uint8_t scrap[4096];
    while (count > 0) {
        const size_t n = std::fread(scrap, 1, static_cast<size_t>(std::min<uint64_t>(count, sizeof scrap)), file);
        if (n == 0)
            return;
        count -= n;
    }
}

// CheckTgaPixels over the bytes from the file's position on.
TgaFailure CheckPixels(FILE* file, const TgaHeader& header, uint32_t bytesPerPixel)
{
    const int64_t here = CFileSystem::Tell(file);
    const int64_t size = CFileSystem::GetFileSize(file);
    const uint64_t bytes = here >= 0 && size > here ? static_cast<uint64_t>(size - here) : 0;
    return CheckTgaPixels(header, bytes, bytesPerPixel);
}

// Frees the block buffer however LoadTga leaves.
class BlockReaderSession {
public:
    explicit BlockReaderSession(CTgaBlockReader& reader) : m_reader(reader), m_ok(reader.Begin()) {}
    ~BlockReaderSession() { m_reader.End(); }
    BlockReaderSession(const BlockReaderSession&) = delete;
    BlockReaderSession& operator=(const BlockReaderSession&) = delete;
    bool Ok() const { return m_ok; }

private:
    CTgaBlockReader& m_reader;
    bool m_ok;
};

} // namespace

int32_t CRasterSurface::LoadTga(const std::string& path)
{
    TgaFailure failure = TgaFailure::kNone;
    return LoadTga(path, failure);
}

int32_t CRasterSurface::LoadTga(const std::string& path, TgaFailure& failure)
{
    failure = TgaFailure::kNone;
    const FileHandle file = CFileSystem::OpenForReading(path);
    if (!file) {
        failure = TgaFailure::kCannotOpen;
        return kLoadCannotOpen;
    }
    FILE* f = file.get();

    CTgaBlockReader& reader = TgaBlockReader();
    const BlockReaderSession session(reader);
    // Nothing has been touched yet, so the surface stays as it was.
    if (!session.Ok())
        return kLoadNotAccepted;
    m_pPalette.reset();

    // A refusal after the surface was shaped leaves it blank at the file's size.
    auto refuse = [&](TgaFailure why) {
        failure = why;
        if (m_pBits) {
            const size_t bytes = m_hBitmap ? m_hBitmap->Stride() * static_cast<size_t>(m_height)
                                           : static_cast<size_t>(m_width) * static_cast<size_t>(m_height);
            std::memset(m_pBits, 0, bytes);
        }
        return kLoadNotAccepted;
    };
    // A refusal before it could be shaped leaves it without pixels, as a
    // surface that cannot be shaped is.
    auto refuseUnshaped = [&](TgaFailure why) {
        ReleasePixels();
        failure = why;
        return kLoadNotAccepted;
    };

    // A header cut short reads as zeros past the file's end.
    uint8_t headerBytes[TgaHeader::kSize] = {};
    const bool wholeHeader = std::fread(headerBytes, 1, sizeof headerBytes, f) == sizeof headerBytes;
    const TgaHeader header = ParseTgaHeader(headerBytes);
    const TgaFailure kind = !wholeHeader || !header.Plausible() ? TgaFailure::kNotTga : TgaFailure::kUnsupported;
    SkipBytes(f, header.idLength);
    const int32_t width = header.width;
    const int32_t height = header.height;

    if (header.ColourMapped()) {
        m_pPalette.reset(new (std::nothrow) uint8_t[kTgaPaletteBytes]);
        if (!m_pPalette)
            return kLoadNotAccepted;
        std::memset(m_pPalette.get(), 0, kTgaPaletteBytes);
        const bool knownEntries = TgaKnownEntrySize(header.colourMapEntrySize);
        const bool accepted = header.pixelDepth == 8 && header.colourMapType == 1 && knownEntries;
        if (header.colourMapType == 1) {
            if (!knownEntries)
                SkipBytes(f, TgaColourMapBytes(header));
            else if (!ReadColourMap(f, header, m_pPalette.get()))
                return refuseUnshaped(TgaFailure::kCutShort);
        }
        const bool runLength = header.imageType == TgaHeader::kTypeRunLengthColourMapped;
        const TgaFailure fit = CheckPixels(f, header, accepted && !runLength ? 1 : 0);
        if (fit != TgaFailure::kNone)
            return refuseUnshaped(accepted ? fit : kind);
        const int32_t shaped = m_ownsBits ? CreateBuffer(width, height) : CreateDib(width, height, 8, m_pPalette.get());
        if (shaped != 1)
            return refuse(TgaFailure::kTooLarge);
        if (!accepted)
            return refuse(kind);

        // Rows lie at a stride of width bytes, also in an 8-bit bitmap whose
        // own rows are padded; the portrait image widens its frames so that
        // the two agree.
        const size_t rowBytes = static_cast<size_t>(width);
        const size_t pixels = rowBytes * static_cast<size_t>(height);
        bool complete = true;
        if (runLength) {
            complete = ReadRunLengthIndices(reader, f, m_pBits, pixels);
            if (complete && !header.TopRowFirst())
                FlipRows(m_pBits, rowBytes, static_cast<size_t>(height));
        } else if (header.TopRowFirst()) {
            complete = std::fread(m_pBits, 1, pixels, f) == pixels;
        } else {
            for (int32_t i = 0; i < height && complete; ++i)
                complete = std::fread(m_pBits + static_cast<size_t>(height - 1 - i) * rowBytes, 1, rowBytes, f) ==
                           rowBytes;
        }
        if (!complete)
            return refuse(TgaFailure::kCutShort);
        // Every index must name a colour of the map.
        const uint32_t first = header.colourMapFirst;
        const uint32_t end = first + header.colourMapLength;
        if (first > 0 || end < 256) {
            for (size_t p = 0; p < pixels; ++p)
                if (m_pBits[p] < first || m_pBits[p] >= end)
                    return refuse(TgaFailure::kIndexOutsideMap);
        }
        return kLoadOk;
    }

    SkipBytes(f, TgaColourMapBytes(header));
    const bool runLength = header.imageType == TgaHeader::kTypeRunLengthTrueColour ||
                           header.imageType == TgaHeader::kTypeRunLengthGrey;
    Pixels pixels = Pixels::k32Bit;
    const bool accepted = PixelKind(header, pixels);
    const TgaFailure fit =
        CheckPixels(f, header, accepted && !runLength ? static_cast<uint32_t>(PixelBytes(pixels)) : 0);
    if (fit != TgaFailure::kNone)
        return refuseUnshaped(accepted ? fit : kind);

    // Every other type is recreated as a blank 32-bit bitmap first, accepted or not.
    if (CreateDib(width, height, 32, nullptr) != 1) {
        failure = accepted ? TgaFailure::kTooLarge : kind;
        return kLoadNotAccepted;
    }
    if (!accepted)
        return refuse(kind);
    const bool top = header.TopRowFirst();
    bool read = false;
    switch (pixels) {
    case Pixels::k5Bit: read = ReadTrueColour<Pixels::k5Bit>(reader, f, *this, runLength, top); break;
    case Pixels::k24Bit: read = ReadTrueColour<Pixels::k24Bit>(reader, f, *this, runLength, top); break;
    case Pixels::k32Bit: read = ReadTrueColour<Pixels::k32Bit>(reader, f, *this, runLength, top); break;
    case Pixels::kGrey: read = ReadTrueColour<Pixels::kGrey>(reader, f, *this, runLength, top); break;
    case Pixels::kGreyAlpha: read = ReadTrueColour<Pixels::kGreyAlpha>(reader, f, *this, runLength, top); break;
    }
    return read ? kLoadOk : refuse(TgaFailure::kCutShort);
}
