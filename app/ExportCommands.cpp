#include "ExportCommands.h"

#include <algorithm>
#include <cerrno>

#include "CommandMessages.h"
#include "CommandUi.h"
#include "ExportFileName.h"
#include "FileSystem.h"
#include "GameArchive.h"
#include "OverwriteCare.h"
#include "EditorModel.h"
#include "EditorView.h"
#include "RasterSurface.h"
#include "Resources.h"

namespace {

using Outcome = CommandEffects::Outcome;

} // namespace

void CExportCommands::ExportImageFrame(PortraitSize size, int32_t frame, const std::string& fileName)
{
    // The portrait's name comes from the archive: a name that could leave
    // the Portraits folder writes nothing.
    const std::string path = m_model.Folder().PortraitsFolder() + "\\" + fileName;
    const bool safe = CFileSystem::IsSafeFileName(fileName);
    if (safe && m_model.AsksBeforeOverwriting() &&
        !COverwriteCare::MayExport(m_ui, m_model.Image(size), frame, m_model.GetExportFormat(), path)) {
        ++m_declined;
        return;
    }
    // The file is put in place whole, or the one before stays as it was.
    errno = 0;
    if (!safe || m_model.Image(size).ExportFrame(frame, path, m_model.GetExportFormat()) != 1) {
        m_failed.push_back(NotWrittenText(CFileSystem::ResolvePath(path), safe ? errno : EINVAL));
        return;
    }
    m_lastWritten = CFileSystem::ResolvePath(path);
    m_ui.RecordWritten(m_lastWritten);
    ++m_written;
}

bool CExportCommands::HasPixels(PortraitSize size, int32_t frame) const
{
    const CRasterSurface* surface = m_model.Image(size).GetFrameSurface(frame);
    return surface && surface->m_pBits;
}

void CExportCommands::Report()
{
    std::string paths;
    for (const std::string& path : m_failed)
        paths += (paths.empty() ? "" : "\n") + path;
    if (!m_failed.empty()) {
        // Files written before or after the one that failed are not gone.
        const int32_t text = m_written > 0 ? IDS_EXPORT_SOME_FAILED : IDS_EXPORT_FAILED;
        m_ui.RecordOutcome(CommandEffects::kExport, Outcome::kFailed);
        m_ui.MessageBox(text, FormatResourceString(text, {paths}), "Error");
    } else if (m_written == 0) {
        m_ui.RecordOutcome(CommandEffects::kExport, Outcome::kNothing);
        const int32_t text = m_declined > 0 ? IDS_EXPORT_KEPT_FILES : IDS_NOTHING_TO_EXPORT;
        m_ui.MessageBox(text, LoadResourceString(text), m_declined > 0 ? "Info" : "Error");
    } else {
        // The file written, or the folder of the files.
        const std::string folder = m_lastWritten.substr(0, m_lastWritten.find_last_of('/'));
        const std::string written =
            m_written == 1 ? FormatResourceString(IDS_EXPORT_WROTE_FILE, {m_lastWritten})
                           : FormatResourceString(IDS_EXPORT_WROTE_FILES, {std::to_string(m_written), folder});
        m_ui.RecordOutcome(CommandEffects::kExport, Outcome::kDone);
        m_ui.MessageBox(IDS_PORTRAIT_SAVED, LoadResourceString(IDS_PORTRAIT_SAVED) + "\n" + written, "Info");
    }
}

void CExportCommands::ExportAll()
{
    const PortraitRecord* record = m_model.Record(m_model.CurrentPortrait());
    if (!record)
        return;
    CFileSystem::CreateFolder(m_model.Folder().PortraitsFolder());
    const std::string name = record->GetName();
    const ExportFormat format = m_model.GetExportFormat();
    auto exportTo = [&](PortraitSize size, int32_t frame) {
        if (HasPixels(size, frame))
            ExportImageFrame(size, frame, ExportFileName(name, size, frame, ExportScope::kAllFrames, format));
    };
    exportTo(kSizeLarge, 0);
    for (int32_t f = 0; f < m_model.Image(kSizeMedium).Header().FrameCount(); ++f)
        exportTo(kSizeMedium, f);
    exportTo(kSizeSmall, 0);
    Report();
}

