#include "PortraitPanels.h"

#include "CommandUi.h"
#include "EditorView.h"
#include "Resources.h"

namespace {

constexpr int32_t kSlowMs = 250, kNormalMs = 125, kFastMs = 62;

} // namespace

void CPortraitPanels::Open()
{
    if (IDialogHost* host = m_ui.Host())
        host->SetListColumns(CPortraitList::Columns());
    RefreshAll();
    ShowViewChoices();
}

void CPortraitPanels::RefreshAll()
{
    std::vector<const PortraitRecord*> records;
    for (int32_t i = 0; i < m_model.PortraitCount(); ++i)
        records.push_back(m_model.Record(i));
    m_list.Reset(records, m_model.Operations().Status());
    bool unsaved[kSizeCount] = {};
    UnsavedOf(m_model.CurrentPortrait(), unsaved);
    m_list.SetUnsaved(m_model.CurrentPortrait(), unsaved);
    m_rowsChanged = true;
    m_shownPortrait = -1;
    Update();
}

void CPortraitPanels::UnsavedOf(int32_t portrait, bool (&unsaved)[kSizeCount]) const
{
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size)
        unsaved[size] = portrait == m_model.CurrentPortrait() && m_model.Image(size).HasChanges();
}

void CPortraitPanels::Update()
{
    IDialogHost* host = m_ui.Host();
    if (!host)
        return;
    const int32_t current = m_model.CurrentPortrait();
    // Changes that are gone without a save (let go, undone) leave the
    // portrait's images loading from where they now do.
    if (m_list.HasUnsaved(m_shownPortrait)) {
        bool unsaved[kSizeCount] = {};
        UnsavedOf(m_shownPortrait, unsaved);
        if (!unsaved[kSizeLarge] && !unsaved[kSizeMedium] && !unsaved[kSizeSmall]) {
            m_list.SetStatus(m_shownPortrait, m_model.Operations().StatusOf(m_shownPortrait));
            m_list.SetUnsaved(m_shownPortrait, unsaved);
            m_rowsChanged = true;
        }
    }
    bool unsaved[kSizeCount] = {};
    UnsavedOf(current, unsaved);
    m_rowsChanged = m_list.SetUnsaved(current, unsaved) || m_rowsChanged;
    if (current != m_noticePortrait || !(unsaved[kSizeLarge] || unsaved[kSizeMedium] || unsaved[kSizeSmall]))
        m_notice.clear();
    ShowList();
    if (current != m_shownPortrait) {
        host->SetListSelection(current);
        m_shownPortrait = current;
        m_preview.Rewind();
    }
    host->RedrawPreview();
}

void CPortraitPanels::OnSaved(const bool (&saved)[kSizeCount])
{
    const int32_t current = m_model.CurrentPortrait();
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size)
        if (saved[size])
            m_list.MarkSaved(current, size);
    m_rowsChanged = true;
    Update();
}

void CPortraitPanels::SetNotice(const std::string& text)
{
    m_notice = text;
    m_noticePortrait = m_model.CurrentPortrait();
    Update();
}

void CPortraitPanels::ShowList()
{
    IDialogHost* host = m_ui.Host();
    if (m_rowsChanged)
        host->SetListRows(m_list.Rows());
    m_rowsChanged = false;
    const std::string footer = m_list.SizesLine(m_model.CurrentPortrait()) + (m_notice.empty() ? "" : "\n" + m_notice);
    if (footer != m_shownFooter)
        host->SetListFooter(footer);
    m_shownFooter = footer;
}

void CPortraitPanels::OnListSelect(int32_t row)
{
    if (row != m_model.CurrentPortrait())
        m_view.GoToPortrait(row);
    // A portrait whose changes could not be saved stays chosen.
    if (IDialogHost* host = m_ui.Host())
        host->SetListSelection(m_model.CurrentPortrait());
}

void CPortraitPanels::OnListSearch(const std::string& text)
{
    // A first letter looks past the current portrait, so that typing it
    // again moves on to the next name that starts with it.
    const int32_t current = m_model.CurrentPortrait();
    const int32_t row = m_list.FindByName(text, text.size() == 1 ? current + 1 : current);
    if (row >= 0)
        OnListSelect(row);
}

