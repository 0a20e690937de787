// Feeds arbitrary bytes to the patch builder as an override file, writes the
// patch, and reads it back: a file that AddFile accepts must come out as the
// single entry of a patch that the archive reader opens, named as its header says.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "GameArchive.h"
#include "LittleEndian.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // AddFile reads only paths that contain ".GFX" or ".EXP".
    const char* tmp = std::getenv("TMPDIR");
    const std::string base = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz_patch_" + std::to_string(::getpid());
    const std::string input = base + ".GFX", folder = base + "_out", patch = folder + "/PATCH.010";
    FILE* file = std::fopen(input.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0 ||
        (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST))
        std::abort(); // the harness itself failed; no finding could be trusted

    CGameArchive builder;
    builder.BeginBuild(patch);
    const int32_t added = builder.AddFile(input);
    const int32_t written = builder.WriteArchive();
    // The input file and the output folder are both there, so every write succeeds.
    bool broken = (added != 1 && added != -3 && added != -4) || written != 1;
    if (added == 1 && written == 1) {
        // Acceptance means the header was complete: 19 + L bytes with 1 <= L <= 255.
        const uint32_t nameLength = size >= 15 ? LoadU32LE(data + 11) : 0;
        CGameArchive reader;
        broken = broken || size < 19 || size - 19 < nameLength || reader.Open(patch) != 1 ||
                 reader.GetEntryCount() != 1 || reader.GetEntryOffset(0) != 532 ||
                 reader.GetEntrySize(0) != LoadU32LE(data + 15 + nameLength) ||
                 std::strlen(reader.GetEntryName(0)) != nameLength ||
                 std::memcmp(reader.GetEntryName(0), data + 15, nameLength) != 0;
    }
    // Cleaned up before any trap, so that a crash leaves no files behind.
    std::remove(patch.c_str());
    std::remove((patch + ".part").c_str());
    ::rmdir(folder.c_str());
    std::remove(input.c_str());
    if (broken)
        __builtin_trap();
    return 0;
}
