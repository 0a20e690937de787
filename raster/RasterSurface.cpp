#include "RasterSurface.h"

#include <cstring>
#include <new>

#include "CheckedSize.h"

CRasterSurface::CRasterSurface() = default;

CRasterSurface::~CRasterSurface()
{
    m_dc.SelectBitmap(nullptr);
}

void CRasterSurface::ReleasePixels()
{
    m_dc.SelectBitmap(nullptr);
    m_hBitmap.reset();
    m_ownBuffer.reset();
    m_ownsBits = 0;
    m_pBits = nullptr;
}

int32_t CRasterSurface::CreateDib(int32_t width, int32_t height, int32_t depth, const uint8_t* palette,
                                  uint32_t redMask, uint32_t greenMask, uint32_t blueMask)
{
    ReleasePixels();

    uint8_t colourTable[256 * 4] = {};
    if (depth == 8) {
        // Without a palette every entry is black except 255, which is white.
        if (palette) {
            std::memcpy(colourTable, palette, sizeof colourTable);
        } else {
            colourTable[255 * 4 + 0] = 255;
            colourTable[255 * 4 + 1] = 255;
            colourTable[255 * 4 + 2] = 255;
        }
    } else if (redMask == 0 && greenMask == 0 && blueMask == 0) {
        if (depth == 32) {
            redMask = 0x00FF0000;
            greenMask = 0x0000FF00;
            blueMask = 0x000000FF;
        } else {
            redMask = 0xF800;
            greenMask = 0x07E0;
            blueMask = 0x001F;
        }
    }

    m_hBitmap = CDibSection::Create(width, height, depth, colourTable, redMask, greenMask, blueMask);
    if (!m_hBitmap)
        return 0;
    m_dc.SelectBitmap(m_hBitmap.get());
    m_pBits = m_hBitmap->Bits();
    m_height = height;
    m_depth = depth;
    m_width = width;
    return 1;
}

int32_t CRasterSurface::CreateBuffer(int32_t width, int32_t height)
{
    // The bitmap, if any, is left alone: the pixels are the buffer's from now on.
    m_ownBuffer.reset();
    m_ownsBits = 0;
    m_pBits = nullptr;
    m_width = 0;
    m_height = 0;
    m_depth = 8;
    if (width < 0 || height < 0 || width > kMaxSurfaceDimension || height > kMaxSurfaceDimension)
        return 0;
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height);
    m_ownBuffer.reset(new (std::nothrow) uint8_t[bytes == 0 ? 1 : bytes]);
    if (!m_ownBuffer)
        return 0;
    std::memset(m_ownBuffer.get(), 0, bytes);
    m_pBits = m_ownBuffer.get();
    m_ownsBits = 1;
    m_width = width;
    m_height = height;
    return 1;
}

void CRasterSurface::BlitTo(CCanvas& target, int32_t x, int32_t y) const
{
    if (!m_hBitmap)
        return;
    m_dc.BlitTo(target, x, y, m_width, m_height);
}
