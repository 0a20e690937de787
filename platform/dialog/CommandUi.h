// What a command may ask of the window it runs in: to tell the user (a
// message box, a Yes-or-No question with No or Yes the default, by the
// string-table id of its text), to
// redraw, to note what it did in the host's record of effects, to mark and
// enable menu items, and to reach the host's services (file dialogs,
// progress, the desktop's files, timers). A dialog offers all of it, so that
// commands need no more of the window than this.
#pragma once

#include <cstdint>
#include <string>

#include "CommandEffects.h"

class IDialogHost;

class ICommandUi {
public:
    virtual void MessageBox(int32_t stringId, const std::string& text, const std::string& caption) = 0;
    // Yes or No, No the default.
    virtual bool AskYesNo(int32_t stringId, const std::string& text, const std::string& caption) = 0;
    // Yes or No, Yes the default: for an offer whose Yes loses nothing.
    virtual bool AskYesNoDefaultYes(int32_t stringId, const std::string& text, const std::string& caption) = 0;
    virtual void RedrawWindow() = 0;
    virtual void RecordWritten(const std::string& path) = 0;
    virtual void RecordRemoved(const std::string& path) = 0;
    virtual void RecordOutcome(CommandEffects::Operation operation, CommandEffects::Outcome outcome) = 0;
    virtual void CheckMenuItem(int32_t id, bool checked) = 0;
    virtual void EnableMenuItem(int32_t id, bool enabled) = 0;
    // Null without a host.
    virtual IDialogHost* Host() const = 0;

protected:
    ~ICommandUi() = default;
};
