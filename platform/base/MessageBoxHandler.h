// How code below the dialog layer shows a message box: the dialog hands its
// host's way of showing one down to what it owns (an image tells its frame
// decoder's overrun through it). There is no process-wide handler.
#pragma once

#include <functional>
#include <string>

// Shows a message box without an owner window, with a single OK button and
// no icon, and returns when it is closed.
using MessageBoxHandler = std::function<void(const std::string& text, const std::string& caption)>;
