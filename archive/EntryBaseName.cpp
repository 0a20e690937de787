#include "EntryBaseName.h"

#include "FileSystem.h"

bool GetEntryBaseName(std::string_view entryName, std::string& out)
{
    out.clear();
    const size_t slash = entryName.rfind('\\');
    const size_t start = slash == std::string_view::npos ? 0 : slash + 1;
    const size_t dot = entryName.rfind('.');
    if (dot == std::string_view::npos || dot < start)
        return false;
    std::string_view base = entryName.substr(start, dot - start);
    if (!CFileSystem::IsSafeFileName(base))
        return false;
    out = std::string(base);
    return true;
}
