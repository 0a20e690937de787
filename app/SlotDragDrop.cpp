#include "SlotDragDrop.h"

#include <cctype>

#include "CommandMessages.h"
#include "CommandUi.h"
#include "DialogHost.h"
#include "EditCommands.h"
#include "EditorView.h"
#include "PortraitView.h"
#include "Resources.h"

namespace {

bool HasImportName(const std::string& path)
{
    if (path.size() < 4)
        return false;
    std::string suffix = path.substr(path.size() - 4);
    for (char& c : suffix)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return suffix == ".tga" || suffix == ".png";
}

} // namespace

void CSlotDragDrop::Drop(ClientPoint point, const std::vector<std::string>& paths)
{
    const int32_t slot = CPortraitView::SlotAt(point);
    if (slot < 0 || m_model.CurrentPortrait() < 0)
        return;
    if (paths.size() != 1 || !HasImportName(paths.front())) {
        m_ui.MessageBox(IDS_DROP_ONE_FILE, LoadResourceString(IDS_DROP_ONE_FILE), "Error");
        return;
    }
    const FrameTarget target = m_view.TargetOfSlot(slot);
    CEditCommands(m_model, m_ui, m_view).Import(target.size, target.frame, paths.front());
}

void CSlotDragDrop::BeginDrag(ClientPoint point)
{
    const int32_t slot = CPortraitView::SlotAt(point);
    if (slot < 0 || !m_model.Record(m_model.CurrentPortrait()))
        return;
    const FrameTarget target = m_view.TargetOfSlot(slot);
    const CRasterSurface* surface = m_model.Image(target.size).GetFrameSurface(target.frame);
    if (!surface || !surface->m_pBits)
        return;
    // Written as Export writes the frame in PNG, below Portraits.
    std::string path;
    int error = 0;
    if (!m_model.WriteFrameFile(target, m_model.Folder().DraggedFolder(), ExportFormat::kPng, path, error)) {
        m_ui.MessageBox(IDS_EXPORT_FAILED, FormatResourceString(IDS_EXPORT_FAILED, {NotWrittenText(path, error)}),
                        "Error");
        return;
    }
    m_ui.RecordWritten(path);
    if (IDialogHost* host = m_ui.Host())
        host->StartFileDrag(path);
}
