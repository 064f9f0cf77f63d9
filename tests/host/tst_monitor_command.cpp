// The monitor command through the host on the demo network: the window offers the monitoring
// view alone and fills its fields, EndApp stops the monitoring, and the unattended run hands
// out every field text ("[field N] text") until its time is up, while another process changes
// the device's room and takes the device offline.

#include "hosttestkit.h"
#include "host/unattendedmonitor.h"
#include "lns/embedded/commandmodulesim.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/timer.h"
#include "monitoring/cmonitoring.h"
#include "ui/frmmain.h"
#include "ui/memorymainwindowview.h"

#include <QSignalSpy>

using embedded::EmbeddedObjectServer;

namespace {

const QString Device = QStringLiteral("Demo.Building A.Floor 1.CM 1\\.04");

struct MonitorRig
{
    HostSandbox box{false};
    ManualTimerFactory timers{box.clock};
    ui::MemoryMainWindowView view;
    std::unique_ptr<PlugInHost> host;

    MonitorRig()
    {
        box.productDemoNetwork(6, &timers);
        host = std::make_unique<PlugInHost>(box.environment(view, &timers));
        host->Main(QStringLiteral("/CLASSID:28/COMMANDID:21/OBJECTNAME:") + Device + QStringLiteral(".CommandModule"));
    }

    // The device as another process (tqm-netdb) reaches it.
    lns::AppDevicePtr otherDevice() const
    {
        const auto other = EmbeddedObjectServer::create(box.home.path(), box.clock);
        other->open(lns::ConnectionMode::Local);
        return other->appDevice(Device);
    }
    QStringList fields() const
    {
        QStringList shown;
        for (int field = 4; field <= 10; ++field)
            shown.append(view.textBox(field)->enabled() ? view.textBox(field)->text() : QStringLiteral("(off)"));
        return shown;
    }
};

} // namespace

class TstMonitorCommand : public QObject
{
    Q_OBJECT
private slots:
    void monitorCommandShowsTheFieldsUntilEndApp()
    {
        MonitorRig rig;
        QVERIFY(!rig.host->ended());
        QCOMPARE(rig.view.buttonBarItems().size(), 1);
        QCOMPARE(rig.view.buttonBarItems().first().key, QString("1"));
        QVERIFY(rig.host->monitoring());
        QCOMPARE(rig.fields().mid(0, 3), (QStringList{"21.0", "0.0", "HVAC_OFF"}));

        rig.host->EndApp();
        QVERIFY(!rig.host->monitoring());
        QCOMPARE(rig.fields(), QStringList(7, "(off)"));
        const QString log = rig.box.logText();
        QVERIFY(log.lastIndexOf("[cMonitoring] Public Sub SetMonitoring()") > log.indexOf("Public Sub EndApp()"));
    }

    void unattendedRunHandsOutEveryFieldText()
    {
        MonitorRig rig;
        QStringList printed;
        UnattendedMonitor monitor(rig.view, rig.timers, [&](const QString &line) { printed.append(line); });
        QSignalSpy finished(&monitor, &UnattendedMonitor::finished);
        monitor.start(30);
        QCOMPARE(printed, (QStringList{"[field 4] 21.0", "[field 5] 0.0", "[field 6] HVAC_OFF"}));

        printed.clear();
        EmbeddedObjectServer::changeRoom(rig.otherDevice(), [](const embedded::cmsim::RoomState &room,
                                                               const embedded::cmsim::Settings &settings,
                                                               const QDateTime &now) {
            return embedded::cmsim::setRoomTemp(room, settings, 2340, now);
        });
        rig.box.clock.advanceSeconds(10); // one poll interval of the space temperature
        QCOMPARE(printed, QStringList{"[field 4] 23.4"});

        printed.clear();
        EmbeddedObjectServer::setDeviceOnline(rig.otherDevice(), false);
        rig.box.clock.advanceSeconds(5);
        QCOMPARE(printed, (QStringList{"[field 4] ", "[field 5] ", "[field 6] "}));
        QCOMPARE(rig.box.dialogs.messages.size(), 1);
        QCOMPARE(rig.box.dialogs.messages[0].text, GetResString(1528));

        QCOMPARE(finished.size(), 0);
        rig.box.clock.advanceSeconds(15);
        QCOMPARE(finished.size(), 1);
        printed.clear();
        rig.host->EndApp(); // empties nothing that is handed out any more
        QVERIFY(printed.isEmpty());
    }

    void runLengthFromTheEnvironment_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("seconds");
        QTest::newRow("unset") << "" << 5;
        QTest::newRow("seconds") << "12" << 12;
        QTest::newRow("negative") << "-3" << 5;
    }
    void runLengthFromTheEnvironment()
    {
        QFETCH(QString, text);
        QTEST(UnattendedMonitor::secondsFrom(text), "seconds");
    }
};

QTEST_GUILESS_MAIN(TstMonitorCommand)
#include "tst_monitor_command.moc"
