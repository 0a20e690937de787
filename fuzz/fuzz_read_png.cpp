// Feeds arbitrary bytes to the PNG reader. A picture that reads has its
// header's size within the pixel budget, samples of its kind only, and
// indices below its palette's length; a refusal leaves the picture empty;
// the sanitizer sees every access past what was allocated.
#include "CheckedSize.h"
#include "PngFile.h"

namespace {

void Touch(const std::vector<uint8_t>& bytes)
{
    if (!bytes.empty()) {
        volatile uint8_t first = bytes.front(), last = bytes.back();
        (void)first;
        (void)last;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PngPicture picture;
    const PngReadResult result = ReadPng(std::span(data, size), picture);
    const size_t pixels = size_t(picture.width) * size_t(picture.height);
    bool ok = result != PngReadResult::kCannotOpen &&
              (result == PngReadResult::kNotPng) != HasPngSignature(std::span(data, size));
    if (result == PngReadResult::kOk) {
        ok = ok && picture.width > 0 && picture.height > 0 && pixels <= kMaxImagePixels;
        if (picture.indexed) {
            const size_t entries = picture.PaletteLength();
            ok = ok && picture.indices.size() == pixels && picture.rgb.empty() && entries >= 1 && entries <= 256 &&
                 picture.palette.size() == entries * 3;
            for (const uint8_t index : picture.indices)
                ok = ok && index < entries;
        } else {
            ok = ok && picture.rgb.size() == pixels * 3 && picture.indices.empty() && picture.palette.empty();
        }
    } else {
        ok = ok && picture.width == 0 && picture.height == 0 && picture.indices.empty() && picture.rgb.empty() &&
             picture.palette.empty();
    }
    Touch(picture.indices);
    Touch(picture.palette);
    Touch(picture.rgb);
    if (!ok)
        __builtin_trap();
    return 0;
}
