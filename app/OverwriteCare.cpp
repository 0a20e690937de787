#include "OverwriteCare.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "Dialog.h"
#include "FileSystem.h"
#include "GameArchive.h"
#include "PortraitImage.h"
#include "Resources.h"

namespace {

// Whether the regular file at path holds exactly `bytes`. It is read a
// block at a time against them, so that its size decides no allocation.
bool HoldsBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FileHandle file = CFileSystem::OpenForReading(path);
    if (!file || CFileSystem::GetFileSize(file.get()) != static_cast<int64_t>(bytes.size()))
        return false;
    uint8_t block[65536];
    size_t at = 0;
    for (size_t n = 0; (n = std::fread(block, 1, sizeof block, file.get())) > 0; at += n)
        if (n > bytes.size() - at || std::memcmp(block, bytes.data() + at, n) != 0)
            return false;
    return at == bytes.size();
}

} // namespace

bool COverwriteCare::MayExport(CDialog& dialog, const CPortraitImage& image, int32_t frame, ExportFormat format,
                               const std::string& path)
{
    // Something at the path that is no file fails the export, which says so.
    if (!CFileSystem::FileExists(path))
        return true;
    std::vector<uint8_t> bytes;
    if (!image.EncodeFrame(frame, format, bytes) || HoldsBytes(path, bytes))
        return true;
    const std::string shown = CFileSystem::ResolvePath(path);
    return dialog.AskYesNo(IDS_OVERWRITE_EDITED_EXPORT, FormatResourceString(IDS_OVERWRITE_EDITED_EXPORT, {shown}),
                           "Info");
}

bool COverwriteCare::MayPack(CDialog& dialog, const std::string& target, size_t files)
{
    if (files != 0)
        return true;
    CGameArchive patch;
    if (patch.Open(target) != CGameArchive::kOpenOk || patch.GetEntryCount() <= 0)
        return true;
    const std::string shown = CFileSystem::ResolvePath(target);
    return dialog.AskYesNo(IDS_REPLACE_PATCH_BY_EMPTY,
                           FormatResourceString(IDS_REPLACE_PATCH_BY_EMPTY,
                                                {shown, std::to_string(patch.GetEntryCount())}),
                           "Info");
}
