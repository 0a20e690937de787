#include "ReplacingFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <set>

#include "FileFaults.h"

namespace {

constexpr std::string_view kTempSuffix = ".tmp";
constexpr size_t kRandomLength = 6;
constexpr int kNameAttempts = 100;

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

// "<target>.<pid>-<random>.tmp", a name no other process picks.
std::string TempName(const std::string& target)
{
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random(std::random_device{}() ^ static_cast<unsigned>(::getpid()));
    std::uniform_int_distribution<size_t> pick(0, sizeof kChars - 2);
    std::string name = target + "." + std::to_string(::getpid()) + "-";
    for (size_t i = 0; i < kRandomLength; ++i)
        name += kChars[pick(random)];
    return name + std::string(kTempSuffix);
}

// The process that made a temporary file of ours, from its name; 0 for a
// name that is not one.
pid_t WriterOf(std::string_view name)
{
    if (name.size() < kTempSuffix.size() || name.substr(name.size() - kTempSuffix.size()) != kTempSuffix)
        return 0;
    name.remove_suffix(kTempSuffix.size());
    if (name.size() < kRandomLength + 3 || name[name.size() - kRandomLength - 1] != '-')
        return 0;
    name.remove_suffix(kRandomLength + 1);
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot + 1 == name.size())
        return 0;
    pid_t pid = 0;
    for (const char c : name.substr(dot + 1)) {
        if (c < '0' || c > '9' || pid > 99999999)
            return 0;
        pid = pid * 10 + (c - '0');
    }
    return pid;
}

// The name an earlier version of the editor wrote the target under first:
// "X.GF2" for an override file "X.GFX", else "<target>.part".
std::string OldTempName(const std::string& target)
{
    const size_t n = target.size();
    if (n > 4 && target[n - 4] == '.' && (target[n - 3] | 0x20) == 'g' && (target[n - 2] | 0x20) == 'f' &&
        (target[n - 1] | 0x20) == 'x')
        return target.substr(0, n - 1) + "2";
    return target + ".part";
}

// Removes what killed writers left in the folder: our temporary files whose
// process has gone (once a folder per process), and the target's name of
// an earlier version.
void RemoveLeftovers(const std::string& folder, const std::string& target)
{
    struct stat st;
    const std::string old = OldTempName(target);
    if (::lstat(old.c_str(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)))
        ::unlink(old.c_str());

    static std::mutex mutex;
    static std::set<std::string> cleaned;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (!cleaned.insert(folder).second)
            return;
    }
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const pid_t pid = WriterOf(entry->d_name);
        if (pid > 0 && pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH)
            ::unlink((folder + "/" + entry->d_name).c_str());
    }
    ::closedir(dir);
}

// Whether an open file can be given a name through /proc, which a file made
// without one needs.
bool CanNameOpenFiles()
{
    static const bool can = ::access("/proc/self/fd", X_OK) == 0;
    return can;
}

} // namespace

bool CReplacingFile::Begin(std::string_view targetPath, Durability durability)
{
    Abort();
    m_error = 0;
    m_durability = durability;
    m_target = CFileSystem::ResolvePath(targetPath);
    const std::string folder = FolderOf(m_target);
    RemoveLeftovers(folder, m_target);

    int fd = -1;
    if (CanNameOpenFiles()) {
        fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        // A file system without unnamed files gets a named one instead.
        if (fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            m_error = errno;
            return false;
        }
    }
    for (int attempt = 0; fd < 0 && attempt < kNameAttempts; ++attempt) {
        m_temp = TempName(m_target);
        fd = ::open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        m_error = errno;
        m_temp.clear();
        return false;
    }
    m_file.reset(::fdopen(fd, "wb"));
    if (!m_file) {
        m_error = errno;
        ::close(fd);
        Abort();
        return false;
    }
    return true;
}

bool CReplacingFile::Commit()
{
    return Finish(true);
}

bool CReplacingFile::CommitNew()
{
    return Finish(false);
}

bool CReplacingFile::Link(bool replace)
{
    if (!m_temp.empty()) {
        if (!replace)
            return CFileSystem::MoveWithoutReplacing(m_temp, m_target);
        return !CFileFaults::Fail(FileOperation::Rename) && std::rename(m_temp.c_str(), m_target.c_str()) == 0;
    }
    if (CFileFaults::Fail(FileOperation::Rename))
        return false;
    // The file gets its name through /proc: the target's own, where it must
    // not replace anything, else a temporary one that is renamed over it.
    const std::string self = "/proc/self/fd/" + std::to_string(::fileno(m_file.get()));
    if (!replace)
        return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, m_target.c_str(), AT_SYMLINK_FOLLOW) == 0;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string name = TempName(m_target);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        if (std::rename(name.c_str(), m_target.c_str()) == 0)
            return true;
        const int error = errno;
        ::unlink(name.c_str());
        errno = error;
        return false;
    }
    return false;
}

bool CReplacingFile::Finish(bool replace)
{
    if (!m_file)
        return false;
    // The error kept is that of the first step that failed.
    const bool onDisk = m_durability == Durability::kOnDisk;
    bool done = onDisk ? CFileSystem::FlushToDisk(m_file.get()) : CFileSystem::Flush(m_file.get());
    int error = done ? 0 : errno;
    if (m_temp.empty()) {
        // A file without a name is named while it is open; once synced,
        // closing it can lose nothing.
        done = done && Link(replace);
        if (!done && error == 0)
            error = errno;
        std::fclose(m_file.release());
    } else {
        const bool closed = std::fclose(m_file.release()) == 0;
        if (done && !closed)
            error = errno;
        done = done && closed && Link(replace);
        if (!done && error == 0)
            error = errno;
        if (!done)
            ::unlink(m_temp.c_str());
    }
    m_temp.clear();
    if (!done) {
        m_error = error ? error : EIO;
        return false;
    }
    // The rename is made durable with the folder that holds it.
    if (onDisk)
        CFileSystem::SyncFolder(FolderOf(m_target));
    return true;
}

void CReplacingFile::Abort()
{
    m_file.reset();
    if (!m_temp.empty())
        ::unlink(m_temp.c_str());
    m_temp.clear();
}

bool CReplacingFile::WriteWhole(std::string_view path, const void* data, size_t size, int& error,
                                Durability durability)
{
    CReplacingFile out;
    if (!out.Begin(path, durability)) {
        error = out.Error();
        return false;
    }
    errno = 0;
    if (!CFileSystem::Write(out.Stream(), data, size)) {
        error = errno ? errno : EIO;
        return false;
    }
    if (!out.Commit()) {
        error = out.Error();
        return false;
    }
    error = 0;
    return true;
}
