#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

namespace tessra {

/// A timer on the GUI thread that paces a handler: after a handler call that took
/// less than the interval it waits for the rest of the interval, otherwise it calls
/// again as soon as the event loop has handled what is pending. With interval 0 the
/// handler runs on every pass of the event loop. The handler never runs re-entrantly:
/// the next call is scheduled only once the previous one has returned.
///
/// Enabling and disabling take effect at once, also from inside the handler; an
/// interval changed inside the handler applies to the wait that follows it.
class PacedTimer : public QObject {
    Q_OBJECT
public:
    explicit PacedTimer(std::function<void()> handler, QObject* parent = nullptr);

    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }
    void setInterval(int ms);
    int interval() const { return m_interval; }

private:
    void fire();
    void rearm(qint64 started);
    void schedule(int waitMs);

    std::function<void()> m_handler;
    QTimer m_timer;
    QElapsedTimer m_clock;
    int m_interval = 0;
    bool m_enabled = false;
    bool m_inHandler = false;
};

} // namespace tessra
