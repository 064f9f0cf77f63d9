#include "lns/embedded/embeddedobjectserver.h"
#include "lns/embedded/networkcheck.h"
#include "support/toolprocess.h"

#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace embedded;

// tqm-netdb's sim and watch sub-commands, and the replacing of a network, as other processes.
class TestNetDbSim : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;

    ToolRun tool(const QStringList &args) { return runTool(m_home.path(), QStringLiteral("tqm-netdb"), args); }
    EmbeddedObjectServerPtr server()
    {
        auto s = EmbeddedObjectServer::create(m_home.path());
        s->open(lns::ConnectionMode::Local);
        return s;
    }
    int deviceCount(const QString &network)
    {
        int count = 0;
        auto s = server();
        for (const auto &building : s->network(network)->systems()->item(1)->subsystems()->items())
            for (const auto &floor : building->subsystems()->items())
                count += floor->appDevices()->count();
        return count;
    }

private slots:
    void initTestCase()
    {
        const ToolRun created = tool({"create", "Demo", "--demo", "--devices", "16"});
        QVERIFY2(created.exitCode == 0, qPrintable(created.err));
    }

    // Each row acts on a device of its own (CM 1.04 and CM 2.02 are TQM_CM_L4, CM 1.05 and
    // CM 2.03 TQM_CM_L5).
    void simChangesTheRoomAndShowsTheOutputs_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("line");
        QTest::newRow("room and sensor error") << QStringList{"CM 1.04", "--room-temp", "22.5", "--sensor-error", "-0.8", "--show"}
                                               << "nvoSpaceTemp = 21.70";
        QTest::newRow("knob and set-point button") << QStringList{"CM 1.05", "--knob", "+1.5", "--press", "setpt+", "--show"}
                                                   << "nvoSetptOffset = 2.00";
        QTest::newRow("fan buttons") << QStringList{"CM 2.02", "--press", "fan+", "--press", "fan+", "--show"}
                                     << "nvoFanSpeed = 66.0 1";
        QTest::newRow("switch") << QStringList{"CM 2.03", "--switch", "up"} << "nvoHeatCool = HVAC_HEAT";
        QTest::newRow("show alone") << QStringList{"Building A.Floor 1.CM 1\\.06"} << "knob calibration: calibrated";
    }
    void simChangesTheRoomAndShowsTheOutputs()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, line);
        const ToolRun run = tool(QStringList{"sim", "Demo"} + args);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        if (args.contains("--show") || args.size() == 1)
            QVERIFY2(run.out.split('\n').contains(line), qPrintable(run.out));
        else
            QVERIFY2(tool({"sim", "Demo", args[0]}).out.split('\n').contains(line), qPrintable(line));
    }

    void simShowsTheKnobCalibrationATriggerChanged()
    {
        server()->findDevice("Demo", "CM 2.04")->calibrationTrigger();
        const ToolRun run = tool({"sim", "Demo", "CM 2.04", "--show"});
        QVERIFY2(run.out.contains("knob calibration: learning, no limit seen yet"), qPrintable(run.out));
    }

    void simRefusesWhatItCannotDo_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("switch position") << QStringList{"CM 1.04", "--switch", "middle"} << 2 << "--switch";
        QTest::newRow("button") << QStringList{"CM 1.04", "--press", "fan++"} << 2 << "fan++";
        QTest::newRow("temperature") << QStringList{"CM 1.04", "--room-temp", "warm"} << 2 << "warm";
        QTest::newRow("device") << QStringList{"CM 9.99", "--show"} << 1 << "CM 9.99";
    }
    void simRefusesWhatItCannotDo()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const ToolRun run = tool(QStringList{"sim", "Demo"} + args);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
    }

    // A change made by `sim` in one process reaches `watch` in another at its next tick.
    void watchPrintsAChangeMadeByAnotherProcess()
    {
        QProcess watcher;
        watcher.setProcessEnvironment(toolEnvironment(m_home.path()));
        watcher.start(toolPath("tqm-netdb"), {"watch", "Demo", "Building A.Floor 2.CM 2\\.07.CommandModule", "nvoSpaceTemp",
                                   "--seconds", "3"});
        const auto nextLine = [&watcher] {
            return watcher.canReadLine() || watcher.waitForReadyRead(5000) ? watcher.readLine().trimmed() : QByteArray();
        };
        QVERIFY(nextLine().endsWith("nvoSpaceTemp: bound")); // a simulated device sends its changes
        QVERIFY2(nextLine().endsWith("nvoSpaceTemp 21.00"), "first report");
        QCOMPARE(tool({"sim", "Demo", "CM 2.07", "--room-temp", "24.25"}).exitCode, 0);
        QVERIFY(watcher.waitForFinished(10000));
        const QString rest = QString::fromUtf8(watcher.readAll());
        QVERIFY2(rest.trimmed().endsWith("nvoSpaceTemp 24.25"), qPrintable(rest));
    }

    // Replacing a network whose build fails midway leaves the old network as it was.
    void failedReplaceKeepsTheOldNetwork()
    {
        QVERIFY(tool({"create", "Keep", "--demo", "--devices", "8"}).exitCode == 0);
        QJsonArray devices;
        for (int i = 0; i < 50; ++i)
            devices.append(QJsonObject{{"name", QString("D%1").arg(i)}, {"template", i < 49 ? "TQM_CM_L4" : "NO_SUCH_TEMPLATE"}});
        QVERIFY_THROWS_EXCEPTION(TqmError, createNetwork(m_home.path(),
                                                         QJsonObject{{"name", "Keep"},
                                                                     {"subsystems", QJsonArray{QJsonObject{{"path", "B/F"}, {"devices", devices}}}}},
                                                         true));
        QCOMPARE(deviceCount("Keep"), 8);
        QCOMPARE(QDir(m_home.path() + "/networks").entryList({"Keep.tqmnet*"}, QDir::Files), QStringList{"Keep.tqmnet"});
    }

    // A replace killed at any of its database statements (a seeded choice among them) leaves
    // either the old network or the new one, whole, never a mixture.
    void killedReplaceLeavesOneWholeNetwork()
    {
        const QStringList small{"create", "Kill", "--demo", "--devices", "8", "--replace"};
        const QStringList large{"create", "Kill", "--demo", "--devices", "200", "--replace"};
        QVERIFY(tool(small).exitCode == 0);
        const QString countFile = m_home.filePath("statements");
        QCOMPARE(preloaded(large, {"TQM_STATEMENT_COUNT_FILE=" + countFile}), QProcess::NormalExit);
        QFile counted(countFile);
        QVERIFY(counted.open(QIODevice::ReadOnly));
        const int statements = counted.readAll().trimmed().toInt();
        QVERIFY2(statements > 100, qPrintable(QString::number(statements)));
        QVERIFY(tool(small).exitCode == 0);

        QRandomGenerator random(20261206);
        int killed = 0;
        for (int round = 0; round < 4; ++round) {
            const int killAt = random.bounded(1, statements + 1);
            if (preloaded(large, {QString("TQM_KILL_AT_STATEMENT=%1").arg(killAt)}) == QProcess::CrashExit)
                ++killed;
            const int count = deviceCount("Kill");
            QVERIFY2(count == 8 || count == 200, qPrintable(QString("killed at %1: %2 devices").arg(killAt).arg(count)));
            QVERIFY(checkNetwork(m_home.path(), "Kill").isEmpty());
            if (count == 200) // the new one is in place: start the next round from the small one
                QVERIFY(tool(small).exitCode == 0);
        }
        QCOMPARE(killed, 4);
    }

private:
    // Runs tqm-netdb with the statement counter preloaded and `settings` in its environment.
    QProcess::ExitStatus preloaded(const QStringList &args, const QStringList &settings)
    {
        QProcessEnvironment env = toolEnvironment(m_home.path());
        env.insert("LD_PRELOAD", TQM_KILL_AT_STATEMENT_LIBRARY);
        env.insert("ASAN_OPTIONS", "verify_asan_link_order=0");
        for (const QString &setting : settings)
            env.insert(setting.section('=', 0, 0), setting.section('=', 1));
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(toolPath("tqm-netdb"), args);
        if (!p.waitForFinished(120000))
            return QProcess::CrashExit;
        return p.exitStatus();
    }
};

QTEST_GUILESS_MAIN(TestNetDbSim)
#include "tst_netdbsim.moc"
