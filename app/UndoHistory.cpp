#include "UndoHistory.h"

#include <utility>

void CUndoHistory::Add(UndoStep step)
{
    m_steps.erase(m_steps.begin() + static_cast<std::ptrdiff_t>(m_done), m_steps.end());
    m_steps.push_back(std::move(step));
    if (m_steps.size() > kMaxSteps)
        m_steps.pop_front();
    m_done = m_steps.size();
}

void CUndoHistory::Clear()
{
    m_steps.clear();
    m_done = 0;
}

const UndoStep* CUndoHistory::ToUndo() const
{
    return m_done > 0 ? &m_steps[m_done - 1] : nullptr;
}

const UndoStep* CUndoHistory::ToRedo() const
{
    return m_done < m_steps.size() ? &m_steps[m_done] : nullptr;
}

void CUndoHistory::Undone()
{
    if (m_done > 0)
        --m_done;
}

void CUndoHistory::Redone()
{
    if (m_done < m_steps.size())
        ++m_done;
}
