#include "PortraitEditorDlg.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "PortraitScrollBar.h"
#include "archive/EntryBaseName.h"
#include "catalogue/EntryNameRules.h"
#include "catalogue/RaceTable.h"
#include "platform/Canvas.h"
#include "platform/FileSystem.h"
#include "platform/Icon.h"
#include "resources/Resources.h"

std::string g_lastTgaPath;

namespace {

constexpr uint32_t kBlack = MakeRgb(0, 0, 0);
constexpr uint32_t kWhite = MakeRgb(255, 255, 255);
constexpr int32_t kIconSize = 32; // the system's icon metrics
const PixelRect kScrollBarRect = {105, 332, 293, 357};

// What the view remembers between paints, for the whole process.
struct ViewState {
    int32_t barSlot = -1;
    PixelRect barRect = {0, 0, 0, 0};
    uint32_t background = 0;
    bool backgroundSampled = false;
};
ViewState g_view;

bool Contains(const char* name, const char* word)
{
    return std::strstr(name, word) != nullptr;
}

void FillRect(CCanvas& canvas, const PixelRect& r, uint32_t rgb)
{
    canvas.FillRect(r.left, r.top, r.right, r.bottom, rgb);
}

} // namespace

CPortraitEditorDlg::CPortraitEditorDlg(CDialog*) : CDialog(PortraitEditorDialogTemplate())
{
    // The archive and the images LARGE, MEDIUM and SMALL are constructed by
    // now, in that order.
    m_useTgaPalette = 0;
    m_hIcon = &LoadAppIcon();
    m_portraitCount = 0;
    m_selectedSlot = 0;
    m_scrollBar = nullptr;
    m_currentPortrait = -1;
    for (PortraitRecord*& r : m_records)
        r = nullptr;
}

CPortraitEditorDlg::~CPortraitEditorDlg()
{
    // Destruction saves nothing: saving belongs to OK and cancel. The images
    // go SMALL, MEDIUM, LARGE, then the archive, as members do.
    for (int32_t i = 0; i < m_portraitCount; ++i) {
        delete m_records[i];
        m_records[i] = nullptr;
    }
    delete m_scrollBar;
    m_scrollBar = nullptr;
}

const MessageMap& CPortraitEditorDlg::GetMessageMap() const
{
    using D = CPortraitEditorDlg;
    static const MessageMap map = {
        OnPaintEntry(&D::OnPaint),
        OnQueryDragIconEntry(&D::OnQueryDragIcon),
        OnKeyEntry(MessageKind::Char, &D::OnKey),
        OnKeyEntry(MessageKind::KeyDown, &D::OnKey),
        OnMouseWheelEntry(&D::OnMouseWheel),
        OnLButtonDownEntry(&D::OnLButtonDown),
        OnCommandEntry(IDC_EXPORT_ALL, &D::OnExportAll),
        OnCommandEntry(IDC_EXPORT, &D::OnExport),
        OnCommandEntry(IDC_IMPORT, &D::OnImport),
        OnCommandEntry(IDC_CREATE_ARCHIVE, &D::OnCreateArchive),
        OnCommandEntry(IDC_USE_TGA_PALETTE, &D::OnUseTgaPalette),
        OnCommandEntry(IDOK, &D::OnOK),
        OnCommandEntry(IDCANCEL, &D::OnCancel),
    };
    return map;
}

void CPortraitEditorDlg::ResetViewState()
{
    g_view = ViewState{};
}

const PortraitRecord* CPortraitEditorDlg::Record(int32_t i) const
{
    return i >= 0 && i < m_portraitCount ? m_records[i] : nullptr;
}

bool CPortraitEditorDlg::HasCurrentPortrait() const
{
    return m_currentPortrait >= 0 && m_currentPortrait < m_portraitCount;
}

std::string CPortraitEditorDlg::PortraitsFolder() const
{
    return m_baseDir + "\\Portraits";
}

// Start-up and closing.

