#pragma once

// What bench-spread and bench-config share: the generated network of command modules, the
// counters of database commits and disk syncs, and the table they print, so that the two
// benchmarks give the same figures for the window's multi-device write and tqm-config's.

#include "lns/embedded/embeddedobjectserver.h"

#include <QCommandLineParser>
#include <QStringList>
#include <functional>
#include <optional>

class QCoreApplication;

namespace spreadbench {

constexpr int DevicesPerFloor = embedded::DemoDevicesPerFloor;
inline const QString Template = QStringLiteral("TQM_CM_L4");

// A network of `count` command modules of one template laid out as the demo network is
// (DevicesPerFloor to a floor, buildings of two floors), each with its simulated room.
void createSpreadNetwork(const QString &home, const QString &name, int count);
// The command-module object of device n (0-based, in the order the network was made).
lns::LonMarkObjectPtr commandModule(const lns::NetworkPtr &network, int n);

// fsync and fdatasync calls of the process so far (the program exports both and counts them).
long syncCalls();

// Counts the commits of every database connection the process holds when attached.
class CommitCounter
{
public:
    void attach();
    long commits = 0;

private:
    static int count(void *self);
};

// Counts the SQL statements every database connection the process holds runs once attached.
class StatementCounter
{
public:
    void attach();
    void detach();
    long statements = 0;

private:
    static int count(unsigned event, void *self, void *, void *);
};

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

void printHeader();
void print(const Measurement &m);

// The device counts given as positional arguments, or the defaults when none is given; an
// argument that is no count of at least 1 is said on standard error and gives nothing.
std::optional<QList<int>> deviceCounts(const QCommandLineParser &parser, const char *program, const QList<int> &defaults);

// The benchmark's main: takes the device counts (default 100 500 2000) and --ini, measures each
// count on networks in a temporary home and prints the table. Answers the exit code: 0, 1 when
// a measurement failed, 2 for wrong arguments, 3 when a measurement found problems.
using Measure = std::function<Measurement(const QString &home, const QString &iniPath, int devices)>;
int runBenchmark(QCoreApplication &app, const char *program, const QString &description, const Measure &measure);

} // namespace spreadbench
