// A temporary folder for a benchmark's input files, made on first use (so
// that --benchmark_list_tests writes nothing) and removed with everything in
// it when the program exits.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class CBenchFolder {
public:
    // Writes the files into `folder`, adds their paths to `paths`, and
    // returns why it could not, or nothing.
    using Maker = std::function<std::string(const std::string& folder, std::vector<std::string>& paths)>;

    // The folder is made below $TMPDIR (else /tmp) with a name starting with prefix.
    CBenchFolder(const char* prefix, const Maker& make);
    ~CBenchFolder();
    CBenchFolder(const CBenchFolder&) = delete;
    CBenchFolder& operator=(const CBenchFolder&) = delete;

    bool Ok() const { return m_error.empty(); }
    const std::string& Error() const { return m_error; }
    const std::string& Path(size_t i) const { return m_paths.at(i); }
    const std::string& Folder() const { return m_folder; }

private:
    std::string m_folder;
    std::vector<std::string> m_paths;
    std::string m_error;
};
