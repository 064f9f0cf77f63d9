#include "lns/embedded/embeddedobjectserver.h"
#include "lns/embedded/networkcheck.h"
#include "lns/inifile.h"
#include "lns/product.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace embedded;

class TestNetDbTool : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;

    struct Run
    {
        int exitCode;
        QString out;
        QString err;
    };
    Run tool(const QStringList &args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TQM_HOME", m_home.path());
        p.setProcessEnvironment(env);
        p.start(qEnvironmentVariable("TQM_BIN_DIR") + "/tqm-netdb", args);
        if (!p.waitForFinished(60000))
            return {-1, {}, "did not finish"};
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }

private slots:
    void initTestCase()
    {
        const Run created = tool({"create", "Demo", "--demo"});
        QVERIFY2(created.exitCode == 0, qPrintable(created.err));
    }

    void listShowsEveryTemplate()
    {
        const Run listed = tool({"list", "Demo"});
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

    void checkPasses()
    {
        const Run checked = tool({"check", "Demo"});
        QVERIFY2(checked.exitCode == 0, qPrintable(checked.err));
    }

    void rawCpValueRoundTripsThroughReopen()
    {
        const QString object = "Demo.Building A.Floor 1.CM 1\\.04.CommandModule";
        QCOMPARE(tool({"cp", "Demo", object, "nciSwitchMap", "--set", "7 8"}).exitCode, 0);
        const Run shown = tool({"cp", "Demo", object, "nciSwitchMap"});
        QVERIFY2(shown.out.contains("RAW 7 8"), qPrintable(shown.out));
        auto server = EmbeddedObjectServer::create(m_home.path());
        server->open(lns::ConnectionMode::Local);
        const auto cp = server->lonMarkObject(object)->configProperties()->item("nciSwitchMap");
        cp->setFormatSpec(lns::RawFormat);
        QCOMPARE(cp->value(), QString("7\t8"));
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
        QTest::newRow("network") << QStringList{"list", "Nowhere"} << "Nowhere";
        QTest::newRow("object") << QStringList{"cp", "Demo", "Building A.Floor 1.CM 9.CommandModule", "x"} << "CM 9";
        QTest::newRow("cp") << QStringList{"cp", "Demo", "Building A.Floor 1.CM 1\\.01.CommandModule", "nciNone"}
                            << "nciNone";
        QTest::newRow("device") << QStringList{"device", "Demo", "CM 77", "--offline"} << "CM 77";
        QTest::newRow("command") << QStringList{"frobnicate"} << "frobnicate";
    }
    void errorsNameWhatIsMissing()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const Run run = tool(args);
        QVERIFY(run.exitCode != 0);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
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

    void iniDeviceVariantsCoverTheDemo()
    {
        const IniFile ini(":/TqmCmdModule.ini");
        QVERIFY2(ini.problems().isEmpty(), qPrintable(ini.problems().join('\n')));
        QSet<QString> limitations;
        QSet<int> buttonModeCounts;
        for (const QString &tpl : iniTemplateNames()) {
            limitations.insert(ini.GetTemplateValue("Limitation", product::CpSection, tpl));
            const QString modes = ini.GetTemplateValue("BMsAvailable", product::CpSection, tpl);
            buttonModeCounts.insert(modes.isEmpty() ? 0 : int(modes.split(',').size()));
        }
        QCOMPARE(limitations, (QSet<QString>{"1", "2", "3", "4", "5", ""}));
        QVERIFY(buttonModeCounts.contains(0) && buttonModeCounts.contains(1) && buttonModeCounts.contains(4));
    }
};

QTEST_GUILESS_MAIN(TestNetDbTool)
#include "tst_netdbtool.moc"