bool CPortraitEditorDlg::OnInitDialog()
{
    CDialog::OnInitDialog(); // shows m_useTgaPalette in the check box
    if (Host()) {
        Host()->SetIcon(*m_hIcon, true);
        Host()->SetIcon(*m_hIcon, false);
    }
    ScanArchive();

    m_scrollBar = new CPortraitScrollBar;
    m_scrollBar->Create(WindowStyle::kChild | WindowStyle::kVisible | WindowStyle::kHorizontalScroll, kScrollBarRect,
                        this, IDC_PORTRAIT_SCROLLBAR);
    m_scrollBar->SetScrollRange(1, m_portraitCount, true);
    m_scrollBar->SetScrollPos(m_currentPortrait + 1, true);
    return true; // the focus goes to the first tab stop, "Quit"
}

void CPortraitEditorDlg::DoDataExchange(CDataExchange& exchange)
{
    CDialog::DoDataExchange(exchange);
    DDX_Check(&exchange, IDC_USE_TGA_PALETTE, m_useTgaPalette);
}

PortraitRecord* CPortraitEditorDlg::FindRecord(RaceIndex race, bool male, char variant) const
{
    return ::FindRecord(m_records, m_portraitCount, race, male, variant);
}

void CPortraitEditorDlg::ScanArchive()
{
    m_baseDir = CFileSystem::GetCurrentDir();
    if (m_baseDir.size() > kPathBufferSize - 1)
        m_baseDir.resize(kPathBufferSize - 1);
    g_lastTgaPath = m_baseDir;
    CFileSystem::CreateFolder(PortraitsFolder());

    const std::string archivePath = m_baseDir + "\\DATA\\DATA.QPK";
    if (m_archive.Open(archivePath) != CGameArchive::kOpenOk) {
        MessageBox(LoadResourceString(IDS_ARCHIVE_NOT_FOUND), "Error");
        return;
    }

    for (int32_t i = 0; i < m_archive.GetEntryCount(); ++i) {
        const char* name = m_archive.GetEntryName(i);
        if (!Contains(name, "PORTRAITS\\") || Contains(name, "SKULL"))
            continue;
        const PortraitSize size = ClassifySize(name);
        const RaceIndex race = ClassifyRace(name);
        const bool male = IsMaleName(name);
        const char variant = GetVariantChar(name);
        if (race == kRaceNone)
            continue;
        PortraitRecord* record = FindRecord(race, male, variant);
        if (!record) {
            if (m_portraitCount == kMaxPortraits) {
                MessageBox(LoadResourceString(IDS_TOO_MANY_PORTRAITS), "Error");
                return;
            }
            record = new PortraitRecord(race, male, variant, archivePath);
            m_records[m_portraitCount] = record;
            record->SetNameFromEntry(name);
            ++m_portraitCount;
        }
        record->SetEntry(size, i);
    }
    SelectPortrait(0);
}

void CPortraitEditorDlg::OnUseTgaPalette()
{
    UpdateData(true);
}

void CPortraitEditorDlg::SaveChangedImages()
{
    m_images[kSizeLarge].SaveIfChanged();
    m_images[kSizeMedium].SaveIfChanged();
    m_images[kSizeSmall].SaveIfChanged();
}

void CPortraitEditorDlg::OnOK()
{
    SaveChangedImages();
    CDialog::OnOK();
}

void CPortraitEditorDlg::OnCancel()
{
    SaveChangedImages();
    CDialog::OnCancel();
}

void CPortraitEditorDlg::OnHandlerFailed(const std::exception* error)
{
    // Files are written to a temporary name and renamed into place only once
    // complete, so an action that stopped half-way has broken nothing.
    std::string reason = "an unexpected error";
    if (dynamic_cast<const std::bad_alloc*>(error))
        reason = "there was not enough memory";
    else if (error)
        reason = error->what();
    std::string text = LoadResourceString(IDS_ACTION_FAILED);
    text.replace(text.find("%s"), 2, reason);
    MessageBox(text, "Error");
}

// The view.

