// An input held as a file in memory (memfd), for readers that take a path:
// the fuzz targets hand it to them without writing a temporary file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CMemoryFile {
public:
    // name ends the file's name as the reader sees it (".GFX", say); the
    // bytes are the file's contents. Aborts when no such file can be made,
    // since no finding could then be trusted.
    CMemoryFile(const uint8_t* data, size_t size, const char* name = "input");
    ~CMemoryFile();
    CMemoryFile(const CMemoryFile&) = delete;
    CMemoryFile& operator=(const CMemoryFile&) = delete;

    // A path that opens the file.
    const std::string& Path() const { return m_path; }

private:
    int m_fd = -1;
    std::string m_path;
};
