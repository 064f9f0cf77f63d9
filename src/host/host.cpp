#include "host/host.h"

#include "base/textutility.h"
#include "calibration/sensorrestore.h"
#include "host/commandline.h"
#include "ui/pluginwindow.h"
#include "host/registrationwriter.h"
#include "lns/desktopseams.h"
#include "lns/inifile.h"
#include "lns/objectnameparser.h"
#include "lns/pathutility.h"
#include "lns/product.h"
#include "lns/registryaccess.h"
#include "lns/statuswindow.h"
#include "lns/timer.h"
#include "monitoring/cmonitoring.h"
#include "session/services.h"
#include "session/settings.h"
#include "strings/resstrings.h"
#include "ui/frmmain.h"
#include "transfer/transferparts.h"

#include <QFileInfo>

namespace {

const QString PlugInModule = QStringLiteral("M_PlugIn");
const QString CrLf = QStringLiteral("\r\n");

QString label(const QString &module, const QString &routine)
{
    return QStringLiteral("[%1] Public Sub %2()").arg(module, routine);
}

QString fullVersion()
{
    return QStringLiteral("%1.%2.%3").arg(product::VersionMajor).arg(product::VersionMinor).arg(product::VersionRevision);
}

} // namespace

PlugInHost::PlugInHost(HostEnvironment environment) : m_env(std::move(environment))
{
}

PlugInHost::~PlugInHost() = default;

PlugInWindow *PlugInHost::window() const
{
    return m_mainWindow ? static_cast<PlugInWindow *>(m_mainWindow.get()) : m_env.window;
}

// The window's logic over the view, once the services exist; its logger lists receive the
// logger's lines from then on. A new initialisation gets a new window logic: the services of
// the last one were released with EndApp.
void PlugInHost::createMainWindow()
{
    if (!m_env.view)
        return;
    ui::FrmMainHooks hooks;
    hooks.deviceIsAccessible = [this](bool force) { return DeviceIsAccessible({}, force); };
    hooks.hideStatusWindow = [this] {
        if (m_env.statusWindow)
            m_env.statusWindow->hide();
    };
    hooks.showHelp = [this](const QString &file, int context) { ShowHtmlHelp(file, context); };
    hooks.openDocument = [this](const QString &path) { ShowHtmlHelp(path, -1); };
    hooks.updateHelpMenu = [this] {
        UpdateHelpMenu();
        return ui::HelpFiles{m_manualAvailable, m_appDocAvailable};
    };
    hooks.showAbout = [this] { ShowAboutWindow(); };
    hooks.showDeviceInfo = [this](const DeviceInfoReport &report) {
        if (m_env.deviceInfoWindow)
            m_env.deviceInfoWindow->showModal(report);
    };
    hooks.createMonitoring = [this] { createMonitoring(); };
    hooks.setMonitoring = [this](bool on) {
        if (m_monitoring)
            m_monitoring->SetMonitoring(on);
    };
    hooks.monitorPoints = [this] { return m_monitoring ? m_monitoring->MonitorPoints() : nullptr; };
    hooks.endPlugIn = [this] { EndApp(); };
    hooks.createMultiDeviceWindow = m_env.createMultiDeviceWindow;
    hooks.report = m_env.windowReport;
    hooks.programDirectory = m_env.programDirectory;
    m_monitoring.reset();
    m_mainWindow = std::make_unique<ui::FrmMain>(*m_env.view, services(), hooks);
    m_logger->setView(m_env.view->loggerList());
    m_logger->setTimedView(m_env.view->timedList());
}

// The monitoring page works on the window's output fields and reads the push-button mode of the
// configuration the window has just created.
void PlugInHost::createMonitoring()
{
    if (!m_mainWindow)
        return;
    cConfiguration *configuration = m_mainWindow->configuration();
    m_monitoring = std::make_unique<cMonitoring>(services(), m_mainWindow->monitoringPage(),
                                                 configuration ? configuration->Parameters() : nullptr,
                                                 languageLocale(m_session.language));
}

QString PlugInHost::resString(int id, int piece) const
{
    return GetResString(id, piece);
}

void PlugInHost::log(const QString &text)
{
    if (m_logger)
        m_logger->logLine(text);
}

void PlugInHost::notice(const QString &text)
{
    log(text);
    if (m_env.printNotice)
        m_env.printNotice(text);
}

