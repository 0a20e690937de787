// The view's twelve drawing slots and what each shows: slot 0 the LARGE
// image, 1 MEDIUM frame 0, 2 the SMALL image, 3 to 11 MEDIUM frames 1 to 9.
// Slot 11 shows frame 9 until the frame stepper moves it to a later frame.
#pragma once

#include <cstdint>

#include "PortraitTypes.h"

constexpr int32_t kDrawingSlotCount = 12;
constexpr int32_t kSteppedSlot = 11;
constexpr int32_t kFirstSteppedFrame = 9;

// An image and one of its frames.
struct SlotImage {
    PortraitSize size;
    int32_t frame;
};

inline constexpr SlotImage kDrawingSlots[kDrawingSlotCount] = {
    {kSizeLarge, 0},  {kSizeMedium, 0}, {kSizeSmall, 0},  {kSizeMedium, 1}, {kSizeMedium, 2}, {kSizeMedium, 3},
    {kSizeMedium, 4}, {kSizeMedium, 5}, {kSizeMedium, 6}, {kSizeMedium, 7}, {kSizeMedium, 8}, {kSizeMedium, 9},
};

// What a slot shows, slot 11 as frame 9; kSizeNone for a number that is no slot.
SlotImage GetSlotImage(int32_t slot);

// The slot that shows an image's frame: MEDIUM frames 9 and later all go to
// slot 11; LARGE and SMALL have one slot each, which stands for the image.
// -1 for a size that is none of the three or a negative MEDIUM frame.
int32_t FindSlotOfFrame(PortraitSize size, int32_t frame);
