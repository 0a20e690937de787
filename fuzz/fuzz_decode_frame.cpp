// Decodes arbitrary run-length data with both frame decoders into buffers of
// exactly their size, so that the sanitizer sees any write or read past them.
// Input: width as u16 (taken modulo 301), height as u8 (modulo 65), then the
// frame's run-length data. Checks that the colour decode is the palette
// applied to the index decode, and that encoding the decoded rows and
// decoding them again gives the same rows back, with clean pads.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "FrameCodec.h"
#include "MessageBox.h"

namespace {

size_t g_messages = 0;

// Colour 0 is black, because pixels that no decoder reaches stay 0 in both
// buffers; every other colour differs from it and from each other in blue.
struct Palette {
    uint8_t bytes[1024];
    Palette()
    {
        for (size_t i = 0; i < 256; ++i) {
            bytes[4 * i] = static_cast<uint8_t>(i);
            bytes[4 * i + 1] = static_cast<uint8_t>(i * 37);
            bytes[4 * i + 2] = static_cast<uint8_t>(i * 101);
            bytes[4 * i + 3] = 0xA5; // never copied into a pixel
        }
    }
};

const bool g_handlerSet = [] {
    SetMessageBoxHandler([](const std::string&, const std::string&) { ++g_messages; });
    return true;
}();

std::unique_ptr<uint8_t[]> Cleared(size_t size)
{
    return std::unique_ptr<uint8_t[]>(new uint8_t[size]());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const Palette palette;
    if (size < 3 || !g_handlerSet)
        return 0;
    const int32_t width = (data[0] | data[1] << 8) % 301;
    const int32_t height = data[2] % 65;
    const int32_t pad = (4 - width % 4) % 4;
    const size_t rowPixels = static_cast<size_t>(width + pad);
    const size_t pixelCount = rowPixels * static_cast<size_t>(height);
    const uint8_t* source = data + 3;
    const size_t sourceSize = size - 3;

    // Raw pointers and memcmp keep the unoptimised, instrumented build
    // quick enough to try many inputs a second.
    g_messages = 0;
    const auto indexBuffer = Cleared(pixelCount);
    const auto colourBuffer = Cleared(4 * pixelCount);
    uint8_t* indices = indexBuffer.get();
    uint8_t* colours = colourBuffer.get();
    DecodeFrameIndices(indices, source, sourceSize, width, height, pad);
    if (g_messages > 1)
        __builtin_trap();
    DecodeFrameColours(colours, source, sourceSize, width, height, pad, palette.bytes);
    if (g_messages > 1)
        __builtin_trap();
    const auto expectedBuffer = Cleared(4 * pixelCount);
    uint8_t* expected = expectedBuffer.get();
    for (size_t p = 0; p < pixelCount; ++p) {
        std::memcpy(expected + 4 * p, &palette.bytes[4 * indices[p]], 3);
        expected[4 * p + 3] = 0;
    }
    if (pixelCount != 0 && std::memcmp(colours, expected, 4 * pixelCount) != 0)
        __builtin_trap();

    // What the editor would save: the first `width` pixels of each row.
    const size_t rowBytes = static_cast<size_t>(width);
    const auto rowBuffer = Cleared(rowBytes * static_cast<size_t>(height));
    uint8_t* rows = rowBuffer.get();
    for (size_t y = 0; y < static_cast<size_t>(height); ++y)
        std::memcpy(rows + y * rowBytes, indices + y * rowPixels, rowBytes);
    const size_t maxSize = MaxEncodedSize(width, height);
    const auto codeBuffer = Cleared(maxSize);
    const int32_t codeSize = EncodeFrame(rows, width, height, codeBuffer.get(), maxSize);
    if (codeSize < 0 || static_cast<size_t>(codeSize) > maxSize)
        __builtin_trap();
    g_messages = 0;
    const auto againBuffer = Cleared(pixelCount);
    uint8_t* again = againBuffer.get();
    DecodeFrameIndices(again, codeBuffer.get(), static_cast<size_t>(codeSize), width, height, pad);
    if (g_messages != 0)
        __builtin_trap();
    static const uint8_t zeros[3] = {0, 0, 0};
    for (size_t y = 0; y < static_cast<size_t>(height); ++y) {
        const uint8_t* row = again + y * rowPixels;
        if (std::memcmp(row, rows + y * rowBytes, rowBytes) != 0 ||
            std::memcmp(row + rowBytes, zeros, static_cast<size_t>(pad)) != 0)
            __builtin_trap();
    }
    return 0;
}
