#pragma once

// The automation object on the D-Bus session bus. The generated adaptor calls these members;
// they forward to the plug-in's Application. Messages reach the adaptor through the bus router
// (applicationrouter.h), which tells the service who is calling and turns the errors the service
// keeps into D-Bus error replies: the D-Bus layer of this Qt gives property setters no way to
// answer with an error of their own.

#include "host/application.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <optional>
#include <QDBusObjectPath>
#include <QObject>

class PlugInHost;

class ApplicationService : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Height READ Height WRITE setHeight)
    Q_PROPERTY(QString LcaVersion READ LcaVersion WRITE setLcaVersion)
    Q_PROPERTY(int Left READ Left WRITE setLeft)
    Q_PROPERTY(QString ManufacturerId READ ManufacturerId WRITE setManufacturerId)
    Q_PROPERTY(QString ManufacturerName READ ManufacturerName WRITE setManufacturerName)
    Q_PROPERTY(bool Minimized READ Minimized WRITE setMinimized)
    Q_PROPERTY(QString Name READ Name WRITE setName)
    Q_PROPERTY(QString NetworkInterfaceName READ NetworkInterfaceName WRITE setNetworkInterfaceName)
    Q_PROPERTY(bool Remote READ Remote WRITE setRemote)
    Q_PROPERTY(QString NetworkName READ NetworkName WRITE setNetworkName)
    Q_PROPERTY(int Top READ Top WRITE setTop)
    Q_PROPERTY(QString Version READ Version WRITE setVersion)
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

    ApplicationService(PlugInHost &host, QObject *parent = nullptr);
    ~ApplicationService() override;

    // Registers the service name and exports the object through its router; false (with the
    // reason in `error`) when the bus refuses.
    bool publish(QDBusConnection connection, QString *error);
    Application &application() { return m_application; }
    QObject *adaptor() const { return m_adaptor; }

    // The message being handled, for the members that reach back to the caller; the error a
    // member raised while handling it.
    void beginCall(const QDBusConnection &connection, const QDBusMessage &message);
    std::optional<TqmError> endCall();

    int Height() const { return m_application.Height(); }
    void setHeight(int twips) { m_application.setHeight(twips); }
    QString LcaVersion() const { return m_application.LcaVersion(); }
    void setLcaVersion(const QString &value);
    int Left() const { return m_application.Left(); }
    void setLeft(int twips) { m_application.setLeft(twips); }
    QString ManufacturerId() const { return m_application.ManufacturerId(); }
    void setManufacturerId(const QString &value);
    QString ManufacturerName() const { return m_application.ManufacturerName(); }
    void setManufacturerName(const QString &value);
    bool Minimized() const { return m_application.Minimized(); }
    void setMinimized(bool minimized) { m_application.setMinimized(minimized); }
    QString Name() const { return m_application.Name(); }
    void setName(const QString &value);
    QString NetworkInterfaceName() const { return m_application.NetworkInterfaceName(); }
    void setNetworkInterfaceName(const QString &value) { m_application.setNetworkInterfaceName(value); }
    bool Remote() const { return m_application.Remote(); }
    void setRemote(bool remote) { m_application.setRemote(remote); }
    QString NetworkName() const { return m_application.NetworkName(); }
    void setNetworkName(const QString &value) { m_application.setNetworkName(value); }
    int Top() const { return m_application.Top(); }
    void setTop(int twips) { m_application.setTop(twips); }
    QString Version() const { return m_application.Version(); }
    void setVersion(const QString &value);
    bool Visible() const { return m_application.Visible(); }
    void setVisible(bool visible) { m_application.setVisible(visible); }
    int Width() const { return m_application.Width(); }
    void setWidth(int twips) { m_application.setWidth(twips); }
    QString LnsObjectByTool() const;
    void setLnsObjectByTool(const QString &objectName);
    QString ProgramIdsToRegister() const;
    void setProgramIdsToRegister(const QString &programIds) { m_application.setProgramIdsToRegister(programIds); }
    QDBusObjectPath RegResult() const { return m_regResultPath; }
    void setRegResult(const QDBusObjectPath &path);
    QString LnsServer() const { return m_lnsServerName; }
    void setLnsServer(const QString &objectName);

public Q_SLOTS:
    void SendCommand(int commandId, short classId, const QString &objectName);
    void ClosePlugIn();

Q_SIGNALS:
    // A command ended the plug-in (EndApp ran).
    void ended();
    // A host on the bus (its unique name) used the object.
    void callerSeen(const QString &caller);

private:
    template <class Setter>
    void guarded(Setter &&set);
    void noteCaller();
    lns::ObjectPtr resolve(const QString &objectName) const;

    PlugInHost &m_host;
    Application m_application;
    QObject *m_adaptor = nullptr;
    std::unique_ptr<QObject> m_router;
    std::optional<QDBusConnection> m_callConnection;
    QDBusMessage m_callMessage;
    std::optional<TqmError> m_callError;
    QDBusObjectPath m_regResultPath;
    QString m_lnsObjectName;
    QString m_lnsServerName;
};
