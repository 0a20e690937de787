// The base of a modal dialog built from a template. Input reaches the
// dialog's handlers through a table of entries, one table per dialog class;
// messages without an entry get default processing, which does nothing here.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "CommandEffects.h"
#include "CommandUi.h"
#include "DialogHost.h"
#include "DialogMessage.h"
#include "DialogTemplate.h"
#include "MenuTemplate.h"

class CCanvas;
class CDataExchange;
class CScrollBar;
struct Icon;

struct MessageMapEntry {
    MessageKind kind;
    int32_t id; // the command id for Command entries; 0 otherwise
    std::function<void(CDialog&, DialogMessage&)> handler;
    int32_t lastId = 0; // Command entries for a range of ids: the last of them
};
using MessageMap = std::vector<MessageMapEntry>;

// Entries from member functions of a dialog class D.
template <class D>
MessageMapEntry OnPaintEntry(void (D::*f)())
{
    return {MessageKind::Paint, 0, [f](CDialog& d, DialogMessage&) { (static_cast<D&>(d).*f)(); }};
}
template <class D>
MessageMapEntry OnQueryDragIconEntry(const Icon* (D::*f)() const)
{
    return {MessageKind::QueryDragIcon, 0, [f](CDialog& d, DialogMessage& m) { m.icon = (static_cast<D&>(d).*f)(); }};
}
template <class D>
MessageMapEntry OnKeyEntry(MessageKind kind, void (D::*f)(uint32_t key, uint32_t repeat, uint32_t flags))
{
    return {kind, 0, [f](CDialog& d, DialogMessage& m) { (static_cast<D&>(d).*f)(m.key, m.repeat, m.flags); }};
}
template <class D>
MessageMapEntry OnMouseWheelEntry(bool (D::*f)(uint32_t flags, int16_t delta, ClientPoint point))
{
    return {MessageKind::MouseWheel, 0,
            [f](CDialog& d, DialogMessage& m) { (static_cast<D&>(d).*f)(m.flags, m.delta, m.point); }};
}
template <class D>
MessageMapEntry OnLButtonDownEntry(void (D::*f)(uint32_t flags, ClientPoint point))
{
    return {MessageKind::LButtonDown, 0, [f](CDialog& d, DialogMessage& m) { (static_cast<D&>(d).*f)(m.flags, m.point); }};
}
template <class D>
MessageMapEntry OnCommandEntry(int32_t id, void (D::*f)())
{
    return {MessageKind::Command, id, [f](CDialog& d, DialogMessage&) { (static_cast<D&>(d).*f)(); }};
}
// One handler for the commands first to last (a menu's items), told the id.
template <class D>
MessageMapEntry OnCommandRangeEntry(int32_t first, int32_t last, void (D::*f)(int32_t id))
{
    return {MessageKind::Command, first, [f](CDialog& d, DialogMessage& m) { (static_cast<D&>(d).*f)(m.id); }, last};
}

// Files shared with the desktop, and timers.
template <class D>
MessageMapEntry OnDropFilesEntry(void (D::*f)(ClientPoint point, const std::vector<std::string>& paths))
{
    return {MessageKind::DropFiles, 0,
            [f](CDialog& d, DialogMessage& m) { (static_cast<D&>(d).*f)(m.point, m.paths); }};
}
template <class D>
MessageMapEntry OnBeginDragEntry(void (D::*f)(ClientPoint point))
{
    return {MessageKind::BeginDrag, 0, [f](CDialog& d, DialogMessage& m) { (static_cast<D&>(d).*f)(m.point); }};
}
template <class D>
MessageMapEntry OnFileChangedEntry(void (D::*f)(const std::string& path))
{
    return {MessageKind::FileChanged, 0, [f](CDialog& d, DialogMessage& m) {
                (static_cast<D&>(d).*f)(m.paths.empty() ? std::string() : m.paths.front());
            }};
}
template <class D>
MessageMapEntry OnTimerEntry(void (D::*f)(int32_t id))
{
    return {MessageKind::Timer, 0, [f](CDialog& d, DialogMessage& m) { (static_cast<D&>(d).*f)(m.id); }};
}

