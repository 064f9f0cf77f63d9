// bench-list: `tqm-netdb list` on demo networks of N devices (the demo's layout, every template
// of the INI file, simulated rooms). Per N it prints the SQL statements the listing runs per
// device and its CPU time per device (in this process, the network already open), then the
// program itself as a user runs it (the median of five runs): how long until its first device
// line arrives, the CPU time it had used by then (which a busy machine does not inflate; the goal
// for both is 100 ms at any N), and its CPU time in all.
// "again" lists once more on the same connection: the device templates are read by then, so it
// is the cost of the devices alone.
//
//   bench-list [N ...]          default: 100 1000 5000
//   bench-list --ini <file>     plug-in INI file (default: the one next to the program)
//   bench-list --netdb <path>   the tqm-netdb program (default: the one next to the program)

#include "lns/embedded/embeddedobjectserver.h"
#include "common/commandtable.h"
#include "spreadmeasure.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Figures
{
    int devices = 0;
    long statements = 0;
    double listCpuMs = 0;
    double warmCpuMs = 0; // a second listing: the templates are read, only the devices cost
    double firstLineMs = 0;
    double firstLineCpuMs = 0; // the program's CPU time when its first device line arrived
    double programCpuMs = 0;
    int lines = 0;
};

// The listing in this process: statements and CPU time of reading and formatting every line.
void measureInProcess(const QString &home, const QString &network, Figures &f)
{
    auto server = embedded::EmbeddedObjectServer::create(home);
    server->setReadOnly(true);
    server->open(lns::ConnectionMode::Local);
    const lns::NetworkPtr net = server->network(network);
    // CPU milliseconds of reading and formatting every line.
    const auto list = [&net] {
        const std::clock_t start = std::clock();
        QString text;
        for (const embedded::DeviceEntry &d : embedded::listDevices(net))
            text += QStringList{d.subsystemPath, d.name, d.templateName, d.programId,
                                d.online ? QStringLiteral("online") : QStringLiteral("offline"),
                                QString::number(d.applicationVersion, 'f', 1),
                                d.commandModuleName.isEmpty() ? d.objectName : d.commandModuleName}
                        .join(QLatin1Char('\t'))
                + QLatin1Char('\n');
        return 1000.0 * double(std::clock() - start) / CLOCKS_PER_SEC;
    };
    spreadbench::StatementCounter counter;
    counter.attach();
    f.listCpuMs = list();
    counter.detach();
    f.statements = counter.statements;
    f.warmCpuMs = list();
}

constexpr int ProgramRuns = 5;
constexpr double FirstLineGoalMs = 100;

// CPU milliseconds a running process has used so far (every thread's time on a CPU, in ns).
double cpuSoFarMs(pid_t pid)
{
    double ns = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(task + QStringLiteral("/schedstat")));
        if (stat.open(QIODevice::ReadOnly))
            ns += stat.readAll().split(' ').value(0).toDouble();
    }
    return ns / 1e6;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The program as a user runs it, once: wall time to its first line, its CPU time, its line count.
