// Feeds arbitrary bytes to the patch builder as an override file, which
// AddFile reads from disk: it must accept exactly the complete headers with a
// name of 1 to 255 bytes and no zero whose payload the file holds, and write
// the patch that SerializeArchive makes of that name and payload.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "ArchiveFormat.h"
#include "GameArchive.h"
#include "OverrideFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* tmp = std::getenv("TMPDIR");
    const std::string base = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz_patch_" + std::to_string(::getpid());
    FILE* input = std::fopen((base + ".GFX").c_str(), "wb"); // AddFile reads only ".GFX" and ".EXP" paths
    if (!input || std::fwrite(data, 1, size, input) != size || std::fclose(input) != 0)
        std::abort(); // the harness itself failed; no finding could be trusted

    CGameArchive builder;
    builder.BeginBuild(base + ".010", "PATCH.010");
    const int32_t added = builder.AddFile(base + ".GFX");
    const int32_t written = builder.WriteArchive();
    std::vector<uint8_t> patch;
    if (FILE* out = std::fopen((base + ".010").c_str(), "rb")) {
        for (int c; (c = std::fgetc(out)) != EOF;)
            patch.push_back(static_cast<uint8_t>(c));
        std::fclose(out);
    }
    std::remove((base + ".GFX").c_str());
    std::remove((base + ".010").c_str());

    const OverrideHeader h = ParseOverrideHeader(std::span(data, size));
    const bool acceptable = h.result == OverrideHeader::kOk && h.nameLength >= 1 &&
                            h.nameLength <= OverrideHeader::kMaxNameLength &&
                            !std::memchr(h.entryName.data(), 0, h.nameLength) && size - h.headerSize >= h.payloadSize;
    std::vector<ArchiveMember> members;
    if (acceptable)
        members.push_back({std::string(h.entryName), {data + h.headerSize, data + h.headerSize + h.payloadSize}});
    if (added != (acceptable ? 1 : -4) || written != 1 || patch != SerializeArchive("PATCH.010", members))
        __builtin_trap();
    return 0;
}
