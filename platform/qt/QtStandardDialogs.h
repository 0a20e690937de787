// The host's modal dialogs as Qt's own: QMessageBox for the box and the
// question (No or Yes the default), the non-native QFileDialog for opening a file and choosing a
// folder (CQtFolderChooser, which takes a new folder's name for a folder to
// write into), a window-modal QProgressDialog. Each is built by a function of its
// own, so that how it is set up can be seen without running it.
#pragma once

#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <memory>

#include "QtModalDialogs.h"

class CQtStandardDialogs : public IQtModalDialogs {
public:
    void ShowMessage(QWidget* owner, const std::string& text, const std::string& caption) override;
    bool AskYesNo(QWidget* owner, const std::string& text, const std::string& caption) override;
    bool AskYesNoDefaultYes(QWidget* owner, const std::string& text, const std::string& caption) override;
    bool GetOpenFileName(QWidget* owner, const OpenFileRequest& request, std::string& path) override;
    bool GetOpenFileNames(QWidget* owner, const OpenFileRequest& request, std::vector<std::string>& paths) override;
    bool ChoosePictureCrop(QWidget* owner, const PictureCropRequest& request, IPicturePreviews& previews,
                           PictureCropChoice& choice) override;
    bool ChooseFolder(QWidget* owner, const std::string& title, const std::string& startFolder,
                      std::string& folder) override;
    bool ChooseFolderToWrite(QWidget* owner, const std::string& title, const std::string& startFolder,
                             std::string& folder) override;
    // CQtSuggestedFolderChooser: the suggestions in a list above the chooser.
    bool ChooseSuggestedFolder(QWidget* owner, const std::string& title, const std::string& startFolder,
                               IFolderSuggestions& suggestions, std::string& folder) override;
    // The progress dialog is shown at once; between steps it hears its
    // Cancel button and the window repaints.
    void BeginProgress(QWidget* owner, const std::string& title, int32_t total) override;
    bool StepProgress(int32_t done, const std::string& text) override;
    void EndProgress() override;
    // The progress dialog while one is shown; null otherwise.
    QProgressDialog* Progress() const { return m_progress.get(); }

    // The caption of the boxes that report a failure, which show the warning icon.
    static constexpr const char* kErrorCaption = "Error";

    // The dialogs as the calls above run them, set up but not yet shown: a
    // box with the warning icon when its caption is kErrorCaption and none
    // otherwise, a question with the question icon.
    static std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* owner, const std::string& text,
                                                       const std::string& caption);
    static std::unique_ptr<QMessageBox> MakeQuestion(QWidget* owner, const std::string& text,
                                                     const std::string& caption, bool yesDefault = false);
    static std::unique_ptr<QFileDialog> MakeOpenFileDialog(QWidget* owner, const OpenFileRequest& request);
    static std::unique_ptr<QProgressDialog> MakeProgressDialog(QWidget* owner, const std::string& title,
                                                               int32_t total);

private:
    static bool RunFolderChooser(QWidget* owner, const std::string& title, const std::string& startFolder,
                                 bool newFolderTaken, std::string& folder);

    std::unique_ptr<QProgressDialog> m_progress;
};
