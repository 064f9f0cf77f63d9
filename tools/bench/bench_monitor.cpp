// bench-monitor: the monitor command's window under a stream of monitored updates. The plug-in
// runs the monitor command on a command module of a generated network, with the Qt main window on
// the offscreen platform; a writer thread, standing for the device, changes the five monitored
// output NVs through a connection of its own, round robin, at the given rate. The bench prints
// the updates the monitoring page received per second, the event loop's latency (how late a
// 10 ms probe timer fires: p50, p99, max; goal p99 <= 16 ms) and the CPU share of the window's
// thread and of the process.
//
//   bench-monitor [--seconds 60] [--rate 50] [--ini <file>]
//
// Every watched NV is taken out of its throttle (poll interval 0) and the mode-dependent ones
// are all watched, so that the page sees every change: the bench measures the window, not the
// throttle that normally keeps the updates few.

#include "common/commandtable.h"
#include "host/host.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/statuswindow.h"
#include "lns/timer.h"
#include "lns/unattended.h"
#include "monitoring/cmonitoring.h"
#include "strings/resstrings.h"
#include "widgets/qtmainwindowview.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

namespace {

const QString NetworkName = QStringLiteral("Bench");
const QString DeviceObject = QStringLiteral("Bench.Floor.CM 1");
constexpr int ProbeIntervalMs = 10;

// One command module whose outputs keep what is written to them (not simulated).
void createBenchNetwork(const QString &home)
{
    const QJsonObject device{{"name", "CM 1"}, {"template", "TQM_CM_L4"}, {"online", true}};
    embedded::createNetwork(home,
                            QJsonObject{{"name", NetworkName},
                                        {"subsystems", QJsonArray{QJsonObject{{"path", "Floor"},
                                                                              {"devices", QJsonArray{device}}}}}},
                            true);
}

double threadCpuSeconds(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double percentile(QList<double> values, double p)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype index = qMin(values.size() - 1, qsizetype(p * double(values.size())));
    return values[index];
}

// The device: writes new values of the monitored outputs, round robin, at `rate` per second.
void writeUpdates(const QString &home, int rate, const std::atomic<bool> &stop, std::atomic<int> &written)
{
    auto server = embedded::EmbeddedObjectServer::create(home);
    server->open(lns::ConnectionMode::Local);
    const auto nvs = server->lonMarkObject(DeviceObject + QStringLiteral(".CommandModule"))->networkVariables();
    const QStringList names{"nvoSpaceTemp", "nvoSetptOffset", "nvoHeatCool", "nvoFanSpeed", "nvoOccManCmd"};
    QList<lns::NetworkVariablePtr> outputs;
    for (const QString &name : names)
        outputs.append(nvs->item(name));
    const QStringList heatCool{"HVAC_HEAT", "HVAC_COOL", "HVAC_OFF", "HVAC_AUTO"};
    const QStringList occupancy{"OC_OCCUPIED", "OC_UNOCCUPIED", "OC_BYPASS", "OC_STANDBY"};
    const auto period = std::chrono::microseconds(1000000 / qMax(1, rate));
    auto next = std::chrono::steady_clock::now();
    for (int n = 0; !stop; ++n) {
        const int round = n / int(outputs.size());
        QString value;
        switch (n % outputs.size()) {
        case 0:
            value = QString::number(20.0 + (round % 500) / 100.0, 'f', 2);
            break;
        case 1:
            value = QString::number(-2.0 + (round % 400) / 100.0, 'f', 2);
            break;
        case 2:
            value = heatCool[round % heatCool.size()];
            break;
        case 3:
            value = QStringLiteral("%1 1").arg((round % 200) / 2.0, 0, 'f', 1);
            break;
        default:
            value = occupancy[round % occupancy.size()];
            break;
        }
        try {
            outputs[n % outputs.size()]->setValue(value);
            ++written;
        } catch (const TqmError &error) {
            std::fprintf(stderr, "write failed: %s\n", qPrintable(error.description()));
        }
        next += period;
        std::this_thread::sleep_until(next);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    unattended::dropPlatformRemarks();
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption secondsOption(QStringLiteral("seconds"), QStringLiteral("Length of the run (default 60)."),
                                           QStringLiteral("s"), QStringLiteral("60"));
    const QCommandLineOption rateOption(QStringLiteral("rate"), QStringLiteral("Updates per second (default 50)."),
                                        QStringLiteral("n"), QStringLiteral("50"));
    const QCommandLineOption iniOption = toolcommands::benchmarkIniOption();
    toolcommands::processBenchmarkLine(parser, app,
                                       QStringLiteral("Times the monitor command's window under monitored updates."),
                                       {secondsOption, rateOption, iniOption});
    const int seconds = qMax(1, parser.value(secondsOption).toInt());
    const int rate = qMax(1, parser.value(rateOption).toInt());

    QTemporaryDir home;
    QTemporaryDir program;
    qputenv("TQM_HOME", home.path().toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/xdg")).toUtf8());
    if (!QFile::copy(parser.value(iniOption), program.filePath(QStringLiteral("TqmCmdModule.ini")))) {
        std::fprintf(stderr, "bench-monitor: cannot read the INI file %s\n", qPrintable(parser.value(iniOption)));
        return 1;
    }
    createBenchNetwork(home.path());
    setLanguage(ResStrings::English);

    widgets::QtMainWindowView view(false);
    UnattendedDialogs dialogs;
    UnattendedStatusWindow status;
    HostEnvironment env;
    env.programDirectory = program.path();
    env.programFileName = QStringLiteral("bench-monitor");
    env.logDirectory = home.path();
    env.dialogs = &dialogs;
    env.statusWindow = &status;
    env.view = &view;
    const QString homePath = home.path();
    env.objectServerProvider = [homePath] { return embedded::EmbeddedObjectServer::create(homePath); };
    PlugInHost host(env);
    host.Main(QStringLiteral("/CLASSID:28/COMMANDID:21/OBJECTNAME:") + DeviceObject + QStringLiteral(".CommandModule"));
    cMonitoring *monitoring = host.monitoring();
    if (host.ended() || !monitoring) {
        std::fprintf(stderr, "bench-monitor: the monitor command did not start\n");
        return 1;
    }
    cMonitorPoints *points = monitoring->MonitorPoints();
    for (int i = 1; i <= points->Count(); ++i) {
        cMonitorPoint *point = points->GetMonitorPoint(qint16(i));
        point->setPollInterval(0);
        point->ActivateMonitoring();
    }
    int updates = 0;
    QObject::connect(points, &cMonitorPoints::NvUpdate, &app, [&updates] { ++updates; });
    int fieldChanges = 0;
    for (int field = 4; field <= 10; ++field)
        QObject::connect(view.textBox(field), &controls::TextBoxControl::changed, &app, [&fieldChanges] { ++fieldChanges; });

    // The probe: re-armed at every firing, it notes how late the loop let it fire.
    QList<double> lateness;
    QElapsedTimer clock;
    QTimer probe;
    probe.setSingleShot(true);
    probe.setTimerType(Qt::PreciseTimer);
    qint64 armedAt = 0;
    QObject::connect(&probe, &QTimer::timeout, &app, [&] {
        const qint64 now = clock.nsecsElapsed();
        lateness.append(qMax<qint64>(0, now - armedAt - qint64(ProbeIntervalMs) * 1000000) / 1e6);
        armedAt = now;
        probe.start(ProbeIntervalMs);
    });

    std::atomic<bool> stop{false};
    std::atomic<int> written{0};
    const double cpuStart = threadCpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    const double processStart = threadCpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    clock.start();
    std::thread writer(writeUpdates, home.path(), rate, std::cref(stop), std::ref(written));
    armedAt = clock.nsecsElapsed();
    probe.start(ProbeIntervalMs);
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    const double wall = clock.nsecsElapsed() / 1e9;
    const double cpu = threadCpuSeconds(CLOCK_THREAD_CPUTIME_ID) - cpuStart;
    stop = true;
    writer.join();
    const double processCpu = threadCpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - processStart;
    host.EndApp();

    std::printf("bench-monitor: %d s, the device wrote %d values (%.1f/s)\n", seconds, written.load(), written / wall);
    std::printf("  monitored updates   %d (%.1f/s), field changes %d\n", updates, updates / wall, fieldChanges);
    std::printf("  event-loop latency  p50 %.2f ms, p99 %.2f ms, max %.2f ms (%lld probes; goal p99 <= 16 ms)\n",
                percentile(lateness, 0.50), percentile(lateness, 0.99), percentile(lateness, 1.0),
                qint64(lateness.size()));
    std::printf("  CPU share           window thread %.1f %%, process %.1f %% (with the writer)\n", 100 * cpu / wall,
                100 * processCpu / wall);
    return 0;
}
