// The host's modal dialogs as Qt's own: QMessageBox for the box and the
// question, the non-native QFileDialog for opening a file. Each is built by
// a function of its own, so that how it is set up can be seen without
// running it.
#pragma once

#include <QFileDialog>
#include <QMessageBox>
#include <memory>

#include "QtModalDialogs.h"

class CQtStandardDialogs : public IQtModalDialogs {
public:
    void ShowMessage(QWidget* owner, const std::string& text, const std::string& caption) override;
    bool AskYesNo(QWidget* owner, const std::string& text, const std::string& caption) override;
    bool GetOpenFileName(QWidget* owner, const OpenFileRequest& request, std::string& path) override;

    // The dialogs as the calls above run them, set up but not yet shown.
    static std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* owner, const std::string& text,
                                                       const std::string& caption);
    static std::unique_ptr<QMessageBox> MakeQuestion(QWidget* owner, const std::string& text,
                                                     const std::string& caption);
    static std::unique_ptr<QFileDialog> MakeOpenFileDialog(QWidget* owner, const OpenFileRequest& request);
};
