#include "DrawingSlots.h"

SlotImage GetSlotImage(int32_t slot)
{
    if (slot < 0 || slot >= kDrawingSlotCount)
        return {kSizeNone, 0};
    return kDrawingSlots[slot];
}

int32_t FindSlotOfFrame(PortraitSize size, int32_t frame)
{
    if (size == kSizeLarge)
        return 0;
    if (size == kSizeSmall)
        return 2;
    if (size != kSizeMedium || frame < 0)
        return -1;
    if (frame >= kFirstSteppedFrame)
        return kSteppedSlot;
    return frame == 0 ? 1 : frame + 2;
}
