// Creating network databases: from a JSON description, and the demo network.

#include "lns/embedded/embeddedobjectserver.h"
#include "lns/embedded/netdb.h"
#include "lns/inifile.h"
#include "lns/objectname.h"
#include "lns/rawtext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QUuid>
#include <cstdio>

namespace embedded {

namespace {

const QString Source = QStringLiteral("CreateNetwork");

TqmError descriptionError(const QString &network, const QString &what)
{
    return TqmError(TqmError::LnsInvalidValue, Source, QStringLiteral("Network \"%1\": %2").arg(network, what));
}

// Inserts with statements prepared once, all inside one transaction.
class Writer
{
public:
    Writer(sqlite::Connection &db, QString network) : m_db(db), m_network(std::move(network)) {}

    qint64 insert(const QString &sql, const QVariantList &binds)
    {
        m_db.exec(sql, binds);
        return m_db.lastInsertId();
    }

    qint64 templateId(const QJsonValue &value, const QString &deviceName)
    {
        DeviceTemplateDefPtr def;
        if (value.isObject())
            def = DeviceTemplateDef::fromJson(value.toObject());
        else if (value.isString())
            def = m_defsByName.contains(value.toString()) ? m_defsByName.value(value.toString())
                                                           : DeviceTemplateDef::builtIn(value.toString());
        else
            throw descriptionError(m_network, QStringLiteral("device \"%1\" has no \"template\".").arg(deviceName));
        if (const auto it = m_templateIds.constFind(def->name); it != m_templateIds.constEnd())
            return *it;
        const qint64 id = insert(QStringLiteral("INSERT INTO templates(name, definition) VALUES(?, ?)"),
                                 {def->name, QJsonDocument(def->json).toJson(QJsonDocument::Compact)});
        m_templateIds.insert(def->name, id);
        m_defsByName.insert(def->name, def);
        m_defs.insert(id, def);
        return id;
    }

    qint64 subsystemId(const QString &path)
    {
        qint64 parent = 0;
        QString soFar;
        for (const QString &level : path.split(QLatin1Char('/'))) {
            if (level.trimmed().isEmpty())
                throw descriptionError(m_network, QStringLiteral("subsystem path \"%1\" has an empty level.").arg(path));
            soFar += QLatin1Char('/') + objectname::escapePart(level);
            if (const auto it = m_subsystems.constFind(soFar); it != m_subsystems.constEnd()) {
                parent = *it;
                continue;
            }
            const int position = m_childCount[parent]++;
            parent = insert(QStringLiteral("INSERT INTO subsystems(parent_id, name, position) VALUES(?, ?, ?)"),
                            {parent == 0 ? QVariant(QMetaType(QMetaType::LongLong)) : QVariant(parent), level, position});
            m_subsystems.insert(soFar, parent);
            insert(QStringLiteral("INSERT INTO subsystem_index(path, subsystem_id) VALUES(?, ?)"), {soFar.mid(1), parent});
        }
        return parent;
    }