void CPortraitPanels::OnViewMenu(int32_t id)
{
    if (id == ID_VIEW_ZOOM_IN)
        m_preview.ZoomIn();
    else if (id == ID_VIEW_ZOOM_OUT)
        m_preview.ZoomOut();
    else if (id == ID_VIEW_ZOOM_FIT)
        m_preview.SetZoom(CPreviewPanel::kFit);
    else if (id >= ID_VIEW_ZOOM_1X && id <= ID_VIEW_ZOOM_8X)
        m_preview.SetZoom(id - ID_VIEW_ZOOM_1X + 1);
    else if (id == ID_VIEW_PLAY)
        m_preview.SetPlaying(!m_preview.IsPlaying());
    else if (id == ID_VIEW_SPEED_SLOW || id == ID_VIEW_SPEED_NORMAL || id == ID_VIEW_SPEED_FAST)
        m_preview.SetIntervalMs(id == ID_VIEW_SPEED_SLOW ? kSlowMs : id == ID_VIEW_SPEED_NORMAL ? kNormalMs : kFastMs);
    else if (id == ID_VIEW_BACKGROUND_GREY)
        m_preview.SetBackground(PreviewBackground::kGrey);
    else if (id == ID_VIEW_BACKGROUND_BLACK)
        m_preview.SetBackground(PreviewBackground::kBlack);
    else if (id == ID_VIEW_BACKGROUND_CHECKERBOARD)
        m_preview.SetBackground(PreviewBackground::kCheckerboard);
    if (id == ID_VIEW_PLAY || id == ID_VIEW_SPEED_SLOW || id == ID_VIEW_SPEED_NORMAL || id == ID_VIEW_SPEED_FAST)
        StartOrStopTimer();
    ShowViewChoices();
    if (IDialogHost* host = m_ui.Host())
        host->RedrawPreview();
}

void CPortraitPanels::StartOrStopTimer()
{
    IDialogHost* host = m_ui.Host();
    if (!host)
        return;
    if (m_preview.IsPlaying())
        host->SetTimer(kAnimationTimer, m_preview.IntervalMs());
    else
        host->KillTimer(kAnimationTimer);
}

void CPortraitPanels::ShowViewChoices()
{
    const int32_t zoom = m_preview.Zoom();
    m_ui.CheckMenuItem(ID_VIEW_ZOOM_FIT, zoom == CPreviewPanel::kFit);
    for (int32_t z = 1; z <= CPreviewPanel::kMaxZoom; ++z)
        m_ui.CheckMenuItem(ID_VIEW_ZOOM_1X + z - 1, zoom == z);
    m_ui.CheckMenuItem(ID_VIEW_PLAY, m_preview.IsPlaying());
    const int32_t ms = m_preview.IntervalMs();
    m_ui.CheckMenuItem(ID_VIEW_SPEED_SLOW, ms == kSlowMs);
    m_ui.CheckMenuItem(ID_VIEW_SPEED_NORMAL, ms == kNormalMs);
    m_ui.CheckMenuItem(ID_VIEW_SPEED_FAST, ms == kFastMs);
    const PreviewBackground background = m_preview.Background();
    m_ui.CheckMenuItem(ID_VIEW_BACKGROUND_GREY, background == PreviewBackground::kGrey);
    m_ui.CheckMenuItem(ID_VIEW_BACKGROUND_BLACK, background == PreviewBackground::kBlack);
    m_ui.CheckMenuItem(ID_VIEW_BACKGROUND_CHECKERBOARD, background == PreviewBackground::kCheckerboard);
}

void CPortraitPanels::OnTimer(int32_t id)
{
    if (id != kAnimationTimer || !m_preview.IsPlaying())
        return;
    m_preview.Step(m_model.Image(kSizeMedium).Header().FrameCount());
    if (IDialogHost* host = m_ui.Host())
        host->RedrawPreview();
}

void CPortraitPanels::OnPaintPreview()
{
    IDialogHost* host = m_ui.Host();
    CCanvas* canvas = host ? host->PreviewCanvas() : nullptr;
    if (!canvas)
        return;
    FrameTarget target{kSizeMedium, m_preview.AnimationFrame()};
    if (!m_preview.IsPlaying())
        target = m_view.SelectedTarget();
    m_preview.Paint(*canvas, m_model.Image(target.size), target.frame);
}
