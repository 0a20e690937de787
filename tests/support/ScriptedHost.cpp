// The tests' headless host: the production host's dialog, canvas and
// records, with answers, time and the panels scripted by the test.
#include "ScriptedHost.h"

#include "Dialog.h"

void CScriptedHost::Open(CDialog& dialog)
{
    m_listColumns.clear();
    m_listRows.clear();
    m_listSelection = -1;
    m_listFooter.clear();
    m_preview = CCanvas(kPreviewWidth, kPreviewHeight, kDialogBackgroundRgb);
    CHeadlessHost::Open(dialog);
}

bool CScriptedHost::Send(DialogMessage& message)
{
    if (IsOpen() && message.kind == MessageKind::Paint)
        ++m_paints;
    if (IsOpen() && message.kind == MessageKind::PaintPreview)
        ++m_previewPaints;
    return CHeadlessHost::Send(message);
}

int32_t CScriptedHost::RunModal(CDialog& dialog)
{
    Open(dialog);
    while (IsOpen() && !m_script.empty()) {
        DialogMessage m = m_script.front();
        m_script.pop_front();
        Send(m);
    }
    // With no input left, the user closes the window.
    if (IsOpen())
        Command(IDCANCEL);
    return Result();
}

void CScriptedHost::EndDialog(int32_t result)
{
    CHeadlessHost::EndDialog(result);
    m_watchedFile.clear();
    m_timers.clear();
}

void CScriptedHost::Echo() const
{
    if (m_echo && !Messages().empty()) {
        std::fprintf(m_echo, "%s\n", Messages().back().text.c_str());
        std::fflush(m_echo);
    }
}

void CScriptedHost::ShowMessageBox(const std::string& text, const std::string& caption)
{
    CHeadlessHost::ShowMessageBox(text, caption);
    Echo();
}

void CScriptedHost::ShowUnownedMessageBox(const std::string& text, const std::string& caption)
{
    CHeadlessHost::ShowUnownedMessageBox(text, caption);
    Echo();
}

bool CScriptedHost::AskYesNo(const std::string& text, const std::string& caption)
{
    CHeadlessHost::AskYesNo(text, caption);
    Echo();
    return Answer(false);
}

bool CScriptedHost::AskYesNoDefaultYes(const std::string& text, const std::string& caption)
{
    CHeadlessHost::AskYesNoDefaultYes(text, caption);
    Echo();
    return Answer(true);
}

bool CScriptedHost::Answer(bool byDefault)
{
    if (m_yesNoAnswers.empty())
        return byDefault;
    const bool yes = m_yesNoAnswers.front();
    m_yesNoAnswers.pop_front();
    return yes;
}

bool CScriptedHost::GetOpenFileName(const OpenFileRequest& request, std::string& path)
{
    m_fileRequests.push_back(request);
    std::optional<std::string> answer;
    if (!m_fileAnswers.empty()) {
        answer = m_fileAnswers.front();
        m_fileAnswers.pop_front();
    }
    // A path longer than the caller's buffer cannot be returned, as with the
    // real dialog.
    if (!answer || answer->size() + 1 > request.bufferSize) {
        path.clear();
        return false;
    }
    path = *answer;
    return true;
}

bool CScriptedHost::ChooseFolderToWrite(const std::string& title, const std::string& startFolder, std::string& folder)
{
    const bool chosen = ChooseFolder(title, startFolder, folder);
    m_folderRequests.back().toWrite = true;
    return chosen;
}

bool CScriptedHost::ChooseFolder(const std::string& title, const std::string& startFolder, std::string& folder)
{
    m_folderRequests.push_back({title, startFolder, false});
    folder.clear();
    if (m_folderAnswers.empty())
        return false;
    const std::optional<std::string> answer = m_folderAnswers.front();
    m_folderAnswers.pop_front();
    if (answer)
        folder = *answer;
    return answer.has_value();
}

void CScriptedHost::BeginProgress(const std::string& title, int32_t total)
{
    m_progress.push_back({title, total, {}, false});
}

bool CScriptedHost::StepProgress(int32_t done, const std::string& text)
{
    if (m_progress.empty() || m_progress.back().ended)
        return true;
    std::vector<std::pair<int32_t, std::string>>& steps = m_progress.back().steps;
    steps.emplace_back(done, text);
    return !m_cancelAtStep || static_cast<int32_t>(steps.size()) <= *m_cancelAtStep;
}

void CScriptedHost::EndProgress()
{
    if (!m_progress.empty() && !m_progress.back().ended) {
        m_progress.back().ended = true;
        m_cancelAtStep.reset();
    }
}

void CScriptedHost::Drop(ClientPoint point, std::vector<std::string> paths)
{
    DialogMessage m{MessageKind::DropFiles};
    m.point = point;
    m.paths = std::move(paths);
    Send(m);
}

void CScriptedHost::DragFrom(ClientPoint point)
{
    DialogMessage m{MessageKind::BeginDrag};
    m.flags = 0x0001; // the left button is down
    m.point = point;
    Send(m);
}

bool CScriptedHost::OpenWithDefaultProgram(const std::string& path)
{
    m_openedFiles.push_back(path);
    return !m_failOpening;
}

void CScriptedHost::ChangeWatchedFile()
{
    if (m_watchedFile.empty())
        return;
    DialogMessage m{MessageKind::FileChanged};
    m.paths = {m_watchedFile};
    Send(m);
}

void CScriptedHost::SetTimer(int32_t id, int32_t milliseconds)
{
    const int64_t interval = milliseconds > 0 ? milliseconds : 1;
    m_timers[id] = TimerState{interval, m_now + interval};
}

void CScriptedHost::AdvanceTime(int32_t milliseconds)
{
    const int64_t end = m_now + (milliseconds > 0 ? milliseconds : 0);
    // The timer due first goes first; a handler may set or kill timers.
    for (;;) {
        auto next = m_timers.end();
        for (auto it = m_timers.begin(); it != m_timers.end(); ++it)
            if (it->second.due <= end && (next == m_timers.end() || it->second.due < next->second.due))
                next = it;
        if (next == m_timers.end() || !IsOpen())
            break;
        m_now = next->second.due;
        next->second.due += next->second.interval;
        DialogMessage m{MessageKind::Timer};
        m.id = next->first;
        Send(m);
    }
    m_now = end;
}

int32_t CScriptedHost::TimerInterval(int32_t id) const
{
    auto it = m_timers.find(id);
    return it == m_timers.end() ? 0 : static_cast<int32_t>(it->second.interval);
}

bool CScriptedHost::FireTimer(int32_t id)
{
    if (TimerInterval(id) == 0)
        return false;
    DialogMessage m{MessageKind::Timer};
    m.id = id;
    Send(m);
    return true;
}

void CScriptedHost::ChooseListRow(int32_t row)
{
    if (row < 0 || row >= static_cast<int32_t>(m_listRows.size()))
        return;
    m_listSelection = row;
    DialogMessage m{MessageKind::ListSelect};
    m.position = row;
    Send(m);
}

void CScriptedHost::TypeInList(const std::string& text)
{
    DialogMessage m{MessageKind::ListSearch};
    m.text = text;
    Send(m);
}

void CScriptedHost::ResizePreview(int32_t width, int32_t height)
{
    m_preview = CCanvas(width, height, kDialogBackgroundRgb);
    RedrawPreview();
}

void CScriptedHost::RedrawPreview()
{
    Send(DialogMessage{MessageKind::PaintPreview});
}
