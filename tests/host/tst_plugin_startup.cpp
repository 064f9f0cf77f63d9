// Start-up, command validation, registration and shutdown of the plug-in host, without a
// network: everything here must work (or fail) before any device is reached.

#include "hosttestkit.h"
#include "host/registrationwriter.h"
#include "lns/product.h"
#include "lns/registryaccess.h"
#include "session/settings.h"

#include <sys/stat.h>

class TstPlugInStartup : public QObject
{
    Q_OBJECT
private slots:
    // Starts that reach no device: the server stays closed whatever the line asks. "window" is
    // what the window was asked to do, "outcome" whether the plug-in ended and why, "message"
    // the one box shown (none when empty).
    void startsWithoutADevice_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("window");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("message");
        const QStringList none{"load", "unload"}; // loaded and unloaded, never built nor shown
        const auto refusal = [](const char *commandId, const char *classId) {
            return QStringLiteral("The transmitted CommandId (%1) is not\r\nsupported for  ClassId %2 !")
                .arg(QLatin1String(commandId), QLatin1String(classId));
        };
        QTest::newRow("no object name: about window") << "/REMOTE/NI:Internet" << none << "ended" << "";
        for (const char *classId : {"28", "7", "0"})
            QTest::newRow(qPrintable(QStringLiteral("registration, class %1").arg(QLatin1String(classId))))
                << QStringLiteral("/COMMANDID:50/CLASSID:%1/OBJECTNAME:Demo.A.CM 1.Cm").arg(QLatin1String(classId)) << none
                << "ended" << "";
        for (const char *commandId : {"13", "14", "21"})
            QTest::newRow(qPrintable(QStringLiteral("command %1 on a device class").arg(QLatin1String(commandId))))
                << QStringLiteral("/COMMANDID:%1/CLASSID:27/OBJECTNAME:a.b.c.d").arg(QLatin1String(commandId)) << none
                << "aborted" << refusal(commandId, "27");
        QTest::newRow("unknown command") << "/OBJECTNAME:a.b.c.d /COMMANDID:99 /CLASSID:28" << none << "aborted"
                                         << refusal("99", "28");
        QTest::newRow("the empty fourth record") << "/OBJECTNAME:a.b.c.d" << none << "aborted" << refusal("0", "0");
        const QStringList standAlone{"load", "buildPages 100", "show"};
        QTest::newRow("S: with the status window") << "/S" << standAlone << "running" << "";
        QTest::newRow("PROG2649: without") << "/PROG2649/OBJECTNAME:a.b.c.d" << standAlone << "running" << "";
    }
    void startsWithoutADevice()
    {
        QFETCH(QString, line);
        QFETCH(QString, outcome);
        QFETCH(QString, message);
        HostSandbox box;
        const auto server = embedded::EmbeddedObjectServer::create(box.home.path());
        box.serverProvider = [server] { return server; };
        PlugInHost host(box.environment());
        host.Main(line);

        QVERIFY(!server->isOpen());
        QTEST(box.window.calls, "window");
        QCOMPARE(host.ended(), outcome != QLatin1String("running"));
        QCOMPARE(host.session().aborted, outcome == QLatin1String("aborted"));
        QCOMPARE(box.dialogs.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(box.dialogs.messages[0].text, message);
            QCOMPARE(box.dialogs.messages[0].icon, MsgIcon::Exclamation);
            QCOMPARE(box.dialogs.messages[0].title, product::ProductName);
        }
        // Every exit leaves the registration record behind.
        QCOMPARE(QFile::exists(box.registrations().recordFile(product::ProjectName)), host.ended());
        if (outcome == QLatin1String("running")) {
            QCOMPARE(host.session().commandIndex, commands::StandAlone);
            QCOMPARE(box.status.calls.contains(QStringLiteral("show")), line == QLatin1String("/S"));
        }
        if (line.startsWith(QLatin1String("/REMOTE"))) {
            QCOMPARE(box.about.shown.size(), 1);
            QCOMPARE(box.about.shown[0].title, GetResString(1850));
            QCOMPARE(box.about.shown[0].line, GetResString(1851, 1, {QStringLiteral("1.0.0")}));
            QCOMPARE(box.automationRegistrations, 1);
            QVERIFY(box.status.texts.isEmpty());
        }
    }

    void regWritesTheProductLanguageOnly()
    {
        HostSandbox box;
        PlugInHost host(box.environment());
        host.Main(QStringLiteral("/REG:1"));
        QCOMPARE(productLanguage(box), QStringLiteral("1"));
        QCOMPARE(sharedLanguage(box), QStringLiteral("unset"));
        QVERIFY(host.ended());
        QVERIFY(!box.window.calls.contains(QStringLiteral("show")));
        QVERIFY(box.about.shown.isEmpty());
        // Every exit leaves the registration record behind.
        QCOMPARE(box.registrations().read(product::ProjectName).lcaVersion, QStringLiteral("2.00"));

        // The next start still runs in the shared language, and writes no file: the record and the
        // registry are as it would write them (a file rewritten gets a new inode).
        const auto inode = [](const QString &path) {
            struct stat status {};
            return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
        };
        const QStringList files{box.registrations().recordFile(product::ProjectName),
                                box.registry().storeFile(RegistryAccess::LocalMachine)};
        const QList<ino_t> before{inode(files[0]), inode(files[1])};
        {
            PlugInHost next(box.environment());
            next.InitApp();
            QCOMPARE(next.session().language, qint16(0));
            next.EndApp();
        }
        QCOMPARE((QList<ino_t>{inode(files[0]), inode(files[1])}), before);
    }

    void unregRemovesTheRegistration()
    {
        HostSandbox box;
        {
            PlugInHost host(box.environment());
            host.Main(QStringLiteral("/REG:1000"));
        }
        dbusactivation::install(box.program.filePath(QStringLiteral("tqm-cmdmodule")));
        QVERIFY(QFile::exists(box.registrations().recordFile(product::ProjectName)));
        QVERIFY(dbusactivation::serviceFile().startsWith(box.home.path()));

        PlugInHost host(box.environment());
        host.Main(QStringLiteral("/unreg"));
        QVERIFY(host.ended());
        QVERIFY(!QFile::exists(box.registrations().recordFile(product::ProjectName)));
        QVERIFY(!QFile::exists(dbusactivation::serviceFile()));
        QCOMPARE(productLanguage(box), QStringLiteral("unset"));
    }

    void missingIniFileAborts()
    {
        HostSandbox box(false);
        PlugInHost host(box.environment());
        host.Main(QStringLiteral("/COMMANDID:13/CLASSID:28/OBJECTNAME:a.b.c.d"));
        QVERIFY(host.session().aborted);
        QCOMPARE(box.dialogs.messages.size(), 1);
        const QString iniPath = box.program.path() + QStringLiteral("/TqmCmdModule.ini");
        QCOMPARE(box.dialogs.messages[0].text, GetResString(1526) + QStringLiteral("\r\n\r\n") + iniPath);
        QCOMPARE(box.dialogs.messages[0].icon, MsgIcon::Critical);
        QVERIFY(host.ended());
        QVERIFY(!box.logText().contains(QStringLiteral("Public Sub Main()")));
    }

    // A refused start logs its routines in order, and the lines of the INI file it skipped.
    void routinesAndDamagedIniLinesReachTheLogFile()
    {
        HostSandbox box;
        box.writeProgramFile(QStringLiteral("TqmCmdModule.ini"), HostSandbox::IniText + QStringLiteral("not an entry\n"));
        PlugInHost host(box.environment());
        host.Main(QStringLiteral("/OBJECTNAME:a.b.c.d/COMMANDID:99/CLASSID:28"));
        const QString log = box.logText();
        QVERIFY2(log.contains(box.program.path() + QStringLiteral("/TqmCmdModule.ini:6:")), qPrintable(log));
        const QStringList labels{"[M_LcaPlugIn] Public Sub InitApp()", "[M_PlugIn] Public Sub Main()",
                                 "[M_PlugIn] Public Sub ValidateCommand()", "[M_LcaPlugIn] Public Sub EndApp()",
                                 "[M_PlugIn] Public Sub Register()"};
        qsizetype previous = -1;
        for (const QString &label : labels) {
            const qsizetype at = log.indexOf(label);
            QVERIFY2(at > previous, qPrintable(label));
            previous = at;
        }
    }

    void languageComesFromTheSharedKey()
    {
        HostSandbox box;
        RegistryAccess registry = box.registry();
        settings::writeLanguage(registry, 1000);
        PlugInHost host(box.environment());
        host.InitApp();
        QCOMPARE(host.session().language, qint16(1000));
        QCOMPARE(host.session().commandTable[1].name, GetResString(1800)); // looked up in German
        setLanguage(0);
        QVERIFY(host.session().commandTable[1].name != GetResString(1800));
        QCOMPARE(host.session().helpFilePath, box.program.path() + QStringLiteral("/help/index.html"));
        QCOMPARE(box.status.versionText, QStringLiteral("v1.0.0"));
    }

    void deviceAccessibilityIsCachedForTenSeconds()
    {
        HostSandbox box;
        const auto server = box.demoServer();
        server->open(lns::ConnectionMode::Local);
        PlugInHost host(box.environment());
        host.InitApp();
        const auto device = server->appDevice(QStringLiteral("Demo.Building A.Floor 1.CM 1\\.01"));
        const auto tests = [&server](const lns::AppDevicePtr &d) { return server->messageCounts(d).deviceTests; };
        host.session().appDevice = device;
        host.session().communicationFailed = true;

        QVERIFY(host.DeviceIsAccessible());
        QVERIFY(!host.session().communicationFailed);

        embedded::EmbeddedObjectServer::setDeviceOnline(device, false);
        box.clock.advanceMs(9999);
        QVERIFY(host.DeviceIsAccessible()); // kept result
        QCOMPARE(tests(device), 1);
        QVERIFY(!host.DeviceIsAccessible({}, true)); // forced
        embedded::EmbeddedObjectServer::setDeviceOnline(device, true);
        box.clock.advanceSeconds(10);
        QVERIFY(host.DeviceIsAccessible());
        QCOMPARE(tests(device), 2); // the answered tests

        // A given device is tested instead; the session's failure flag stays as it is.
        host.session().communicationFailed = true;
        const auto other = server->appDevice(QStringLiteral("Demo.Building A.Floor 1.CM 1\\.02"));
        QVERIFY(host.DeviceIsAccessible(other, true));
        QCOMPARE(tests(other), 1);
        QVERIFY(host.session().communicationFailed);
    }

    void helpMenuAndHelpFailures()
    {
        HostSandbox box;
        PlugInHost host(box.environment());
        host.InitApp();
        host.UpdateHelpMenu();
        QVERIFY(!host.manualAvailable());
        box.writeProgramFile(QStringLiteral("help/index.html"), QStringLiteral("<html></html>"));
        host.UpdateHelpMenu();
        QVERIFY(host.manualAvailable());
        QVERIFY(!host.appDocAvailable());

        host.ShowHtmlHelp(host.session().helpFilePath, 1003);
        QCOMPARE(box.help.requests.last().second, 1003);
        QVERIFY(box.dialogs.messages.isEmpty());

        box.help.result = HelpViewer::Result::ViewerMissing;
        host.ShowHtmlHelp(host.session().helpFilePath, -1);
        QCOMPARE(box.dialogs.messages.last().text, GetResString(1426));
        box.help.result = HelpViewer::Result::Failed;
        host.ShowHtmlHelp(QStringLiteral("/nowhere/index.html"), 1000);
        QCOMPARE(box.dialogs.messages.last().text, GetResString(1425, 1, {QStringLiteral("/nowhere/index.html")}));
        QCOMPARE(box.dialogs.messages.last().icon, MsgIcon::Critical);
        QVERIFY(host.logger()->loggerOnErrorFlag()); // said in the logger too

        // A German session opens the German pages, which lie beside the English ones.
        box.writeProgramFile(QStringLiteral("help/de/index.html"), QStringLiteral("<html></html>"));
        host.UpdateHelpMenu();
        QCOMPARE(host.session().helpFilePath, box.program.path() + QStringLiteral("/help/index.html"));
        host.session().language = qint16(ResStrings::German);
        host.UpdateHelpMenu();
        QCOMPARE(host.session().helpFilePath, box.program.path() + QStringLiteral("/help/de/index.html"));
    }

private:
    static QString sharedLanguage(const HostSandbox &box);
    static QString productLanguage(const HostSandbox &box);
};

QString TstPlugInStartup::sharedLanguage(const HostSandbox &box)
{
    return box.registry().ReadValue(RegistryAccess::LocalMachine, settings::SharedKey, QStringLiteral("Options"),
                                      QStringLiteral("Language"), QStringLiteral("unset"));
}

QString TstPlugInStartup::productLanguage(const HostSandbox &box)
{
    return box.registry().ReadValue(RegistryAccess::LocalMachine, settings::productKey(), QStringLiteral("Options"),
                                      QStringLiteral("Language"), QStringLiteral("unset"));
}

QTEST_GUILESS_MAIN(TstPlugInStartup)
#include "tst_plugin_startup.moc"