MsgAnswer PlugInHost::message(const QString &text, const QString &title, MsgIcon icon, const QString &cause)
{
    return m_env.dialogs->message(MessageRequest{text, title, icon, MsgButtons::Ok, MsgAnswer::Ok, cause});
}

void PlugInHost::abort()
{
    m_session.aborted = true;
}

void PlugInHost::refuse(Refusal::Reason reason, const QString &text, const QString &title, MsgIcon icon,
                        const QString &cause)
{
    m_refusal = {reason, text};
    message(text, title, icon, cause);
    abort();
}

PlugInHost::Step PlugInHost::runStep(const QString &routineName, const std::function<void()> &step)
{
    const ErrorHandler handler = [this](const TqmError &error, const QString &module, const QString &routine) {
        m_lastStepError = error.description();
        return m_logger ? m_logger->handleError(error, module, routine) : ErrorAnswer::Leave;
    };
    switch (session::runSteps(handler, PlugInModule, routineName, {step})) {
    case session::RoutineOutcome::Completed:
        return Step::Next;
    case session::RoutineOutcome::Left:
        return Step::Leave;
    case session::RoutineOutcome::EndRequested:
        m_endRequested = true;
        EndApp();
        return Step::Leave;
    }
    return Step::Leave;
}

// ---------------------------------------------------------------------------------------------
// Start-up

void PlugInHost::Main(const QString &commandLine)
{
    InitApp();
    if (m_session.aborted)
        return;
    log(label(PlugInModule, QStringLiteral("Main")));
    handleCommandLine(commandline::parse(commandLine));
}

void PlugInHost::handleCommandLine(const commandline::Switches &switches)
{
    for (const QString &key : switches.unknownKeys)
        notice(commandline::unknownKeyNotice(key));
    m_session.remote = m_session.remote || switches.remote;
    if (switches.networkInterfaceGiven)
        m_session.networkInterfaceName = switches.networkInterfaceName;

    switch (switches.action) {
    case commandline::Action::RegisterLanguage: {
        m_session.language = switches.language;
        bool written = false;
        runStep(QStringLiteral("Main"), [&] {
            settings::writeProductLanguage(*m_registry, m_session.language);
            written = true;
        });
        // The error handler has shown why; the exit code tells an installer.
        if (!written)
            abort();
        EndApp();
        return;
    }
    case commandline::Action::Unregister: {
        m_session.unregistering = true;
        QString reason;
        const bool unregistered = Unregister(&reason);
        bool deleted = false;
        runStep(QStringLiteral("Main"), [&] {
            settings::deleteProductKey(*m_registry);
            deleted = true;
        });
        if (!unregistered)
            notice(QStringLiteral("/UNREG: the registration was not removed: ") + reason);
        if (!unregistered || !deleted)
            abort();
        EndApp();
        return;
    }
    case commandline::Action::StandAlone:
        startStandAlone(true);
        return;
    case commandline::Action::StandAloneSilent:
        startStandAlone(false);
        return;
    case commandline::Action::Command:
        break;
    }

    if (switches.objectNameGiven) {
        ValidateCommand(switches.commandId, switches.classId, switches.objectName);
        return;
    }
    // Started without a target: a user or an installer ran the program. It introduces itself
    // and makes sure that network tools can create its automation object.
    ShowAboutWindow();
    if (m_env.registerAutomationServer) {
        try {
            m_env.registerAutomationServer();
        } catch (const TqmError &error) {
            log(QStringLiteral("Automation server not registered: ") + error.description());
        }
    }
    EndApp();
}

void PlugInHost::startStandAlone(bool withStatusWindow)
{
    m_session.commandIndex = commands::StandAlone;
    if (withStatusWindow && m_env.statusWindow)
        m_env.statusWindow->show();
    window()->buildPages(m_session.commandIndex);
    window()->showWindow();
}

void PlugInHost::fillCommandTable()
{
    const auto record = [this](qint32 commandId, int nameId, int descriptionId) {
        return CommandRecord{true, commandId, qint16(lns::LonMarkObjectClass), 4, resString(nameId), resString(descriptionId)};
    };
    m_session.commandTable[commands::Configure] = record(13, 1800, 1801);
    m_session.commandTable[commands::Calibrate] = record(14, 1803, 1804);
    m_session.commandTable[commands::Monitor] = record(21, 1805, 1806);
    m_session.commandTable[4] = CommandRecord{};
}

