// Decodes arbitrary run-length data with both frame decoders into buffers of
// exactly their size, so that the sanitizer sees any access past them.
// Input: width as u16 (modulo 301), height as u8 (modulo 65), then the code.
// An overrun is told at most once, and to the handler given; the colour
// decode is the palette applied to the index decode; the decoded rows,
// encoded and decoded again, come back with clean pads and no message.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "FrameCodec.h"
#include "MessageBoxHandler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Colour i is (i, 37i, 101i): colour 0, where no decoder writes, is black.
    static const std::vector<uint8_t> palette = [] {
        std::vector<uint8_t> bytes(1024, 0xA5); // fourth bytes are never copied
        for (size_t i = 0; i < 256; ++i)
            for (size_t c = 0; c < 3; ++c)
                bytes[4 * i + c] = static_cast<uint8_t>(i * (c == 0 ? 1 : c == 1 ? 37 : 101));
        return bytes;
    }();
    if (size < 3)
        return 0;
    const int32_t width = (data[0] | data[1] << 8) % 301, height = data[2] % 65, pad = (4 - width % 4) % 4;
    const size_t row = static_cast<size_t>(width + pad), pixels = row * static_cast<size_t>(height);
    int told = 0;
    const MessageBoxHandler count = [&told](const std::string&, const std::string&) { ++told; };
    std::vector<uint8_t> indices(pixels), colours(4 * pixels), rows, again(pixels);
    DecodeFrameIndices(indices.data(), data + 3, size - 3, width, height, pad, count);
    DecodeFrameColours(colours.data(), data + 3, size - 3, width, height, pad, palette.data());
    for (size_t p = 0; p < pixels; ++p)
        if (told > 1 || std::memcmp(&colours[4 * p], &palette[4 * indices[p]], 3) != 0 || colours[4 * p + 3] != 0)
            __builtin_trap();

    // What the editor would save: the first `width` pixels of each row (a
    // frame without columns has no buffer at all).
    for (size_t y = 0; row > 0 && y < static_cast<size_t>(height); ++y) {
        rows.insert(rows.end(), indices.begin() + y * row, indices.begin() + y * row + width);
        std::fill_n(indices.begin() + y * row + width, pad, 0);
    }
    std::vector<uint8_t> code(MaxEncodedSize(width, height));
    const int32_t n = EncodeFrame(rows.data(), width, height, code.data(), code.size());
    told = 0;
    DecodeFrameIndices(again.data(), code.data(), n < 0 ? 0 : static_cast<size_t>(n), width, height, pad, count);
    if (n < 0 || told != 0 || again != indices)
        __builtin_trap();
    return 0;
}
