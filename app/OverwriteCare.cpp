#include "OverwriteCare.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "CommandUi.h"
#include "FileSystem.h"
#include "GameArchive.h"
#include "PortraitImage.h"
#include "Resources.h"


bool COverwriteCare::MayExport(ICommandUi& ui, const CPortraitImage& image, int32_t frame, ExportFormat format,
                               const std::string& path)
{
    // Something at the path that is no file fails the export, which says so.
    if (!CFileSystem::FileExists(path))
        return true;
    std::vector<uint8_t> bytes;
    if (!image.EncodeFrame(frame, format, bytes) || CFileSystem::HoldsBytes(CFileSystem::ResolvePath(path), bytes))
        return true;
    const std::string shown = CFileSystem::ResolvePath(path);
    return ui.AskYesNo(IDS_OVERWRITE_EDITED_EXPORT, FormatResourceString(IDS_OVERWRITE_EDITED_EXPORT, {shown}),
                           "Question");
}

bool COverwriteCare::MayPack(ICommandUi& ui, const std::string& target, size_t files)
{
    if (files != 0)
        return true;
    CGameArchive patch;
    if (patch.Open(target) != CGameArchive::kOpenOk || patch.GetEntryCount() <= 0)
        return true;
    const std::string shown = CFileSystem::ResolvePath(target);
    return ui.AskYesNo(IDS_REPLACE_PATCH_BY_EMPTY,
                           FormatResourceString(IDS_REPLACE_PATCH_BY_EMPTY,
                                                {shown, std::to_string(patch.GetEntryCount())}),
                           "Question");
}
