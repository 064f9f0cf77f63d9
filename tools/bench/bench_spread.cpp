// bench-spread: writes the parameter set of one command module to N further devices of a
// generated network through the multi-device write, as the "Copy parameters" command does, and
// prints per N the wall and CPU time per device, the device messages, the database commits and
// the disk syncs per device. The set differs from the devices' defaults in every CP, so each
// write changes everything it sends; a sample of the devices is checked afterwards for the new
// bytes. The time per device should not grow with N.
//
//   bench-spread [N ...]          default: 100 500 2000
//   bench-spread --ini <file>     plug-in INI file (default: the one next to the program)

#include "changedset.h"
#include "device/cconfiguration.h"
#include "device/configurationwindow.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/inifile.h"
#include "lns/logger.h"
#include "lns/userdialogs.h"
#include "params/cpaccess.h"
#include "session/services.h"
#include "session/session.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <dlfcn.h>
#include <unistd.h>

// ---- counting the disk syncs: the database library's calls end up here (the program exports
// these symbols) and go on to the C library's.

namespace {
std::atomic<long> syncCalls{0};

template <class F>
F nextSymbol(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
} // namespace

extern "C" int fsync(int fd)
{
    static const auto real = nextSymbol<int (*)(int)>("fsync");
    ++syncCalls;
    return real(fd);
}

extern "C" int fdatasync(int fd)
{
    static const auto real = nextSymbol<int (*)(int)>("fdatasync");
    ++syncCalls;
    return real(fd);
}

namespace {

constexpr int DevicesPerFloor = 50;
constexpr int SampleEvery = 97; // devices checked for the new bytes: every 97th and the last
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

// Keeps nothing but the red lines: the bench measures the write, not the logger.
class NullLogger : public Logger
{
public:
    void logLine(const QString &) override {}
    void addLogLine(const QString &text, qint32 colour, int, bool, int) override
    {
        if (colour == logcolour::Red) {
            m_onError = true;
            red.append(text);
        }
    }
    QStringList red;
};

// Counts the commits of every database connection the process holds.
class CommitCounter
{
public:
    void attach()
    {
        for (const QString &name : QSqlDatabase::connectionNames()) {
            const QVariant handle = QSqlDatabase::database(name, false).driver()->handle();
            if (qstrcmp(handle.typeName(), "sqlite3*") == 0)
                sqlite3_commit_hook(*static_cast<sqlite3 *const *>(handle.data()), &CommitCounter::count, this);
        }
    }
    long commits = 0;

private:
    static int count(void *self)
    {
        ++static_cast<CommitCounter *>(self)->commits;
        return 0; // go on with the commit
    }
};

QStringList cpBytes(const lns::LonMarkObjectPtr &object, const QStringList &cpNames)
{
    QStringList values;
    for (const QString &name : cpNames)
        values.append(name + QLatin1Char('=') + cpaccess::readRawText(*object->configProperties()->item(name)));
    return values;
}

struct Measurement
{
    int devices = 0;
    qint64 wallMs = 0;
    double cpuMs = 0;
    int written = 0;
    int failed = 0;
    int distinctCps = 0;
    embedded::MessageCounts messages;
    long commits = 0;
    long syncs = 0;
    QStringList problems;
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
    Services services;
    services.session = &session;
    services.logger = &logger;
    services.dialogs = &dialogs;
    services.iniFile = &ini;
    // Picks every device on offer.
    cConfiguration configuration(services, window,
                                 [] { return std::make_unique<device::ScriptedMultiDeviceWindow>(); });
    window.setUpdatingControls(true);
    configuration.FetchCPs();
    configuration.ReadSettings();
    changedset::changeEverything(*configuration.Parameters());
    configuration.setFanCoilStepCount(configuration.FanCoilStepCount() + 1);
    window.setUpdatingControls(false);

    const QStringList cps = configuration.Parameters()->GetAllCpNamesShouldBeWrittenToLns();
    const lns::LonMarkObjectPtr first =
        session.system->subsystems()->item(1)->subsystems()->item(1)->appDevices()->item(2)->lonMarkObjects()->item(
            QStringLiteral("CommandModule"));
    const QStringList defaults = cpBytes(first, cps);

    CommitCounter commits;
    commits.attach();
    server->resetMessageCounts();
    // Flushes what building the network left pending, so the disk's backlog is not measured.
    ::sync();
    const long syncsBefore = syncCalls;
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    configuration.WriteParametersEx();
    Measurement m;
    m.wallMs = timer.elapsed();
    m.cpuMs = 1000.0 * double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    m.syncs = syncCalls - syncsBefore;
    m.commits = commits.commits;
    m.messages = server->totalMessageCounts();
    m.devices = count;
    m.distinctCps = int(cps.size());
    m.written = int(configuration.LastSpreadResult().written.size());
    m.failed = int(configuration.LastSpreadResult().failed.size());
    m.problems = logger.red;

    // The opened device gets the set too; a sample of the others must now hold its bytes, and
    // every CP of the set must have changed.
    configuration.WriteSettings();
    const QStringList expected = cpBytes(session.lonMarkObject, cps);
    for (int i = 0; i < expected.size(); ++i)
        if (expected[i] == defaults[i])
            m.problems.append(QStringLiteral("the set leaves %1 as it was").arg(cps[i]));
    const QList<lns::SubsystemPtr> floors = [&] {
        QList<lns::SubsystemPtr> all;
        for (const auto &building : session.system->subsystems()->items())
            all.append(building->subsystems()->items());
        return all;
    }();
    QList<int> sample;
    for (int n = 1; n < count; n += SampleEvery)
        sample.append(n);
    sample.append(count);
    for (int n : sample) {
        const auto device = floors.at(n / DevicesPerFloor)->appDevices()->item(n % DevicesPerFloor + 1);
        const QStringList found = cpBytes(device->lonMarkObjects()->item(QStringLiteral("CommandModule")), cps);
        if (found != expected)
            m.problems.append(device->name() + QStringLiteral(" does not hold the set"));
    }
    server->close();
    return m;
}

void print(const Measurement &m)
{
    const double n = qMax(1, m.devices);
    std::printf("%6d  %9lld  %8.2f  %8.2f  %7d  %6d  %8d  %8.1f  %8.1f  %8.2f  %8.2f\n", m.devices,
                static_cast<long long>(m.wallMs), m.wallMs / n, m.cpuMs / n, m.written, m.failed, m.distinctCps,
                m.messages.cpReads / n, m.messages.total() / n, m.commits / n, m.syncs / n);
    for (const QString &problem : m.problems)
        std::printf("        problem: %s\n", qPrintable(problem));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a parameter set to N devices of a generated network and prints the cost per device."));
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

    std::printf("%6s  %9s  %8s  %8s  %7s  %6s  %8s  %8s  %8s  %8s  %8s\n", "N", "wall ms", "ms/dev", "CPU ms", "written",
                "failed", "CPs/set", "CP reads", "messages", "commits", "syncs");
    std::printf("%6s  %9s  %8s  %8s  %7s  %6s  %8s  %8s  %8s  %8s  %8s\n", "", "", "", "/device", "", "", "", "/device",
                "/device", "/device", "/device");
    int problems = 0;
    try {
        for (int n : counts) {
            const Measurement m = measure(home.path(), ini, n);
            print(m);
            problems += int(m.problems.size());
        }
    } catch (const TqmError &error) {
        std::fprintf(stderr, "bench-spread: %s\n", error.what());
        return 1;
    }
    return problems == 0 ? 0 : 3;
}
