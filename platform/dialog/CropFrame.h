// A crop rectangle on a picture that keeps one shape: moved by dragging its
// inside, resized by dragging a corner (the opposite corner stays) or by a
// factor about its centre, and always inside the picture and at least
// kMinHeight pixels high (or as high as the picture allows). Coordinates
// are the picture's pixels.
#pragma once

#include <cstdint>

#include "DialogTemplate.h"

class CCropFrame {
public:
    static constexpr int32_t kMinHeight = 8;

    enum class Handle { kNone, kInside, kTopLeft, kTopRight, kBottomLeft, kBottomRight };

    // Starts as the largest rectangle of the shape, centred.
    CCropFrame(int32_t pictureWidth, int32_t pictureHeight, int32_t aspectWidth, int32_t aspectHeight);

    const PixelRect& Rect() const { return m_rect; }
    // Takes the rectangle's place and height, with the shape kept and moved
    // inside the picture.
    void Set(const PixelRect& rect);

    // What lies under a point: a corner within `reach` pixels, else the
    // inside, else nothing.
    Handle HandleAt(int32_t x, int32_t y, int32_t reach) const;
    // A drag of the handle from where it began to a point.
    void BeginDrag(Handle handle, int32_t x, int32_t y);
    void DragTo(int32_t x, int32_t y);
    void EndDrag() { m_handle = Handle::kNone; }
    // Resizes about the centre: factor > 1 grows.
    void Scale(double factor);

private:
    // The width of a rectangle of the shape this high.
    int32_t WidthFor(int32_t height) const;
    int32_t MaxHeight() const;
    int32_t MinHeight() const;
    // The rectangle of the height with its centre as near (cx, cy) as the
    // picture allows.
    void PlaceCentred(int64_t doubledCentreX, int64_t doubledCentreY, int32_t height);

    int32_t m_pictureWidth, m_pictureHeight;
    int32_t m_aspectWidth, m_aspectHeight;
    PixelRect m_rect{0, 0, 0, 0};
    Handle m_handle = Handle::kNone;
    PixelRect m_startRect{0, 0, 0, 0};
    int32_t m_startX = 0, m_startY = 0;
};
