// The host hands a configure command over to the window's logic: the window shows the device's
// values, the logger's lines reach its logger list, the device check it asks for is the host's
// (kept for ten seconds on the manual clock), and closing the window ends the plug-in.

#include "hosttestkit.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/registryaccess.h"
#include "params/cparamtextbox.h"
#include "session/settings.h"
#include "ui/frmmain.h"
#include "ui/memorymainwindowview.h"

using namespace ui;

class TstWindowHandover : public QObject
{
    Q_OBJECT
private slots:
    void configureShowsTheDeviceInTheWindow()
    {
        HostSandbox box(false);
        box.productDemoNetwork(6);
        ManualClock &clock = box.clock;
        MemoryMainWindowView view;
        HostEnvironment env = box.environment(view);
        QStringList reported;
        env.windowReport = [&](const QString &request) { reported.append(request); };
        PlugInHost host(env);

        host.Main(QStringLiteral("/CLASSID:28/COMMANDID:13/OBJECTNAME:Demo.Building A.Floor 1.CM 1\\.06.CommandModule"));
        QVERIFY(!host.ended());
        QVERIFY(host.window()->isVisible());
        QCOMPARE(reported, (QStringList{"buildPages 1", "show"}));
        QCOMPARE(view.windowCaption(), QStringLiteral("CM 1.06 / CommandModule"));
        QCOMPARE(view.statusText(), GetResString(1517));
        QVERIFY(!box.status.visible);
        const auto *minDelta = host.mainWindow()->configuration()->Parameters()->TextBoxParameterByName("MinDeltaTemp");
        QVERIFY(minDelta->Available());
        QVERIFY(!view.textBox(2)->text().isEmpty());
        QStringList shownLines;
        for (const LogViewLine &line : view.loggerLines.lines)
            shownLines.append(line.text);
        QVERIFY2(shownLines.contains(GetResString(1550, 2)), qPrintable(shownLines.join('\n')));
        QVERIFY(box.logText().contains(QStringLiteral("[frmMain] Public Sub Display()")));

        // The device check is the host's: a device that stops answering is noticed once the
        // last answer is ten seconds old.
        QVERIFY(view.clickButtonBarItem("2"));
        QVERIFY(view.isEnabled(Element::commandButton(0)));
        embedded::EmbeddedObjectServer::setDeviceOnline(host.session().appDevice, false);
        clock.advanceSeconds(5);
        QVERIFY(view.clickTab("KEY:3"));
        QVERIFY(view.isEnabled(Element::commandButton(1)));
        clock.advanceSeconds(5);
        QVERIFY(view.clickTab("KEY:2"));
        QVERIFY(!view.isEnabled(Element::commandButton(0)));

        QVERIFY(view.requestClose());
        QVERIFY(host.ended());
        QVERIFY(!view.isWindowVisible());
        RegistryAccess registry = box.registry();
        QCOMPARE(settings::readWindowPosition(registry).top, view.windowGeometry().top);
    }
};

QTEST_GUILESS_MAIN(TstWindowHandover)
#include "tst_window_handover.moc"
