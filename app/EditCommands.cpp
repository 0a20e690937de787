#include "EditCommands.h"

#include <ctime>
#include <utility>
#include <vector>

#include "CommandMessages.h"
#include "FileSystem.h"
#include "CommandUi.h"
#include "EditorModel.h"
#include "EditorView.h"
#include "Resources.h"
#include "ShownPixels.h"

namespace {

using Outcome = CommandEffects::Outcome;

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
    CPortraitImage& image = m_model.Image(size);
    const ImportOptions options = m_model.GetImportOptions();
    auto fromPath = [&](CPortraitImage& target, ReplaceFailure& why) {
        return target.ReplaceFrame(frame, path, options, why);
    };
    if (options.mode != ImportMode::kFilePalette || image.Header().BitDepth() != GfxHeader::kPaletteDepth ||
        !image.GetFrameSurface(frame))
        return Take(size, frame, quietly, fromPath);
    // A file's palette shows in every frame of the image: the file is read
    // first, and the user told before it lands what else changes colour.
    int32_t width = 0, height = 0;
    image.GetFrameSize(frame, width, height);
    ImportPicture picture;
    ReplaceFailure read;
    if (ReadImportFile(path, width, height, true, options.mode, picture.surface, picture.colours, read) !=
        kImportFileRead)
        return Take(size, frame, quietly, fromPath); // refused as it would be read in place
    const PaletteTakeover takeover = MeasurePaletteTakeover(image, frame, picture.surface->m_pPalette.get());
    if (takeover.otherPixels > 0 && !quietly && m_model.AsksBeforeOverwriting() &&
        !m_ui.AskYesNo(IDS_FILE_PALETTE_ASK,
                       FormatResourceString(IDS_FILE_PALETTE_ASK, {std::to_string(takeover.otherPixels),
                                                                   std::to_string(takeover.otherFrames)}),
                       "Question")) {
        m_ui.RecordOutcome(CommandEffects::kImport, Outcome::kNothing);
        return false;
    }
    return Take(
        size, frame, quietly,
        [&](CPortraitImage& target, ReplaceFailure& why) {
            return target.ReplaceFrame(frame, std::move(picture), options, why);
        },
        takeover);
}

bool CEditCommands::Import(PortraitSize size, int32_t frame, ImportPicture picture, bool quietly)
{
    PaletteTakeover takeover;
    if (m_model.GetImportOptions().mode == ImportMode::kFilePalette && picture.surface)
        takeover = MeasurePaletteTakeover(m_model.Image(size), frame, picture.surface->m_pPalette.get());
    return Take(
        size, frame, quietly,
        [&](CPortraitImage& image, ReplaceFailure& why) {
            return image.ReplaceFrame(frame, std::move(picture), m_model.GetImportOptions(), why);
        },
        takeover);
}

bool CEditCommands::Take(PortraitSize size, int32_t frame, bool quietly,
                         const std::function<int32_t(CPortraitImage& image, ReplaceFailure& why)>& replace,
                         const PaletteTakeover& takeover)
{
    CPortraitImage& image = m_model.Image(size);
    // A change that could never be saved is not taken in the first place.
    std::string overridePath;
    const bool hasFrame = image.GetFrameSurface(frame) != nullptr;
    if (hasFrame && !image.GetOverridePath(overridePath)) {
        m_ui.RecordOutcome(CommandEffects::kImport, Outcome::kFailed);
        m_ui.MessageBox(IDS_FILE_NOT_IMPORTED,
                        LoadResourceString(IDS_FILE_NOT_IMPORTED) + "\n" + LoadResourceString(IDS_REASON_CANNOT_SAVE),
                        "Error");
        return false;
    }
    const std::vector<UndoStep::Image> before = CPortraitEdits::Before(m_model.Images(), {size});
    const std::vector<uint32_t> shownBefore = ShownPixels(image, frame);
    ReplaceFailure why;
    const bool taken = replace(image, why) == CPortraitImage::kReplaceOk;
    m_ui.RecordOutcome(CommandEffects::kImport,
                           !taken ? Outcome::kFailed : hasFrame ? Outcome::kDone : Outcome::kNothing);
    if (taken) {
        m_model.Edits().Record(m_model.CurrentPortrait(), "Import", before, m_model.Images());
        Report(size, frame, CountChanged(shownBefore, ShownPixels(image, frame)), why, takeover);
    }
    m_view.UpdateEditMenu();
    m_ui.RedrawWindow();
    // Indices kept where the palettes differ show other colours than the
    // file: the user is told how many pixels do.
    if (taken && why.recolouredPixels > 0 && !quietly)
        m_ui.MessageBox(IDS_KEPT_INDICES_RECOLOURED,
                            FormatResourceString(IDS_KEPT_INDICES_RECOLOURED, {std::to_string(why.recolouredPixels)}),
                            "Info");
    if (taken)
        return true;
    // The kind of file met, and on a line of its own what to change.
    const ImportRefusal refusal = RefusalOf(why);
    m_ui.MessageBox(refusal.stringId, refusal.text, refusal.caption);
    return false;
}

