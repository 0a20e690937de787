// Runs a dialog without a window: the client area is a canvas in memory,
// message boxes are recorded (and printed when asked) and so is what the
// dialog's commands did, the open-file and folder dialogs answer from a
// script, progress dialogs are recorded and cancelled on request, and scroll
// bars, controls and the menu's items keep their state. Tests
// and the command-line tool drive dialogs through it, one input message at a
// time, exactly as a window would deliver them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Canvas.h"
#include "CommandEffects.h"
#include "DialogHost.h"
#include "DialogMessage.h"
#include "Icon.h"
#include "MenuTemplate.h"
#include "ScrollRange.h"

class CDialog;

class CHeadlessHost : public IDialogHost {
public:
    struct ShownMessage {
        std::string text;
        std::string caption;
        bool owned; // owned by the dialog (false: a box without owner window)
        bool question = false; // asked Yes or No
    };
    struct ScrollBarState : ScrollRange {
        PixelRect rect{};
    };
    struct FolderRequest {
        std::string title, startFolder;
    };
    // A progress dialog as it was shown: each step's count done and text.
    struct ProgressShown {
        std::string title;
        int32_t total = 0;
        std::vector<std::pair<int32_t, std::string>> steps;
        bool ended = false;
    };
    struct ControlState {
        ControlKind kind;
        std::string text;
        int32_t check = 0;
        bool enabled = true;
    };

    // Opens the dialog: controls from its template, a canvas of its client
    // size in the background colour, OnInitDialog, then a first paint.
    void Open(CDialog& dialog);
    bool IsOpen() const { return m_dialog != nullptr; }
    int32_t Result() const { return m_result; }

    // Input, each delivered like the window delivers it.
    void Paint();
    void Wheel(int16_t delta, ClientPoint point = {});
    void Click(int32_t x, int32_t y);
    void Scroll(int32_t id, int32_t code, int32_t thumbPosition = 0);
    void Command(int32_t id);
    // A key: the dialog hears it, then Enter gives the command of the
    // control with the focus (CDialog::EnterCommand) and Escape cancel, as
    // in any dialog.
    void Key(uint32_t key, bool character = false);
    // The focus: a control's id, or CDialog::kClientAreaFocus once a click
    // in the client area took it. It starts on the default push button, and
    // a command of a push button or check box moves it there, as clicking
    // one does in a window; SetFocus stands for the Tab key bringing it.
    int32_t Focus() const { return m_focus; }
    void SetFocus(int32_t id) { m_focus = id; }
    // Clicks a check box: its state flips, then the dialog hears the command.
    void ToggleCheck(int32_t id);
    // Chooses a menu item as a window's menu does: a radio item becomes the
    // checked one of its group, a checkable item's mark flips, then the
    // dialog hears the command. An id the menu does not hold does nothing.
    void ChooseMenuItem(int32_t id);
    // Delivers a message; the answer of a query (the drag icon) is left in it.
    bool Send(DialogMessage& message);
    bool Send(DialogMessage&& message) { return Send(message); }

    // Answers for coming open-file dialogs, in order: a path, or nullopt
    // for cancel. With none left the dialog is cancelled.
    void QueueOpenFileAnswer(std::optional<std::string> path) { m_fileAnswers.push_back(std::move(path)); }
    const std::vector<OpenFileRequest>& OpenFileRequests() const { return m_fileRequests; }

    // Answers for coming folder choosers, in order: a folder, or nullopt for
    // cancel. With none left the chooser is cancelled.
    void QueueFolderAnswer(std::optional<std::string> folder) { m_folderAnswers.push_back(std::move(folder)); }
    const std::vector<FolderRequest>& FolderRequests() const { return m_folderRequests; }

    // The next progress dialog is cancelled at its step-th step (0 for the
    // first): from that step on StepProgress answers false.
    void CancelProgressAtStep(int32_t step) { m_cancelAtStep = step; }
    const std::vector<ProgressShown>& Progress() const { return m_progress; }

