#pragma once

#include <QDateTime>
#include <QList>

class ManualTimer;

// Time as the program sees it. Injected wherever a rule depends on elapsed time, so that tests
// advance a manual clock instead of sleeping.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    static SystemClock &instance()
    {
        static SystemClock clock;
        return clock;
    }
};

// The clock a part of the program reads: never missing, the system clock unless another is
// handed in (by reference, or by an address that must not be null).
class ClockRef
{
public:
    ClockRef(const Clock &clock = SystemClock::instance()) : m_clock(&clock) {}
    ClockRef(const Clock *clock) : m_clock(clock) { Q_ASSERT(clock); }
    operator const Clock &() const { return *m_clock; }
    const Clock &get() const { return *m_clock; }
    const Clock *operator->() const { return m_clock; }

private:
    const Clock *m_clock;
};

// A clock that moves only when told to. Timers made by a ManualTimerFactory on this clock fire
// while it is advanced, each at its due time and in time order, so a test of a 200 ms tick
// advances the clock instead of sleeping.
class ManualClock : public Clock
{
public:
    explicit ManualClock(QDateTime start = QDateTime(QDate(2026, 1, 1), QTime(12, 0, 0)))
        : m_now(std::move(start))
    {
    }
    ~ManualClock() override;
    QDateTime now() const override { return m_now; }
    // Moves the clock forward, firing every timer that falls due on the way (defined with the
    // timers, lns/timer.cpp).
    void advanceMs(qint64 ms);
    void advanceSeconds(qint64 s) { advanceMs(s * 1000); }
    // Jumps without firing timers; for tests of the clock alone.
    void set(const QDateTime &t) { m_now = t; }

private:
    friend class ManualTimer;
    void attach(ManualTimer *timer) { m_timers.append(timer); }
    void detach(ManualTimer *timer) { m_timers.removeAll(timer); }
    ManualTimer *nextDue(const QDateTime &until) const;

    QDateTime m_now;
    QList<ManualTimer *> m_timers;
};
