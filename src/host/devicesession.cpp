#include "host/devicesession.h"

#include "calibration/sensorrestore.h"
#include "lns/inifile.h"
#include "lns/objectnameparser.h"
#include "lns/product.h"
#include "lns/timer.h"
#include "session/devicelog.h"
#include "strings/resstrings.h"

namespace {

[[noreturn]] void notFound(const QString &objectName, const QString &why)
{
    throw TqmError(TqmError::LnsObjectNotFound, product::ProductName,
                   QStringLiteral("\"%1\": %2").arg(objectName, why));
}

} // namespace

DeviceSession::DeviceSession(const ObjectServerProvider &server, const QString &objectName, int commandIndex,
                             const DeviceSessionParts &parts)
    : m_objectName(objectName.trimmed())
{
    const ObjectNameParts name = ObjectNameParser::Split(m_objectName);
    m_state.commandIndex = commandIndex;
    m_state.language = parts.language;
    m_state.deviceName = name.deviceName;
    m_state.lonMarkObjectName = name.lonMarkObjectName;

    LnsSession lns;
    const LnsSession::ServerResult opened = lns.OpenServer(server, lns::ConnectionMode::Local);
    if (!opened.success)
        notFound(m_objectName, lns.lastError());
    m_state.objectServer = opened.objectServer;
    m_state.networks = opened.networks;
    const LnsSession::NetworkResult network = lns.OpenNetwork(m_state.networks, name.networkName, false);
    if (!network.success)
        notFound(m_objectName, lns.lastError());
    m_state.network = network.network;
    m_state.systems = network.systems;
    m_state.system = network.system;
    m_state.subsystems = network.subsystems;
    const LnsSession::SubsystemResult subsystem = lns.OpenSubsystem(m_state.subsystems, name.subsystemLevels);
    if (!subsystem.success)
        notFound(m_objectName, GetResString(1568, 4, {name.subsystemPath, name.networkName}));
    m_state.subsystem = subsystem.subsystem;
    m_state.appDevices = subsystem.appDevices;
    if (!parts.iniFile)
        notFound(m_objectName, QStringLiteral("no plug-in INI file"));
    const IniFile::FoundDevice found = parts.iniFile->FindDevice(m_state.appDevices, name.deviceName,
                                                                 name.lonMarkObjectName);
    if (!found.success)
        notFound(m_objectName, found.failure);
    m_state.appDevice = found.appDevice;
    m_state.lonMarkObjects = found.lonMarkObjects;
    m_state.lonMarkObject = found.lonMarkObject;
    m_state.deviceTemplate = m_state.appDevice->deviceTemplate()->name();
    m_state.initialised = true;

    m_deviceHeading = std::make_unique<DeviceHeading>(*parts.logger, parts.clock);
    m_services.session = &m_state;
    m_services.dialogs = parts.dialogs;
    m_services.logger = parts.logger;
    m_services.deviceHeading = m_deviceHeading.get();
    m_services.iniFile = parts.iniFile;
    m_services.registry = parts.registry;
    m_services.clock = parts.clock;
    m_services.timers = QtTimerFactory::unlessGiven(parts.timers);
    m_services.handleError = parts.handleError;
    // A sensor calibration cut short on this device is undone before anything else sees it.
    m_restoreNote = calibration::RestoreOutcomeText(calibration::RestoreInterruptedSensorCalibration(m_services));
}

DeviceSession::~DeviceSession() = default;
