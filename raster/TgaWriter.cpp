// Writing a surface as an uncompressed TGA file, top row first: an 8-bit
// surface as a colour-mapped file with a 256-entry colour map, a 32-bit
// surface as a true-colour file of four bytes per pixel, the fourth 255.
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "RasterSurface.h"
#include "TgaHeader.h"
#include "CheckedSize.h"
#include "FileSystem.h"

namespace {

constexpr int32_t kSaveOk = 1;
constexpr int32_t kSaveFailed = -1;

} // namespace

int32_t CRasterSurface::SaveTga(const std::string& path, const uint8_t* palette, int32_t imageWidth) const
{
    // Every refusal comes before the file is created, so none leaves a file behind.
    if (m_depth != 8 && m_depth != 32)
        return kSaveFailed;
    if (!m_pBits || m_width < 0 || m_height < 0)
        return kSaveFailed;
    if (imageWidth < -1 || imageWidth > m_width)
        return kSaveFailed;
    const bool colourMapped = m_depth == 8;
    if (colourMapped && !palette)
        return kSaveFailed;

    const int32_t width = imageWidth == -1 ? m_width : imageWidth;
    const size_t pixelBytes = static_cast<size_t>(m_depth / 8);
    const size_t rowBytes = static_cast<size_t>(width) * pixelBytes;
    const size_t stride = static_cast<size_t>(m_width) * pixelBytes;
    // Rows are put together in memory when they are cut short, and for
    // true colour, whose fourth byte goes out as 255: other programs read it
    // as alpha, and 0 would make the picture fully transparent to them.
    const bool surplus = width != m_width || m_depth != 8;
    uint64_t imageBytes = 0;
    if (!CheckedMul(rowBytes, static_cast<uint64_t>(m_height), imageBytes))
        return kSaveFailed;

    TgaHeader header;
    header.width = static_cast<uint16_t>(width);
    header.height = static_cast<uint16_t>(m_height);
    header.pixelDepth = static_cast<uint8_t>(m_depth);
    header.descriptor = TgaHeader::kDescriptorTopLeft;
    if (colourMapped) {
        header.colourMapType = 1;
        header.imageType = TgaHeader::kTypeColourMapped;
        header.colourMapLength = TgaHeader::kPaletteEntries;
        header.colourMapEntrySize = TgaHeader::kPaletteEntryBits;
    } else {
        header.imageType = TgaHeader::kTypeTrueColour;
    }

    // The file's bytes are put together in memory: the header, the colour map
    // and, when rows must be cut short, the cut rows. Whole rows go out in
    // one piece straight from the surface.
    const size_t prefixBytes = TgaHeader::kSize + (colourMapped ? TgaHeader::kPaletteBytes : 0);
    uint64_t bufferBytes = prefixBytes;
    if (surplus && !CheckedAdd(bufferBytes, imageBytes, bufferBytes))
        return kSaveFailed;
    if (bufferBytes > SIZE_MAX)
        return kSaveFailed;
    const std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[static_cast<size_t>(bufferBytes)]);
    if (!bytes)
        return kSaveFailed;
    header.Store(bytes.get());
    if (colourMapped) {
        // The fourth byte of each palette entry is not written.
        uint8_t* map = bytes.get() + TgaHeader::kSize;
        for (size_t i = 0; i < TgaHeader::kPaletteEntries; ++i) {
            map[i * 3 + 0] = palette[i * 4 + 0];
            map[i * 3 + 1] = palette[i * 4 + 1];
            map[i * 3 + 2] = palette[i * 4 + 2];
        }
    }
    if (surplus) {
        uint8_t* out = bytes.get() + prefixBytes;
        for (int32_t row = 0; row < m_height; ++row, out += rowBytes) {
            std::memcpy(out, m_pBits + static_cast<size_t>(row) * stride, rowBytes);
            if (!colourMapped)
                for (size_t x = 3; x < rowBytes; x += 4)
                    out[x] = 0xFF;
        }
    }

    FileHandle file = CFileSystem::CreateForWriting(path);
    if (!file)
        return kSaveFailed;
    bool written = CFileSystem::Write(file.get(), bytes.get(), static_cast<size_t>(bufferBytes));
    if (written && !surplus && imageBytes > 0)
        written = CFileSystem::Write(file.get(), m_pBits, static_cast<size_t>(imageBytes));
    // A full disk often shows only when the last buffered bytes are flushed.
    written = std::fclose(file.release()) == 0 && written;
    if (!written) {
        // A cut-short file would read back as a different picture; better none.
        CFileSystem::RemoveFile(path);
        return kSaveFailed;
    }
    return kSaveOk;
}
