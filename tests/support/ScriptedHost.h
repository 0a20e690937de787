// The headless host as the tests drive it: answers for the open-file and
// folder dialogs and the questions given in advance, a progress dialog
// recorded and cancelled on request, messages queued for RunModal, the
// desktop's files and a clock that the test moves by hand, and the list and
// preview panels recorded as the dialog sets them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "HeadlessHost.h"

class CScriptedHost : public CHeadlessHost {
public:
    struct FolderRequest {
        std::string title, startFolder;
        bool toWrite = false; // a folder to write into, which may be a new one
    };
    // A progress dialog as it was shown: each step's count done and text.
    struct ProgressShown {
        std::string title;
        int32_t total = 0;
        std::vector<std::pair<int32_t, std::string>> steps;
        bool ended = false;
    };

    // The panels start empty, with a preview canvas of the default size.
    void Open(CDialog& dialog) override;
    // Counts the paints of the client area and of the preview.
    bool Send(DialogMessage& message) override;
    using CHeadlessHost::Send;

    // Answers for coming open-file dialogs, in order: a path, or nullopt
    // for cancel. With none left the dialog is cancelled.
    void QueueOpenFileAnswer(std::optional<std::string> path) { m_fileAnswers.push_back(std::move(path)); }
    const std::vector<OpenFileRequest>& OpenFileRequests() const { return m_fileRequests; }

    // Answers for coming folder choosers, in order: a folder (for a folder
    // to write into, one that does not exist yet too), or nullopt for
    // cancel. With none left the chooser is cancelled.
    void QueueFolderAnswer(std::optional<std::string> folder) { m_folderAnswers.push_back(std::move(folder)); }
    const std::vector<FolderRequest>& FolderRequests() const { return m_folderRequests; }

    // The next progress dialog is cancelled at its step-th step (0 for the
    // first): from that step on StepProgress answers false.
    void CancelProgressAtStep(int32_t step) { m_cancelAtStep = step; }
    const std::vector<ProgressShown>& Progress() const { return m_progress; }

    // Answers for coming Yes-or-No questions, in order; with none left the
    // question gets its default, No (or Yes for one with Yes the default).
    void QueueYesNoAnswer(bool yes) { m_yesNoAnswers.push_back(yes); }

    // Messages for RunModal, delivered in order after the dialog opened.
    void QueueMessage(DialogMessage message) { m_script.push_back(std::move(message)); }

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
    // The interval of a running timer; 0 for one that does not run.
    int32_t TimerInterval(int32_t id) const;
    // Its interval passes once; false when the timer does not run.
    bool FireTimer(int32_t id);

    // Print each message box's text to this stream as it is shown (null: don't).
    void EchoMessagesTo(FILE* stream) { m_echo = stream; }
    void SetMinimized(bool minimized) { m_minimized = minimized; }
    int32_t PaintCount() const { return m_paints; }

    // The panels: the list as the dialog set it, and a preview canvas of
    // kPreviewWidth x kPreviewHeight unless resized.
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

    // IDialogHost.
    // Delivers the queued messages; when they run out, the user closes the window.
    int32_t RunModal(CDialog& dialog) override;
    // The window's watch and timers end with it.
    void EndDialog(int32_t result) override;
    bool IsMinimized() const override { return m_minimized; }
    void ShowMessageBox(const std::string& text, const std::string& caption) override;
    void ShowUnownedMessageBox(const std::string& text, const std::string& caption) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    bool AskYesNoDefaultYes(const std::string& text, const std::string& caption) override;
    bool GetOpenFileName(const OpenFileRequest& request, std::string& path) override;
    // Answered by pictureCrop when a test set it, else with the initial choice.
    bool ChoosePictureCrop(const PictureCropRequest& request, IPicturePreviews& previews,
                           PictureCropChoice& choice) override
    {
        if (!pictureCrop)
            return CHeadlessHost::ChoosePictureCrop(request, previews, choice);
        choice = request.initial;
        return pictureCrop(request, previews, choice);
    }
    std::function<bool(const PictureCropRequest&, IPicturePreviews&, PictureCropChoice&)> pictureCrop;
    bool ChooseFolder(const std::string& title, const std::string& startFolder, std::string& folder) override;
    bool ChooseFolderToWrite(const std::string& title, const std::string& startFolder, std::string& folder) override;
    void BeginProgress(const std::string& title, int32_t total) override;
    bool StepProgress(int32_t done, const std::string& text) override;
    void EndProgress() override;
    void StartFileDrag(const std::string& path) override { m_fileDrags.push_back(path); }
    bool OpenWithDefaultProgram(const std::string& path) override;
    void WatchFile(const std::string& path) override { m_watchedFile = path; }
    void StopWatching() override { m_watchedFile.clear(); }
    void SetTimer(int32_t id, int32_t milliseconds) override;
    void KillTimer(int32_t id) override { m_timers.erase(id); }
    void SetListColumns(const std::vector<std::string>& columns) override { m_listColumns = columns; }
    void SetListRows(const std::vector<ListRow>& rows) override { m_listRows = rows; }
    void SetListSelection(int32_t row) override { m_listSelection = row; }
    void SetListFooter(const std::string& text) override { m_listFooter = text; }
    CCanvas* PreviewCanvas() override { return &m_preview; }
    void RedrawPreview() override;

private:
    // Prints the text of the message just shown, when asked to.
    void Echo() const;
    // The next queued answer, or the question's default.
    bool Answer(bool byDefault);

    FILE* m_echo = nullptr;
    bool m_minimized = false;
    int32_t m_paints = 0;
    std::deque<std::optional<std::string>> m_fileAnswers;
    std::deque<bool> m_yesNoAnswers;
    std::vector<OpenFileRequest> m_fileRequests;
    std::deque<std::optional<std::string>> m_folderAnswers;
    std::vector<FolderRequest> m_folderRequests;
    std::vector<ProgressShown> m_progress;
    std::optional<int32_t> m_cancelAtStep;
    std::deque<DialogMessage> m_script;
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
