#include "AsideFolder.h"

#include "FileSystem.h"

namespace {

// More files of one name set aside in one second than anybody makes.
constexpr int32_t kMaxAttempts = 1000;

} // namespace

std::string CAsideFolder::Name(const std::string& fileName, std::time_t now, int32_t attempt)
{
    std::tm utc{};
    gmtime_r(&now, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &utc);
    std::string name = fileName;
    name += '.';
    name += stamp;
    if (attempt > 1) {
        name += '-';
        name += std::to_string(attempt);
    }
    return name;
}

int32_t CAsideFolder::Move(std::string_view path, std::string_view folder, std::time_t now, std::string& movedTo)
{
    if (!CFileSystem::CreateFolder(folder))
        return kCannotCreateFolder;
    const std::string from = CFileSystem::ResolvePath(path);
    const size_t slash = from.rfind('/');
    const std::string fileName = slash == std::string::npos ? from : from.substr(slash + 1);
    // An earlier file of the same name and second is never replaced.
    for (int32_t attempt = 1; attempt <= kMaxAttempts; ++attempt) {
        const std::string to = CFileSystem::ResolvePath(std::string(folder) + "\\" + Name(fileName, now, attempt));
        if (CFileSystem::MoveWithoutReplacing(from, to)) {
            movedTo = to;
            return kMoved;
        }
        if (!CFileSystem::PathExists(to))
            break;
    }
    return kMoveFailed;
}
