// Message boxes for code below the dialog layer. The host that runs the
// program (window, headless, command line) installs how they are shown; until
// one does, the text goes to standard error.
#pragma once

#include <functional>
#include <string>

using MessageBoxHandler = std::function<void(const std::string& text, const std::string& caption)>;

// Shows a message box without an owner window, with a single OK button and
// no icon, and returns when it is closed.
void ShowMessageBox(const std::string& text, const std::string& caption);

// Installs the host's way of showing them; returns the one it replaces. An
// empty handler restores the default.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
