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
