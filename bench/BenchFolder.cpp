#include "BenchFolder.h"

#include <unistd.h>

#include <cstdlib>

CBenchFolder::CBenchFolder(const char* prefix, const Maker& make)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + prefix + ".XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        m_error = "cannot create a temporary folder from " + pattern;
        return;
    }
    m_folder = pattern;
    m_error = make(m_folder, m_paths);
}

CBenchFolder::~CBenchFolder()
{
    for (const std::string& path : m_paths)
        ::unlink(path.c_str());
    if (!m_folder.empty())
        ::rmdir(m_folder.c_str());
}
