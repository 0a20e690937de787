// Feeds arbitrary bytes to the override header reader through a memory
// stream and checks its result and where it leaves the stream: just past the
// payload size field, whose place follows from the name length at bytes 11..14.
#include <sys/types.h>

#include <cstdint>
#include <cstdio>

#include "GameArchive.h"
#include "LittleEndian.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Mode "rb" never writes, so the input buffer is not modified. Older C
    // libraries refuse an empty buffer, which tells nothing about the reader.
    FILE* file = ::fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!file)
        return 0;

    const CGameArchive archive;
    uint32_t payloadSize = 0;
    const int32_t result = archive.ReadOverrideHeader(file, payloadSize);
    const off_t position = ::ftello(file);
    std::fclose(file);
    if (result != 1 && result != -1)
        __builtin_trap();
    if (result == 1) {
        // A success means that all 19 + L header bytes were there.
        if (size < 19)
            __builtin_trap();
        const uint64_t expected = 19 + static_cast<uint64_t>(LoadU32LE(data + 11));
        if (expected > size || position < 0 || static_cast<uint64_t>(position) != expected ||
            payloadSize != LoadU32LE(data + expected - 4))
            __builtin_trap();
    }
    return 0;
}
