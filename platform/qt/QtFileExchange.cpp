#include "QtFileExchange.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDrag>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QPixmap>
#include <QUrl>
#include <QWidget>

#include "QtText.h"

namespace {

constexpr int kDragPreviewSize = 64;

ClientPoint ToClient(QPointF p)
{
    return {static_cast<int32_t>(p.x()), static_cast<int32_t>(p.y())};
}

} // namespace

bool CQtFileExchange::CarriesLocalFiles(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return false;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return true;
    return false;
}

std::vector<std::string> CQtFileExchange::LocalFiles(const QMimeData* data)
{
    std::vector<std::string> paths;
    if (data && data->hasUrls())
        for (const QUrl& url : data->urls())
            if (url.isLocalFile())
                paths.push_back(FromQt(url.toLocalFile()));
    return paths;
}

CQtFileExchange::CQtFileExchange(std::function<void(DialogMessage)> deliver)
    : m_deliver(std::move(deliver)), m_watcher(std::make_unique<QFileSystemWatcher>())
{
    QObject::connect(m_watcher.get(), &QFileSystemWatcher::fileChanged, [this](const QString& path) { Changed(path); });
    // An editor that saves by renaming a new file over the old one ends the
    // watch of the old file; its folder tells when the new one is there.
    QObject::connect(m_watcher.get(), &QFileSystemWatcher::directoryChanged, [this](const QString&) {
        if (!m_watched.isEmpty() && !m_watcher->files().contains(m_watched) && QFileInfo::exists(m_watched))
            Changed(m_watched);
    });
}

CQtFileExchange::~CQtFileExchange() = default;

void CQtFileExchange::DragOver(QDragMoveEvent* event)
{
    if (CarriesLocalFiles(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CQtFileExchange::Drop(QDropEvent* event)
{
    if (!CarriesLocalFiles(event->mimeData())) {
        event->ignore();
        return;
    }
    DialogMessage m{MessageKind::DropFiles};
    m.point = ToClient(event->position());
    m.paths = LocalFiles(event->mimeData());
    event->acceptProposedAction();
    m_deliver(m);
}

void CQtFileExchange::Press(QMouseEvent* event)
{
    m_pressedAt = event->button() == Qt::LeftButton ? std::optional<QPoint>(event->position().toPoint()) : std::nullopt;
}

void CQtFileExchange::Move(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        m_pressedAt.reset();
    if (!m_pressedAt ||
        (event->position().toPoint() - *m_pressedAt).manhattanLength() < QApplication::startDragDistance())
        return;
    DialogMessage m{MessageKind::BeginDrag};
    m.flags = 0x0001;
    m.point = ToClient(*m_pressedAt);
    m_pressedAt.reset();
    m_deliver(m);
}

void CQtFileExchange::StartDrag(QWidget* source, const std::string& path)
{
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(ToQt(path))});
    auto* drag = new QDrag(source);
    drag->setMimeData(data);
    const QPixmap preview(ToQt(path));
    if (!preview.isNull())
        drag->setPixmap(preview.scaled(kDragPreviewSize, kDragPreviewSize, Qt::KeepAspectRatio));
    drag->exec(Qt::CopyAction);
}

bool CQtFileExchange::OpenWithDefaultProgram(const std::string& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(ToQt(path)));
}

void CQtFileExchange::WatchFile(const std::string& path)
{
    StopWatching();
    m_watchedPath = path;
    m_watched = QFileInfo(ToQt(path)).absoluteFilePath();
    m_watcher->addPath(m_watched);
    m_watcher->addPath(QFileInfo(m_watched).absolutePath());
}

void CQtFileExchange::StopWatching()
{
    const QStringList watched = m_watcher->files() + m_watcher->directories();
    if (!watched.isEmpty())
        m_watcher->removePaths(watched);
    m_watched.clear();
    m_watchedPath.clear();
}

void CQtFileExchange::Changed(const QString& path)
{
    if (m_watched.isEmpty() || path != m_watched)
        return;
    // A file replaced by another is watched anew under its name.
    if (!m_watcher->files().contains(m_watched) && QFileInfo::exists(m_watched))
        m_watcher->addPath(m_watched);
    DialogMessage m{MessageKind::FileChanged};
    m.paths = {m_watchedPath};
    m_deliver(m);
}

void CQtFileExchange::SetTimer(int32_t id, int32_t milliseconds)
{
    std::unique_ptr<QTimer>& timer = m_timers[id];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        QObject::connect(timer.get(), &QTimer::timeout, [this, id] {
            DialogMessage m{MessageKind::Timer};
            m.id = id;
            m_deliver(m);
        });
    }
    timer->start(milliseconds > 0 ? milliseconds : 1);
}

void CQtFileExchange::KillTimer(int32_t id)
{
    // Stopped, not deleted: the dialog may kill a timer from its own timeout.
    auto it = m_timers.find(id);
    if (it != m_timers.end())
        it->second->stop();
}

void CQtFileExchange::StopAll()
{
    StopWatching();
    for (auto& [id, timer] : m_timers)
        timer->stop();
    m_pressedAt.reset();
}
