// The plug-in host: start-up, validation, registration and shutdown; the command path against
// the demo network; the automation object without its D-Bus side (tst_dbus_automation's); and
// the commands handed to the window's logic on a manual clock, wiring only (the pages' rules are
// tests/ui's, tests/calibration's and tests/monitoring's; calibrations run through the host and
// its monitoring page are tst_killpoints').

#include "hosttestkit.h"
#include "lnsfakes.h"
#include "host/application.h"
#include "lns/product.h"
#include "session/settings.h"
#include "support/raised.h"
#include "host/unattendedmonitor.h"
#include "lns/embedded/commandmodulesim.h"
#include "ui/memorymainwindowview.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <sys/stat.h>

using namespace ui;
using embedded::EmbeddedObjectServer;

namespace {

class RecordingRegResult : public RegResultTarget
{
public:
    void setRegResult(int result) override { results.append(result); }
    QList<int> results;
};

QString demoObject(int number)
{
    return QStringLiteral("Demo.Building A.Floor 1.CM 1\\.0%1.CommandModule").arg(number);
}

// A sandbox with the product's INI file and a demo network of eight devices.
std::unique_ptr<HostSandbox> networkSandbox()
{
    auto box = std::make_unique<HostSandbox>(false);
    box->productDemoNetwork(8);
    return box;
}

// Takes the demo network's device `number` offline, as another process does.
void takeOffline(const HostSandbox &box, int number)
{
    const auto server = EmbeddedObjectServer::create(box.home.path());
    server->open(lns::ConnectionMode::Local);
    EmbeddedObjectServer::setDeviceOnline(server->lonMarkObject(demoObject(number))->appDevice(), false);
}

// The automation members take their arguments by reference.
void sendCommand(Application &app, qint32 commandId, qint16 classId, QString objectName = {})
{
    app.SendCommand(commandId, classId, objectName);
}

using MemoryHostRig = HostWindowRig<MemoryMainWindowView>;

} // namespace

