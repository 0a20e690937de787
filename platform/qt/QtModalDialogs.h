// The modal dialogs the Qt host shows for its dialog: the message box, the
// Yes-or-No question, the open-file dialog, the folder chooser and the
// progress dialog. The host is given them, so that a test can answer them
// without a modal loop.
#pragma once

#include <cstdint>
#include <string>

#include <vector>

#include "FolderSuggestions.h"
#include "OpenFileRequest.h"
#include "PictureCropRequest.h"

class QWidget;

class IQtModalDialogs {
public:
    virtual ~IQtModalDialogs() = default;

    // A modal box over owner (null: none) with an OK button: the warning
    // icon for an "Error", no icon otherwise.
    virtual void ShowMessage(QWidget* owner, const std::string& text, const std::string& caption) = 0;
    // A modal question over owner with the question icon, Yes and No, No the
    // default; true when the answer is Yes.
    virtual bool AskYesNo(QWidget* owner, const std::string& text, const std::string& caption) = 0;
    // The same with Yes the default.
    virtual bool AskYesNoDefaultYes(QWidget* owner, const std::string& text, const std::string& caption) = 0;
    // The modal open-file dialog over owner; true with the chosen path,
    // false when cancelled.
    virtual bool GetOpenFileName(QWidget* owner, const OpenFileRequest& request, std::string& path) = 0;
    // The same for several files, when the request allows them; without a
    // dialog of its own, GetOpenFileName's one.
    virtual bool GetOpenFileNames(QWidget* owner, const OpenFileRequest& request, std::vector<std::string>& paths)
    {
        std::string path;
        const bool chosen = GetOpenFileName(owner, request, path);
        paths.assign(chosen ? 1 : 0, path);
        return chosen;
    }
    // The dialog for a new portrait from a picture over owner; without one
    // of its own, the request's initial choice.
    virtual bool ChoosePictureCrop(QWidget* /*owner*/, const PictureCropRequest& request,
                                   IPicturePreviews& /*previews*/, PictureCropChoice& choice)
    {
        choice = request.initial;
        return true;
    }
    // The modal folder chooser over owner, opening in startFolder; true with
    // the chosen folder, false when cancelled.
    virtual bool ChooseFolder(QWidget* owner, const std::string& title, const std::string& startFolder,
                              std::string& folder) = 0;
    // The same for a folder to write into: the name of a folder that does
    // not exist yet is taken too. Without a chooser of its own, ChooseFolder's.
    virtual bool ChooseFolderToWrite(QWidget* owner, const std::string& title, const std::string& startFolder,
                                     std::string& folder)
    {
        return ChooseFolder(owner, title, startFolder, folder);
    }
    // The folder chooser with the suggestions above it; without one of its
    // own, ChooseFolder's.
    virtual bool ChooseSuggestedFolder(QWidget* owner, const std::string& title, const std::string& startFolder,
                                       IFolderSuggestions& /*suggestions*/, std::string& folder)
    {
        return ChooseFolder(owner, title, startFolder, folder);
    }
    // A progress dialog over owner, modal to it, for `total` steps: told
    // before each step, false from StepProgress once cancelled, closed by
    // EndProgress.
    virtual void BeginProgress(QWidget* owner, const std::string& title, int32_t total) = 0;
    virtual bool StepProgress(int32_t done, const std::string& text) = 0;
    virtual void EndProgress() = 0;
};
