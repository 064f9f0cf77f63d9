#include "lns/embedded/objects.h"

#include "lns/embedded/valuetypes.h"
#include "lns/rawtext.h"

namespace embedded {

namespace {

QString cpSource() { return QStringLiteral("ConfigProperty"); }
QString nvSource() { return QStringLiteral("NetworkVariable"); }

QStringList cpNames(const DeviceTemplateDef &tpl, const QList<int> &keys)
{
    QStringList names;
    for (int key : keys)
        names.append(tpl.cps[key].name);
    return names;
}

QStringList nvNames(const DeviceTemplateDef &tpl, const QList<int> &keys)
{
    QStringList names;
    for (int key : keys)
        names.append(tpl.nvs[key].name);
    return names;
}

std::shared_ptr<lns::ConfigProperties> cpCollection(lns::ObjectPtr owner, const DeviceHandle &device,
                                                    const QList<int> &keys)
{
    auto db = device.dbPtr();
    const qint64 deviceId = device.deviceId();
    return std::make_shared<ListCollection<lns::ConfigProperty>>(
        std::move(owner), cpNames(device.tpl(), keys), [db, deviceId, keys](int position, const lns::ObjectPtr &self) {
            return std::make_shared<ConfigPropertyImpl>(self, db, deviceId, keys[position]);
        });
}

std::shared_ptr<lns::NetworkVariables> nvCollection(lns::ObjectPtr owner, const DeviceHandle &device,
                                                    const QList<int> &keys)
{
    auto db = device.dbPtr();
    const qint64 deviceId = device.deviceId();
    return std::make_shared<ListCollection<lns::NetworkVariable>>(
        std::move(owner), nvNames(device.tpl(), keys), [db, deviceId, keys](int position, const lns::ObjectPtr &self) {
            return std::make_shared<NetworkVariableImpl>(self, db, deviceId, keys[position]);
        });
}

using SubsystemRows = RowCollection<lns::Subsystem>;
using DeviceRows = RowCollection<lns::AppDevice>;

QList<CollectionRow> toRows(const QList<QVariantList> &found)
{
    QList<CollectionRow> rows;
    for (const QVariantList &row : found)
        rows.append({row[0].toLongLong(), row[1].toString()});
    return rows;
}

// The subsystems below `parentId` (0: the system's own).
std::shared_ptr<lns::Subsystems> subsystemCollection(lns::ObjectPtr owner, const std::shared_ptr<NetDb> &db, qint64 parentId)
{
    return std::make_shared<SubsystemRows>(
        std::move(owner),
        [db, parentId] {
            return toRows(parentId == 0
                              ? db->rows(QStringLiteral(
                                    "SELECT id, name FROM subsystems WHERE parent_id IS NULL ORDER BY position, id"))
                              : db->rows(QStringLiteral(
                                             "SELECT id, name FROM subsystems WHERE parent_id = ? ORDER BY position, id"),
                                         {parentId}));
        },
        [db](const SubsystemRows::Row &row, const lns::ObjectPtr &self) {
            return std::make_shared<SubsystemImpl>(self, db, row.id, row.name);
        });
}

std::shared_ptr<lns::AppDevices> deviceCollection(lns::ObjectPtr owner, const std::shared_ptr<NetDb> &db, qint64 subsystemId)
{
    return std::make_shared<DeviceRows>(
        std::move(owner),
        [db, subsystemId] {
            // The rows the devices' own look-ups would read one by one come with the list.
            QList<CollectionRow> rows;
            for (const QVariantList &row :
                 db->rows(QStringLiteral("SELECT id, name, template_id FROM devices WHERE subsystem_id = ? "
                                         "ORDER BY position, id"),
                          {subsystemId})) {
                const qint64 id = row[0].toLongLong();
                rows.append({id, db->rememberDeviceRow(id, row[1].toString(), subsystemId, row[2].toLongLong()).name});
            }
            return rows;
        },
        [db](const DeviceRows::Row &row, const lns::ObjectPtr &self) {
            return std::make_shared<AppDeviceImpl>(self, db, row.id);
        });
}

// Text of one value in a format: RAW text of all bytes, or element texts joined by ", ".
QString formatCp(const QString &format, const QByteArray &bytes, int elementLength, int dimension)
{
    if (!valuetypes::formatFits(format, elementLength) || format == lns::RawFormat)
        return rawtext::format(bytes);
    QStringList elements;
    for (int i = 0; i < dimension; ++i)
        elements.append(valuetypes::format(format, bytes.mid(i * elementLength, elementLength)));
    return elements.join(QStringLiteral(", "));
}

QByteArray parseCp(const QString &format, const QString &text, int elementLength, int dimension)
{
    if (!valuetypes::formatFits(format, elementLength) || format == lns::RawFormat)
        return valuetypes::parse(lns::RawFormat, text, elementLength * dimension);
    const QStringList elements = text.split(QLatin1Char(','));
    if (elements.size() != dimension)
        throw TqmError(TqmError::LnsInvalidValue, cpSource(),
                       QStringLiteral("The value \"%1\" needs %2 elements separated by \",\".").arg(text).arg(dimension));
    QByteArray bytes;
    for (const QString &element : elements)
        bytes += valuetypes::parse(format, element.trimmed(), elementLength);
    return bytes;
}

void checkFormat(const QString &format, const QString &ownType, int size, const QString &source)
{
    if (format == ownType || valuetypes::formatFits(format, size))
        return;
    throw TqmError(TqmError::LnsInvalidValue, source,
                   QStringLiteral("The format \"%1\" does not fit a value of type %2.").arg(format, ownType));
}

} // namespace

// ---- Network, System, Subsystem ----

std::shared_ptr<lns::Systems> NetworkImpl::systems() const
{
    auto db = m_db;
    return std::make_shared<ListCollection<lns::System>>(
        std::const_pointer_cast<lns::Object>(shared_from_this()), QStringList{m_db->networkName()},
        [db](int, const lns::ObjectPtr &self) { return std::make_shared<SystemImpl>(self, db); });
}

bool NetworkImpl::registerPlugInCommand(const lns::PlugInCommandRegistration &r)
{
    m_db->exec(QStringLiteral("INSERT OR REPLACE INTO plugin_commands(registration_number, command_name, command_id,"
                              " class_id, description, manufacturer_id, class_name, project_name, version,"
                              " device_template) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
               {r.registrationNumber, r.commandName, r.commandId, r.classId, r.description, r.manufacturerId,
                r.className, r.projectName, r.version, r.deviceTemplate});
    return true;
}

QList<lns::PlugInCommandRegistration> NetworkImpl::registeredPlugInCommands() const
{
    QList<lns::PlugInCommandRegistration> list;
    const auto found = m_db->rows(QStringLiteral(
        "SELECT registration_number, command_name, command_id, class_id, description, manufacturer_id, class_name,"
        " project_name, version, device_template FROM plugin_commands ORDER BY id"));
    for (const QVariantList &row : found) {
        lns::PlugInCommandRegistration r;
        r.registrationNumber = row[0].toInt();
        r.commandName = row[1].toString();
        r.commandId = row[2].toInt();
        r.classId = qint16(row[3].toInt());
        r.description = row[4].toString();
        r.manufacturerId = row[5].toString();
        r.className = row[6].toString();
        r.projectName = row[7].toString();
        r.version = row[8].toString();
        r.deviceTemplate = row[9].toString();
        list.append(r);
    }
    return list;
}

std::shared_ptr<lns::Subsystems> SystemImpl::subsystems() const
{
    return subsystemCollection(std::const_pointer_cast<lns::Object>(shared_from_this()), m_db, 0);
}

void SystemImpl::openSeries(int)
{
    ++m_openSeries;
}

void SystemImpl::closeSeries()
{
    if (m_openSeries == 0)
        throw TqmError(TqmError::LnsInvalidOperation, QStringLiteral("System"), QStringLiteral("No series is open."));
    --m_openSeries;
}

void SystemImpl::prepareMonitoring(int)
{
    // Monitoring needs nothing prepared beyond an open network.
    m_db->scalar(QStringLiteral("SELECT 1"));
}

QString SubsystemImpl::path() const
{
    return m_db->subsystem(m_id).path;
}

std::shared_ptr<lns::AppDevices> SubsystemImpl::appDevices() const
{
    return deviceCollection(std::const_pointer_cast<lns::Object>(shared_from_this()), m_db, m_id);
}

std::shared_ptr<lns::Subsystems> SubsystemImpl::subsystems() const
{
    return subsystemCollection(std::const_pointer_cast<lns::Object>(shared_from_this()), m_db, m_id);
}

lns::SubsystemPtr subsystemHandle(const lns::ObjectPtr &system, const std::shared_ptr<NetDb> &db, qint64 subsystemId)
{
    lns::ObjectPtr owner = system;
    lns::SubsystemPtr subsystem;
    for (const SubsystemInfo &level : db->subsystemChain(subsystemId)) {
        const auto siblings = subsystemCollection(owner, db, level.parentId);
        subsystem = std::make_shared<SubsystemImpl>(siblings, db, level.id, level.name);
        owner = subsystem;
    }
    return subsystem;
}

lns::AppDevicePtr deviceHandle(const lns::SubsystemPtr &subsystem, const std::shared_ptr<NetDb> &db, qint64 deviceId)
{
    const qint64 subsystemId = db->device(deviceId).subsystemId;
    return std::make_shared<AppDeviceImpl>(deviceCollection(subsystem, db, subsystemId), db, deviceId);
}

// ---- AppDevice ----

lns::DeviceTemplatePtr AppDeviceImpl::deviceTemplate() const
{
    return std::make_shared<DeviceTemplateImpl>(std::const_pointer_cast<lns::Object>(shared_from_this()), info().tpl);
}

std::shared_ptr<lns::NetworkVariables> AppDeviceImpl::networkVariables() const
{
    return nvCollection(std::const_pointer_cast<lns::Object>(shared_from_this()), *this, tpl().deviceNvKeys);
}

std::shared_ptr<lns::LonMarkObjects> AppDeviceImpl::lonMarkObjects() const
{
    QStringList names;
    for (const LmoDef &lmo : tpl().lmos)
        names.append(lmo.name);
    auto db = dbPtr();
    const qint64 id = deviceId();
    return std::make_shared<ListCollection<lns::LonMarkObject>>(
        std::const_pointer_cast<lns::Object>(shared_from_this()), names,
        [db, id](int position, const lns::ObjectPtr &self) {
            return std::make_shared<LonMarkObjectImpl>(self, db, id, position);
        });
}

std::shared_ptr<lns::ConfigProperties> AppDeviceImpl::configProperties() const
{
    return cpCollection(std::const_pointer_cast<lns::Object>(shared_from_this()), *this, tpl().deviceCpKeys);
}

std::shared_ptr<lns::Subsystems> AppDeviceImpl::subsystems() const
{
    const SubsystemInfo &home = db().subsystem(db().deviceRow(deviceId()).subsystemId);
    auto dbp = dbPtr();
    const SubsystemRows::Row row{home.id, home.name};
    return std::make_shared<SubsystemRows>(
        std::const_pointer_cast<lns::Object>(shared_from_this()), [row] { return QList<SubsystemRows::Row>{row}; },
        [dbp](const SubsystemRows::Row &r, const lns::ObjectPtr &self) {
            return std::make_shared<SubsystemImpl>(self, dbp, r.id, r.name);
        });
}

void AppDeviceImpl::deviceTest(int)
{
    db().requireOnline(deviceId(), QStringLiteral("AppDevice"));
    db().linkOf(deviceId()).test();
    ++db().counts(deviceId()).deviceTests;
}

void AppDeviceImpl::calibrationTrigger()
{
    db().requireOnline(deviceId(), QStringLiteral("AppDevice"));
    db().linkOf(deviceId()).calibrationTrigger();
    db().exec(QStringLiteral("INSERT INTO calibration_triggers(device_id, at) VALUES(?, ?)"),
              {deviceId(), db().now().toString(Qt::ISODateWithMs)});
    ++db().counts(deviceId()).calibrationTriggers;
}

lns::AppDevice::KnobCalibration AppDeviceImpl::knobCalibration() const
{
    db().requireOnline(deviceId(), QStringLiteral("AppDevice"));
    return db().linkOf(deviceId()).knobCalibration();
}

float AppDeviceImpl::applicationVersion() const
{
    db().requireOnline(deviceId(), QStringLiteral("AppDevice"));
    const auto self = std::static_pointer_cast<const AppDeviceImpl>(shared_from_this());
    return float(EmbeddedObjectServer::configuredApplicationVersion(std::const_pointer_cast<AppDeviceImpl>(self)));
}

// A simulated device has a Neuron ID of its own, the same for the life of its database row.
QString AppDeviceImpl::neuronId() const
{
    return QStringLiteral("05%1").arg(deviceId(), 10, 16, QLatin1Char('0')).toUpper();
}

// ---- LonMark object ----

std::shared_ptr<lns::ConfigProperties> LonMarkObjectImpl::configProperties() const
{
    if (auto shared = m_configProperties.lock())
        return shared;
    auto made = cpCollection(std::const_pointer_cast<lns::Object>(shared_from_this()), *this, tpl().lmos[m_position].cpKeys);
    m_configProperties = made;
    return made;
}

std::shared_ptr<lns::NetworkVariables> LonMarkObjectImpl::networkVariables() const
{
    return nvCollection(std::const_pointer_cast<lns::Object>(shared_from_this()), *this, tpl().lmos[m_position].nvKeys);
}

std::shared_ptr<lns::ExtensionRecords> LonMarkObjectImpl::extensions() const
{
    return std::make_shared<ExtensionRecordsImpl>(std::const_pointer_cast<lns::Object>(shared_from_this()), dbPtr(),
                                                  deviceId(), m_position);
}

lns::AppDevicePtr LonMarkObjectImpl::appDevice() const
{
    return std::dynamic_pointer_cast<lns::AppDevice>(m_parent->parent());
}

// ---- Configuration property ----

QString ConfigPropertyImpl::formatSpec() const
{
    const QString session = db().cpFormat(deviceId(), m_key);
    return session.isEmpty() ? def().typeName : session;
}

void ConfigPropertyImpl::setFormatSpec(const QString &format)
{
    checkFormat(format, def().typeName, def().elementLength, cpSource());
    db().setCpFormat(deviceId(), m_key, format == def().typeName ? QString() : format);
}

QString ConfigPropertyImpl::value() const
{
    ++db().counts(deviceId()).cpReads;
    return formatCp(formatSpec(), db().cpValue(deviceId(), m_key), def().elementLength, def().dimension);
}

void ConfigPropertyImpl::setValue(const QString &text)
{
    write(parseCp(formatSpec(), text, def().elementLength, def().dimension));
}

void ConfigPropertyImpl::checkElement(int index) const
{
    if (index < 0 || index >= def().dimension)
        throw TqmError(TqmError::LnsObjectNotFound, cpSource(),
                       QStringLiteral("Element %1 of %2 does not exist (0 to %3).")
                           .arg(index)
                           .arg(def().name)
                           .arg(def().dimension - 1));
}

QString ConfigPropertyImpl::elementValue(int index) const
{
    checkElement(index);
    ++db().counts(deviceId()).cpReads;
    const QByteArray element = db().cpValue(deviceId(), m_key).mid(index * def().elementLength, def().elementLength);
    return formatCp(formatSpec(), element, def().elementLength, 1);
}

void ConfigPropertyImpl::setElementValue(int index, const QString &text)
{
    checkElement(index);
    const QByteArray element = parseCp(formatSpec(), text, def().elementLength, 1);
    QByteArray bytes = db().cpValue(deviceId(), m_key);
    bytes.replace(index * def().elementLength, def().elementLength, element);
    write(bytes);
}

void ConfigPropertyImpl::write(const QByteArray &bytes)
{
    db().requireOnline(deviceId(), cpSource());
    db().setCpValue(deviceId(), m_key, bytes);
    ++db().counts(deviceId()).cpWrites;
}

// ---- Network variable ----

QByteArray NetworkVariableImpl::readBytes() const
{
    db().requireOnline(deviceId(), nvSource());
    ++db().counts(deviceId()).nvReads;
    return db().nvValue(deviceId(), m_key);
}

void NetworkVariableImpl::writeBytes(const QByteArray &bytes)
{
    db().requireOnline(deviceId(), nvSource());
    db().setNvValue(deviceId(), m_key, bytes);
    ++db().counts(deviceId()).nvWrites;
}

QString NetworkVariableImpl::value() const
{
    const QByteArray bytes = readBytes();
    return valuetypes::format(formatSpec(), bytes);
}

void NetworkVariableImpl::setValue(const QString &text)
{
    const NvState now = db().nvState(deviceId(), m_key);
    writeBytes(valuetypes::parse(formatSpec(), text, int(now.value.size())));
}

int NetworkVariableImpl::typeIndex() const
{
    const valuetypes::Type *type = valuetypes::find(typeName());
    return type ? type->key : 0;
}

lns::DataPointPtr NetworkVariableImpl::dataPoint(const QString &fieldName) const
{
    const QString type = typeName();
    const valuetypes::Type *t = valuetypes::find(type);
    const int field = t ? t->fieldIndex(fieldName) : -1;
    if (field < 0)
        throw TqmError(TqmError::LnsObjectNotFound, nvSource(),
                       QStringLiteral("The type %1 of %2 has no field \"%3\".").arg(type, name(), fieldName));
    auto self = std::static_pointer_cast<NetworkVariableImpl>(
        std::const_pointer_cast<lns::Object>(shared_from_this()));
    return std::make_shared<DataPointImpl>(self, field, type);
}

std::shared_ptr<lns::ConfigProperties> NetworkVariableImpl::configProperties() const
{
    return cpCollection(std::const_pointer_cast<lns::Object>(shared_from_this()), *this, def().cpKeys);
}

void NetworkVariableImpl::setMonitorTag(int tag)
{
    change([tag](NvSession &s) { s.monitorTag = tag; });
}

void NetworkVariableImpl::setPollInterval(int interval)
{
    if (interval < 0)
        throw TqmError(TqmError::LnsInvalidValue, nvSource(),
                       QStringLiteral("The poll interval %1 of %2 is negative.").arg(interval).arg(name()));
    change([interval](NvSession &s) { s.pollInterval = interval; });
}

QString NetworkVariableImpl::formatSpec() const
{
    const QString format = session().format;
    return format.isEmpty() ? typeName() : format;
}

void NetworkVariableImpl::setFormatSpec(const QString &format)
{
    const NvState now = db().nvState(deviceId(), m_key);
    checkFormat(format, now.typeName, int(now.value.size()), nvSource());
    change([format](NvSession &s) { s.format = format; });
}

lns::NetworkVariable::MonitorPath NetworkVariableImpl::monitorPath() const
{
    const auto &monitors = db().state().monitors;
    return monitors ? monitors->pathOf(&db(), deviceId(), m_key) : MonitorPath::None;
}

// ---- Data point ----

QString DataPointImpl::name() const
{
    return valuetypes::find(m_typeName)->fields[m_fieldIndex].name;
}

QString DataPointImpl::value() const
{
    const valuetypes::Type &type = *valuetypes::find(m_typeName);
    return valuetypes::formatField(type, m_fieldIndex, m_nv->readBytes());
}

void DataPointImpl::setValue(const QString &text)
{
    const valuetypes::Type &type = *valuetypes::find(m_typeName);
    QByteArray bytes = m_nv->readBytes();
    valuetypes::parseField(type, m_fieldIndex, text, &bytes);
    m_nv->writeBytes(bytes);
}

// ---- Extension records ----

QList<QVariantList> ExtensionRecordsImpl::records() const
{
    return m_db->rows(
        QStringLiteral("SELECT id, name FROM extension_records WHERE device_id = ? AND lmo_position = ? ORDER BY id"),
        {m_deviceId, m_lmoPosition});
}

lns::ExtensionRecordPtr ExtensionRecordsImpl::make(qint64 id, const QString &name) const
{
    return std::make_shared<ExtensionRecordImpl>(std::const_pointer_cast<lns::Object>(shared_from_this()), m_db, id,
                                                 name);
}

int ExtensionRecordsImpl::count() const
{
    return int(records().size());
}

lns::ExtensionRecordPtr ExtensionRecordsImpl::item(int index) const
{
    const auto all = records();
    if (index < 1 || index > all.size())
        throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("ExtensionRecords"),
                       QStringLiteral("Index %1 is outside 1 to %2.").arg(index).arg(all.size()));
    return make(all[index - 1][0].toLongLong(), all[index - 1][1].toString());
}

lns::ExtensionRecordPtr ExtensionRecordsImpl::item(const QString &name) const
{
    const QVariant id = m_db->scalar(
        QStringLiteral("SELECT id FROM extension_records WHERE device_id = ? AND lmo_position = ? AND name = ?"),
        {m_deviceId, m_lmoPosition, name});
    if (!id.isValid())
        throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("ExtensionRecords"),
                       QStringLiteral("There is no extension record \"%1\".").arg(name));
    return make(id.toLongLong(), name);
}

