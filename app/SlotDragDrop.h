// Files dragged onto the slots and slots dragged out as files: a TGA or PNG
// file dropped on a slot is imported into its frame as Import takes a file,
// and a slot dragged out is exported as a PNG file below Portraits\Dragged,
// which the host then drags to wherever the user drops it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "DialogMessage.h"

class CPortraitEditorDlg;

class CSlotDragDrop {
public:
    explicit CSlotDragDrop(CPortraitEditorDlg& dialog) : m_dialog(dialog) {}

    // A drop beside the slots does nothing; several files, or one that is
    // neither TGA nor PNG by its name, are refused with a box.
    void Drop(ClientPoint point, const std::vector<std::string>& paths);
    // A drag from a slot that shows no frame does nothing.
    void BeginDrag(ClientPoint point);

    // The drawing slot at the point, all four edges inside; -1 for none.
    static int32_t SlotAt(ClientPoint point);

private:
    CPortraitEditorDlg& m_dialog;
};
