// Feeds arbitrary bytes to the TGA format functions and, as a file held in
// memory, to the header checks and to LoadTga, into a fresh surface and into
// one that holds an index buffer. The header serializes back to its bytes;
// a file that loads has its header's size and at most the pixels a TGA file
// may hold; a refusal says why; the sanitizer sees every access past what
// was allocated.
#include <algorithm>

#include "CheckedSize.h"
#include "MemoryFile.h"
#include "RasterSurface.h"
#include "TgaFile.h"
#include "TgaFormat.h"

namespace {

void Touch(const uint8_t* bytes, size_t size)
{
    if (bytes && size > 0) {
        volatile uint8_t last = bytes[size - 1];
        (void)last;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const TgaHeader header = ParseTgaHeader(std::span(data, size));
    const auto stored = SerializeTgaHeader(header);
    const bool whole = size >= TgaHeader::kSize;
    bool ok = !whole || std::equal(stored.begin(), stored.end(), data);
    ok = ok && (CheckTgaPixels(header, size, 0) != TgaFailure::kNone ||
                uint64_t{header.width} * header.height <= 128 * uint64_t{size});
    const CMemoryFile file(data, size, "input.tga");
    ok = ok && TgaHasSize(file.Path(), header.width, header.height) == whole &&
         TgaHasDepth(file.Path(), header.pixelDepth) == whole;
    CRasterSurface fresh, buffer;
    ok = ok && buffer.CreateBuffer(4, 4) == 1;
    for (CRasterSurface* s : {&fresh, &buffer}) {
        TgaFailure why = TgaFailure::kNone;
        const int32_t result = s->LoadTga(file.Path(), why);
        const int32_t depth = header.ColourMapped() ? 8 : 32;
        ok = ok && (result == 1 ? why == TgaFailure::kNone : result == -2 && why != TgaFailure::kNone);
        ok = ok && why != TgaFailure::kCannotOpen && (s->m_pPalette != nullptr) == header.ColourMapped();
        ok = ok && (result != 1 || (s->m_pBits && s->m_width == header.width && s->m_height == header.height &&
                                    uint64_t{header.width} * header.height <= kMaxImagePixels && s->m_depth == depth));
        Touch(s->m_pPalette.get(), s->m_pPalette ? kTgaPaletteBytes : 0);
        Touch(s->m_pBits, size_t(s->m_width) * size_t(s->m_height) * size_t(s->m_depth) / 8);
    }
    if (!ok)
        __builtin_trap();
    return 0;
}
