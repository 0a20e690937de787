#include "PortraitEditorDlg.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "PortraitScrollBar.h"
#include "EntryBaseName.h"
#include "EntryNameRules.h"
#include "RaceTable.h"
#include "Canvas.h"
#include "FileSystem.h"
#include "Icon.h"
#include "Resources.h"

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
    // What the last paint drew at each slot: a frame wider or taller than
    // its slot (rows widened to a multiple of 4) reaches past the slot.
    PixelRect drawn[CPortraitEditorDlg::kSlotCount] = {};
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

PixelRect Union(const PixelRect& a, const PixelRect& b)
{
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

const char* const kSizeNames[kSizeCount] = {"LARGE", "MEDIUM", "SMALL"};

// Why an import was refused, as the line under string 5.
std::string ReplaceFailureText(const ReplaceFailure& why)
{
    using Kind = ReplaceFailure::Kind;
    switch (why.kind) {
    case Kind::kCannotOpen: return LoadResourceString(IDS_REASON_CANNOT_OPEN);
    case Kind::kNotTga: return LoadResourceString(IDS_REASON_NOT_TGA);
    case Kind::kWrongSize:
        return FormatResourceString(IDS_REASON_WRONG_SIZE,
                                    {std::to_string(why.fileWidth), std::to_string(why.fileHeight),
                                     std::to_string(why.frameWidth), std::to_string(why.frameHeight)});
    case Kind::kNeedsColourMapped: return LoadResourceString(IDS_REASON_NEEDS_COLOUR_MAPPED);
    case Kind::kNeedsTrueColour: return LoadResourceString(IDS_REASON_NEEDS_TRUE_COLOUR);
    case Kind::kCutShort: return LoadResourceString(IDS_REASON_CUT_SHORT);
    case Kind::kIndexOutsideMap: return LoadResourceString(IDS_REASON_INDEX_OUTSIDE_MAP);
    case Kind::kUnsupported: return LoadResourceString(IDS_REASON_UNSUPPORTED);
    case Kind::kTooLarge: return LoadResourceString(IDS_REASON_TOO_LARGE);
    case Kind::kNone: break;
    }
    return {};
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
    m_lastSlotFrame = kFirstSteppedFrame;
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
        OnCommandEntry(IDC_FRAME_PREVIOUS, &D::OnPreviousFrame),
        OnCommandEntry(IDC_FRAME_NEXT, &D::OnNextFrame),
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
    UpdateFrameStepper();
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

    const std::string archivePath = m_baseDir + "\\DATA\\DATA.QPK";
    if (m_archive.Open(archivePath) != CGameArchive::kOpenOk) {
        MessageBox(LoadResourceString(IDS_ARCHIVE_NOT_FOUND), "Error");
        return;
    }
    // Only a game folder gets a Portraits folder.
    CFileSystem::CreateFolder(PortraitsFolder());

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

bool CPortraitEditorDlg::SaveChangedImages()
{
    bool saved = true;
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size) {
        CPortraitImage& image = m_images[size];
        image.SaveIfChanged();
        if (!image.HasChanges())
            continue;
        // A change that could not be saved is never dropped without a word.
        saved = false;
        std::string path;
        image.GetOverridePath(path);
        const int error = image.LastSaveError();
        const std::string reason = error ? std::strerror(error) : "it could not be written in full";
        MessageBox(FormatResourceString(IDS_SAVE_FAILED, {kSizeNames[size], CFileSystem::ResolvePath(path), reason}),
                   "Error");
    }
    return saved;
}

bool CPortraitEditorDlg::SaveBeforeClosing()
{
    return SaveChangedImages() || AskYesNo(LoadResourceString(IDS_QUIT_LOSING_CHANGES), "Error");
}

void CPortraitEditorDlg::OnOK()
{
    if (SaveBeforeClosing())
        CDialog::OnOK();
}

void CPortraitEditorDlg::OnCancel()
{
    if (SaveBeforeClosing())
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
    MessageBox(FormatResourceString(IDS_ACTION_FAILED, {reason}), "Error");
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

void CPortraitEditorDlg::GetSlotImageFrame(int32_t slot, PortraitSize& size, int32_t& frame) const
{
    SlotFrame(slot, size, frame);
    if (slot == kSlotCount - 1)
        frame = m_lastSlotFrame;
}

bool CPortraitEditorDlg::SelectImageFrame(PortraitSize size, int32_t frame)
{
    if (size < kSizeLarge || size >= kSizeCount || !m_images[size].GetFrameSurface(frame))
        return false;
    if (size != kSizeMedium)
        m_selectedSlot = size == kSizeLarge ? 0 : 2;
    else if (frame == 0)
        m_selectedSlot = 1;
    else if (frame < kFirstSteppedFrame)
        m_selectedSlot = frame + 2;
    else {
        m_selectedSlot = kSlotCount - 1;
        m_lastSlotFrame = frame;
        UpdateFrameStepper();
    }
    RedrawWindow();
    return true;
}

void CPortraitEditorDlg::UpdateFrameStepper()
{
    const int32_t frames = m_images[kSizeMedium].Header().FrameCount();
    const bool stepping = HasCurrentPortrait() && frames > kFirstSteppedFrame + 1;
    if (HasDlgItem(IDC_FRAME_LABEL))
        SetDlgItemText(IDC_FRAME_LABEL, stepping ? FormatResourceString(IDS_FRAME_OF, {std::to_string(m_lastSlotFrame + 1),
                                                                                      std::to_string(frames)})
                                                 : "");
    EnableDlgItem(IDC_FRAME_PREVIOUS, stepping && m_lastSlotFrame > kFirstSteppedFrame);
    EnableDlgItem(IDC_FRAME_NEXT, stepping && m_lastSlotFrame + 1 < frames);
}

void CPortraitEditorDlg::OnPreviousFrame()
{
    if (m_lastSlotFrame > kFirstSteppedFrame)
        SelectImageFrame(kSizeMedium, m_lastSlotFrame - 1);
}

void CPortraitEditorDlg::OnNextFrame()
{
    if (m_lastSlotFrame + 1 < m_images[kSizeMedium].Header().FrameCount())
        SelectImageFrame(kSizeMedium, m_lastSlotFrame + 1);
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
    if (HasCurrentPortrait() && !SaveChangedImages()) {
        // The portrait whose changes could not be saved stays, and so does
        // the scroll bar, so that the modder can fix the cause and retry.
        if (m_scrollBar)
            m_scrollBar->SetScrollPos(m_currentPortrait + 1, true);
        return;
    }
    if (index < 0 || index >= m_portraitCount)
        return;
    const PortraitRecord& record = *m_records[index];
    const std::string archivePath = record.GetArchivePath();
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size) {
        m_images[size].SetSubFolder("\\Portraits");
        m_images[size].Load(m_baseDir, archivePath, record.entryIndex[size], &m_archive);
    }
    m_currentPortrait = index;
    m_lastSlotFrame = kFirstSteppedFrame;
    UpdateFrameStepper();
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
    // What a frame drew at a slot before, past the slot's own rectangle,
    // goes back to the dialog's colour first.
    auto clearBeyond = [&](int32_t slot, const PixelRect& slotRect) {
        const PixelRect& before = g_view.drawn[slot];
        if (before.right > slotRect.right || before.bottom > slotRect.bottom || before.left < slotRect.left ||
            before.top < slotRect.top)
            FillRect(*canvas, before, background());
        g_view.drawn[slot] = slotRect;
    };
    auto drawSlot = [&](int32_t slot, const CPortraitImage& image, int32_t frame) {
        GetSlotRect(slot, rect);
        clearBeyond(slot, rect);
        FillRect(*canvas, rect, kBlack);
        if (const CRasterSurface* surface = image.GetDisplaySurface(frame)) {
            surface->BlitTo(*canvas, rect.left, rect.top);
            if (surface->m_hBitmap)
                g_view.drawn[slot] = Union(rect, {rect.left, rect.top, rect.left + surface->m_width,
                                                  rect.top + surface->m_height});
        }
        if (slot == m_selectedSlot) {
            selected = rect;
            selectedDrawn = true;
        }
    };
    drawSlot(0, m_images[kSizeLarge], 0);
    drawSlot(1, m_images[kSizeMedium], 0);
    drawSlot(2, m_images[kSizeSmall], 0);
    // Slots 3 to 10 hold MEDIUM frames 1 to 8; slot 11 the frame the stepper
    // shows, 9 or later.
    const int32_t mediumFrames = m_images[kSizeMedium].Header().FrameCount();
    for (int32_t slot = 3; slot < kSlotCount; ++slot) {
        PortraitSize size = kSizeMedium;
        int32_t frame = 0;
        GetSlotImageFrame(slot, size, frame);
        if (frame < mediumFrames) {
            drawSlot(slot, m_images[kSizeMedium], frame);
            continue;
        }
        // Slots without a frame of this portrait are cleared: the frames of
        // the portrait shown before must not stay there as if they were this
        // one's, not even a column of their widened rows.
        PixelRect empty{};
        GetSlotRect(slot, empty);
        clearBeyond(slot, empty);
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

bool CPortraitEditorDlg::ExportImageFrame(PortraitSize size, int32_t frame, const std::string& fileName,
                                          std::vector<std::string>& failed)
{
    // The portrait's name comes from the archive: a name that could leave
    // the Portraits folder writes nothing.
    const std::string path = PortraitsFolder() + "\\" + fileName;
    if (!CFileSystem::IsSafeFileName(fileName) || m_images[size].ExportFrame(frame, path) != 1) {
        failed.push_back(CFileSystem::ResolvePath(path));
        return false;
    }
    return true;
}

bool CPortraitEditorDlg::HasPixels(PortraitSize size, int32_t frame) const
{
    const CRasterSurface* surface = m_images[size].GetFrameSurface(frame);
    return surface && surface->m_pBits;
}

void CPortraitEditorDlg::ReportExport(int32_t written, const std::vector<std::string>& failed)
{
    std::string paths;
    for (const std::string& path : failed)
        paths += (paths.empty() ? "" : "\n") + path;
    if (!failed.empty())
        MessageBox(FormatResourceString(IDS_EXPORT_FAILED, {paths}), "Info");
    else if (written == 0)
        MessageBox(LoadResourceString(IDS_NOTHING_TO_EXPORT), "Info");
    else
        MessageBox(LoadResourceString(IDS_PORTRAIT_SAVED), "Info");
}

void CPortraitEditorDlg::OnExportAll()
{
    if (!HasCurrentPortrait())
        return;
    CFileSystem::CreateFolder(PortraitsFolder());
    const std::string name = m_records[m_currentPortrait]->GetName();
    int32_t written = 0;
    std::vector<std::string> failed;
    auto exportTo = [&](PortraitSize size, int32_t frame, const std::string& fileName) {
        if (HasPixels(size, frame) && ExportImageFrame(size, frame, fileName, failed))
            ++written;
    };
    exportTo(kSizeLarge, 0, name + "_LARGE.TGA");
    for (int32_t f = 0; f < m_images[kSizeMedium].Header().FrameCount(); ++f)
        exportTo(kSizeMedium, f, name + std::to_string(f) + "_MEDIUM.TGA");
    exportTo(kSizeSmall, 0, "S" + name + "_SMALL.TGA");
    ReportExport(written, failed);
}

void CPortraitEditorDlg::OnExport()
{
    if (!HasCurrentPortrait())
        return;
    const std::string name = m_records[m_currentPortrait]->GetName();
    PortraitSize size = kSizeLarge;
    int32_t frame = 0;
    GetSlotImageFrame(m_selectedSlot, size, frame);
    std::string fileName;
    if (size == kSizeLarge)
        fileName = name + "_LARGE.TGA";
    else if (size == kSizeSmall)
        fileName = name + "_SMALL.TGA";
    else
        fileName = name + std::to_string(frame) + "_MEDIUM.TGA";
    int32_t written = 0;
    std::vector<std::string> failed;
    if (HasPixels(size, frame)) {
        CFileSystem::CreateFolder(PortraitsFolder());
        written = ExportImageFrame(size, frame, fileName, failed) ? 1 : 0;
    }
    ReportExport(written, failed);
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
    // A cancelled file dialog is no failed import: nothing is said.
    if (!AskTgaFileName(path))
        return;
    PortraitSize size = kSizeLarge;
    int32_t frame = 0;
    GetSlotImageFrame(m_selectedSlot, size, frame);
    // A change that could never be saved is not taken in the first place.
    std::string overridePath;
    if (m_images[size].GetFrameSurface(frame) && !m_images[size].GetOverridePath(overridePath)) {
        MessageBox(LoadResourceString(IDS_TGA_NOT_LOADED) + "\n" + LoadResourceString(IDS_REASON_CANNOT_SAVE), "Info");
        return;
    }
    ReplaceFailure why;
    const int32_t result = m_images[size].ReplaceFrame(frame, path, m_useTgaPalette != 0, why);
    RedrawWindow();
    if (result == CPortraitImage::kReplaceOk)
        return;
    // String 5 as it is, and on a line of its own what to change.
    const std::string reason = ReplaceFailureText(why);
    MessageBox(LoadResourceString(IDS_TGA_NOT_LOADED) + (reason.empty() ? "" : "\n" + reason), "Info");
}

void CPortraitEditorDlg::OnCreateArchive()
{
    // The patch packs what the window shows: the current portrait's changes
    // are saved first, as moving on would save them.
    if (HasCurrentPortrait() && !SaveChangedImages())
        return;
    const std::string target = m_baseDir + "\\PATCHES\\PATCH.010";
    CGameArchive builder;
    builder.BeginBuild(target, "PATCHES\\PATCH.010");
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
        why = "The override file " + CFileSystem::ResolvePath(builder.GetFailedSourcePath()) +
              " could not be read in full.";
    else
        why = "Writing the file failed; the disk may be full.";
    MessageBox(CFileSystem::ResolvePath(target) + " could not be written. " + why +
                   " An earlier PATCH.010 is left as it was.",
               "Info");
}
