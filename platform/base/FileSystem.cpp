#include "FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <climits>
#include <cstring>
#include <vector>

#include "FileFaults.h"

namespace {

char FoldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    return true;
}

bool Exists(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

// The entry of `folder` that equals `name` regardless of ASCII case; the
// first in byte order wins so that the answer never depends on the order in
// which the folder lists its entries. Empty when there is none.
std::string FindFolded(const std::string& folder, std::string_view name)
{
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return {};
    std::string best;
    while (const dirent* e = ::readdir(dir)) {
        std::string_view entry(e->d_name);
        if (EqualsIgnoringAsciiCase(entry, name) && (best.empty() || entry < best))
            best = entry;
    }
    ::closedir(dir);
    return best;
}

// Opens a host path and keeps it only when it is a regular file. The open is
// non-blocking, so that a FIFO neither waits for its other end nor is kept;
// once the file is known to be regular, its reads and writes block as usual.
FileHandle OpenRegular(const std::string& native, int flags, const char* mode)
{
    const int fd = ::open(native.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0)
        return {};
    struct stat st {};
    const int status = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || status < 0 ||
        ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        errno = error;
        return {};
    }
    FILE* file = ::fdopen(fd, mode);
    if (!file) {
        ::close(fd);
        return {};
    }
    return FileHandle(file);
}

} // namespace

std::string CFileSystem::GetCurrentDir()
{
    std::vector<char> buf(4096);
    if (!::getcwd(buf.data(), buf.size()))
        return {};
    return std::string(buf.data());
}

bool CFileSystem::SetCurrentDir(const std::string& hostPath)
{
    return ::chdir(hostPath.c_str()) == 0;
}

std::string CFileSystem::BuildPath(std::string_view base, std::string_view relative)
{
    std::string path(base);
    auto isSep = [](char c) { return c == '\\' || c == '/'; };
    bool baseEnds = !path.empty() && isSep(path.back());
    bool relStarts = !relative.empty() && isSep(relative.front());
    if (baseEnds && relStarts)
        relative.remove_prefix(1);
    else if (!baseEnds && !relStarts && !path.empty() && !relative.empty())
        path += '\\';
    path += relative;
    return path;
}

std::string CFileSystem::ResolvePath(std::string_view path)
{
    std::string resolved;
    size_t pos = 0;
    if (!path.empty() && (path[0] == '/' || path[0] == '\\')) {
        resolved.push_back('/');
        pos = 1;
    }
    bool searching = true; // false once a folder is missing: nothing below it can match
    while (pos <= path.size()) {
        size_t end = path.find_first_of("/\\", pos);
        if (end == std::string_view::npos)
            end = path.size();
        std::string_view part = path.substr(pos, end - pos);
        pos = end + 1;
        if (part.empty())
            continue;
        std::string folder = resolved;
        if (!resolved.empty() && resolved.back() != '/')
            resolved += '/';
        std::string exact = resolved + std::string(part);
        if (!searching || part == "." || part == ".." || Exists(exact)) {
            resolved = std::move(exact);
            continue;
        }
        std::string match = FindFolded(folder, part);
        if (match.empty()) {
            searching = false;
            resolved = std::move(exact);
        } else {
            resolved += match;
        }
    }
    return resolved;
}

FileHandle CFileSystem::OpenForReading(std::string_view path)
{
    return OpenRegular(ResolvePath(path), O_RDONLY, "rb");
}

FileHandle CFileSystem::CreateForWriting(std::string_view path)
{
    return OpenRegular(ResolvePath(path), O_WRONLY | O_CREAT | O_TRUNC, "wb");
}

FileHandle CFileSystem::CreateNewFile(std::string_view path)
{
    const std::string native = ResolvePath(path);
    ::unlink(native.c_str());
    return OpenRegular(native, O_WRONLY | O_CREAT | O_EXCL, "wb");
}

