// The panels beside the main dialog's client area, through its host: the
// portrait list with its marks, which follows the current portrait and
// chooses it, the preview of the selected frame with the MEDIUM image's
// animation, set through the View menu, and under the list the status line
// with what the last import did to colours, whose far pixels the preview
// can outline.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "DialogHost.h"
#include "PortraitList.h"
#include "PreviewPanel.h"

class CEditorModel;
class ICommandUi;
class IEditorView;

class CPortraitPanels {
public:
    // The animation's timer.
    static constexpr int32_t kAnimationTimer = 1;

    CPortraitPanels(CEditorModel& model, ICommandUi& ui, IEditorView& view) : m_model(model), m_ui(ui), m_view(view) {}

    // Fills the list from the catalogue and checks the View menu's choices.
    void Open();
    // Reads again where every portrait's images load from.
    void RefreshAll();
    // After each paint of the client area: the chosen row follows the
    // current portrait, the marks its unsaved changes and the saves that
    // end them, and the preview shows the selected frame.
    void Update();

    // The current portrait's images of these sizes were saved: they load
    // from the override files the editor wrote from now on.
    void OnSaved(const bool (&saved)[kSizeCount]);
    // A line under the list's footer about the current portrait, shown for
    // as long as it has unsaved changes and stays the current one.
    void SetNotice(const std::string& text);

    void OnListSelect(int32_t row);
    void OnListSearch(const std::string& text);
    void OnViewMenu(int32_t id);
    void OnTimer(int32_t id);
    void OnPaintPreview();

    const CPortraitList& List() const { return m_list; }
    const CPreviewPanel& Preview() const { return m_preview; }

private:
    void UnsavedOf(int32_t portrait, bool (&unsaved)[kSizeCount]) const;
    void ShowList();
    void ShowViewChoices();
    void StartOrStopTimer();

    CEditorModel& m_model;
    ICommandUi& m_ui;
    IEditorView& m_view;
    CPortraitList m_list;
    CPreviewPanel m_preview;
    bool m_rowsChanged = false;
    std::string m_shownFooter;
    int32_t m_shownPortrait = -1;
    std::string m_notice;
    int32_t m_noticePortrait = -1;
};
