#include "GameFolder.h"

#include <algorithm>
#include <cctype>

#include "EntryBaseName.h"
#include "FileSystem.h"

namespace {

constexpr std::string_view kOverrideExtension = ".GFX";

} // namespace

std::string CGameFolder::Below(std::string_view relative) const
{
    return CFileSystem::BuildPath(m_baseDir, relative);
}

bool CGameFolder::HoldsArchive() const
{
    return CFileSystem::FileExists(ArchivePath());
}

bool CGameFolder::OverrideFileName(std::string_view entryName, std::string& fileName)
{
    if (!GetEntryBaseName(entryName, fileName))
        return false;
    fileName += kOverrideExtension;
    return true;
}

bool CGameFolder::OverridePath(std::string_view entryName, std::string& path) const
{
    std::string fileName;
    if (!OverrideFileName(entryName, fileName))
        return false;
    path = CFileSystem::BuildPath(PortraitsFolder(), fileName);
    return true;
}

bool CGameFolder::IsOverrideFileName(std::string_view fileName)
{
    if (fileName.size() < kOverrideExtension.size())
        return false;
    const std::string_view end = fileName.substr(fileName.size() - kOverrideExtension.size());
    return std::equal(end.begin(), end.end(), kOverrideExtension.begin(), [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) == static_cast<unsigned char>(b);
    });
}
