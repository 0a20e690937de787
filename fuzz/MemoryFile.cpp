#include "MemoryFile.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>

CMemoryFile::CMemoryFile(const uint8_t* data, size_t size, const char* name)
    : m_fd(::memfd_create(name, 0))
{
    for (size_t done = 0; m_fd >= 0 && done < size;) {
        const ssize_t n = ::write(m_fd, data + done, size - done);
        if (n <= 0)
            std::abort();
        done += static_cast<size_t>(n);
    }
    if (m_fd < 0)
        std::abort();
    m_path = "/proc/self/fd/" + std::to_string(m_fd);
}

CMemoryFile::~CMemoryFile()
{
    ::close(m_fd);
}
