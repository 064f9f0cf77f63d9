#include "host/application.h"

#include "host/host.h"
#include "lns/product.h"

#include <cmath>

namespace {

// Twips as the automation interface answers them: whole numbers, halves to even.
qint32 wholeTwips(double twips)
{
    return qint32(std::nearbyint(twips));
}

} // namespace

QString Application::errorSource()
{
    return product::ProjectName + QStringLiteral(".") + product::ClassName;
}

Application::Application(PlugInHost &host) : m_host(host)
{
    m_host.InitApp();
}

void Application::readOnly()
{
    throw TqmError(TqmError::ReadOnlyProperty, errorSource(),
                   QStringLiteral("Write not supported. This property is read-only."));
}

PlugInWindow *Application::window() const
{
    return m_host.session().aborted ? nullptr : m_host.window();
}

qint32 Application::Height() const
{
    return window() ? wholeTwips(window()->height()) : 0;
}

void Application::setHeight(qint32 twips)
{
    if (window())
        window()->setHeight(twips);
}

QString Application::LcaVersion() const
{
    return product::LcaVersion;
}

void Application::setLcaVersion(const QString &)
{
    readOnly();
}

qint32 Application::Left() const
{
    return window() ? wholeTwips(window()->left()) : 0;
}

void Application::setLeft(qint32 twips)
{
    if (window())
        window()->setLeft(twips);
}

QString Application::ManufacturerId() const
{
    return product::ManufacturerId;
}

void Application::setManufacturerId(const QString &)
{
    readOnly();
}

QString Application::ManufacturerName() const
{
    return m_host.session().manufacturerName;
}

void Application::setManufacturerName(const QString &)
{
    readOnly();
}

bool Application::Minimized() const
{
    return window() && window()->windowState() == WindowState::Minimized;
}

void Application::setMinimized(bool minimized)
{
    PlugInWindow *w = window();
    if (!w)
        return;
    if (!minimized) {
        w->setWindowState(m_savedState);
        return;
    }
    if (w->windowState() != WindowState::Minimized) {
        m_savedState = w->windowState();
        w->setWindowState(WindowState::Minimized);
    }
}

QString Application::Name() const
{
    return product::ProductName;
}

void Application::setName(const QString &)
{
    readOnly();
}

QString Application::NetworkInterfaceName() const
{
    return m_host.session().networkInterfaceName;
}

void Application::setNetworkInterfaceName(const QString &value)
{
    m_host.session().networkInterfaceName = value;
}

bool Application::Remote() const
{
    return m_host.session().remote;
}

void Application::setRemote(bool remote)
{
    m_host.session().remote = remote;
}

QString Application::NetworkName() const
{
    return {};
}

void Application::setNetworkName(const QString &)
{
    // Accepted and discarded: the network comes with the object name of the command.
}

qint32 Application::Top() const
{
    return window() ? wholeTwips(window()->top()) : 0;
}

void Application::setTop(qint32 twips)
{
    if (window())
        window()->setTop(twips);
}

QString Application::Version() const
{
    return m_host.session().version;
}

void Application::setVersion(const QString &)
{
    readOnly();
}

bool Application::Visible() const
{
    return window() && window()->isVisible();
}

void Application::setVisible(bool visible)
{
    PlugInWindow *w = window();
    if (!w)
        return;
    if (visible)
        w->showWindow();
    else
        w->hideWindow();
}

qint32 Application::Width() const
{
    return window() ? wholeTwips(window()->width()) : 0;
}

void Application::setWidth(qint32 twips)
{
    if (window())
        window()->setWidth(twips);
}

void Application::SendCommand(qint32 &commandId, qint16 &classId, QString &objectName)
{
    if (m_host.session().aborted)
        return;
    m_host.ValidateCommand(commandId, classId, objectName);
}

lns::LonMarkObjectPtr Application::LnsObjectByTool() const
{
    return m_host.session().lonMarkObject;
}

void Application::setLnsObjectByTool(const lns::ObjectPtr &object)
{
    try {
        if (!object || object->classId() != lns::LonMarkObjectClass)
            return;
        auto lonMarkObject = std::dynamic_pointer_cast<lns::LonMarkObject>(object);
        if (!lonMarkObject)
            return;
        m_host.session().lonMarkObject = lonMarkObject;
        m_host.session().hostSuppliedObjects = true;
    } catch (const TqmError &) {
        // An object that cannot tell its kind is not one the plug-in can work on.
    }
}

void Application::setProgramIdsToRegister(const QString &programIds)
{
    m_host.session().programIdsToRegister = programIds;
}

void Application::setRegResult(std::shared_ptr<RegResultTarget> target)
{
    m_host.session().regResult = std::move(target);
}

void Application::setLnsServer(const lns::ObjectPtr &object)
{
    try {
        if (!object || object->classId() != lns::ObjectServerClass)
            return;
        auto server = std::dynamic_pointer_cast<lns::ObjectServer>(object);
        if (!server)
            return;
        m_host.session().hostObjectServer = server;
        m_host.session().hostSuppliedObjects = true;
    } catch (const TqmError &) {
        // As for LnsObjectByTool: ignored.
    }
}

void Application::ClosePlugIn()
{
    // The host ends the plug-in by releasing the object; closing has no effect of its own.
}
