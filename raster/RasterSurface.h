// The pixels of one portrait frame, in one of two roles: a drawable bitmap
// (8, 16 or 32 bits per pixel, top-down rows) selected into the surface's own
// memory context, or a plain 8-bit index buffer that the surface owns. It also
// keeps the palette of the last colour-mapped TGA file read into it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Canvas.h"
#include "DibSection.h"
#include "TgaFailure.h"
#include "MemoryDc.h"

class CRasterSurface {
public:
    CRasterSurface();
    virtual ~CRasterSurface();
    CRasterSurface(const CRasterSurface&) = delete;
    CRasterSurface& operator=(const CRasterSurface&) = delete;

    // Makes the surface a bitmap of the given size and depth, all zeros; 1 on
    // success, 0 when the bitmap cannot be made (the surface then has no
    // bitmap and no pixels, and keeps its old size). palette: 256 entries of
    // blue, green, red, 0 for depth 8, or null for black with a white entry
    // 255. Masks of 0 mean the default for the depth.
    int32_t CreateDib(int32_t width, int32_t height, int32_t depth, const uint8_t* palette,
                      uint32_t redMask = 0, uint32_t greenMask = 0, uint32_t blueMask = 0);

    // Makes the surface an 8-bit index buffer of width x height zeros. 1 on
    // success; 0 when the size is negative or too large, and the surface then
    // holds no pixels.
    int32_t CreateBuffer(int32_t width, int32_t height);

    // Copies the whole bitmap at its natural size with its top-left corner at
    // (x, y); nothing for a surface without a bitmap.
    void BlitTo(CCanvas& target, int32_t x, int32_t y) const;

    // TGA exchange. LoadTga gives 1 when the file was read, -1 when it
    // cannot be opened and -2 when it is not taken; failure says why.
    int32_t LoadTga(const std::string& path);
    int32_t LoadTga(const std::string& path, TgaFailure& failure);
    int32_t SaveTga(const std::string& path, const uint8_t* palette, int32_t imageWidth) const;
    // The bytes SaveTga writes, into bytes; false when it would refuse.
    bool EncodeTga(const uint8_t* palette, int32_t imageWidth, std::vector<uint8_t>& bytes) const;

    std::unique_ptr<CDibSection> m_hBitmap;
    int32_t m_height = 0;
    int32_t m_width = 0;
    int32_t m_depth = 0;
    CMemoryDc m_dc;
    uint8_t* m_pBits = nullptr;
    int32_t m_ownsBits = 0;
    std::unique_ptr<uint8_t[]> m_pPalette; // 256 x (blue, green, red, 0), from a colour-mapped TGA

private:
    void ReleasePixels();

    std::unique_ptr<uint8_t[]> m_ownBuffer; // the index buffer while m_ownsBits is 1
};