void CExportCommands::Export()
{
    const PortraitRecord* record = m_model.Record(m_model.CurrentPortrait());
    if (!record)
        return;
    const std::string name = record->GetName();
    const auto [size, frame] = m_view.SelectedTarget();
    const std::string fileName =
        ExportFileName(name, size, frame, ExportScope::kOneFrame, m_model.GetExportFormat());
    if (HasPixels(size, frame)) {
        CFileSystem::CreateFolder(m_model.Folder().PortraitsFolder());
        ExportImageFrame(size, frame, fileName);
    }
    Report();
}

bool CExportCommands::HavePatchesFolder()
{
    // Only the window asks; portrait-tool says how to make the folder instead.
    const std::string folder = m_model.Folder().PatchesFolder();
    if (!m_model.AsksBeforeOverwriting() || CFileSystem::PathExists(folder))
        return true;
    const std::string shown = CFileSystem::ResolvePath(folder);
    if (!m_ui.AskYesNoDefaultYes(IDS_CREATE_PATCHES_ASK, FormatResourceString(IDS_CREATE_PATCHES_ASK, {shown}),
                                 "Info")) {
        m_ui.RecordOutcome(CommandEffects::kPack, Outcome::kCancelled);
        return false;
    }
    errno = 0;
    if (CFileSystem::CreateFolder(folder))
        return true;
    m_ui.RecordOutcome(CommandEffects::kPack, Outcome::kFailed);
    m_ui.MessageBox(IDS_PATCHES_NOT_CREATED,
                    FormatResourceString(IDS_PATCHES_NOT_CREATED, {NotWrittenText(shown, errno)}), "Error");
    return false;
}

void CExportCommands::CreateArchive()
{
    // Asked before anything is saved, so that No changes nothing. The patch
    // packs what the window shows: the current portrait's changes are saved
    // first, as moving on would save them.
    if (!HavePatchesFolder() || !m_view.SaveCurrentPortrait())
        return;
    const CCatalogueOperations operations = m_model.Operations();
    const std::string target = CFileSystem::ResolvePath(CCatalogueOperations::PackTarget(m_model.BaseDir()));
    if (m_model.AsksBeforeOverwriting()) {
        const std::vector<PackSource> sources = operations.PackSources();
        const auto taken = std::count_if(sources.begin(), sources.end(), [](const PackSource& s) { return s.taken; });
        if (!COverwriteCare::MayPack(m_ui, target, static_cast<size_t>(taken))) {
            m_ui.RecordOutcome(CommandEffects::kPack, Outcome::kCancelled);
            return;
        }
    }
    const PackResult packed = operations.Pack();
    if (packed.result != CGameArchive::kWriteOk) {
        // Silence would look as if it had worked, so the user is told what
        // went wrong.
        const std::string why = packed.result == PackResult::kFolderBusy
                                    ? LoadResourceString(IDS_FOLDER_BUSY)
                                    : PackFailureText(packed.result, CFileSystem::ResolvePath(packed.failedSource),
                                                      packed.error);
        m_ui.RecordOutcome(CommandEffects::kPack, Outcome::kFailed);
        m_ui.MessageBox(IDS_PACK_FAILED, FormatResourceString(IDS_PACK_FAILED, {target, why}), "Error");
        return;
    }
    m_ui.RecordWritten(target);
    std::string leftOut, differences;
    for (const PackSource& source : packed.sources) {
        if (!source.taken)
            leftOut += "\n" + source.resolvedPath + ": " + source.reason;
        for (const std::string& difference : source.warnings)
            differences += "\n" + source.resolvedPath + ": " + difference;
    }
    const std::string note =
        differences.empty() ? std::string() : "\n\n" + FormatResourceString(IDS_PACK_DIFFERENCES, {differences.substr(1)});
    // A damaged file never reaches the game; the patch holds the others, and
    // the user learns which were left out.
    if (!leftOut.empty()) {
        m_ui.RecordOutcome(CommandEffects::kPack, Outcome::kFailed);
        m_ui.MessageBox(IDS_PACK_LEFT_OUT,
                            FormatResourceString(IDS_PACK_LEFT_OUT, {target, leftOut.substr(1)}) + note, "Error");
        return;
    }
    m_ui.RecordOutcome(CommandEffects::kPack, Outcome::kDone);
    m_ui.MessageBox(IDS_ARCHIVE_CREATED, LoadResourceString(IDS_ARCHIVE_CREATED) + note, "Info");
}
