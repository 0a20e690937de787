// Runs a dialog without a window, for the command-line tool and the
// benchmarks: the client area is a canvas in memory, message boxes and what
// the dialog's commands did are recorded, and controls, scroll bars and the
// menu's items keep their state. Input arrives one message at a time,
// exactly as a window would deliver it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Canvas.h"
#include "CommandEffects.h"
#include "DialogHost.h"
#include "DialogMessage.h"
#include "Icon.h"
#include "MenuTemplate.h"
#include "ScrollRange.h"

class CDialog;

// Nobody sits at this host to answer: an open-file dialog is cancelled, a
// question gets its default (No, or Yes where Yes is the default, as Enter
// would answer it), a progress dialog runs to its end, and the
// desktop's files, timers and the panels beside the client area are absent;
// a watched folder changes only when told to (ChangeWatchedFolder).
// The tests' host (CScriptedHost) scripts those answers on top of this one.
class CHeadlessHost : public IDialogHost {
public:
    struct ShownMessage {
        std::string text;
        std::string caption;
        bool owned; // owned by the dialog (false: a box without owner window)
        bool question = false; // asked Yes or No
        bool yesDefault = false; // a question with Yes the default
    };
    struct ScrollBarState : ScrollRange {
        PixelRect rect{};
    };
    struct ControlState {
        ControlKind kind;
        std::string text;
        int32_t check = 0;
        bool enabled = true;
    };

    // Opens the dialog: controls from its template, a canvas of its client
    // size in the background colour, OnInitDialog, then a first paint.
    virtual void Open(CDialog& dialog);
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
    // in the client area took it. It starts in the client area, so that
    // Enter presses no button before the user moved the focus to one; a
    // command of a push button or check box moves it there, as clicking
    // one does in a window; SetFocus stands for the Tab key bringing it.
    int32_t Focus() const { return m_focus; }
    void SetFocus(int32_t id) { m_focus = id; }
    // The folder the dialog watches (empty when none), and a change of its
    // files, delivered as a window's watcher delivers it once the changes
    // settled; nothing when no folder is watched.
    const std::string& WatchedFolder() const { return m_watchedFolder; }
    void ChangeWatchedFolder();
    // Clicks a check box: its state flips, then the dialog hears the command.
    void ToggleCheck(int32_t id);
    // Chooses a menu item as a window's menu does: a radio item becomes the
    // checked one of its group, a checkable item's mark flips, then the
    // dialog hears the command. An id the menu does not hold does nothing.
    void ChooseMenuItem(int32_t id);
    // Delivers a message; the answer of a query (the drag icon) is left in
    // it. Every input above comes through here, so that a host on top can
    // count what it delivers.
    virtual bool Send(DialogMessage& message);
    bool Send(DialogMessage&& message) { return Send(message); }

    const std::vector<ShownMessage>& Messages() const { return m_messages; }
    void ClearMessages() { m_messages.clear(); }
    const ScrollBarState* ScrollBar(int32_t id) const;
    const ControlState* Control(int32_t id) const;
    const Icon* WindowIcon(bool big) const { return big ? &m_bigIcon : &m_smallIcon; }
    // The menu bar the dialog set; null when it has none.
    const MenuTemplate* Menu() const { return m_menu ? &*m_menu : nullptr; }

    // IDialogHost.
    // With no input to give, the user closes the window at once.
    int32_t RunModal(CDialog& dialog) override;
    void EndDialog(int32_t result) override;
    CCanvas& Canvas() override { return m_canvas; }
    void Redraw() override;
    bool IsMinimized() const override { return false; }
    // A window without a screen: no placement until one is set (by the
    // dialog, or by a test as the user moving the window), and none again
    // when the next dialog opens.
    bool GetWindowPlacement(WindowPlacement& placement) const override;
    void SetWindowPlacement(const WindowPlacement& placement) override { m_placement = placement; }
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
    // Recorded as a question; the answer is the default, No.
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    // Recorded as a question with Yes the default; the answer is Yes.
    bool AskYesNoDefaultYes(const std::string& text, const std::string& caption) override;
    // Cancelled: there is nobody to name a file.
    bool GetOpenFileName(const OpenFileRequest& request, std::string& path) override;
    void CreateScrollBar(int32_t id, const PixelRect& rect) override;
    void SetScrollRange(int32_t id, int32_t min, int32_t max, bool redraw) override;
    void GetScrollRange(int32_t id, int32_t& min, int32_t& max) const override;
    int32_t SetScrollPos(int32_t id, int32_t position, bool redraw) override;
    int32_t GetScrollPos(int32_t id) const override;
    // Kept from Open on; the caller clears it between commands.
    CommandEffects* Effects() override { return &m_effects; }
    void WatchFolder(const std::string& path) override { m_watchedFolder = path; }
    void StopWatchingFolder() override { m_watchedFolder.clear(); }
    // Settings kept in memory, for as long as the host lives.
    std::vector<std::string> ReadSetting(const std::string& key) const override;
    void WriteSetting(const std::string& key, const std::vector<std::string>& values) override;

private:
    void Record(const std::string& text, const std::string& caption, bool owned, bool question,
                bool yesDefault = false);

    CDialog* m_dialog = nullptr;
    int32_t m_result = 0;
    CCanvas m_canvas;
    Icon m_bigIcon, m_smallIcon;
    std::map<int32_t, ControlState> m_controls;
    std::map<int32_t, ScrollBarState> m_scrollBars;
    std::optional<MenuTemplate> m_menu;
    std::map<int32_t, bool> m_menuChecks; // by item id
    std::map<int32_t, bool> m_menuDisabled; // by item id
    std::vector<ShownMessage> m_messages;
    CommandEffects m_effects;
    std::map<std::string, std::vector<std::string>> m_settings;
    int32_t m_focus = 0;
    std::optional<WindowPlacement> m_placement;
    std::string m_watchedFolder;
};
