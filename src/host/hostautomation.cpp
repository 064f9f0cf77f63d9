#include "host/hostautomation.h"

#include "base/tqmerror.h"
#include "host/host.h"

#include <QHash>

HostAutomation::HostAutomation(PlugInHost &host) : m_host(host), m_application(host) {}

QString HostAutomation::ProgramIdsToRegister() const
{
    return m_host.session().programIdsToRegister;
}

void HostAutomation::rejectWrite(const QString &name)
{
    // The automation object's own setters of its read-only properties raise its error.
    using Setter = void (Application::*)(const QString &);
    static const QHash<QString, Setter> readOnly{
        {QStringLiteral("LcaVersion"), &Application::setLcaVersion},
        {QStringLiteral("ManufacturerId"), &Application::setManufacturerId},
        {QStringLiteral("ManufacturerName"), &Application::setManufacturerName},
        {QStringLiteral("Name"), &Application::setName},
        {QStringLiteral("Version"), &Application::setVersion},
    };
    if (const Setter set = readOnly.value(name))
        (m_application.*set)(QString());
    throw TqmError(TqmError::ReadOnlyProperty, Application::errorSource(),
                   QStringLiteral("The property %1 cannot be written.").arg(name));
}

lns::ObjectPtr HostAutomation::objectByName(const QString &objectName)
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

Refusal HostAutomation::SendCommand(qint32 commandId, qint16 classId, const QString &objectName)
{
    const bool aborted = m_host.session().aborted;
    QString name = objectName;
    m_application.SendCommand(commandId, classId, name);
    // While Aborted is set the command does nothing: the plug-in ended with an earlier refusal,
    // unless it never started (its INI file is missing).
    Refusal refusal = m_host.refusal();
    if (aborted && refusal.reason != Refusal::Reason::IniFileMissing)
        refusal = Refusal::ended();
    return refusal;
}

bool HostAutomation::ended() const
{
    return m_host.ended();
}

bool HostAutomation::endRequested() const
{
    return m_host.endRequested();
}

void HostAutomation::end()
{
    m_host.EndApp();
}
