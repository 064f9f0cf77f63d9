// The program that tst_killpoints kills: it runs one workflow on a copy of the demo network and
// ends itself with SIGKILL at a given database statement of that workflow, as a kill -9 would at
// that moment. The program defines and exports sqlite3_step, so the database calls come through
// here first.
//
//   killpointchild <register|write|spread|sensor|sensor-close|knob> <home> <plug-in INI file>
//                  <kill at statement, 0: never>
//
// Without a kill it prints the number of statements the workflow ran and exits 0; the
// calibrations print the result the window showed on a second line.

#include "calibration/calibrationpage.h"
#include "changedset.h"
#include "host/application.h"
#include "host/windowlessconfiguration.h"
#include "host/host.h"
#include "support/recordingwindows.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/timer.h"
#include "lns/unattended.h"
#include "monitoring/cmonitoring.h"
#include "session/services.h"
#include "session/session.h"
#include "strings/resstrings.h"
#include "ui/frmmain.h"
#include "ui/memorymainwindowview.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <sqlite3.h>

#include <csignal>
#include <cstdio>
#include <dlfcn.h>

namespace {
long killAt = 0;
long statements = 0;
bool armed = false;
} // namespace

// The library's own function: the program links the library, so it is loaded by then.
extern "C" int sqlite3_step(sqlite3_stmt *statement)
{
    static const auto real = reinterpret_cast<int (*)(sqlite3_stmt *)>(
        dlsym(dlopen("libsqlite3.so.0", RTLD_LAZY | RTLD_NOLOAD), "sqlite3_step"));
    if (armed && ++statements == killAt)
        std::raise(SIGKILL);
    return real(statement);
}

namespace {

const QString Opened = QStringLiteral("Demo.Building A.Floor 1.CM 1\\.04.CommandModule");
const QString TwoStopDevice = QStringLiteral("Demo.Building A.Floor 1.CM 1\\.01.CommandModule");
const QStringList Picked = {QStringLiteral("CM 2.02"), QStringLiteral("CM 2.08"), QStringLiteral("CM 3.06")};

// Registers the plug-in's commands for every template of the INI file into the demo project.
void registerIntoProject(const QString &home, const QString &iniPath)
{
    UnattendedDialogs dialogs;
    RecordingPlugInWindow window;
    HostEnvironment env;
    env.programDirectory = QFileInfo(iniPath).absolutePath();
    env.programFileName = QStringLiteral("killpointchild");
    env.home = home;
    env.dialogs = &dialogs;
    env.window = &window;
    env.objectServerProvider = [home] { return embedded::EmbeddedObjectServer::create(home); };
    PlugInHost host(env);
    Application application(host);
    QStringList programIds;
    for (int n = 1; n <= host.iniFile()->TemplateEntryCount(); ++n)
        programIds.append(host.iniFile()->templateEntry(n).programId);
    application.setProgramIdsToRegister(programIds.join(QLatin1Char(';')));
    qint32 commandId = 50;
    qint16 classId = 0;
    QString objectName = Opened;
    armed = true;
    application.SendCommand(commandId, classId, objectName);
}

// Writes a set that differs in every CP, with a new step count, to the opened device or to the
// picked ones.
void writeSet(const QString &home, const QString &iniPath, bool spread)
{
    MemorySessionParts parts(iniPath);
    const auto server = embedded::EmbeddedObjectServer::create(home);
    WindowlessConfiguration rig([server] { return server; }, Opened, commands::Configure, parts.parts(), {},
                                [] { return std::make_unique<device::ScriptedMultiDeviceWindow>(Picked); });
    rig.readSettings();
    cConfiguration &configuration = rig.configuration();
    rig.asProgram([&] {
        changedset::changeEverything(rig.parameters());
        configuration.setFanCoilStepCount(configuration.FanCoilStepCount() + 5);
    });
    armed = true;
    if (spread)
        configuration.WriteParametersEx();
    else
        configuration.WriteParameters();
}

// Runs a calibration of the calibrate command's window on a manual clock: the sensor's to its
// end, or closed at tick 6; the knob's two stops five seconds apart. Answers the result shown.
QString calibrate(const QString &home, const QString &iniPath, const QString &mode)
{
    MemorySessionParts memory(iniPath);
    ManualClock clock;
    ManualTimerFactory timers{clock};
    DeviceSessionParts parts = memory.parts();
    parts.clock = &clock;
    parts.timers = &timers;
    const auto server = embedded::EmbeddedObjectServer::create(home, clock, timers);
    const bool knob = mode == QLatin1String("knob");
    DeviceSession session([server] { return server; }, knob ? TwoStopDevice : Opened, commands::Calibrate, parts);
    ui::MemoryMainWindowView view;
    std::unique_ptr<ui::FrmMain> window;
    std::unique_ptr<cMonitoring> monitoring;
    ui::FrmMainHooks hooks;
    hooks.deviceIsAccessible = [&](bool) {
        try {
            session.state().appDevice->deviceTest(4);
            return true;
        } catch (const TqmError &) {
            return false;
        }
    };
    hooks.createMonitoring = [&] {
        monitoring = std::make_unique<cMonitoring>(session.services(), window->monitoringPage(),
                                                   window->configuration()->Parameters(), QLocale::c());
    };
    hooks.monitorPoints = [&] { return monitoring ? monitoring->MonitorPoints() : nullptr; };
    hooks.setMonitoring = [&](bool on) {
        if (monitoring)
            monitoring->SetMonitoring(on);
    };
    window = std::make_unique<ui::FrmMain>(view, session.services(), hooks);
    window->load();
    window->buildPages(commands::Calibrate);
    armed = true;
    if (knob) {
        view.clickCommandButton(calibration::button::KnobCalibrate);
        clock.advanceMs(5000);
        view.clickCommandButton(calibration::button::KnobCalibrate);
        return view.caption(ui::Element::label(ui::labels::KnobResult));
    }
    view.textBox(calibration::RoomTemperatureBox)->setText(QStringLiteral("21,5"));
    view.clickCommandButton(calibration::button::SensorCalibrate);
    clock.advanceMs(mode == QLatin1String("sensor-close") ? 7 * 200 : 25 * 200);
    window->unload();
    return view.caption(ui::Element::label(ui::labels::SensorResult));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 5) {
        std::fprintf(stderr, "usage: killpointchild <workflow> <home> <ini> <kill at>\n");
        return 2;
    }
    setLanguage(ResStrings::English);
    const QString mode = arguments[1];
    killAt = arguments[4].toLong();
    try {
        QString result;
        if (mode == QLatin1String("register"))
            registerIntoProject(arguments[2], arguments[3]);
        else if (mode == QLatin1String("write") || mode == QLatin1String("spread"))
            writeSet(arguments[2], arguments[3], mode == QLatin1String("spread"));
        else
            result = calibrate(arguments[2], arguments[3], mode);
        std::printf("%ld\n%s\n", statements, qPrintable(result));
    } catch (const TqmError &error) {
        std::fprintf(stderr, "killpointchild: %s\n", error.what());
        return 1;
    }
    return 0;
}
