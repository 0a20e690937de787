#include "EntryBaseName.h"

#include "FileSystem.h"

bool GetEntryStem(std::string_view entryName, std::string_view& stem)
{
    const size_t slash = entryName.rfind('\\');
    const size_t start = slash == std::string_view::npos ? 0 : slash + 1;
    const size_t dot = entryName.rfind('.');
    if (dot == std::string_view::npos || dot < start)
        return false;
    stem = entryName.substr(start, dot - start);
    return true;
}

bool GetEntryBaseName(std::string_view entryName, std::string& out)
{
    out.clear();
    std::string_view stem;
    if (!GetEntryStem(entryName, stem) || !CFileSystem::IsSafeFileName(stem))
        return false;
    out = std::string(stem);
    return true;
}
