// Turns SIGTERM, SIGINT and SIGHUP (a logout, Ctrl+C, a closed terminal)
// into a call on Qt's event loop. The handler only writes a byte to a pipe;
// the call runs later, between events, where it may save files and end the
// dialog as a Quit would.
#pragma once

#include <QSocketNotifier>
#include <csignal>
#include <functional>
#include <memory>

class CTerminationSignals {
public:
    explicit CTerminationSignals(std::function<void()> onSignal);
    ~CTerminationSignals();
    CTerminationSignals(const CTerminationSignals&) = delete;
    CTerminationSignals& operator=(const CTerminationSignals&) = delete;

private:
    static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

    std::function<void()> m_onSignal;
    std::unique_ptr<QSocketNotifier> m_notifier;
    struct sigaction m_previous[3] = {};
    bool m_installed = false;
};
