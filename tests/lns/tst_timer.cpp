#include "lns/timer.h"

#include <QTest>

class TestTimer : public QObject
{
    Q_OBJECT
private slots:
    void firesAtEachDueTime_data()
    {
        QTest::addColumn<int>("interval");
        QTest::addColumn<bool>("singleShot");
        QTest::addColumn<int>("stopAt"); // the timeout that stops the timer; 0: none
        QTest::addColumn<int>("advance");
        QTest::addColumn<int>("fired");
        QTest::newRow("200 ms, 199 ms") << 200 << false << 0 << 199 << 0;
        QTest::newRow("200 ms, 200 ms") << 200 << false << 0 << 200 << 1;
        QTest::newRow("200 ms, 21 ticks") << 200 << false << 0 << 4200 << 21;
        QTest::newRow("0 ms fires at once, then each ms") << 0 << false << 0 << 5 << 6;
        QTest::newRow("single shot") << 100 << true << 0 << 1000 << 1;
        QTest::newRow("stopped inside its third timeout") << 200 << false << 3 << 10000 << 3;
    }
    void firesAtEachDueTime()
    {
        QFETCH(int, interval);
        QFETCH(bool, singleShot);
        QFETCH(int, stopAt);
        QFETCH(int, advance);
        ManualClock clock;
        ManualTimerFactory factory(clock);
        auto timer = factory.createTimer();
        timer->setSingleShot(singleShot);
        int fired = 0;
        QObject::connect(timer.get(), &Timer::timeout, [&] {
            if (++fired == stopAt)
                timer->stop();
        });
        timer->start(interval);
        clock.advanceMs(advance);
        QTEST(fired, "fired");
        QCOMPARE(timer->isActive(), !singleShot && stopAt == 0);
    }

    void timersFireInTimeOrderWithTheClockAtTheirDueTime()
    {
        ManualClock clock;
        const QDateTime start = clock.now();
        ManualTimerFactory factory(clock);
        auto slow = factory.createTimer();
        auto fast = factory.createTimer();
        QStringList order;
        QObject::connect(slow.get(), &Timer::timeout, [&] { order << QStringLiteral("slow@%1").arg(start.msecsTo(clock.now())); });
        QObject::connect(fast.get(), &Timer::timeout, [&] { order << QStringLiteral("fast@%1").arg(start.msecsTo(clock.now())); });
        slow->start(500);
        fast->start(200);
        clock.advanceMs(1000);
        QCOMPARE(order, QStringList({"fast@200", "fast@400", "slow@500", "fast@600", "fast@800", "slow@1000", "fast@1000"}));
    }

    void timerOutlivingItsClockIsHarmless()
    {
        std::unique_ptr<Timer> timer;
        {
            ManualClock clock;
            ManualTimerFactory factory(clock);
            timer = factory.createTimer();
            timer->start(10);
        }
        QVERIFY(!timer->isActive());
        timer->start(10); // must not touch the clock that is gone
        timer.reset();
    }
};

QTEST_GUILESS_MAIN(TestTimer)
#include "tst_timer.moc"
