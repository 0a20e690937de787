// The headless host for the command-line tool and the benchmarks: a dialog
// in memory, driven one input message at a time, with nobody to answer it.
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
    m_placement.reset();
    m_watchedFolder.clear();
    // No button has the focus until the user gives it one.
    m_focus = CDialog::kClientAreaFocus;
    for (const ControlTemplate& c : dialog.Template().controls)
        m_controls[c.id] = ControlState{c.kind, c.text, 0};
    dialog.OnInitDialog();
    // The window appears: its client area is painted once.
    if (m_dialog)
        Paint();
}

int32_t CHeadlessHost::RunModal(CDialog& dialog)
{
    Open(dialog);
    if (m_dialog)
        Command(IDCANCEL);
    return m_result;
}

void CHeadlessHost::EndDialog(int32_t result)
{
    m_result = result;
    m_dialog = nullptr;
    m_watchedFolder.clear();
}

bool CHeadlessHost::Send(DialogMessage& message)
{
    if (!m_dialog)
        return false;
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
    Send(DialogMessage::Wheel(delta, point));
}

void CHeadlessHost::Click(int32_t x, int32_t y)
{
    m_focus = CDialog::kClientAreaFocus;
    Send(DialogMessage::LeftButtonDown({x, y}));
}

void CHeadlessHost::Scroll(int32_t id, int32_t code, int32_t thumbPosition)
{
    Send(DialogMessage::Scroll(id, code, thumbPosition));
}

void CHeadlessHost::Command(int32_t id)
{
    // A disabled button gives no command, as in a window.
    const ControlState* c = Control(id);
    if (c && !c->enabled)
        return;
    if (c && (c->kind == ControlKind::PushButton || c->kind == ControlKind::AutoCheckBox))
        m_focus = id;
    Send(DialogMessage::Command(id));
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

void CHeadlessHost::ChangeWatchedFolder()
{
    if (m_watchedFolder.empty())
        return;
    DialogMessage m{MessageKind::FolderChanged};
    m.paths = {m_watchedFolder};
    Send(m);
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

bool CHeadlessHost::GetWindowPlacement(WindowPlacement& placement) const
{
    if (m_placement)
        placement = *m_placement;
    return m_placement.has_value();
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
    const ControlState* c = Control(id);
    return c ? c->text : std::string();
}

void CHeadlessHost::SetCheck(int32_t id, int32_t state)
{
    auto it = m_controls.find(id);
    if (it != m_controls.end())
        it->second.check = state;
}

int32_t CHeadlessHost::GetCheck(int32_t id) const
{
    const ControlState* c = Control(id);
    return c ? c->check : 0;
}

const CHeadlessHost::ControlState* CHeadlessHost::Control(int32_t id) const
{
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : &it->second;
}

void CHeadlessHost::Record(const std::string& text, const std::string& caption, bool owned, bool question,
                           bool yesDefault)
{
    m_messages.push_back({text, caption, owned, question, yesDefault});
}

void CHeadlessHost::ShowMessageBox(const std::string& text, const std::string& caption)
{
    Record(text, caption, true, false);
}

void CHeadlessHost::ShowUnownedMessageBox(const std::string& text, const std::string& caption)
{
    Record(text, caption, false, false);
}

bool CHeadlessHost::AskYesNo(const std::string& text, const std::string& caption)
{
    Record(text, caption, true, true);
    return false;
}

bool CHeadlessHost::AskYesNoDefaultYes(const std::string& text, const std::string& caption)
{
    Record(text, caption, true, true, true);
    return true;
}

void CHeadlessHost::EnableControl(int32_t id, bool enabled)
{
    auto it = m_controls.find(id);
    if (it != m_controls.end())
        it->second.enabled = enabled;
}

bool CHeadlessHost::GetOpenFileName(const OpenFileRequest&, std::string& path)
{
    path.clear();
    return false;
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
    const ScrollBarState* bar = ScrollBar(id);
    min = bar ? bar->min : 0;
    max = bar ? bar->max : 0;
}

int32_t CHeadlessHost::SetScrollPos(int32_t id, int32_t position, bool)
{
    return m_scrollBars[id].SetPosition(position);
}

int32_t CHeadlessHost::GetScrollPos(int32_t id) const
{
    const ScrollBarState* bar = ScrollBar(id);
    return bar ? bar->position : 0;
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
