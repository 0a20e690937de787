#include "PortraitView.h"

#include <algorithm>

namespace {

constexpr uint32_t kBlack = MakeRgb(0, 0, 0);
constexpr uint32_t kWhite = MakeRgb(255, 255, 255);

void FillRect(CCanvas& canvas, const PixelRect& r, uint32_t rgb)
{
    canvas.FillRect(r.left, r.top, r.right, r.bottom, rgb);
}

PixelRect Union(const PixelRect& a, const PixelRect& b)
{
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

} // namespace

int32_t CPortraitView::SlotAt(ClientPoint point)
{
    for (int32_t slot = 0; slot < kDrawingSlotCount; ++slot) {
        PixelRect r{};
        GetSlotRect(slot, r);
        if (point.x >= r.left && point.x <= r.right && point.y >= r.top && point.y <= r.bottom)
            return slot;
    }
    return -1;
}

void CPortraitView::GetSlotRect(int32_t slot, PixelRect& rect)
{
    constexpr int32_t kColumn = 102;
    if (slot == 0)
        rect = {10, 10, 189, 153};
    else if (slot == 1)
        rect = {200, 10, 291, 81};
    else if (slot == 2)
        rect = {302, 10, 349, 45};
    else if (slot >= 3 && slot <= 7)
        rect = {10 + kColumn * (slot - 3), 164, 10 + kColumn * (slot - 3) + 91, 235};
    else if (slot >= 8 && slot <= 11)
        rect = {10 + kColumn * (slot - 8), 246, 10 + kColumn * (slot - 8) + 91, 317};
}

uint32_t CPortraitView::Background(const CCanvas& canvas)
{
    if (!m_backgroundSampled) {
        m_background = canvas.GetPixel(0, 0);
        m_backgroundSampled = true;
    }
    return m_background;
}

void CPortraitView::RemoveOldBar(CCanvas& canvas)
{
    FillRect(canvas, m_barRect, Background(canvas));
}

void CPortraitView::ClearBeyond(CCanvas& canvas, int32_t slot, const PixelRect& slotRect)
{
    const PixelRect& before = m_drawn[slot];
    if (before.right > slotRect.right || before.bottom > slotRect.bottom || before.left < slotRect.left ||
        before.top < slotRect.top)
        FillRect(canvas, before, Background(canvas));
    m_drawn[slot] = slotRect;
}

void CPortraitView::Paint(CCanvas& canvas, const CPortraitImage (&images)[kSizeCount], int32_t selectedSlot,
                          int32_t steppedFrame)
{
    if (m_barSlot != -1 && m_barSlot != selectedSlot)
        RemoveOldBar(canvas);

    PixelRect rect = {0, 0, 0, 0};
    PixelRect selected = {0, 0, 0, 0};
    bool selectedDrawn = false;
    auto drawSlot = [&](int32_t slot, const CPortraitImage& image, int32_t frame) {
        GetSlotRect(slot, rect);
        ClearBeyond(canvas, slot, rect);
        FillRect(canvas, rect, kBlack);
        if (const CRasterSurface* surface = image.GetDisplaySurface(frame)) {
            surface->BlitTo(canvas, rect.left, rect.top);
            if (surface->m_hBitmap)
                m_drawn[slot] = Union(rect, {rect.left, rect.top, rect.left + surface->m_width,
                                             rect.top + surface->m_height});
        }
        if (slot == selectedSlot) {
            selected = rect;
            selectedDrawn = true;
        }
    };
    // Slots 0 to 2 show the three images' first frames whether or not they
    // have one; slots 3 to 10 hold MEDIUM frames 1 to 8, slot 11 the frame
    // the stepper shows, 9 or later.
    const int32_t mediumFrames = images[kSizeMedium].Header().FrameCount();
    for (int32_t slot = 0; slot < kDrawingSlotCount; ++slot) {
        const SlotImage shown = GetSlotImage(slot);
        const int32_t frame = slot == kSteppedSlot ? steppedFrame : shown.frame;
        if (slot < 3 || frame < mediumFrames) {
            drawSlot(slot, images[shown.size], frame);
            continue;
        }
        // Slots without a frame of this portrait are cleared: the frames of
        // the portrait shown before must not stay there as if they were this
        // one's, not even a column of their widened rows.
        PixelRect empty{};
        GetSlotRect(slot, empty);
        ClearBeyond(canvas, slot, empty);
        FillRect(canvas, empty, Background(canvas));
    }

    if (selectedDrawn) {
        m_barRect = {selected.left, selected.bottom + 1, selected.right + 1, selected.bottom + 5};
        FillRect(canvas, m_barRect, kWhite);
        m_barSlot = selectedSlot;
    } else if (m_barSlot != -1) {
        // The selected slot holds no frame: no bar marks it, and none stays
        // under a slot that is no longer selected.
        RemoveOldBar(canvas);
        m_barSlot = -1;
    }
}
