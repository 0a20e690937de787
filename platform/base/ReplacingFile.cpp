#include "ReplacingFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "FileFaults.h"

namespace {

// Makes a completed rename durable by syncing the folder that holds it.
void SyncFolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool CReplacingFile::Begin(std::string_view targetPath, std::string_view tempPath)
{
    Abort();
    m_target = CFileSystem::ResolvePath(targetPath);
    m_temp = CFileSystem::ResolvePath(tempPath);
    m_error = 0;
    m_file = CFileSystem::CreateNewFile(m_temp);
    if (!m_file)
        m_error = errno;
    return m_file != nullptr;
}

bool CReplacingFile::Commit()
{
    return Finish(true);
}

bool CReplacingFile::CommitNew()
{
    return Finish(false);
}

bool CReplacingFile::Finish(bool replace)
{
    if (!m_file)
        return false;
    // The error kept is that of the first step that failed.
    const bool written = CFileSystem::FlushToDisk(m_file.get());
    int error = written ? 0 : errno;
    const bool closed = std::fclose(m_file.release()) == 0;
    if (written && !closed)
        error = errno;
    const bool renamed = written && closed && !CFileFaults::Fail(FileOperation::Rename) &&
                         (replace ? std::rename(m_temp.c_str(), m_target.c_str()) == 0
                                  : CFileSystem::MoveWithoutReplacing(m_temp, m_target));
    if (written && closed && !renamed)
        error = errno;
    if (!renamed) {
        m_error = error;
        std::remove(m_temp.c_str());
        m_temp.clear();
        return false;
    }
    m_temp.clear();
    SyncFolderOf(m_target);
    return true;
}

void CReplacingFile::Abort()
{
    if (m_file) {
        m_file.reset();
        std::remove(m_temp.c_str());
    }
    m_temp.clear();
}
