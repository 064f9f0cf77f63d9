#include "lns/embedded/embeddedobjectserver.h"
#include "lns/inifile.h"
#include "lns/product.h"

#include <QtTest>

// Every CP and NV name the plug-in looks up through resources/TqmCmdModule.ini must land on the
// intended object of each demo device template, by the same routes the parameter transfer takes:
// device CPs through the device, the others through the command-module LonMark object.
namespace {

struct CpExpectation
{
    QString iniName;
    QString cpName; // the CP the entry must reach; "" for a CP attached to an NV (any heartbeat)
    int minimumBytes;
    bool deviceCp;
};

const QList<CpExpectation> Cps = {
    {"MaxSendTime", "", 2, false},
    {"OffsetTemp", "nciTmpOffset", 2, false},
    {"MinDeltaTemp", "nciTmpMinDelta", 2, false},
    {"MaxReceiveTime", "nciRcvHrtBt", 2, false},
    {"ButtonMode", "nciButtonMode", 1, false},
    {"SetPtDeltaRange", "nciSetPtDeltaRange", 1, false},
    {"SetPtDeltaStep", "nciSetPtDeltaStep", 1, false},
    {"FanSpeedOn", "nciFanSpeedOn", 1, false},
    {"FanSpeedOff", "nciFanSpeedOff", 1, false},
    {"OccCmdOn", "nciOccCmdOn", 1, false},
    {"OccCmdOff", "nciOccCmdOff", 1, false},
    {"HvacModeOn", "nciHvacModeOn", 1, false},
    {"HvacModeOff", "nciHvacModeOff", 1, false},
    {"SwitchMap", "nciSwitchMap", 2, false},
    {"SwitchMapFanSpeed", "nciSwitchMapFanSpeed", 2, false},
    {"LedMode1", "nciLedMode1", 1, false},
    {"LedMode2", "nciLedMode2", 1, false},
    {"PushEvent1", "nciPushEvent1", 1, false},
    {"PushEvent2", "nciPushEvent2", 1, false},
    {"LedMode1FanSpeed", "nciLedMode1FanSpeed", 1, false},
    {"LedMode2FanSpeed", "nciLedMode2FanSpeed", 1, false},
    {"PushEvent1FanSpeed", "nciPushEvent1FanSpeed", 1, false},
    {"PushEvent2FanSpeed", "nciPushEvent2FanSpeed", 1, false},
    {"DiscLevels", "nciDiscLevels", 1, false},
    {"ManOccCmdOn", "nciManOccCmdOn", 1, false},
    {"ManOccCmdOff", "nciManOccCmdOff", 1, false},
    {"TempMode", "nciTempMode", 1, false},
    {"PanelType", "PanelType", 2, true},
    {"TempCalib", "TempCalib", 1, true},
};

// Monitor point name -> the device's NV name.
const QList<QPair<QString, QString>> Nvs = {
    {"nvoSpaceTemp", "nvoSpaceTemp"},   {"nvoHeatCool", "nvoHeatCool"},       {"nvoFanSpeed", "nvoFanSpeed"},
    {"nvoManOccCmd", "nvoOccManCmd"},   {"nvoSetptOffSet", "nvoSetptOffset"},
};

// The LonMark-object route: field 1 is the CP, field 2 an NV of the object whose CP list is meant.
lns::ConfigPropertyPtr fetchLmoCp(const IniFile &ini, const QString &name, const QString &deviceTemplate,
                                  const lns::LonMarkObjectPtr &lmo)
{
    const int c = ini.GetCpIndex(name, product::CpSection, deviceTemplate);
    const int n = ini.GetEntryField(name, product::CpSection, deviceTemplate, 2);
    const auto cps = n > 0 ? lmo->networkVariables()->item(n)->configProperties() : lmo->configProperties();
    return cps->item(c);
}

// The device route: field 2 a LonMark object, field 3 an NV, field 1 the CP of the owner.
lns::ConfigPropertyPtr fetchDevCp(const IniFile &ini, const QString &name, const QString &deviceTemplate,
                                  const lns::AppDevicePtr &device)
{
    const int c = ini.GetEntryField(name, product::CpSection, deviceTemplate, 1);
    const int o = ini.GetEntryField(name, product::CpSection, deviceTemplate, 2);
    const int n = ini.GetEntryField(name, product::CpSection, deviceTemplate, 3);
    std::shared_ptr<lns::ConfigProperties> cps;
    if (o > 0) {
        const auto lmo = device->lonMarkObjects()->item(o);
        cps = n > 0 ? lmo->networkVariables()->item(n)->configProperties() : lmo->configProperties();
    } else {
        cps = n > 0 ? device->networkVariables()->item(n)->configProperties() : device->configProperties();
    }
    return cps->item(c);
}

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

