#include "HeadlessHost.h"

#include "Dialog.h"

void CHeadlessHost::Open(CDialog& dialog)
{
    m_dialog = &dialog;
    m_result = 0;
    dialog.AttachHost(this);
    m_canvas = CCanvas(dialog.ClientWidth(), dialog.ClientHeight(), kDialogBackgroundRgb);
    m_controls.clear();
    m_scrollBars.clear();
    m_menu.reset();
    m_menuChecks.clear();
    m_menuDisabled.clear();
    m_focus = CDialog::kClientAreaFocus;
    for (const ControlTemplate& c : dialog.Template().controls) {
        m_controls[c.id] = ControlState{c.kind, c.text, 0};
        if (c.kind == ControlKind::DefaultPushButton)
            m_focus = c.id;
    }
    m_listColumns.clear();
    m_listRows.clear();
    m_listSelection = -1;
    m_listFooter.clear();
    m_preview = CCanvas(kPreviewWidth, kPreviewHeight, kDialogBackgroundRgb);
    dialog.OnInitDialog();
    // The window appears: its client area is painted once.
    if (m_dialog)
        Paint();
}

int32_t CHeadlessHost::RunModal(CDialog& dialog)
{
    Open(dialog);
    while (m_dialog && !m_script.empty()) {
        DialogMessage m = m_script.front();
        m_script.pop_front();
        Send(m);
    }
    // With no input left, the user closes the window.
    if (m_dialog)
        Command(IDCANCEL);
    return m_result;
}

void CHeadlessHost::EndDialog(int32_t result)
{
    m_result = result;
    m_dialog = nullptr;
    // The window's watch and timers end with it.
    m_watchedFile.clear();
    m_timers.clear();
}

bool CHeadlessHost::Send(DialogMessage& message)
{
    if (!m_dialog)
        return false;
    if (message.kind == MessageKind::Paint)
        ++m_paints;
    if (message.kind == MessageKind::PaintPreview)
        ++m_previewPaints;
    return m_dialog->Dispatch(message);
}

void CHeadlessHost::Paint()
{
    Send(DialogMessage{MessageKind::Paint});
}

void CHeadlessHost::Redraw()
{
    Paint();
}

void CHeadlessHost::Wheel(int16_t delta, ClientPoint point)
{
    DialogMessage m{MessageKind::MouseWheel};
    m.delta = delta;
    m.point = point;
    Send(m);
}

void CHeadlessHost::Click(int32_t x, int32_t y)
{
    DialogMessage m{MessageKind::LButtonDown};
    m.flags = 0x0001; // the left button is down
    m.point = {x, y};
    m_focus = CDialog::kClientAreaFocus;
    Send(m);
}

void CHeadlessHost::Scroll(int32_t id, int32_t code, int32_t thumbPosition)
{
    DialogMessage m{MessageKind::HScroll};
    m.id = id;
    m.code = code;
    m.position = thumbPosition;
    Send(m);
}

void CHeadlessHost::Command(int32_t id)
{
    // A disabled button gives no command, as in a window.
    const ControlState* c = Control(id);
    if (c && !c->enabled)
        return;
    if (c && (c->kind == ControlKind::PushButton || c->kind == ControlKind::DefaultPushButton ||
              c->kind == ControlKind::AutoCheckBox))
        m_focus = id;
    DialogMessage m{MessageKind::Command};
    m.id = id;
    Send(m);
}

void CHeadlessHost::Key(uint32_t key, bool character)
{
    DialogMessage m{character ? MessageKind::Char : MessageKind::KeyDown};
    m.key = key;
    Send(m);
    if (character || !m_dialog)
        return;
    if (key == VK_ESCAPE)
        Command(IDCANCEL);
    else if (key == VK_RETURN && m_dialog->EnterCommand(m_focus) != 0)
        Command(m_dialog->EnterCommand(m_focus));
}

void CHeadlessHost::ToggleCheck(int32_t id)
{
    auto it = m_controls.find(id);
    if (it == m_controls.end())
        return;
    it->second.check = it->second.check ? 0 : 1;
    Command(id);
}

void CHeadlessHost::ChooseMenuItem(int32_t id)
{
    const MenuItemTemplate* item = m_menu ? FindMenuItem(*m_menu, id) : nullptr;
    if (!item || !IsMenuItemEnabled(id))
        return;
    if (item->radioGroup != 0)
        CheckMenuItem(id, true);
    else if (item->checkable)
        m_menuChecks[id] = !m_menuChecks[id];
    Command(id);
}

