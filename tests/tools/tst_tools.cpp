// tqm-netdb and tqm-config as scripts and other processes run them on a network home with the
// demo network: each sub-command's output, exit code and what it left on the devices. The
// tqm-config tests come last: they change the demo devices' CPs and calibration.

#include "calibration/calibrationrecords.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/embedded/networkcheck.h"
#include "lns/inifile.h"
#include "lns/registryaccess.h"
#include "session/settings.h"
#include "support/toolprocess.h"
#include "unprivileged.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace embedded;

namespace {

// Demo devices by template (see `tqm-netdb list Demo`): L4 at version 2.2, L5 at 2.1, L1 at 1.8.
const QString L4a = QStringLiteral("Demo.Building A.Floor 1.CM 1\\.04.CommandModule");
const QString L4b = QStringLiteral("Demo.Building A.Floor 2.CM 2\\.02.CommandModule");
const QString L4c = QStringLiteral("Demo.Building A.Floor 2.CM 2\\.08.CommandModule");
const QString L4d = QStringLiteral("Demo.Building B.Floor 1.CM 3\\.06.CommandModule");
const QString L5 = QStringLiteral("Demo.Building A.Floor 1.CM 1\\.05.CommandModule");
const QString L1 = QStringLiteral("Demo.Building A.Floor 1.CM 1\\.01.CommandModule");

} // namespace

