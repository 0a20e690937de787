#include "SlotDragDrop.h"

#include <cctype>
#include <cerrno>

#include "CommandMessages.h"
#include "ExportFileName.h"
#include "FileSystem.h"
#include "GameFolder.h"
#include "PortraitEditorDlg.h"
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

int32_t CSlotDragDrop::SlotAt(ClientPoint point)
{
    for (int32_t slot = 0; slot < CPortraitEditorDlg::kSlotCount; ++slot) {
        PixelRect r{};
        CPortraitEditorDlg::GetSlotRect(slot, r);
        if (point.x >= r.left && point.x <= r.right && point.y >= r.top && point.y <= r.bottom)
            return slot;
    }
    return -1;
}

void CSlotDragDrop::Drop(ClientPoint point, const std::vector<std::string>& paths)
{
    const int32_t slot = SlotAt(point);
    if (slot < 0 || m_dialog.CurrentPortrait() < 0)
        return;
    if (paths.size() != 1 || !HasImportName(paths.front())) {
        m_dialog.MessageBox(IDS_DROP_ONE_FILE, LoadResourceString(IDS_DROP_ONE_FILE), "Info");
        return;
    }
    m_dialog.ImportIntoSlot(slot, paths.front());
}

void CSlotDragDrop::BeginDrag(ClientPoint point)
{
    const int32_t slot = SlotAt(point);
    const PortraitRecord* record = m_dialog.Record(m_dialog.CurrentPortrait());
    if (slot < 0 || !record)
        return;
    PortraitSize size = kSizeLarge;
    int32_t frame = 0;
    m_dialog.GetSlotImageFrame(slot, size, frame);
    const CRasterSurface* surface = m_dialog.Image(size).GetFrameSurface(frame);
    if (!surface || !surface->m_pBits)
        return;
    // Named as Export names the frame; a name that could leave the folder
    // writes nothing.
    const std::string fileName = ExportFileName(record->GetName(), size, frame, ExportScope::kOneFrame,
                                                ExportFormat::kPng);
    const CGameFolder game(m_dialog.BaseDir());
    const std::string folder = game.DraggedFolder();
    const std::string path = CFileSystem::ResolvePath(folder + "\\" + fileName);
    errno = 0;
    if (!CFileSystem::IsSafeFileName(fileName) || !CFileSystem::CreateFolder(game.PortraitsFolder()) ||
        !CFileSystem::CreateFolder(folder) ||
        m_dialog.Image(size).ExportFrame(frame, path, ExportFormat::kPng) != 1) {
        m_dialog.MessageBox(IDS_EXPORT_FAILED, FormatResourceString(IDS_EXPORT_FAILED, {NotWrittenText(path, errno)}),
                            "Info");
        return;
    }
    m_dialog.RecordWritten(path);
    if (IDialogHost* host = m_dialog.Host())
        host->StartFileDrag(path);
}
