#include "PortraitScrollBar.h"

#include "DialogMessage.h"

void CPortraitScrollBar::HScroll(int32_t code, int32_t thumbPosition)
{
    int32_t min = 0, max = 0;
    GetScrollRange(&min, &max);
    const int32_t p = GetScrollPos();
    int32_t n = p;
    switch (code) {
    case SB_LINELEFT:
        n = p > min ? p - 1 : p;
        break;
    case SB_LINERIGHT:
        n = p < max ? p + 1 : p;
        break;
    case SB_PAGELEFT:
        n = p - kPage > min ? p - kPage : min;
        break;
    case SB_PAGERIGHT:
        n = p + kPage < max ? p + kPage : max;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        n = thumbPosition;
        break;
    case SB_TOP: // "Left edge": the first portrait
        n = min;
        break;
    case SB_BOTTOM: // "Right edge": the last portrait
        n = max;
        break;
    default:
        break;
    }
    if (n == p)
        return;
    SetScrollPos(n, true);
    // Every position the thumb passes selects its portrait, saving the one
    // left behind.
    if (m_onMove)
        m_onMove(n - 1);
}