class TestTools : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;
    QTemporaryDir m_files;

    ToolRun tool(const QStringList &args, const QString &home = {}, bool asNobody = false)
    {
        return runTool(home.isEmpty() ? m_home.path() : home, QStringLiteral("tqm-netdb"), args,
                       asNobody ? ToolStarter(unprivileged::start) : ToolStarter());
    }
    EmbeddedObjectServerPtr server()
    {
        auto s = EmbeddedObjectServer::create(m_home.path());
        s->open(lns::ConnectionMode::Local);
        return s;
    }
    int deviceCount(const QString &network) { return int(listDevices(server()->network(network)).size()); }
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
        return p.waitForFinished(120000) ? p.exitStatus() : QProcess::CrashExit;
    }

    ToolRun config(const QStringList &args) { return runTool(m_home.path(), QStringLiteral("tqm-config"), args); }
    QString path(const QString &name) const { return m_files.filePath(name); }

    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(path(name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return file.fileName();
    }

    // The set of `object` with some lines of its file replaced ("Name = value"; "Old>New = value"
    // renames the key).
    QString changedSet(const QString &object, const QString &name, const QStringList &lines)
    {
        const ToolRun read = config({"read", object, "-o", path(name)});
        if (read.exitCode != 0)
            qFatal("read failed: %s", qPrintable(read.err));
        QFile file(path(name));
        file.open(QIODevice::ReadOnly);
        QString text = QString::fromUtf8(file.readAll());
        file.close();
        for (const QString &line : lines) {
            const QString key = line.section(" = ", 0, 0).section('>', 0, 0);
            const QString replacement = line.contains('>') ? line.section('>', 1) : line;
            text.replace(QRegularExpression("\r\n" + key + " = [^\r]*"), "\r\n" + replacement);
        }
        return writeFile(name, text.toUtf8());
    }

    // Object name to status, and to the reason of a failure where `reasons` is given.
    static QHash<QString, QString> statuses(const QJsonObject &results, QHash<QString, QString> *reasons = nullptr)
    {
        QHash<QString, QString> devices;
        for (const QJsonValue &entry : results.value("devices").toArray()) {
            devices.insert(entry["object"].toString(), entry["status"].toString());
            if (reasons)
                reasons->insert(entry["object"].toString(), entry["reason"].toString());
        }
        return devices;
    }

    void setOnline(const QString &device, bool online)
    {
        QCOMPARE(tool({"device", "Demo", device, online ? "--online" : "--offline"}).exitCode, 0);
    }

    int triggers(const QString &object)
    {
        return int(EmbeddedObjectServer::calibrationTriggers(server()->lonMarkObject(object)->appDevice()).size());
    }

private slots:
    void initTestCase()
    {
        const ToolRun created = tool({"create", "Demo", "--demo"});
        QVERIFY2(created.exitCode == 0, qPrintable(created.err));
    }

    void errorsNameWhatIsMissing_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString object = "Building A.Floor 1.CM 1\\.01.CommandModule";
        QTest::newRow("network, with those there are") << QStringList{"list", "Nowhere"} << 1
                                                       << "There is no network \"Nowhere\" in " + m_home.path()
                                                              + "/networks; there are: Demo.";
        QTest::newRow("object") << QStringList{"cp", "Demo", "Building A.Floor 1.CM 9.CommandModule", "x"} << 1 << "CM 9";
        QTest::newRow("cp") << QStringList{"cp", "Demo", object, "nciNone"} << 1 << "nciNone";
        QTest::newRow("device") << QStringList{"device", "Demo", "CM 77", "--offline"} << 1 << "CM 77";
        QTest::newRow("command") << QStringList{"frobnicate"} << 2 << "frobnicate";
        QTest::newRow("parameter") << QStringList{"cp", "Demo", object, "ByttonMode"} << 1
                                   << "\"ByttonMode\" is neither a CP of \"CommandModule\" nor a parameter name";
        QTest::newRow("argument missing") << QStringList{"show", "Demo"} << 2 << "tqm-netdb: missing OBJECT\nTry tqm-netdb show --help.";
        QTest::newRow("option unknown") << QStringList{"list", "Demo", "--verbose"} << 2 << "Unknown option 'verbose'";
        QTest::newRow("sim: switch position") << QStringList{"sim", "Demo", "CM 1.04", "--switch", "middle"} << 2 << "--switch";
        QTest::newRow("sim: button") << QStringList{"sim", "Demo", "CM 1.04", "--press", "fan++"} << 2 << "fan++";
        QTest::newRow("sim: no number") << QStringList{"sim", "Demo", "CM 1.04", "--room-temp", "warm"} << 2 << "warm";
        QTest::newRow("sim: NaN") << QStringList{"sim", "Demo", "CM 1.04", "--room-temp", "nan"} << 2 << "--room-temp needs a number";
        QTest::newRow("sim: device") << QStringList{"sim", "Demo", "CM 9.99", "--show"} << 1 << "CM 9.99";
        QTest::newRow("watch: seconds beyond the timer")
            << QStringList{"watch", "Demo", "CM 1.04", "nvoSpaceTemp", "--seconds", "2147484"} << 2 << "from 0 to 2147483";
        QTest::newRow("watch: no such network")
            << QStringList{"watch", "Nowhere", "CM 1.04", "nvoSpaceTemp", "--seconds", "1"} << 1 << "no network \"Nowhere\"";
    }
    void errorsNameWhatIsMissing()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const ToolRun run = tool(args);
        QTEST(run.exitCode, "exitCode");
        QVERIFY2(run.err.startsWith("tqm-netdb: ") && run.err.contains(message), qPrintable(run.err));
        // Nothing on standard output: no table heading before the failure.
        QCOMPARE(run.out, QString());
    }

    // A home on a read-only medium: listing and checking change nothing and need no write. The
    // list shows every template, its last column an object name the server resolves.
    void readOnlyHomeIsListedAndChecked()
    {
        QTemporaryDir copy;
        QDir().mkpath(copy.filePath("networks"));
        // The network as the plug-in leaves it: in WAL mode (an open by a writer switches it).
        server()->network("Demo");
        QVERIFY(QFile::copy(m_home.filePath("networks/Demo.tqmnet"), copy.filePath("networks/Demo.tqmnet")));
        unprivileged::setTree(copy.path(), false);
        const ToolRun listed = tool({"list", "Demo"}, copy.path(), true);
        const ToolRun checked = tool({"check", "Demo"}, copy.path(), true);
        unprivileged::setTree(copy.path(), true);
        QVERIFY2(listed.exitCode == 0, qPrintable(listed.err));
        QVERIFY2(checked.exitCode == 0, qPrintable(checked.err));
        QCOMPARE(QDir(copy.filePath("networks")).entryList(QDir::Files), QStringList{"Demo.tqmnet"});
        const QStringList lines = listed.out.split('\n', Qt::SkipEmptyParts).mid(1); // below the heading
        QCOMPARE(lines.size(), 24);
        QSet<QString> templates;
        for (const QString &line : lines)
            templates.insert(line.split('\t').value(2));
        const QStringList all = iniTemplateNames();
        QCOMPARE(templates, QSet<QString>(all.cbegin(), all.cend()));
        QCOMPARE(server()->lonMarkObject(lines.first().split('\t').last())->type(), 8090);
    }

    // The names the plug-in prints for its parameters reach their CP the way the plug-in does.
    void parameterNamesFindTheirCp_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("cp");
        QTest::newRow("device CP, part of it") << "CM 1\\.02" << "PanelType_1" << "PanelType_1: PanelType (UCPTpanelType, 2 x 1)";
        QTest::newRow("template override: CP of an NV") << "CM 1\\.03" << "MaxSendTime"
                                                        << "MaxSendTime: nciSndHrtBtNV13 (SCPTmaxSendTime, 2 x 1)";
    }
    void parameterNamesFindTheirCp()
    {
        QFETCH(QString, device);
        QFETCH(QString, name);
        const ToolRun shown = tool({"cp", "Demo", "Building A.Floor 1." + device + ".CommandModule", name});
        QVERIFY2(shown.exitCode == 0, qPrintable(shown.err));
        QFETCH(QString, cp);
        QVERIFY2(shown.out.startsWith(cp), qPrintable(shown.out));
    }

    // Two tables: "CP" and "NV" headings, then index, name, type, length, RAW, value (and for CPs
    // the plug-in's parameter names), listing the object's CPs (its NVs' too) and NVs.
    void showListsEveryCpAndNv()
    {
        const QString object = "Demo.Building A.Floor 1.CM 1\\.02.CommandModule";
        const ToolRun shown = tool({"show", "Demo", object});
        QVERIFY2(shown.exitCode == 0, qPrintable(shown.err));
        const auto connection = server();
        const auto lmo = connection->lonMarkObject(object);
        QStringList cps, nvs;
        for (const auto &cp : lmo->configProperties()->items())
            cps.append(cp->name());
        for (const auto &nv : lmo->networkVariables()->items()) {
            nvs.append(nv->name());
            for (const auto &cp : nv->configProperties()->items())
                cps.append(cp->name());
        }
        const QStringList sections = shown.out.split("\n\n");
        QCOMPARE(sections.size(), 3);
        const auto column = [&sections](int section) {
            QStringList values;
            for (const QString &line : sections[section].split('\n', Qt::SkipEmptyParts).mid(1))
                values.append(line.section('\t', 1, 1));
            return values;
        };
        QCOMPARE(column(1), cps);
        QCOMPARE(column(2), nvs);
        QVERIFY2(sections[1].split('\n').contains("8\tnciButtonMode\tUCPTbuttonMode\t1\t0\t0\tButtonMode"), qPrintable(sections[1]));
        QVERIFY2(sections[1].contains("\n6/1\tnciSndHrtBtNV13\t"), qPrintable(sections[1]));
    }

    void deviceAcceptsWhatListPrints_data()
    {
        QTest::addColumn<QString>("device");
        QTest::newRow("object name of its LonMark object") << "Demo.Building A.Floor 1.CM 1\\.06.CommandModule";
        QTest::newRow("its own object name") << "Building A.Floor 1.CM 1\\.06";
        QTest::newRow("escaped name") << "CM 1\\.06";
        QTest::newRow("plain name") << "CM 1.06";
    }
    void deviceAcceptsWhatListPrints()
    {
        QFETCH(QString, device);
        const auto connection = server(); // open before the tool changes the device
        const auto cm = connection->appDevice("Demo.Building A.Floor 1.CM 1\\.06");
        const ToolRun offline = tool({"device", "Demo", device, "--offline"});
        QVERIFY2(offline.exitCode == 0, qPrintable(offline.err));
        QVERIFY2(offline.out.startsWith("CM 1.06: offline, "), qPrintable(offline.out));
        QVERIFY_THROWS_EXCEPTION(TqmError, cm->deviceTest(4));
        QCOMPARE(tool({"device", "Demo", device, "--online", "--app-version", "2.3"}).exitCode, 0);
        QCOMPARE(cm->applicationVersion(), 2.3f);
    }

    // Every CP and NV entry the plug-in looks up resolves on every demo template: the check
    // walks them by both look-up paths. It must also notice an entry that points elsewhere.
    void iniEntriesResolveAndBrokenOnesAreFound()
    {
        QVERIFY(checkNetwork(m_home.path(), "Demo").isEmpty());
        QFile builtIn(":/TqmCmdModule.ini");
        QVERIFY(builtIn.open(QIODevice::ReadOnly));
        QString text = QString::fromUtf8(builtIn.readAll());
        text.replace("ButtonMode = 8,0,0", "ButtonMode = 9,0,0").replace("nvoFanSpeed = 8,2", "nvoFanSpeed = 8,1");
        const QStringList problems = checkNetwork(m_home.path(), "Demo", writeFile("broken.ini", text.toUtf8()));
        QVERIFY2(problems.filter("ButtonMode").size() == iniTemplateNames().size(), qPrintable(problems.join('\n')));
        QCOMPARE(problems.filter("nvoFanSpeed").size(), iniTemplateNames().size());
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

    void readWritesTheSetFileAndItComparesEqual()
    {
        const ToolRun toFile = config({"read", L4a, "-o", path("read.dat")});
        QVERIFY2(toFile.exitCode == 0, qPrintable(toFile.err));
        const ToolRun toOutput = config({"read", L4a});
        QFile file(path("read.dat"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(toOutput.out.toUtf8(), bytes);
        QVERIFY(bytes.startsWith("[General]\r\nPlugInName = veltoTqmCmdModule\r\nProgramId = 90:00:5D:50:28:04:04:04\r\n"));
        QCOMPARE(config({"diff", L4a, path("read.dat")}).exitCode, 0);
        QCOMPARE(config({"diff", path("read.dat"), path("read.dat")}).exitCode, 0);
    }

    void diffFindsExactlyTheChangedParameters_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("changed");
        QTest::newRow("two bytes and option")
            << QStringList{"OffsetTemp = 255,169", "TempMode = 0"} << QStringList{"OffsetTemp", "TempMode"};
        QTest::newRow("shared CP, one byte") << QStringList{"SwitchMap_2 = 5"} << QStringList{"SwitchMap_2"};
    }
    void diffFindsExactlyTheChangedParameters()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, changed);
        const QString set = changedSet(L4a, "diff.dat", lines);
        const ToolRun compared = config({"diff", L4a, set});
        QCOMPARE(compared.exitCode, 1);
        QStringList names;
        for (const QString &line : compared.out.split('\n', Qt::SkipEmptyParts))
            names.append(line.section(':', 0, 0).trimmed());
        QCOMPARE(names, changed);
        const ToolRun asJson = config({"diff", set, L4a, "--json"});
        QCOMPARE(asJson.json().value("equal").toBool(), false);
        QCOMPARE(asJson.json().value("changes").toArray().size(), changed.size());
    }

    // The other tests read English, the default.
    void showPrintsValuesAndUnitsInTheSessionsLanguage()
    {
        RegistryAccess registry(m_home.path());
        settings::writeLanguage(registry, 1000);
        const ToolRun shown = config({"show", L4a, "--json"});
        settings::writeLanguage(registry, 0);
        QVERIFY2(shown.exitCode == 0, qPrintable(shown.err));
        QHash<QString, QJsonObject> parameters;
        for (const QJsonValue &p : shown.json().value("parameters").toArray())
            parameters.insert(p["name"].toString(), p.toObject());
        const QJsonObject min = parameters.value("MinDeltaTemp");
        QCOMPARE(min["value"].toString() + ' ' + min["unit"].toString(), QString("0,5 °C"));
        QCOMPARE(min["stored"].toString(), "50");
        QCOMPARE(parameters.value("ButtonMode")["value"].toString(), QString("ändert HVAC-Anwendungsmodus"));
    }

    void writeReportsEachDeviceAndRetriesTheFailedOnes()
    {
        const QString set = changedSet(L4a, "write.dat", {"SetPtDeltaRange = 250", "DiscLevels = 2"});
        setOnline("CM 2.08", false);
        const QStringList targets{L4b, L4c, L1, L5};

        // The dry run plans the device that answers and names the one that does not.
        const ToolRun dry = config({"write", set, L4b, L4c, "--dry-run", "--json"});
        QCOMPARE(dry.exitCode, 1);
        QCOMPARE(statuses(dry.json()), (QHash<QString, QString>{{L4b, "planned"}, {L4c, "failed"}}));
        QVERIFY2(config({"write", set, L4b, "--dry-run"}).out.contains("SetPtDeltaRange: ± 3 degrees → ± 2.5 degrees"),
                 qPrintable(dry.out));
        QCOMPARE(config({"diff", L4b, set}).exitCode, 1); // the dry run wrote nothing

        const ToolRun written = config(QStringList{"write", set} + targets + QStringList{"--json"});
        QCOMPARE(written.exitCode, 1);
        QHash<QString, QString> reasons;
        // L5 has a compatible program id; L1 has not.
        QCOMPARE(statuses(written.json(), &reasons),
                 (QHash<QString, QString>{{L4b, "written"}, {L5, "written"}, {L1, "skipped"}, {L4c, "failed"}}));
        QVERIFY2(reasons.value(L4c).contains("CM 2.08"), qPrintable(reasons.value(L4c)));
        QCOMPARE(written.json().value("summary").toObject().value("written").toInt(), 2);
        QCOMPARE(config({"diff", L4b, set}).exitCode, 0);

        writeFile("results.json", written.out.toUtf8());
        setOnline("CM 2.08", true);
        QCOMPARE(config({"diff", L4c, set}).exitCode, 1); // the failed device kept its set
        const ToolRun retried = config({"write", set, "--retry-failed", path("results.json")});
        QVERIFY2(retried.exitCode == 0, qPrintable(retried.out + retried.err));
        QCOMPARE(retried.out, QString("written\t%1\n1 written\n").arg(L4c));
        QCOMPARE(config({"diff", L4c, set}).exitCode, 0);
    }

    void writeSelectsByNetworkAndGlob()
    {
        const QString set = changedSet(L4a, "all.dat", {"LedMode2 = 7"});
        const ToolRun written = config({"write", set, "--network", "Demo", "--all", "--match", "CM 3.*"});
        QCOMPARE(written.exitCode, 1); // templates other than L4 are skipped
        QVERIFY2(written.out.contains("written\t" + L4d), qPrintable(written.out));
        QCOMPARE(written.out.count('\n'), 8 + 1);
    }

    // Each row is one path through tqm-config; the set file's own checks are the loader's, an
    // unknown command is errorsNameWhatIsMissing's (the tools share their command table).
    void hostileInputsGetAClearError_data()
    {
        QTest::addColumn<QStringList>("args"); // SET: L4a's set with `line`; FILE: a file of `content`
        QTest::addColumn<QString>("line");     // as changedSet takes it
        QTest::addColumn<QString>("content");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QStringList write{"write", "SET", L4b};
        const QStringList retry{"write", "SET", "--retry-failed", "FILE"};
        QTest::newRow("diff of one") << QStringList{"diff", L4a} << "" << "" << 2 << "two";
        QTest::newRow("unknown object") << QStringList{"show", "Demo.Nowhere.CM 9.CommandModule"} << "" << "" << 1 << "Nowhere";
        QTest::newRow("missing set file") << QStringList{"show", "missing.dat"} << "" << "" << 1 << "no such parameter set file";
        QTest::newRow("--all alone") << QStringList{"write", "x.dat", "--all"} << "" << "" << 2 << "--network";
        QTest::newRow("misspelt key") << write << "MaxSendTime>MaxSendTim = 5" << "" << 1 << "\"MaxSendTim\" is no parameter";
        QTest::newRow("known ones written with --ignore-unknown")
            << write + QStringList{"--ignore-unknown"} << "MaxSendTime>MaxSendTim = 5" << "" << 0 << "MaxSendTim";
        QTest::newRow("retry: not a regular file") << QStringList{"write", "SET", "--retry-failed", "/dev/zero"} << "" << ""
                                                   << 1 << "not a regular file";
        QTest::newRow("retry: diff output") << retry << "" << R"({"command": "diff", "a": "x", "equal": false})" << 1
                                            << "no \"devices\" list";
        QTest::newRow("retry: unknown status") << retry << "" << R"({"devices": [{"object": "x", "status": "FAILED"}]})"
                                               << 1 << "status other than";
    }
    void hostileInputsGetAClearError()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, line);
        QFETCH(QString, content);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const QString other = writeFile("hostile.json", content.toUtf8());
        args.replaceInStrings(QRegularExpression("^SET$"),
                             changedSet(L4a, "hostile.dat", line.isEmpty() ? QStringList() : QStringList{line}));
        args.replaceInStrings(QRegularExpression("^FILE$"), other);
        const ToolRun result = config(args);
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2((result.err + result.out).contains(message), qPrintable(result.err + result.out));
        if (exitCode != 0)
            QVERIFY2(!result.out.contains("written\t"), qPrintable(result.out));
    }

    void copyCalibrationFollowsTheWindowsRules()
    {
        // Nothing calibrated here yet: the window offers no copy.
        QCOMPARE(config({"copy-calibration", L4a, "--to", L4b}).exitCode, 1);
        {
            const auto connection = server();
            IniFile ini(toolPath("TqmCmdModule.ini"));
            calibration::WriteTempSensorCalibrated({connection->lonMarkObject(L4a), "TQM_CM_L4", &ini});
        }
        QCOMPARE(tool({"cp", "Demo", L4a, "OffsetTemp", "--set", "255 169"}).exitCode, 0);
        setOnline("CM 3.06", false);
        const ToolRun copied = config({"copy-calibration", L4a, "--to", L4b, L1, L4d, L5, "--json"});
        setOnline("CM 3.06", true);
        QCOMPARE(copied.exitCode, 1);
        // L1 is not in CalibTransfer.
        QCOMPARE(statuses(copied.json()),
                 (QHash<QString, QString>{{L4b, "done"}, {L5, "done"}, {L1, "skipped"}, {L4d, "failed"}}));
        QVERIFY(tool({"cp", "Demo", L4b, "OffsetTemp"}).out.contains("RAW 255 169"));
    }

    void resetKnobFollowsTheWindowsRules()
    {
        // An L1 device calibrates its knob with the two-stop procedure: no reset.
        const ToolRun refused = config({"reset-knob", L1, L4b});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains("two-stop"), qPrintable(refused.err));

        const int before = triggers(L5);
        setOnline("CM 3.06", false);
        const ToolRun reset = config({"reset-knob", L4a, L5, L1, L4d, "--json"});
        setOnline("CM 3.06", true);
        QCOMPARE(reset.exitCode, 1);
        QCOMPARE(statuses(reset.json()),
                 (QHash<QString, QString>{{L4a, "done"}, {L5, "done"}, {L1, "skipped"}, {L4d, "failed"}}));
        QCOMPARE(triggers(L5), before + 1);
    }
};

QTEST_GUILESS_MAIN(TestTools)
#include "tst_tools.moc"
