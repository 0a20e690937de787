#include "ScrollBar.h"

#include "Dialog.h"

CScrollBar::~CScrollBar()
{
    if (m_parent)
        m_parent->UnregisterScrollBar(this);
}

bool CScrollBar::Create(uint32_t, const PixelRect& rect, CDialog* parent, int32_t id)
{
    if (!parent || !parent->Host())
        return false;
    m_parent = parent;
    m_id = id;
    parent->Host()->CreateScrollBar(id, rect);
    parent->RegisterScrollBar(this);
    return true;
}

void CScrollBar::SetScrollRange(int32_t min, int32_t max, bool redraw)
{
    if (m_parent && m_parent->Host())
        m_parent->Host()->SetScrollRange(m_id, min, max, redraw);
}

void CScrollBar::GetScrollRange(int32_t* min, int32_t* max) const
{
    int32_t lo = 0, hi = 0;
    if (m_parent && m_parent->Host())
        m_parent->Host()->GetScrollRange(m_id, lo, hi);
    if (min)
        *min = lo;
    if (max)
        *max = hi;
}

int32_t CScrollBar::SetScrollPos(int32_t position, bool redraw)
{
    return m_parent && m_parent->Host() ? m_parent->Host()->SetScrollPos(m_id, position, redraw) : 0;
}

int32_t CScrollBar::GetScrollPos() const
{
    return m_parent && m_parent->Host() ? m_parent->Host()->GetScrollPos(m_id) : 0;
}

void CScrollBar::HScroll(int32_t, int32_t) {}
