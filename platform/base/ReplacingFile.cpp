#include "ReplacingFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>

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

// A folder entry's name holds at most this many bytes.
constexpr size_t kMaxNameBytes = 255;
// What a temporary name adds to its target's: ".<pid>-<random>.tmp".
constexpr size_t kTempTailBytes = 1 + 10 + 1 + kRandomLength + 4;

std::string FileNameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The start of a target's temporary names: its file name, cut where the
// whole name would not fit a folder entry, and a dot.
std::string TempStem(const std::string& target)
{
    return FileNameOf(target).substr(0, kMaxNameBytes - kTempTailBytes) + ".";
}

// "<target>.<pid>-<random>.tmp" in the target's folder, a name no other
// process picks.
std::string TempName(const std::string& target)
{
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random(std::random_device{}() ^ static_cast<unsigned>(::getpid()));
    std::uniform_int_distribution<size_t> pick(0, sizeof kChars - 2);
    std::string name = FolderOf(target) + "/" + TempStem(target) + std::to_string(::getpid()) + "-";
    for (size_t i = 0; i < kRandomLength; ++i)
        name += kChars[pick(random)];
    return name + std::string(kTempSuffix);
}

// The process that made a temporary file of the target, from its name; 0
// for a name that is none of the target's.
pid_t WriterOf(std::string_view name, const std::string& stem)
{
    if (name.size() < stem.size() + kTempSuffix.size() || name.substr(0, stem.size()) != stem ||
        name.substr(name.size() - kTempSuffix.size()) != kTempSuffix)
        return 0;
    name.remove_prefix(stem.size());
    name.remove_suffix(kTempSuffix.size());
    const size_t dash = name.find('-');
    if (dash == 0 || dash == std::string_view::npos || name.size() - dash - 1 != kRandomLength)
        return 0;
    pid_t pid = 0;
    for (const char c : name.substr(0, dash)) {
        if (c < '0' || c > '9' || pid > 99999999)
            return 0;
        pid = pid * 10 + (c - '0');
    }
    return pid;
}

// The name an earlier version of the editor wrote the target under first:
// "X.GF2" for an override file "X.GFX", "<name>.part" for the patch, the
// catalogue's manifest and the demo's archive; empty for other targets.
std::string OldTempName(const std::string& target)
{
    const auto same = [](std::string_view a, std::string_view b) {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
               });
    };
    const std::string name = FileNameOf(target);
    if (name.size() > 4 && same(std::string_view(name).substr(name.size() - 4), ".GFX"))
        return target.substr(0, target.size() - 1) + "2";
    for (const char* partial : {"PATCH.010", "manifest.json", "DATA.QPK"})
        if (same(name, partial))
            return target + ".part";
    return {};
}

// Removes what killed writers of the target left beside it: its temporary
// files whose process has gone, and its name of an earlier version. Files
// of other names are never touched.
void RemoveLeftovers(const std::string& target)
{
    struct stat st;
    const std::string old = OldTempName(target);
    if (!old.empty() && ::lstat(old.c_str(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)))
        ::unlink(old.c_str());

    const std::string folder = FolderOf(target), stem = TempStem(target);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const pid_t pid = WriterOf(entry->d_name, stem);
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
    RemoveLeftovers(m_target);

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
