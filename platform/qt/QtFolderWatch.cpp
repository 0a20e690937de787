#include "QtFolderWatch.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "QtText.h"

CQtFolderWatch::CQtFolderWatch(std::function<bool()> idle, std::function<void(DialogMessage)> deliver)
    : m_idle(std::move(idle)), m_deliver(std::move(deliver)), m_watcher(std::make_unique<QFileSystemWatcher>()),
      m_settle(std::make_unique<QTimer>())
{
    m_settle->setSingleShot(true);
    QObject::connect(m_settle.get(), &QTimer::timeout, [this] { Settled(); });
    QObject::connect(m_watcher.get(), &QFileSystemWatcher::directoryChanged, [this](const QString&) { Changed(); });
    QObject::connect(m_watcher.get(), &QFileSystemWatcher::fileChanged, [this](const QString&) { Changed(); });
}

CQtFolderWatch::~CQtFolderWatch() = default;

void CQtFolderWatch::Watch(const std::string& path)
{
    Stop();
    m_path = path;
    m_folder = QFileInfo(ToQt(path)).absoluteFilePath();
    if (!QFileInfo(m_folder).isDir())
        return;
    m_watcher->addPath(m_folder);
    const QStringList files = QDir(m_folder).entryList(QDir::Files);
    QStringList paths;
    for (const QString& name : files)
        paths << m_folder + QLatin1Char('/') + name;
    if (!paths.isEmpty())
        m_watcher->addPaths(paths);
}

void CQtFolderWatch::Stop()
{
    m_settle->stop();
    const QStringList watched = m_watcher->files() + m_watcher->directories();
    if (!watched.isEmpty())
        m_watcher->removePaths(watched);
    m_folder.clear();
    m_path.clear();
}

void CQtFolderWatch::Changed()
{
    if (m_folder.isEmpty())
        return;
    // Files new to the folder (or put in place by a rename) are watched too.
    const QStringList watched = m_watcher->files();
    QStringList added;
    for (const QString& name : QDir(m_folder).entryList(QDir::Files)) {
        const QString file = m_folder + QLatin1Char('/') + name;
        if (!watched.contains(file))
            added << file;
    }
    if (!added.isEmpty())
        m_watcher->addPaths(added);
    m_settle->start(kSettleMs);
}

void CQtFolderWatch::Settled()
{
    if (m_folder.isEmpty())
        return;
    if (!m_idle()) {
        m_settle->start(kSettleMs);
        return;
    }
    DialogMessage m{MessageKind::FolderChanged};
    m.paths = {m_path};
    m_deliver(m);
}
