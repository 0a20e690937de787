// Files between the window and the desktop, and the dialog's timers, for the
// Qt host: which drags the client area takes and the message a drop gives,
// the drag detected from the left button's press and moves, a file dragged
// out, the desktop's default program, the watched file and the timers. It
// only translates; what happens with the files is the dialog's.
#pragma once

#include <QFileSystemWatcher>
#include <QPoint>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "DialogMessage.h"

class QDragMoveEvent;
class QDropEvent;
class QMouseEvent;
class QWidget;

class QMimeData;

class CQtFileExchange {
public:
    explicit CQtFileExchange(std::function<void(DialogMessage)> deliver);
    ~CQtFileExchange();
    CQtFileExchange(const CQtFileExchange&) = delete;
    CQtFileExchange& operator=(const CQtFileExchange&) = delete;

    // The client area's events: drags of local files are taken, and a drop
    // gives DropFiles with their paths; a press of the left button that
    // moves past the desktop's drag distance gives BeginDrag, once.
    void DragOver(QDragMoveEvent* event);
    void Drop(QDropEvent* event);
    void Press(QMouseEvent* event);
    void Move(QMouseEvent* event);
    void Release() { m_pressedAt.reset(); }

    // Drags the file out of source as a copy; returns once it is dropped.
    void StartDrag(QWidget* source, const std::string& path);
    static bool OpenWithDefaultProgram(const std::string& path);
    // Whether a drag carries files of this computer, and their host paths.
    static bool CarriesLocalFiles(const QMimeData* data);
    static std::vector<std::string> LocalFiles(const QMimeData* data);
    void WatchFile(const std::string& path);
    void StopWatching();
    void SetTimer(int32_t id, int32_t milliseconds);
    void KillTimer(int32_t id);
    // The dialog ended: no watch and no timer goes on.
    void StopAll();

private:
    void Changed(const QString& path);

    std::function<void(DialogMessage)> m_deliver;
    std::optional<QPoint> m_pressedAt;
    std::unique_ptr<QFileSystemWatcher> m_watcher;
    QString m_watched;         // absolute
    std::string m_watchedPath; // as the dialog named it
    std::map<int32_t, std::unique_ptr<QTimer>> m_timers;
};
