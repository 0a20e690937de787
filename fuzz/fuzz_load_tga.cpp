// Feeds arbitrary bytes to the TGA header checks and to LoadTga, into a fresh
// surface and into one that holds an index buffer, and checks the results and
// that the surface's pixels cover what its size says. Headers of every size
// run: the reader itself must keep its memory bounded by the file.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "CheckedSize.h"
#include "LittleEndian.h"
#include "RasterSurface.h"
#include "TgaFile.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

// header: the input's first 18 bytes, with zeros for those it lacks, which is
// how the reader sees a header cut short.
void LoadInto(CRasterSurface& surface, const std::string& path, const uint8_t (&header)[18])
{
    TgaFailure failure = TgaFailure::kNone;
    const int32_t result = surface.LoadTga(path, failure);
    // The file is there, so it always opens, and a refusal says why.
    Check(result == 1 || result == -2);
    Check((result == 1) == (failure == TgaFailure::kNone));
    Check(failure != TgaFailure::kCannotOpen);
    const bool colourMapped = header[2] == 1 || header[2] == 9;
    if (result == 1) {
        // Whatever the header claims, no read takes more than one import may hold.
        Check(static_cast<uint64_t>(surface.m_width) * static_cast<uint64_t>(surface.m_height) <= kMaxImagePixels);
        Check(surface.m_pBits != nullptr);
        Check(surface.m_width == LoadU16LE(header + 12) && surface.m_height == LoadU16LE(header + 14));
        Check(surface.m_depth == (colourMapped ? 8 : 32));
    }
    // Only colour-mapped files bring a palette, and they always do.
    Check((surface.m_pPalette != nullptr) == colourMapped);
    if (surface.m_pPalette) {
        volatile uint8_t last = surface.m_pPalette[1023];
        (void)last;
    }
    if (surface.m_pBits) {
        const uint64_t bytes = static_cast<uint64_t>(surface.m_width) * static_cast<uint64_t>(surface.m_height) *
                               static_cast<uint64_t>(surface.m_depth) / 8;
        if (bytes > 0) {
            volatile uint8_t last = surface.m_pBits[bytes - 1];
            (void)last;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    uint8_t header[18] = {};
    std::memcpy(header, data, std::min<size_t>(size, sizeof header));
    const uint64_t width = LoadU16LE(header + 12);
    const uint64_t height = LoadU16LE(header + 14);

    // LoadTga reads a path, not memory, so the input goes to a file of this process.
    const char* tmp = std::getenv("TMPDIR");
    const std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz_load_tga_" +
                             std::to_string(::getpid()) + ".tga";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort(); // the harness itself failed; no finding could be trusted

    // A whole header always matches its own fields; a partial one matches nothing.
    const int32_t expected = size >= sizeof header ? 1 : 0;
    Check(TgaHasSize(path, static_cast<int32_t>(width), static_cast<int32_t>(height)) == expected);
    Check(TgaHasDepth(path, header[16]) == expected);

    CRasterSurface fresh;
    LoadInto(fresh, path, header);
    CRasterSurface buffer;
    Check(buffer.CreateBuffer(4, 4) == 1);
    LoadInto(buffer, path, header);
    std::remove(path.c_str());
    return 0;
}
