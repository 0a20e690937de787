// Lets processes that write into the same folder take turns: an advisory
// lock (flock) on an open descriptor of the folder itself, so that no lock
// file appears. It is held around one save, pack or move at a time, never
// while the editor waits for the user. Within one process the lock is
// shared: a part of a save that takes it again (a move aside) goes on at once.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CFolderLock {
public:
    // How long another process's hold is waited for before the work is
    // given up and reported.
    static constexpr int32_t kWaitMilliseconds = 5000;

    CFolderLock() = default;
    ~CFolderLock() { Release(); }
    CFolderLock(const CFolderLock&) = delete;
    CFolderLock& operator=(const CFolderLock&) = delete;

    // Takes the lock of the folder (an editor path), waiting up to
    // waitMilliseconds while another process holds it. False, with the
    // system's error number in Error() (EWOULDBLOCK when the wait ran out),
    // when it was not taken.
    bool Acquire(std::string_view folder, int32_t waitMilliseconds = kWaitMilliseconds);
    void Release();
    bool Held() const { return m_held; }
    int Error() const { return m_error; }

private:
    std::string m_key; // the folder's device and inode, while held
    bool m_held = false;
    int m_error = 0;
};