void PlugInHost::InitApp()
{
    m_session.aborted = false;
    m_ended = false;
    m_endRequested = false;
    const QString routine = QStringLiteral("InitApp");

    m_logger = std::make_unique<HostLogger>(m_env.clock, *m_env.dialogs);
    m_iniFile = std::make_unique<IniFile>();
    m_registry = std::make_unique<RegistryAccess>(m_env.home);
    m_lnsSession = std::make_unique<LnsSession>();

    LoggerSetup setup;
    setup.fileName = m_env.programFileName + QStringLiteral(".LOG");
    setup.directory = PathUtility::WithTrailingBackslash(m_env.logDirectory.isEmpty() ? m_env.programDirectory
                                                                                      : m_env.logDirectory);
    setup.fallbackDirectory = m_env.logFallbackDirectory;
    setup.startCommand = m_env.startCommand;
    setup.versionMajor = product::VersionMajor;
    setup.versionMinor = product::VersionMinor;
    setup.versionRevision = product::VersionRevision;
    setup.languageNumber = 1000 + m_session.language;
    // The start line names the language the session will use, which its own step reads below.
    setup.sessionLanguage = settings::readLanguage(*m_registry);
    setup.productName = product::ProductName;
    m_logger->setUp(setup);
    log(label(QStringLiteral("M_LcaPlugIn"), routine));
    buildServices();

    const auto steps = std::initializer_list<std::function<void()>>{
        [&] { m_session.manufacturerName = resString(1802); },
        [&] { m_session.version = QStringLiteral("%1.%2").arg(product::VersionMajor).arg(product::VersionMinor); },
        [&] { m_session.productKey = settings::productKey(); },
        [&] {
            m_session.language = settings::readLanguage(*m_registry);
            if (m_env.applyLanguage)
                m_env.applyLanguage(m_session.language);
        },
        [&] { fillCommandTable(); },
    };
    for (const auto &step : steps) {
        if (runStep(routine, step) == Step::Leave)
            return;
    }

    const QString iniPath = PathUtility::WithTrailingBackslash(m_env.programDirectory) + product::PlugInIniFileName;
    if (!QFileInfo::exists(iniPath)) {
        runStep(routine, [&] {
            refuse(Refusal::Reason::IniFileMissing, resString(1526) + CrLf + CrLf + iniPath, product::ProductName,
                   MsgIcon::Critical);
        });
        abort();
        EndApp();
        return;
    }
    m_iniFile->setFileName(iniPath);
    // A damaged INI file still works for the entries it holds; say where it is damaged.
    for (const QString &problem : m_iniFile->problems())
        m_logger->addLogLine(problem, logcolour::Red);
    if (runStep(routine, [&] { m_session.helpFilePath = helpFileOfLanguage(); }) == Step::Leave)
        return;
    m_session.initialised = true;

    // The object server belongs to the main window; without one the session has none until
    // a command opens it.
    try {
        createMainWindow();
        if (window())
            window()->load();
        if (m_env.objectServerProvider)
            m_session.objectServer = m_env.objectServerProvider();
    } catch (const TqmError &) {
        m_session.objectServer.reset();
    }

    if (m_env.statusWindow) {
        m_env.statusWindow->setPicture(102);
        m_env.statusWindow->setFontName(QStringLiteral("Tahoma"));
        m_env.statusWindow->setVersionText(QStringLiteral("v") + fullVersion());
    }
}

// ---------------------------------------------------------------------------------------------
// Commands

