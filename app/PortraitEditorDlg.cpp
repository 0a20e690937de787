#include "PortraitEditorDlg.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <new>

#include "PortraitScrollBar.h"
#include "EntryNameRules.h"
#include "ExportFileName.h"
#include "CommandMessages.h"
#include "EditCommands.h"
#include "ExportCommands.h"
#include "EditorKeys.h"
#include "AboutBox.h"
#include "FileMenu.h"
#include "RecentFolders.h"
#include "WindowMemory.h"
#include "OptionsMenu.h"
#include "OverwriteCare.h"
#include "RaceTable.h"
#include "SlotDragDrop.h"
#include "Canvas.h"
#include "FileSystem.h"
#include "GameFolder.h"
#include "Icon.h"
#include "Resources.h"

namespace {

constexpr int32_t kIconSize = 32; // the system's icon metrics
const PixelRect kScrollBarRect = {105, 332, 293, 357};

using Outcome = CommandEffects::Outcome;

} // namespace

CPortraitEditorDlg::CPortraitEditorDlg(CDialog*) : CDialog(PortraitEditorDialogTemplate()), m_panels(m_model, *this, *this)
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
    // Destruction saves nothing: saving belongs to OK and cancel. The model
    // lets the records go; the images go SMALL, MEDIUM, LARGE, then the
    // archive, as members do.
    delete m_scrollBar;
    m_scrollBar = nullptr;
}

const MessageMap& CPortraitEditorDlg::GetMessageMap() const
{
    using D = CPortraitEditorDlg;
    static constexpr auto panels = [](CDialog& d) -> CPortraitPanels& { return static_cast<D&>(d).m_panels; };
    static const MessageMap map = {
        OnPaintEntry(&D::OnPaint),
        OnQueryDragIconEntry(&D::OnQueryDragIcon),
        OnKeyEntry(MessageKind::Char, &D::OnKey),
        OnKeyEntry(MessageKind::KeyDown, &D::OnKeyDown),
        OnMouseWheelEntry(&D::OnMouseWheel),
        OnLButtonDownEntry(&D::OnLButtonDown),
        OnCommandEntry(IDC_EXPORT_ALL, &D::OnExportAll),
        OnCommandEntry(IDC_EXPORT, &D::OnExport),
        OnCommandEntry(IDC_IMPORT, &D::OnImport),
        OnCommandEntry(IDC_CREATE_ARCHIVE, &D::OnCreateArchive),
        OnCommandEntry(IDC_USE_TGA_PALETTE, &D::OnUseTgaPalette),
        OnCommandEntry(IDC_FRAME_PREVIOUS, &D::OnPreviousFrame),
        OnCommandEntry(IDC_FRAME_NEXT, &D::OnNextFrame),
        OnCommandRangeEntry(ID_OPTIONS_EXPORT_TGA, ID_OPTIONS_DITHER, &D::OnOptionsMenu),
        OnCommandRangeEntry(ID_FILE_EXPORT_CATALOGUE, ID_FILE_REVERT_PORTRAIT, &D::OnFileMenu),
        OnCommandRangeEntry(ID_EDIT_UNDO, ID_EDIT_REVERT_PORTRAIT, &D::OnEditMenu),
        OnCommandRangeEntry(ID_FILE_OPEN_GAME, ID_FILE_RECENT_LAST, &D::OnFileMenu),
        OnDropFilesEntry(&D::OnDropFiles),
        OnBeginDragEntry(&D::OnBeginDrag),
        OnFileChangedEntry(&D::OnFileChanged),
        OnTimerEntry(&D::OnTimer),
        OnCommandEntry(ID_EDIT_EXTERNALLY, &D::OnEditExternally),
        OnCommandEntry(ID_EDIT_NEW_FROM_PICTURE, &D::OnNewFromPicture),
        // File > Quit is the Quit button: it saves, and asks as Quit does.
        OnCommandEntry(ID_FILE_QUIT, &D::OnOK),
        OnCommandEntry(ID_HELP_ABOUT, &D::OnAbout),
        OnCommandEntry(IDOK, &D::OnOK),
        OnCommandEntry(IDCANCEL, &D::OnCancel),
        {MessageKind::ListSelect, 0, [](CDialog& d, DialogMessage& m) { panels(d).OnListSelect(m.position); }},
        {MessageKind::ListSearch, 0, [](CDialog& d, DialogMessage& m) { panels(d).OnListSearch(m.text); }},
        {MessageKind::PaintPreview, 0, [](CDialog& d, DialogMessage&) { panels(d).OnPaintPreview(); }},
        {MessageKind::PreviewDropFiles, 0, [](CDialog& d, DialogMessage& m) { static_cast<D&>(d).OnDropPictures(m.paths); }},
        {MessageKind::FolderChanged, 0,
         [](CDialog& d, DialogMessage&) {
             D& dialog = static_cast<D&>(d);
             dialog.m_portraitsWatch.OnFolderChanged(dialog.m_liveEditing.IsEditing());
         }},
        {MessageKind::Command, ID_VIEW_ZOOM_IN, [](CDialog& d, DialogMessage& m) { panels(d).OnViewMenu(m.id); },
         ID_VIEW_COLOUR_LOSS},
    };
    return map;
}

