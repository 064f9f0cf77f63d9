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
#include "spreadmeasure.h"
#include "host/windowlessconfiguration.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "params/cpaccess.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <ctime>
#include <unistd.h>

using namespace spreadbench;

namespace {

constexpr int SampleEvery = 97; // devices checked for the new bytes: every 97th and the last

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

QStringList cpBytes(const lns::LonMarkObjectPtr &object, const QStringList &cpNames)
{
    QStringList values;
    for (const QString &name : cpNames)
        values.append(name + QLatin1Char('=') + cpaccess::readRawText(*object->configProperties()->item(name)));
    return values;
}

Measurement measure(const QString &home, const QString &iniPath, int count)
{
    const QString networkName = QStringLiteral("Spread%1").arg(count);
    createSpreadNetwork(home, networkName, count + 1);

    auto server = embedded::EmbeddedObjectServer::create(home);
    server->open(lns::ConnectionMode::Local);
    MemorySessionParts memory(iniPath);
    NullLogger logger;
    DeviceSessionParts parts = memory.parts();
    parts.logger = &logger;
    // Picks every device on offer.
    WindowlessConfiguration rig([server] { return server; },
                                embedded::objectName(commandModule(server->network(networkName), 0)),
                                commands::Configure, parts, {}, [] { return std::make_unique<device::ScriptedMultiDeviceWindow>(); });
    const SessionState &session = rig.session().state();
    cConfiguration &configuration = rig.configuration();
    rig.readSettings();
    rig.asProgram([&] {
        changedset::changeEverything(rig.parameters());
        configuration.setFanCoilStepCount(configuration.FanCoilStepCount() + 1);
    });

    const QStringList cps = configuration.Parameters()->GetAllCpNamesShouldBeWrittenToLns();
    const QStringList defaults = cpBytes(commandModule(session.network, 1), cps);

    CommitCounter commits;
    commits.attach();
    server->resetMessageCounts();
    // Flushes what building the network left pending, so the disk's backlog is not measured.
    ::sync();
    const long syncsBefore = syncCalls();
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    configuration.WriteParametersEx();
    Measurement m;
    m.wallMs = timer.elapsed();
    m.cpuMs = 1000.0 * double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    m.syncs = syncCalls() - syncsBefore;
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

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    return runBenchmark(app, "bench-spread",
                        QStringLiteral("Writes a parameter set to N devices of a generated network and prints the cost per "
                                       "device."),
                        measure);
}