void PlugInHost::ValidateCommand(qint32 commandId, qint16 classId, const QString &objectName)
{
    // After EndApp the services are released: a host that wants another command creates a new
    // automation object (a new plug-in process).
    if (m_ended) {
        m_refusal = Refusal::ended();
        return;
    }
    m_refusal = {};
    m_lastStepError.clear();
    log(label(PlugInModule, QStringLiteral("ValidateCommand")));
    bool carriedOut = false;
    const auto validate = [&] {
        const lns::ConnectionMode mode = m_session.connectionMode();
        if (commandId == commands::Register) {
            if (!m_session.programIdsToRegister.isEmpty()) {
                if (m_env.statusWindow)
                    m_env.statusWindow->setStatusText(resString(1513));
                RegisterIntoProject(objectName, mode);
            } else {
                // The automation object is registered with the desktop already: there is
                // nothing further to register.
                EndApp();
            }
            return;
        }

        for (int index = 1; index <= 4; ++index) {
            const CommandRecord &record = m_session.commandTable[size_t(index)];
            if (!record.enabled || record.commandId != commandId || record.classId != classId)
                continue;
            if (!m_session.hostSuppliedObjects) {
                if (m_env.statusWindow)
                    m_env.statusWindow->setStatusText(resString(1504, 2));
                m_session.commandIndex = index;
                OpenPlugIn(objectName, mode);
            } else {
                AttachToHostObjects();
            }
            return;
        }

        const QString text = QStringLiteral("The transmitted CommandId (") + QString::number(commandId)
            + QStringLiteral(") is not") + CrLf + QStringLiteral("supported for  ClassId ") + QString::number(classId)
            + QStringLiteral(" !");
        refuse(Refusal::Reason::UnknownCommand, text, product::ProductName, MsgIcon::Exclamation);
        EndApp();
    };
    runStep(QStringLiteral("ValidateCommand"), [&] {
        validate();
        carriedOut = true;
    });
    // The error handler has shown the error (for example an object name that cannot be split);
    // a command that neither opened its window nor ended must not leave the plug-in behind as a
    // process with nothing on the screen.
    if (!carriedOut && !m_ended) {
        m_refusal = {Refusal::Reason::Failed, m_lastStepError};
        abort();
        EndApp();
    }
}

bool PlugInHost::openServer(lns::ConnectionMode mode)
{
    const LnsSession::ServerResult server = m_lnsSession->OpenServer(m_env.objectServerProvider, mode);
    m_session.objectServer = server.objectServer;
    m_session.networks = server.networks;
    return server.success;
}

bool PlugInHost::openNetwork(const QString &networkName)
{
    const LnsSession::NetworkResult network = m_lnsSession->OpenNetwork(m_session.networks, networkName,
                                                                        m_session.remote);
    m_session.network = network.network;
    m_session.systems = network.systems;
    m_session.system = network.system;
    m_session.subsystems = network.subsystems;
    return network.success;
}

void PlugInHost::OpenPlugIn(const QString &objectName, lns::ConnectionMode mode)
{
    log(label(PlugInModule, QStringLiteral("OpenPlugIn")));
    StatusWindow *status = m_env.statusWindow;
    if (status) {
        status->show();
        status->setProgress(0);
    }
    const ObjectNameParts parts = ObjectNameParser::Split(objectName);
    m_session.deviceName = parts.deviceName;
    m_session.lonMarkObjectName = parts.lonMarkObjectName;
    const QString title = m_session.windowTitle();

    if (!openServer(mode)) {
        log(m_lnsSession->lastError());
        refuse(Refusal::Reason::ServerNotOpened, TextUtility::FillPlaceholders(resString(1508), {product::ProductName}),
               title, MsgIcon::Exclamation, m_lnsSession->lastError());
        EndApp();
        return;
    }

    if (!openNetwork(parts.networkName)) {
        log(m_lnsSession->lastError());
        refuse(Refusal::Reason::NetworkNotOpened, resString(1436), title, MsgIcon::Critical, m_lnsSession->lastError());
        if (status)
            status->hide();
        EndApp();
        return;
    }

    const LnsSession::SubsystemResult subsystem = m_lnsSession->OpenSubsystem(m_session.subsystems,
                                                                              parts.subsystemLevels);
    m_session.subsystem = subsystem.subsystem;
    m_session.appDevices = subsystem.appDevices;
    if (!subsystem.success)
        log(m_lnsSession->lastError());

    const IniFile::FoundDevice found = subsystem.success
        ? m_iniFile->FindDevice(m_session.appDevices, parts.deviceName, parts.lonMarkObjectName)
        : IniFile::FoundDevice{};
    if (!found.success) {
        if (status)
            status->setStatusText(resString(1507));
        closeSession();
        const QString missing = subsystem.success
            ? found.failure
            : GetResString(1568, 4, {parts.subsystemPath, parts.networkName});
        refuse(Refusal::Reason::ObjectNotFound, resString(1437), title, MsgIcon::Critical, causeWithIniProblems(missing));
        if (status)
            status->hide();
        EndApp();
        return;
    }
    m_session.appDevice = found.appDevice;
    m_session.lonMarkObjects = found.lonMarkObjects;
    m_session.lonMarkObject = found.lonMarkObject;
    m_session.deviceTemplate = m_session.appDevice->deviceTemplate()->name();
    // A sensor calibration cut short on this device is undone before its values are read.
    calibration::RestoreInterruptedSensorCalibration(m_services);
    if (status)
        status->setStatusText(resString(1501, 3));

    const bool accessible = DeviceIsAccessible({}, true);
    if (m_session.commandIndex == commands::Configure || accessible) {
        window()->buildPages(m_session.commandIndex);
        window()->showWindow();
        return;
    }
    refuse(Refusal::Reason::DeviceNotAccessible, resString(1491), title, MsgIcon::Exclamation, m_lastAccessFailure);
    EndApp();
}

