// The automation object on its own (the D-Bus side is tested in tst_dbus_automation).

#include "lnsfakes.h"
#include "support/raised.h"
#include "hosttestkit.h"
#include "host/application.h"
#include "lns/product.h"

class TstApplication : public QObject
{
    Q_OBJECT
private slots:
    void readOnlyProperties()
    {
        HostSandbox box;
        PlugInHost host(box.environment());
        Application app(host);
        const QList<std::function<void()>> setters{
            [&] { app.setLcaVersion("3.00"); }, [&] { app.setManufacturerId("x"); }, [&] { app.setManufacturerName("x"); },
            [&] { app.setName("x"); }, [&] { app.setVersion("9.9"); }};
        for (const auto &set : setters) {
            const TqmError error = raised(set);
            QCOMPARE(error.number(), qint32(0x80044E22u));
            QCOMPARE(error.source(), QStringLiteral("veltoTqmCmdModule.Application"));
            QCOMPARE(error.description(), QStringLiteral("Write not supported. This property is read-only."));
        }
        QCOMPARE(app.LcaVersion(), QStringLiteral("2.00"));
        QCOMPARE(app.Name(), product::ProductName);
        QCOMPARE(app.Version(), QStringLiteral("1.0"));
    }

    void abortedSessionFreezesTheWindowMembers()
    {
        HostSandbox box;
        PlugInHost host(box.environment());
        Application app(host);
        box.window.setHeight(7200);
        box.window.showWindow();
        qint32 commandId = 99;
        qint16 classId = 28;
        QString name = QStringLiteral("a.b.c.d");
        app.SendCommand(commandId, classId, name); // refused: aborts the session
        QVERIFY(host.session().aborted);
        const int messages = box.dialogs.messages.size();

        QCOMPARE(app.Height(), 0);
        QCOMPARE(app.Visible(), false);
        QCOMPARE(app.Minimized(), false);
        app.setHeight(100);
        app.setMinimized(true);
        QCOMPARE(box.window.height(), 7200.0);
        QCOMPARE(box.window.windowState(), WindowState::Normal);
        QCOMPARE(app.LcaVersion(), QStringLiteral("2.00"));

        app.SendCommand(commandId, classId, name); // does nothing now
        QCOMPARE(box.dialogs.messages.size(), messages);
    }

    void geometryIsRoundedHalfToEven_data()
    {
        QTest::addColumn<double>("twips");
        QTest::addColumn<int>("answer");
        QTest::newRow("down to even") << 7200.5 << 7200;
        QTest::newRow("up to even") << 7201.5 << 7202;
        QTest::newRow("nearest") << 15.4 << 15;
    }
    void geometryIsRoundedHalfToEven()
    {
        QFETCH(double, twips);
        HostSandbox box;
        PlugInHost host(box.environment());
        Application app(host);
        box.window.setTop(twips);
        box.window.setWidth(twips);
        QTEST(int(app.Top()), "answer");
        QTEST(int(app.Width()), "answer");
    }

    void minimizedKeepsTheFirstSavedState()
    {
        HostSandbox box;
        PlugInHost host(box.environment());
        Application app(host);
        box.window.setWindowState(WindowState::Maximized);
        app.setMinimized(true);
        QVERIFY(app.Minimized());
        app.setMinimized(true);
        QCOMPARE(app.savedWindowState(), WindowState::Maximized);
        app.setMinimized(false);
        QCOMPARE(box.window.windowState(), WindowState::Maximized);
    }

    void networkNameReadsEmpty()
    {
        HostSandbox box;
        PlugInHost host(box.environment());
        Application app(host);
        app.setNetworkName(QStringLiteral("Demo"));
        QVERIFY(app.NetworkName().isEmpty());
        app.setRemote(true);
        app.setNetworkInterfaceName(QStringLiteral("Internet"));
        QCOMPARE(host.session().connectionMode(), lns::ConnectionMode::RemoteInternet);
    }

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
        HostSandbox box;
        const auto server = box.demoServer();
        PlugInHost host(box.environment());
        Application app(host);
        server->open(lns::ConnectionMode::Local);
        const auto previous = server->lonMarkObject(QStringLiteral("Demo.Building A.Floor 1.CM 1\\.01.CommandModule"));
        host.session().lonMarkObject = previous;

        lns::ObjectPtr object;
        if (unreadable)
            object = std::make_shared<OpaqueObject>(classId, true);
        else if (classId == lns::LonMarkObjectClass)
            object = server->lonMarkObject(QStringLiteral("Demo.Building A.Floor 1.CM 1\\.02.CommandModule"));
        else if (classId == lns::ObjectServerClass)
            object = embedded::EmbeddedObjectServer::create(box.home.path());
        else
            object = std::make_shared<OpaqueObject>(classId);

        if (member == QLatin1String("LnsServer"))
            app.setLnsServer(object);
        else
            app.setLnsObjectByTool(object);
        QTEST(host.session().hostSuppliedObjects, "supplied");
        const bool lonMarkObjectTaken = host.session().hostSuppliedObjects && member == QLatin1String("LnsObjectByTool");
        QCOMPARE(app.LnsObjectByTool() == object, lonMarkObjectTaken);
        if (!lonMarkObjectTaken)
            QCOMPARE(app.LnsObjectByTool(), lns::LonMarkObjectPtr(previous));
    }
};

QTEST_GUILESS_MAIN(TstApplication)
#include "tst_application.moc"
