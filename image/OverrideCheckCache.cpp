#include "OverrideCheckCache.h"

COverrideFile::State COverrideCheckCache::Check(const std::string& path, std::string_view entryName)
{
    const FileIdentity now = CFileSystem::Identify(path);
    if (!now.exists) {
        m_judged.erase(path);
        return COverrideFile::State::kNone;
    }
    const auto known = m_judged.find(path);
    if (known != m_judged.end() && known->second.identity == now && known->second.entryName == entryName)
        return known->second.state;
    ++m_reads;
    const COverrideFile file = COverrideFile::Read(path, entryName);
    m_judged[path] = Judged{file.identity, std::string(entryName), file.state};
    return file.state;
}
