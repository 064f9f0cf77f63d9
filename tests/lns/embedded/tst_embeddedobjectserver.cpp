#include "lns/embedded/embeddedobjectserver.h"
#include "support/raised.h"
#include "lns/embedded/sqlitedb.h"
#include "base/tqmerror.h"

#include <QDir>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>

using namespace embedded;

namespace {

const QString CmName = "Small.Building.Floor 1.CM 1.CommandModule";
const QString ArrayDeviceName = "Small.Building.Floor 1.Array\\.Unit";

QJsonObject arrayTemplate()
{
    const QJsonObject times{{"name", "nciTimes"}, {"type", "SCPTmaxSendTime"}, {"dimension", 3},
                            {"default", "0\t10\t0\t20\t0\t30"}};
    return QJsonObject{{"name", "ARRAY_T"}, {"programId", "90:00:5D:50:28:04:04:7F"}, {"applicationVersion", 1.5},
                       {"configProperties", QJsonArray{times}},
                       {"lonMarkObjects", QJsonArray{QJsonObject{{"name", "NodeObject"}, {"type", 0}}}}};
}

QJsonObject smallNetwork()
{
    const QJsonArray devices{
        QJsonObject{{"name", "CM 1"}, {"template", "TQM_CM_L4"}, {"cpValues", QJsonObject{{"1/nciTmpOffset", "0\t20"}}}},
        QJsonObject{{"name", "CM 2"}, {"template", "TQM_CM_L4"}, {"simulated", true}},
        QJsonObject{{"name", "Array.Unit"}, {"template", arrayTemplate()}}};
    return QJsonObject{{"name", "Small"},
                       {"subsystems", QJsonArray{QJsonObject{{"path", "Building/Floor 1"}, {"devices", devices}}}}};
}

lns::ConfigPropertyPtr cpOf(const lns::LonMarkObjectPtr &lmo, const QString &name)
{
    return lmo->configProperties()->item(name);
}

} // namespace

class TestEmbeddedObjectServer : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;
    ManualClock m_clock;
    ManualTimerFactory m_timers{m_clock};
    EmbeddedObjectServerPtr m_server;

    EmbeddedObjectServerPtr newServer()
    {
        auto server = EmbeddedObjectServer::create(m_home.path(), m_clock, m_timers);
        server->open(lns::ConnectionMode::Local);
        return server;
    }
    lns::LonMarkObjectPtr cm() { return m_server->lonMarkObject(CmName); }

