// A game's base directory and every place below it that the editor reads or
// writes: the one spelling of each path rule. Paths are the editor's own,
// backslash-separated below the base directory; the file layer finds them in
// any case.
#pragma once

#include <string>
#include <string_view>

class CGameFolder {
public:
    // The override folder below the base directory, as an image's sub-folder.
    static constexpr const char* kPortraitsSubFolder = "\\Portraits";
    // What the game archive and a patch call themselves in their headers:
    // their places below the base directory.
    static constexpr const char* kArchiveLabel = "DATA\\DATA.QPK";
    static constexpr const char* kPatchLabel = "PATCHES\\PATCH.010";

    CGameFolder() = default;
    explicit CGameFolder(std::string baseDir) : m_baseDir(std::move(baseDir)) {}

    const std::string& BaseDir() const { return m_baseDir; }
    // DATA\DATA.QPK, the game archive, which is only ever read.
    std::string ArchivePath() const { return Below(kArchiveLabel); }
    // Portraits, with the override files, and its folders Reverted (files
    // set aside), Dragged (frames dragged out) and Editing (frames being
    // edited in another program).
    std::string PortraitsFolder() const { return Below(kPortraitsSubFolder); }
    std::string RevertedFolder() const { return Below("Portraits\\Reverted"); }
    std::string DraggedFolder() const { return Below("Portraits\\Dragged"); }
    std::string EditingFolder() const { return Below("Portraits\\Editing"); }
    // PATCHES\PATCH.010, the patch archive the override files are packed
    // into, and its folder, which the modder (or, when asked, the window)
    // makes.
    std::string PatchPath() const { return Below(kPatchLabel); }
    std::string PatchesFolder() const { return Below("PATCHES"); }
    // Whether the base directory is a game folder: DATA\DATA.QPK is a file
    // below it, spelled in any case.
    bool HoldsArchive() const;

    // An archive entry's override file, named by its base name and ".GFX",
    // from the entry's name alone; false for an entry whose base name cannot
    // be a file name.
    static bool OverrideFileName(std::string_view entryName, std::string& fileName);
    bool OverridePath(std::string_view entryName, std::string& path) const;
    // Whether a file of Portraits is named as override files are (".GFX" in
    // any case).
    static bool IsOverrideFileName(std::string_view fileName);

private:
    std::string Below(std::string_view relative) const;

    std::string m_baseDir;
};