void CPortraitEditorDlg::GetSlotRect(int32_t slot, PixelRect& rect)
{
    constexpr int32_t kColumn = 102;
    if (slot == 0)
        rect = {10, 10, 189, 153};
    else if (slot == 1)
        rect = {200, 10, 291, 81};
    else if (slot == 2)
        rect = {302, 10, 349, 45};
    else if (slot >= 3 && slot <= 7)
        rect = {10 + kColumn * (slot - 3), 164, 10 + kColumn * (slot - 3) + 91, 235};
    else if (slot >= 8 && slot <= 11)
        rect = {10 + kColumn * (slot - 8), 246, 10 + kColumn * (slot - 8) + 91, 317};
}

void CPortraitEditorDlg::SlotFrame(int32_t slot, PortraitSize& size, int32_t& frame)
{
    if (slot == 0) {
        size = kSizeLarge;
        frame = 0;
    } else if (slot == 2) {
        size = kSizeSmall;
        frame = 0;
    } else {
        size = kSizeMedium;
        frame = slot == 1 ? 0 : slot - 2;
    }
}

void CPortraitEditorDlg::GetSlotFormat(int32_t slot, int32_t& width, int32_t& height, int32_t& bitDepth) const
{
    const CPortraitImage& image = m_images[slot == 0 ? kSizeLarge : (slot == 2 ? kSizeSmall : kSizeMedium)];
    // Frame 0's size stands for the whole image, also in the slots of later frames.
    image.GetFrameSize(0, width, height);
    bitDepth = image.Header().BitDepth();
}

void CPortraitEditorDlg::SelectPortrait(int32_t index)
{
    if (HasCurrentPortrait())
        SaveChangedImages();
    if (index < 0 || index >= m_portraitCount)
        return;
    const PortraitRecord& record = *m_records[index];
    const std::string archivePath = record.GetArchivePath();
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size) {
        m_images[size].SetSubFolder("\\Portraits");
        m_images[size].Load(m_baseDir, archivePath, record.entryIndex[size], &m_archive);
    }
    m_currentPortrait = index;
}

void CPortraitEditorDlg::OnPaint()
{
    CCanvas* canvas = ClientCanvas();
    if (!canvas)
        return;
    if (IsIconic()) {
        const int32_t x = (ClientWidth() - kIconSize + 1) / 2;
        const int32_t y = (ClientHeight() - kIconSize + 1) / 2;
        canvas->FillRect(x, y, x + kIconSize, y + kIconSize, kDialogBackgroundRgb);
        DrawIcon(*canvas, x, y, *m_hIcon);
        return;
    }

    // The background is not erased between paints, so the old bar is
    // removed here, in the dialog's colour sampled once at (0, 0).
    auto background = [&] {
        if (!g_view.backgroundSampled) {
            g_view.background = canvas->GetPixel(0, 0);
            g_view.backgroundSampled = true;
        }
        return g_view.background;
    };
    auto removeOldBar = [&] { FillRect(*canvas, g_view.barRect, background()); };
    if (g_view.barSlot != -1 && g_view.barSlot != m_selectedSlot)
        removeOldBar();

    PixelRect rect = {0, 0, 0, 0};
    PixelRect selected = {0, 0, 0, 0};
    bool selectedDrawn = false;
    auto drawSlot = [&](int32_t slot, const CPortraitImage& image, int32_t frame) {
        // One rectangle for all slots: frames from 10 on have no slot of
        // their own and are drawn over slot 11.
        GetSlotRect(slot, rect);
        FillRect(*canvas, rect, kBlack);
        if (const CRasterSurface* surface = image.GetDisplaySurface(frame))
            surface->BlitTo(*canvas, rect.left, rect.top);
        if (slot == m_selectedSlot) {
            selected = rect;
            selectedDrawn = true;
        }
    };
    drawSlot(0, m_images[kSizeLarge], 0);
    drawSlot(1, m_images[kSizeMedium], 0);
    drawSlot(2, m_images[kSizeSmall], 0);
    const int32_t mediumFrames = m_images[kSizeMedium].Header().FrameCount();
    for (int32_t f = 1; f < mediumFrames; ++f)
        drawSlot(f + 2, m_images[kSizeMedium], f);
    // Slots without a frame of this portrait are cleared: the frames of the
    // portrait shown before must not stay there as if they were this one's.
    for (int32_t slot = std::max(mediumFrames + 2, 3); slot < kSlotCount; ++slot) {
        PixelRect empty{};
        GetSlotRect(slot, empty);
        FillRect(*canvas, empty, background());
    }

    if (selectedDrawn) {
        g_view.barRect = {selected.left, selected.bottom + 1, selected.right + 1, selected.bottom + 5};
        FillRect(*canvas, g_view.barRect, kWhite);
        g_view.barSlot = m_selectedSlot;
    } else if (g_view.barSlot != -1) {
        // The selected slot holds no frame: no bar marks it, and none stays
        // under a slot that is no longer selected.
        removeOldBar();
        g_view.barSlot = -1;
    }

    char text[64];
    const bool current = HasCurrentPortrait();
    std::snprintf(text, sizeof text, "Portrait %2d/%2d", current ? m_currentPortrait + 1 : 0, m_portraitCount);
    if (HasDlgItem(IDC_PORTRAIT_GROUP))
        SetDlgItemText(IDC_PORTRAIT_GROUP, text);
    const PortraitRecord* record = current ? m_records[m_currentPortrait] : nullptr;
    if (HasDlgItem(IDC_RACE))
        SetDlgItemText(IDC_RACE, record ? GetRaceName(record->race) : "");
    if (HasDlgItem(IDC_GENDER))
        SetDlgItemText(IDC_GENDER, record ? (record->male == 1 ? "male" : "female") : "");
    if (HasDlgItem(IDC_FILE))
        SetDlgItemText(IDC_FILE, record ? record->GetName() : "");
    if (HasDlgItem(IDC_COLORS)) {
        int32_t width = 0, height = 0, depth = 0;
        GetSlotFormat(m_selectedSlot, width, height, depth);
        std::snprintf(text, sizeof text, "%dx%dx%d", width, height, depth);
        SetDlgItemText(IDC_COLORS, record ? text : "");
    }
}