bool ExtensionRecordsImpl::contains(const QString &name) const
{
    return m_db
        ->scalar(QStringLiteral("SELECT id FROM extension_records WHERE device_id = ? AND lmo_position = ? AND name = ?"),
                 {m_deviceId, m_lmoPosition, name})
        .isValid();
}

lns::ExtensionRecordPtr ExtensionRecordsImpl::add(const QString &name)
{
    m_db->exec(QStringLiteral("INSERT OR IGNORE INTO extension_records(device_id, lmo_position, name) VALUES(?, ?, ?)"),
               {m_deviceId, m_lmoPosition, name});
    return item(name);
}

int ExtensionRecordImpl::fieldCount() const
{
    return m_db->scalar(QStringLiteral("SELECT COALESCE(MAX(number), 0) FROM extension_fields WHERE record_id = ?"), {m_id})
        .toInt();
}

QString ExtensionRecordImpl::field(int number) const
{
    const QVariant value = m_db->scalar(
        QStringLiteral("SELECT value FROM extension_fields WHERE record_id = ? AND number = ?"), {m_id, number});
    if (!value.isValid())
        throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("ExtensionRecord"),
                       QStringLiteral("Extension record \"%1\" has no field %2.").arg(m_name).arg(number));
    return value.toString();
}

