// A folder of its own for each test, removed with everything in it at the end.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    // Path of a file or folder inside, with '/' separators.
    std::string operator/(const std::string& relative) const { return m_path + "/" + relative; }

    void MakeFolder(const std::string& relative) const;
    void WriteFile(const std::string& relative, const std::vector<uint8_t>& bytes) const;

private:
    std::string m_path;
};

std::vector<uint8_t> ReadFileBytes(const std::string& path);
bool PathExists(const std::string& path);
// Names in a folder, sorted.
std::vector<std::string> ListFolder(const std::string& path);
