#pragma once

#include <QDateTime>

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

class ManualClock : public Clock
{
public:
    explicit ManualClock(QDateTime start = QDateTime(QDate(2026, 1, 1), QTime(12, 0, 0)))
        : m_now(std::move(start))
    {
    }
    QDateTime now() const override { return m_now; }
    void advanceMs(qint64 ms) { m_now = m_now.addMSecs(ms); }
    void advanceSeconds(qint64 s) { m_now = m_now.addSecs(s); }
    void set(const QDateTime &t) { m_now = t; }

private:
    QDateTime m_now;
};
