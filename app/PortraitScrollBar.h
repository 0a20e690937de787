// The scroll bar that browses the catalogue. Its position is the 1-based
// number of the current portrait; a page is five portraits.
#pragma once

#include "ScrollBar.h"

class CPortraitScrollBar : public CScrollBar {
public:
    static constexpr int32_t kPage = 5;

    void HScroll(int32_t code, int32_t thumbPosition) override;
};
