#include "host/dbus/applicationservice.h"

#include "applicationadaptor.h"
#include "host/dbus/applicationrouter.h"
#include "host/host.h"
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

ApplicationService::ApplicationService(PlugInHost &host, QObject *parent)
    : QObject(parent), m_host(host), m_application(host)
{
    m_adaptor = new ApplicationAdaptor(this);
}

void ApplicationService::beginCall(const QDBusConnection &connection, const QDBusMessage &message)
{
    m_callConnection = connection;
    m_callMessage = message;
    m_callError.reset();
}

std::optional<TqmError> ApplicationService::endCall()
{
    m_callConnection.reset();
    m_callMessage = QDBusMessage();
    return std::exchange(m_callError, std::nullopt);
}

ApplicationService::~ApplicationService() = default;

bool ApplicationService::publish(QDBusConnection connection, QString *error)
{
    if (!connection.isConnected()) {
        *error = QStringLiteral("no D-Bus session bus: %1").arg(connection.lastError().message());
        return false;
    }
    auto router = std::make_unique<ApplicationRouter>(*this);
    if (!connection.registerVirtualObject(dbusactivation::ObjectPath, router.get())) {
        *error = QStringLiteral("the object %1 cannot be exported: %2")
                     .arg(dbusactivation::ObjectPath, connection.lastError().message());
        return false;
    }
    if (!connection.registerService(dbusactivation::ServiceName)) {
        *error = QStringLiteral("the service name %1 cannot be registered: %2")
                     .arg(dbusactivation::ServiceName, connection.lastError().message());
        connection.unregisterObject(dbusactivation::ObjectPath);
        return false;
    }
    m_router = std::move(router);
    return true;
}

template <class Setter>
void ApplicationService::guarded(Setter &&set)
{
    try {
        set();
    } catch (const TqmError &error) {
        m_callError = error;
    }
}

void ApplicationService::setLcaVersion(const QString &value)
{
    guarded([&] { m_application.setLcaVersion(value); });
}

void ApplicationService::setManufacturerId(const QString &value)
{
    guarded([&] { m_application.setManufacturerId(value); });
}

void ApplicationService::setManufacturerName(const QString &value)
{
    guarded([&] { m_application.setManufacturerName(value); });
}

void ApplicationService::setName(const QString &value)
{
    guarded([&] { m_application.setName(value); });
}

void ApplicationService::setVersion(const QString &value)
{
    guarded([&] { m_application.setVersion(value); });
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
    noteCaller();
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
    noteCaller();
    m_regResultPath = path;
    if (!m_callConnection || path.path().isEmpty() || path.path() == QLatin1String("/")) {
        m_application.setRegResult(nullptr);
        return;
    }
    m_application.setRegResult(std::make_shared<DBusRegResult>(*m_callConnection, m_callMessage.service(), path.path()));
}

void ApplicationService::setLnsServer(const QString &objectName)
{
    noteCaller();
    m_lnsServerName = objectName;
    try {
        m_application.setLnsServer(resolve(objectName));
    } catch (const TqmError &) {
        // Ignored like LnsObjectByTool.
    }
}

void ApplicationService::noteCaller()
{
    if (m_callConnection)
        Q_EMIT callerSeen(m_callMessage.service());
}

void ApplicationService::SendCommand(int commandId, short classId, const QString &objectName)
{
    noteCaller();
    qint32 id = commandId;
    qint16 cls = classId;
    QString name = objectName;
    m_application.SendCommand(id, cls, name);
    if (m_host.ended())
        Q_EMIT ended();
}

void ApplicationService::ClosePlugIn()
{
    m_application.ClosePlugIn();
}
