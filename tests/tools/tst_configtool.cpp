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

    // The set of `object` with some lines of its file replaced ("Name = value").
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
            const QString key = line.section(" = ", 0, 0);
            const qsizetype at = text.indexOf("\r\n" + key + " = ");
            const qsizetype end = text.indexOf("\r\n", at + 2);
            text.replace(at + 2, end - at - 2, line);
        }
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(text.toUtf8());
        return path(name);
    }

    static QStringList changedNames(const QString &diffOutput)
    {
        QStringList names;
        for (const QString &line : diffOutput.split('\n', Qt::SkipEmptyParts))
            names.append(line.section(':', 0, 0).trimmed());
        return names;
    }

    static QHash<QString, QJsonObject> byObject(const QJsonObject &results)
    {
        QHash<QString, QJsonObject> devices;
        for (const QJsonValue &entry : results.value("devices").toArray())
            devices.insert(entry.toObject().value("object").toString(), entry.toObject());
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
        QTest::newRow("list item") << QStringList{"SetPtDeltaRange = 200"} << QStringList{"SetPtDeltaRange"};
        QTest::newRow("scaled text box") << QStringList{"MinDeltaTemp = 80"} << QStringList{"MinDeltaTemp"};
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
        QCOMPARE(changedNames(compared.out), changed);
        const ToolRun asJson = config({"diff", set, L4a, "--json"});
        QCOMPARE(asJson.json().value("equal").toBool(), false);
        QCOMPARE(asJson.json().value("changes").toArray().size(), changed.size());
    }

    void showPrintsValuesAndUnitsInTheSessionsLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("minDelta");
        QTest::addColumn<QString>("buttonMode");
        QTest::newRow("English") << 0 << "0.5 °C" << "changes HVAC app mode";
        QTest::newRow("German") << 1000 << "0,5 °C" << "ändert HVAC-Anwendungsmodus";
    }
    void showPrintsValuesAndUnitsInTheSessionsLanguage()
    {
        QFETCH(int, language);
        QFETCH(QString, minDelta);
        QFETCH(QString, buttonMode);
        {
            RegistryAccess registry(m_home.path());
            settings::writeLanguage(registry, qint16(language));
        }
        const ToolRun shown = config({"show", L4a, "--json"});
        {
            RegistryAccess registry(m_home.path());
            settings::writeLanguage(registry, 0);
        }
        QVERIFY2(shown.exitCode == 0, qPrintable(shown.err));
        QHash<QString, QJsonObject> parameters;
        for (const QJsonValue &p : shown.json().value("parameters").toArray())
            parameters.insert(p.toObject().value("name").toString(), p.toObject());
        const QJsonObject min = parameters.value("MinDeltaTemp");
        QCOMPARE(min.value("value").toString() + ' ' + min.value("unit").toString(), minDelta);
        QCOMPARE(min.value("stored").toString(), "50");
        QCOMPARE(parameters.value("ButtonMode").value("value").toString(), buttonMode);
    }

    void writeReportsEachDeviceAndRetriesTheFailedOnes()
    {
        const QString set = changedSet(L4a, "write.dat", {"SetPtDeltaRange = 250", "DiscLevels = 2"});
        setOnline("CM 2.08", false);
        const QStringList targets{L4b, L4c, L1, L5};

        // The dry run plans the device that answers and names the one that does not.
        const ToolRun dry = config({"write", set, L4b, L4c, "--dry-run", "--json"});
        QCOMPARE(dry.exitCode, 1);
        const QHash<QString, QJsonObject> plan = byObject(dry.json());
        QCOMPARE(plan.value(L4b).value("status").toString(), "planned");
        QCOMPARE(plan.value(L4c).value("status").toString(), "failed");
        QVERIFY2(config({"write", set, L4b, "--dry-run"}).out.contains("SetPtDeltaRange: ± 3 degrees → ± 2.5 degrees"),
                 qPrintable(dry.out));
        QCOMPARE(config({"diff", L4b, set}).exitCode, 1); // the dry run wrote nothing

        const ToolRun written = config(QStringList{"write", set} + targets + QStringList{"--json"});
        QCOMPARE(written.exitCode, 1);
        const QHash<QString, QJsonObject> results = byObject(written.json());
        QCOMPARE(results.value(L4b).value("status").toString(), "written");
        QCOMPARE(results.value(L5).value("status").toString(), "written"); // a compatible program id
        QCOMPARE(results.value(L1).value("status").toString(), "skipped");
        QCOMPARE(results.value(L4c).value("status").toString(), "failed");
        QVERIFY2(results.value(L4c).value("reason").toString().contains("CM 2.08"),
                 qPrintable(results.value(L4c).value("reason").toString()));
        QCOMPARE(written.json().value("summary").toObject().value("written").toInt(), 2);
        QCOMPARE(config({"diff", L4b, set}).exitCode, 0);
        QCOMPARE(config({"diff", L4a, L4b}).out.split('\n', Qt::SkipEmptyParts).size(), 2);

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

    void hostileInputsGetAClearError_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("args"); // SET: L4a's set with `line`; FILE: a file of `content`
        QTest::addColumn<QString>("line");     // "Key = value" replacing the key's line ("Old>New = v" renames)
        QTest::addColumn<QString>("content");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString tool = "tqm-config";
        const QStringList write{"write", "SET", L4b};
        const QStringList retry{"write", "SET", "--retry-failed", "FILE"};
        QTest::newRow("unknown command") << tool << QStringList{"frob"} << "" << "" << 2 << "unknown command";
        QTest::newRow("diff of one") << tool << QStringList{"diff", L4a} << "" << "" << 2 << "two";
        QTest::newRow("unknown object") << tool << QStringList{"show", "Demo.Nowhere.CM 9.CommandModule"} << "" << ""
                                        << 1 << "Nowhere";
        QTest::newRow("missing set file") << tool << QStringList{"show", "missing.dat"} << "" << "" << 1
                                          << "no such parameter set file";
        QTest::newRow("--all alone") << tool << QStringList{"write", "x.dat", "--all"} << "" << "" << 2 << "--network";
        QTest::newRow("misspelt key") << tool << write << "MaxSendTime>MaxSendTim = 5" << "" << 1 << "\"MaxSendTim\" is no parameter";
        QTest::newRow("empty value") << tool << write << "LedMode2 = " << "" << 1 << "\"LedMode2\" has no value";
        QTest::newRow("known ones written with --ignore-unknown")
            << tool << write + QStringList{"--ignore-unknown"} << "MaxSendTime>MaxSendTim = 5" << "" << 0 << "MaxSendTim";
        QTest::newRow("beyond a double") << tool << write << "MinDeltaTemp = 1e999" << "" << 1 << "1e999";
        QTest::newRow("400 digits") << tool << write << "DiscLevels = " + QString(400, '9') << "" << 1 << "DiscLevels";
        QTest::newRow("retry: not a regular file") << tool << QStringList{"write", "SET", "--retry-failed", "/dev/zero"}
                                                   << "" << "" << 1 << "not a regular file";
        QTest::newRow("retry: diff output") << tool << retry << "" << R"({"command": "diff", "a": "x", "equal": false})"
                                            << 1 << "no \"devices\" list";
        QTest::newRow("retry: devices not a list") << tool << retry << "" << R"({"devices": "failed"})" << 1
                                                   << "no \"devices\" list";
        QTest::newRow("retry: unknown status") << tool << retry << ""
                                               << R"({"devices": [{"object": "x", "status": "FAILED"}]})" << 1
                                               << "status other than";
        const QString netdb = "tqm-netdb";
        QTest::newRow("sim: NaN") << netdb << QStringList{"sim", "Demo", "CM 1.04", "--room-temp", "nan"} << "" << ""
                                  << 2 << "--room-temp needs a number";
        QTest::newRow("sim: infinity") << netdb << QStringList{"sim", "Demo", "CM 1.04", "--sensor-error", "inf"} << ""
                                       << "" << 2 << "--sensor-error needs a number";
        QTest::newRow("sim: knob NaN") << netdb << QStringList{"sim", "Demo", "CM 1.04", "--knob=-nan"} << "" << ""
                                       << 2 << "--knob needs a number";
        QTest::newRow("watch: seconds beyond the timer")
            << netdb << QStringList{"watch", "Demo", "CM 1.04", "nvoSpaceTemp", "--seconds", "2147484"} << "" << "" << 2
            << "from 0 to 2147483";
        QTest::newRow("watch: no such network")
            << netdb << QStringList{"watch", "Nowhere", "CM 1.04", "nvoSpaceTemp", "--seconds", "1"} << "" << "" << 1
            << "no network \"Nowhere\"";
    }
    void hostileInputsGetAClearError()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, args);
        QFETCH(QString, line);
        QFETCH(QString, content);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const QString set = changedSet(L4a, "hostile.dat", {});
        QFile file(set);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QString text = QString::fromUtf8(file.readAll());
        file.close();
        if (!line.isEmpty()) {
            const QString key = line.section(" = ", 0, 0).section('>', 0, 0);
            const QString replacement = line.contains('>') ? line.section('>', 1) : line;
            text.replace(QRegularExpression("\r\n" + key + " = [^\r]*"), "\r\n" + replacement);
        }
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
        file.close();
        QFile other(path("hostile.json"));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write(content.toUtf8());
        other.close();
        args.replaceInStrings(QRegularExpression("^SET$"), set);
        args.replaceInStrings(QRegularExpression("^FILE$"), other.fileName());
        const ToolRun result = run(program, args);
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2((result.err + result.out).contains(message), qPrintable(result.err + result.out));
        if (exitCode != 0 && program == "tqm-config")
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
            DeviceContext context{server->lonMarkObject(L4a), "TQM_CM_L4", &ini};
            calibration::WriteTempSensorCalibrated(context);
        }
        QCOMPARE(run("tqm-netdb", {"cp", "Demo", L4a, "OffsetTemp", "--set", "255 169"}).exitCode, 0);
        setOnline("CM 3.06", false);
        const ToolRun copied = config({"copy-calibration", L4a, "--to", L4b, L1, L4d, L5, "--json"});
        setOnline("CM 3.06", true);
        QCOMPARE(copied.exitCode, 1);
        const QHash<QString, QJsonObject> results = byObject(copied.json());
        QCOMPARE(results.value(L4b).value("status").toString(), "done");
        QCOMPARE(results.value(L5).value("status").toString(), "done");
        QCOMPARE(results.value(L1).value("status").toString(), "skipped"); // not in CalibTransfer
        QCOMPARE(results.value(L4d).value("status").toString(), "failed");
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
        const QHash<QString, QJsonObject> results = byObject(reset.json());
        QCOMPARE(results.value(L4a).value("status").toString(), "done");
        QCOMPARE(results.value(L5).value("status").toString(), "done");
        QCOMPARE(results.value(L1).value("status").toString(), "skipped");
        QCOMPARE(results.value(L4d).value("status").toString(), "failed");
        QCOMPARE(triggers(L5), before + 1);
    }
};

QTEST_GUILESS_MAIN(TestConfigTool)
#include "tst_configtool.moc"
