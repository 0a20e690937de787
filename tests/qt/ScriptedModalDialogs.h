// The window's modal dialogs for tests: answers queued by the test, and what
// each box, file and folder request and progress dialog showed, recorded.
// Nothing runs a modal loop.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "QtModalDialogs.h"

class CScriptedModalDialogs : public IQtModalDialogs {
public:
    // A box or question as it was shown.
    struct Box {
        std::string text, caption;
        bool question = false;
        bool yesDefault = false; // a question with Yes the default
        const QWidget* owner = nullptr;
    };
    // An open-file request as it was made.
    struct FileRequest {
        OpenFileRequest request;
        const QWidget* owner = nullptr;
    };

    // A folder request as it was made.
    struct FolderRequest {
        std::string title, startFolder;
        const QWidget* owner = nullptr;
    };

    // The answer to the next open-file dialog: a path, or none to cancel.
    void QueueFile(std::optional<std::string> path) { m_files.push_back(std::move(path)); }
    // The answer to the next folder chooser: a folder, or none to cancel.
    void QueueFolder(std::optional<std::string> folder) { m_folders.push_back(std::move(folder)); }
    // The answer to the next question; with none queued it gets its
    // default, No (or Yes for one with Yes the default).
    void QueueYesNo(bool yes) { m_yesNo.push_back(yes); }
    // Whether every queued answer was asked for; clears what was not.
    bool TakeAllAnswered();

    void ShowMessage(QWidget* owner, const std::string& text, const std::string& caption) override;
    bool AskYesNo(QWidget* owner, const std::string& text, const std::string& caption) override;
    bool AskYesNoDefaultYes(QWidget* owner, const std::string& text, const std::string& caption) override;
    bool GetOpenFileName(QWidget* owner, const OpenFileRequest& request, std::string& path) override;
    bool ChooseFolder(QWidget* owner, const std::string& title, const std::string& startFolder,
                      std::string& folder) override;
    // Progress is recorded, never cancelled.
    void BeginProgress(QWidget* owner, const std::string& title, int32_t total) override;
    bool StepProgress(int32_t done, const std::string& text) override;
    void EndProgress() override {}

    std::vector<Box> boxes;
    std::vector<FileRequest> fileRequests;
    std::vector<FolderRequest> folderRequests;
    // Each progress dialog's title and the texts of its steps.
    std::vector<std::pair<std::string, std::vector<std::string>>> progress;

private:
    // The next queued answer, or the question's default.
    bool Answer(bool byDefault);

    std::deque<std::optional<std::string>> m_files;
    std::deque<std::optional<std::string>> m_folders;
    std::deque<bool> m_yesNo;
};
