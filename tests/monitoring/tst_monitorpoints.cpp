#include "lns/embedded/embeddedobjectserver.h"
#include "lns/inifile.h"
#include "lns/logger.h"
#include "lns/product.h"
#include "monitoring/cmonitorpoints.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace embedded;

namespace {

const QString DeviceName = "Site.Building A.Floor 1.CM 1\\.04";

// Counts the calls that reach the real utility.
class CountingNvTypes : public lns::NvTypeUtility
{
public:
    Result changeType(const lns::NetworkVariablePtr &nv, int type, const QString &programId, int scope) override
    {
        ++changes;
        return fail ? Result{false, "refused", nv} : m_real->changeType(nv, type, programId, scope);
    }
    Result checkType(const lns::NetworkVariablePtr &nv, int type, const QString &programId, int scope) override
    {
        return m_real->checkType(nv, type, programId, scope);
    }
    int changes = 0;
    bool fail = false;

private:
    std::unique_ptr<lns::NvTypeUtility> m_real = EmbeddedObjectServer::createNvTypeUtility();
};

} // namespace

class TestMonitorPoints : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    ManualClock m_clock;
    ManualTimerFactory m_timers{m_clock};
    EmbeddedObjectServerPtr m_server;
    IniFile m_ini{":/TqmCmdModule.ini"};
    MemoryLogger m_logger;
    CountingNvTypes m_nvTypes;
    std::unique_ptr<cMonitorPoints> m_points;

    lns::AppDevicePtr device() { return m_server->appDevice(DeviceName); }
    lns::LonMarkObjectPtr lmo() { return device()->lonMarkObjects()->item("CommandModule"); }
    lns::NetworkVariablePtr nv(const QString &name) { return lmo()->networkVariables()->item(name); }
    cMonitorPoint *add(const QString &name, qint32 type = cMonitorPoint::EventDriven)
    {
        return m_points->AddMonitorPoint(name, nv(name), type);
    }

