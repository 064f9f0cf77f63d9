// When a process serving the automation object ends, from the hosts that come and go.

#include "host/dbus/automationlifetime.h"

#include <QSignalSpy>
#include <QTest>

class TstAutomationLifetime : public QObject
{
    Q_OBJECT
private slots:
    void hostsKeepTheProcess_data();
    void hostsKeepTheProcess();
    void idleTimeFromEnvironment_data();
    void idleTimeFromEnvironment();
};

void TstAutomationLifetime::hostsKeepTheProcess_data()
{
    QTest::addColumn<QStringList>("events"); // "+name": the host used the object, "-name": it left
    QTest::addColumn<QStringList>("watched");
    QTest::addColumn<bool>("ends");
    QTest::newRow("nobody came") << QStringList{} << QStringList{} << true;
    QTest::newRow("a host stays") << QStringList{"+:1.5"} << QStringList{":1.5"} << false;
    QTest::newRow("the only host left") << QStringList{"+:1.5", "-:1.5"} << QStringList{":1.5"} << true;
    QTest::newRow("one of two left") << QStringList{"+:1.5", "+:1.6", "-:1.5"} << QStringList{":1.5", ":1.6"} << false;
    QTest::newRow("separate calls of one host") << QStringList{"+:1.5", "+:1.5"} << QStringList{":1.5"} << false;
    QTest::newRow("a new host within the idle time") << QStringList{"+:1.5", "-:1.5", "+:1.7"}
                                                     << QStringList{":1.5", ":1.7"} << false;
    QTest::newRow("a stranger leaving") << QStringList{"+:1.5", "-:1.9"} << QStringList{":1.5"} << false;
}

void TstAutomationLifetime::hostsKeepTheProcess()
{
    QFETCH(QStringList, events);
    // No idle time: the timer fires at the next turn of the event loop, without waiting.
    AutomationLifetime lifetime(std::chrono::milliseconds(0));
    QSignalSpy watch(&lifetime, &AutomationLifetime::watchHost);
    QSignalSpy expired(&lifetime, &AutomationLifetime::expired);
    for (const QString &event : events) {
        if (event.startsWith(QLatin1Char('+')))
            lifetime.hostSeen(event.mid(1));
        else
            lifetime.hostLeft(event.mid(1));
    }
    QStringList watched;
    for (const QList<QVariant> &signal : watch)
        watched.append(signal.value(0).toString());
    QTEST(watched, "watched");
    QFETCH(bool, ends);
    QCOMPARE(lifetime.idle(), ends);
    QCoreApplication::processEvents();
    QCOMPARE(expired.count(), ends ? 1 : 0);
}

void TstAutomationLifetime::idleTimeFromEnvironment_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("milliseconds");
    QTest::newRow("unset") << QByteArray() << 30000;
    QTest::newRow("seconds") << QByteArray("5") << 5000;
    QTest::newRow("fraction") << QByteArray("0.25") << 250;
    QTest::newRow("not a number") << QByteArray("soon") << 30000;
    QTest::newRow("negative") << QByteArray("-1") << 30000;
}

void TstAutomationLifetime::idleTimeFromEnvironment()
{
    QFETCH(QByteArray, value);
    if (value.isNull())
        qunsetenv("TQM_AUTOMATION_IDLE_SECONDS");
    else
        qputenv("TQM_AUTOMATION_IDLE_SECONDS", value);
    QTEST(int(AutomationLifetime::idleTimeFromEnvironment().count()), "milliseconds");
}

QTEST_GUILESS_MAIN(TstAutomationLifetime)
#include "tst_automationlifetime.moc"
