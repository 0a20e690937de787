#include "BenchFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

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
    // What a benchmark wrote besides the listed files (folders of exported
    // files, say) goes with the folder.
    if (!m_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
}
