#include "Canvas.h"

#include <algorithm>
#include <cstring>

CCanvas::CCanvas(int32_t width, int32_t height, uint32_t rgb)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)),
      m_bits(static_cast<size_t>(m_width) * static_cast<size_t>(m_height) * 4)
{
    FillRect(0, 0, m_width, m_height, rgb);
}

void CCanvas::FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t rgb)
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, m_width);
    bottom = std::min(bottom, m_height);
    const uint8_t pixel[4] = {static_cast<uint8_t>(rgb), static_cast<uint8_t>(rgb >> 8),
                              static_cast<uint8_t>(rgb >> 16), 0};
    for (int32_t y = top; y < bottom; ++y) {
        uint8_t* p = &m_bits[(static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(left)) * 4];
        for (int32_t x = left; x < right; ++x, p += 4)
            std::memcpy(p, pixel, 4);
    }
}

uint32_t CCanvas::GetPixel(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    const uint8_t* p = &m_bits[(static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)) * 4];
    return MakeRgb(p[2], p[1], p[0]);
}

void CCanvas::Blit32(int32_t x, int32_t y, int32_t width, int32_t height, const uint8_t* rows, size_t stride)
{
    const int32_t x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int32_t x1 = std::min(x + width, m_width), y1 = std::min(y + height, m_height);
    if (!rows || x0 >= x1 || y0 >= y1)
        return;
    const size_t bytes = static_cast<size_t>(x1 - x0) * 4;
    for (int32_t row = y0; row < y1; ++row) {
        const uint8_t* src = rows + static_cast<size_t>(row - y) * stride + static_cast<size_t>(x0 - x) * 4;
        uint8_t* dst = &m_bits[(static_cast<size_t>(row) * static_cast<size_t>(m_width) + static_cast<size_t>(x0)) * 4];
        std::memcpy(dst, src, bytes);
    }
}