const Icon* CPortraitEditorDlg::OnQueryDragIcon() const
{
    return m_hIcon;
}

void CPortraitEditorDlg::OnKey(uint32_t, uint32_t, uint32_t)
{
    // No key has a function of its own in the view.
}

bool CPortraitEditorDlg::OnMouseWheel(uint32_t, int16_t delta, ClientPoint)
{
    int32_t next = -1;
    if (delta > 0 && m_currentPortrait > 0)
        next = m_currentPortrait - 1;
    else if (delta < 0 && m_currentPortrait + 1 < m_portraitCount)
        next = m_currentPortrait + 1;
    if (next >= 0) {
        if (m_scrollBar)
            m_scrollBar->SetScrollPos(next + 1, true);
        SelectPortrait(next);
        RedrawWindow();
    }
    return true;
}

void CPortraitEditorDlg::OnLButtonDown(uint32_t, ClientPoint point)
{
    for (int32_t slot = 0; slot < kSlotCount; ++slot) {
        PixelRect r{};
        GetSlotRect(slot, r);
        // All four edges count as inside.
        if (point.x >= r.left && point.x <= r.right && point.y >= r.top && point.y <= r.bottom) {
            m_selectedSlot = slot;
            RedrawWindow();
            return;
        }
    }
}

// Commands.

void CPortraitEditorDlg::OnExportAll()
{
    if (!HasCurrentPortrait())
        return;
    const std::string folder = PortraitsFolder();
    CFileSystem::CreateFolder(folder);
    const std::string name = m_records[m_currentPortrait]->GetName();
    // The portrait's name comes from the archive: a name that could leave
    // the Portraits folder writes nothing.
    auto exportTo = [&](const CPortraitImage& image, int32_t frame, const std::string& fileName) {
        if (CFileSystem::IsSafeFileName(fileName))
            image.ExportFrame(frame, folder + "\\" + fileName);
    };
    exportTo(m_images[kSizeLarge], 0, name + "_LARGE.TGA");
    for (int32_t f = 0; f < m_images[kSizeMedium].Header().FrameCount(); ++f)
        exportTo(m_images[kSizeMedium], f, name + std::to_string(f) + "_MEDIUM.TGA");
    exportTo(m_images[kSizeSmall], 0, "S" + name + "_SMALL.TGA");
    MessageBox(LoadResourceString(IDS_PORTRAIT_SAVED), "Info");
}