QString PlugInHost::causeWithIniProblems(const QString &cause) const
{
    // A damaged plug-in INI file is the likeliest reason for what was not found.
    const QStringList problems = m_iniFile ? m_iniFile->problems() : QStringList();
    return problems.isEmpty() ? cause : cause + CrLf + problems.join(CrLf);
}

void PlugInHost::AttachToHostObjects()
{
    log(label(PlugInModule, QStringLiteral("AttachToHostObjects")));
    const lns::LonMarkObjectPtr lonMarkObject = m_session.lonMarkObject;
    if (!lonMarkObject)
        throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("AttachToHostObjects"),
                       QStringLiteral("The host tool handed in no LonMark object."));
    m_session.lonMarkObjects = std::dynamic_pointer_cast<lns::LonMarkObjects>(lonMarkObject->parent());
    m_session.appDevice = std::dynamic_pointer_cast<lns::AppDevice>(
        lns::ancestorByClassId(lonMarkObject, lns::AppDeviceClass));
    if (!m_session.appDevice)
        throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("AttachToHostObjects"),
                       QStringLiteral("The LonMark object \"%1\" belongs to no device.").arg(lonMarkObject->name()));
    m_session.deviceTemplate = m_session.appDevice->deviceTemplate()->name();
    m_session.deviceName = m_session.appDevice->name();
    m_session.lonMarkObjectName = lonMarkObject->name();
    m_session.network = std::dynamic_pointer_cast<lns::Network>(
        lns::ancestorByClassId(m_session.appDevice, lns::NetworkClass));
    if (m_session.network) {
        m_session.systems = m_session.network->systems();
        m_session.system = m_session.systems->item(1);
        m_session.subsystems = m_session.system->subsystems();
        m_session.appDevices = m_session.subsystems->item(1)->appDevices();
    }
    calibration::RestoreInterruptedSensorCalibration(m_services);
    window()->buildPages(m_session.commandIndex);
    window()->showWindow();
}

bool PlugInHost::DeviceIsAccessible(const lns::AppDevicePtr &device, bool force)
{
    const QDateTime now = m_env.clock->now();
    if (!force && m_session.lastAccessCheck.isValid()) {
        const qint64 elapsed = m_session.lastAccessCheck.msecsTo(now);
        if (elapsed >= 0 && elapsed < 10000)
            return m_session.lastAccessible;
    }
    m_session.lastAccessCheck = now;
    const lns::AppDevicePtr target = device ? device : m_session.appDevice;
    bool accessible = false;
    m_lastAccessFailure.clear();
    try {
        if (target) {
            target->deviceTest(4);
            accessible = true;
            if (!device)
                m_session.communicationFailed = false;
        }
    } catch (const TqmError &error) {
        accessible = false;
        m_lastAccessFailure = error.description();
    }
    m_session.lastAccessible = accessible;
    return accessible;
}

LnsSessionObjects PlugInHost::sessionObjects()
{
    SessionState &s = m_session;
    return {s.objectServer, s.networks,   s.network,   s.systems,        s.system,       s.subsystems,
            s.subsystem,    s.appDevices, s.appDevice, s.lonMarkObjects, s.lonMarkObject};
}

void PlugInHost::closeSession()
{
    if (m_lnsSession)
        m_lnsSession->CloseAll(sessionObjects());
}

