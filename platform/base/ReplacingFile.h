// Writes a file that replaces another only once it is complete: the bytes go
// to a new temporary file beside the target, which is flushed to disk and
// then renamed over the target in one step. A write that fails half-way
// leaves the target as it was and removes the temporary file; a link at the
// target's name is replaced, never written through.
//
// The temporary file has no name at all where the file system allows it
// (nothing is left behind when the process dies), else a name of its own,
// "<target name>.<process id>-<random>.tmp", so that two processes never
// share one. Such names of a target left by a process that has gone are
// removed by the next write of that target.
#pragma once

#include <cstddef>
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

    // Whether Commit waits until the file is on disk (the default), or only
    // until it is whole, which a process killed at any moment cannot tell
    // apart but a power cut might. Many files of which one last file tells
    // which are whole (a catalogue's manifest) need only the last on disk.
    enum class Durability { kOnDisk, kWhole };

    // Creates the temporary file for writing (mode "wb") beside targetPath,
    // the file that Commit replaces. False when it cannot be created.
    bool Begin(std::string_view targetPath, Durability durability = Durability::kOnDisk);

    FILE* Stream() const { return m_file.get(); }

    // Puts the temporary file in place of the target. False, with the target
    // untouched and the temporary file removed, when any write failed.
    bool Commit();
    // The same, but only where nothing stands at the target yet: false, with
    // whatever stands there untouched, when something does.
    bool CommitNew();

    // Drops the temporary file; the target is untouched.
    void Abort();

    // The system's error number of the step that made Begin or Commit fail.
    int Error() const { return m_error; }

    // The bytes as the whole new content of the file at path, put in place
    // as Commit does; false, with the system's error number in error, when
    // they could not be.
    static bool WriteWhole(std::string_view path, const void* data, size_t size, int& error,
                           Durability durability = Durability::kOnDisk);

private:
    bool Finish(bool replace);
    bool Link(bool replace);

    FileHandle m_file;
    std::string m_target; // host paths, resolved when the write began
    std::string m_temp;   // empty for a file without a name
    Durability m_durability = Durability::kOnDisk;
    int m_error = 0;
};