void CPortraitEditorDlg::ShowString(int32_t stringId, const char* caption)
{
    MessageBox(stringId, LoadResourceString(stringId), caption);
}

// Start-up and closing.

ImportOptions CPortraitEditorDlg::GetImportOptions() const
{
    ImportOptions options = m_model.GetImportOptions();
    if (m_useTgaPalette != 0)
        options.mode = ImportMode::kFilePalette;
    else if (options.mode == ImportMode::kFilePalette)
        options.mode = ImportMode::kRemap;
    return options;
}

void CPortraitEditorDlg::SetImportOptions(const ImportOptions& options)
{
    m_model.SetImportOptions(options);
    m_useTgaPalette = options.mode == ImportMode::kFilePalette ? 1 : 0;
    if (Host() && Host()->HasControl(IDC_USE_TGA_PALETTE))
        Host()->SetCheck(IDC_USE_TGA_PALETTE, m_useTgaPalette);
    ShowOptionsInMenu(*this, GetImportOptions(), GetExportFormat());
}

void CPortraitEditorDlg::SetExportFormat(ExportFormat format)
{
    m_model.SetExportFormat(format);
    ShowOptionsInMenu(*this, GetImportOptions(), GetExportFormat());
}

void CPortraitEditorDlg::OnOptionsMenu(int32_t id)
{
    ImportOptions options = GetImportOptions();
    ExportFormat format = GetExportFormat();
    const bool importChanged = ApplyOptionsMenuItem(id, options, format);
    m_model.SetExportFormat(format);
    if (importChanged)
        SetImportOptions(options);
}

void CPortraitEditorDlg::OnFileMenu(int32_t id)
{
    CFileMenu(m_model, *this, *this).Choose(id);
}

void CPortraitEditorDlg::OnAbout()
{
    CAboutBox::Show(*this);
}

void CPortraitEditorDlg::OnEditMenu(int32_t id)
{
    CEditCommands(m_model, *this, *this).Choose(id);
}

void CPortraitEditorDlg::ShowMenu()
{
    SetMenu(CFileMenu::MenuWithRecentFolders(CRecentFolders::Read(Host())));
    ShowOptionsInMenu(*this, GetImportOptions(), GetExportFormat());
    UpdateEditMenu();
}

