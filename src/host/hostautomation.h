#pragma once

// The automation target the bus serves, over the plug-in's automation object and its host.

#include "host/application.h"
#include "host/dbus/automationtarget.h"

class PlugInHost;

class HostAutomation : public AutomationTarget
{
public:
    // Creating it initialises the plug-in (the automation object's InitApp).
    explicit HostAutomation(PlugInHost &host);

    qint32 Height() const override { return m_application.Height(); }
    void setHeight(qint32 twips) override { m_application.setHeight(twips); }
    qint32 Left() const override { return m_application.Left(); }
    void setLeft(qint32 twips) override { m_application.setLeft(twips); }
    qint32 Top() const override { return m_application.Top(); }
    void setTop(qint32 twips) override { m_application.setTop(twips); }
    qint32 Width() const override { return m_application.Width(); }
    void setWidth(qint32 twips) override { m_application.setWidth(twips); }
    bool Minimized() const override { return m_application.Minimized(); }
    void setMinimized(bool minimized) override { m_application.setMinimized(minimized); }
    bool Visible() const override { return m_application.Visible(); }
    void setVisible(bool visible) override { m_application.setVisible(visible); }
    bool Remote() const override { return m_application.Remote(); }
    void setRemote(bool remote) override { m_application.setRemote(remote); }
    QString NetworkName() const override { return m_application.NetworkName(); }
    void setNetworkName(const QString &value) override { m_application.setNetworkName(value); }
    QString NetworkInterfaceName() const override { return m_application.NetworkInterfaceName(); }
    void setNetworkInterfaceName(const QString &value) override { m_application.setNetworkInterfaceName(value); }
    QString ProgramIdsToRegister() const override;
    void setProgramIdsToRegister(const QString &programIds) override { m_application.setProgramIdsToRegister(programIds); }

    QString LcaVersion() const override { return m_application.LcaVersion(); }
    QString ManufacturerId() const override { return m_application.ManufacturerId(); }
    QString ManufacturerName() const override { return m_application.ManufacturerName(); }
    QString Name() const override { return m_application.Name(); }
    QString Version() const override { return m_application.Version(); }
    [[noreturn]] void rejectWrite(const QString &name) override;

    lns::LonMarkObjectPtr LnsObjectByTool() const override { return m_application.LnsObjectByTool(); }
    void setLnsObjectByTool(const lns::ObjectPtr &object) override { m_application.setLnsObjectByTool(object); }
    void setLnsServer(const lns::ObjectPtr &object) override { m_application.setLnsServer(object); }
    void setRegResult(std::shared_ptr<RegResultTarget> target) override { m_application.setRegResult(std::move(target)); }
    lns::ObjectPtr objectByName(const QString &objectName) override;

    Refusal SendCommand(qint32 commandId, qint16 classId, const QString &objectName) override;
    void ClosePlugIn() override { m_application.ClosePlugIn(); }

    bool ended() const override;
    bool endRequested() const override;
    void end() override;

private:
    PlugInHost &m_host;
    Application m_application;
};
