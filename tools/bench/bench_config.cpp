// bench-config: tqm-config's write of one parameter set file to N devices of a generated
// network, in the process as the program runs it (object names resolved, the set loaded into
// the first device, then one transaction per device), and the same figures per device as
// bench-spread prints for the window's multi-device write. The set differs from the devices'
// defaults in every CP; a sample of the devices is checked afterwards for the new set.
//
//   bench-config [N ...]          default: 100 500 2000
//   bench-config --ini <file>     plug-in INI file (default: the one next to the program)

#include "changedset.h"
#include "configtool.h"
#include "host/windowlessconfiguration.h"
#include "lns/product.h"
#include "params/cparam.h"
#include "params/cparams.h"
#include "spreadmeasure.h"
#include "transfer/paramsetfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSet>

#include <cstdio>
#include <ctime>
#include <unistd.h>

using namespace spreadbench;

namespace {

constexpr int SampleEvery = 97;

// What opening the device read: each distinct CP once (an array CP element by element).
void printOpeningReads(const embedded::EmbeddedObjectServer &server, const DeviceSession &session,
                       const cParams &params)
{
    QSet<QString> cps;
    int expected = 0;
    for (const cParam *parameter : params.AllParameters()) {
        const lns::ConfigPropertyPtr cp = parameter->Available() ? parameter->ConfigProperty() : nullptr;
        if (cp && !cps.contains(cp->name())) {
            cps.insert(cp->name());
            expected += cp->dimension();
        }
    }
    std::printf("  opening the device read %d CPs (%lld distinct, %d reads expected)\n",
                server.messageCounts(session.state().appDevice).cpReads, qint64(cps.size()), expected);
}

// Device 0's set with every value changed, saved as the window saves it; answers the number of
// distinct CPs the set writes.
int writeChangedSet(const QString &home, const QString &iniPath, const QString &object, const QString &file)
{
    MemorySessionParts parts(iniPath);
    const auto server = embedded::EmbeddedObjectServer::create(home);
    server->resetMessageCounts();
    WindowlessConfiguration rig([server] { return server; }, object, commands::Configure, parts.parts());
    rig.readSettings();
    printOpeningReads(*server, rig.session(), rig.parameters());
    rig.asProgram([&] { changedset::changeEverything(rig.parameters()); });
    if (!transfer::ParamSetFile(rig.parameters())
             .WriteToFile(file, product::PlugInName, rig.session().state().appDevice->programId(), product::DataFileVersion))
        throw TqmError(TqmError::FileAccess, QStringLiteral("bench-config"), file + QStringLiteral(" was not written"));
    return int(rig.parameters().GetAllCpNamesShouldBeWrittenToLns().size());
}

Measurement measure(const QString &home, const QString &iniPath, int count)
{
    const QString networkName = QStringLiteral("Config%1").arg(count);
    createSpreadNetwork(home, networkName, count + 1);

    QString output;
    QTextStream out(&output);
    QTextStream err(&output);
    configtool::Setup setup;
    setup.home = home;
    setup.iniPath = iniPath;
    configtool::ConfigTool tool(setup, out, err);
    const lns::NetworkPtr network = tool.server().network(networkName);
    QStringList objects;
    for (int n = 0; n <= count; ++n)
        objects.append(embedded::objectName(commandModule(network, n)));

    const QString changed = home + QStringLiteral("/changed.dat");
    const int distinctCps = writeChangedSet(home, iniPath, objects.first(), changed);

    CommitCounter commits;
    commits.attach();
    tool.server().resetMessageCounts();
    ::sync(); // flushes what building the network left pending
    const long syncsBefore = syncCalls();
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    tool.write(changed, objects.mid(1), false);
    Measurement m;
    m.wallMs = timer.elapsed();
    m.cpuMs = 1000.0 * double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    m.syncs = syncCalls() - syncsBefore;
    m.commits = commits.commits;
    m.messages = tool.server().totalMessageCounts();
    m.devices = count;
    m.distinctCps = distinctCps;
    for (const configtool::DeviceResult &result : tool.results()) {
        if (result.status == configtool::DeviceResult::Status::Written)
            ++m.written;
        else {
            ++m.failed;
            m.problems.append(result.object + QStringLiteral(": ") + result.reason);
        }
    }

    QList<int> sample;
    for (int n = 1; n < count; n += SampleEvery)
        sample.append(n);
    sample.append(count);
    for (int n : sample) {
        QString diff;
        QTextStream diffOut(&diff);
        configtool::ConfigTool checker(setup, diffOut, diffOut);
        if (checker.diff(objects.at(n), changed) != 0)
            m.problems.append(objects.at(n) + QStringLiteral(" does not hold the set: ") + diff.simplified());
    }
    return m;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    return runBenchmark(app, "bench-config",
                        QStringLiteral("Writes a parameter set file to N devices of a generated network with tqm-config's "
                                       "write and prints the cost per device."),
                        measure);
}
