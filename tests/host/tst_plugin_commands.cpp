// The command path against a demo network of the embedded object server: opening the session,
// the device check, the failure messages, host-supplied objects and registration into a project.

#include "hosttestkit.h"
#include "host/application.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/product.h"

namespace {

class RecordingRegResult : public RegResultTarget
{
public:
    void setRegResult(int result) override { results.append(result); }
    QList<int> results;
};

// Object names of the demo network's first floor.
QString demoObject(int number)
{
    return QStringLiteral("Demo.Building A.Floor 1.CM 1\\.0%1.CommandModule").arg(number);
}

} // namespace

class TstPlugInCommands : public QObject
{
    Q_OBJECT
private slots:
    void commandsOnAnOfflineDevice_data()
    {
        QTest::addColumn<int>("commandId");
        QTest::addColumn<bool>("opens");
        QTest::newRow("configure opens anyway") << 13 << true;
        QTest::newRow("calibrate ends") << 14 << false;
        QTest::newRow("monitor ends") << 21 << false;
    }
    void commandsOnAnOfflineDevice()
    {
        QFETCH(int, commandId);
        QFETCH(bool, opens);
        auto box = sandbox();
        {
            auto server = embedded::EmbeddedObjectServer::create(box->home.path());
            server->open(lns::ConnectionMode::Local);
            embedded::EmbeddedObjectServer::setDeviceOnline(server->lonMarkObject(demoObject(2))->appDevice(), false);
        }
        PlugInHost host(box->environment());
        host.Main(QStringLiteral("/CLASSID:28/COMMANDID:%1/OBJECTNAME:%2").arg(commandId).arg(demoObject(2)));

        QCOMPARE(box->status.texts.value(0), GetResString(1504, 2));
        QCOMPARE(box->status.texts.value(1), GetResString(1501, 3));
        QCOMPARE(box->window.calls.contains(QStringLiteral("show")), opens);
        QCOMPARE(host.session().aborted, !opens);
        if (opens) {
            QCOMPARE(box->window.commandIndex(), 1);
            QVERIFY(box->dialogs.messages.isEmpty());
            QCOMPARE(host.session().deviceTemplate, QStringLiteral("TQM_CM_L2"));
            return;
        }
        QCOMPARE(box->dialogs.messages.size(), 1);
        QCOMPARE(box->dialogs.messages[0].text, GetResString(1491));
        QCOMPARE(box->dialogs.messages[0].detail, QStringLiteral("Device \"CM 1.02\" does not respond."));
        QCOMPARE(box->dialogs.messages[0].icon, MsgIcon::Exclamation);
        QCOMPARE(box->dialogs.messages[0].title, QStringLiteral("CM 1.02 / CommandModule"));
        QVERIFY(host.ended());
        QVERIFY(!box->status.visible); // ending releases the status window with the other services
        QVERIFY(!host.session().network); // the session was closed
    }

