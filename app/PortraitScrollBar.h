// The scroll bar that browses the catalogue. Its position is the 1-based
// number of the current portrait; a page is five portraits.
#pragma once

#include <functional>

#include "ScrollBar.h"

class CPortraitScrollBar : public CScrollBar {
public:
    static constexpr int32_t kPage = 5;

    // Told of each portrait the thumb moves to (0 for the first).
    explicit CPortraitScrollBar(std::function<void(int32_t portrait)> onMove) : m_onMove(std::move(onMove)) {}

    void HScroll(int32_t code, int32_t thumbPosition) override;

private:
    std::function<void(int32_t portrait)> m_onMove;
};
