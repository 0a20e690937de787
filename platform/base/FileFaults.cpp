#include "FileFaults.h"

#ifdef TV_FILE_FAULTS

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

struct FaultState {
    int64_t counts[kFileOperationCount] = {};
    int64_t failAt[kFileOperationCount] = {};
    bool kill = false; // the failing operation kills the process instead
    bool environmentRead = false;
};
FaultState g_faults;

int Index(FileOperation op)
{
    return static_cast<int>(op);
}

// TV_FILE_FAULT=<write|flush|sync|rename|mkdir>:<n>[:kill] arms the hook in
// a program that a test starts.
void ReadEnvironment()
{
    if (g_faults.environmentRead)
        return;
    g_faults.environmentRead = true;
    const char* setting = std::getenv("TV_FILE_FAULT");
    if (!setting)
        return;
    static const char* const kNames[kFileOperationCount] = {"write", "flush", "sync", "rename", "mkdir"};
    for (int i = 0; i < kFileOperationCount; ++i) {
        const size_t length = std::strlen(kNames[i]);
        if (std::strncmp(setting, kNames[i], length) != 0 || setting[length] != ':')
            continue;
        char* end = nullptr;
        g_faults.failAt[i] = std::strtoll(setting + length + 1, &end, 10);
        g_faults.kill = end && std::strcmp(end, ":kill") == 0;
    }
}

} // namespace

bool CFileFaults::Fail(FileOperation op)
{
    ReadEnvironment();
    const int i = Index(op);
    ++g_faults.counts[i];
    if (g_faults.failAt[i] <= 0 || g_faults.counts[i] != g_faults.failAt[i])
        return false;
    // Nothing after this point runs: no destructor, no clean-up.
    if (g_faults.kill)
        ::kill(::getpid(), SIGKILL);
    errno = EIO; // what a failing disk reports
    return true;
}

void CFileFaults::FailNth(FileOperation op, int64_t n)
{
    Reset();
    g_faults.failAt[Index(op)] = n;
}

int64_t CFileFaults::Count(FileOperation op)
{
    return g_faults.counts[Index(op)];
}

void CFileFaults::Reset()
{
    g_faults = FaultState{};
    g_faults.environmentRead = true; // a test's own arming wins over the environment
}

#endif