void PlugInHost::EndApp()
{
    if (m_ended)
        return;
    m_ended = true;
    const QString routine = QStringLiteral("EndApp");
    log(label(QStringLiteral("M_LcaPlugIn"), routine));
    if (!m_session.unregistering)
        Register();
    if (m_monitoring)
        runStep(routine, [&] { m_monitoring->SetMonitoring(false); });
    if (!m_session.hostSuppliedObjects)
        runStep(routine, [&] { closeSession(); });

    try {
        m_session.objectServer.reset();
        if (window() && window()->isLoaded())
            window()->unload();
        if (m_mainWindow)
            m_mainWindow->detach();
    } catch (const TqmError &) {
        // Shutting down: nothing left to tell anybody.
    }
    m_monitoring.reset();
    // Released with the other services: a status window left on the screen would outlive the
    // command in a host that keeps the automation object.
    try {
        if (m_env.statusWindow)
            m_env.statusWindow->hide();
    } catch (const TqmError &) {
    }
    if (m_logger) {
        m_logger->setView(nullptr);
        m_logger->setTimedView(nullptr);
    }
    m_services = Services{};
    m_logger.reset();
    m_lnsSession.reset();
    m_iniFile.reset();
    m_registry.reset();
}

void PlugInHost::buildServices()
{
    m_services = Services{};
    m_services.session = &m_session;
    m_services.dialogs = m_env.dialogs;
    m_services.logger = m_logger.get();
    m_services.deviceHeading = &m_logger->deviceHeading();
    m_services.iniFile = m_iniFile.get();
    m_services.registry = m_registry.get();
    m_services.clock = m_env.clock;
    m_services.timers = QtTimerFactory::unlessGiven(m_env.timers);
    m_services.handleError = [this](const TqmError &error, const QString &module, const QString &routine) {
        return m_logger->handleError(error, module, routine);
    };
    m_services.endProgram = [this] {
        m_endRequested = true;
        EndApp();
    };
}

// ---------------------------------------------------------------------------------------------
// Registration

void PlugInHost::Register()
{
    log(label(PlugInModule, QStringLiteral("Register")));
    try {
        RegistrationRecord record;
        record.projectName = product::ProjectName;
        record.className = product::ClassName;
        record.description = resString(1801);
        record.lcaVersion = product::LcaVersion;
        record.manufacturerName = resString(1802);
        record.productName = resString(1809);
        record.registrationNumber = QString::number(m_session.commandTable[commands::Configure].registrationNumber);
        record.version = m_session.version;
        RegistrationWriter(m_env.home).commit(record);
    } catch (const TqmError &) {
        // Registration never reports: the next exit writes the record again.
    }
}

bool PlugInHost::Unregister(QString *reason)
{
    log(label(PlugInModule, QStringLiteral("Unregister")));
    try {
        RegistrationWriter(m_env.home).unregister(product::ProjectName, {dbusactivation::serviceFile()});
        return true;
    } catch (const TqmError &error) {
        // Like Register: nothing is shown.
        log(error.description());
        if (reason)
            *reason = error.description();
        return false;
    }
}

bool PlugInHost::registerCommandsFor(const QString &deviceTemplate, QStringList &causes)
{
    bool allRegistered = true;
    for (int index = 1; index <= 4; ++index) {
        const CommandRecord &record = m_session.commandTable[size_t(index)];
        if (!record.enabled)
            continue;
        lns::PlugInCommandRegistration registration;
        registration.registrationNumber = record.registrationNumber;
        registration.commandName = record.name;
        registration.commandId = record.commandId;
        registration.classId = record.classId;
        registration.description = record.description;
        registration.manufacturerId = product::ManufacturerId;
        registration.className = product::ClassName;
        registration.projectName = product::ProjectName;
        registration.version = m_session.version;
        registration.deviceTemplate = deviceTemplate;
        QString cause;
        try {
            if (!m_session.network->registerPlugInCommand(registration))
                cause = QStringLiteral("refused");
        } catch (const TqmError &error) {
            cause = error.description();
        }
        if (!cause.isEmpty()) {
            cause = QStringLiteral("Registering command %1 for %2 failed: %3").arg(record.commandId).arg(deviceTemplate, cause);
            log(cause);
            causes.append(cause);
            allRegistered = false;
        }
    }
    return allRegistered;
}

void PlugInHost::RegisterIntoProject(const QString &objectName, lns::ConnectionMode mode)
{
    log(label(PlugInModule, QStringLiteral("RegisterIntoProject")));
    StatusWindow *status = m_env.statusWindow;
    if (status) {
        status->setStatusText(resString(1513));
        status->setProgress(0);
        if (!m_session.regResult)
            status->show();
    }

    bool success = false;
    QStringList causes;
    try {
        const ObjectNameParts parts = ObjectNameParser::Split(objectName);
        success = openServer(mode) && openNetwork(parts.networkName);
        if (!success)
            causes.append(m_lnsSession->lastError());
    } catch (const TqmError &error) {
        causes.append(error.description());
    }

    if (success)
        success = registerInOneTransaction(causes);
    for (const QString &cause : std::as_const(causes))
        log(cause);

    if (m_session.regResult) {
        m_session.regResult->setRegResult(success ? 0 : -1);
    } else if (!success) {
        message(resString(1435, 2), product::ProductName, MsgIcon::Critical, causes.join(CrLf));
    }
    if (status)
        status->hide();
    EndApp();
}

