// The File menu's commands over the whole catalogue, on the editor's dialog
// and through the same operations as the command-line tool: the export and
// the import of the catalogue, with the host's folder chooser and progress
// dialog, the check of the override files, and the revert of the current
// portrait. Each tells the user what it came to in one box and notes it in
// the host's record of effects.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "MenuTemplate.h"

class CEditorModel;
class ICommandUi;
class IEditorView;

class CFileMenu {
public:
    CFileMenu(CEditorModel& model, ICommandUi& ui, IEditorView& view) : m_model(model), m_ui(ui), m_view(view) {}

    // Runs the command of a File menu item; false for an id that is none of them.
    bool Choose(int32_t id);

    void ExportCatalogue();
    void ImportCatalogue();
    void Validate();
    void RevertPortrait();
    // Asks for a game folder and opens it.
    void OpenGameFolder();

    // The menu bar with the recent game folders in the File menu, after
    // Open Game Folder: "&1 /path", ...
    static MenuTemplate MenuWithRecentFolders(const std::vector<std::string>& recent);

private:
    CEditorModel& m_model;
    ICommandUi& m_ui;
    IEditorView& m_view;
};
