// Overflow-checked size arithmetic. Every size or offset that comes from file
// contents passes through these before it decides an allocation or a read.
#pragma once

#include <cstdint>
#include <limits>

// out = a * b; false (and out untouched) when the product does not fit 64 bits.
inline bool CheckedMul(uint64_t a, uint64_t b, uint64_t& out)
{
    if (a != 0 && b > std::numeric_limits<uint64_t>::max() / a)
        return false;
    out = a * b;
    return true;
}

// out = a + b; false when the sum does not fit 64 bits.
inline bool CheckedAdd(uint64_t a, uint64_t b, uint64_t& out)
{
    if (b > std::numeric_limits<uint64_t>::max() - a)
        return false;
    out = a + b;
    return true;
}

// True when the range [offset, offset + length) lies within [0, available).
inline bool RangeFits(uint64_t offset, uint64_t length, uint64_t available)
{
    return offset <= available && length <= available - offset;
}

// The most pixels that one image, all its frames together, or one imported
// file may hold in memory: 4,194,304, over ten times the largest portrait
// (12 frames of 179 x 143). At five bytes a pixel (an index and a displayed
// colour) an image then needs at most 20 MiB besides its own bytes.
constexpr uint64_t kMaxImagePixels = uint64_t{1} << 22;

// Whether a picture that a header claims to be width x height pixels may be
// given memory, held with rows of heldWidth >= width pixels. Only when the
// bytes stored for it could describe that many pixels (width x height <=
// describable) and its held pixels fit what is left of `budget`, from which
// they are then taken. This is the one test between a header's sizes and an
// allocation: no header decides an allocation on its own.
inline bool TakePixels(uint64_t width, uint64_t heldWidth, uint64_t height, uint64_t describable,
                       uint64_t& budget)
{
    uint64_t claimed = 0, held = 0;
    if (!CheckedMul(width, height, claimed) || !CheckedMul(heldWidth, height, held) || claimed > describable ||
        held > budget)
        return false;
    budget -= held;
    return true;
}

// The most pixels that `bytes` stored bytes could describe at no more than
// `pixelsPerByte` pixels each; saturates instead of overflowing.
inline uint64_t DescribablePixels(uint64_t bytes, uint64_t pixelsPerByte)
{
    uint64_t pixels = 0;
    return CheckedMul(bytes, pixelsPerByte, pixels) ? pixels : std::numeric_limits<uint64_t>::max();
}
