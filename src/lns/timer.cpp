#include "lns/timer.h"

#include <QTimer>

namespace {

class QtTimer : public Timer
{
public:
    explicit QtTimer(QObject *parent) : Timer(parent), m_timer(this)
    {
        connect(&m_timer, &QTimer::timeout, this, &Timer::timeout);
    }
    void start(int intervalMs) override { m_timer.start(qMax(0, intervalMs)); }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }
    int interval() const override { return m_timer.interval(); }
    void setSingleShot(bool singleShot) override { m_timer.setSingleShot(singleShot); }
    bool isSingleShot() const override { return m_timer.isSingleShot(); }

private:
    QTimer m_timer;
};

} // namespace

std::unique_ptr<Timer> QtTimerFactory::createTimer(QObject *parent)
{
    return std::make_unique<QtTimer>(parent);
}

QtTimerFactory &QtTimerFactory::instance()
{
    static QtTimerFactory factory;
    return factory;
}

quint64 ManualTimer::s_nextSequence = 0;

ManualTimer::ManualTimer(ManualClock &clock, QObject *parent) : Timer(parent), m_clock(&clock)
{
    m_clock->attach(this);
}

ManualTimer::~ManualTimer()
{
    if (m_clock)
        m_clock->detach(this);
}

void ManualTimer::start(int intervalMs)
{
    m_interval = qMax(0, intervalMs);
    if (!m_clock)
        return;
    m_due = m_clock->now().addMSecs(m_interval);
    m_sequence = ++s_nextSequence;
    m_active = true;
}

void ManualTimer::stop()
{
    m_active = false;
}

void ManualTimer::fire()
{
    if (m_singleShot) {
        m_active = false;
    } else {
        // A zero interval still moves on by one millisecond, so advancing always ends.
        m_due = m_due.addMSecs(qMax(1, m_interval));
        m_sequence = ++s_nextSequence;
    }
    emit timeout();
}

ManualClock::~ManualClock()
{
    // Timers outliving their clock must not call back into it.
    for (ManualTimer *timer : std::as_const(m_timers)) {
        timer->m_active = false;
        timer->m_clock = nullptr;
    }
}

ManualTimer *ManualClock::nextDue(const QDateTime &until) const
{
    ManualTimer *next = nullptr;
    for (ManualTimer *timer : m_timers) {
        if (!timer->m_active || timer->m_due > until)
            continue;
        if (!next || timer->m_due < next->m_due
            || (timer->m_due == next->m_due && timer->m_sequence < next->m_sequence))
            next = timer;
    }
    return next;
}

void ManualClock::advanceMs(qint64 ms)
{
    const QDateTime target = m_now.addMSecs(ms);
    while (ManualTimer *timer = nextDue(target)) {
        if (timer->m_due > m_now)
            m_now = timer->m_due;
        timer->fire();
    }
    m_now = target;
}

std::unique_ptr<Timer> ManualTimerFactory::createTimer(QObject *parent)
{
    return std::make_unique<ManualTimer>(m_clock, parent);
}
