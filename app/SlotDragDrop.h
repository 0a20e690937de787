// Files dragged onto the slots and slots dragged out as files: a TGA or PNG
// file dropped on a slot is imported into its frame as Import takes a file,
// and a slot dragged out is exported as a PNG file below Portraits\Dragged,
// which the host then drags to wherever the user drops it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "DialogMessage.h"

class CEditorModel;
class ICommandUi;
class IEditorView;

class CSlotDragDrop {
public:
    CSlotDragDrop(CEditorModel& model, ICommandUi& ui, IEditorView& view) : m_model(model), m_ui(ui), m_view(view) {}

    // A drop beside the slots does nothing; several files, or one that is
    // neither TGA nor PNG by its name, are refused with a box.
    void Drop(ClientPoint point, const std::vector<std::string>& paths);
    // A drag from a slot that shows no frame does nothing.
    void BeginDrag(ClientPoint point);

private:
    CEditorModel& m_model;
    ICommandUi& m_ui;
    IEditorView& m_view;
};
