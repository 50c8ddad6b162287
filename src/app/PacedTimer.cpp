#include "PacedTimer.h"

#include <algorithm>

namespace tessra {

PacedTimer::PacedTimer(std::function<void()> handler, QObject* parent)
    : QObject(parent)
    , m_handler(std::move(handler))
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &PacedTimer::fire);
    m_clock.start();
}

void PacedTimer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (!enabled)
        m_timer.stop();
    else if (!m_inHandler)
        schedule(m_interval); // the first call follows one full interval
}

void PacedTimer::setInterval(int ms)
{
    m_interval = std::max(0, ms);
}

void PacedTimer::schedule(int waitMs)
{
    if (waitMs == 0 && m_interval == 0 && m_timer.isActive())
        return;
    // A zero-interval timer stays armed as a repeating timer: cheaper than arming it
    // again after every call, and Qt never delivers it while its own handler runs.
    m_timer.setSingleShot(m_interval != 0);
    m_timer.start(waitMs);
}

void PacedTimer::fire()
{
    if (!m_enabled || m_inHandler)
        return;
    // The next call is scheduled when the handler returns, also when it throws.
    struct Rearm {
        PacedTimer& timer;
        qint64 started;
        ~Rearm()
        {
            timer.m_inHandler = false;
            timer.rearm(started);
        }
    } rearm { *this, m_clock.elapsed() };
    m_inHandler = true;
    m_handler();
}

void PacedTimer::rearm(qint64 started)
{
    if (!m_enabled)
        return;
    if (m_interval == 0) {
        schedule(0);
        return;
    }
    const qint64 took = m_clock.elapsed() - started;
    schedule(static_cast<int>(std::max<qint64>(0, m_interval - took)));
}

} // namespace tessra
