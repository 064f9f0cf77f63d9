#include "lns/embedded/embeddedobjectserver.h"
#include "lns/inifile.h"
#include "lns/inilocator.h"
#include "lns/product.h"

#include <QtTest>

// Every CP and NV name the plug-in looks up through resources/TqmCmdModule.ini must land on the
// intended object of each demo device template, by the routes the parameter transfer takes:
// device CPs through the device, the others through the command-module LonMark object.
namespace {

const QStringList CpEntries = {
    "MaxSendTime",     "OffsetTemp",  "MinDeltaTemp", "MaxReceiveTime",     "ButtonMode",         "SetPtDeltaRange",
    "SetPtDeltaStep",  "FanSpeedOn",  "FanSpeedOff",  "OccCmdOn",           "OccCmdOff",          "HvacModeOn",
    "HvacModeOff",     "SwitchMap",   "SwitchMapFanSpeed", "LedMode1",      "LedMode2",           "PushEvent1",
    "PushEvent2",      "LedMode1FanSpeed", "LedMode2FanSpeed", "PushEvent1FanSpeed", "PushEvent2FanSpeed",
    "DiscLevels",      "ManOccCmdOn", "ManOccCmdOff", "TempMode",           "PanelType",          "TempCalib",
};

// The CP an entry must reach: "nci" and its name unless named here; MaxSendTime reaches the
// heartbeat CP of an NV (any "nciSndHrtBt...").
QString expectedCp(const QString &entry)
{
    static const QHash<QString, QString> other{{"MaxSendTime", "nciSndHrtBt"}, {"OffsetTemp", "nciTmpOffset"},
                                               {"MinDeltaTemp", "nciTmpMinDelta"}, {"MaxReceiveTime", "nciRcvHrtBt"},
                                               {"PanelType", "PanelType"},     {"TempCalib", "TempCalib"}};
    return other.value(entry, "nci" + entry);
}

// Monitor point name -> the device's NV name.
const QList<QPair<QString, QString>> Nvs = {
    {"nvoSpaceTemp", "nvoSpaceTemp"},   {"nvoHeatCool", "nvoHeatCool"},       {"nvoFanSpeed", "nvoFanSpeed"},
    {"nvoManOccCmd", "nvoOccManCmd"},   {"nvoSetptOffSet", "nvoSetptOffset"},
};

void collectDevices(const std::shared_ptr<lns::Subsystems> &subsystems, QList<lns::AppDevicePtr> &devices)
{
    for (const auto &subsystem : subsystems->items()) {
        devices.append(subsystem->appDevices()->items());
        collectDevices(subsystem->subsystems(), devices);
    }
}

} // namespace

class TestDemoIniFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    IniFile m_ini;
    QHash<QString, lns::AppDevicePtr> m_deviceOfTemplate;
    embedded::EmbeddedObjectServerPtr m_server;

private slots:
    void initTestCase()
    {
        m_ini.setFileName(qEnvironmentVariable("TQM_TEST_SOURCE_DIR") + "/resources/TqmCmdModule.ini");
        QCOMPARE(m_ini.problems(), QStringList());
        QVERIFY(m_ini.TemplateEntryCount() > 0);
        embedded::createDemoNetwork(m_home.path(), "Demo", 2 * m_ini.TemplateEntryCount(), m_ini.fileName());
        m_server = embedded::EmbeddedObjectServer::create(m_home.path());
        m_server->open(lns::ConnectionMode::Local);
        QList<lns::AppDevicePtr> devices;
        collectDevices(m_server->network("Demo")->systems()->item(1)->subsystems(), devices);
        for (const auto &device : devices)
            m_deviceOfTemplate.insert(device->deviceTemplate()->name(), device);
    }

    void entriesResolveOnEveryTemplate()
    {
        int resolved = 0;
        for (int i = 1; i <= m_ini.TemplateEntryCount(); ++i) {
            const IniFile::TemplateEntry entry = m_ini.templateEntry(i);
            const lns::AppDevicePtr device = m_deviceOfTemplate.value(entry.deviceTemplate);
            QVERIFY2(device, qPrintable(entry.deviceTemplate));
            QCOMPARE(device->programId(), entry.programId);
            const IniLocator locate(m_ini, entry.deviceTemplate);
            const lns::LonMarkObjectPtr lmo = device->lonMarkObjects()->item("CommandModule");
            for (const QString &name : CpEntries) {
                if (m_ini.GetCpIndex(name, product::CpSection, entry.deviceTemplate) == -1)
                    continue; // absent for this template on purpose
                const bool deviceCp = name == "PanelType" || name == "TempCalib";
                const auto found = deviceCp ? locate.devCp(name, product::CpSection, device)
                                            : locate.lmoCp(name, product::CpSection, lmo);
                const QString what = entry.deviceTemplate + " " + name + ": " + found.failure;
                const QString cp = found ? found.object->name() : QString();
                QVERIFY2(name == "MaxSendTime" ? cp.startsWith(expectedCp(name)) : cp == expectedCp(name),
                         qPrintable(what + cp));
                ++resolved;
            }
            for (const auto &[point, nvName] : Nvs) {
                bool ok = false;
                const auto nv = locate.FetchDevNv(point, product::NvSection, device, &ok);
                QVERIFY2(ok && nv->name() == nvName, qPrintable(entry.deviceTemplate + " " + point));
            }
        }
        // Only the entries a template leaves out on purpose may be skipped.
        QVERIFY(resolved >= m_ini.TemplateEntryCount() * (CpEntries.size() - 2));
    }
};

QTEST_GUILESS_MAIN(TestDemoIniFile)
#include "tst_demoinifile.moc"
