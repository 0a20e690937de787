#include "FolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>

#include "FileSystem.h"

namespace {

// The folders this process holds locked: the descriptor that holds each
// and how many holds share it.
struct Holding {
    int fd = -1;
    int32_t count = 0;
};
std::mutex g_mutex;
std::map<std::string, Holding> g_held;

constexpr auto kPollInterval = std::chrono::milliseconds(5);

} // namespace

bool CFolderLock::Acquire(std::string_view folder, int32_t waitMilliseconds)
{
    Release();
    m_error = 0;
    const int fd = ::open(CFileSystem::ResolvePath(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        m_error = errno;
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    const std::string key = std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
    // Threads of this process wait here, one behind the other.
    const std::lock_guard<std::mutex> lock(g_mutex);
    if (auto it = g_held.find(key); it != g_held.end()) {
        ::close(fd);
        ++it->second.count;
        m_key = key;
        m_held = true;
        return true;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMilliseconds);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= deadline) {
            m_error = errno == EINTR ? EWOULDBLOCK : errno;
            ::close(fd);
            return false;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    g_held[key] = Holding{fd, 1};
    m_key = key;
    m_held = true;
    return true;
}

void CFolderLock::Release()
{
    if (!m_held)
        return;
    m_held = false;
    const std::lock_guard<std::mutex> lock(g_mutex);
    auto it = g_held.find(m_key);
    if (it != g_held.end() && --it->second.count == 0) {
        // Closing the last descriptor lets the lock go.
        ::close(it->second.fd);
        g_held.erase(it);
    }
    m_key.clear();
}
