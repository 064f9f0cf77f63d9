#pragma once

// What the bus serves: the plug-in's automation object as the adaptor sees it. The host
// implements it over its own automation object (host/hostautomation.h); the adaptor only turns
// bus calls into these calls and answers into bus replies. Lengths are in twips.

#include "lns/desktopseams.h"
#include "lns/lns.h"
#include "session/refusal.h"

#include <QString>
#include <memory>

class AutomationTarget
{
public:
    virtual ~AutomationTarget() = default;

    virtual qint32 Height() const = 0;
    virtual void setHeight(qint32 twips) = 0;
    virtual qint32 Left() const = 0;
    virtual void setLeft(qint32 twips) = 0;
    virtual qint32 Top() const = 0;
    virtual void setTop(qint32 twips) = 0;
    virtual qint32 Width() const = 0;
    virtual void setWidth(qint32 twips) = 0;
    virtual bool Minimized() const = 0;
    virtual void setMinimized(bool minimized) = 0;
    virtual bool Visible() const = 0;
    virtual void setVisible(bool visible) = 0;
    virtual bool Remote() const = 0;
    virtual void setRemote(bool remote) = 0;
    virtual QString NetworkName() const = 0;
    virtual void setNetworkName(const QString &value) = 0;
    virtual QString NetworkInterfaceName() const = 0;
    virtual void setNetworkInterfaceName(const QString &value) = 0;
    virtual QString ProgramIdsToRegister() const = 0;
    virtual void setProgramIdsToRegister(const QString &programIds) = 0;

    virtual QString LcaVersion() const = 0;
    virtual QString ManufacturerId() const = 0;
    virtual QString ManufacturerName() const = 0;
    virtual QString Name() const = 0;
    virtual QString Version() const = 0;
    // Writing a read-only property (or one that does not exist): throws the plug-in's TqmError.
    [[noreturn]] virtual void rejectWrite(const QString &name) = 0;

    virtual lns::LonMarkObjectPtr LnsObjectByTool() const = 0;
    virtual void setLnsObjectByTool(const lns::ObjectPtr &object) = 0;
    virtual void setLnsServer(const lns::ObjectPtr &object) = 0;
    virtual void setRegResult(std::shared_ptr<RegResultTarget> target) = 0;
    // The network object a tool names (an empty name: the object server itself), the server
    // opened first when it is not; null without a server. Throws TqmError for a bad name.
    virtual lns::ObjectPtr objectByName(const QString &objectName) = 0;

    // Carries out the command; answers why it was refused (Reason::None when it was not).
    virtual Refusal SendCommand(qint32 commandId, qint16 classId, const QString &objectName) = 0;
    virtual void ClosePlugIn() = 0;

    // The plug-in has ended (EndApp ran); an error handler was answered "end the program".
    virtual bool ended() const = 0;
    virtual bool endRequested() const = 0;
    // Ends the plug-in when the bus session ends.
    virtual void end() = 0;
};
