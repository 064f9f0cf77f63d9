#include "device/devicescan.h"

#include "lns/objectname.h"
#include "session/session.h"

#include <QSet>

#include <algorithm>

namespace device {

namespace {

QString failureText(const QString &what, const TqmError &error)
{
    return what + QStringLiteral(": ") + error.description();
}

// Depth first, parents before their children, so the offer reads like the project tree.
void collectSubsystems(const std::shared_ptr<lns::Subsystems> &level, const QString &owner,
                       QList<lns::SubsystemPtr> &into, QStringList &unreadable)
{
    try {
        for (int i = 1; i <= level->count(); ++i) {
            const lns::SubsystemPtr subsystem = level->item(i);
            into.append(subsystem);
            collectSubsystems(subsystem->subsystems(), subsystem->path(), into, unreadable);
        }
    } catch (const TqmError &error) {
        unreadable.append(failureText(owner, error));
    }
}

// A device may be a member of several subsystems; it is named after its home subsystem.
lns::SubsystemPtr homeSubsystem(const lns::AppDevicePtr &device, const lns::SubsystemPtr &foundIn)
{
    try {
        const auto memberships = device->subsystems();
        if (memberships && memberships->count() > 0)
            return memberships->item(1);
    } catch (const TqmError &) {
        // Fall back to where the walk met the device.
    }
    if (foundIn)
        return foundIn;
    return std::dynamic_pointer_cast<lns::Subsystem>(lns::ancestorByClassId(device, lns::SubsystemClass));
}

QString objectNameIn(const lns::NetworkPtr &network, const lns::SubsystemPtr &home,
                     const lns::AppDevicePtr &device)
{
    QStringList parts;
    if (network)
        parts.append(network->name());
    if (home)
        parts.append(home->path().split(QLatin1Char('/')));
    parts.append(device->name());
    return objectname::join(parts);
}

class Walk
{
public:
    Walk(const MultiDeviceRequest &request, const DeviceScanHooks &hooks) : m_request(request), m_hooks(hooks)
    {
        if (request.device) {
            m_seen.insert(deviceObjectName(request.network, request.device));
            if (request.sameProgramIdOnly)
                m_programId = request.device->programId();
        }
    }

    DeviceScanResult run()
    {
        QList<lns::SubsystemPtr> subsystems;
        try {
            collectSubsystems(m_request.system->subsystems(), m_request.system->name(), subsystems,
                              m_result.unreadable);
        } catch (const TqmError &error) {
            m_result.unreadable.append(failureText(m_request.system->name(), error));
        }
        m_total = int(subsystems.size());
        for (m_done = 0; m_done < m_total && !m_result.cancelled; ++m_done)
            visit(subsystems.at(m_done));
        m_done = m_total;
        reportProgress();
        return m_result;
    }

private:
    void reportProgress()
    {
        if (m_hooks.progress)
            m_hooks.progress(m_done, m_total);
    }

    bool cancelRequested()
    {
        if (!m_result.cancelled && m_hooks.cancelRequested && m_hooks.cancelRequested())
            m_result.cancelled = true;
        return m_result.cancelled;
    }

    void visit(const lns::SubsystemPtr &subsystem)
    {
        reportProgress();
        try {
            const auto devices = subsystem->appDevices();
            for (int i = 1; i <= devices->count() && !cancelRequested(); ++i)
                consider(devices->item(i), subsystem);
        } catch (const TqmError &error) {
            m_result.unreadable.append(failureText(subsystem->path(), error));
        }
    }

    void consider(const lns::AppDevicePtr &device, const lns::SubsystemPtr &foundIn)
    {
        FoundDevice found;
        found.device = device;
        try {
            found.name = device->name();
            const lns::SubsystemPtr home = homeSubsystem(device, foundIn);
            found.subsystemPath = home ? home->path() : QString();
            found.objectName = objectNameIn(m_request.network, home, device);
            if (m_seen.contains(found.objectName))
                return;
            m_seen.insert(found.objectName);
            reportProgress();
            if (offerable(found) && !rejectedByHandler(device)) {
                found.preselected = found.isNamedByAny(m_request.preselected);
                m_result.offered.append(found);
            }
        } catch (const TqmError &error) {
            m_result.unreadable.append(failureText(found.objectName.isEmpty() ? found.name : found.objectName, error));
        }
    }

