// The buttons that write files for other programs: Export (the selected
// frame) and Export All (every frame of the portrait) into Portraits, and
// Create Archive (the patch archive of every override file). In the window
// they ask before they overwrite what the modder may want to keep
// (COverwriteCare). One object serves one command.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "PortraitTypes.h"

class CEditorModel;
class ICommandUi;
class IEditorView;

class CExportCommands {
public:
    CExportCommands(CEditorModel& model, ICommandUi& ui, IEditorView& view) : m_model(model), m_ui(ui), m_view(view)
    {
    }

    void Export();
    void ExportAll();
    void CreateArchive();

private:
    // Whether a pack can go on: PATCHES is there, or the window offered to
    // make it (Yes the default) and made it. No leaves everything as it was.
    bool HavePatchesFolder();
    bool HasPixels(PortraitSize size, int32_t frame) const;
    void ExportImageFrame(PortraitSize size, int32_t frame, const std::string& fileName);
    void Report();

    CEditorModel& m_model;
    ICommandUi& m_ui;
    IEditorView& m_view;
    int32_t m_written = 0;
    std::string m_lastWritten; // the host path of the last file written
    int32_t m_declined = 0; // files the user chose to keep
    std::vector<std::string> m_failed;
};
