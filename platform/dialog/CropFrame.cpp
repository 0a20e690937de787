#include "CropFrame.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

CCropFrame::CCropFrame(int32_t pictureWidth, int32_t pictureHeight, int32_t aspectWidth, int32_t aspectHeight)
    : m_pictureWidth(std::max(pictureWidth, 1)), m_pictureHeight(std::max(pictureHeight, 1)),
      m_aspectWidth(std::max(aspectWidth, 1)), m_aspectHeight(std::max(aspectHeight, 1))
{
    PlaceCentred(m_pictureWidth, m_pictureHeight, MaxHeight());
}

int32_t CCropFrame::WidthFor(int32_t height) const
{
    const int64_t width = (int64_t{height} * m_aspectWidth * 2 + m_aspectHeight) / (int64_t{m_aspectHeight} * 2);
    return static_cast<int32_t>(std::max<int64_t>(width, 1));
}

int32_t CCropFrame::MaxHeight() const
{
    int32_t height = static_cast<int32_t>(
        std::min<int64_t>(m_pictureHeight, int64_t{m_pictureWidth} * m_aspectHeight / m_aspectWidth + 1));
    while (height > 1 && WidthFor(height) > m_pictureWidth)
        --height;
    return std::max(height, 1);
}

int32_t CCropFrame::MinHeight() const
{
    return std::min(kMinHeight, MaxHeight());
}

void CCropFrame::PlaceCentred(int64_t doubledCentreX, int64_t doubledCentreY, int32_t height)
{
    height = std::clamp(height, MinHeight(), MaxHeight());
    const int32_t width = WidthFor(height);
    const int64_t left = std::clamp<int64_t>((doubledCentreX - width) / 2, 0, m_pictureWidth - width);
    const int64_t top = std::clamp<int64_t>((doubledCentreY - height) / 2, 0, m_pictureHeight - height);
    m_rect = {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(left) + width,
              static_cast<int32_t>(top) + height};
}

void CCropFrame::Set(const PixelRect& rect)
{
    const int32_t height = std::clamp(rect.Height(), MinHeight(), MaxHeight());
    const int32_t width = WidthFor(height);
    const int32_t left = std::clamp(rect.left, 0, m_pictureWidth - width);
    const int32_t top = std::clamp(rect.top, 0, m_pictureHeight - height);
    m_rect = {left, top, left + width, top + height};
}

CCropFrame::Handle CCropFrame::HandleAt(int32_t x, int32_t y, int32_t reach) const
{
    const bool left = std::abs(x - m_rect.left) <= reach, right = std::abs(x - m_rect.right) <= reach;
    const bool top = std::abs(y - m_rect.top) <= reach, bottom = std::abs(y - m_rect.bottom) <= reach;
    if (top && left)
        return Handle::kTopLeft;
    if (top && right)
        return Handle::kTopRight;
    if (bottom && left)
        return Handle::kBottomLeft;
    if (bottom && right)
        return Handle::kBottomRight;
    if (x >= m_rect.left && x < m_rect.right && y >= m_rect.top && y < m_rect.bottom)
        return Handle::kInside;
    return Handle::kNone;
}

void CCropFrame::BeginDrag(Handle handle, int32_t x, int32_t y)
{
    m_handle = handle;
    m_startRect = m_rect;
    m_startX = x;
    m_startY = y;
}

void CCropFrame::DragTo(int32_t x, int32_t y)
{
    if (m_handle == Handle::kNone)
        return;
    if (m_handle == Handle::kInside) {
        Set({m_startRect.left + (x - m_startX), m_startRect.top + (y - m_startY), m_startRect.right + (x - m_startX),
             m_startRect.bottom + (y - m_startY)});
        return;
    }
    // The opposite corner stays; the pointer's farther extent sets the size,
    // as far as the picture reaches from that corner.
    const bool leftSide = m_handle == Handle::kTopLeft || m_handle == Handle::kBottomLeft;
    const bool topSide = m_handle == Handle::kTopLeft || m_handle == Handle::kTopRight;
    const int32_t anchorX = leftSide ? m_startRect.right : m_startRect.left;
    const int32_t anchorY = topSide ? m_startRect.bottom : m_startRect.top;
    const int64_t extentX = leftSide ? anchorX - x : x - anchorX;
    const int64_t extentY = topSide ? anchorY - y : y - anchorY;
    int64_t height = std::max(extentY, extentX * m_aspectHeight / m_aspectWidth);
    const int32_t roomX = leftSide ? anchorX : m_pictureWidth - anchorX;
    int32_t roomY = topSide ? anchorY : m_pictureHeight - anchorY;
    while (roomY > 1 && WidthFor(roomY) > roomX)
        --roomY;
    height = std::clamp<int64_t>(height, MinHeight(), std::max(roomY, MinHeight()));
    const int32_t h = static_cast<int32_t>(height);
    const int32_t w = WidthFor(h);
    const int32_t left = leftSide ? anchorX - w : anchorX;
    const int32_t top = topSide ? anchorY - h : anchorY;
    Set({left, top, left + w, top + h});
}

void CCropFrame::Scale(double factor)
{
    const int32_t height = m_rect.Height();
    int32_t scaled = static_cast<int32_t>(std::lround(std::clamp(height * factor, 1.0, 1e9)));
    // Every step moves by a pixel at least.
    if (scaled == height && factor > 1.0)
        ++scaled;
    else if (scaled == height && factor < 1.0)
        --scaled;
    PlaceCentred(int64_t{m_rect.left} + m_rect.right, int64_t{m_rect.top} + m_rect.bottom, scaled);
}