    void openingFailures_data()
    {
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<int>("message");
        QTest::addColumn<QString>("lastStatus");
        QTest::addColumn<QString>("cause"); // the box's detail text
        QTest::newRow("unknown network") << "Nowhere.Building A.Floor 1.CM 1\\.01.CommandModule" << 1436 << ""
                                         << "The network \"Nowhere\" cannot be opened";
        QTest::newRow("unknown device") << "Demo.Building A.Floor 1.CM 9.CommandModule" << 1437 << "1507"
                                        << "The device \"CM 9\" was not found in subsystem \"Building A/Floor 1\".";
        QTest::newRow("unknown subsystem") << "Demo.Building Z.Floor 1.CM 1\\.01.CommandModule" << 1437 << "1507"
                                           << "The subsystem \"Building Z/Floor 1\" was not found in network \"Demo\".";
        QTest::newRow("unknown LonMark object") << "Demo.Building A.Floor 1.CM 1\\.01.Other" << 1437 << "1507"
                                                << "The device \"CM 1.01\" has no LonMark object \"Other\".";
    }
    void openingFailures()
    {
        QFETCH(QString, objectName);
        QFETCH(int, message);
        QFETCH(QString, lastStatus);
        auto box = sandbox();
        PlugInHost host(box->environment());
        host.Main(QStringLiteral("/CLASSID:28/COMMANDID:13/OBJECTNAME:") + objectName);
        QCOMPARE(box->dialogs.messages.size(), 1);
        QCOMPARE(box->dialogs.messages[0].text, GetResString(message));
        QFETCH(QString, cause);
        QVERIFY2(box->dialogs.messages[0].detail.startsWith(cause), qPrintable(box->dialogs.messages[0].detail));
        QCOMPARE(box->dialogs.messages[0].icon, MsgIcon::Critical);
        QVERIFY(host.session().aborted);
        QCOMPARE(box->status.calls.last(), QStringLiteral("hide"));
        if (!lastStatus.isEmpty())
            QCOMPARE(box->status.texts.last(), GetResString(lastStatus.toInt()));
        QVERIFY(!box->window.calls.contains(QStringLiteral("show")));
    }

    // The lines the reader skipped are the likeliest reason why a device was not found: the box
    // that says "INI file consistency error" names them.
    void damagedIniFileIsNamedWithTheConsistencyError()
    {
        auto box = sandbox();
        QFile ini(box->program.filePath(QStringLiteral("TqmCmdModule.ini")));
        QVERIFY(ini.open(QIODevice::Append));
        ini.write("\n[velto TqmCommandModule Templates 1.0\n");
        ini.close();
        PlugInHost host(box->environment());
        host.Main(QStringLiteral("/CLASSID:28/COMMANDID:13/OBJECTNAME:Demo.Building A.Floor 1.CM 9.CommandModule"));
        QCOMPARE(box->dialogs.messages.size(), 1);
        const QStringList detail = box->dialogs.messages[0].detail.split(QStringLiteral("\r\n"));
        QCOMPARE(detail.size(), 2);
        QVERIFY2(detail[1].startsWith(ini.fileName() + QLatin1Char(':')), qPrintable(detail[1]));
        QVERIFY2(detail[1].endsWith(QStringLiteral(": expected 'key = value' or '[section]'")), qPrintable(detail[1]));
    }

    void unreadableObjectNamesEndThePlugIn_data()
    {
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<int>("handlerAnswer");
        QTest::newRow("network only, leave") << "Demo" << int(MsgAnswer::Abort);
        QTest::newRow("network only, continue") << "Demo" << int(MsgAnswer::Ignore);
        QTest::newRow("bad escape") << "Demo.Building A.Floor 1.CM 1\\x.CommandModule" << int(MsgAnswer::Abort);
        QTest::newRow("empty subsystem") << "Demo..CM 1\\.01.CommandModule" << int(MsgAnswer::Abort);
    }
    void unreadableObjectNamesEndThePlugIn()
    {
        QFETCH(QString, objectName);
        QFETCH(int, handlerAnswer);
        auto box = sandbox();
        box->dialogs.answers.enqueue(MsgAnswer(handlerAnswer));
        PlugInHost host(box->environment());
        host.Main(QStringLiteral("/CLASSID:28/COMMANDID:14/OBJECTNAME:") + objectName);

        // The error handler names the object name; then the plug-in ends like any failed start.
        QCOMPARE(box->dialogs.messages.size(), 1);
        QVERIFY(box->dialogs.messages[0].text.contains(objectName));
        QVERIFY(host.session().aborted);
        QVERIFY(host.ended());
        QVERIFY(!box->status.visible);
        QVERIFY(!box->window.calls.contains(QStringLiteral("show")));
    }

