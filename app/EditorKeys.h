// What the keys do in the editor's view. Left and Page Up browse to the
// previous portrait, Right and Page Down to the next, as the scroll bar's
// arrows do; Home and End go to the first and the last portrait, as the
// bar's edges do; Up and Down select the previous and the next drawing slot
// in slot order, stopping at the first and the last. Tab is left to the
// controls' focus, Enter and Escape to the dialog manager.
#pragma once

#include <cstdint>

class CEditorKeys {
public:
    // What one key does: a scroll-bar notification code for the browse, and
    // the slot to select; -1 where the key does neither.
    struct Action {
        int32_t scrollCode = -1;
        int32_t slot = -1;
    };

    // The action of the key (a KeyDown code) with selectedSlot selected
    // among slotCount slots.
    static Action ForKey(uint32_t key, int32_t selectedSlot, int32_t slotCount);
};
