// Reads the picture a new portrait is made from, of any size: JPEG, WebP,
// PNG or BMP, told apart by their first bytes, or else TGA, taken by its
// header; from a file or from bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "Picture.h"

class CPictureReader {
public:
    // The largest file read: a 100-megapixel JPEG of the best quality is
    // well under it.
    static constexpr uint64_t kMaxFileBytes = uint64_t{256} << 20;

    static PictureResult Read(std::span<const uint8_t> bytes, const PictureRequest& request, Picture& out,
                              PictureFailure& failure);
    // The file at path; one that cannot be opened, or is larger than
    // kMaxFileBytes, is refused with the reason.
    static PictureResult ReadFile(const std::string& path, const PictureRequest& request, Picture& out,
                                  PictureFailure& failure);
};
