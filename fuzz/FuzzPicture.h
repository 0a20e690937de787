// The check of the picture reader that its fuzz targets share, each with
// seeds of its own kind: arbitrary bytes read as a new portrait's picture
// would be. A picture that reads is of its declared size within the
// request's bound, and a refusal leaves it empty with a reason; the
// sanitizer sees every access past what was allocated. The fuzzer asks for
// at most 16 megapixels, so that a decoded picture stays well within its
// memory limit.
#pragma once

#include "PictureReader.h"

inline int FuzzPictureReader(const uint8_t* data, size_t size)
{
    PictureRequest request;
    request.maxPixels = 16'000'000;
    // Every other input asks for a scaled decoding.
    request.minWidth = size % 2 ? 179 : 0;
    request.minHeight = size % 2 ? 143 : 0;
    Picture picture;
    PictureFailure failure;
    const PictureResult result = CPictureReader::Read(std::span(data, size), request, picture, failure);
    const uint64_t pixels = uint64_t(picture.width) * uint64_t(picture.height);
    bool ok = (result == PictureResult::kOk) == failure.reason.empty();
    if (result == PictureResult::kOk)
        ok = ok && picture.width > 0 && picture.height > 0 && pixels <= request.maxPixels &&
             picture.rgb.size() == pixels * 3;
    else
        ok = ok && picture.width == 0 && picture.height == 0 && picture.rgb.empty();
    if (!picture.rgb.empty()) {
        volatile uint8_t first = picture.rgb.front(), last = picture.rgb.back();
        (void)first;
        (void)last;
    }
    if (!ok)
        __builtin_trap();
    return 0;
}
