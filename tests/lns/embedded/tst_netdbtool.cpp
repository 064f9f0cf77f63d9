#include "lns/embedded/embeddedobjectserver.h"
#include "lns/embedded/networkcheck.h"
#include "support/toolprocess.h"
#include "unprivileged.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace embedded;

class TestNetDbTool : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;

    ToolRun tool(const QStringList &args, const QString &home = {}, bool asNobody = false)
    {
        return runTool(home.isEmpty() ? m_home.path() : home, QStringLiteral("tqm-netdb"), args,
                       asNobody ? ToolStarter(unprivileged::start) : ToolStarter());
    }

private slots:
    void initTestCase()
    {
        const ToolRun created = tool({"create", "Demo", "--demo"});
        QVERIFY2(created.exitCode == 0, qPrintable(created.err));
    }

    void listShowsEveryTemplate()
    {
        const ToolRun listed = tool({"list", "Demo"});
        QCOMPARE(listed.exitCode, 0);
        QStringList lines = listed.out.split('\n', Qt::SkipEmptyParts);
        lines.removeFirst(); // heading
        QCOMPARE(lines.size(), 24);
        QSet<QString> templates;
        for (const QString &line : lines)
            templates.insert(line.split('\t').value(2));
        const QStringList all = iniTemplateNames();
        QCOMPARE(templates, QSet<QString>(all.cbegin(), all.cend()));
        // The last column is an object name the server resolves.
        auto server = EmbeddedObjectServer::create(m_home.path());
        server->open(lns::ConnectionMode::Local);
        QCOMPARE(server->lonMarkObject(lines.first().split('\t').last())->type(), 8090);
    }

    void offlineFromOutsideReachesTheServer()
    {
        auto server = EmbeddedObjectServer::create(m_home.path());
        server->open(lns::ConnectionMode::Local);
        const auto device = server->appDevice("Demo.Building A.Floor 1.CM 1\\.02");
        device->deviceTest(4);
        QCOMPARE(tool({"device", "Demo", "CM 1.02", "--offline"}).exitCode, 0);
        QVERIFY_THROWS_EXCEPTION(TqmError, device->deviceTest(4));
        QCOMPARE(tool({"device", "Demo", "CM 1.02", "--online", "--app-version", "2.3"}).exitCode, 0);
        QCOMPARE(device->applicationVersion(), 2.3f);
    }

    void errorsNameWhatIsMissing_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("network, with those there are") << QStringList{"list", "Nowhere"}
                                                       << "There is no network \"Nowhere\" in " + m_home.path()
                                                              + "/networks; there are: Demo.";
        QTest::newRow("object") << QStringList{"cp", "Demo", "Building A.Floor 1.CM 9.CommandModule", "x"} << "CM 9";
        QTest::newRow("cp") << QStringList{"cp", "Demo", "Building A.Floor 1.CM 1\\.01.CommandModule", "nciNone"}
                            << "nciNone";
        QTest::newRow("device") << QStringList{"device", "Demo", "CM 77", "--offline"} << "CM 77";
        QTest::newRow("command") << QStringList{"frobnicate"} << "frobnicate";
        QTest::newRow("parameter") << QStringList{"cp", "Demo", "Building A.Floor 1.CM 1\\.01.CommandModule", "ByttonMode"}
                                   << "\"ByttonMode\" is neither a CP of \"CommandModule\" nor a parameter name";
        QTest::newRow("argument missing") << QStringList{"show", "Demo"} << "tqm-netdb: missing OBJECT\nTry tqm-netdb show --help.";
        QTest::newRow("option unknown") << QStringList{"list", "Demo", "--verbose"} << "Unknown option 'verbose'";
    }
    void errorsNameWhatIsMissing()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const ToolRun run = tool(args);
        QVERIFY(run.exitCode != 0);
        QVERIFY2(run.err.startsWith("tqm-netdb: "), qPrintable(run.err));
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        // Nothing on standard output: no table heading before the failure.
        QCOMPARE(run.out, QString());
    }

    void versionAndHelp()
    {
        const ToolRun version = tool({"--version"});
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out, QString("tqm-netdb 1.0.0\n"));
        const ToolRun help = tool({"cp", "--help"});
        QCOMPARE(help.exitCode, 0);
        QVERIFY2(help.out.contains("--set <RAW>"), qPrintable(help.out));
    }

    // A home on a read-only medium: listing and checking change nothing and need no write.
    void readOnlyHomeIsListedAndChecked()
    {
        QTemporaryDir copy;
        QDir().mkpath(copy.filePath("networks"));
        // The network as the plug-in leaves it: in WAL mode (an open by a writer switches it).
        auto server = EmbeddedObjectServer::create(m_home.path());
        server->open(lns::ConnectionMode::Local);
        server->network("Demo");
        server.reset();
        QVERIFY(QFile::copy(m_home.filePath("networks/Demo.tqmnet"), copy.filePath("networks/Demo.tqmnet")));
        unprivileged::setTree(copy.path(), false);
        const ToolRun listed = tool({"list", "Demo"}, copy.path(), true);
        const ToolRun checked = tool({"check", "Demo"}, copy.path(), true);
        unprivileged::setTree(copy.path(), true);
        QVERIFY2(listed.exitCode == 0, qPrintable(listed.err));
        QCOMPARE(listed.out.count('\n'), 25);
        QVERIFY2(checked.exitCode == 0, qPrintable(checked.err));
        QCOMPARE(QDir(copy.filePath("networks")).entryList(QDir::Files), QStringList{"Demo.tqmnet"});
    }

    // The names the plug-in prints for its parameters reach their CP the way the plug-in does.
    void parameterNamesFindTheirCp_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("cp");
        QTest::newRow("object CP") << "CM 1\\.02" << "ButtonMode" << "ButtonMode: nciButtonMode (UCPTbuttonMode, 1 x 1)";
        QTest::newRow("device CP, part of it") << "CM 1\\.02" << "PanelType_1" << "PanelType_1: PanelType (UCPTpanelType, 2 x 1)";
        QTest::newRow("part of an object CP") << "CM 1\\.02" << "SwitchMap_2" << "SwitchMap_2: nciSwitchMap (";
        QTest::newRow("template override: CP of an NV") << "CM 1\\.03" << "MaxSendTime"
                                                        << "MaxSendTime: nciSndHrtBtNV13 (SCPTmaxSendTime, 2 x 1)";
        QTest::newRow("CP name as before") << "CM 1\\.02" << "nciButtonMode" << "nciButtonMode (UCPTbuttonMode, 1 x 1)";
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

    void showListsEveryCpAndNv()
    {
        const QString object = "Demo.Building A.Floor 1.CM 1\\.02.CommandModule";
        const ToolRun shown = tool({"show", "Demo", object});
        QVERIFY2(shown.exitCode == 0, qPrintable(shown.err));
        auto server = EmbeddedObjectServer::create(m_home.path());
        server->open(lns::ConnectionMode::Local);
        const auto lmo = server->lonMarkObject(object);
        QStringList expectedCps;
        for (const auto &cp : lmo->configProperties()->items())
            expectedCps.append(cp->name());
        QStringList expectedNvs;
        for (const auto &nv : lmo->networkVariables()->items()) {
            expectedNvs.append(nv->name());
            for (const auto &cp : nv->configProperties()->items())
                expectedCps.append(cp->name());
        }
        // Two tables: "CP" and "NV" headings, then index, name, type, length, RAW, value (and for
        // CPs the plug-in's parameter names).
        const QStringList sections = shown.out.split("\n\n");
        QCOMPARE(sections.size(), 3);
        const auto column = [](const QString &table, int n) {
            QStringList values;
            for (const QString &line : table.split('\n', Qt::SkipEmptyParts).mid(1))
                values.append(line.section('\t', n, n));
            return values;
        };
        QCOMPARE(column(sections[1], 1), expectedCps);
        QCOMPARE(column(sections[2], 1), expectedNvs);
        const QStringList buttonMode = sections[1].split('\n').filter("\tnciButtonMode\t").first().split('\t');
        QCOMPARE(buttonMode, (QStringList{"8", "nciButtonMode", "UCPTbuttonMode", "1", "0", "0", "ButtonMode"}));
        QVERIFY2(sections[1].contains("\n6/1\tnciSndHrtBtNV13\t"), qPrintable(sections[1]));
    }

    void deviceAcceptsWhatListPrints_data()
    {
        QTest::addColumn<QString>("device");
        QTest::newRow("object name of its LonMark object") << "Demo.Building A.Floor 1.CM 1\\.05.CommandModule";
        QTest::newRow("its own object name") << "Building A.Floor 1.CM 1\\.05";
        QTest::newRow("escaped name") << "CM 1\\.05";
        QTest::newRow("plain name") << "CM 1.05";
    }
    void deviceAcceptsWhatListPrints()
    {
        QFETCH(QString, device);
        const ToolRun offline = tool({"device", "Demo", device, "--offline"});
        QVERIFY2(offline.exitCode == 0, qPrintable(offline.err));
        QVERIFY2(offline.out.startsWith("CM 1.05: offline, "), qPrintable(offline.out));
        QCOMPARE(tool({"device", "Demo", device, "--online"}).exitCode, 0);
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
        QFile broken(m_home.filePath("broken.ini"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write(text.toUtf8());
        broken.close();
        const QStringList problems = checkNetwork(m_home.path(), "Demo", broken.fileName());
        QVERIFY2(problems.filter("ButtonMode").size() == iniTemplateNames().size(), qPrintable(problems.join('\n')));
        QCOMPARE(problems.filter("nvoFanSpeed").size(), iniTemplateNames().size());
    }
};

QTEST_GUILESS_MAIN(TestNetDbTool)
#include "tst_netdbtool.moc"
