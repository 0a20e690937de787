#include "FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

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

} // namespace

std::string CFileSystem::GetCurrentDir()
{
    std::vector<char> buf(4096);
    if (!::getcwd(buf.data(), buf.size()))
        return {};
    return std::string(buf.data());
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
    return FileHandle(std::fopen(ResolvePath(path).c_str(), "rb"));
}

FileHandle CFileSystem::CreateForWriting(std::string_view path)
{
    return FileHandle(std::fopen(ResolvePath(path).c_str(), "wb"));
}

bool CFileSystem::FileExists(std::string_view path)
{
    struct stat st;
    return ::stat(ResolvePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool CFileSystem::CreateFolder(std::string_view path)
{
    std::string native = ResolvePath(path);
    if (::mkdir(native.c_str(), 0777) == 0)
        return true;
    struct stat st;
    return errno == EEXIST && ::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CFileSystem::RemoveFile(std::string_view path)
{
    return ::unlink(ResolvePath(path).c_str()) == 0;
}

bool CFileSystem::RenameFile(std::string_view from, std::string_view to)
{
    return std::rename(ResolvePath(from).c_str(), ResolvePath(to).c_str()) == 0;
}

bool CFileSystem::IsSafeFileName(std::string_view name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

bool CFileSystem::FlushToDisk(FILE* file)
{
    if (!file || std::fflush(file) != 0 || std::ferror(file))
        return false;
    return ::fsync(::fileno(file)) == 0;
}

int64_t CFileSystem::GetFileSize(FILE* file)
{
    if (!file)
        return -1;
    off_t here = ::ftello(file);
    if (here < 0 || ::fseeko(file, 0, SEEK_END) != 0)
        return -1;
    off_t size = ::ftello(file);
    if (::fseeko(file, here, SEEK_SET) != 0)
        return -1;
    return static_cast<int64_t>(size);
}
