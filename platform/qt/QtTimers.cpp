#include "QtTimers.h"

#include <QTimer>

void CQtTimers::Set(int32_t id, int32_t milliseconds)
{
    QTimer*& timer = m_timers[id];
    if (!timer) {
        timer = new QTimer(m_owner);
        QObject::connect(timer, &QTimer::timeout, [this, id] {
            DialogMessage m{MessageKind::Timer};
            m.id = id;
            m_deliver(m);
        });
    }
    timer->start(milliseconds);
}

void CQtTimers::Kill(int32_t id)
{
    auto it = m_timers.find(id);
    if (it != m_timers.end())
        it->second->stop();
}
