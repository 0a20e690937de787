// Writes a file that replaces another only once it is complete: the bytes go
// to a temporary file beside the target, which is flushed to disk and then
// renamed over the target in one step. A write that fails half-way leaves the
// target as it was and removes the temporary file.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "FileSystem.h"

class CReplacingFile {
public:
    CReplacingFile() = default;
    ~CReplacingFile() { Abort(); }
    CReplacingFile(const CReplacingFile&) = delete;
    CReplacingFile& operator=(const CReplacingFile&) = delete;

    // Creates tempPath for writing (mode "wb"); targetPath is the file that
    // Commit replaces. False when the temporary file cannot be created.
    bool Begin(std::string_view targetPath, std::string_view tempPath);

    FILE* Stream() const { return m_file.get(); }

    // Puts the temporary file in place of the target. False, with the target
    // untouched and the temporary file removed, when any write failed.
    bool Commit();
    // The same, but only where no file stands at the target yet: false, with
    // whatever stands there untouched, when one does.
    bool CommitNew();

    // Drops the temporary file; the target is untouched.
    void Abort();

    // The system's error number of the step that made Begin or Commit fail.
    int Error() const { return m_error; }

private:
    bool Finish(bool replace);

    FileHandle m_file;
    std::string m_target; // host paths, resolved when the write began
    std::string m_temp;
    int m_error = 0;
};