bool CPortraitEditorDlg::OpenGameFolder(const std::string& folder)
{
    // A save of the working file still settling is taken first.
    m_liveEditing.OnPortraitLeaving();
    if (!SaveCurrentPortrait())
        return false;
    const std::string path = CRecentFolders::Absolute(folder, CFileSystem::GetCurrentDir());
    if (!CRecentFolders::HasArchive(path) || !CFileSystem::SetCurrentDir(path)) {
        MessageBox(IDS_ARCHIVE_NOT_FOUND, LoadResourceString(IDS_ARCHIVE_NOT_FOUND) + "\n" + path, "Error");
        return false;
    }
    // The game before goes, with its edits' histories, its window and
    // portrait remembered; the new one is scanned as at start.
    if (IDialogHost* host = Host())
        CWindowMemory::Remember(*host, m_model);
    m_model.ForgetCatalogue();
    m_liveEditing.Stop();
    ScanArchive();
    if (m_scrollBar) {
        m_scrollBar->SetScrollRange(1, m_portraitCount, true);
        m_scrollBar->SetScrollPos(m_currentPortrait + 1, true);
    }
    if (IDialogHost* host = Host())
        CRecentFolders::Remember(*host, path);
    ShowMenu();
    m_panels.Open();
    m_portraitsWatch.Start();
    UpdateFrameStepper();
    RedrawWindow();
    return true;
}

void CPortraitEditorDlg::UpdateEditMenu()
{
    EnableMenuItem(ID_EDIT_UNDO, m_model.Edits().CanUndo(m_currentPortrait));
    EnableMenuItem(ID_EDIT_REDO, m_model.Edits().CanRedo(m_currentPortrait));
}

void CPortraitEditorDlg::ReloadImage(PortraitSize size)
{
    m_model.ReloadImage(size);
    NoteUnusedOverrides();
}

void CPortraitEditorDlg::NoteUnusedOverrides()
{
    for (const UnusedOverride& file : m_model.TakeUnusedOverrides())
        MessageBox(IDS_OVERRIDE_NOT_USED, FormatResourceString(IDS_OVERRIDE_NOT_USED, {file.path, file.fault}), "Error");
}

bool CPortraitEditorDlg::OnInitDialog()
{
    CDialog::OnInitDialog(); // shows m_useTgaPalette in the check box
    ShowMenu();
    if (Host()) {
        Host()->SetIcon(*m_hIcon, true);
        Host()->SetIcon(*m_hIcon, false);
        // What a frame decoder has to say while an image loads is shown by
        // this dialog's host, without owner window.
        IDialogHost* host = Host();
        for (CPortraitImage& image : m_images)
            image.SetMessageHandler([host](const std::string& text, const std::string& caption) {
                host->ShowUnownedMessageBox(text, caption);
            });
    }
    ScanArchive();
    // The window stands where it stood last with this game folder.
    if (Host())
        CWindowMemory::RecallPlacement(*Host(), m_model);

    m_scrollBar = new CPortraitScrollBar([this](int32_t portrait) { GoToPortrait(portrait); });
    m_scrollBar->Create(WindowStyle::kChild | WindowStyle::kVisible | WindowStyle::kHorizontalScroll, kScrollBarRect,
                        this, IDC_PORTRAIT_SCROLLBAR);
    m_scrollBar->SetScrollRange(1, m_portraitCount, true);
    m_scrollBar->SetScrollPos(m_currentPortrait + 1, true);
    UpdateFrameStepper();
    m_panels.Open();
    m_portraitsWatch.Start();
    return true; // the focus stays in the client area: Enter presses no button yet
}

void CPortraitEditorDlg::DoDataExchange(CDataExchange& exchange)
{
    CDialog::DoDataExchange(exchange);
    DDX_Check(&exchange, IDC_USE_TGA_PALETTE, m_useTgaPalette);
}

void CPortraitEditorDlg::ScanArchive()
{
    m_baseDir = CFileSystem::GetCurrentDir();
    if (m_baseDir.size() > kPathBufferSize - 1)
        m_baseDir.resize(kPathBufferSize - 1);
    m_importDialog.Forget();

    // What the scan finds is said; with too many portraits those found
    // are kept, but none is shown.
    const CEditorModel::ScanResult scanned = m_model.Scan();
    if (scanned != CEditorModel::ScanResult::kOk) {
        ShowString(scanned == CEditorModel::ScanResult::kNoArchive ? IDS_ARCHIVE_NOT_FOUND : IDS_TOO_MANY_PORTRAITS,
                   "Error");
        return;
    }
    // The portrait shown last with this game folder, else the first.
    SelectPortrait(CWindowMemory::RecallPortrait(Host(), m_model));
}

