// bench-spread: writes the parameter set of one command module to N further devices of a
// generated network through the multi-device write, as the "Copy parameters" command does, and
// prints per N the wall time, the time per device and the device messages per device. The time
// per device should not grow with N.
//
//   bench-spread [N ...]          default: 100 500 2000
//   bench-spread --ini <file>     plug-in INI file (default: the one next to the program)

#include "device/cconfiguration.h"
#include "device/configurationwindow.h"
#include "session/session.h"
#include "strings/resstrings.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/inifile.h"
#include "lns/logger.h"
#include "lns/userdialogs.h"
#include "params/choiceparams.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

constexpr int DevicesPerFloor = 50;
const QString Template = QStringLiteral("TQM_CM_L4");

// A network of `count` command modules of one template, DevicesPerFloor to a subsystem.
void createSpreadNetwork(const QString &home, const QString &name, int count)
{
    QJsonArray subsystems;
    for (int first = 0; first < count; first += DevicesPerFloor) {
        QJsonArray devices;
        for (int i = first; i < qMin(count, first + DevicesPerFloor); ++i)
            devices.append(QJsonObject{{"name", QStringLiteral("CM %1").arg(i, 5, 10, QLatin1Char('0'))},
                                       {"template", Template},
                                       {"online", true}});
        const int floor = first / DevicesPerFloor;
        subsystems.append(QJsonObject{{"path", QStringLiteral("Building %1/Floor %2").arg(floor / 10).arg(floor % 10)},
                                      {"devices", devices}});
    }
    embedded::createNetwork(home, QJsonObject{{"name", name}, {"subsystems", subsystems}}, true);
}

// Keeps nothing: the bench measures the write, not the logger.
class NullLogger : public Logger
{
public:
    void logLine(const QString &) override {}
    void addLogLine(const QString &, qint32 colour, int, bool, int) override
    {
        if (colour == logcolour::Red)
            m_onError = true;
    }
};

struct Measurement
{
    int devices = 0;
    qint64 scanAndWriteMs = 0;
    double cpuMs = 0;
    int written = 0;
    int failed = 0;
    embedded::MessageCounts messages;
};

Measurement measure(const QString &home, const IniFile &ini, int count)
{
    const QString networkName = QStringLiteral("Spread%1").arg(count);
    createSpreadNetwork(home, networkName, count + 1);

    auto server = embedded::EmbeddedObjectServer::create(home);
    server->open(lns::ConnectionMode::Local);
    SessionState session;
    session.network = server->network(networkName);
    session.system = session.network->systems()->item(1);
    session.appDevice = session.system->subsystems()->item(1)->subsystems()->item(1)->appDevices()->item(1);
    session.lonMarkObject = session.appDevice->lonMarkObjects()->item(QStringLiteral("CommandModule"));
    session.deviceTemplate = Template;
    session.commandIndex = commands::Configure;

    MemoryConfigurationWindow window;
    NullLogger logger;
    ScriptedDialogs dialogs;
    ConfigurationEnvironment env;
    env.session = &session;
    env.window = &window;
    env.logger = &logger;
    env.dialogs = &dialogs;
    env.iniFile = &ini;
    // Picks every device on offer.
    env.createMultiDeviceWindow = [] { return std::make_unique<device::ScriptedMultiDeviceWindow>(); };
    cConfiguration configuration(env);
    window.setUpdatingControls(true);
    configuration.FetchCPs();
    configuration.ReadSettings();
    window.setUpdatingControls(false);
    // A set that differs from the devices' defaults, so every write changes something.
    window.ComboBox(0)->chooseItem(GetResString(1052, 5));
    window.TextBox(2)->typeText(QStringLiteral("0.8"));
    window.TextBox(2)->leave();

    server->resetMessageCounts();
    // Flushes what building the network left pending, so the disk's backlog is not measured.
    ::sync();
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    configuration.WriteParametersEx();
    Measurement m;
    m.scanAndWriteMs = timer.elapsed();
    m.cpuMs = 1000.0 * double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    m.devices = count;
    m.written = int(configuration.LastSpreadResult().written.size());
    m.failed = int(configuration.LastSpreadResult().failed.size());
    m.messages = server->totalMessageCounts();
    server->close();
    return m;
}

void print(const Measurement &m)
{
    const double perDevice = m.devices ? double(m.scanAndWriteMs) / m.devices : 0;
    const double n = qMax(1, m.devices);
    const double cpuPerDevice = m.devices ? m.cpuMs / m.devices : 0;
    std::printf("%6d  %9lld  %10.3f  %10.3f  %8d  %6d  %9.1f  %9.1f  %9.1f\n", m.devices,
                static_cast<long long>(m.scanAndWriteMs), perDevice, cpuPerDevice, m.written, m.failed,
                m.messages.cpReads / n, m.messages.cpWrites / n, m.messages.total() / n);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes a parameter set to N devices of a generated network and prints the time per device."));
    parser.addHelpOption();
    const QCommandLineOption iniOption(QStringLiteral("ini"), QStringLiteral("The plug-in INI file."),
                                       QStringLiteral("file"),
                                       QCoreApplication::applicationDirPath() + QStringLiteral("/TqmCmdModule.ini"));
    parser.addOption(iniOption);
    parser.addPositionalArgument(QStringLiteral("N"), QStringLiteral("Device counts (default 100 500 2000)."));
    parser.process(app);

    QList<int> counts;
    for (const QString &argument : parser.positionalArguments()) {
        bool ok = false;
        const int n = argument.toInt(&ok);
        if (!ok || n < 1) {
            std::fprintf(stderr, "bench-spread: \"%s\" is not a device count (a whole number of at least 1).\n",
                         qPrintable(argument));
            return 2;
        }
        counts.append(n);
    }
    if (counts.isEmpty())
        counts = {100, 500, 2000};

    const QString iniPath = parser.value(iniOption);
    if (!QFileInfo::exists(iniPath)) {
        std::fprintf(stderr, "bench-spread: the plug-in INI file \"%s\" does not exist (--ini).\n", qPrintable(iniPath));
        return 2;
    }
    IniFile ini(iniPath);
    QTemporaryDir home;
    if (!home.isValid()) {
        std::fprintf(stderr, "bench-spread: no temporary directory for the networks.\n");
        return 1;
    }
    qputenv("TQM_HOME", home.path().toUtf8());
    qunsetenv(device::ScriptedMultiDeviceWindow::PickVariable);

    std::printf("%6s  %9s  %10s  %10s  %8s  %6s  %9s  %9s  %9s\n", "N", "wall ms", "ms/device", "CPU ms/dev",
                "written", "failed", "CP reads", "CP writes", "messages");
    std::printf("%6s  %9s  %10s  %10s  %8s  %6s  %9s  %9s  %9s\n", "", "", "", "", "", "", "/device", "/device",
                "/device");
    try {
        for (int n : counts)
            print(measure(home.path(), ini, n));
    } catch (const TqmError &error) {
        std::fprintf(stderr, "bench-spread: %s\n", error.what());
        return 1;
    }
    return 0;
}