    void hostSuppliedLonMarkObject()
    {
        auto box = sandbox();
        auto server = embedded::EmbeddedObjectServer::create(box->home.path());
        server->open(lns::ConnectionMode::Local);
        const lns::LonMarkObjectPtr lonMarkObject = server->lonMarkObject(demoObject(3));

        PlugInHost host(box->environment());
        Application app(host);
        app.setLnsObjectByTool(lonMarkObject);
        qint32 commandId = 21;
        qint16 classId = 28;
        QString none;
        app.SendCommand(commandId, classId, none);

        QVERIFY(box->window.calls.contains(QStringLiteral("show")));
        QVERIFY(box->status.texts.isEmpty()); // nothing opened, so nothing to report
        QCOMPARE(host.session().appDevice->name(), QStringLiteral("CM 1.03"));
        QCOMPARE(host.session().network->name(), QStringLiteral("Demo"));
        QVERIFY(host.session().appDevices); // those of the system's first subsystem
        host.EndApp();
        QVERIFY(server->isOpen()); // the host's objects stay open
        QCOMPARE(host.session().lonMarkObject, lonMarkObject);
    }

    void registrationIntoProject_data()
    {
        QTest::addColumn<QString>("programIds");
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<bool>("withRegResult");
        QTest::addColumn<int>("registrations");
        QTest::addColumn<int>("result");
        QTest::newRow("two templates, case-insensitive")
            << "90:00:5d:50:28:04:04:01;90:00:5D:50:28:04:04:03" << demoObject(1) << true << 6 << 0;
        QTest::newRow("no template asked for") << "90:00:00:00:00:00:00:00" << demoObject(1) << true << 0 << 0;
        QTest::newRow("unknown network reports failure")
            << "90:00:5D:50:28:04:04:01" << "Nowhere.A.B.C" << true << 0 << -1;
        QTest::newRow("failure without RegResult shows a message")
            << "90:00:5D:50:28:04:04:01" << "Nowhere.A.B.C" << false << 0 << -1;
    }
    void registrationIntoProject()
    {
        QFETCH(QString, programIds);
        QFETCH(QString, objectName);
        QFETCH(bool, withRegResult);
        QFETCH(int, result);
        auto box = sandbox();
        PlugInHost host(box->environment());
        Application app(host);
        auto regResult = std::make_shared<RecordingRegResult>();
        app.setProgramIdsToRegister(programIds);
        if (withRegResult)
            app.setRegResult(regResult);
        qint32 commandId = 50;
        qint16 classId = 0;
        app.SendCommand(commandId, classId, objectName);

        QVERIFY(host.ended());
        QVERIFY(!box->window.calls.contains(QStringLiteral("show")));
        QCOMPARE(box->status.texts.value(0), GetResString(1513));
        if (withRegResult) {
            QCOMPARE(regResult->results, QList<int>{result});
            QVERIFY(box->dialogs.messages.isEmpty());
            QVERIFY(!box->status.calls.contains(QStringLiteral("show")));
        } else {
            QCOMPARE(box->dialogs.messages.size(), 1);
            QCOMPARE(box->dialogs.messages[0].text, GetResString(1435, 2));
            QCOMPARE(box->dialogs.messages[0].title, product::ProductName);
        }
        if (result != 0)
            return;
        auto server = embedded::EmbeddedObjectServer::create(box->home.path());
        server->open(lns::ConnectionMode::Local);
        const auto commands = server->network(QStringLiteral("Demo"))->registeredPlugInCommands();
        QTEST(int(commands.size()), "registrations");
        for (const auto &command : commands) {
            QCOMPARE(command.manufacturerId, QStringLiteral("0005D"));
            QCOMPARE(command.registrationNumber, 4);
            QVERIFY(QList<int>({13, 14, 21}).contains(command.commandId));
        }
    }

private:
    std::unique_ptr<HostSandbox> sandbox();
};

std::unique_ptr<HostSandbox> TstPlugInCommands::sandbox()
{
    auto box = std::make_unique<HostSandbox>(false);
    box->productDemoNetwork(8);
    return box;
}

QTEST_GUILESS_MAIN(TstPlugInCommands)
#include "tst_plugin_commands.moc"
