#include "RecentFolders.h"

#include "DialogHost.h"

#include <algorithm>
#include <filesystem>

#include "FileSystem.h"
#include "GameFolder.h"

CRecentFolders::CRecentFolders(const std::vector<std::string>& stored, std::string_view currentDir)
{
    // Added oldest first, so that the first stored entry ends up first.
    for (auto it = stored.rbegin(); it != stored.rend(); ++it)
        Add(*it, currentDir);
}

void CRecentFolders::Add(std::string_view folder, std::string_view currentDir)
{
    if (folder.empty())
        return;
    std::string absolute = Absolute(folder, currentDir);
    std::erase(m_folders, absolute);
    // Appended and rotated to the front: g++ 12 at -O3 warns
    // (-Wnull-dereference) about an insert at the front.
    m_folders.push_back(std::move(absolute));
    std::rotate(m_folders.begin(), m_folders.end() - 1, m_folders.end());
    if (m_folders.size() > kMaxFolders)
        m_folders.resize(kMaxFolders);
}

std::string CRecentFolders::Absolute(std::string_view folder, std::string_view currentDir)
{
    std::filesystem::path path{std::string(folder)};
    if (path.is_relative() && !currentDir.empty())
        path = std::filesystem::path{std::string(currentDir)} / path;
    std::string text = path.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

bool CRecentFolders::HasArchive(const std::string& folder)
{
    return CGameFolder(folder).HoldsArchive();
}

CRecentFolders::StartChoice CRecentFolders::ChooseStart(const std::optional<std::string>& gameDir,
                                                        std::string_view currentDir, std::string_view lastFolder,
                                                        const ArchiveTest& hasArchive)
{
    // A folder named on the command line is the only one tried: opening
    // another one instead would hide that it is no game folder.
    if (gameDir) {
        std::string folder = Absolute(*gameDir, currentDir);
        const bool found = hasArchive(folder);
        return {!found, std::move(folder), false};
    }
    std::string current = Absolute(currentDir, {});
    if (hasArchive(current))
        return {false, std::move(current), false};
    if (!lastFolder.empty()) {
        std::string last = Absolute(lastFolder, currentDir);
        if (hasArchive(last))
            return {false, std::move(last), false};
    }
    return {true, std::move(current), true};
}

std::vector<std::string> CRecentFolders::Read(const IDialogHost* host)
{
    if (!host)
        return {};
    return CRecentFolders(host->ReadSetting(kRecentKey), CFileSystem::GetCurrentDir()).Folders();
}

void CRecentFolders::Remember(IDialogHost& host, const std::string& folder)
{
    CRecentFolders recent(host.ReadSetting(kRecentKey), folder);
    recent.Add(folder, folder);
    host.WriteSetting(kRecentKey, recent.Folders());
    host.WriteSetting(kLastKey, {folder});
}
