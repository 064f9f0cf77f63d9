// The automation object's D-Bus side without a bus: when a process serving it ends, from the
// hosts that come and go, and the error names a refused command answers with.

#include "host/dbus/applicationservice.h"
#include "host/dbus/automationlifetime.h"
#include "host/dbus/busnames.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

class TstAutomationLifetime : public QObject
{
    Q_OBJECT
private slots:
    // A host tells the refusals apart by name: each has one of its own, valid on the bus. (Two
    // of them on the bus: tst_dbus_automation propertiesAndARefusal.)
    void refusalsHaveErrorNamesOfTheirOwn()
    {
        const QRegularExpression valid(QStringLiteral("^([A-Za-z_][A-Za-z0-9_]*\\.)+[A-Za-z_][A-Za-z0-9_]*$"));
        QSet<QString> names;
        for (int reason = int(Refusal::Reason::None) + 1; reason <= int(Refusal::Reason::Ended); ++reason) {
            const QString name = ApplicationService::refusalErrorName(Refusal::Reason(reason));
            QVERIFY2(valid.match(name).hasMatch() && name.startsWith(dbusactivation::ServiceName), qPrintable(name));
            names.insert(name);
        }
        QCOMPARE(names.size(), int(Refusal::Reason::Ended));
        QVERIFY(ApplicationService::refusalErrorName(Refusal::Reason::None).isEmpty());
    }

    void hostsKeepTheProcess_data()
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
    void hostsKeepTheProcess()
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

    void idleTimeFromText_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("milliseconds");
        QTest::newRow("unset") << QString() << 30000;
        QTest::newRow("fraction") << "0.25" << 250;
        QTest::newRow("not a number") << "soon" << 30000;
        QTest::newRow("negative") << "-1" << 30000;
        QTest::newRow("more than a day") << "86401" << 30000;
    }
    void idleTimeFromText()
    {
        QFETCH(QString, value);
        QTEST(int(AutomationLifetime::idleTimeFrom(value).count()), "milliseconds");
    }
};

QTEST_GUILESS_MAIN(TstAutomationLifetime)
#include "tst_automationlifetime.moc"
