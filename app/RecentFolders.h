// The game folders the editor has opened, most recent first, and the choice
// of the folder it opens at start. Nothing here asks the user: the program
// asks for a folder when the choice says so. The list and the last folder
// are kept in the host's settings (Remember).
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class IDialogHost;

class CRecentFolders {
public:
    static constexpr size_t kMaxFolders = 5;
    // Where the settings keep the last folder and the list.
    static constexpr const char* kLastKey = "folders/last";
    static constexpr const char* kRecentKey = "folders/recent";

    // Whether a folder holds the game archive; HasArchive in the program,
    // anything in the tests.
    using ArchiveTest = std::function<bool(const std::string& folder)>;

    // What the start-up does: open `folder`, or, when `ask` is set, let the
    // user choose a game folder, first saying that `folder`, given on the
    // command line, holds no game archive, or, when `explain` is set (no
    // folder was given and none found), what the editor needs.
    struct StartChoice {
        bool ask = false;
        std::string folder;
        bool explain = false;
    };

    CRecentFolders() = default;
    // The list as the settings held it: each folder made absolute against
    // currentDir, empty names and repeats dropped, at most kMaxFolders kept.
    CRecentFolders(const std::vector<std::string>& stored, std::string_view currentDir);

    const std::vector<std::string>& Folders() const { return m_folders; }

    // Puts a folder just opened first, as an absolute path; an earlier entry
    // of the same folder goes, and so does the oldest beyond kMaxFolders.
    void Add(std::string_view folder, std::string_view currentDir);

    // The folder as an absolute path without "." and ".." components or a
    // trailing separator; a relative one is taken against currentDir. The
    // file system is not asked, so links stay as they are.
    static std::string Absolute(std::string_view folder, std::string_view currentDir);

    // Notes an absolute folder, just opened, in the host's settings: as the
    // last folder and first of the recent ones.
    static void Remember(IDialogHost& host, const std::string& folder);
    // The recent folders as the host's settings keep them; none without a host.
    static std::vector<std::string> Read(const IDialogHost* host);

    // True when DATA\DATA.QPK is a file below the folder, spelled in any case.
    static bool HasArchive(const std::string& folder);

    // The folder to open at start: the one given on the command line, else
    // the current folder when it holds the archive, else the last folder
    // opened when it still does. With none of them the user is asked, told
    // about the folder given or, without one, what a game folder is.
    static StartChoice ChooseStart(const std::optional<std::string>& gameDir, std::string_view currentDir,
                                   std::string_view lastFolder, const ArchiveTest& hasArchive);

private:
    std::vector<std::string> m_folders;
};