void CEditCommands::Report(PortraitSize size, int32_t frame, int64_t pixelsChanged, ReplaceFailure& why,
                           const PaletteTakeover& takeover)
{
    ColourLoss& loss = why.colourLoss;
    ImportReport report;
    report.recolouredPixels = why.recolouredPixels;
    report.portrait = m_model.CurrentPortrait();
    report.size = size;
    report.frame = frame;
    report.pixelsChanged = pixelsChanged;
    report.takeover = takeover;
    const CPortraitImage& image = m_model.Image(size);
    image.GetFrameSize(frame, report.width, report.height);
    const CRasterSurface* surface = image.GetFrameSurface(frame);
    // The far pixels are outlined while the frame holds what the import
    // left: its indices are kept to tell. The window's notice says what the
    // model keeps here.
    const bool outlined = loss.farPixels > 0 && surface && surface->m_pBits && surface->m_depth == 8 &&
                          surface->m_width >= report.width &&
                          loss.farMask.size() == static_cast<size_t>(report.width) * static_cast<size_t>(report.height);
    if (outlined)
        for (int32_t y = 0; y < report.height; ++y) {
            const uint8_t* row = surface->m_pBits + static_cast<size_t>(y) * static_cast<size_t>(surface->m_width);
            report.indices.insert(report.indices.end(), row, row + report.width);
        }
    else
        loss.farMask.clear();
    report.colourLoss = std::move(loss);
    m_model.SetLastImport(std::move(report));
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
    const int32_t current = m_model.CurrentPortrait();
    CPortraitEdits& edits = m_model.Edits();
    const CPortraitEdits::Result result =
        undo ? edits.Undo(current, m_model.Images()) : edits.Redo(current, m_model.Images());
    m_ui.RecordOutcome(CommandEffects::kUndo, result == CPortraitEdits::Result::kDone      ? Outcome::kDone
                                                  : result == CPortraitEdits::Result::kNothing ? Outcome::kNothing
                                                                                               : Outcome::kFailed);
    m_view.UpdateEditMenu();
    m_ui.RedrawWindow();
    if (result == CPortraitEdits::Result::kStale && m_model.Record(current))
        m_ui.MessageBox(IDS_UNDO_STALE, FormatResourceString(IDS_UNDO_STALE, {m_model.Record(current)->GetName()}),
                            "Error");
}

void CEditCommands::Revert(bool wholePortrait)
{
    const int32_t current = m_model.CurrentPortrait();
    const PortraitRecord* record = m_model.Record(current);
    if (!record)
        return;
    const PortraitSize selected = m_view.SelectedTarget().size;
    std::vector<PortraitSize> sizes;
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size)
        if (record->entryIndex[size] >= 0 && (wholePortrait || size == selected) &&
            !m_model.Image(size).IsOriginal())
            sizes.push_back(size);
    const std::vector<UndoStep::Image> before = CPortraitEdits::Before(m_model.Images(), sizes);

    // Each image's override file is moved aside, and the image loads from
    // the archive; its unsaved changes go with it, into the undo history.
    const std::time_t now = std::time(nullptr);
    RevertResult failure;
    for (PortraitSize size : sizes) {
        const RevertResult r = m_model.MoveOverrideAside(size, now);
        for (const RevertedFile& file : r.moved) {
            m_ui.RecordRemoved(file.from);
            m_ui.RecordWritten(file.to);
        }
        if (r.result != RevertResult::kOk)
            failure = r;
    }
    m_model.Edits().Record(current, "Revert", before, m_model.Images());
    m_view.RefreshPortraitList();
    m_view.UpdateEditMenu();
    m_ui.RedrawWindow();
    if (failure.result != RevertResult::kOk) {
        const int32_t text = failure.result == RevertResult::kCannotCreateFolder ? IDS_REVERT_NO_FOLDER
                             : failure.result == RevertResult::kFolderBusy      ? IDS_FOLDER_BUSY
                                                                                : IDS_REVERT_MOVE_FAILED;
        m_ui.RecordOutcome(CommandEffects::kRevert, Outcome::kFailed);
        m_ui.MessageBox(text, FormatResourceString(text, {failure.failedPath}), "Error");
    } else if (sizes.empty()) {
        m_ui.RecordOutcome(CommandEffects::kRevert, Outcome::kNothing);
        if (wholePortrait)
            m_ui.MessageBox(IDS_REVERT_NOTHING, FormatResourceString(IDS_REVERT_NOTHING, {record->GetName()}),
                                "Info");
        else
            m_ui.MessageBox(
                IDS_REVERT_IMAGE_NOTHING,
                FormatResourceString(IDS_REVERT_IMAGE_NOTHING, {kSizeNames[selected], record->GetName()}), "Info");
    } else {
        m_ui.RecordOutcome(CommandEffects::kRevert, Outcome::kDone);
    }
}