private slots:
    void init()
    {
        createDemoNetwork(m_home.path(), "Site", 4, {}, true); // CM 1.04 is a TQM_CM_L4
        m_server = EmbeddedObjectServer::create(m_home.path(), m_clock, m_timers);
        m_server->open(lns::ConnectionMode::Local);
        m_logger = MemoryLogger();
        m_nvTypes.changes = 0;
        m_nvTypes.fail = false;
        m_points = std::make_unique<cMonitorPoints>(&m_logger, &m_nvTypes);
        m_points->setObjectServer(m_server);
    }
    void cleanup()
    {
        m_points.reset();
        m_server.reset();
    }

    void pointWithoutNvIsNotAvailable()
    {
        cMonitorPoint *point = m_points->AddMonitorPoint("none", nullptr, cMonitorPoint::Polled);
        QVERIFY(!point->Available());
        QCOMPARE(point->Value(), QString());
        QVERIFY(!m_points->ActivateMonitoring()); // point 1 leads to no system
        point->ActivateMonitoring();
        QVERIFY(!point->MonitoringIsActive());
        QString value;
        QVERIFY(!point->GetElementValue("value", value));
        QCOMPARE(point->Tag(), 0);
    }

    // Activated, the point says in the log how it is watched (a simulated device sends its
    // changes, as a bound one does).
    void monitoringTypeSetsThePollFlag_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("pollFlag");
        QTest::addColumn<QString>("logged");
        QTest::newRow("0 not monitored") << 0 << false << "";
        QTest::newRow("1 polled") << 1 << true << "nvoSpaceTemp: polled";
        QTest::newRow("2 event-driven") << 2 << false << "nvoSpaceTemp: bound";
        QTest::newRow("other values leave the NV alone") << 7 << true << "nvoSpaceTemp: polled";
    }
    void monitoringTypeSetsThePollFlag()
    {
        QFETCH(int, type);
        QFETCH(bool, pollFlag);
        QFETCH(QString, logged);
        cMonitorPoint *point = add("nvoSpaceTemp", cMonitorPoint::Polled);
        point->setMonitoringType(type);
        QCOMPARE(nv("nvoSpaceTemp")->pollFlag(), pollFlag);
        QVERIFY(!nv("nvoSpaceTemp")->hold());
        point->setPollInterval(10);
        point->ActivateMonitoring();
        QCOMPARE(m_logger.texts().join('\n'), logged);
    }

    // Tags count the points from 5000. Activation leaves alone a point not monitored, one watched
    // on its own and an NV active already; an update finds its point by its tag.
    void activationAndUpdates()
    {
        QVERIFY(!m_points->ActivateMonitoring()); // empty
        cMonitorPoint *unmonitored = add("nvoSpaceTemp", cMonitorPoint::NotMonitored);
        cMonitorPoint *independent = add("nvoFanSpeed");
        independent->setIndependentMonitoring(true);
        cMonitorPoint *active = add("nvoHeatCool");
        add("nvoSetptOffset");
        nv("nvoSetptOffset")->setMonitorTag(4711); // active already: left as it is
        QCOMPARE(QPair(unmonitored->Tag(), active->Tag()), QPair(5000, 5002));
        QSignalSpy updates(m_points.get(), &cMonitorPoints::NvUpdate);
        QVERIFY(m_points->ActivateMonitoring());
        m_clock.advanceMs(100);
        QCOMPARE(updates.size(), 1);
        QCOMPARE(updates[0], (QVariantList{"nvoHeatCool", "HVAC_OFF"})); // switch down
        QVERIFY(!unmonitored->MonitoringIsActive() && !independent->MonitoringIsActive());
        QCOMPARE(nv("nvoSetptOffset")->monitorTag(), 4711);
        m_points->DeactivateMonitoring();
        QVERIFY(!active->MonitoringIsActive());
        QCOMPARE(active->BufferedValue(), QString("HVAC_OFF")); // read afresh once emptied
    }

    void fieldAccessReportsCommunicationFailures()
    {
        cMonitorPoint *fan = add("nvoFanSpeed");
        QSignalSpy failures(m_points.get(), &cMonitorPoints::CommunicationFailed);
        QString value;
        QVERIFY(fan->GetElementValue("state", value));
        QCOMPARE(value, QString("0"));
        QVERIFY(!fan->GetElementValue("nonsense", value)); // finding the field is no communication
        QCOMPARE(failures.size(), 0);
        EmbeddedObjectServer::setDeviceOnline(device(), false);
        QVERIFY(!fan->GetElementValue("state", value) && !fan->SetElementValue("state", "1"));
        QCOMPARE(failures.size(), 2);
        QCOMPARE(fan->Value(), QString()); // whole values fail silently
    }

    void forcedUpdateReadsAfresh()
    {
        add("nvoSpaceTemp");
        m_points->AddMonitorPoint("offset", nv("nvoSetptOffset"), cMonitorPoint::EventDriven);
        QSignalSpy updates(m_points.get(), &cMonitorPoints::NvUpdate);
        m_points->GetMonitorPointByName("offset")->setFormat(lns::RawFormat);
        m_points->ForceNvUpdate("offset");
        QCOMPARE(updates.size(), 1);
        QCOMPARE(updates[0], (QVariantList{"offset", "0\t0"}));
        QVERIFY_THROWS_EXCEPTION(TqmError, m_points->AddMonitorPoint("OFFSET", nv("nvoSpaceTemp")));
        m_points->RemoveMonitorPointByName("offset");
        QCOMPARE(m_points->Count(), 1);
        QVERIFY_THROWS_EXCEPTION(TqmError, m_points->RemoveMonitorPointByName("offset"));
    }

    void typeChanges()
    {
        cMonitorPoint *fan = add("nvoFanSpeed");
        QVERIFY(fan->ChangeNvType(95, "", 0)); // its type already
        QCOMPARE(m_nvTypes.changes, 0);
        add("nvoSpaceTemp"); // not changeable: skipped
        m_points->AddMonitorPoint("unlisted", nv("nvoSetptOffset")); // changeable, not in the INI file
        QVERIFY(!m_points->WriteNvsTypeLmo(lmo(), m_ini, product::NvSection, 81, "", 0,
                                            {"nvoFanSpeed", "nvoSpaceTemp", "unlisted"}));
        QCOMPARE(nv("nvoFanSpeed")->typeIndex(), 81);
        QCOMPARE(nv("nvoSpaceTemp")->typeIndex(), 105);
        QCOMPARE(m_logger.texts(), QStringList{"Nv not found in Ini file"});
        QVERIFY(m_points->CheckNvTypeCpConsistencyLmo(lmo(), m_ini, product::NvSection, "", 0, {"nvoFanSpeed"}));

        m_nvTypes.fail = true;
        QVERIFY(!fan->ChangeNvType(95, "", 0));
        QCOMPARE(m_logger.texts().mid(1), QStringList({
            "An error occured while changing the type of network variable \"nvoFanSpeed\".", "refused"}));
        QCOMPARE(m_logger.lines.last().colour, logcolour::Red);
    }

};

QTEST_GUILESS_MAIN(TestMonitorPoints)
#include "tst_monitorpoints.moc"
