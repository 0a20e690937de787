#include "PortraitPanels.h"

#include <algorithm>
#include <cstddef>

#include "CommandMessages.h"
#include "CommandUi.h"
#include "EditorView.h"
#include "Resources.h"

namespace {

constexpr int32_t kSlowMs = 250, kNormalMs = 125, kFastMs = 62;

// Whether the frame still holds what the import reported on left in it.
bool HoldsImported(const ImportReport& report, const CPortraitImage& image)
{
    const CRasterSurface* surface = image.GetFrameSurface(report.frame);
    if (report.indices.empty() || !surface || !surface->m_pBits || surface->m_depth != 8 ||
        surface->m_width < report.width || surface->m_height < report.height)
        return false;
    const size_t width = static_cast<size_t>(report.width);
    for (size_t y = 0; y < static_cast<size_t>(report.height); ++y) {
        const uint8_t* row = surface->m_pBits + y * static_cast<size_t>(surface->m_width);
        if (!std::equal(row, row + width, report.indices.begin() + static_cast<std::ptrdiff_t>(y * width)))
            return false;
    }
    return true;
}

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
    // What the last import into this portrait did to colours.
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
    // The status line under the list, and under it what the last import did
    // to colours, while the frame holds what the import left.
    const int32_t current = m_model.CurrentPortrait();
    const ImportReport& last = m_model.LastImport();
    const bool holds = last.colourLoss.farPixels == 0 || HoldsImported(last, m_model.Image(last.size));
    const std::string notice = last.portrait == current && holds ? ImportNoticeText(last) : std::string();
    std::string footer = m_list.SizesLine(current);
    for (const std::string& line : {m_notice, notice})
        footer += line.empty() ? "" : "\n" + line;
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
    else if (id == ID_VIEW_COLOUR_LOSS)
        m_preview.SetShowingColourLoss(!m_preview.IsShowingColourLoss());
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
    m_ui.CheckMenuItem(ID_VIEW_COLOUR_LOSS, m_preview.IsShowingColourLoss());
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
    const CPortraitImage& image = m_model.Image(target.size);
    m_preview.Paint(*canvas, image, target.frame);
    const ImportReport& last = m_model.LastImport();
    if (m_preview.IsShowingColourLoss() && last.portrait == m_model.CurrentPortrait() && last.size == target.size &&
        last.frame == target.frame && HoldsImported(last, image))
        m_preview.OutlinePixels(*canvas, last.colourLoss.farMask, last.width, last.height);
}
