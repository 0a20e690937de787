// A picture read for a new portrait: its pixels as red, green, blue bytes,
// rows top first, upright as the picture asks to be shown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb; // width x height x 3
};

// What a read of a picture came to.
enum class PictureResult {
    kOk,
    kUnknownKind, // no JPEG, WebP (or other kind read) by its first bytes
    kBroken,      // the file cannot describe its pixels: cut short, or damaged
    kTooLarge,    // its declared size is over the limit
};

// How large a picture may be, and the smallest size it is wanted at: a
// JPEG is decoded at 1/2, 1/4 or 1/8 of its size when that is still at
// least minWidth x minHeight (0: at full size).
struct PictureRequest {
    static constexpr uint64_t kMaxPixels = 100'000'000; // 100 megapixels
    uint64_t maxPixels = kMaxPixels;
    int32_t minWidth = 0;
    int32_t minHeight = 0;
};

// Why a read failed, for a message: "the JPEG file is cut short", ...
struct PictureFailure {
    PictureResult result = PictureResult::kOk;
    std::string reason;
};