class CDialog : public ICommandUi {
public:
    explicit CDialog(const DialogTemplate& dialogTemplate);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog on the host and returns the result it ended with.
    int32_t DoModal(IDialogHost& host);

    // Called by the host once the window and its controls exist.
    virtual bool OnInitDialog();
    virtual void DoDataExchange(CDataExchange& exchange);
    virtual void OnOK();
    virtual void OnCancel();

    // Delivers one message: a scroll-bar notification goes back to the scroll
    // bar object, anything else to the entry of the table for it. Returns
    // false when there is no entry.
    bool Dispatch(DialogMessage& message);

    // Called by a host whose event loop must not be left by an exception
    // when a handler stopped with one (error is null for one that is no
    // std::exception). The default shows its reason in an "Error" box.
    virtual void OnHandlerFailed(const std::exception* error);

    // The command that Enter gives while the control focused has the focus
    // (kClientAreaFocus: the client area, after a click in it): a push
    // button's own, so that Enter presses the button with the focus; none (0)
    // on a check box, which Space toggles, and on the client area.
    static constexpr int32_t kClientAreaFocus = 0;
    int32_t EnterCommand(int32_t focused) const;

    const DialogTemplate& Template() const { return m_template; }
    IDialogHost* Host() const override { return m_host; }
    void AttachHost(IDialogHost* host) { m_host = host; }

    // Controls and window, through the host.
    bool HasDlgItem(int32_t id) const;
    void SetDlgItemText(int32_t id, const std::string& text);
    std::string GetDlgItemText(int32_t id) const;
    void CheckDlgButton(int32_t id, int32_t state);
    int32_t IsDlgButtonChecked(int32_t id) const;
    // Moves control states to members (true) or members to controls (false).
    bool UpdateData(bool saveAndValidate = true);
    void EndDialog(int32_t result);
    void MessageBox(const std::string& text, const std::string& caption);
    // Yes or No, No the default; No without a host.
    bool AskYesNo(const std::string& text, const std::string& caption);
    // Yes or No, Yes the default; No without a host, which nobody answers.
    bool AskYesNoDefaultYes(const std::string& text, const std::string& caption);
    // The same for a text made from a string of the string table, which the
    // host's record of effects notes by its id.
    void MessageBox(int32_t stringId, const std::string& text, const std::string& caption) override;
    bool AskYesNo(int32_t stringId, const std::string& text, const std::string& caption) override;
    bool AskYesNoDefaultYes(int32_t stringId, const std::string& text, const std::string& caption) override;
    // Notes what a command did in the host's record, when it keeps one.
    void RecordWritten(const std::string& path) override;
    void RecordRemoved(const std::string& path) override;
    void RecordOutcome(CommandEffects::Operation operation, CommandEffects::Outcome outcome) override;
    void EnableDlgItem(int32_t id, bool enabled);
    // The menu bar, through the host; unchecked without one.
    void SetMenu(const MenuTemplate& menu);
    void CheckMenuItem(int32_t id, bool checked) override;
    bool IsMenuItemChecked(int32_t id) const;
    void EnableMenuItem(int32_t id, bool enabled) override;
    void RedrawWindow() override;
    bool IsIconic() const;
    CCanvas* ClientCanvas();
    int32_t ClientWidth() const;
    int32_t ClientHeight() const;

    // Scroll bars created on this dialog receive their own notifications.
    void RegisterScrollBar(CScrollBar* scrollBar);
    void UnregisterScrollBar(CScrollBar* scrollBar);

protected:
    virtual const MessageMap& GetMessageMap() const;

private:
    CommandEffects* HostEffects() const { return m_host ? m_host->Effects() : nullptr; }

    DialogTemplate m_template;
    IDialogHost* m_host = nullptr;
    std::vector<CScrollBar*> m_scrollBars;
};

// The direction and the dialog of one data exchange.
class CDataExchange {
public:
    CDataExchange(CDialog* dialog, bool saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CDialog* m_pDlgWnd;
    bool m_bSaveAndValidate;
};

// Moves a check box's state (checked is 1) to or from value.
void DDX_Check(CDataExchange* exchange, int32_t id, int32_t& value);