    // Answers for coming Yes-or-No questions, in order; with none left the
    // question gets its default, No.
    void QueueYesNoAnswer(bool yes) { m_yesNoAnswers.push_back(yes); }

    // Messages for RunModal, delivered in order after the dialog opened.
    void QueueMessage(DialogMessage message) { m_script.push_back(message); }

    // Files shared with the desktop, and time. Drop gives files dropped at
    // the point, DragFrom a drag begun by a press at the point.
    void Drop(ClientPoint point, std::vector<std::string> paths);
    void DragFrom(ClientPoint point);
    // The files dragged out and opened in the default program, in order;
    // each opening fails while FailOpening(true) holds.
    const std::vector<std::string>& FileDrags() const { return m_fileDrags; }
    const std::vector<std::string>& OpenedFiles() const { return m_openedFiles; }
    void FailOpening(bool fail) { m_failOpening = fail; }
    // The watched file; empty when none is.
    const std::string& WatchedFile() const { return m_watchedFile; }
    // The watched file changed, as a window's watcher says; nothing when
    // none is watched.
    void ChangeWatchedFile();
    // Time passes: each timer that runs out meanwhile is delivered, in order.
    void AdvanceTime(int32_t milliseconds);
    bool HasTimer(int32_t id) const { return m_timers.count(id) != 0; }

    const std::vector<ShownMessage>& Messages() const { return m_messages; }
    void ClearMessages() { m_messages.clear(); }
    // Print each message box's text to this stream as it is shown (null: don't).
    void EchoMessagesTo(FILE* stream) { m_echo = stream; }
    void SetMinimized(bool minimized) { m_minimized = minimized; }
    int32_t PaintCount() const { return m_paints; }
    const ScrollBarState* ScrollBar(int32_t id) const;
    const ControlState* Control(int32_t id) const;
    const Icon* WindowIcon(bool big) const { return big ? &m_bigIcon : &m_smallIcon; }
    // The menu bar the dialog set; null when it has none.
    const MenuTemplate* Menu() const { return m_menu ? &*m_menu : nullptr; }

    // The panels: the list as the dialog set it, a preview canvas of
    // kPreviewWidth x kPreviewHeight unless resized, and timers that a test
    // runs out by hand.
    static constexpr int32_t kPreviewWidth = 256;
    static constexpr int32_t kPreviewHeight = 256;
    const std::vector<std::string>& ListColumns() const { return m_listColumns; }
    const std::vector<ListRow>& ListRows() const { return m_listRows; }
    int32_t ListSelection() const { return m_listSelection; }
    const std::string& ListFooter() const { return m_listFooter; }
    // The user clicks a row: it shows as chosen, then the dialog hears it.
    void ChooseListRow(int32_t row);
    // The user has typed text in the list, as a list's keyboard search gathers it.
    void TypeInList(const std::string& text);
    // The panel is resized: a canvas of the new size, painted.
    void ResizePreview(int32_t width, int32_t height);
    int32_t PreviewPaintCount() const { return m_previewPaints; }
    // The interval of a running timer; 0 for one that does not run.
    int32_t TimerInterval(int32_t id) const;
    // Its interval passes once; false when the timer does not run.
    bool FireTimer(int32_t id);

