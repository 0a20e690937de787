#include "Dialog.h"

#include <algorithm>

#include "Canvas.h"
#include "DialogTemplate.h"
#include "ScrollBar.h"

CDialog::CDialog(const DialogTemplate& dialogTemplate) : m_template(dialogTemplate) {}

CDialog::~CDialog() = default;

int32_t CDialog::DoModal(IDialogHost& host)
{
    m_host = &host;
    const int32_t result = host.RunModal(*this);
    m_host = nullptr;
    return result;
}

bool CDialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void CDialog::DoDataExchange(CDataExchange&) {}

void CDialog::OnOK()
{
    UpdateData(true);
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

const MessageMap& CDialog::GetMessageMap() const
{
    static const MessageMap empty;
    return empty;
}

bool CDialog::Dispatch(DialogMessage& message)
{
    if (message.kind == MessageKind::HScroll) {
        for (CScrollBar* bar : m_scrollBars) {
            if (bar->GetDlgCtrlID() == message.id) {
                bar->HScroll(message.code, message.position);
                return true;
            }
        }
        return false;
    }
    for (const MessageMapEntry& entry : GetMessageMap()) {
        if (entry.kind == message.kind &&
            (entry.kind != MessageKind::Command || message.id == entry.id ||
             (message.id > entry.id && message.id <= entry.lastId))) {
            entry.handler(*this, message);
            return true;
        }
    }
    // Default processing: OK and cancel still end the dialog.
    if (message.kind == MessageKind::Command && message.id == IDOK) {
        OnOK();
        return true;
    }
    if (message.kind == MessageKind::Command && message.id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

void CDialog::OnHandlerFailed(const std::exception* error)
{
    MessageBox(error ? error->what() : "unknown error", "Error");
}

int32_t CDialog::EnterCommand(int32_t focused) const
{
    for (const ControlTemplate& c : m_template.controls)
        if (c.id == focused && focused != kClientAreaFocus)
            return c.kind == ControlKind::PushButton ? c.id : 0;
    return 0;
}

bool CDialog::HasDlgItem(int32_t id) const
{
    return m_host && m_host->HasControl(id);
}

void CDialog::SetDlgItemText(int32_t id, const std::string& text)
{
    if (m_host)
        m_host->SetControlText(id, text);
}

std::string CDialog::GetDlgItemText(int32_t id) const
{
    return m_host ? m_host->GetControlText(id) : std::string();
}

void CDialog::CheckDlgButton(int32_t id, int32_t state)
{
    if (m_host)
        m_host->SetCheck(id, state);
}

int32_t CDialog::IsDlgButtonChecked(int32_t id) const
{
    return m_host ? m_host->GetCheck(id) : 0;
}

bool CDialog::UpdateData(bool saveAndValidate)
{
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(exchange);
    return true;
}

void CDialog::EndDialog(int32_t result)
{
    if (m_host)
        m_host->EndDialog(result);
}

void CDialog::MessageBox(const std::string& text, const std::string& caption)
{
    if (m_host)
        m_host->ShowMessageBox(text, caption);
}

bool CDialog::AskYesNo(const std::string& text, const std::string& caption)
{
    return m_host && m_host->AskYesNo(text, caption);
}

bool CDialog::AskYesNoDefaultYes(const std::string& text, const std::string& caption)
{
    return m_host && m_host->AskYesNoDefaultYes(text, caption);
}

void CDialog::MessageBox(int32_t stringId, const std::string& text, const std::string& caption)
{
    if (CommandEffects* effects = HostEffects())
        effects->messages.push_back({stringId, text});
    MessageBox(text, caption);
}

bool CDialog::AskYesNo(int32_t stringId, const std::string& text, const std::string& caption)
{
    if (CommandEffects* effects = HostEffects())
        effects->messages.push_back({stringId, text});
    return AskYesNo(text, caption);
}

bool CDialog::AskYesNoDefaultYes(int32_t stringId, const std::string& text, const std::string& caption)
{
    if (CommandEffects* effects = HostEffects())
        effects->messages.push_back({stringId, text});
    return AskYesNoDefaultYes(text, caption);
}

void CDialog::RecordWritten(const std::string& path)
{
    if (CommandEffects* effects = HostEffects())
        effects->written.push_back(path);
}

void CDialog::RecordRemoved(const std::string& path)
{
    if (CommandEffects* effects = HostEffects())
        effects->removed.push_back(path);
}

void CDialog::RecordOutcome(CommandEffects::Operation operation, CommandEffects::Outcome outcome)
{
    if (CommandEffects* effects = HostEffects())
        effects->outcomes[operation] = outcome;
}

void CDialog::EnableDlgItem(int32_t id, bool enabled)
{
    if (m_host)
        m_host->EnableControl(id, enabled);
}

void CDialog::SetMenu(const MenuTemplate& menu)
{
    if (m_host)
        m_host->SetMenu(menu);
}

void CDialog::CheckMenuItem(int32_t id, bool checked)
{
    if (m_host)
        m_host->CheckMenuItem(id, checked);
}

void CDialog::EnableMenuItem(int32_t id, bool enabled)
{
    if (m_host)
        m_host->EnableMenuItem(id, enabled);
}

bool CDialog::IsMenuItemChecked(int32_t id) const
{
    return m_host && m_host->IsMenuItemChecked(id);
}

void CDialog::RedrawWindow()
{
    if (m_host)
        m_host->Redraw();
}

bool CDialog::IsIconic() const
{
    return m_host && m_host->IsMinimized();
}

CCanvas* CDialog::ClientCanvas()
{
    return m_host ? &m_host->Canvas() : nullptr;
}

int32_t CDialog::ClientWidth() const
{
    return DialogUnitsToPixelsX(m_template.width);
}

int32_t CDialog::ClientHeight() const
{
    return DialogUnitsToPixelsY(m_template.height);
}

void CDialog::RegisterScrollBar(CScrollBar* scrollBar)
{
    m_scrollBars.push_back(scrollBar);
}

void CDialog::UnregisterScrollBar(CScrollBar* scrollBar)
{
    m_scrollBars.erase(std::remove(m_scrollBars.begin(), m_scrollBars.end(), scrollBar), m_scrollBars.end());
}

void DDX_Check(CDataExchange* exchange, int32_t id, int32_t& value)
{
    if (exchange->m_bSaveAndValidate)
        value = exchange->m_pDlgWnd->IsDlgButtonChecked(id) ? 1 : 0;
    else
        exchange->m_pDlgWnd->CheckDlgButton(id, value ? 1 : 0);
}
