// Judgements of override files kept until a file changes, so that the
// portrait list's marks and the status line cost a look at each file (its
// device, inode, size and times) rather than a read of it.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

#include "FileSystem.h"
#include "OverrideFile.h"

class COverrideCheckCache {
public:
    // What stands at path (an editor path) as an override file of the entry:
    // judged afresh only when the file is new or has changed since it was
    // last judged.
    COverrideFile::State Check(const std::string& path, std::string_view entryName);

    // How many files were read and judged, for tests.
    size_t Reads() const { return m_reads; }

private:
    struct Judged {
        FileIdentity identity;
        std::string entryName;
        COverrideFile::State state = COverrideFile::State::kNone;
    };
    std::map<std::string, Judged> m_judged; // by path
    size_t m_reads = 0;
};