void CPortraitEditorDlg::OnUseTgaPalette()
{
    // The box is the menu's "Use file palette": ticked it selects that mode,
    // unticked it goes back to remap.
    UpdateData(true);
    ImportOptions options = GetImportOptions();
    options.mode = m_useTgaPalette != 0 ? ImportMode::kFilePalette : ImportMode::kRemap;
    SetImportOptions(options);
}

bool CPortraitEditorDlg::SaveChangedImages()
{
    // The window asks before a save goes over another program's file; the
    // tool keeps that file and fails.
    const auto overOther = [this](const std::string& path) {
        return AskYesNo(IDS_SAVE_REPLACED_ASK, FormatResourceString(IDS_SAVE_REPLACED_ASK, {path}), "Question");
    };
    const SaveReport report =
        m_model.SaveChangedImages(m_model.AsksBeforeOverwriting() ? overOther : std::function<bool(const std::string&)>());
    for (const std::string& path : report.removed)
        RecordRemoved(path);
    for (const std::string& path : report.written)
        RecordWritten(path);
    NoteUnusedOverrides();
    for (const UnsavedImage& image : report.failed)
        ShowSaveFailed(image.size, image.path, image.reason);
    RecordOutcome(CommandEffects::kSave, !report.Ok()       ? Outcome::kFailed
                                         : report.changed ? Outcome::kDone
                                                          : Outcome::kNothing);
    if (report.reloaded)
        m_panels.RefreshAll();
    else if (report.changed)
        m_panels.OnSaved(report.saved);
    return report.Ok();
}

void CPortraitEditorDlg::ShowSaveFailed(PortraitSize size, const std::string& path, const std::string& reason)
{
    MessageBox(IDS_SAVE_FAILED,
               FormatResourceString(IDS_SAVE_FAILED, {kSizeNames[size], CFileSystem::ResolvePath(path), reason}) +
                   "\n" + LoadResourceString(IDS_CHANGE_KEPT),
               "Error");
}

bool CPortraitEditorDlg::SaveBeforeClosing()
{
    m_liveEditing.OnPortraitLeaving();
    const bool closing = SaveChangedImages() ||
                         AskYesNo(IDS_QUIT_LOSING_CHANGES, LoadResourceString(IDS_QUIT_LOSING_CHANGES), "Error");
    // The next start with this game folder shows the window as it is now.
    if (closing && Host() && HasCurrentPortrait())
        CWindowMemory::Remember(*Host(), m_model);
    return closing;
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
    MessageBox(IDS_ACTION_FAILED, FormatResourceString(IDS_ACTION_FAILED, {reason}), "Error");
}

// The view.

void CPortraitEditorDlg::GetSlotRect(int32_t slot, PixelRect& rect)
{
    CPortraitView::GetSlotRect(slot, rect);
}

FrameTarget CPortraitEditorDlg::TargetOfSlot(int32_t slot) const
{
    const SlotImage shown = GetSlotImage(slot);
    return {shown.size, slot == kSteppedSlot ? m_lastSlotFrame : shown.frame};
}