    void everyTemplateHasADeviceWithItsProgramId()
    {
        for (int i = 1; i <= m_ini.TemplateEntryCount(); ++i) {
            const IniFile::TemplateEntry entry = m_ini.templateEntry(i);
            QVERIFY2(m_deviceOfTemplate.contains(entry.deviceTemplate), qPrintable(entry.deviceTemplate));
            QCOMPARE(m_deviceOfTemplate[entry.deviceTemplate]->programId(), entry.programId);
        }
    }

    void cpEntriesResolve()
    {
        int resolved = 0;
        for (int i = 1; i <= m_ini.TemplateEntryCount(); ++i) {
            const QString deviceTemplate = m_ini.templateEntry(i).deviceTemplate;
            const lns::AppDevicePtr device = m_deviceOfTemplate.value(deviceTemplate);
            QVERIFY(device);
            const lns::LonMarkObjectPtr lmo = device->lonMarkObjects()->item("CommandModule");
            for (const CpExpectation &cp : Cps) {
                const QString what = deviceTemplate + " " + cp.iniName;
                if (m_ini.GetCpIndex(cp.iniName, product::CpSection, deviceTemplate) == -1)
                    continue; // absent for this template on purpose
                lns::ConfigPropertyPtr found;
                try {
                    found = cp.deviceCp ? fetchDevCp(m_ini, cp.iniName, deviceTemplate, device)
                                        : fetchLmoCp(m_ini, cp.iniName, deviceTemplate, lmo);
                } catch (const TqmError &error) {
                    QFAIL(qPrintable(what + ": " + error.description()));
                }
                if (cp.cpName.isEmpty())
                    QVERIFY2(found->name().startsWith("nciSndHrtBt"), qPrintable(what + " -> " + found->name()));
                else
                    QVERIFY2(found->name() == cp.cpName, qPrintable(what + " -> " + found->name()));
                QVERIFY2(found->elementLength() * found->dimension() >= cp.minimumBytes, qPrintable(what));
                ++resolved;
            }
        }
        // Only the entries a template leaves out on purpose may be skipped.
        QVERIFY(resolved >= m_ini.TemplateEntryCount() * (Cps.size() - 2));
    }

    void nvEntriesResolve()
    {
        for (int i = 1; i <= m_ini.TemplateEntryCount(); ++i) {
            const QString deviceTemplate = m_ini.templateEntry(i).deviceTemplate;
            const lns::AppDevicePtr device = m_deviceOfTemplate.value(deviceTemplate);
            for (const auto &[point, nvName] : Nvs) {
                const int n = m_ini.GetEntryField(point, product::NvSection, deviceTemplate, 1);
                const int o = m_ini.GetEntryField(point, product::NvSection, deviceTemplate, 2);
                QVERIFY2(n > 0, qPrintable(deviceTemplate + " " + point));
                const auto nvs = o > 0 ? device->lonMarkObjects()->item(o)->networkVariables() : device->networkVariables();
                QCOMPARE(nvs->item(n)->name(), nvName);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestDemoIniFile)
#include "tst_demoinifile.moc"