    void addDevice(qint64 subsystem, int position, const QJsonObject &json)
    {
        const QString name = json.value("name").toString();
        if (name.isEmpty())
            throw descriptionError(m_network, QStringLiteral("a device has no \"name\"."));
        const qint64 tplId = templateId(json.value("template"), name);
        const DeviceTemplateDef &tpl = *m_defs.value(tplId);
        const QVariant version = json.contains("applicationVersion") ? QVariant(json.value("applicationVersion").toDouble())
                                                                     : QVariant(QMetaType(QMetaType::Double));
        const qint64 id = insert(QStringLiteral("INSERT INTO devices(subsystem_id, name, template_id, online,"
                                                " application_version, position) VALUES(?, ?, ?, ?, ?, ?)"),
                                 {subsystem, name, tplId, json.value("online").toBool(true) ? 1 : 0, version, position});
        QList<QByteArray> cps;
        for (const CpDef &cp : tpl.cps)
            cps.append(cp.defaultValue);
        QList<QByteArray> nvs;
        for (const NvDef &nv : tpl.nvs)
            nvs.append(nv.defaultValue);
        applyValues(json.value("cpValues").toObject(), name, tpl, true, &cps);
        applyValues(json.value("nvValues").toObject(), name, tpl, false, &nvs);
        for (int key = 0; key < cps.size(); ++key)
            insert(QStringLiteral("INSERT INTO cp_values(device_id, cp_key, value) VALUES(?, ?, ?)"), {id, key, cps[key]});
        for (int key = 0; key < nvs.size(); ++key)
            insert(QStringLiteral("INSERT INTO nv_values(device_id, nv_key, value) VALUES(?, ?, ?)"), {id, key, nvs[key]});
        if (json.value("simulated").toBool())
            insert(QStringLiteral("INSERT INTO sim_devices(device_id, room) VALUES(?, ?)"),
                   {id, QJsonDocument(cmsim::RoomState().toJson()).toJson(QJsonDocument::Compact)});
    }

private:
    // "<cp>" (device CP), "<lmo index>/<cp>", "<lmo index>/<nv>/<cp>"; NVs: "<lmo index>/<nv>" or "<nv>".
    int resolveKey(const QString &path, const DeviceTemplateDef &tpl, bool cp) const
    {
        const QStringList parts = path.split(QLatin1Char('/'));
        QList<int> candidates;
        if (parts.size() == 1) {
            candidates = cp ? tpl.deviceCpKeys : tpl.deviceNvKeys;
        } else {
            bool ok = false;
            const int lmo = parts[0].toInt(&ok);
            if (!ok || lmo < 0 || lmo >= tpl.lmos.size())
                return -1;
            candidates = cp ? tpl.lmos[lmo].cpKeys : tpl.lmos[lmo].nvKeys;
            if (cp && parts.size() == 3) {
                const int nv = [&] {
                    for (int k : tpl.lmos[lmo].nvKeys)
                        if (tpl.nvs[k].name == parts[1])
                            return k;
                    return -1;
                }();
                candidates = nv < 0 ? QList<int>() : tpl.nvs[nv].cpKeys;
            } else if (parts.size() != 2) {
                return -1;
            }
        }
        for (int key : candidates)
            if ((cp ? tpl.cps[key].name : tpl.nvs[key].name) == parts.last())
                return key;
        return -1;
    }

    void applyValues(const QJsonObject &values, const QString &device, const DeviceTemplateDef &tpl, bool cp,
                     QList<QByteArray> *bytes) const
    {
        for (auto it = values.begin(); it != values.end(); ++it) {
            const int key = resolveKey(it.key(), tpl, cp);
            if (key < 0)
                throw descriptionError(m_network, QStringLiteral("device \"%1\" (%2) has no %3 \"%4\".")
                                               .arg(device, tpl.name, cp ? QStringLiteral("configuration property")
                                                                         : QStringLiteral("network variable"),
                                                    it.key()));
            const QByteArray value = rawtext::parse(it.value().toString());
            if (value.size() != (*bytes)[key].size())
                throw descriptionError(m_network, QStringLiteral("value \"%1\" of %2 on device \"%3\" has %4 bytes, %5 expected.")
                                               .arg(it.value().toString(), it.key(), device)
                                               .arg(value.size())
                                               .arg((*bytes)[key].size()));
            (*bytes)[key] = value;
        }
    }

