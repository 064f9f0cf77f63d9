#pragma once

// Timers as a seam: the window's calibration ticks, the monitor engine's polls and the delivery
// of monitor updates run on timers made by an injected TimerFactory. The Qt factory makes
// QTimer-backed timers on the event loop; the manual factory makes timers that fire when their
// ManualClock is advanced past their due time.

#include "lns/clock.h"

#include <QObject>
#include <memory>

class QTimer;

class Timer : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    // Starts (or restarts) the timer: it fires every `intervalMs` (at least 0) until stopped,
    // or once when single-shot.
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    virtual int interval() const = 0;
    virtual void setSingleShot(bool singleShot) = 0;
    virtual bool isSingleShot() const = 0;

signals:
    void timeout();
};

class TimerFactory
{
public:
    virtual ~TimerFactory() = default;
    virtual std::unique_ptr<Timer> createTimer(QObject *parent = nullptr) = 0;
};

class QtTimerFactory : public TimerFactory
{
public:
    std::unique_ptr<Timer> createTimer(QObject *parent = nullptr) override;
    static QtTimerFactory &instance();
    // The factory given, or Qt's timers on the event loop when none is.
    static TimerFactory *unlessGiven(TimerFactory *given) { return given ? given : &instance(); }
};

class ManualTimer : public Timer
{
    Q_OBJECT
public:
    explicit ManualTimer(ManualClock &clock, QObject *parent = nullptr);
    ~ManualTimer() override;

    void start(int intervalMs) override;
    void stop() override;
    bool isActive() const override { return m_active; }
    int interval() const override { return m_interval; }
    void setSingleShot(bool singleShot) override { m_singleShot = singleShot; }
    bool isSingleShot() const override { return m_singleShot; }
    QDateTime due() const { return m_due; }

private:
    friend class ManualClock;
    void fire();

    ManualClock *m_clock; // null once the clock is gone
    bool m_active = false;
    bool m_singleShot = false;
    int m_interval = 0;
    QDateTime m_due;
    quint64 m_sequence = 0; // start order, so timers due together fire in the order started
    static quint64 s_nextSequence;
};

class ManualTimerFactory : public TimerFactory
{
public:
    explicit ManualTimerFactory(ManualClock &clock) : m_clock(clock) {}
    std::unique_ptr<Timer> createTimer(QObject *parent = nullptr) override;

private:
    ManualClock &m_clock;
};
