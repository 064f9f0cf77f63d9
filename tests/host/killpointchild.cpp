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
#include "strings/resstrings.h"
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

// The host of the plug-in whose program directory holds the INI file `iniPath`.
HostEnvironment hostEnvironment(const QString &home, const QString &iniPath, UserDialogs &dialogs)
{
    HostEnvironment env;
    env.programDirectory = QFileInfo(iniPath).absolutePath();
    env.programFileName = QStringLiteral("killpointchild");
    env.home = home;
    env.dialogs = &dialogs;
    env.objectServerProvider = [home] { return embedded::EmbeddedObjectServer::create(home); };
    return env;
}

// Registers the plug-in's commands for every template of the INI file into the demo project.
void registerIntoProject(const QString &home, const QString &iniPath)
{
    UnattendedDialogs dialogs;
    RecordingPlugInWindow window;
    HostEnvironment env = hostEnvironment(home, iniPath, dialogs);
    env.window = &window;
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

// Runs a calibration in the calibrate command's window as the host opens it, on a manual clock:
// the sensor's to its end or with the window closed at tick 6; the knob's two stops five
// seconds apart. Answers the result shown.
QString calibrate(const QString &home, const QString &iniPath, const QString &mode)
{
    ManualClock clock;
    ManualTimerFactory timers{clock};
    UnattendedDialogs dialogs;
    ui::MemoryMainWindowView view;
    HostEnvironment env = hostEnvironment(home, iniPath, dialogs);
    env.clock = clock;
    env.timers = &timers;
    env.view = &view;
    env.objectServerProvider = [&] { return embedded::EmbeddedObjectServer::create(home, clock, timers); };
    PlugInHost host(env);
    const bool knob = mode == QLatin1String("knob");
    host.Main(QStringLiteral("/CLASSID:28/COMMANDID:14/OBJECTNAME:") + (knob ? TwoStopDevice : Opened));
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
    view.requestClose();
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
