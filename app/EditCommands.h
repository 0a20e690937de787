// The edits of the current portrait's images, and their undo: importing a
// file into a slot, reverting an image or the whole portrait to the game
// archive's (its override files moved to Portraits\Reverted), and undoing
// and redoing these. They work through the dialog, which keeps the
// histories (CPortraitEdits) for the run.
#pragma once

#include <cstdint>
#include <string>

class CPortraitEditorDlg;

class CEditCommands {
public:
    explicit CEditCommands(CPortraitEditorDlg& dialog) : m_dialog(dialog) {}

    // The Edit menu's items; false for an id that is none of them.
    bool Choose(int32_t id);

    // Imports the file into the image and frame the slot stands for, as
    // Import does; true when the file was taken.
    bool Import(int32_t slot, const std::string& path);
    void Undo();
    void Redo();
    // The image of the selected slot, or every image of the portrait.
    void Revert(bool wholePortrait);

private:
    void Step(bool undo);

    CPortraitEditorDlg& m_dialog;
};