void CHeadlessHost::SetMenu(const MenuTemplate& menu)
{
    m_menu = menu;
    m_menuChecks.clear();
    m_menuDisabled.clear();
    for (const PopupMenuTemplate& popup : menu.menus)
        for (const MenuItemTemplate& item : popup.items)
            if (item.id != 0)
                m_menuChecks[item.id] = false;
}

void CHeadlessHost::CheckMenuItem(int32_t id, bool checked)
{
    const MenuItemTemplate* item = m_menu ? FindMenuItem(*m_menu, id) : nullptr;
    if (!item)
        return;
    if (checked && item->radioGroup != 0)
        for (const PopupMenuTemplate& popup : m_menu->menus)
            for (const MenuItemTemplate& other : popup.items)
                if (other.id != 0 && other.radioGroup == item->radioGroup)
                    m_menuChecks[other.id] = false;
    m_menuChecks[id] = checked;
}

bool CHeadlessHost::IsMenuItemChecked(int32_t id) const
{
    auto it = m_menuChecks.find(id);
    return it != m_menuChecks.end() && it->second;
}

void CHeadlessHost::EnableMenuItem(int32_t id, bool enabled)
{
    if (m_menu && FindMenuItem(*m_menu, id))
        m_menuDisabled[id] = !enabled;
}

bool CHeadlessHost::IsMenuItemEnabled(int32_t id) const
{
    auto it = m_menuDisabled.find(id);
    return it == m_menuDisabled.end() || !it->second;
}

void CHeadlessHost::SetIcon(const Icon& icon, bool big)
{
    (big ? m_bigIcon : m_smallIcon) = icon;
}

bool CHeadlessHost::HasControl(int32_t id) const
{
    return m_controls.count(id) != 0;
}

void CHeadlessHost::SetControlText(int32_t id, const std::string& text)
{
    auto it = m_controls.find(id);
    if (it != m_controls.end())
        it->second.text = text;
}

std::string CHeadlessHost::GetControlText(int32_t id) const
{
    auto it = m_controls.find(id);
    return it == m_controls.end() ? std::string() : it->second.text;
}

void CHeadlessHost::SetCheck(int32_t id, int32_t state)
{
    auto it = m_controls.find(id);
    if (it != m_controls.end())
        it->second.check = state;
}

int32_t CHeadlessHost::GetCheck(int32_t id) const
{
    auto it = m_controls.find(id);
    return it == m_controls.end() ? 0 : it->second.check;
}

const CHeadlessHost::ControlState* CHeadlessHost::Control(int32_t id) const
{
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : &it->second;
}

void CHeadlessHost::Record(const std::string& text, const std::string& caption, bool owned)
{
    m_messages.push_back({text, caption, owned});
    if (m_echo) {
        std::fprintf(m_echo, "%s\n", text.c_str());
        std::fflush(m_echo);
    }
}

void CHeadlessHost::ShowMessageBox(const std::string& text, const std::string& caption)
{
    Record(text, caption, true);
}

void CHeadlessHost::ShowUnownedMessageBox(const std::string& text, const std::string& caption)
{
    Record(text, caption, false);
}

bool CHeadlessHost::AskYesNo(const std::string& text, const std::string& caption)
{
    Record(text, caption, true);
    m_messages.back().question = true;
    if (m_yesNoAnswers.empty())
        return false;
    const bool yes = m_yesNoAnswers.front();
    m_yesNoAnswers.pop_front();
    return yes;
}

void CHeadlessHost::EnableControl(int32_t id, bool enabled)
{
    auto it = m_controls.find(id);
    if (it != m_controls.end())
        it->second.enabled = enabled;
}

bool CHeadlessHost::GetOpenFileName(const OpenFileRequest& request, std::string& path)
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

bool CHeadlessHost::ChooseFolder(const std::string& title, const std::string& startFolder, std::string& folder)
{
    m_folderRequests.push_back({title, startFolder});
    folder.clear();
    if (m_folderAnswers.empty())
        return false;
    const std::optional<std::string> answer = m_folderAnswers.front();
    m_folderAnswers.pop_front();
    if (answer)
        folder = *answer;
    return answer.has_value();
}

void CHeadlessHost::BeginProgress(const std::string& title, int32_t total)
{
    m_progress.push_back({title, total, {}, false});
}

bool CHeadlessHost::StepProgress(int32_t done, const std::string& text)
{
    if (m_progress.empty() || m_progress.back().ended)
        return true;
    std::vector<std::pair<int32_t, std::string>>& steps = m_progress.back().steps;
    steps.emplace_back(done, text);
    return !m_cancelAtStep || static_cast<int32_t>(steps.size()) <= *m_cancelAtStep;
}

void CHeadlessHost::EndProgress()
{
    if (!m_progress.empty() && !m_progress.back().ended) {
        m_progress.back().ended = true;
        m_cancelAtStep.reset();
    }
}