bool measureProgramOnce(const QString &netdb, const QString &home, const QString &network, Figures &f)
{
    int out[2];
    if (pipe(out) != 0)
        return false;
    QElapsedTimer clock;
    clock.start();
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], 1);
        close(out[0]);
        close(out[1]);
        setenv("TQM_HOME", QFile::encodeName(home).constData(), 1);
        const QByteArray program = QFile::encodeName(netdb);
        const QByteArray name = network.toUtf8();
        execl(program.constData(), program.constData(), "list", name.constData(), static_cast<char *>(nullptr));
        _exit(127);
    }
    close(out[1]);
    char buffer[65536];
    bool first = true;
    ssize_t n = 0;
    while ((n = read(out[0], buffer, sizeof buffer)) > 0) {
        for (ssize_t i = 0; i < n; ++i) {
            if (buffer[i] != '\n')
                continue;
            // The heading is the first line; the first device's line the second.
            if (first && f.lines == 1) {
                f.firstLineMs = double(clock.nsecsElapsed()) / 1e6;
                f.firstLineCpuMs = cpuSoFarMs(child);
                first = false;
            }
            ++f.lines;
        }
    }
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    f.programCpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The median of ProgramRuns runs of the program.
bool measureProgram(const QString &netdb, const QString &home, const QString &network, Figures &f)
{
    QList<double> firstLine, firstLineCpu, programCpu;
    bool ran = true;
    for (int run = 0; run < ProgramRuns; ++run) {
        Figures once;
        ran = measureProgramOnce(netdb, home, network, once) && ran;
        firstLine.append(once.firstLineMs);
        firstLineCpu.append(once.firstLineCpuMs);
        programCpu.append(once.programCpuMs);
        f.lines = once.lines;
    }
    f.firstLineMs = median(firstLine);
    f.firstLineCpuMs = median(firstLineCpu);
    f.programCpuMs = median(programCpu);
    return ran;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption iniOption = toolcommands::benchmarkIniOption();
    const QCommandLineOption netdbOption(QStringLiteral("netdb"), QStringLiteral("The tqm-netdb program."),
                                         QStringLiteral("path"),
                                         QCoreApplication::applicationDirPath() + QStringLiteral("/tqm-netdb"));
    toolcommands::processBenchmarkLine(parser, app, QStringLiteral("Times tqm-netdb list on demo networks of N devices."),
                                       {iniOption, netdbOption}, QStringLiteral("Device counts (default 100 1000 5000)."));
    const std::optional<QList<int>> given = spreadbench::deviceCounts(parser, "bench-list", {100, 1000, 5000});
    if (!given)
        return 2;
    const QList<int> counts = *given;
    const QString netdb = parser.value(netdbOption);
    if (!QFileInfo(netdb).isExecutable()) {
        std::fprintf(stderr, "bench-list: there is no program \"%s\" (--netdb).\n", qPrintable(netdb));
        return 2;
    }
    QTemporaryDir home;
    if (!home.isValid()) {
        std::fprintf(stderr, "bench-list: no temporary directory for the networks.\n");
        return 1;
    }

    std::printf("%6s  %11s  %11s  %11s  %11s  %11s  %11s  %11s\n", "N", "statements", "list CPU", "again",
                "first line", "first line", "program CPU", "program CPU");
    std::printf("%6s  %11s  %11s  %11s  %11s  %11s  %11s  %11s\n", "", "/device", "ms/device", "ms/device", "ms wall",
                "ms CPU", "ms", "ms/device");
    int problems = 0;
    double slowestWall = 0;
    double slowestCpu = 0;
    try {
        for (const int n : counts) {
            const QString network = QStringLiteral("List%1").arg(n);
            embedded::createDemoNetwork(home.path(), network, n, parser.value(iniOption), true);
            Figures f;
            f.devices = n;
            measureInProcess(home.path(), network, f);
            const bool ran = measureProgram(netdb, home.path(), network, f);
            std::printf("%6d  %11.2f  %11.4f  %11.4f  %11.1f  %11.1f  %11.1f  %11.4f\n", n, double(f.statements) / n,
                        f.listCpuMs / n, f.warmCpuMs / n, f.firstLineMs, f.firstLineCpuMs, f.programCpuMs,
                        f.programCpuMs / n);
            if (!ran || f.lines != n + 1) {
                std::printf("        problem: tqm-netdb list printed %d lines for %d devices\n", f.lines, n);
                ++problems;
            }
            slowestWall = std::max(slowestWall, f.firstLineMs);
            slowestCpu = std::max(slowestCpu, f.firstLineCpuMs);
            std::fflush(stdout);
        }
    } catch (const TqmError &error) {
        std::fprintf(stderr, "bench-list: %s\n", error.what());
        return 1;
    }
    std::printf("first line (median of %d runs), slowest N: %.1f ms wall, %.1f ms CPU; goal <= %.0f ms: %s\n",
                ProgramRuns, slowestWall, slowestCpu, FirstLineGoalMs,
                slowestWall <= FirstLineGoalMs ? "met"
                : slowestCpu <= FirstLineGoalMs ? "met in CPU time (the wall time waited for a busy machine)"
                                                : "NOT met");
    return problems == 0 ? 0 : 3;
}
