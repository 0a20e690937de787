#include "DialogTemplate.h"

namespace {

// numerator / denominator rounded to the nearest, halves away from zero.
int32_t RoundedDivide(int64_t numerator, int64_t denominator)
{
    const int64_t half = denominator / 2;
    return static_cast<int32_t>(numerator >= 0 ? (numerator + half) / denominator : (numerator - half) / denominator);
}

} // namespace

int32_t DialogUnitsToPixelsX(int32_t x)
{
    return RoundedDivide(static_cast<int64_t>(x) * 6, 4);
}

int32_t DialogUnitsToPixelsY(int32_t y)
{
    return RoundedDivide(static_cast<int64_t>(y) * 13, 8);
}

PixelRect ControlRectInPixels(const ControlTemplate& control)
{
    const int32_t left = DialogUnitsToPixelsX(control.x), top = DialogUnitsToPixelsY(control.y);
    return {left, top, DialogUnitsToPixelsX(control.x + control.width), DialogUnitsToPixelsY(control.y + control.height)};
}
