#include "GameDir.h"

#include <stdexcept>

GameDir::GameDir(const std::vector<TestEntry>& entries, bool makePortraits)
{
    m_dir.MakeFolder("DATA");
    if (makePortraits)
        m_dir.MakeFolder("Portraits");
    m_dir.WriteFile("DATA/DATA.QPK", MakeArchive(entries));
    if (m_archive.Open(ArchivePath()) != 1)
        throw std::runtime_error("test archive does not open");
}