void ExtensionRecordImpl::setField(int number, const QString &value)
{
    if (number < 1)
        throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("ExtensionRecord"),
                       QStringLiteral("Field numbers start at 1 (asked for %1).").arg(number));
    for (int missing = fieldCount() + 1; missing < number; ++missing)
        m_db->exec(QStringLiteral("INSERT INTO extension_fields(record_id, number, value) VALUES(?, ?, '')"),
                   {m_id, missing});
    m_db->exec(QStringLiteral("INSERT OR REPLACE INTO extension_fields(record_id, number, value) VALUES(?, ?, ?)"),
               {m_id, number, value});
}

// ---- NV-type utility ----

lns::NvTypeUtility::Result NvTypeUtilityImpl::changeType(const lns::NetworkVariablePtr &nv, int typeIndex,
                                                         const QString &, int)
{
    Result result;
    result.networkVariable = nv;
    auto impl = std::dynamic_pointer_cast<NetworkVariableImpl>(nv);
    const valuetypes::Type *type = valuetypes::findByKey(typeIndex);
    if (!impl) {
        result.errorText = QStringLiteral("The network variable does not belong to this object server.");
    } else if (!impl->changeableType()) {
        result.errorText = QStringLiteral("The type of %1 cannot be changed.").arg(impl->name());
    } else if (!type) {
        result.errorText = QStringLiteral("The type %1 is not a known network-variable type.").arg(typeIndex);
    } else {
        try {
            impl->db().changeNvType(impl->deviceId(), impl->key(), type->name,
                                    type->defaultValue.isEmpty() ? QByteArray(type->size(), '\0') : type->defaultValue);
            result.success = true;
        } catch (const TqmError &e) {
            result.errorText = e.description();
        }
    }
    return result;
}

lns::NvTypeUtility::Result NvTypeUtilityImpl::checkType(const lns::NetworkVariablePtr &nv, int typeIndex,
                                                        const QString &, int)
{
    Result result;
    result.networkVariable = nv;
    if (!valuetypes::findByKey(typeIndex))
        result.errorText = QStringLiteral("The type %1 is not a known network-variable type.").arg(typeIndex);
    else if (nv->typeIndex() != typeIndex)
        result.errorText = QStringLiteral("%1 has type %2, not %3.").arg(nv->name()).arg(nv->typeIndex()).arg(typeIndex);
    else
        result.success = true;
    return result;
}

} // namespace embedded
