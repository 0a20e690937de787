// The Qt host's timers: each id a QTimer that hands the dialog a Timer
// message every interval until it is stopped.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <map>

#include "DialogMessage.h"

class QTimer;

class CQtTimers {
public:
    using Deliver = std::function<void(const DialogMessage&)>;
    // The timers are children of owner.
    CQtTimers(Deliver deliver, QObject* owner) : m_deliver(std::move(deliver)), m_owner(owner) {}

    // Starts the timer anew with the interval.
    void Set(int32_t id, int32_t milliseconds);
    void Kill(int32_t id);

private:
    Deliver m_deliver;
    QObject* m_owner;
    std::map<int32_t, QTimer*> m_timers;
};