    // IDialogHost.
    int32_t RunModal(CDialog& dialog) override;
    void EndDialog(int32_t result) override;
    CCanvas& Canvas() override { return m_canvas; }
    void Redraw() override;
    bool IsMinimized() const override { return m_minimized; }
    void SetIcon(const Icon& icon, bool big) override;
    bool HasControl(int32_t id) const override;
    void SetControlText(int32_t id, const std::string& text) override;
    std::string GetControlText(int32_t id) const override;
    void SetCheck(int32_t id, int32_t state) override;
    int32_t GetCheck(int32_t id) const override;
    void EnableControl(int32_t id, bool enabled) override;
    void SetMenu(const MenuTemplate& menu) override;
    void CheckMenuItem(int32_t id, bool checked) override;
    bool IsMenuItemChecked(int32_t id) const override;
    void EnableMenuItem(int32_t id, bool enabled) override;
    bool IsMenuItemEnabled(int32_t id) const override;
    void ShowMessageBox(const std::string& text, const std::string& caption) override;
    void ShowUnownedMessageBox(const std::string& text, const std::string& caption) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    bool GetOpenFileName(const OpenFileRequest& request, std::string& path) override;
    bool ChooseFolder(const std::string& title, const std::string& startFolder, std::string& folder) override;
    void BeginProgress(const std::string& title, int32_t total) override;
    bool StepProgress(int32_t done, const std::string& text) override;
    void EndProgress() override;
    void CreateScrollBar(int32_t id, const PixelRect& rect) override;
    void SetScrollRange(int32_t id, int32_t min, int32_t max, bool redraw) override;
    void GetScrollRange(int32_t id, int32_t& min, int32_t& max) const override;
    int32_t SetScrollPos(int32_t id, int32_t position, bool redraw) override;
    int32_t GetScrollPos(int32_t id) const override;
    void StartFileDrag(const std::string& path) override { m_fileDrags.push_back(path); }
    bool OpenWithDefaultProgram(const std::string& path) override;
    void WatchFile(const std::string& path) override { m_watchedFile = path; }
    void StopWatching() override { m_watchedFile.clear(); }
    void SetTimer(int32_t id, int32_t milliseconds) override;
    void SetListColumns(const std::vector<std::string>& columns) override { m_listColumns = columns; }
    void SetListRows(const std::vector<ListRow>& rows) override { m_listRows = rows; }
    void SetListSelection(int32_t row) override { m_listSelection = row; }
    void SetListFooter(const std::string& text) override { m_listFooter = text; }
    CCanvas* PreviewCanvas() override { return &m_preview; }
    void RedrawPreview() override;
    void KillTimer(int32_t id) override { m_timers.erase(id); }
    // Kept from Open on; the caller clears it between commands.
    CommandEffects* Effects() override { return &m_effects; }
    // Settings kept in memory, for as long as the host lives.
    std::vector<std::string> ReadSetting(const std::string& key) const override;
    void WriteSetting(const std::string& key, const std::vector<std::string>& values) override;

private:
    void Record(const std::string& text, const std::string& caption, bool owned);

    CDialog* m_dialog = nullptr;
    int32_t m_result = 0;
    CCanvas m_canvas;
    bool m_minimized = false;
    int32_t m_paints = 0;
    Icon m_bigIcon, m_smallIcon;
    std::map<int32_t, ControlState> m_controls;
    std::map<int32_t, ScrollBarState> m_scrollBars;
    std::optional<MenuTemplate> m_menu;
    std::map<int32_t, bool> m_menuChecks; // by item id
    std::map<int32_t, bool> m_menuDisabled; // by item id
    std::vector<ShownMessage> m_messages;
    CommandEffects m_effects;
    std::map<std::string, std::vector<std::string>> m_settings;
    FILE* m_echo = nullptr;
    std::deque<std::optional<std::string>> m_fileAnswers;
    std::deque<bool> m_yesNoAnswers;
    std::vector<OpenFileRequest> m_fileRequests;
    std::deque<std::optional<std::string>> m_folderAnswers;
    std::vector<FolderRequest> m_folderRequests;
    std::vector<ProgressShown> m_progress;
    std::optional<int32_t> m_cancelAtStep;
    std::deque<DialogMessage> m_script;
    int32_t m_focus = 0;
    struct TimerState {
        int64_t interval = 1, due = 0; // milliseconds
    };
    std::vector<std::string> m_fileDrags, m_openedFiles;
    bool m_failOpening = false;
    std::string m_watchedFile;
    std::map<int32_t, TimerState> m_timers;
    int64_t m_now = 0; // milliseconds since the host was made
    std::vector<std::string> m_listColumns;
    std::vector<ListRow> m_listRows;
    int32_t m_listSelection = -1;
    std::string m_listFooter;
    CCanvas m_preview;
    int32_t m_previewPaints = 0;
};