bool CPortraitEditorDlg::SelectImageFrame(PortraitSize size, int32_t frame)
{
    if (size < kSizeLarge || size >= kSizeCount || !m_images[size].GetFrameSurface(frame))
        return false;
    m_selectedSlot = FindSlotOfFrame(size, frame);
    if (m_selectedSlot == kSteppedSlot) {
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
    const PortraitSize size = GetSlotImage(slot).size;
    if (size == kSizeNone) {
        width = height = bitDepth = 0;
        return;
    }
    const CPortraitImage& image = m_images[size];
    // Frame 0's size stands for the whole image, also in the slots of later frames.
    image.GetFrameSize(0, width, height);
    bitDepth = image.Header().BitDepth();
}

void CPortraitEditorDlg::SelectPortrait(int32_t index)
{
    m_liveEditing.OnPortraitLeaving();
    if (HasCurrentPortrait() && !SaveChangedImages()) {
        // The portrait whose changes could not be saved stays, and so does
        // the scroll bar, so that the modder can fix the cause and retry.
        if (m_scrollBar)
            m_scrollBar->SetScrollPos(m_currentPortrait + 1, true);
        return;
    }
    if (index < 0 || index >= m_portraitCount)
        return;
    m_model.LoadPortrait(index);
    m_lastSlotFrame = kFirstSteppedFrame;
    NoteUnusedOverrides();
    UpdateFrameStepper();
    UpdateEditMenu();
    m_liveEditing.OnPortraitShown(index);
}

void CPortraitEditorDlg::ReloadPortrait()
{
    // Chosen again as if no portrait were shown, so that nothing is saved.
    const int32_t current = m_currentPortrait;
    m_currentPortrait = -1;
    SelectPortrait(current);
    RefreshPortraitList();
    RedrawWindow();
}

void CPortraitEditorDlg::GoToPortrait(int32_t index)
{
    if (index < 0 || index >= m_portraitCount)
        return;
    if (m_scrollBar)
        m_scrollBar->SetScrollPos(index + 1, true);
    SelectPortrait(index);
    RedrawWindow();
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

    m_view.Paint(*canvas, m_images, m_selectedSlot, m_lastSlotFrame);
    m_panels.Update();

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
    // No character has a function of its own in the view.
}

void CPortraitEditorDlg::OnKeyDown(uint32_t key, uint32_t, uint32_t)
{
    const CEditorKeys::Action action = CEditorKeys::ForKey(key, m_selectedSlot, kSlotCount);
    if (action.scrollCode >= 0 && m_scrollBar)
        m_scrollBar->HScroll(action.scrollCode, 0);
    if (action.slot >= 0 && action.slot != m_selectedSlot) {
        m_selectedSlot = action.slot;
        RedrawWindow();
    }
}

bool CPortraitEditorDlg::OnMouseWheel(uint32_t, int16_t delta, ClientPoint)
{
    int32_t next = -1;
    if (delta > 0 && m_currentPortrait > 0)
        next = m_currentPortrait - 1;
    else if (delta < 0 && m_currentPortrait + 1 < m_portraitCount)
        next = m_currentPortrait + 1;
    if (next >= 0)
        GoToPortrait(next);
    return true;
}

void CPortraitEditorDlg::OnLButtonDown(uint32_t, ClientPoint point)
{
    const int32_t slot = CPortraitView::SlotAt(point);
    if (slot >= 0) {
        m_selectedSlot = slot;
        RedrawWindow();
    }
}

// Commands.

void CPortraitEditorDlg::OnExportAll()
{
    CExportCommands(m_model, *this, *this).ExportAll();
}

void CPortraitEditorDlg::OnExport()
{
    CExportCommands(m_model, *this, *this).Export();
}

void CPortraitEditorDlg::OnImport()
{
    std::string path;
    // A cancelled file dialog is no failed import: nothing is said.
    if (m_importDialog.Ask(Host(), m_model.Folder(), path))
        ImportIntoSlot(m_selectedSlot, path);
}

bool CPortraitEditorDlg::ImportIntoSlot(int32_t slot, const std::string& path)
{
    const FrameTarget target = TargetOfSlot(slot);
    return CEditCommands(m_model, *this, *this).Import(target.size, target.frame, path);
}

void CPortraitEditorDlg::OnDropFiles(ClientPoint point, const std::vector<std::string>& paths)
{
    CSlotDragDrop(m_model, *this, *this).Drop(point, paths);
}

void CPortraitEditorDlg::OnBeginDrag(ClientPoint point)
{
    CSlotDragDrop(m_model, *this, *this).BeginDrag(point);
}

void CPortraitEditorDlg::OnCreateArchive()
{
    CExportCommands(m_model, *this, *this).CreateArchive();
}