class TstPlugInHost : public QObject
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
        QTest::newRow("no object name: about window") << "/REMOTE/NI:Internet" << none << "ended" << "";
        // Registration takes any class; a command of the table only the class of its record.
        QTest::newRow("registration") << "/COMMANDID:50/CLASSID:7/OBJECTNAME:Demo.A.CM 1.Cm" << none << "ended" << "";
        QTest::newRow("command on a device class") << "/COMMANDID:14/CLASSID:27/OBJECTNAME:a.b.c.d" << none << "aborted"
                                                   << "The transmitted CommandId (14) is not\r\nsupported for  ClassId 27 !";
        QTest::newRow("unknown command") << "/OBJECTNAME:a.b.c.d /COMMANDID:99 /CLASSID:28" << none << "aborted"
                                         << "The transmitted CommandId (99) is not\r\nsupported for  ClassId 28 !";
        QTest::newRow("the empty fourth record") << "/OBJECTNAME:a.b.c.d" << none << "aborted"
                                                 << "The transmitted CommandId (0) is not\r\nsupported for  ClassId 0 !";
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
        QCOMPARE(host.refusal().reason, message.isEmpty() ? Refusal::Reason::None : Refusal::Reason::UnknownCommand);
        QCOMPARE(box.dialogs.messages.size(), message.isEmpty() ? 0 : 1);
        QCOMPARE(box.dialogs.messages.value(0).text, message);
        QVERIFY(message.isEmpty() || box.dialogs.messages[0].icon == MsgIcon::Exclamation);
        // Every exit leaves the registration record behind; a refusal logs its routines in order.
        QCOMPARE(QFile::exists(box.registrations().recordFile(product::ProjectName)), host.ended());
        const QRegularExpression routines("InitApp\\(\\).*Main\\(\\).*ValidateCommand\\(\\).*EndApp\\(\\).*Register\\(\\)",
                                          QRegularExpression::DotMatchesEverythingOption);
        QVERIFY(message.isEmpty() || routines.match(box.logText()).hasMatch());
        // Stand-alone (the window built for command 100), with the status window only for /S.
        QVERIFY(outcome != QLatin1String("running") || box.status.calls.contains(QStringLiteral("show")) == (line == "/S"));
        if (line.startsWith(QLatin1String("/REMOTE"))) {
            QVERIFY(box.about.shown.size() == 1 && box.automationRegistrations == 1 && box.status.texts.isEmpty());
        }
    }

    // /REG writes the product's language only, and the next start writes no file: the record
    // and the registry are as it would write them (a file rewritten gets a new inode). A start
    // takes the shared language. /unreg then removes the record, the activation file and the
    // product's language.
    void registrationAndItsRemoval()
    {
        HostSandbox box;
        const auto language = [&box](const QString &key) {
            return box.registry().ReadValue(RegistryAccess::LocalMachine, key, "Options", "Language", "unset");
        };
        PlugInHost reg(box.environment());
        reg.Main(QStringLiteral("/REG:1"));
        QCOMPARE(language(settings::productKey()), QStringLiteral("1"));
        QCOMPARE(language(settings::SharedKey), QStringLiteral("unset"));
        QVERIFY(reg.ended() && !box.window.calls.contains(QStringLiteral("show")) && box.about.shown.isEmpty());
        QCOMPARE(box.registrations().read(product::ProjectName).lcaVersion, QStringLiteral("2.00"));

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
        RegistryAccess registry = box.registry();
        settings::writeLanguage(registry, 1000);
        PlugInHost german(box.environment());
        german.InitApp();
        QCOMPARE(german.session().language, qint16(1000));
        QCOMPARE(german.session().commandTable[1].name, GetResString(1800)); // looked up in German
        QCOMPARE(box.status.versionText, QStringLiteral("v1.0.0"));
        german.EndApp();

        dbusactivation::install(box.program.filePath(QStringLiteral("tqm-cmdmodule")));
        QVERIFY(dbusactivation::serviceFile().startsWith(box.home.path()));
        PlugInHost unreg(box.environment());
        unreg.Main(QStringLiteral("/unreg"));
        QVERIFY(unreg.ended() && !QFile::exists(files[0]) && !QFile::exists(dbusactivation::serviceFile()));
        QCOMPARE(language(settings::productKey()), QStringLiteral("unset"));
    }

    void deviceAccessibilityIsCachedForTenSeconds()
    {
        auto box = networkSandbox();
        const auto server = EmbeddedObjectServer::create(box->home.path());
        server->open(lns::ConnectionMode::Local);
        PlugInHost host(box->environment());
        host.InitApp();
        const auto device = server->appDevice(QStringLiteral("Demo.Building A.Floor 1.CM 1\\.01"));
        const auto tests = [&server](const lns::AppDevicePtr &d) { return server->messageCounts(d).deviceTests; };
        host.session().appDevice = device;
        host.session().communicationFailed = true;

        QVERIFY(host.DeviceIsAccessible() && !host.session().communicationFailed);

        embedded::EmbeddedObjectServer::setDeviceOnline(device, false);
        box->clock.advanceMs(9999);
        QVERIFY(host.DeviceIsAccessible()); // kept result
        QCOMPARE(tests(device), 1);
        QVERIFY(!host.DeviceIsAccessible({}, true)); // forced
        embedded::EmbeddedObjectServer::setDeviceOnline(device, true);
        box->clock.advanceSeconds(10);
        QVERIFY(host.DeviceIsAccessible());
        QCOMPARE(tests(device), 2); // the answered tests

        // A given device is tested instead; the session's failure flag stays as it is.
        host.session().communicationFailed = true;
        const auto other = server->appDevice(QStringLiteral("Demo.Building A.Floor 1.CM 1\\.02"));
        QVERIFY(host.DeviceIsAccessible(other, true) && host.session().communicationFailed);
        QCOMPARE(tests(other), 1);
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
        QVERIFY(host.manualAvailable() && !host.appDocAvailable());

        host.ShowHtmlHelp(host.session().helpFilePath, 1003);
        QVERIFY(box.help.requests.last().second == 1003 && box.dialogs.messages.isEmpty());

        box.help.result = HelpViewer::Result::ViewerMissing;
        host.ShowHtmlHelp(host.session().helpFilePath, -1);
        QCOMPARE(box.dialogs.messages.last().text, GetResString(1426));
        box.help.result = HelpViewer::Result::Failed;
        host.ShowHtmlHelp(QStringLiteral("/nowhere/index.html"), 1000);
        QCOMPARE(box.dialogs.messages.last().text, GetResString(1425, 1, {QStringLiteral("/nowhere/index.html")}));
        QVERIFY(host.logger()->loggerOnErrorFlag()); // said in the logger too

        // A German session opens the German pages, which lie beside the English ones.
        box.writeProgramFile(QStringLiteral("help/de/index.html"), QStringLiteral("<html></html>"));
        host.UpdateHelpMenu();
        QCOMPARE(host.session().helpFilePath, box.program.path() + QStringLiteral("/help/index.html"));
        host.session().language = qint16(ResStrings::German);
        host.UpdateHelpMenu();
        QCOMPARE(host.session().helpFilePath, box.program.path() + QStringLiteral("/help/de/index.html"));
    }

    // Configure opens on a device that does not answer; calibrate ends (startsThatFail), and
    // monitor alike (tst_programstart commands).
    void configureOpensOnAnOfflineDevice()
    {
        auto box = networkSandbox();
        takeOffline(*box, 2);
        PlugInHost host(box->environment());
        host.Main(QStringLiteral("/CLASSID:28/COMMANDID:13/OBJECTNAME:") + demoObject(2));
        QCOMPARE(box->status.texts.mid(0, 2), (QStringList{GetResString(1504, 2), GetResString(1501, 3)}));
        QCOMPARE(box->window.calls, (QStringList{"load", "buildPages 1", "show"}));
        QVERIFY(!host.session().aborted && box->dialogs.messages.isEmpty());
        QCOMPARE(host.session().deviceTemplate, QStringLiteral("TQM_CM_L2"));
    }

    // Object names that lead to no LonMark object, and a calibration of a device that does not
    // answer: one box (its text, the cause first in its detail), then the plug-in ends like any
    // failed start, its session closed. A name that cannot be read goes to the error handler,
    // which names it, whatever it answers (which names cannot be read is tst_textutility's).
    // The box names the lines the INI reader skipped, a likely cause, or the INI file missing.
    void startsThatFail_data()
    {
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<int>("commandId");
        QTest::addColumn<QString>("text");  // in the box's text
        QTest::addColumn<QString>("cause"); // the start of its detail
        QTest::addColumn<int>("answer");    // the error handler's; -1: none asked for
        QTest::addColumn<QString>("ini");   // the plug-in's INI file: "damaged", "missing" or whole
        QTest::newRow("unknown network") << "Nowhere.Building A.Floor 1.CM 1\\.01.CommandModule" << 13 << GetResString(1436)
                                         << "The network \"Nowhere\" cannot be opened" << -1 << "";
        QTest::newRow("unknown device") << "Demo.Building A.Floor 1.CM 9.CommandModule" << 13 << GetResString(1437)
                                        << "The device \"CM 9\" was not found in subsystem \"Building A/Floor 1\"." << -1 << "";
        QTest::newRow("unknown subsystem") << "Demo.Building Z.Floor 1.CM 1\\.01.CommandModule" << 13 << GetResString(1437)
                                           << "The subsystem \"Building Z/Floor 1\" was not found in network" << -1 << "";
        QTest::newRow("unknown LonMark object") << "Demo.Building A.Floor 1.CM 1\\.01.Other" << 13 << GetResString(1437)
                                                << "The device \"CM 1.01\" has no LonMark object \"Other\"." << -1 << "";
        QTest::newRow("damaged INI file") << "Demo.Building A.Floor 1.CM 9.CommandModule" << 13 << GetResString(1437) << ""
                                          << -1 << "damaged";
        QTest::newRow("INI file missing") << "a.b.c.d" << 13 << GetResString(1526) << "" << -1 << "missing";
        QTest::newRow("calibrate, device silent") << demoObject(2) << 14 << GetResString(1491)
                                                  << "Device \"CM 1.02\" does not respond." << -1 << "";
        QTest::newRow("network only, leave") << "Demo" << 13 << "Demo" << "" << int(MsgAnswer::Abort) << "";
        QTest::newRow("network only, continue") << "Demo" << 13 << "Demo" << "" << int(MsgAnswer::Ignore) << "";
    }
    void startsThatFail()
    {
        QFETCH(QString, objectName);
        QFETCH(int, commandId);
        QFETCH(QString, text);
        QFETCH(QString, cause);
        QFETCH(int, answer);
        QFETCH(QString, ini);
        auto box = networkSandbox();
        const bool silent = text == GetResString(1491);
        if (silent)
            takeOffline(*box, 2);
        QFile iniFile(box->program.filePath(QStringLiteral("TqmCmdModule.ini")));
        if (ini == QLatin1String("missing"))
            QVERIFY(iniFile.remove());
        if (ini == QLatin1String("damaged")) {
            QVERIFY(iniFile.open(QIODevice::Append));
            iniFile.write("\n[velto TqmCommandModule Templates 1.0\n");
            iniFile.close();
        }
        if (answer >= 0)
            box->dialogs.answers.enqueue(MsgAnswer(answer));
        PlugInHost host(box->environment());
        host.Main(QStringLiteral("/CLASSID:28/COMMANDID:%1/OBJECTNAME:%2").arg(commandId).arg(objectName));
        QCOMPARE(box->dialogs.messages.size(), 1);
        const MessageRequest &shown = box->dialogs.messages[0];
        QVERIFY2(shown.text.contains(text) && (cause.isEmpty() || shown.detail.startsWith(cause)),
                 qPrintable(shown.text + '|' + shown.detail));
        if (ini == QLatin1String("damaged")) { // the line's place (its text: tst_inifile badLines), also in the log file
            const QStringList detail = shown.detail.split(QStringLiteral("\r\n"));
            QVERIFY2(detail.size() == 2 && detail[1].startsWith(iniFile.fileName() + QLatin1Char(':')),
                     qPrintable(shown.detail));
            QVERIFY(box->logText().contains(detail[1]));
        }
        if (ini == QLatin1String("missing")) // named, and the start goes no further
            QVERIFY(shown.text.endsWith(iniFile.fileName()) && shown.icon == MsgIcon::Critical
                    && !box->logText().contains(QStringLiteral("Main()")));
        QVERIFY(!silent || shown.title == QStringLiteral("CM 1.02 / CommandModule"));
        QVERIFY(host.session().aborted && host.ended() && !host.session().network);
        QCOMPARE(host.refusal().reason, text == GetResString(1436)   ? Refusal::Reason::NetworkNotOpened
                                        : text == GetResString(1437) ? Refusal::Reason::ObjectNotFound
                                        : silent                     ? Refusal::Reason::DeviceNotAccessible
                                        : ini == QLatin1String("missing") ? Refusal::Reason::IniFileMissing
                                                                     : Refusal::Reason::Failed);
        // Ending releases the status window with the other services.
        QVERIFY(!box->status.visible && !box->window.calls.contains(QStringLiteral("show")));
    }

    void registrationIntoProject_data()
    {
        QTest::addColumn<QString>("programIds");
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<bool>("withRegResult");
        QTest::addColumn<int>("registrations");
        QTest::addColumn<int>("result");
        QTest::newRow("two templates, case-insensitive")
            << "90:00:5d:50:28:04:04:01;90:00:5D:50:28:04:04:03" << demoObject(1) << true << 6 << 0;
        QTest::newRow("no template asked for") << "90:00:00:00:00:00:00:00" << demoObject(1) << true << 0 << 0;
        QTest::newRow("unknown network reports failure")
            << "90:00:5D:50:28:04:04:01" << "Nowhere.A.B.C" << true << 0 << -1;
        QTest::newRow("failure without RegResult shows a message")
            << "90:00:5D:50:28:04:04:01" << "Nowhere.A.B.C" << false << 0 << -1;
    }
    void registrationIntoProject()
    {
        QFETCH(QString, programIds);
        QFETCH(QString, objectName);
        QFETCH(bool, withRegResult);
        QFETCH(int, result);
        auto box = networkSandbox();
        PlugInHost host(box->environment());
        Application app(host);
        auto regResult = std::make_shared<RecordingRegResult>();
        app.setProgramIdsToRegister(programIds);
        if (withRegResult)
            app.setRegResult(regResult);
        sendCommand(app, 50, 0, objectName);

        QVERIFY(host.ended() && !box->window.calls.contains(QStringLiteral("show")));
        QCOMPARE(box->status.texts.value(0), GetResString(1513));
        QCOMPARE(regResult->results, withRegResult ? QList<int>{result} : QList<int>{});
        QCOMPARE(box->dialogs.messages.size(), withRegResult ? 0 : 1);
        QVERIFY(withRegResult ? !box->status.calls.contains(QStringLiteral("show"))
                              : box->dialogs.messages[0].text == GetResString(1435, 2));
        if (result != 0)
            return;
        auto server = embedded::EmbeddedObjectServer::create(box->home.path());
        server->open(lns::ConnectionMode::Local);
        const auto commands = server->network(QStringLiteral("Demo"))->registeredPlugInCommands();
        QTEST(int(commands.size()), "registrations");
        for (const auto &command : commands)
            QVERIFY(QList<int>({13, 14, 21}).contains(command.commandId));
    }

    // The automation object's own members: the read-only ones raise (the error's text on the
    // bus: tst_dbus_automation propertiesAndARefusal), NetworkName reads empty, Remote and the network
    // interface give the connection mode, Minimized keeps the state saved first, the window's
    // twips are rounded half to even; after a refusal the window's members are frozen.
    void automationMembers()
    {
        HostSandbox box;
        PlugInHost host(box.environment());
        Application app(host);
        const QList<std::function<void()>> setters{
            [&] { app.setLcaVersion("3.00"); }, [&] { app.setManufacturerId("x"); }, [&] { app.setManufacturerName("x"); },
            [&] { app.setName("x"); }, [&] { app.setVersion("9.9"); }};
        for (const auto &set : setters)
            QCOMPARE(raised(set).number(), qint32(0x80044E22u));
        app.setNetworkName(QStringLiteral("Demo"));
        QVERIFY(app.NetworkName().isEmpty());
        app.setRemote(true);
        app.setNetworkInterfaceName(QStringLiteral("Internet"));
        QCOMPARE(host.session().connectionMode(), lns::ConnectionMode::RemoteInternet);

        box.window.setWindowState(WindowState::Maximized);
        app.setMinimized(true);
        QVERIFY(app.Minimized());
        app.setMinimized(true);
        QCOMPARE(app.savedWindowState(), WindowState::Maximized);
        app.setMinimized(false);
        QCOMPARE(box.window.windowState(), WindowState::Maximized);

        for (const auto &[twips, rounded] : {std::pair{7200.5, 7200}, std::pair{7201.5, 7202}, std::pair{15.4, 15}}) {
            box.window.setTop(twips);
            box.window.setWidth(twips);
            QCOMPARE(int(app.Top()), rounded);
            QCOMPARE(int(app.Width()), rounded);
        }

        // An aborted session freezes the window's members; the others still answer.
        box.window.showWindow();
        sendCommand(app, 99, 28, "a.b.c.d"); // refused: aborts the session
        QVERIFY(host.session().aborted);
        const int messages = box.dialogs.messages.size();
        QVERIFY(app.Height() == 0 && !app.Visible() && !app.Minimized());
        app.setHeight(100);
        app.setMinimized(true);
        QCOMPARE(box.window.height(), 7200.0);
        QCOMPARE(box.window.windowState(), WindowState::Maximized);
        QCOMPARE(app.LcaVersion(), QStringLiteral("2.00"));

        sendCommand(app, 99, 28, "a.b.c.d"); // does nothing now
        QCOMPARE(box.dialogs.messages.size(), messages);
    }

    // A LonMark object taken is the one a command then works on, and it stays open at the end.
    void hostObjects_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<int>("classId");
        QTest::addColumn<bool>("unreadable");
        QTest::addColumn<bool>("supplied");
        QTest::newRow("LonMark object") << "LnsObjectByTool" << 28 << false << true;
        QTest::newRow("device instead of LonMark object") << "LnsObjectByTool" << 7 << false << false;
        QTest::newRow("class id unreadable") << "LnsObjectByTool" << 28 << true << false;
        QTest::newRow("object server") << "LnsServer" << 0 << false << true;
        QTest::newRow("network instead of server") << "LnsServer" << 1 << false << false;
        QTest::newRow("server class id unreadable") << "LnsServer" << 0 << true << false;
    }
    void hostObjects()
    {
        QFETCH(QString, member);
        QFETCH(int, classId);
        QFETCH(bool, unreadable);
        auto box = networkSandbox();
        const auto server = EmbeddedObjectServer::create(box->home.path());
        server->open(lns::ConnectionMode::Local);
        PlugInHost host(box->environment());
        Application app(host);
        const auto previous = server->lonMarkObject(demoObject(1));
        host.session().lonMarkObject = previous;

        const lns::ObjectPtr object = unreadable ? std::make_shared<OpaqueObject>(classId, true)
            : classId == lns::LonMarkObjectClass ? lns::ObjectPtr(server->lonMarkObject(demoObject(3)))
            : classId == lns::ObjectServerClass ? lns::ObjectPtr(EmbeddedObjectServer::create(box->home.path()))
                                                : std::make_shared<OpaqueObject>(classId);

        if (member == QLatin1String("LnsServer"))
            app.setLnsServer(object);
        else
            app.setLnsObjectByTool(object);
        QTEST(host.session().hostSuppliedObjects, "supplied");
        const bool lonMarkObjectTaken = host.session().hostSuppliedObjects && member == QLatin1String("LnsObjectByTool");
        QVERIFY(app.LnsObjectByTool() == (lonMarkObjectTaken ? object : lns::ObjectPtr(previous)));
        if (!lonMarkObjectTaken)
            return;
        sendCommand(app, 21, 28);
        // Nothing opened, so nothing to report.
        QVERIFY(box->window.calls.contains(QStringLiteral("show")) && box->status.texts.isEmpty());
        QCOMPARE(host.session().appDevice->name(), QStringLiteral("CM 1.03"));
        QCOMPARE(host.session().network->name(), QStringLiteral("Demo"));
        QVERIFY(host.session().appDevices); // those of the system's first subsystem
        host.EndApp();
        QVERIFY(server->isOpen());
    }

    void configureShowsTheDeviceInTheWindow()
    {
        MemoryHostRig rig;
        QVERIFY(rig.start(13, "CM 1.06"));
        QCOMPARE(rig.reported, (QStringList{"buildPages 1", "show"}));
        QCOMPARE(rig.view.windowCaption(), QStringLiteral("CM 1.06 / CommandModule"));
        QVERIFY(!rig.box.status.visible);
        // The host's logger is the one the window shows.
        const auto &shown = rig.view.loggerLines.lines;
        QVERIFY(std::any_of(shown.begin(), shown.end(), [](const LogViewLine &l) { return l.text == GetResString(1550, 2); }));
        QVERIFY(rig.box.logText().contains(QStringLiteral("[frmMain] Public Sub Display()")));

        // The device check is the host's: a device that stops answering is noticed once the
        // last answer is ten seconds old.
        QVERIFY(rig.view.clickButtonBarItem("2") && rig.view.isEnabled(Element::commandButton(0)));
        EmbeddedObjectServer::setDeviceOnline(rig.host->session().appDevice, false);
        rig.box.clock.advanceSeconds(5);
        QVERIFY(rig.view.clickTab("KEY:3") && rig.view.isEnabled(Element::commandButton(1)));
        rig.box.clock.advanceSeconds(5);
        QVERIFY(rig.view.clickTab("KEY:2") && !rig.view.isEnabled(Element::commandButton(0)));

        QVERIFY(rig.view.requestClose() && rig.host->ended() && !rig.view.isWindowVisible());
        RegistryAccess registry = rig.box.registry();
        QCOMPARE(settings::readWindowPosition(registry).top, rig.view.windowGeometry().top);
    }

    // The monitor command fills the fields, and the unattended run hands out every field text
    // ("[field N] text") until its time is up, while another process changes the device's room
    // (what an outage empties: tst_monitoring). EndApp switches off.
    void monitorCommandHandsOutTheFieldsUntilEndApp()
    {
        MemoryHostRig rig;
        QVERIFY(rig.start(21, "CM 1.04"));
        QStringList printed;
        UnattendedMonitor monitor(rig.view, rig.timers, [&](const QString &line) { printed.append(line); });
        QSignalSpy finished(&monitor, &UnattendedMonitor::finished);
        monitor.start(30);
        QCOMPARE(printed, (QStringList{"[field 4] 21.0", "[field 5] 0.0", "[field 6] HVAC_OFF"}));

        printed.clear();
        EmbeddedObjectServer::changeRoom(rig.otherDevice("CM 1.04"), [](const auto &room, const auto &settings, const QDateTime &now) {
            return embedded::cmsim::setRoomTemp(room, settings, 2340, now);
        });
        rig.box.clock.advanceSeconds(10); // one poll interval of the space temperature
        QCOMPARE(printed, QStringList{"[field 4] 23.4"});

        rig.box.clock.advanceSeconds(19);
        QCOMPARE(finished.size(), 0);
        rig.box.clock.advanceSeconds(1);
        QCOMPARE(finished.size(), 1);
        printed.clear();
        rig.host->EndApp(); // empties nothing that is handed out any more
        QVERIFY(printed.isEmpty() && !rig.host->monitoring());
        QVERIFY(!rig.view.textBox(4)->enabled()); // monitoring switched off

        // The run's length from the environment: five seconds unless a length is given.
        QCOMPARE(UnattendedMonitor::secondsFrom(QString()), 5);
        QCOMPARE(UnattendedMonitor::secondsFrom(QStringLiteral("12")), 12);
        QCOMPARE(UnattendedMonitor::secondsFrom(QStringLiteral("-3")), 5);
    }
};

QTEST_GUILESS_MAIN(TstPlugInHost)
#include "tst_pluginhost.moc"