void CPortraitEditorDlg::OnExport()
{
    if (!HasCurrentPortrait())
        return;
    const std::string folder = PortraitsFolder();
    CFileSystem::CreateFolder(folder);
    const std::string name = m_records[m_currentPortrait]->GetName();
    PortraitSize size = kSizeLarge;
    int32_t frame = 0;
    SlotFrame(m_selectedSlot, size, frame);
    std::string fileName;
    if (size == kSizeLarge)
        fileName = name + "_LARGE.TGA";
    else if (size == kSizeSmall)
        fileName = name + "_SMALL.TGA";
    else
        fileName = name + std::to_string(frame) + "_MEDIUM.TGA";
    if (CFileSystem::IsSafeFileName(fileName))
        m_images[size].ExportFrame(frame, folder + "\\" + fileName);
    MessageBox(LoadResourceString(IDS_PORTRAIT_SAVED), "Info");
}

int32_t CPortraitEditorDlg::AskTgaFileName(std::string& buffer)
{
    buffer.clear();
    OpenFileRequest request;
    request.filters = {{"TGA-Files (*.tga)", "*.tga"}, {"All Files (*.*)", "*.*"}};
    request.filterIndex = 1;
    request.initialDir = g_lastTgaPath;
    request.flags = OFN_READONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    request.bufferSize = kFileNameBufferSize;
    const bool chosen = Host() && Host()->GetOpenFileName(request, buffer);
    if (!chosen)
        buffer.clear();
    g_lastTgaPath = buffer;
    return chosen ? 1 : 0;
}

void CPortraitEditorDlg::OnImport()
{
    std::string path;
    if (AskTgaFileName(path)) {
        PortraitSize size = kSizeLarge;
        int32_t frame = 0;
        SlotFrame(m_selectedSlot, size, frame);
        const int32_t result = m_images[size].ReplaceFrame(frame, path, m_useTgaPalette != 0);
        RedrawWindow();
        if (result == CPortraitImage::kReplaceOk)
            return;
    }
    MessageBox(LoadResourceString(IDS_TGA_NOT_LOADED), "Info");
}

void CPortraitEditorDlg::OnCreateArchive()
{
    const std::string target = m_baseDir + "\\PATCHES\\PATCH.010";
    CGameArchive builder;
    builder.BeginBuild(target);
    for (int32_t i = 0; i < m_archive.GetEntryCount(); ++i) {
        const char* name = m_archive.GetEntryName(i);
        if (!Contains(name, "PORTRAITS\\") || Contains(name, "SKULL"))
            continue;
        std::string baseName;
        if (!GetEntryBaseName(name, baseName))
            continue;
        const std::string candidate = m_baseDir + "\\PORTRAITS\\" + baseName + ".GFX";
        if (!CFileSystem::OpenForReading(candidate))
            continue;
        builder.AddFile(candidate);
    }
    const int32_t result = builder.WriteArchive();
    if (result == CGameArchive::kWriteOk) {
        MessageBox(LoadResourceString(IDS_ARCHIVE_CREATED), "Info");
        return;
    }
    // There is no string for a failed pack; silence would look as if it had
    // worked, so the user is told what went wrong.
    std::string why;
    if (result == CGameArchive::kWriteCannotCreate)
        why = "The folder PATCHES does not exist in the game directory, or it cannot be written to.";
    else if (result == CGameArchive::kWriteSourceUnreadable)
        why = "The override file " + builder.GetFailedSourcePath() + " could not be read in full.";
    else
        why = "Writing the file failed; the disk may be full.";
    MessageBox("PATCHES\\PATCH.010 could not be written. " + why + " An earlier PATCH.010 is left as it was.",
               "Info");
}