bool CFileSystem::FileExists(std::string_view path)
{
    struct stat st;
    return ::stat(ResolvePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool CFileSystem::PathExists(std::string_view path)
{
    return Exists(ResolvePath(path));
}

std::vector<std::string> CFileSystem::ListFiles(std::string_view folder)
{
    std::vector<std::string> names;
    const std::string native = ResolvePath(folder);
    DIR* dir = ::opendir(native.c_str());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        struct stat st;
        const std::string path = native + "/" + entry->d_name;
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> CFileSystem::ListFolders(const std::string& hostPath)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(hostPath.c_str());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        // stat follows a link, so that a link to a folder counts as one.
        struct stat st;
        const std::string path = hostPath + "/" + entry->d_name;
        if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            names.emplace_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::string CFileSystem::RealPath(const std::string& hostPath)
{
    char* real = ::realpath(hostPath.c_str(), nullptr);
    if (!real)
        return {};
    std::string path(real);
    std::free(real);
    return path;
}

bool CFileSystem::CreateFolder(std::string_view path)
{
    std::string native = ResolvePath(path);
    struct stat st;
    if (::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return true;
    if (CFileFaults::Fail(FileOperation::CreateFolder))
        return false;
    if (::mkdir(native.c_str(), 0777) == 0)
        return true;
    return errno == EEXIST && ::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CFileSystem::CreateFolders(const std::string& hostPath)
{
    for (size_t slash = hostPath.find('/', 1); slash != std::string::npos; slash = hostPath.find('/', slash + 1))
        CreateFolder(hostPath.substr(0, slash));
    return CreateFolder(hostPath);
}

bool CFileSystem::CreateOwnFolder(const std::string& hostPath)
{
    struct stat st;
    if (::lstat(hostPath.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
        ::unlink(hostPath.c_str());
    return CreateFolder(hostPath);
}

bool CFileSystem::HoldsBytes(const std::string& hostPath, const std::vector<uint8_t>& bytes)
{
    const int fd = ::open(hostPath.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    bool same = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) == bytes.size();
    uint8_t block[65536];
    for (size_t at = 0; same && at < bytes.size();) {
        const ssize_t n = ::read(fd, block, std::min(sizeof block, bytes.size() - at));
        same = n > 0 && std::memcmp(block, bytes.data() + at, static_cast<size_t>(n)) == 0;
        at += n > 0 ? static_cast<size_t>(n) : 0;
    }
    ::close(fd);
    return same;
}

void CFileSystem::SyncFolder(const std::string& hostPath)
{
    const int fd = ::open(hostPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool CFileSystem::RemoveFile(std::string_view path)
{
    return ::unlink(ResolvePath(path).c_str()) == 0;
}

bool CFileSystem::RenameFile(std::string_view from, std::string_view to)
{
    if (CFileFaults::Fail(FileOperation::Rename))
        return false;
    return std::rename(ResolvePath(from).c_str(), ResolvePath(to).c_str()) == 0;
}

bool CFileSystem::MoveWithoutReplacing(std::string_view from, std::string_view to)
{
    if (CFileFaults::Fail(FileOperation::Rename))
        return false;
    const std::string source = ResolvePath(from), target = ResolvePath(to);
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the flag: a new link fails where a name is
    // taken, and the old name goes only once the new one stands.
    if (::link(source.c_str(), target.c_str()) != 0)
        return false;
    return ::unlink(source.c_str()) == 0;
}

namespace {

FileIdentity IdentityOf(const struct stat& st)
{
    FileIdentity id;
    id.exists = true;
    id.device = static_cast<uint64_t>(st.st_dev);
    id.inode = static_cast<uint64_t>(st.st_ino);
    id.size = static_cast<int64_t>(st.st_size);
    id.modifiedSeconds = static_cast<int64_t>(st.st_mtim.tv_sec);
    id.modifiedNanoseconds = static_cast<int64_t>(st.st_mtim.tv_nsec);
    id.changedSeconds = static_cast<int64_t>(st.st_ctim.tv_sec);
    id.changedNanoseconds = static_cast<int64_t>(st.st_ctim.tv_nsec);
    return id;
}

} // namespace

FileIdentity CFileSystem::Identify(std::string_view path)
{
    const std::string native = ResolvePath(path);
    struct stat st;
    if (::stat(native.c_str(), &st) == 0 || ::lstat(native.c_str(), &st) == 0)
        return IdentityOf(st);
    return {};
}

FileIdentity CFileSystem::Identify(FILE* file)
{
    struct stat st;
    if (!file || ::fstat(::fileno(file), &st) != 0)
        return {};
    return IdentityOf(st);
}

bool CFileSystem::IsSafeFileName(std::string_view name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

bool CFileSystem::Write(FILE* file, const void* data, size_t n)
{
    if (n == 0)
        return true;
    if (!file || CFileFaults::Fail(FileOperation::Write))
        return false;
    return std::fwrite(data, 1, n, file) == n;
}

bool CFileSystem::Flush(FILE* file)
{
    return file && !CFileFaults::Fail(FileOperation::Flush) && std::fflush(file) == 0 && !std::ferror(file);
}

bool CFileSystem::FlushToDisk(FILE* file)
{
    if (!Flush(file))
        return false;
    if (CFileFaults::Fail(FileOperation::Sync))
        return false;
    return ::fsync(::fileno(file)) == 0;
}

int64_t CFileSystem::GetFileSize(FILE* file)
{
    if (!file)
        return -1;
    struct stat st;
    if (::fstat(::fileno(file), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return static_cast<int64_t>(st.st_size);
}

int64_t CFileSystem::Tell(FILE* file)
{
    return file ? static_cast<int64_t>(::ftello(file)) : -1;
}

bool CFileSystem::Seek(FILE* file, uint64_t position)
{
    return file && position <= static_cast<uint64_t>(INT64_MAX) &&
           ::fseeko(file, static_cast<off_t>(position), SEEK_SET) == 0;
}

bool CFileSystem::Skip(FILE* file, uint64_t bytes)
{
    return file && bytes <= static_cast<uint64_t>(INT64_MAX) && ::fseeko(file, static_cast<off_t>(bytes), SEEK_CUR) == 0;
}

bool CFileSystem::IsTerminal(FILE* stream)
{
    return stream && ::isatty(::fileno(stream)) == 1;
}
