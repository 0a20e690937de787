// The range and position of a scroll-bar control as the dialog sees them.
// Each host keeps one per bar, so the rules are the same with and without a
// window.
#pragma once

#include <algorithm>
#include <cstdint>

struct ScrollRange {
    int32_t min = 0;
    int32_t max = 0;
    int32_t position = 0;

    // The position stays within the range, as on the platform; an empty range
    // (minimum above maximum, as with no portraits) takes it as given.
    // Returns the previous position.
    int32_t SetPosition(int32_t newPosition)
    {
        const int32_t previous = position;
        position = min <= max ? std::clamp(newPosition, min, max) : newPosition;
        return previous;
    }
};
