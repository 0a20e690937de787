// A scroll-bar control created at run time on a dialog. Its notifications
// come back to the object itself through HScroll.
#pragma once

#include <cstdint>

#include "DialogTemplate.h"

class CDialog;

class CScrollBar {
public:
    CScrollBar() = default;
    virtual ~CScrollBar();
    CScrollBar(const CScrollBar&) = delete;
    CScrollBar& operator=(const CScrollBar&) = delete;

    bool Create(uint32_t style, const PixelRect& rect, CDialog* parent, int32_t id);

    void SetScrollRange(int32_t min, int32_t max, bool redraw = true);
    void GetScrollRange(int32_t* min, int32_t* max) const;
    int32_t SetScrollPos(int32_t position, bool redraw = true);
    int32_t GetScrollPos() const;
    CDialog* GetParent() const { return m_parent; }
    int32_t GetDlgCtrlID() const { return m_id; }

    // A horizontal scroll notification of this control.
    virtual void HScroll(int32_t code, int32_t thumbPosition);

private:
    CDialog* m_parent = nullptr;
    int32_t m_id = 0;
};
