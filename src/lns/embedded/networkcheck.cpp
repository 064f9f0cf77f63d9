#include "lns/embedded/networkcheck.h"

#include "lns/embedded/embeddedobjectserver.h"
#include "lns/embedded/netdb.h"
#include "lns/embedded/valuetypes.h"
#include "lns/inifile.h"
#include "lns/product.h"

#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace embedded {

namespace {

// The CP names the plug-in fetches, with the byte length it expects of each.
struct CpExpectation
{
    const char *iniName;
    int length;
    bool deviceCp; // fetched through the device rather than the LonMark object
};

const CpExpectation CpExpectations[] = {
    {"ButtonMode", 1, false},       {"SetPtDeltaRange", 2, false},    {"FanSpeedOn", 2, false},
    {"FanSpeedOff", 2, false},      {"OccCmdOn", 1, false},           {"OccCmdOff", 1, false},
    {"HvacModeOn", 1, false},       {"HvacModeOff", 1, false},        {"MaxReceiveTime", 2, false},
    {"MaxSendTime", 2, false},      {"PanelType", 2, true},           {"SwitchMap", 2, false},
    {"SwitchMapFanSpeed", 2, false}, {"LedMode1", 1, false},          {"LedMode2", 1, false},
    {"PushEvent1", 1, false},       {"PushEvent2", 1, false},         {"LedMode1FanSpeed", 1, false},
    {"LedMode2FanSpeed", 1, false}, {"PushEvent1FanSpeed", 1, false}, {"PushEvent2FanSpeed", 1, false},
    {"SetPtDeltaStep", 2, false},   {"DiscLevels", 1, false},         {"ManOccCmdOn", 1, false},
    {"ManOccCmdOff", 1, false},     {"MinDeltaTemp", 2, false},       {"OffsetTemp", 2, false},
    {"TempMode", 1, false},         {"TempCalib", 2, true},
};

const char *const NvNames[] = {"nvoSpaceTemp", "nvoSetptOffSet", "nvoHeatCool", "nvoFanSpeed", "nvoManOccCmd"};

void checkModel(NetDb &db, QStringList *problems)
{
    const auto integrity = db.rows(QStringLiteral("PRAGMA integrity_check"));
    for (const QVariantList &row : integrity)
        if (row[0].toString() != QLatin1String("ok"))
            problems->append(QStringLiteral("integrity: ") + row[0].toString());
    const auto devices = db.rows(QStringLiteral("SELECT id FROM devices ORDER BY id"));
    for (const QVariantList &row : devices) {
        const DeviceInfo &device = db.device(row[0].toLongLong());
        const DeviceTemplateDef &tpl = *device.tpl;
        const auto cps = db.rows(QStringLiteral("SELECT cp_key, length(value) FROM cp_values WHERE device_id = ? ORDER BY cp_key"),
                                 {device.id});
        if (cps.size() != tpl.cps.size())
            problems->append(QStringLiteral("device \"%1\": %2 CP values stored, template %3 has %4 CPs")
                                 .arg(device.name).arg(cps.size()).arg(tpl.name).arg(tpl.cps.size()));
        for (const QVariantList &cp : cps) {
            const int key = cp[0].toInt();
            if (key < 0 || key >= tpl.cps.size())
                problems->append(QStringLiteral("device \"%1\": stored CP %2 is not in template %3").arg(device.name).arg(key).arg(tpl.name));
            else if (cp[1].toInt() != tpl.cps[key].elementLength * tpl.cps[key].dimension)
                problems->append(QStringLiteral("device \"%1\": CP %2 has %3 bytes, %4 expected")
                                     .arg(device.name, tpl.cps[key].name).arg(cp[1].toInt())
                                     .arg(tpl.cps[key].elementLength * tpl.cps[key].dimension));
        }
        const auto nvs = db.rows(QStringLiteral("SELECT nv_key FROM nv_values WHERE device_id = ? ORDER BY nv_key"), {device.id});
        if (nvs.size() != tpl.nvs.size())
            problems->append(QStringLiteral("device \"%1\": %2 NV values stored, template %3 has %4 NVs")
                                 .arg(device.name).arg(nvs.size()).arg(tpl.name).arg(tpl.nvs.size()));
        for (const QVariantList &nvRow : nvs) {
            const int key = nvRow[0].toInt();
            if (key < 0 || key >= tpl.nvs.size()) {
                problems->append(QStringLiteral("device \"%1\": stored NV %2 is not in template %3").arg(device.name).arg(key).arg(tpl.name));
                continue;
            }
            const NvState nv = db.nvState(device.id, key);
            const valuetypes::Type *type = valuetypes::find(nv.typeName);
            const int size = type ? type->size() : tpl.nvs[key].size;
            if (nv.value.size() != size)
                problems->append(QStringLiteral("device \"%1\": NV %2 has %3 bytes, %4 expected")
                                     .arg(device.name, tpl.nvs[key].name).arg(nv.value.size()).arg(size));
        }
    }
}

// The command-module object the plug-in works on: the first LonMark object after the node object.
lns::LonMarkObjectPtr commandModule(const lns::AppDevicePtr &device)
{
    const auto lmos = device->lonMarkObjects();
    return lmos->count() >= 2 ? lmos->item(2) : lns::LonMarkObjectPtr();
}

QString checkCp(const IniFile &ini, const QString &tpl, const lns::AppDevicePtr &device, const CpExpectation &e)
{
    const QString key = QString::fromLatin1(e.iniName);
    if (ini.GetTemplateValue(key, product::CpSection, tpl).isEmpty())
        return {}; // the template does not have it
    lns::ConfigPropertyPtr cp;
    try {
        if (e.deviceCp) {
            const int c = ini.GetEntryField(key, product::CpSection, tpl, 1);
            const int o = ini.GetEntryField(key, product::CpSection, tpl, 2);
            const int n = ini.GetEntryField(key, product::CpSection, tpl, 3);
            if (o > 0) {
                const auto lmo = device->lonMarkObjects()->item(o);
                cp = (n > 0 ? lmo->networkVariables()->item(n)->configProperties() : lmo->configProperties())->item(c);
            } else {
                cp = (n > 0 ? device->networkVariables()->item(n)->configProperties() : device->configProperties())->item(c);
            }
        } else {
            const auto lmo = commandModule(device);
            if (!lmo)
                return QStringLiteral("%1: the device has no command-module object").arg(key);
            const int c = ini.GetCpIndex(key, product::CpSection, tpl);
            const int n = ini.GetEntryField(key, product::CpSection, tpl, 2);
            cp = (n > 0 ? lmo->networkVariables()->item(n)->configProperties() : lmo->configProperties())->item(c);
        }
    } catch (const TqmError &error) {
        return QStringLiteral("%1: %2").arg(key, error.description());
    }
    const int length = cp->elementLength() * cp->dimension();
    if (length != e.length)
        return QStringLiteral("%1 resolves to %2 with %3 bytes, %4 expected").arg(key, cp->name()).arg(length).arg(e.length);
    return {};
}

QString checkNv(const IniFile &ini, const QString &tpl, const lns::AppDevicePtr &device, const QString &key)
{
    if (ini.GetTemplateValue(key, product::NvSection, tpl).isEmpty())
        return QStringLiteral("%1: no entry").arg(key);
    try {
        const int index = ini.GetEntryField(key, product::NvSection, tpl, 1);
        const int lmoIndex = ini.GetEntryField(key, product::NvSection, tpl, 2);
        const auto viaDevice = (lmoIndex > 0 ? device->lonMarkObjects()->item(lmoIndex)->networkVariables()
                                             : device->networkVariables())->item(index);
        const auto viaObject = commandModule(device)->networkVariables()->item(index);
        if (viaDevice->name() != viaObject->name())
            return QStringLiteral("%1: the device look-up finds %2, the object look-up %3")
                .arg(key, viaDevice->name(), viaObject->name());
    } catch (const TqmError &error) {
        return QStringLiteral("%1: %2").arg(key, error.description());
    }
    return {};
}

void checkIni(const QString &home, const QString &networkName, const QString &iniPath, QStringList *problems)
{
    const IniFile ini(iniPath.isEmpty() ? QStringLiteral(":/TqmCmdModule.ini") : iniPath);
    for (const QString &p : ini.problems())
        problems->append(QStringLiteral("INI file: ") + p);
    auto server = EmbeddedObjectServer::create(home);
    server->setReadOnly(true);
    server->open(lns::ConnectionMode::Local);
    const auto system = server->network(networkName)->systems()->item(1);
    QList<lns::SubsystemPtr> pending = system->subsystems()->items();
    QSet<QString> checkedTemplates;
    while (!pending.isEmpty()) {
        const lns::SubsystemPtr subsystem = pending.takeFirst();
        pending += subsystem->subsystems()->items();
        for (const lns::AppDevicePtr &device : subsystem->appDevices()->items()) {
            const QString tpl = device->deviceTemplate()->name();
            // Devices of one template share the interface: one of them answers for all.
            if (!ini.ListsTemplate(tpl) || checkedTemplates.contains(tpl))
                continue;
            checkedTemplates.insert(tpl);
            QStringList found;
            for (const CpExpectation &e : CpExpectations)
                found.append(checkCp(ini, tpl, device, e));
            for (const char *nv : NvNames)
                found.append(checkNv(ini, tpl, device, QString::fromLatin1(nv)));
            for (const QString &f : found)
                if (!f.isEmpty())
                    problems->append(QStringLiteral("template %1 (device \"%2\"): %3").arg(tpl, device->name(), f));
        }
    }
}

} // namespace

bool fetchedThroughDevice(const QString &iniName)
{
    return std::any_of(std::begin(CpExpectations), std::end(CpExpectations), [&](const CpExpectation &e) {
        return e.deviceCp && iniName.compare(QLatin1String(e.iniName), Qt::CaseInsensitive) == 0;
    });
}

QStringList plugInCpNames()
{
    QStringList names;
    for (const CpExpectation &e : CpExpectations)
        names.append(QString::fromLatin1(e.iniName));
    return names;
}

QStringList checkNetwork(const QString &home, const QString &networkName, const QString &iniPath)
{
    QStringList problems;
    {
        const QString path = networkFilePath(home, networkName);
        if (!QFileInfo::exists(path))
            throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("CheckNetwork"),
                           QStringLiteral("There is no network \"%1\" (%2).").arg(networkName, path));
        auto readOnly = std::make_shared<ServerState>();
        readOnly->readOnly = true;
        NetDb db(path, networkName, readOnly);
        checkModel(db, &problems);
    }
    checkIni(home, networkName, iniPath, &problems);
    return problems;
}

} // namespace embedded
