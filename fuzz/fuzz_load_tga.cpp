// Feeds arbitrary bytes to the TGA format functions over the bytes, and
// through a file to the header checks and to LoadTga, which reads its pixels
// from a file through the block reader: into a fresh surface and into one
// that holds an index buffer. Headers of every size run; memory stays
// bounded by the file.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "CheckedSize.h"
#include "RasterSurface.h"
#include "TgaFile.h"
#include "TgaFormat.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

void LoadInto(CRasterSurface& surface, const std::string& path, const TgaHeader& header)
{
    TgaFailure failure = TgaFailure::kNone;
    const int32_t result = surface.LoadTga(path, failure);
    Check((result == 1 && failure == TgaFailure::kNone) || (result == -2 && failure != TgaFailure::kNone &&
                                                            failure != TgaFailure::kCannotOpen));
    Check((surface.m_pPalette != nullptr) == header.ColourMapped());
    if (surface.m_pPalette) {
        volatile uint8_t last = surface.m_pPalette[kTgaPaletteBytes - 1];
        (void)last;
    }
    if (result == 1)
        Check(surface.m_pBits && surface.m_width == header.width && surface.m_height == header.height &&
              uint64_t{header.width} * header.height <= kMaxImagePixels &&
              surface.m_depth == (header.ColourMapped() ? 8 : 32));
    const size_t bytes = static_cast<size_t>(surface.m_width) * static_cast<size_t>(surface.m_height) *
                         static_cast<size_t>(surface.m_depth) / 8;
    if (surface.m_pBits && bytes > 0) {
        volatile uint8_t last = surface.m_pBits[bytes - 1];
        (void)last;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> bytes(data, size);
    const TgaHeader header = ParseTgaHeader(bytes);
    const auto stored = SerializeTgaHeader(header);
    Check(size < TgaHeader::kSize || std::equal(stored.begin(), stored.end(), data));
    uint8_t palette[kTgaPaletteBytes] = {};
    const size_t map = std::min<size_t>(size, TgaHeader::kSize + header.idLength);
    DecodeTgaColourMap(header, 0, bytes.subspan(map, std::min<uint64_t>(size - map, TgaColourMapBytes(header))),
                       palette);
    Check(CheckTgaPixels(header, size, 0) != TgaFailure::kNone || uint64_t{header.width} * header.height <= 128 * size);

    // LoadTga reads a path, not memory, so the input goes to a file of this process.
    const char* tmp = std::getenv("TMPDIR");
    const std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz_load_tga_" +
                             std::to_string(::getpid()) + ".tga";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort(); // the harness itself failed; no finding could be trusted
    // A whole header always matches its own fields; a partial one matches nothing.
    Check(TgaHasSize(path, header.width, header.height) == (size >= TgaHeader::kSize ? 1 : 0));
    Check(TgaHasDepth(path, header.pixelDepth) == (size >= TgaHeader::kSize ? 1 : 0));
    CRasterSurface fresh;
    LoadInto(fresh, path, header);
    CRasterSurface buffer;
    Check(buffer.CreateBuffer(4, 4) == 1);
    LoadInto(buffer, path, header);
    std::remove(path.c_str());
    return 0;
}
