// Feeds arbitrary bytes to the archive reader as a file on disk and checks
// that Open keeps to its documented results and that every accessor stays
// inside the directory it read, whatever the header claims.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "GameArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Open reads a path, not memory, so the input goes to a file of this process.
    const char* tmp = std::getenv("TMPDIR");
    const std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz_archive_open_" +
                             std::to_string(::getpid()) + ".bin";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort(); // the harness itself failed; no finding could be trusted

    CGameArchive archive;
    const int32_t result = archive.Open(path);
    std::remove(path.c_str());
    if (result != 1 && result != -1 && result != -2 && result != -3)
        __builtin_trap();
    if (result != 1) {
        if (archive.GetEntryCount() != 0)
            __builtin_trap();
        return 0;
    }
    // Indices -1 and count lie outside and must give the documented defaults.
    const int32_t count = archive.GetEntryCount();
    for (int32_t i = -1; i <= count; ++i) {
        const char* name = archive.GetEntryName(i);
        const uint32_t offset = archive.GetEntryOffset(i);
        const uint32_t entrySize = archive.GetEntrySize(i);
        if (i >= 0 && i < count) {
            if (!name || std::strlen(name) > 255)
                __builtin_trap();
        } else if (offset != 0xFFFFFFFFu || entrySize != 0) {
            __builtin_trap();
        }
    }
    return 0;
}