    // The window's own conditions; checked before the handler so that a handler that asks the
    // device something is only bothered with devices that could be offered.
    bool offerable(FoundDevice &found) const
    {
        if (m_request.sameProgramIdOnly && found.device->programId() != m_programId)
            return false;
        if (const auto deviceTemplate = found.device->deviceTemplate())
            found.templateName = deviceTemplate->name();
        if (m_request.items == MultiDeviceItems::AppDevices)
            return true;
        found.lonMarkObject = DeviceScan::matchingLonMarkObject(found.device, m_request.lonMarkObject);
        if (!found.lonMarkObject)
            return false;
        found.lonMarkObjectName =
            found.objectName + QLatin1Char('.') + objectname::escapePart(found.lonMarkObject->name());
        return true;
    }

    bool rejectedByHandler(const lns::AppDevicePtr &device) const
    {
        return m_hooks.notValidated && m_hooks.notValidated(device);
    }

    const MultiDeviceRequest &m_request;
    const DeviceScanHooks &m_hooks;
    DeviceScanResult m_result;
    QSet<QString> m_seen;
    QString m_programId;
    int m_done = 0;
    int m_total = 0;
};

} // namespace

lns::ObjectPtr FoundDevice::returnedItem() const
{
    if (lonMarkObject)
        return lonMarkObject;
    return device;
}

bool FoundDevice::isNamedBy(const QString &entry) const
{
    const QString wanted = entry.trimmed();
    if (wanted.isEmpty())
        return false;
    const auto same = [&wanted](const QString &name) {
        return !name.isEmpty() && name.compare(wanted, Qt::CaseInsensitive) == 0;
    };
    return same(name) || same(objectName) || same(lonMarkObjectName);
}

bool FoundDevice::isNamedByAny(const QStringList &entries) const
{
    return std::any_of(entries.cbegin(), entries.cend(), [this](const QString &entry) { return isNamedBy(entry); });
}

DeviceScanResult DeviceScan::run(const MultiDeviceRequest &request, const DeviceScanHooks &hooks)
{
    if (!request.system)
        throw TqmError(TqmError::LnsInvalidOperation, QStringLiteral("MultiDeviceWindow"),
                       QStringLiteral("No network system is open to search for devices."));
    if (request.items == MultiDeviceItems::LonMarkObjects && !request.lonMarkObject)
        throw TqmError(TqmError::LnsInvalidOperation, QStringLiteral("MultiDeviceWindow"),
                       QStringLiteral("LonMark objects were asked for without the LonMark object to match."));
    return Walk(request, hooks).run();
}

lns::LonMarkObjectPtr DeviceScan::matchingLonMarkObject(const lns::AppDevicePtr &device,
                                                        const lns::LonMarkObjectPtr &pattern)
{
    if (!pattern)
        return {};
    const int type = pattern->type();
    const int index = pattern->index();
    const auto objects = device->lonMarkObjects();
    for (int i = 1; i <= objects->count(); ++i) {
        const lns::LonMarkObjectPtr candidate = objects->item(i);
        if (candidate->type() == type && candidate->index() == index)
            return candidate;
    }
    return {};
}

QString deviceObjectName(const lns::NetworkPtr &network, const lns::AppDevicePtr &device)
{
    return objectNameIn(network, homeSubsystem(device, {}), device);
}

QString lonMarkObjectName(const lns::NetworkPtr &network, const lns::LonMarkObjectPtr &object)
{
    return deviceObjectName(network, object->appDevice()) + QLatin1Char('.') +
           objectname::escapePart(object->name());
}

MultiDeviceRequest MultiDeviceRequest::forSession(const SessionState &session, QObject *owner, const QString &title,
                                                  const QString &iniFileName)
{
    MultiDeviceRequest request;
    request.network = session.network;
    request.system = session.system;
    request.device = session.appDevice;
    request.lonMarkObject = session.lonMarkObject;
    request.language = session.language;
    request.owner = owner;
    request.title = title;
    request.iniFileName = iniFileName;
    return request;
}

} // namespace device
