// The folder the dialog watches, for the Qt host: a QFileSystemWatcher on the
// folder and on each file in it (the folder's own watch does not hear a file
// written in place), and a wait of kSettleMs after the last change before the
// dialog hears of it, so that a program writing several files makes one
// FolderChanged. It is delivered only while the dialog handles no other
// message (a modal box of a command runs an event loop of its own); until
// then the wait starts again. It only translates.
#pragma once

#include <QFileSystemWatcher>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "DialogMessage.h"

class CQtFolderWatch {
public:
    static constexpr int kSettleMs = 200;

    // idle: whether the dialog handles no message now.
    CQtFolderWatch(std::function<bool()> idle, std::function<void(DialogMessage)> deliver);
    ~CQtFolderWatch();
    CQtFolderWatch(const CQtFolderWatch&) = delete;
    CQtFolderWatch& operator=(const CQtFolderWatch&) = delete;

    // Watches the folder (a host path) instead of any before.
    void Watch(const std::string& path);
    void Stop();

private:
    // A change heard: the files are watched anew and the wait starts again.
    void Changed();
    void Settled();

    std::function<bool()> m_idle;
    std::function<void(DialogMessage)> m_deliver;
    std::unique_ptr<QFileSystemWatcher> m_watcher;
    std::unique_ptr<QTimer> m_settle;
    QString m_folder;   // absolute
    std::string m_path; // as the dialog named it
};
