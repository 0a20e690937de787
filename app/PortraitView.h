// The dialog's view: the twelve drawing slots of the client area, the bar
// under the selected slot, and what the view remembers between paints. The
// client area is not erased between paints, so the old bar and whatever a
// frame drew past its slot are painted over here.
#pragma once

#include <cstdint>

#include "DrawingSlots.h"
#include "PortraitImage.h"
#include "Canvas.h"
#include "DialogMessage.h"
#include "DialogTemplate.h"

class CPortraitView {
public:
    static void GetSlotRect(int32_t slot, PixelRect& rect);
    // The drawing slot at a point of the client area, all four edges
    // inside; -1 for none.
    static int32_t SlotAt(ClientPoint point);

    // Draws the images' frames into their slots, slot 11 MEDIUM frame
    // steppedFrame, and the bar under the selected slot when it holds one.
    void Paint(CCanvas& canvas, const CPortraitImage (&images)[kSizeCount], int32_t selectedSlot,
               int32_t steppedFrame);

private:
    // The dialog's colour, sampled at (0, 0) the first time it is needed.
    uint32_t Background(const CCanvas& canvas);
    void RemoveOldBar(CCanvas& canvas);
    // What a frame drew at a slot before, past the slot's own rectangle,
    // goes back to the dialog's colour.
    void ClearBeyond(CCanvas& canvas, int32_t slot, const PixelRect& slotRect);

    int32_t m_barSlot = -1;
    PixelRect m_barRect = {0, 0, 0, 0};
    uint32_t m_background = 0;
    bool m_backgroundSampled = false;
    // What the last paint drew at each slot: a frame wider or taller than
    // its slot (rows widened to a multiple of 4) reaches past the slot.
    PixelRect m_drawn[kDrawingSlotCount] = {};
};
