#include "host/dbus/applicationservice.h"

#include "applicationadaptor.h"
#include "host/dbus/busnames.h"
#include "host/dbus/propertiesadaptor.h"
#include "lns/desktopseams.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>

namespace {

// The host tool's registration-result object, reached back over the bus. The result is sent
// without waiting for an answer: the host is usually still waiting for its own SendCommand.
class DBusRegResult : public RegResultTarget
{
public:
    DBusRegResult(QDBusConnection connection, QString service, QString path)
        : m_connection(std::move(connection)), m_service(std::move(service)), m_path(std::move(path))
    {
    }
    void setRegResult(int result) override
    {
        QDBusMessage call = QDBusMessage::createMethodCall(m_service, m_path,
                                                           QStringLiteral("org.freedesktop.DBus.Properties"),
                                                           QStringLiteral("Set"));
        call << QStringLiteral("org.velto.veltoTqmCmdModule.RegResult") << QStringLiteral("RegResult")
             << QVariant::fromValue(QDBusVariant(result));
        call.setAutoStartService(false);
        m_connection.send(call);
    }

private:
    QDBusConnection m_connection;
    QString m_service;
    QString m_path;
};

const QString NoObject = QStringLiteral("/");

} // namespace

QString ApplicationService::errorName(const TqmError &error)
{
    return dbusactivation::ServiceName + QStringLiteral(".Error.E")
        + QString::number(quint32(error.number()), 16).toUpper();
}

QString ApplicationService::errorMessage(const TqmError &error)
{
    return QStringLiteral("0x%1 %2: %3")
        .arg(QString::number(quint32(error.number()), 16).toUpper(), error.source(), error.description());
}

QString ApplicationService::refusalErrorName(Refusal::Reason reason)
{
    const auto name = [](const char *why) { return dbusactivation::ServiceName + QStringLiteral(".Error.") + QLatin1String(why); };
    switch (reason) {
    case Refusal::Reason::None:
        break;
    case Refusal::Reason::IniFileMissing:
        return name("IniFileMissing");
    case Refusal::Reason::UnknownCommand:
        return name("UnknownCommand");
    case Refusal::Reason::ServerNotOpened:
        return name("ServerNotOpened");
    case Refusal::Reason::NetworkNotOpened:
        return name("NetworkNotOpened");
    case Refusal::Reason::ObjectNotFound:
        return name("ObjectNotFound");
    case Refusal::Reason::DeviceNotAccessible:
        return name("DeviceNotAccessible");
    case Refusal::Reason::Failed:
        return name("CommandFailed");
    case Refusal::Reason::Ended:
        return name("Ended");
    }
    return {};
}

ApplicationService::ApplicationService(AutomationTarget &target, QObject *parent)
    : QObject(parent), m_target(target)
{
    m_adaptor = new ApplicationAdaptor(this);
    new PropertiesAdaptor(this);
}

ApplicationService::~ApplicationService()
{
    if (m_connection) {
        m_connection->unregisterService(dbusactivation::ServiceName);
        m_connection->unregisterObject(dbusactivation::ObjectPath);
    }
}

bool ApplicationService::publish(QDBusConnection connection, QString *error)
{
    if (!connection.isConnected()) {
        *error = QStringLiteral("no D-Bus session bus: %1").arg(connection.lastError().message());
        return false;
    }
    if (!connection.registerObject(dbusactivation::ObjectPath, this, QDBusConnection::ExportAdaptors)) {
        *error = QStringLiteral("the object %1 cannot be exported: %2")
                     .arg(dbusactivation::ObjectPath, connection.lastError().message());
        return false;
    }
    if (!connection.registerService(dbusactivation::ServiceName)) {
        QDBusConnectionInterface *bus = connection.interface();
        const QString owner = bus ? bus->serviceOwner(dbusactivation::ServiceName).value() : QString();
        if (!owner.isEmpty()) {
            const uint pid = bus->servicePid(dbusactivation::ServiceName).value();
            *error = QStringLiteral("another instance already serves %1 (bus name %2, process %3)")
                         .arg(dbusactivation::ServiceName, owner)
                         .arg(pid);
        } else {
            *error = QStringLiteral("the service name %1 cannot be registered: %2")
                         .arg(dbusactivation::ServiceName, connection.lastError().message());
        }
        connection.unregisterObject(dbusactivation::ObjectPath);
        return false;
    }
    m_connection = connection;
    return true;
}

void ApplicationService::rejectWrite(const QString &name)
{
    m_target.rejectWrite(name);
}

void ApplicationService::noteCaller(const QString &busName)
{
    if (!busName.isEmpty())
        Q_EMIT callerSeen(busName);
}

void ApplicationService::noteCurrentCaller()
{
    if (calledFromDBus())
        noteCaller(message().service());
}

lns::ObjectPtr ApplicationService::resolve(const QString &objectName) const
{
    return m_target.objectByName(objectName);
}

QString ApplicationService::LnsObjectByTool() const
{
    // The object crosses the bus as the name the host gave for it.
    return m_target.LnsObjectByTool() ? m_lnsObjectName : QString();
}

void ApplicationService::setLnsObjectByTool(const QString &objectName)
{
    try {
        const lns::ObjectPtr object = resolve(objectName);
        const lns::LonMarkObjectPtr before = m_target.LnsObjectByTool();
        m_target.setLnsObjectByTool(object);
        if (m_target.LnsObjectByTool() != before || (object && object == before))
            m_lnsObjectName = objectName.trimmed();
    } catch (const TqmError &) {
        // A name that cannot be resolved is an object the plug-in cannot work on: ignored.
    }
}

void ApplicationService::setRegResult(const QDBusObjectPath &path)
{
    const bool none = path.path().isEmpty() || path.path() == NoObject;
    m_regResultPath = QDBusObjectPath(none ? NoObject : path.path());
    if (none || !calledFromDBus()) {
        m_target.setRegResult(nullptr);
        return;
    }
    m_target.setRegResult(std::make_shared<DBusRegResult>(connection(), message().service(), path.path()));
}

void ApplicationService::setLnsServer(const QString &objectName)
{
    m_lnsServerName = objectName;
    try {
        m_target.setLnsServer(resolve(objectName));
    } catch (const TqmError &) {
        // Ignored like LnsObjectByTool.
    }
}

void ApplicationService::SendCommand(int commandId, short classId, const QString &objectName)
{
    noteCurrentCaller();
    const Refusal refusal = m_target.SendCommand(commandId, classId, objectName);
    if (m_target.ended())
        Q_EMIT ended();
    if (calledFromDBus() && refusal.reason != Refusal::Reason::None)
        sendErrorReply(refusalErrorName(refusal.reason), QString(refusal.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void ApplicationService::ClosePlugIn()
{
    noteCurrentCaller();
    m_target.ClosePlugIn();
}
