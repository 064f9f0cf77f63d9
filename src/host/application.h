#pragma once

// The plug-in's automation object: what a network tool creates to drive the plug-in. It forwards
// window geometry and visibility to the main window and commands to the host's command path.
// The members keep the order of the automation interface.

#include "ui/pluginwindow.h"
#include "lns/lns.h"

#include <QString>
#include <memory>

class PlugInHost;
class RegResultTarget;

class Application
{
public:
    // The source of the errors the object raises: the project name + ".Application".
    static QString errorSource();

    // Creating the object initialises the plug-in (InitApp).
    explicit Application(PlugInHost &host);

    qint32 Height() const;
    void setHeight(qint32 twips);
    QString LcaVersion() const;
    void setLcaVersion(const QString &value);
    qint32 Left() const;
    void setLeft(qint32 twips);
    QString ManufacturerId() const;
    void setManufacturerId(const QString &value);
    QString ManufacturerName() const;
    void setManufacturerName(const QString &value);
    bool Minimized() const;
    void setMinimized(bool minimized);
    QString Name() const;
    void setName(const QString &value);
    QString NetworkInterfaceName() const;
    void setNetworkInterfaceName(const QString &value);
    bool Remote() const;
    void setRemote(bool remote);
    QString NetworkName() const;
    void setNetworkName(const QString &value);
    qint32 Top() const;
    void setTop(qint32 twips);
    QString Version() const;
    void setVersion(const QString &value);
    bool Visible() const;
    void setVisible(bool visible);
    qint32 Width() const;
    void setWidth(qint32 twips);
    void SendCommand(qint32 &commandId, qint16 &classId, QString &objectName);
    lns::LonMarkObjectPtr LnsObjectByTool() const;
    void setLnsObjectByTool(const lns::ObjectPtr &object);
    void setProgramIdsToRegister(const QString &programIds);
    void setRegResult(std::shared_ptr<RegResultTarget> target);
    void setLnsServer(const lns::ObjectPtr &object);
    void ClosePlugIn();

    // The window state saved before minimising.
    WindowState savedWindowState() const { return m_savedState; }

private:
    [[noreturn]] static void readOnly();
    // The window while the session has not been aborted; null otherwise.
    PlugInWindow *window() const;

    PlugInHost &m_host;
    WindowState m_savedState = WindowState::Normal;
};
