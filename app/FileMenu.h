// The File menu's commands over the whole catalogue, on the editor's dialog
// and through the same operations as the command-line tool: the export and
// the import of the catalogue, with the host's folder chooser and progress
// dialog, the check of the override files, and the revert of the current
// portrait. Each tells the user what it came to in one box and notes it in
// the host's record of effects.
#pragma once

#include <cstdint>

class CPortraitEditorDlg;

class CFileMenu {
public:
    explicit CFileMenu(CPortraitEditorDlg& dialog) : m_dialog(dialog) {}

    // Runs the command of a File menu item; false for an id that is none of them.
    bool Choose(int32_t id);

    void ExportCatalogue();
    void ImportCatalogue();
    void Validate();
    void RevertPortrait();

private:
    CPortraitEditorDlg& m_dialog;
};