    sqlite::Connection &m_db;
    QString m_network;
    QHash<QString, qint64> m_templateIds;
    QHash<QString, DeviceTemplateDefPtr> m_defsByName;
    QHash<qint64, DeviceTemplateDefPtr> m_defs;
    QHash<QString, qint64> m_subsystems;
    QHash<qint64, int> m_childCount;
};

void buildInto(sqlite::Connection &db, const QJsonObject &description, const QString &network)
{
    NetDb::createSchema(db);
    Writer writer(db, network);
    writer.insert(QStringLiteral("INSERT INTO meta(key, value) VALUES('name', ?)"), {network});
    writer.insert(QStringLiteral("INSERT INTO meta(key, value) VALUES('schema', '1')"), {});
    const QJsonArray subsystems = description.value("subsystems").toArray();
    for (const QJsonValue &s : subsystems) {
        const QJsonObject subsystem = s.toObject();
        const QString path = subsystem.value("path").toString();
        if (path.isEmpty())
            throw descriptionError(network, QStringLiteral("a subsystem has no \"path\"."));
        const qint64 id = writer.subsystemId(path);
        const QJsonArray devices = subsystem.value("devices").toArray();
        for (int i = 0; i < devices.size(); ++i)
            writer.addDevice(id, i, devices[i].toObject());
    }
}

} // namespace

namespace {

// Builds the network in `file`, complete and in the journal mode every connection uses, so that
// opening it later writes nothing.
void buildFile(const QString &file, const QJsonObject &description, const QString &network)
{
    sqlite::Connection db(file, sqlite::OpenMode::ReadWrite, Source);
    db.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
    db.exec(QStringLiteral("BEGIN"));
    try {
        buildInto(db, description, network);
        db.exec(QStringLiteral("COMMIT"));
    } catch (...) {
        try {
            db.exec(QStringLiteral("ROLLBACK"));
        } catch (const TqmError &) {
            // The file is removed all the same.
        }
        throw;
    }
    // Closing the last connection of a WAL database folds the log back in: one file.
    db.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
}

// Empties the write-ahead log of the network being replaced and removes it with its index, so
// that the new file never meets a log that belongs to the old one.
void retireLog(const QString &path)
{
    try {
        sqlite::Connection db(path, sqlite::OpenMode::ReadWrite, Source);
        db.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    } catch (const TqmError &) {
        // What the log held is lost with the old network anyway.
    }
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
}

} // namespace

QString createNetwork(const QString &home, const QJsonObject &description, bool replace)
{
    const QString network = description.value("name").toString();
    if (network.isEmpty())
        throw TqmError(TqmError::LnsInvalidValue, Source, QStringLiteral("The network description has no \"name\"."));
    const QString path = networkFilePath(home, network);
    if (!QDir().mkpath(QFileInfo(path).path()))
        throw TqmError(TqmError::FileAccess, Source, QStringLiteral("Cannot create \"%1\".").arg(QFileInfo(path).path()));
    if (QFileInfo::exists(path) && !replace)
        throw TqmError(TqmError::DuplicateKey, Source,
                       QStringLiteral("The network \"%1\" exists already (%2).").arg(network, path));
    // Built beside the final name and renamed over it when complete: nobody opens half a
    // network, and a network being replaced stays whole until the new one takes its place
    // (a build that is killed leaves only its own file behind).
    const QString building =
        path + QStringLiteral(".building-") + QUuid::createUuid().toString(QUuid::WithoutBraces).left(8);
    try {
        buildFile(building, description, network);
    } catch (...) {
        QFile::remove(building);
        throw;
    }
    if (QFileInfo::exists(path))
        retireLog(path);
    if (std::rename(QFile::encodeName(building).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(building);
        throw TqmError(TqmError::FileAccess, Source, QStringLiteral("Cannot create \"%1\".").arg(path));
    }
    return path;
}

QStringList iniTemplateNames(const QString &iniPath)
{
    const IniFile ini(iniPath.isEmpty() ? QStringLiteral(":/TqmCmdModule.ini") : iniPath);
    QStringList names;
    for (int n = 1; n <= ini.TemplateEntryCount(); ++n)
        names.append(ini.templateEntry(n).deviceTemplate);
    return names;
}

QJsonObject demoNetworkDescription(const QString &networkName, int deviceCount, const QStringList &templates)
{
    constexpr int perFloor = DemoDevicesPerFloor;
    constexpr int floorsPerBuilding = DemoFloorsPerBuilding;
    QJsonArray subsystems;
    for (int floorIndex = 0; floorIndex * perFloor < deviceCount; ++floorIndex) {
        const int buildingIndex = floorIndex / floorsPerBuilding;
        const QString building = buildingIndex < 26 ? QStringLiteral("Building %1").arg(QChar(u'A' + buildingIndex))
                                                     : QStringLiteral("Building %1").arg(buildingIndex + 1);
        QJsonArray devices;
        for (int i = 0; i < perFloor && floorIndex * perFloor + i < deviceCount; ++i) {
            const int n = floorIndex * perFloor + i;
            // Names are unique in the network; the "." exercises object-name escaping.
            devices.append(QJsonObject{
                {"name", QStringLiteral("CM %1.%2").arg(floorIndex + 1).arg(i + 1, 2, 10, QLatin1Char('0'))},
                {"template", templates[n % templates.size()]},
                {"simulated", true},
            });
        }
        subsystems.append(QJsonObject{
            {"path", building + QStringLiteral("/Floor %1").arg(floorIndex % floorsPerBuilding + 1)},
            {"devices", devices}});
    }
    return QJsonObject{{"name", networkName}, {"subsystems", subsystems}};
}

QString createDemoNetwork(const QString &home, const QString &networkName, int deviceCount, const QString &iniPath,
                          bool replace)
{
    const QStringList templates = iniTemplateNames(iniPath);
    if (templates.isEmpty())
        throw TqmError(TqmError::LnsInvalidValue, Source, QStringLiteral("The INI file lists no device templates."));
    return createNetwork(home, demoNetworkDescription(networkName, deviceCount, templates), replace);
}

} // namespace embedded
