#include "EditorKeys.h"

#include "DialogMessage.h"

CEditorKeys::Action CEditorKeys::ForKey(uint32_t key, int32_t selectedSlot, int32_t slotCount)
{
    Action action;
    switch (key) {
    case VK_LEFT:
    case VK_PRIOR:
        action.scrollCode = SB_LINELEFT;
        break;
    case VK_RIGHT:
    case VK_NEXT:
        action.scrollCode = SB_LINERIGHT;
        break;
    case VK_HOME:
        action.scrollCode = SB_TOP;
        break;
    case VK_END:
        action.scrollCode = SB_BOTTOM;
        break;
    case VK_UP:
        action.slot = selectedSlot > 0 ? selectedSlot - 1 : 0;
        break;
    case VK_DOWN:
        action.slot = selectedSlot + 1 < slotCount ? selectedSlot + 1 : slotCount - 1;
        break;
    default:
        break;
    }
    return action;
}