// A project offers the plug-in's commands for every template asked for, or none of them: an end
// part-way (an error, a killed process) leaves the project as it was.
bool PlugInHost::registerInOneTransaction(QStringList &causes)
{
    transfer::Transaction transaction(m_session.system);
    if (!transaction.started()) {
        causes.append(transaction.startFailure());
        return false;
    }
    bool success = true;
    for (int n = 1; n <= m_iniFile->TemplateEntryCount(); ++n) {
        const IniFile::TemplateEntry entry = m_iniFile->templateEntry(n);
        if (entry.programId.isEmpty()
            || !m_session.programIdsToRegister.contains(entry.programId, Qt::CaseInsensitive))
            continue;
        if (!registerCommandsFor(entry.deviceTemplate, causes))
            success = false;
    }
    if (!success) {
        transaction.cancel();
        return false;
    }
    try {
        transaction.commit();
    } catch (const TqmError &error) {
        causes.append(error.description());
        return false;
    }
    return true;
}

void PlugInHost::ShowAboutWindow()
{
    log(label(PlugInModule, QStringLiteral("ShowAboutWindow")));
    if (!m_env.aboutWindow)
        return;
    runStep(QStringLiteral("ShowAboutWindow"), [&] {
        AboutInfo info;
        info.pictureId = 103;
        info.title = resString(1850);
        info.line = TextUtility::FillPlaceholders(resString(1851), {fullVersion()});
        info.maker = resString(1802);
        m_env.aboutWindow->showModal(info);
    });
}

// ---------------------------------------------------------------------------------------------
// Help

void PlugInHost::UpdateHelpMenu()
{
    log(label(PlugInModule, QStringLiteral("UpdateHelpMenu")));
    if (!m_iniFile)
        return;
    m_session.helpFilePath = helpFileOfLanguage();
    m_session.appDocPath.clear();
    try {
        if (m_session.appDevice)
            m_session.appDocPath = m_iniFile->GetAppDocPath(m_session.appDevice->programId(), m_session.language);
    } catch (const TqmError &) {
        m_session.appDocPath.clear();
    }
    const auto isFile = [](const QString &path) { return !path.isEmpty() && QFileInfo(path).isFile(); };
    m_manualAvailable = isFile(m_session.helpFilePath);
    m_appDocAvailable = isFile(m_session.appDocPath);
}

QString PlugInHost::helpFileOfLanguage() const
{
    const QString english = PathUtility::WithTrailingBackslash(m_env.programDirectory)
        + m_iniFile->GetValue(product::HelpSection, QStringLiteral("HelpFilePath"));
    if (m_session.language != ResStrings::German)
        return english;
    const QFileInfo file(english);
    const QString german = file.path() + QStringLiteral("/de/") + file.fileName();
    return QFileInfo::exists(german) ? german : english;
}

void PlugInHost::ShowHtmlHelp(const QString &helpFile, int contextId)
{
    log(label(PlugInModule, QStringLiteral("ShowHtmlHelp")));
    try {
        if (!m_env.helpViewer)
            return;
        switch (m_env.helpViewer->show(helpFile, contextId)) {
        case HelpViewer::Result::Shown:
            return;
        case HelpViewer::Result::ViewerMissing:
            // Said in the logger as well: the box is gone once answered.
            if (m_logger)
                m_logger->addLogLine(QString(resString(1426)).replace(CrLf, QStringLiteral(" ")), logcolour::Red);
            message(resString(1426), product::ProductName, MsgIcon::Critical);
            return;
        case HelpViewer::Result::Failed:
            if (m_logger)
                m_logger->addLogLine(TextUtility::FillPlaceholders(resString(1425), {helpFile}), logcolour::Red);
            message(TextUtility::FillPlaceholders(resString(1425), {helpFile}), product::ProductName, MsgIcon::Critical);
            return;
        }
    } catch (const TqmError &error) {
        log(error.description());
    }
}
