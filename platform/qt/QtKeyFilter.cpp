#include "QtKeyFilter.h"

#include <QKeyEvent>

#include "Dialog.h"
#include "DialogMessage.h"
#include "QtDialogHost.h"

uint32_t CQtKeyFilter::DialogKeyCode(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Tab: return VK_TAB;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    default: break;
    }
    const bool own = qtKey == Qt::Key_Space || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) ||
                     (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z);
    return own ? static_cast<uint32_t>(qtKey) : 0;
}

bool CQtKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && TakeKey(*static_cast<QKeyEvent*>(event)))
        return true;
    return QObject::eventFilter(watched, event);
}

bool CQtKeyFilter::TakeKey(const QKeyEvent& event)
{
    // Shortcuts with Ctrl, Alt or Meta are the menu's.
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const uint32_t key = DialogKeyCode(event.key());
    const bool browsing = key == VK_PRIOR || key == VK_NEXT || key == VK_END || key == VK_HOME || key == VK_LEFT ||
                          key == VK_UP || key == VK_RIGHT || key == VK_DOWN;
    if (key != VK_RETURN && !browsing)
        return false;
    DialogMessage down{MessageKind::KeyDown};
    down.key = key;
    m_host.Deliver(down);
    if (key == VK_RETURN && m_host.m_dialog && !m_host.m_ended) {
        DialogMessage command{MessageKind::Command};
        command.id = m_host.m_dialog->EnterCommand(m_host.FocusedControl());
        if (command.id != 0)
            m_host.Deliver(command);
    }
    return true;
}
