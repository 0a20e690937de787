// Writing a surface as an uncompressed TGA file, top row first: an 8-bit
// surface as a colour-mapped file with a 256-entry colour map, a 32-bit
// surface as a true-colour file of four bytes per pixel, the fourth 255.
// The bytes come from SerializeTgaFile and go in place whole.
#include <cerrno>
#include <cstdio>
#include <vector>

#include "RasterSurface.h"
#include "TgaFormat.h"
#include "ReplacingFile.h"

namespace {

constexpr int32_t kSaveOk = 1;
constexpr int32_t kSaveFailed = -1;

} // namespace

bool CRasterSurface::EncodeTga(const uint8_t* palette, int32_t imageWidth, std::vector<uint8_t>& bytes) const
{
    if (m_depth != 8 && m_depth != 32)
        return false;
    if (!m_pBits || m_width < 0 || m_height < 0)
        return false;
    if (imageWidth < -1 || imageWidth > m_width)
        return false;
    const bool colourMapped = m_depth == 8;
    if (colourMapped && !palette)
        return false;

    TgaPicture picture;
    picture.pixels = m_pBits;
    picture.stride = static_cast<size_t>(m_width) * static_cast<size_t>(m_depth / 8);
    picture.width = static_cast<uint32_t>(imageWidth == -1 ? m_width : imageWidth);
    picture.height = static_cast<uint32_t>(m_height);
    picture.depth = static_cast<uint32_t>(m_depth);
    picture.palette = palette;
    return SerializeTgaFile(picture, bytes);
}

int32_t CRasterSurface::SaveTga(const std::string& path, const uint8_t* palette, int32_t imageWidth) const
{
    // Every refusal comes before the file is created, so none leaves a file behind.
    std::vector<uint8_t> bytes;
    if (!EncodeTga(palette, imageWidth, bytes))
        return kSaveFailed;

    // The file is put in place whole, replacing what stood at the path (a
    // link too) in one step; on failure errno says why.
    int error = 0;
    if (!CReplacingFile::WriteWhole(path, bytes.data(), bytes.size(), error)) {
        errno = error;
        return kSaveFailed;
    }
    return kSaveOk;
}
