#include "host/dbus/applicationservice.h"

#include "applicationadaptor.h"
#include "host/dbus/propertiesadaptor.h"
#include "host/registrationwriter.h"
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

ApplicationService::ApplicationService(PlugInHost &host, QObject *parent)
    : QObject(parent), m_host(host), m_application(host)
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
    using Setter = void (Application::*)(const QString &);
    static const QHash<QString, Setter> readOnly{
        {QStringLiteral("LcaVersion"), &Application::setLcaVersion},
        {QStringLiteral("ManufacturerId"), &Application::setManufacturerId},
        {QStringLiteral("ManufacturerName"), &Application::setManufacturerName},
        {QStringLiteral("Name"), &Application::setName},
        {QStringLiteral("Version"), &Application::setVersion},
    };
    const Setter set = readOnly.value(name);
    if (!set)
        throw TqmError(TqmError::ReadOnlyProperty, Application::errorSource(),
                       QStringLiteral("The property %1 cannot be written.").arg(name));
    (m_application.*set)(QString());
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
    lns::ObjectServerPtr server = m_host.session().objectServer;
    if (!server && m_host.environment().objectServerProvider)
        server = m_host.environment().objectServerProvider();
    if (!server)
        return {};
    if (!server->isOpen())
        server->open(m_host.session().connectionMode());
    if (objectName.trimmed().isEmpty())
        return server;
    return server->objectByName(objectName.trimmed());
}

QString ApplicationService::LnsObjectByTool() const
{
    // The object crosses the bus as the name the host gave for it.
    return m_application.LnsObjectByTool() ? m_lnsObjectName : QString();
}

void ApplicationService::setLnsObjectByTool(const QString &objectName)
{
    try {
        const lns::ObjectPtr object = resolve(objectName);
        const lns::LonMarkObjectPtr before = m_application.LnsObjectByTool();
        m_application.setLnsObjectByTool(object);
        if (m_application.LnsObjectByTool() != before || (object && object == before))
            m_lnsObjectName = objectName.trimmed();
    } catch (const TqmError &) {
        // A name that cannot be resolved is an object the plug-in cannot work on: ignored.
    }
}

QString ApplicationService::ProgramIdsToRegister() const
{
    return m_host.session().programIdsToRegister;
}

void ApplicationService::setRegResult(const QDBusObjectPath &path)
{
    const bool none = path.path().isEmpty() || path.path() == NoObject;
    m_regResultPath = QDBusObjectPath(none ? NoObject : path.path());
    if (none || !calledFromDBus()) {
        m_application.setRegResult(nullptr);
        return;
    }
    m_application.setRegResult(std::make_shared<DBusRegResult>(connection(), message().service(), path.path()));
}

void ApplicationService::setLnsServer(const QString &objectName)
{
    m_lnsServerName = objectName;
    try {
        m_application.setLnsServer(resolve(objectName));
    } catch (const TqmError &) {
        // Ignored like LnsObjectByTool.
    }
}

void ApplicationService::SendCommand(int commandId, short classId, const QString &objectName)
{
    noteCurrentCaller();
    const bool aborted = m_host.session().aborted;
    qint32 id = commandId;
    qint16 cls = classId;
    QString name = objectName;
    m_application.SendCommand(id, cls, name);
    if (m_host.ended())
        Q_EMIT ended();
    // While Aborted is set the command does nothing: the plug-in ended with an earlier refusal,
    // unless it never started (its INI file is missing).
    Refusal refusal = m_host.refusal();
    if (aborted && refusal.reason != Refusal::Reason::IniFileMissing)
        refusal = Refusal::ended();
    if (calledFromDBus() && refusal.reason != Refusal::Reason::None)
        sendErrorReply(refusalErrorName(refusal.reason), QString(refusal.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void ApplicationService::ClosePlugIn()
{
    noteCurrentCaller();
    m_application.ClosePlugIn();
}
