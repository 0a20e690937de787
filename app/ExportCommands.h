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

class CPortraitEditorDlg;

class CExportCommands {
public:
    explicit CExportCommands(CPortraitEditorDlg& dialog) : m_dialog(dialog) {}

    void Export();
    void ExportAll();
    void CreateArchive();

private:
    bool HasPixels(PortraitSize size, int32_t frame) const;
    void ExportImageFrame(PortraitSize size, int32_t frame, const std::string& fileName);
    void Report();

    CPortraitEditorDlg& m_dialog;
    int32_t m_written = 0;
    int32_t m_declined = 0; // files the user chose to keep
    std::vector<std::string> m_failed;
};
