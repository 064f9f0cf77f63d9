#include "spreadmeasure.h"

#include "base/tqmerror.h"
#include "common/commandtable.h"
#include "lns/embedded/sqlitedb.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <atomic>
#include <cstdio>
#include <dlfcn.h>

// ---- counting the disk syncs: the database library's calls end up here (the program exports
// these symbols) and go on to the C library's.

namespace {
std::atomic<long> syncCount{0};

template <class F>
F nextSymbol(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
} // namespace

extern "C" int fsync(int fd)
{
    static const auto real = nextSymbol<int (*)(int)>("fsync");
    ++syncCount;
    return real(fd);
}

extern "C" int fdatasync(int fd)
{
    static const auto real = nextSymbol<int (*)(int)>("fdatasync");
    ++syncCount;
    return real(fd);
}

namespace spreadbench {

long syncCalls()
{
    return syncCount;
}

void createSpreadNetwork(const QString &home, const QString &name, int count)
{
    embedded::createNetwork(home, embedded::demoNetworkDescription(name, count, {Template}), true);
}

lns::LonMarkObjectPtr commandModule(const lns::NetworkPtr &network, int n)
{
    const int floor = n / DevicesPerFloor;
    const lns::SubsystemPtr building =
        network->systems()->item(1)->subsystems()->item(floor / embedded::DemoFloorsPerBuilding + 1);
    return building->subsystems()
        ->item(floor % embedded::DemoFloorsPerBuilding + 1)
        ->appDevices()
        ->item(n % DevicesPerFloor + 1)
        ->lonMarkObjects()
        ->item(QStringLiteral("CommandModule"));
}

void StatementCounter::attach()
{
    embedded::sqlite::Connection::forEachOpen(
        [this](sqlite3 *db) { sqlite3_trace_v2(db, SQLITE_TRACE_STMT, &StatementCounter::count, this); });
}

void StatementCounter::detach()
{
    embedded::sqlite::Connection::forEachOpen([](sqlite3 *db) { sqlite3_trace_v2(db, 0, nullptr, nullptr); });
}

int StatementCounter::count(unsigned, void *self, void *, void *)
{
    ++static_cast<StatementCounter *>(self)->statements;
    return 0;
}

void CommitCounter::attach()
{
    embedded::sqlite::Connection::forEachOpen(
        [this](sqlite3 *db) { sqlite3_commit_hook(db, &CommitCounter::count, this); });
}

int CommitCounter::count(void *self)
{
    ++static_cast<CommitCounter *>(self)->commits;
    return 0; // go on with the commit
}

void printHeader()
{
    std::printf("%6s  %9s  %8s  %8s  %7s  %6s  %8s  %8s  %8s  %8s  %8s\n", "N", "wall ms", "ms/dev", "CPU ms", "written",
                "failed", "CPs/set", "CP reads", "messages", "commits", "syncs");
    std::printf("%6s  %9s  %8s  %8s  %7s  %6s  %8s  %8s  %8s  %8s  %8s\n", "", "", "", "/device", "", "", "", "/device",
                "/device", "/device", "/device");
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

std::optional<QList<int>> deviceCounts(const QCommandLineParser &parser, const char *program, const QList<int> &defaults)
{
    QList<int> counts;
    for (const QString &argument : parser.positionalArguments()) {
        bool ok = false;
        const int n = argument.toInt(&ok);
        if (!ok || n < 1) {
            std::fprintf(stderr, "%s: \"%s\" is not a device count (a whole number of at least 1).\n", program,
                         qPrintable(argument));
            return std::nullopt;
        }
        counts.append(n);
    }
    return counts.isEmpty() ? defaults : counts;
}

int runBenchmark(QCoreApplication &app, const char *program, const QString &description, const Measure &measure)
{
    QCommandLineParser parser;
    const QCommandLineOption iniOption = toolcommands::benchmarkIniOption();
    toolcommands::processBenchmarkLine(parser, app, description, {iniOption},
                                       QStringLiteral("Device counts (default 100 500 2000)."));

    const std::optional<QList<int>> given = deviceCounts(parser, program, {100, 500, 2000});
    if (!given)
        return 2;
    const QList<int> counts = *given;
    const QString iniPath = parser.value(iniOption);
    if (!QFileInfo::exists(iniPath)) {
        std::fprintf(stderr, "%s: the plug-in INI file \"%s\" does not exist (--ini).\n", program, qPrintable(iniPath));
        return 2;
    }
    QTemporaryDir home;
    if (!home.isValid()) {
        std::fprintf(stderr, "%s: no temporary directory for the networks.\n", program);
        return 1;
    }

    printHeader();
    int problems = 0;
    try {
        for (int n : counts) {
            const Measurement m = measure(home.path(), iniPath, n);
            print(m);
            problems += int(m.problems.size());
        }
    } catch (const TqmError &error) {
        std::fprintf(stderr, "%s: %s\n", program, error.what());
        return 1;
    }
    return problems == 0 ? 0 : 3;
}

} // namespace spreadbench
