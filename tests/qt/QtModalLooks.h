// What Qt's own message boxes and file dialogs show, for the window's tests:
// looked at as they are built, or answered from inside the one modal loop
// they run, so that no test waits for one to appear.
#pragma once

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>

#include "OpenFileRequest.h"

// What a QMessageBox shows.
struct SeenBox {
    std::string text, caption;
    const QWidget* parent = nullptr;
    bool modal = false;
    QList<QMessageBox::StandardButton> buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    bool noIcon = false;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};
SeenBox LookAt(const QMessageBox& box);

// What a QFileDialog shows.
struct SeenFileDialog {
    QString directory; // canonical
    QStringList selectedFiles;
    QStringList nameFilters;
    QString selectedNameFilter;
    QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptSave;
    bool nonNative = false;
    const QWidget* parent = nullptr;
    // With listFolder only: the names it lists in its folder once read.
    QStringList listedNames;
};
// The host's open-file dialog for the request, looked at as it is built.
SeenFileDialog OpenFileDialogFor(const OpenFileRequest& request, bool listFolder = false);

// Whether the host's open-file dialog for the request, given path typed in
// and Open, refuses it with a warning box of its own (kept in warning) and
// stays open.
bool OpenFileDialogRefuses(const OpenFileRequest& request, const std::string& path,
                           std::optional<SeenBox>* warning = nullptr);

// The names a file dialog lists in its folder, once it has read it. The
// dialog must have been built with no events processed since, so that the
// notice of the folder read cannot have gone by.
QStringList ListedNames(QFileDialog& dialog);

// Calls call once from the next event loop to run. Made just before a call
// that runs a modal loop of its own (Qt's message box, a context menu),
// with no events processed between, it runs inside that loop; dropped with
// this object if it never ran.
class CallFromNextLoop {
public:
    explicit CallFromNextLoop(std::function<void()> call);
    bool Ran() const { return m_ran; }

private:
    QObject m_context;
    bool m_ran = false;
};

// Clicks button of the active modal QMessageBox from inside its loop, and
// keeps what it showed (none: no box ran). The call showing it must follow.
class AnswerNextBox {
public:
    explicit AnswerNextBox(QMessageBox::StandardButton button);
    std::optional<SeenBox> seen;

private:
    CallFromNextLoop m_answer;
};
