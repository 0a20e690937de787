#include "LiveEditing.h"

#include <memory>
#include <vector>

#include "CommandMessages.h"
#include "CommandUi.h"
#include "DialogHost.h"
#include "EditCommands.h"
#include "EditorView.h"
#include "FrameExchange.h"
#include "Resources.h"

void CLiveEditing::Begin()
{
    const PortraitRecord* record = m_model.Record(m_model.CurrentPortrait());
    IDialogHost* host = m_ui.Host();
    if (!record || !host)
        return;
    const FrameTarget target = m_view.SelectedTarget();
    // Written anew, the working file would lose what the modder painted
    // since the last save that could be taken.
    if (m_active && m_portrait == m_model.CurrentPortrait() && m_size == target.size && m_frame == target.frame) {
        if (!host->OpenWithDefaultProgram(m_path))
            m_ui.MessageBox(IDS_EDIT_NOT_OPENED, FormatResourceString(IDS_EDIT_NOT_OPENED, {m_path}), "Error");
        return;
    }
    Stop();
    const CRasterSurface* surface = m_model.Image(target.size).GetFrameSurface(target.frame);
    if (!surface || !surface->m_pBits) {
        m_ui.MessageBox(IDS_EDIT_NO_FRAME, LoadResourceString(IDS_EDIT_NO_FRAME), "Error");
        return;
    }
    std::string path;
    int error = 0;
    if (!m_model.WriteFrameFile(target, m_model.Folder().EditingFolder(), m_model.GetExportFormat(), path, error)) {
        m_ui.MessageBox(IDS_EDIT_NOT_WRITTEN, FormatResourceString(IDS_EDIT_NOT_WRITTEN, {NotWrittenText(path, error)}),
                        "Error");
        return;
    }
    m_ui.RecordWritten(path);
    m_active = true;
    m_portrait = m_model.CurrentPortrait();
    m_size = target.size;
    m_frame = target.frame;
    m_path = path;
    m_failure.clear();
    // Watched before the program starts, so that no early save is missed.
    host->WatchFile(m_path);
    if (!host->OpenWithDefaultProgram(m_path))
        m_ui.MessageBox(IDS_EDIT_NOT_OPENED, FormatResourceString(IDS_EDIT_NOT_OPENED, {m_path}), "Error");
}

void CLiveEditing::OnFileChanged(const std::string& path)
{
    // An editor writes a file in several steps: each change waits anew.
    if (m_active && path == m_path && m_ui.Host()) {
        m_ui.Host()->SetTimer(ID_TIMER_LIVE_EDITING, kSettleMilliseconds);
        m_settling = true;
    }
}

void CLiveEditing::OnTimer(int32_t id)
{
    // While a save is being taken (a box of the import is open) the timer
    // stays set, so that a later save is taken after it.
    if (id != ID_TIMER_LIVE_EDITING || m_taking)
        return;
    if (m_ui.Host())
        m_ui.Host()->KillTimer(ID_TIMER_LIVE_EDITING);
    m_settling = false;
    if (!m_active)
        return;
    m_taking = true;
    const struct Taken {
        bool& taking;
        ~Taken() { taking = false; }
    } taken{m_taking};
    TakeSave();
}

void CLiveEditing::TakeSave()
{
    // The file is read on its own first: a save still being written (or of
    // another size) is let be without a box, and the next save tries again.
    const CPortraitImage& image = m_model.Image(m_size);
    int32_t width = 0, height = 0;
    image.GetFrameSize(m_frame, width, height);
    ImportPicture picture;
    ReplaceFailure why;
    const bool paletteImage = image.Header().BitDepth() == GfxHeader::kPaletteDepth;
    if (ReadImportFile(m_path, width, height, paletteImage, m_model.GetImportOptions().mode, picture.surface,
                       picture.colours, why) != kImportFileRead) {
        why.frameWidth = width;
        why.frameHeight = height;
        const std::string reason = ReplaceFailureText(why);
        m_failure = reason.empty() ? LoadResourceString(IDS_TGA_NOT_LOADED) : reason;
        return;
    }
    m_failure.clear();
    // Taken as read, not read again.
    CEditCommands(m_model, m_ui, m_view).Import(m_size, m_frame, std::move(picture), true);
}

void CLiveEditing::OnPortraitLeaving()
{
    if (m_active && m_settling)
        OnTimer(ID_TIMER_LIVE_EDITING);
}

void CLiveEditing::OnPortraitShown(int32_t portrait)
{
    if (m_active && portrait != m_portrait)
        Stop();
}

void CLiveEditing::Stop()
{
    if (!m_active)
        return;
    m_active = false;
    m_settling = false;
    if (IDialogHost* host = m_ui.Host()) {
        host->StopWatching();
        host->KillTimer(ID_TIMER_LIVE_EDITING);
    }
    const std::string path = m_path, failure = m_failure;
    m_path.clear();
    m_failure.clear();
    if (!failure.empty())
        m_ui.MessageBox(IDS_EDIT_LAST_SAVE_NOT_TAKEN,
                            FormatResourceString(IDS_EDIT_LAST_SAVE_NOT_TAKEN, {path, failure}), "Error");
}
