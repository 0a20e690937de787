// The window's modal dialogs for tests: answers queued by the test, and what
// each box and file request showed, recorded. Nothing runs a modal loop.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "QtModalDialogs.h"

class CScriptedModalDialogs : public IQtModalDialogs {
public:
    // A box or question as it was shown.
    struct Box {
        std::string text, caption;
        bool question = false;
        const QWidget* owner = nullptr;
    };
    // An open-file request as it was made.
    struct FileRequest {
        OpenFileRequest request;
        const QWidget* owner = nullptr;
    };

    // The answer to the next open-file dialog: a path, or none to cancel.
    void QueueFile(std::optional<std::string> path) { m_files.push_back(std::move(path)); }
    // The answer to the next question; with none queued it gets its
    // default, No.
    void QueueYesNo(bool yes) { m_yesNo.push_back(yes); }
    // Whether every queued answer was asked for; clears what was not.
    bool TakeAllAnswered();

    void ShowMessage(QWidget* owner, const std::string& text, const std::string& caption) override;
    bool AskYesNo(QWidget* owner, const std::string& text, const std::string& caption) override;
    bool GetOpenFileName(QWidget* owner, const OpenFileRequest& request, std::string& path) override;

    std::vector<Box> boxes;
    std::vector<FileRequest> fileRequests;

private:
    std::deque<std::optional<std::string>> m_files;
    std::deque<bool> m_yesNo;
};
