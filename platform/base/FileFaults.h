// A fault hook in the file layer, for tests of what a failure half-way
// leaves behind. Every write, flush, sync, rename (a move aside too) and
// folder creation that the file layer makes asks it first whether to fail.
// In builds without TV_FILE_FAULTS (the programs a modder runs) the answer is
// always no and the hook costs nothing; test builds can arm it from the test
// or, for a program the test starts, through the environment:
// TV_FILE_FAULT=write:3 fails the third write, and TV_FILE_FAULT=write:3:kill
// kills the process there instead, as a power cut or SIGKILL would.
#pragma once

#include <cstdint>

enum class FileOperation { Write, Flush, Sync, Rename, CreateFolder };
constexpr int kFileOperationCount = 5;

class CFileFaults {
public:
#ifdef TV_FILE_FAULTS
    // True when this call of `op` is the one that is to fail; counts the call.
    static bool Fail(FileOperation op);
    // From now on, the n-th call of `op` fails (1 is the next one); 0 fails
    // none. Clears the counts of every operation.
    static void FailNth(FileOperation op, int64_t n);
    // Calls of `op` since the last FailNth or Reset.
    static int64_t Count(FileOperation op);
    // No failures, all counts 0.
    static void Reset();
#else
    static constexpr bool Fail(FileOperation) { return false; }
#endif
};