private slots:
    void init()
    {
        createNetwork(m_home.path(), smallNetwork(), true);
        m_server = newServer();
    }
    void cleanup() { m_server.reset(); }

    // Values of the description: transactionEnds; here those of the template.
    void valuesFromTheTemplate()
    {
        const auto panelType = m_server->appDevice("Small.Building.Floor 1.CM 1")->configProperties()->item("PanelType");
        panelType->setFormatSpec(lns::RawFormat);
        QCOMPARE(panelType->value(), QString("3\t4"));
        QCOMPARE(cpOf(cm(), "nciSetPnts")->value(), QString("23.00 25.00 28.00 21.00 19.00 16.00"));
    }

    // What a transaction changed: gone after a cancel, also from the objects already at hand;
    // after a commit, seen by a second connection opened meanwhile and after reopening.
    void transactionEnds_data()
    {
        QTest::addColumn<bool>("commit");
        QTest::newRow("cancel") << false;
        QTest::newRow("commit") << true;
    }
    void transactionEnds()
    {
        QFETCH(bool, commit);
        const auto system = m_server->network("Small")->systems()->item(1);
        const auto cp = cpOf(cm(), "nciTmpOffset");
        const auto nv = cm()->networkVariables()->item("nvoSpaceTemp");
        system->startTransaction();
        QVERIFY_THROWS_EXCEPTION(TqmError, system->startTransaction()); // one at a time
        cp->setValue("-1.50");
        nv->setValue("25.00");
        cm()->extensions()->add("Calibrated")->setField(1, "today");
        QCOMPARE(cp->value(), QString("-1.50"));
        commit ? system->commitTransaction() : system->cancelTransaction();
        QVERIFY(!system->inTransaction());
        const auto seen = [](const lns::LonMarkObjectPtr &lmo, lns::ConfigPropertyPtr c, lns::NetworkVariablePtr n) {
            const auto records = lmo->extensions();
            return QStringList{c ? c->value() : cpOf(lmo, "nciTmpOffset")->value(),
                               n ? n->value() : lmo->networkVariables()->item("nvoSpaceTemp")->value(),
                               records->contains("Calibrated") ? records->item("Calibrated")->field(1) : "none"};
        };
        const QStringList expected = commit ? QStringList{"-1.50", "25.00", "today"} : QStringList{"0.20", "21.00", "none"};
        QCOMPARE(seen(cm(), cp, nv), expected);
        auto other = newServer();
        QCOMPARE(seen(other->lonMarkObject(CmName), {}, {}), expected);
        m_server->close();
        m_server = newServer();
        QCOMPARE(seen(cm(), {}, {}), expected);
    }

    void arrayElementsAndRawText()
    {
        const auto cp = m_server->appDevice(ArrayDeviceName)->configProperties()->item("nciTimes");
        QCOMPARE(QPair(cp->dimension(), cp->elementLength()), QPair(3, 2));
        QCOMPARE(cp->elementValue(1), QString("2.0"));
        QCOMPARE(cp->value(), QString("1.0, 2.0, 3.0"));
        cp->setElementValue(2, "60.0");
        cp->setFormatSpec(lns::RawFormat);
        QCOMPARE(cp->value(), QString("0\t10\t0\t20\t2\t88"));
        QCOMPARE(cp->elementValue(2), QString("2\t88"));
        cp->setElementValue(0, "1\t0");
        QCOMPARE(cp->value(), QString("1\t0\t0\t20\t2\t88"));
        QVERIFY_THROWS_EXCEPTION(TqmError, cp->elementValue(3));
        QVERIFY_THROWS_EXCEPTION(TqmError, cp->setValue("1\t2\t3"));
    }

    void offlineDeviceRefusesDeviceAccess_data()
    {
        QTest::addColumn<int>("operation");
        int operation = 0;
        for (const char *name : {"CP write", "CP element write", "NV read", "NV write", "data point write", "device test",
                                 "calibration trigger", "application version"})
            QTest::newRow(name) << operation++;
    }
    void offlineDeviceRefusesDeviceAccess()
    {
        QFETCH(int, operation);
        const auto device = m_server->appDevice("Small.Building.Floor 1.CM 1");
        EmbeddedObjectServer::setDeviceOnline(device, false);
        const auto cp = cpOf(cm(), "nciTmpOffset");
        const auto nv = cm()->networkVariables()->item("nvoFanSpeed");
        const std::function<void()> operations[] = {
            [&] { cp->setValue("1.00"); },
            [&] { cp->setElementValue(0, "1.00"); },
            [&] { nv->value(); },
            [&] { nv->setValue("0.0 0"); },
            [&] { nv->dataPoint("state")->setValue("0"); },
            [&] { device->deviceTest(4); },
            [&] { device->calibrationTrigger(); },
            [&] { device->applicationVersion(); },
        };
        const TqmError error = raised(operations[operation]);
        QCOMPARE(error.number(), TqmError::LnsDeviceNotResponding);
        QCOMPARE(error.description(), QString("Device \"CM 1\" does not respond."));
        QCOMPARE(cp->value(), QString("0.20")); // CPs read from the database
        EmbeddedObjectServer::setDeviceOnline(device, true);
        QCOMPARE(nv->value(), QString("50.0 1"));
        QVERIFY(EmbeddedObjectServer::calibrationTriggers(device).isEmpty());
    }

    void monitorUpdatesCarryTheTagOnTheEventLoop()
    {
        QList<QPair<int, QString>> updates;
        const int handle = m_server->subscribeMonitorUpdates(
            [&](int tag, const QString &value) { updates.append({tag, value}); });
        const auto nvs = cm()->networkVariables();
        const auto spaceTemp = nvs->item("nvoSpaceTemp");
        spaceTemp->setHold(true);
        spaceTemp->setMonitorTag(5000);
        spaceTemp->setFormatSpec(lns::RawFormat);
        m_clock.advanceSeconds(1);
        QVERIFY(updates.isEmpty()); // a held NV is not watched
        spaceTemp->setHold(false);
        const auto fan = nvs->item("nvoFanSpeed");
        fan->setMonitorTag(5003);
        QVERIFY(updates.isEmpty()); // nothing is raised inside a call
        m_clock.advanceMs(100);
        QCOMPARE(updates.size(), 2); // first report of each
        // A change committed by another connection (another process in real use), which
        // writes in its own format: the monitor format is this connection's alone.
        newServer()->lonMarkObject(CmName)->networkVariables()->item("nvoSpaceTemp")->setValue("-2.00");
        fan->setValue("0.0 0"); // a write through this server
        nvs->item("nvoSetpoint")->setValue("22.00"); // not monitored: no report
        m_clock.advanceMs(100);

        const QList<QPair<int, QString>> expected{
            {5000, "8\t52"}, {5003, "50.0 1"}, {5000, "255\t56"}, {5003, "0.0 0"}};
        QCOMPARE(updates, expected);
        fan->setMonitorTag(0);
        QCOMPARE(m_server->monitoredCount(), 1);
        fan->setMonitorTag(5003); // monitored anew: reports its value again
        m_clock.advanceMs(100);
        QCOMPARE(updates.size(), expected.size() + 1);
        m_server->unsubscribeMonitorUpdates(handle);
        spaceTemp->setValue("0\t100");
        m_clock.advanceMs(100);
        QCOMPARE(updates.size(), expected.size() + 1);
    }

    // Each row: settings of a monitored nvoFanSpeed, then writes at given times (ms) during
    // 3 s; the times of the reports and the number of polls.
    void monitorRules_data()
    {
        QTest::addColumn<bool>("poll");
        QTest::addColumn<int>("interval");
        QTest::addColumn<bool>("reportByException");
        QTest::addColumn<QList<int>>("changesAt"); // ms; each sets a new value
        QTest::addColumn<QList<int>>("reportsAt");
        QTest::addColumn<int>("polls");
        QTest::newRow("polled each second") << true << 10 << false << QList<int>{} << QList<int>{100, 1100, 2100} << 3;
        QTest::newRow("polled, by exception") << true << 10 << true << QList<int>{1500} << QList<int>{100, 2100} << 3;
        QTest::newRow("poll flag without interval: event-driven")
            << true << 0 << true << QList<int>{1500} << QList<int>{100, 1600} << 0;
        QTest::newRow("event-driven, unthrottled") << false << 0 << true << QList<int>{250, 450} << QList<int>{100, 300, 500} << 0;
        QTest::newRow("event-driven, throttled to 1 s, latest value")
            << false << 10 << true << QList<int>{250, 450, 1250} << QList<int>{100, 1100, 2100} << 0;
    }
    void monitorRules()
    {
        QFETCH(bool, poll);
        QFETCH(int, interval);
        QFETCH(bool, reportByException);
        QFETCH(QList<int>, changesAt);
        const QDateTime start = m_clock.now();
        QList<int> reports;
        QStringList values;
        m_server->subscribeMonitorUpdates([&](int, const QString &value) {
            reports.append(int(start.msecsTo(m_clock.now())));
            values.append(value);
        });
        const auto device = m_server->appDevice("Small.Building.Floor 1.CM 1");
        const auto fan = cm()->networkVariables()->item("nvoFanSpeed");
        fan->setHold(true);
        fan->setMonitorTag(5000);
        fan->setPollFlag(poll);
        fan->setPollInterval(interval);
        fan->setReportByException(reportByException);
        fan->setHold(false);
        m_server->resetMessageCounts();
        int level = 0;
        for (int at : changesAt) {
            m_clock.advanceMs(at - start.msecsTo(m_clock.now()));
            fan->setValue(QString("%1.0 1").arg(++level));
        }
        m_clock.advanceMs(3050 - start.msecsTo(m_clock.now()));
        QTEST(reports, "reportsAt");
        QTEST(m_server->messageCounts(device).nvPolls, "polls");
        if (!changesAt.isEmpty())
            QCOMPARE(values.last(), QString("%1.0 1").arg(level)); // the latest value is never lost
    }

    // Another process takes the device offline and back, twice: the outage of a polled or an
    // event-driven NV is reported once, and the device's next value ends it.
    void eachOutageIsReportedOnce_data()
    {
        QTest::addColumn<bool>("poll");
        QTest::newRow("polled") << true;
        QTest::newRow("event-driven") << false;
    }
    void eachOutageIsReportedOnce()
    {
        QFETCH(bool, poll);
        QStringList events;
        m_server->subscribeMonitorUpdates([&](int tag, const QString &value) { events << QString("%1 %2").arg(tag).arg(value); });
        m_server->subscribeMonitorFailures([&](int tag, const TqmError &e) {
            QCOMPARE(e.number(), TqmError::LnsDeviceNotResponding);
            events << QString("%1 failed").arg(tag);
        });
        const auto temp = cm()->networkVariables()->item("nvoSpaceTemp");
        temp->setMonitorTag(5001);
        temp->setPollFlag(poll);
        temp->setPollInterval(10);
        temp->setReportByException(true);
        m_clock.advanceMs(100);
        const auto other = newServer()->appDevice("Small.Building.Floor 1.CM 1");
        for (const char *value : {"22.00", "23.00"}) {
            EmbeddedObjectServer::setDeviceOnline(other, false);
            m_clock.advanceSeconds(5);
            EmbeddedObjectServer::setDeviceOnline(other, true);
            newServer()->lonMarkObject(CmName)->networkVariables()->item("nvoSpaceTemp")->setValue(value);
            m_clock.advanceSeconds(2);
        }
        QCOMPARE(events, QStringList({"5001 21.00", "5001 failed", "5001 22.00", "5001 failed", "5001 23.00"}));
    }

    void simulatedDeviceReactsToItsRoomAndConfiguration()
    {
        const auto device = m_server->appDevice("Small.Building.Floor 1.CM 2");
        const auto lmo = device->lonMarkObjects()->item("CommandModule");
        const auto temp = lmo->networkVariables()->item("nvoSpaceTemp");
        QVERIFY(EmbeddedObjectServer::isSimulated(device));
        QVERIFY(!EmbeddedObjectServer::isSimulated(m_server->appDevice("Small.Building.Floor 1.CM 1")));
        EmbeddedObjectServer::changeRoom(newServer()->appDevice("Small.Building.Floor 1.CM 2"),
                                         [](const cmsim::RoomState &r, const cmsim::Settings &s, const QDateTime &now) {
                                             return cmsim::setSensorError(cmsim::setRoomTemp(r, s, 2250, now), s, -80, now);
                                         });
        QCOMPARE(temp->value(), QString("21.70"));
        cpOf(lmo, "nciTmpOffset")->setValue("0.80"); // the correction a calibration writes
        QCOMPARE(temp->value(), QString("22.50"));
        QCOMPARE(EmbeddedObjectServer::knobCalibrationText(device), QString("calibrated"));
        device->calibrationTrigger(); // a panel device learns its knob's limits anew
        QCOMPARE(EmbeddedObjectServer::knobCalibrationText(newServer()->appDevice("Small.Building.Floor 1.CM 2")),
                 QString("learning, no limit seen yet"));
    }

    void readingEveryCpWritesNothingToTheDatabase()
    {
        sqlite::Connection watcher(networkFilePath(m_home.path(), "Small"), sqlite::OpenMode::ReadOnly, "");
        const auto dataVersion = [&] { return watcher.scalar("PRAGMA data_version").toLongLong(); };
        const auto device = m_server->appDevice("Small.Building.Floor 1.CM 1");
        const qint64 before = dataVersion();
        QList<lns::ConfigPropertyPtr> cps = device->configProperties()->items();
        for (const auto &lmo : device->lonMarkObjects()->items()) {
            cps += lmo->configProperties()->items();
            for (const auto &nv : lmo->networkVariables()->items())
                cps += nv->configProperties()->items();
        }
        QVERIFY(cps.size() > 30);
        for (const auto &cp : cps) { // as the plug-in reads: format saved, RAW, read, restored
            const QString saved = cp->formatSpec();
            cp->setFormatSpec(lns::RawFormat);
            cp->value();
            cp->setFormatSpec(saved);
        }
        QCOMPARE(dataVersion(), before);
        cpOf(cm(), "nciTmpOffset")->setValue("0.30"); // the watcher does see a write
        QVERIFY(dataVersion() != before);
    }

    // A format must fit the value, and is the connection's own.
    void formats()
    {
        const auto cp = cpOf(cm(), "nciTmpOffset");
        const auto nv = cm()->networkVariables()->item("nvoSpaceTemp");
        QCOMPARE(cp->defaultFormatSpec(), QString("SCPToffsetTemp"));
        cp->setFormatSpec("SNVT_temp_p");
        QCOMPARE(cp->value(), QString("0.20"));
        QVERIFY_THROWS_EXCEPTION(TqmError, cp->setFormatSpec("SNVT_switch_nonsense"));
        QVERIFY_THROWS_EXCEPTION(TqmError, cp->setFormatSpec("SNVT_hvac_mode"));
        cp->setFormatSpec(lns::RawFormat);
        nv->setFormatSpec(lns::RawFormat);
        nv->setMonitorTag(5000);
        QCOMPARE(cp->value(), QString("0\t20"));
        const auto otherLmo = newServer()->lonMarkObject(CmName);
        const auto otherCp = cpOf(otherLmo, "nciTmpOffset");
        const auto otherNv = otherLmo->networkVariables()->item("nvoSpaceTemp");
        QCOMPARE((QStringList{otherCp->formatSpec(), otherCp->value(), otherNv->formatSpec(), otherNv->value()}),
                 (QStringList{"SCPToffsetTemp", "0.20", "SNVT_temp_p", "21.00"}));
        QCOMPARE(otherNv->monitorTag(), 0);
    }

    void messageCountersCountDeviceMessages()
    {
        const auto device = m_server->appDevice("Small.Building.Floor 1.CM 1");
        const auto cp = cpOf(cm(), "nciTmpOffset");
        const auto nv = cm()->networkVariables()->item("nvoFanSpeed");
        m_server->resetMessageCounts();
        cp->value();
        cp->setValue("1.00");
        nv->value();
        nv->dataPoint("value")->setValue("10.0"); // a read and a write
        device->deviceTest(4);
        device->calibrationTrigger();
        nv->setMonitorTag(5001);
        nv->setPollFlag(true);
        nv->setPollInterval(10);
        m_clock.advanceMs(500);
        const MessageCounts c = m_server->messageCounts(device);
        QCOMPARE((QList<int>{c.cpReads, c.cpWrites, c.nvReads, c.nvWrites, c.nvPolls, c.deviceTests, c.calibrationTriggers}),
                 (QList<int>{1, 1, 2, 1, 1, 1, 1}));
        QCOMPARE(m_server->totalMessageCounts().total(), c.total());
        QCOMPARE(m_server->messageCounts(m_server->appDevice(ArrayDeviceName)).total(), 0);
    }

    void objectNamesRoundTrip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("classId");
        QTest::newRow("network") << "Small" << int(lns::NetworkClass);
        QTest::newRow("subsystem") << "Small.Building.Floor 1" << int(lns::SubsystemClass);
        QTest::newRow("device") << "Small.Building.Floor 1.CM 1" << int(lns::AppDeviceClass);
        QTest::newRow("escaped device") << ArrayDeviceName << int(lns::AppDeviceClass);
        QTest::newRow("object of escaped device") << ArrayDeviceName + ".NodeObject" << int(lns::LonMarkObjectClass);
        QTest::newRow("unknown device") << "Small.Building.Floor 1.CM 9.CommandModule" << -1;
        QTest::newRow("unknown network") << "Large.Building.Floor 1.CM 1.CommandModule" << -1;
        QTest::newRow("unescaped dot") << "Small.Building.Floor 1.Array.Unit.NodeObject" << -1;
    }
    void objectNamesRoundTrip()
    {
        QFETCH(QString, name);
        const lns::ObjectPtr object = m_server->objectByName(name);
        QTEST(object ? object->classId() : -1, "classId");
        if (auto lmo = std::dynamic_pointer_cast<lns::LonMarkObject>(object))
            QCOMPARE(embedded::objectName(lmo), name);
        if (auto device = std::dynamic_pointer_cast<lns::AppDevice>(object))
            QCOMPARE(embedded::objectName(device), name);
    }

    // A file made before the path index gets it when opened; opened for reading only, it gets a
    // temporary one and stays as it is. A subsystem name holding the object name's separators is
    // one level, escaped wherever a name or path is printed, and found again by that name (the
    // index is rebuilt from the names).
    void fileWithoutPathIndexResolvesNames_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("floor");
        QTest::addColumn<QString>("escaped");
        QTest::newRow("read and write") << false << "Floor 1" << "Floor 1";
        QTest::newRow("read only") << true << "Floor 1" << "Floor 1";
        QTest::newRow("slash") << false << "Floor/2" << "Floor\\s2";
        QTest::newRow("dot, colon, backslash") << false << "F.l:o\\r" << "F\\.l\\co\\\\r";
    }
    void fileWithoutPathIndexResolvesNames()
    {
        QFETCH(bool, readOnly);
        QFETCH(QString, floor);
        QFETCH(QString, escaped);
        m_server.reset();
        const auto indexed = [this](const QString &statement, const QVariantList &values = {}) {
            sqlite::Connection db(networkFilePath(m_home.path(), "Small"), sqlite::OpenMode::ReadWrite, "");
            db.exec(statement, values);
            return db.scalar("SELECT 1 FROM sqlite_master WHERE name = 'subsystem_index'").isValid();
        };
        QVERIFY(!indexed("DROP TABLE subsystem_index"));
        indexed("PRAGMA user_version = 0"); // as a file made before the index
        indexed("UPDATE subsystems SET name = ? WHERE name = 'Floor 1'", {floor});
        auto server = EmbeddedObjectServer::create(m_home.path(), m_clock, m_timers);
        server->setReadOnly(readOnly);
        server->open(lns::ConnectionMode::Local);

        const QString cmName = "Small.Building." + escaped + ".CM 1.CommandModule";
        QCOMPARE(embedded::objectName(server->lonMarkObject(cmName)), cmName);
        const QList<DeviceEntry> devices = listDevices(server->network("Small"));
        QCOMPARE(devices.size(), 3);
        QCOMPARE(devices.first().commandModuleName, cmName);
        QCOMPARE(devices.first().subsystemPath, "Building/" + escaped);
        server.reset();
        QCOMPARE(indexed("SELECT 1"), !readOnly);
    }

    void nvTypeChange()
    {
        auto utility = EmbeddedObjectServer::createNvTypeUtility();
        const auto nvs = cm()->networkVariables();
        const auto fan = nvs->item("nvoFanSpeed");
        QVERIFY(!utility->changeType(nvs->item("nvoSpaceTemp"), 81, "", 0).success); // not changeable
        QVERIFY(!utility->changeType(fan, 9999, "", 0).success);
        const auto result = utility->changeType(fan, 81, "90:00:5D:50:28:04:04:04", 0);
        QVERIFY2(result.success, qPrintable(result.errorText));
        QCOMPARE(result.networkVariable->typeName(), QString("SNVT_lev_percent"));
        QCOMPARE(fan->typeIndex(), 81);
        QVERIFY(utility->checkType(fan, 81, "", 0).success);
        QVERIFY(!utility->checkType(fan, 95, "", 0).success);
        fan->setValue("12.500");
        QCOMPARE(newServer()->lonMarkObject(CmName)->networkVariables()->item("nvoFanSpeed")->value(), QString("12.500"));
    }

    void plugInRegistrationsAreKept()
    {
        lns::PlugInCommandRegistration r;
        r.commandName = "Configure";
        r.commandId = 13;
        r.classId = 28;
        r.deviceTemplate = "TQM_CM_L4";
        QVERIFY(m_server->network("Small")->registerPlugInCommand(r));
        QVERIFY(m_server->network("Small")->registerPlugInCommand(r)); // again: replaces
        const auto list = newServer()->network("Small")->registeredPlugInCommands();
        QCOMPARE(list.size(), 1);
        QCOMPARE(list[0].deviceTemplate, QString("TQM_CM_L4"));
    }

    // A description that cannot be built is named; it leaves no network, or the one it was to
    // replace as it was, whichever of its devices fails.
    void badNetworkDescriptionsAreNamed_data()
    {
        QTest::addColumn<QString>("deviceTemplate");
        QTest::addColumn<QString>("cpKey");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("replacing");
        QTest::addColumn<QString>("expected");
        QTest::newRow("unknown CP") << "TQM_CM_L4" << "1/nciNothing" << "0\t0" << false
                                    << "has no configuration property \"1/nciNothing\"";
        QTest::newRow("wrong length") << "TQM_CM_L4" << "PanelType" << "3" << true << "has 1 bytes, 2 expected";
        QTest::newRow("unknown template") << "NO_SUCH" << "PanelType" << "3\t4" << true << "no device template \"NO_SUCH\"";
    }
    void badNetworkDescriptionsAreNamed()
    {
        QFETCH(QString, deviceTemplate);
        QFETCH(QString, cpKey);
        QFETCH(QString, value);
        QFETCH(bool, replacing);
        QFETCH(QString, expected);
        const auto network = [](const QJsonArray &devices) {
            return QJsonObject{{"name", "Bad"}, {"subsystems", QJsonArray{QJsonObject{{"path", "B"}, {"devices", devices}}}}};
        };
        const QJsonObject good{{"name", "Good"}, {"template", "TQM_CM_L4"}};
        if (replacing)
            createNetwork(m_home.path(), network({good}), true);
        const QJsonObject bad{{"name", "D"}, {"template", deviceTemplate}, {"cpValues", QJsonObject{{cpKey, value}}}};
        const QString error = raised([&] { createNetwork(m_home.path(), network({good, bad}), replacing); }).description();
        QVERIFY2(error.contains(expected), qPrintable(error));
        QCOMPARE(networkNames(m_home.path()).contains("Bad"), replacing);
        if (replacing)
            QCOMPARE(listDevices(newServer()->network("Bad")).size(), 1);
        QCOMPARE(QDir(m_home.filePath("networks")).entryList({"Bad.tqmnet*"}, QDir::Files).size(), int(replacing));
    }

    // A failed statement reports SQLite's reason and its own text, and leaves the connection usable.
    void sqliteFailureNamesStatementAndReason_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<QString>("reason");
        QTest::newRow("prepare") << "SELECT x FROM nowhere" << QVariantList{} << "no such table: nowhere";
        QTest::newRow("step") << "INSERT INTO t(v) VALUES(?)" << QVariantList{QString()} << "NOT NULL constraint failed";
    }
    void sqliteFailureNamesStatementAndReason()
    {
        QFETCH(QString, sql);
        QFETCH(QVariantList, values);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        sqlite::Connection db(dir.filePath("t.db"), sqlite::OpenMode::ReadWrite, "Test");
        db.exec("CREATE TABLE t(v TEXT NOT NULL)");
        const TqmError error = raised([&] { db.exec(sql, values); });
        QCOMPARE(error.number(), TqmError::LnsDatabase);
        QVERIFY2(error.description().startsWith(sql + ": ") && error.description().contains(reason),
                 qPrintable(error.description()));
        db.exec("INSERT INTO t(v) VALUES(?)", {QString("")});
        sqlite::Connection other(dir.filePath("t.db"), sqlite::OpenMode::ReadWrite, "Test");
        other.exec("BEGIN IMMEDIATE"); // nothing of the failure holds a lock
        QCOMPARE(other.scalar("SELECT count(*) FROM t").toInt(), 1);
        other.exec("ROLLBACK");
    }
};

QTEST_GUILESS_MAIN(TestEmbeddedObjectServer)
#include "tst_embeddedobjectserver.moc"
