// What the commands ask of the window around the editor model, beyond
// telling the user (ICommandUi): the frame a drawing slot stands for, the
// current portrait's changes saved as moving on saves them (saying what
// failed), an image or the whole portrait loaded again and shown, the
// list's marks read again, the Edit menu's items enabled as they can be
// used, another game folder opened, and a move to another portrait. The
// main dialog is the one window that offers it.
#pragma once

#include <cstdint>
#include <string>

#include "EditorModel.h"

class IEditorView {
public:
    // Which image and frame a drawing slot stands for as shown now (slot 11
    // for the frame its stepper shows), and the selected slot's.
    virtual FrameTarget TargetOfSlot(int32_t slot) const = 0;
    virtual FrameTarget SelectedTarget() const = 0;
    // False, after telling the user why, when a change could not be saved.
    virtual bool SaveCurrentPortrait() = 0;
    virtual void ReloadImage(PortraitSize size) = 0;
    virtual void ReloadPortrait() = 0;
    virtual void RefreshPortraitList() = 0;
    virtual void UpdateEditMenu() = 0;
    virtual bool OpenGameFolder(const std::string& folder) = 0;
    virtual void GoToPortrait(int32_t index) = 0;

protected:
    ~IEditorView() = default;
};
