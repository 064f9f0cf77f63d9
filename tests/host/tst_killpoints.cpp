// Killed at any moment, a workflow leaves the network database intact and every device (and the
// project) as it was before or as it is after the workflow, never in between. A calibration
// killed (or its window closed) in the middle leaves no device measuring once it is opened
// again, and the next knob calibration starts from a known state. The child program
// runs the workflow on a fresh copy of the demo network and kills itself at a database
// statement chosen from a seeded random sequence; this test then reads what is left.

#include "calibration/sensorrestore.h"
#include "host/windowlessconfiguration.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/embedded/networkcheck.h"
#include "lns/extensionvalue.h"
#include "params/cpaccess.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QStringList Devices = {QStringLiteral("CM 1.04"), QStringLiteral("CM 2.02"), QStringLiteral("CM 2.08"),
                             QStringLiteral("CM 3.06")};
const QString StepCountRecord = QStringLiteral("5318C02-64107_TqmCmdModule_FanCoilStepCount");

using State = QMap<QString, QString>;

lns::LonMarkObjectPtr moduleOf(const lns::NetworkPtr &network, const QString &name)
{
    for (const auto &building : network->systems()->item(1)->subsystems()->items())
        for (const auto &floor : building->subsystems()->items())
            for (const auto &device : floor->appDevices()->items())
                if (device->name() == name)
                    return device->lonMarkObjects()->item(QStringLiteral("CommandModule"));
    return {};
}

QString cpsOf(const lns::LonMarkObjectPtr &module)
{
    QStringList values;
    for (const auto &cp : module->configProperties()->items())
        values.append(cpaccess::readRawText(*cp));
    return values.join(QLatin1Char('|'));
}

// Opens the device as tqm-config and the plug-in do, which undoes a sensor calibration cut short.
void reopen(const QString &home, const QString &deviceName)
{
    MemorySessionParts parts(home + QStringLiteral("/TqmCmdModule.ini"));
    const auto server = embedded::EmbeddedObjectServer::create(home);
    {
        const QString objectName = QStringLiteral("Demo.Building A.Floor 1.") + QString(deviceName).replace(
                                       QLatin1Char('.'), QStringLiteral("\\.")) + QStringLiteral(".CommandModule");
        const DeviceSession session([server] { return server; }, objectName, 2, parts.parts());
    }
    server->close();
}

// What a calibration can change on `device`: its CPs and its knob's calibration, and whether a
// sensor calibration's restore record is still waiting. Without a device, what the other
// workflows can change: each device's CPs and step-count record, and the registrations.
State stateOf(const QString &home, const QString &device)
{
    State state;
    auto server = embedded::EmbeddedObjectServer::create(home);
    server->open(lns::ConnectionMode::Local);
    const auto network = server->network(QStringLiteral("Demo"));
    if (!device.isEmpty()) {
        const lns::LonMarkObjectPtr module = moduleOf(network, device);
        state.insert(QStringLiteral("pending"), QString::number(calibration::SensorRestorePending(module)));
        state.insert(device,
                     cpsOf(module) + '|' + embedded::EmbeddedObjectServer::knobCalibrationText(module->appDevice()));
        server->close();
        return state;
    }
    state.insert(QStringLiteral("registrations"), QString::number(network->registeredPlugInCommands().size()));
    for (const QString &name : Devices) {
        const lns::LonMarkObjectPtr module = moduleOf(network, name);
        QStringList values{cpsOf(module)};
        values.append(LnsUtility::ReadExtensionValue(module->extensions(), StepCountRecord, QStringLiteral("-"), 1));
        state.insert(name, values.join(QLatin1Char('|')));
    }
    server->close();
    return state;
}

void copyHome(const QString &from, const QString &to)
{
    QDir().mkpath(to + QStringLiteral("/networks"));
    for (const QString &file : QDir(from + QStringLiteral("/networks")).entryList(QDir::Files))
        QVERIFY(QFile::copy(from + QStringLiteral("/networks/") + file, to + QStringLiteral("/networks/") + file));
    QVERIFY(QFile::copy(from + QStringLiteral("/TqmCmdModule.ini"), to + QStringLiteral("/TqmCmdModule.ini")));
}

} // namespace

