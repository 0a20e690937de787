// The modal dialogs the Qt host shows for its dialog: the message box, the
// Yes-or-No question and the open-file dialog. The host is given them, so
// that a test can answer them without a modal loop.
#pragma once

#include <string>

#include "OpenFileRequest.h"

class QWidget;

class IQtModalDialogs {
public:
    virtual ~IQtModalDialogs() = default;

    // A modal box over owner (null: none) with an OK button and no icon.
    virtual void ShowMessage(QWidget* owner, const std::string& text, const std::string& caption) = 0;
    // A modal question over owner with Yes and No, No the default; true when
    // the answer is Yes.
    virtual bool AskYesNo(QWidget* owner, const std::string& text, const std::string& caption) = 0;
    // The modal open-file dialog over owner; true with the chosen path,
    // false when cancelled.
    virtual bool GetOpenFileName(QWidget* owner, const OpenFileRequest& request, std::string& path) = 0;
};
