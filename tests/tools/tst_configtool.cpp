// tqm-config on the demo network, run as a script runs it: each sub-command's output, exit code
// and what it left on the devices.

#include "calibration/calibrationrecords.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/inifile.h"
#include "lns/registryaccess.h"
#include "session/settings.h"
#include "support/toolprocess.h"

#include <QFile>
#include <QJsonArray>
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

class TestConfigTool : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;
    QTemporaryDir m_files;

    ToolRun run(const QString &program, const QStringList &args) { return runTool(m_home.path(), program, args); }
    ToolRun config(const QStringList &args) { return run("tqm-config", args); }

    QString path(const QString &name) const { return m_files.filePath(name); }

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
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(text.toUtf8());
        return path(name);
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
        QCOMPARE(run("tqm-netdb", {"device", "Demo", device, online ? "--online" : "--offline"}).exitCode, 0);
    }

    int triggers(const QString &object)
    {
        auto server = EmbeddedObjectServer::create(m_home.path());
        server->open(lns::ConnectionMode::Local);
        return int(EmbeddedObjectServer::calibrationTriggers(server->lonMarkObject(object)->appDevice()).size());
    }

private slots:
    void initTestCase()
    {
        const ToolRun created = run("tqm-netdb", {"create", "Demo", "--demo"});
        QVERIFY2(created.exitCode == 0, qPrintable(created.err));
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

        QFile resultsFile(path("results.json"));
        QVERIFY(resultsFile.open(QIODevice::WriteOnly));
        resultsFile.write(written.out.toUtf8());
        resultsFile.close();
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

    // Each row is one path through the tool; the set file's own checks are the loader's, an unknown
    // command is tst_netdbtool's (the tools share their command table).
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
        QFile other(path("hostile.json"));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write(content.toUtf8());
        other.close();
        args.replaceInStrings(QRegularExpression("^SET$"),
                             changedSet(L4a, "hostile.dat", line.isEmpty() ? QStringList() : QStringList{line}));
        args.replaceInStrings(QRegularExpression("^FILE$"), other.fileName());
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
            auto server = EmbeddedObjectServer::create(m_home.path());
            server->open(lns::ConnectionMode::Local);
            IniFile ini(toolPath("TqmCmdModule.ini"));
            calibration::WriteTempSensorCalibrated({server->lonMarkObject(L4a), "TQM_CM_L4", &ini});
        }
        QCOMPARE(run("tqm-netdb", {"cp", "Demo", L4a, "OffsetTemp", "--set", "255 169"}).exitCode, 0);
        setOnline("CM 3.06", false);
        const ToolRun copied = config({"copy-calibration", L4a, "--to", L4b, L1, L4d, L5, "--json"});
        setOnline("CM 3.06", true);
        QCOMPARE(copied.exitCode, 1);
        // L1 is not in CalibTransfer.
        QCOMPARE(statuses(copied.json()),
                 (QHash<QString, QString>{{L4b, "done"}, {L5, "done"}, {L1, "skipped"}, {L4d, "failed"}}));
        QVERIFY(run("tqm-netdb", {"cp", "Demo", L4b, "OffsetTemp"}).out.contains("RAW 255 169"));
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

QTEST_GUILESS_MAIN(TestConfigTool)
#include "tst_configtool.moc"
