// A memory drawing context: holds the bitmap selected into it and copies it
// onto a canvas. The screen it stands for always has 32 bits per pixel, so a
// bitmap never needs a logical palette to show its colours.
#pragma once

#include <cstdint>

#include "DibSection.h"

class CMemoryDc {
public:
    static constexpr int32_t kScreenBitsPerPixel = 32;

    int32_t BitsPerPixel() const { return kScreenBitsPerPixel; }
    void SelectBitmap(const CDibSection* bitmap) { m_selected = bitmap; }
    const CDibSection* SelectedBitmap() const { return m_selected; }

    // A block transfer of width x height pixels from (0, 0) to (x, y).
    void BlitTo(CCanvas& target, int32_t x, int32_t y, int32_t width, int32_t height) const
    {
        if (m_selected)
            m_selected->DrawTo(target, x, y, width, height);
    }

private:
    const CDibSection* m_selected = nullptr;
};
