// A game base directory for tests: DATA\DATA.QPK made from the given
// entries, an empty Portraits folder, and a reader opened on the archive.
#pragma once

#include <string>
#include <vector>

#include "ArchiveBytes.h"
#include "TempDir.h"
#include "GameArchive.h"

class GameDir {
public:
    explicit GameDir(const std::vector<TestEntry>& entries, bool makePortraits = true);

    const std::string& Base() const { return m_dir.Path(); }
    std::string ArchivePath() const { return m_dir.Path() + "\\DATA\\DATA.QPK"; }
    // Host path of a file or folder below the base directory.
    std::string operator/(const std::string& relative) const { return m_dir / relative; }
    const TempDir& Dir() const { return m_dir; }
    CGameArchive& Archive() { return m_archive; }
    std::vector<uint8_t> ArchiveBytes() const { return ReadFileBytes(m_dir / "DATA/DATA.QPK"); }

private:
    TempDir m_dir;
    CGameArchive m_archive;
};