void CHeadlessHost::CreateScrollBar(int32_t id, const PixelRect& rect)
{
    m_scrollBars[id] = ScrollBarState{};
    m_scrollBars[id].rect = rect;
}

void CHeadlessHost::SetScrollRange(int32_t id, int32_t min, int32_t max, bool)
{
    ScrollBarState& s = m_scrollBars[id];
    s.min = min;
    s.max = max;
}

void CHeadlessHost::GetScrollRange(int32_t id, int32_t& min, int32_t& max) const
{
    auto it = m_scrollBars.find(id);
    min = it == m_scrollBars.end() ? 0 : it->second.min;
    max = it == m_scrollBars.end() ? 0 : it->second.max;
}

int32_t CHeadlessHost::SetScrollPos(int32_t id, int32_t position, bool)
{
    return m_scrollBars[id].SetPosition(position);
}

int32_t CHeadlessHost::GetScrollPos(int32_t id) const
{
    auto it = m_scrollBars.find(id);
    return it == m_scrollBars.end() ? 0 : it->second.position;
}

const CHeadlessHost::ScrollBarState* CHeadlessHost::ScrollBar(int32_t id) const
{
    auto it = m_scrollBars.find(id);
    return it == m_scrollBars.end() ? nullptr : &it->second;
}

std::vector<std::string> CHeadlessHost::ReadSetting(const std::string& key) const
{
    const auto it = m_settings.find(key);
    return it == m_settings.end() ? std::vector<std::string>{} : it->second;
}

void CHeadlessHost::WriteSetting(const std::string& key, const std::vector<std::string>& values)
{
    m_settings[key] = values;
}

void CHeadlessHost::Drop(ClientPoint point, std::vector<std::string> paths)
{
    DialogMessage m{MessageKind::DropFiles};
    m.point = point;
    m.paths = std::move(paths);
    Send(m);
}

void CHeadlessHost::DragFrom(ClientPoint point)
{
    DialogMessage m{MessageKind::BeginDrag};
    m.flags = 0x0001; // the left button is down
    m.point = point;
    Send(m);
}

bool CHeadlessHost::OpenWithDefaultProgram(const std::string& path)
{
    m_openedFiles.push_back(path);
    return !m_failOpening;
}

void CHeadlessHost::ChangeWatchedFile()
{
    if (m_watchedFile.empty())
        return;
    DialogMessage m{MessageKind::FileChanged};
    m.paths = {m_watchedFile};
    Send(m);
}

void CHeadlessHost::SetTimer(int32_t id, int32_t milliseconds)
{
    const int64_t interval = milliseconds > 0 ? milliseconds : 1;
    m_timers[id] = TimerState{interval, m_now + interval};
}

void CHeadlessHost::AdvanceTime(int32_t milliseconds)
{
    const int64_t end = m_now + (milliseconds > 0 ? milliseconds : 0);
    // The timer due first goes first; a handler may set or kill timers.
    for (;;) {
        auto next = m_timers.end();
        for (auto it = m_timers.begin(); it != m_timers.end(); ++it)
            if (it->second.due <= end && (next == m_timers.end() || it->second.due < next->second.due))
                next = it;
        if (next == m_timers.end() || !m_dialog)
            break;
        m_now = next->second.due;
        next->second.due += next->second.interval;
        DialogMessage m{MessageKind::Timer};
        m.id = next->first;
        Send(m);
    }
    m_now = end;
}

void CHeadlessHost::ChooseListRow(int32_t row)
{
    if (row < 0 || row >= static_cast<int32_t>(m_listRows.size()))
        return;
    m_listSelection = row;
    DialogMessage m{MessageKind::ListSelect};
    m.position = row;
    Send(m);
}

void CHeadlessHost::TypeInList(const std::string& text)
{
    DialogMessage m{MessageKind::ListSearch};
    m.text = text;
    Send(m);
}

void CHeadlessHost::ResizePreview(int32_t width, int32_t height)
{
    m_preview = CCanvas(width, height, kDialogBackgroundRgb);
    RedrawPreview();
}

void CHeadlessHost::RedrawPreview()
{
    Send(DialogMessage{MessageKind::PaintPreview});
}

int32_t CHeadlessHost::TimerInterval(int32_t id) const
{
    auto it = m_timers.find(id);
    return it == m_timers.end() ? 0 : static_cast<int32_t>(it->second.interval);
}

bool CHeadlessHost::FireTimer(int32_t id)
{
    if (TimerInterval(id) == 0)
        return false;
    DialogMessage m{MessageKind::Timer};
    m.id = id;
    Send(m);
    return true;
}