class TstKillPoints : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_template.isValid());
        const QString ini = qEnvironmentVariable("TQM_TEST_SOURCE_DIR") + QStringLiteral("/resources/TqmCmdModule.ini");
        QVERIFY(QFile::copy(ini, m_template.filePath(QStringLiteral("TqmCmdModule.ini"))));
        embedded::createDemoNetwork(m_template.path(), QStringLiteral("Demo"), 24, ini);
    }

    void killLeavesBeforeOrAfter_data()
    {
        QTest::addColumn<QString>("workflow");
        QTest::addColumn<QString>("device"); // empty: every device's CPs and step count, and the registrations
        QTest::addColumn<int>("kills");
        QTest::addColumn<quint32>("seed");
        QTest::newRow("registration into the project") << "register" << "" << 6 << quint32(50);
        QTest::newRow("write to the opened device") << "write" << "" << 6 << quint32(13);
        QTest::newRow("write to three more devices") << "spread" << "" << 6 << quint32(21);
        QTest::newRow("sensor calibration") << "sensor" << "CM 1.04" << 20 << quint32(7);
        QTest::newRow("sensor calibration, window closed at tick 6") << "sensor-close" << "CM 1.04" << 15 << quint32(8);
        QTest::newRow("two-stop knob calibration") << "knob" << "CM 1.01" << 15 << quint32(9);
    }
    void killLeavesBeforeOrAfter()
    {
        QFETCH(QString, workflow);
        QFETCH(QString, device);
        QFETCH(int, kills);
        QFETCH(quint32, seed);
        const State before = stateOf(m_template.path(), device);
        const QString succeeded = QStringLiteral("Calibration succeeded.");

        // Once to the end: how many statements the workflow runs, and what it leaves.
        QTemporaryDir whole;
        copyHome(m_template.path(), whole.path());
        bool killed = true;
        const QStringList output = run(workflow, 0, whole.path(), &killed).split(QLatin1Char('\n'));
        const long statements = output[0].toLong();
        QVERIFY(!killed && statements > 0);
        const State after = stateOf(whole.path(), device);
        QCOMPARE(after.value(QStringLiteral("pending"), QStringLiteral("0")), QStringLiteral("0"));
        if (device.isEmpty())
            QVERIFY(after != before);
        else if (workflow == QLatin1String("sensor-close"))
            QCOMPARE(after, before); // closing the window put the old values back
        else
            QCOMPARE(output.value(1), succeeded);

        QRandomGenerator random(seed);
        for (int i = 0; i < kills; ++i) {
            const long killAt = 1 + long(random.bounded(quint32(statements)));
            QTemporaryDir home;
            copyHome(m_template.path(), home.path());
            run(workflow, killAt, home.path(), &killed);
            const QString where = QStringLiteral("killed at statement %1 of %2").arg(killAt).arg(statements);
            QVERIFY2(killed, qPrintable(where + QStringLiteral(": not reached")));
            QCOMPARE(embedded::checkNetwork(home.path(), QStringLiteral("Demo")), QStringList());
            if (workflow == QLatin1String("knob")) {
                // Whatever the kill left the device waiting for, the next calibration is what it says.
                const QStringList again = run(workflow, 0, home.path(), &killed).split(QLatin1Char('\n'));
                QVERIFY2(!killed && again.value(1) == succeeded, qPrintable(where));
                QVERIFY2(stateOf(home.path(), device) == after, qPrintable(where));
                continue;
            }
            if (!device.isEmpty())
                reopen(home.path(), device);
            const State left = stateOf(home.path(), device);
            for (auto it = left.cbegin(); it != left.cend(); ++it) {
                const bool whole = it.value() == before.value(it.key()) || it.value() == after.value(it.key());
                QVERIFY2(whole, qPrintable(where + QStringLiteral(": %1 is half-written: ").arg(it.key()) + it.value()));
            }
        }
    }

private:
    // Runs the child on a fresh copy of the network; answers its output and whether it was killed.
    QString run(const QString &workflow, long killAt, const QString &home, bool *killed)
    {
        QProcess child;
        child.start(QCoreApplication::applicationDirPath() + QStringLiteral("/killpointchild"),
                    {workflow, home, home + QStringLiteral("/TqmCmdModule.ini"), QString::number(killAt)});
        child.waitForFinished(30000);
        *killed = child.exitStatus() == QProcess::CrashExit;
        if (!*killed && child.exitCode() != 0)
            qWarning("%s", child.readAllStandardError().constData());
        return QString::fromUtf8(child.readAllStandardOutput()).trimmed();
    }

    QTemporaryDir m_template;
};

QTEST_GUILESS_MAIN(TstKillPoints)
#include "tst_killpoints.moc"
