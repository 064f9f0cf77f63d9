#pragma once

// The automation object on the D-Bus session bus: /Application of the service
// org.velto.veltoTqmCmdModule. The adaptor generated from the interface description
// (org.velto.veltoTqmCmdModule.Application.xml) serves the interface's methods and its
// introspection and reads the properties here; they forward to the automation target
// (automationtarget.h).
// Property access goes through PropertiesAdaptor (propertiesadaptor.h), which gives writes the
// plug-in's own read-only error and strict types.
//
// Errors go back to the caller through QDBusContext: a refused command answers a D-Bus error
// whose name says why and whose message is the text the plug-in showed.

#include "base/tqmerror.h"
#include "host/dbus/automationtarget.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QObject>
#include <optional>

class ApplicationService : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_PROPERTY(int Height READ Height WRITE setHeight)
    Q_PROPERTY(QString LcaVersion READ LcaVersion)
    Q_PROPERTY(int Left READ Left WRITE setLeft)
    Q_PROPERTY(QString ManufacturerId READ ManufacturerId)
    Q_PROPERTY(QString ManufacturerName READ ManufacturerName)
    Q_PROPERTY(bool Minimized READ Minimized WRITE setMinimized)
    Q_PROPERTY(QString Name READ Name)
    Q_PROPERTY(QString NetworkInterfaceName READ NetworkInterfaceName WRITE setNetworkInterfaceName)
    Q_PROPERTY(bool Remote READ Remote WRITE setRemote)
    Q_PROPERTY(QString NetworkName READ NetworkName WRITE setNetworkName)
    Q_PROPERTY(int Top READ Top WRITE setTop)
    Q_PROPERTY(QString Version READ Version)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(int Width READ Width WRITE setWidth)
    Q_PROPERTY(QString LnsObjectByTool READ LnsObjectByTool WRITE setLnsObjectByTool)
    Q_PROPERTY(QString ProgramIdsToRegister READ ProgramIdsToRegister WRITE setProgramIdsToRegister)
    Q_PROPERTY(QDBusObjectPath RegResult READ RegResult WRITE setRegResult)
    Q_PROPERTY(QString LnsServer READ LnsServer WRITE setLnsServer)

public:
    // The D-Bus error of a plug-in error: its name carries the number, its message the number,
    // the source and the description.
    static QString errorName(const TqmError &error);
    static QString errorMessage(const TqmError &error);
    // The D-Bus error name of a refused command.
    static QString refusalErrorName(Refusal::Reason reason);

    explicit ApplicationService(AutomationTarget &target, QObject *parent = nullptr);
    ~ApplicationService() override;

    // Exports the object with its adaptors and registers the service name; false (with the
    // reason in `error`) when the bus refuses, e.g. because another instance serves it.
    bool publish(QDBusConnection connection, QString *error);
    // The generated adaptor: the interface's properties as the bus sees them.
    QObject *interfaceAdaptor() const { return m_adaptor; }

    // Writes a read-only property the way the automation interface does: raises the
    // read-only TqmError (for a name that is no such property, too).
    void rejectWrite(const QString &name);
    // Tells who is calling (for the process lifetime); called while a bus message is handled.
    void noteCaller(const QString &busName);

    int Height() const { return m_target.Height(); }
    void setHeight(int twips) { m_target.setHeight(twips); }
    QString LcaVersion() const { return m_target.LcaVersion(); }
    int Left() const { return m_target.Left(); }
    void setLeft(int twips) { m_target.setLeft(twips); }
    QString ManufacturerId() const { return m_target.ManufacturerId(); }
    QString ManufacturerName() const { return m_target.ManufacturerName(); }
    bool Minimized() const { return m_target.Minimized(); }
    void setMinimized(bool minimized) { m_target.setMinimized(minimized); }
    QString Name() const { return m_target.Name(); }
    QString NetworkInterfaceName() const { return m_target.NetworkInterfaceName(); }
    void setNetworkInterfaceName(const QString &value) { m_target.setNetworkInterfaceName(value); }
    bool Remote() const { return m_target.Remote(); }
    void setRemote(bool remote) { m_target.setRemote(remote); }
    QString NetworkName() const { return m_target.NetworkName(); }
    void setNetworkName(const QString &value) { m_target.setNetworkName(value); }
    int Top() const { return m_target.Top(); }
    void setTop(int twips) { m_target.setTop(twips); }
    QString Version() const { return m_target.Version(); }
    bool Visible() const { return m_target.Visible(); }
    void setVisible(bool visible) { m_target.setVisible(visible); }
    int Width() const { return m_target.Width(); }
    void setWidth(int twips) { m_target.setWidth(twips); }
    QString LnsObjectByTool() const;
    void setLnsObjectByTool(const QString &objectName);
    QString ProgramIdsToRegister() const { return m_target.ProgramIdsToRegister(); }
    void setProgramIdsToRegister(const QString &programIds) { m_target.setProgramIdsToRegister(programIds); }
    QDBusObjectPath RegResult() const { return m_regResultPath; }
    void setRegResult(const QDBusObjectPath &path);
    QString LnsServer() const { return m_lnsServerName; }
    void setLnsServer(const QString &objectName);

    // The message being handled, for PropertiesAdaptor: the context is kept on this object.
    using QDBusContext::calledFromDBus;
    using QDBusContext::connection;
    using QDBusContext::message;
    using QDBusContext::sendErrorReply;

public Q_SLOTS:
    void SendCommand(int commandId, short classId, const QString &objectName);
    void ClosePlugIn();

Q_SIGNALS:
    // A command ended the plug-in (EndApp ran).
    void ended();
    // A host on the bus (its unique name) used the object.
    void callerSeen(const QString &caller);

private:
    lns::ObjectPtr resolve(const QString &objectName) const;
    void noteCurrentCaller();

    AutomationTarget &m_target;
    QObject *m_adaptor = nullptr;
    QDBusObjectPath m_regResultPath{QStringLiteral("/")};
    QString m_lnsObjectName;
    QString m_lnsServerName;
    std::optional<QDBusConnection> m_connection;
};
