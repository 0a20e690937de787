// The file system as the editor sees it: paths are built from the base
// directory and backslash-separated names, and every existing path component
// is matched without regard to ASCII case, so that "PORTRAITS" finds
// "Portraits" and "DATA\DATA.QPK" finds "data/data.qpk".
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct FileCloser {
    void operator()(FILE* f) const
    {
        if (f)
            std::fclose(f);
    }
};
using FileHandle = std::unique_ptr<FILE, FileCloser>;

// What tells a file from another that took its name since: the device and
// inode it lives on, its size and the times its contents and its inode last
// changed (the second cannot be set back by a program). Two identities are
// equal only for the same file, unchanged in between.
struct FileIdentity {
    bool exists = false; // false: nothing stood at the path
    uint64_t device = 0, inode = 0;
    int64_t size = 0;
    int64_t modifiedSeconds = 0, modifiedNanoseconds = 0;
    int64_t changedSeconds = 0, changedNanoseconds = 0;
    bool operator==(const FileIdentity&) const = default;
};

class CFileSystem {
public:
    // The process's current directory, without a trailing separator except
    // at the root; empty when it cannot be read.
    static std::string GetCurrentDir();
    // Makes a host path the current directory; false, with errno set, when
    // it cannot be.
    static bool SetCurrentDir(const std::string& hostPath);

    // base + relative with one separator between them; relative is a
    // backslash-separated name such as "\Portraits" or "DATA\DATA.QPK".
    static std::string BuildPath(std::string_view base, std::string_view relative);

    // The host path for a path of the editor: backslashes become '/', and
    // each component that does not exist with its exact spelling is replaced
    // by the entry of its folder that equals it regardless of ASCII case (the
    // first in byte order when there are several). Components that match
    // nothing keep their spelling, so a new file is created as spelled.
    static std::string ResolvePath(std::string_view path);

    // Only regular files are opened: a folder, FIFO, socket or device at the
    // path gives null, as a missing file does, and the open never waits (a
    // FIFO without a writer returns at once). The test is made on the opened
    // file itself, so nothing can be swapped in between a test and the open.
    static FileHandle OpenForReading(std::string_view path);  // mode "rb"
    static FileHandle CreateForWriting(std::string_view path); // mode "wb"
    // A new, empty regular file at the path, for a temporary file that is
    // renamed into place later: whatever stood there is removed first, and a
    // link is removed rather than followed, so the bytes never land anywhere
    // but the path. Null when the file cannot be made.
    static FileHandle CreateNewFile(std::string_view path);
    static bool FileExists(std::string_view path);
    // True when anything at all stands at the path: a file, a folder, a link.
    static bool PathExists(std::string_view path);
    // The names of the regular files in a folder, in byte order; empty when
    // the folder cannot be read.
    static std::vector<std::string> ListFiles(std::string_view folder);
    // The names of the folders in a folder at a host path, links to folders
    // among them, in byte order and without "." and ".."; empty when the
    // folder cannot be read. Only the entries are looked at, never opened,
    // so nothing in the folder can make the listing wait.
    static std::vector<std::string> ListFolders(const std::string& hostPath);
    // A host path with every link resolved: absolute, without "." and "..";
    // empty when it leads nowhere. Two paths to one folder give the same.
    static std::string RealPath(const std::string& hostPath);
    // True when a folder stands at the path afterwards; the fault hook may
    // fail the creation.
    static bool CreateFolder(std::string_view path);
    // The same for a host path and every folder above it.
    static bool CreateFolders(const std::string& hostPath);
    // A folder of the editor's own at a host path: a link standing there is
    // removed (never followed) and a folder made in its place, so that
    // nothing written into it lands outside.
    static bool CreateOwnFolder(const std::string& hostPath);
    // True when a regular file, not a link, stands at a host path and holds
    // exactly these bytes.
    static bool HoldsBytes(const std::string& hostPath, const std::vector<uint8_t>& bytes);
    // Asks the system to put a folder's entries (a rename, a removal) on disk.
    static void SyncFolder(const std::string& hostPath);
    static bool RemoveFile(std::string_view path);
    // Replaces `to` with `from` in one step; `to` is never missing in between.
    static bool RenameFile(std::string_view from, std::string_view to);
    // Moves `from` to `to` only when nothing stands at `to`: false, with both
    // left as they were, when something does or the move fails. The fault
    // hook counts it as a rename.
    static bool MoveWithoutReplacing(std::string_view from, std::string_view to);

    // The identity of whatever stands at the path (a link's target, or the
    // link itself when it leads nowhere), or of an open file.
    static FileIdentity Identify(std::string_view path);
    static FileIdentity Identify(FILE* file);

    // False for a name that could leave its folder when used as a file name:
    // empty, ".", "..", or holding a separator or a zero byte. Names taken from
    // file contents go through this before they become part of a path.
    static bool IsSafeFileName(std::string_view name);

    // Writes n bytes; false when they were not all written. Every write of a
    // file that the editor must not leave half-done goes through here.
    static bool Write(FILE* file, const void* data, size_t n);

    // Hands buffered data to the system; false when anything written so far
    // has failed.
    static bool Flush(FILE* file);
    // The same, and asks the system to put the file on disk.
    static bool FlushToDisk(FILE* file);

    // Size of a file open for reading in bytes, or -1; the position is left
    // unchanged.
    static int64_t GetFileSize(FILE* file);
    // The position in an open file, or -1; and moves to a position from the
    // start, or forward from where the file stands, false when it cannot.
    static int64_t Tell(FILE* file);
    static bool Seek(FILE* file, uint64_t position);
    static bool Skip(FILE* file, uint64_t bytes);

    // Whether a stream is a terminal (a progress line is shown only there).
    static bool IsTerminal(FILE* stream);
};
