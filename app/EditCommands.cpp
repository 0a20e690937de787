#include "EditCommands.h"

#include <ctime>
#include <vector>

#include "CommandMessages.h"
#include "FileSystem.h"
#include "PortraitEditorDlg.h"
#include "Resources.h"

namespace {

using Outcome = CommandEffects::Outcome;

// The images' snapshots before an edit of the given sizes.
std::vector<UndoStep::Image> Before(CPortraitEditorDlg& dialog, const std::vector<PortraitSize>& sizes)
{
    std::vector<UndoStep::Image> before;
    for (PortraitSize size : sizes) {
        UndoStep::Image image;
        image.size = size;
        if (dialog.EditImage(size).TakeSnapshot(image.before))
            before.push_back(std::move(image));
    }
    return before;
}

} // namespace

bool CEditCommands::Choose(int32_t id)
{
    switch (id) {
    case ID_EDIT_UNDO: Undo(); return true;
    case ID_EDIT_REDO: Redo(); return true;
    case ID_EDIT_REVERT_IMAGE: Revert(false); return true;
    case ID_EDIT_REVERT_PORTRAIT: Revert(true); return true;
    default: return false;
    }
}

bool CEditCommands::Import(PortraitSize size, int32_t frame, const std::string& path, bool quietly)
{
    CPortraitImage& image = m_dialog.EditImage(size);
    // A change that could never be saved is not taken in the first place.
    std::string overridePath;
    const bool hasFrame = image.GetFrameSurface(frame) != nullptr;
    if (hasFrame && !image.GetOverridePath(overridePath)) {
        m_dialog.RecordOutcome(CommandEffects::kImport, Outcome::kFailed);
        m_dialog.MessageBox(IDS_TGA_NOT_LOADED,
                            LoadResourceString(IDS_TGA_NOT_LOADED) + "\n" + LoadResourceString(IDS_REASON_CANNOT_SAVE),
                            "Info");
        return false;
    }
    const std::vector<UndoStep::Image> before = Before(m_dialog, {size});
    ReplaceFailure why;
    const bool taken = image.ReplaceFrame(frame, path, m_dialog.GetImportOptions(), why) == CPortraitImage::kReplaceOk;
    m_dialog.RecordOutcome(CommandEffects::kImport,
                           !taken ? Outcome::kFailed : hasFrame ? Outcome::kDone : Outcome::kNothing);
    if (taken)
        m_dialog.Edits().Record(m_dialog.CurrentPortrait(), "Import", before, m_dialog.EditImages());
    m_dialog.UpdateEditMenu();
    m_dialog.RedrawWindow();
    // Indices kept where the palettes differ show other colours than the
    // file: the user is told how many pixels do.
    if (taken && why.recolouredPixels > 0 && !quietly)
        m_dialog.MessageBox(IDS_KEPT_INDICES_RECOLOURED,
                            FormatResourceString(IDS_KEPT_INDICES_RECOLOURED, {std::to_string(why.recolouredPixels)}),
                            "Info");
    if (taken)
        return true;
    // String 5 as it is, and on a line of its own what to change.
    const std::string reason = ReplaceFailureText(why);
    m_dialog.MessageBox(IDS_TGA_NOT_LOADED,
                        LoadResourceString(IDS_TGA_NOT_LOADED) + (reason.empty() ? "" : "\n" + reason), "Info");
    return false;
}

void CEditCommands::Undo()
{
    Step(true);
}

void CEditCommands::Redo()
{
    Step(false);
}

void CEditCommands::Step(bool undo)
{
    const int32_t current = m_dialog.CurrentPortrait();
    CPortraitEdits& edits = m_dialog.Edits();
    const CPortraitEdits::Result result =
        undo ? edits.Undo(current, m_dialog.EditImages()) : edits.Redo(current, m_dialog.EditImages());
    m_dialog.RecordOutcome(CommandEffects::kUndo, result == CPortraitEdits::Result::kDone      ? Outcome::kDone
                                                  : result == CPortraitEdits::Result::kNothing ? Outcome::kNothing
                                                                                               : Outcome::kFailed);
    m_dialog.UpdateEditMenu();
    m_dialog.RedrawWindow();
    if (result == CPortraitEdits::Result::kStale && m_dialog.Record(current))
        m_dialog.MessageBox(IDS_UNDO_STALE, FormatResourceString(IDS_UNDO_STALE, {m_dialog.Record(current)->GetName()}),
                            "Info");
}

void CEditCommands::Revert(bool wholePortrait)
{
    const int32_t current = m_dialog.CurrentPortrait();
    const PortraitRecord* record = m_dialog.Record(current);
    if (!record)
        return;
    PortraitSize selected = kSizeLarge;
    int32_t frame = 0;
    m_dialog.GetSlotImageFrame(m_dialog.SelectedSlot(), selected, frame);
    std::vector<PortraitSize> sizes;
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size)
        if (record->entryIndex[size] >= 0 && (wholePortrait || size == selected) &&
            !m_dialog.EditImage(size).IsOriginal())
            sizes.push_back(size);
    const std::vector<UndoStep::Image> before = Before(m_dialog, sizes);

    // Each image's override file is moved aside, and the image loads from
    // the archive; its unsaved changes go with it, into the undo history.
    const std::time_t now = std::time(nullptr);
    RevertResult failure;
    for (PortraitSize size : sizes) {
        const RevertResult r = m_dialog.CatalogueOperations().Revert(current, false, size, now);
        for (const RevertedFile& file : r.moved) {
            m_dialog.RecordRemoved(file.from);
            m_dialog.RecordWritten(file.to);
        }
        if (r.result != RevertResult::kOk) {
            failure = r;
            continue;
        }
        m_dialog.ReloadImage(size);
    }
    m_dialog.Edits().Record(current, "Revert", before, m_dialog.EditImages());
    m_dialog.RefreshPortraitList();
    m_dialog.UpdateEditMenu();
    m_dialog.RedrawWindow();
    if (failure.result != RevertResult::kOk) {
        const int32_t text = failure.result == RevertResult::kCannotCreateFolder ? IDS_REVERT_NO_FOLDER
                             : failure.result == RevertResult::kFolderBusy      ? IDS_FOLDER_BUSY
                                                                                : IDS_REVERT_MOVE_FAILED;
        m_dialog.RecordOutcome(CommandEffects::kRevert, Outcome::kFailed);
        m_dialog.MessageBox(text, FormatResourceString(text, {failure.failedPath}), "Error");
    } else if (sizes.empty()) {
        m_dialog.RecordOutcome(CommandEffects::kRevert, Outcome::kNothing);
        if (wholePortrait)
            m_dialog.MessageBox(IDS_REVERT_NOTHING, FormatResourceString(IDS_REVERT_NOTHING, {record->GetName()}),
                                "Info");
        else
            m_dialog.MessageBox(
                IDS_REVERT_IMAGE_NOTHING,
                FormatResourceString(IDS_REVERT_IMAGE_NOTHING, {kSizeNames[selected], record->GetName()}), "Info");
    } else {
        m_dialog.RecordOutcome(CommandEffects::kRevert, Outcome::kDone);
    }
}
