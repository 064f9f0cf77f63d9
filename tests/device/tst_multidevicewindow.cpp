// The device scan and the scripted multi-device window, on a fake network for the odd cases and on
// the embedded object server, whose names preselection and TQM_PICK_DEVICES must agree with.

#include "lns/embedded/embeddedobjectserver.h"
#include "support/demorequests.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace device;

Q_DECLARE_METATYPE(device::MultiDeviceItems)

class TestMultiDeviceWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    embedded::EmbeddedObjectServerPtr m_server;
    lns::LonMarkObjectPtr m_opened;

    MultiDeviceRequest embeddedRequest(MultiDeviceItems items = MultiDeviceItems::LonMarkObjects) const
    {
        MultiDeviceRequest request;
        request.network = m_server->network(QStringLiteral("Demo"));
        request.system = request.network->systems()->item(1);
        request.device = m_opened->appDevice();
        request.lonMarkObject = m_opened;
        request.items = items;
        return request;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        embedded::createDemoNetwork(m_home.path(), QStringLiteral("Demo"), 10); // 8 on Floor 1, 2 on Floor 2
        m_server = embedded::EmbeddedObjectServer::create(m_home.path());
        m_server->open(lns::ConnectionMode::Local);
        m_opened = m_server->lonMarkObject(QStringLiteral("Demo.Building A.Floor 1.CM 1\\.03.CommandModule"));
    }

    void offer_data()
    {
        QTest::addColumn<MultiDeviceItems>("items");
        QTest::addColumn<bool>("sameProgramIdOnly");
        QTest::addColumn<QStringList>("expected");

        // The opened device is never offered; CM 1.02 sits in two subsystems and is offered once.
        QTest::newRow("objects") << MultiDeviceItems::LonMarkObjects << false
                                 << QStringList{"CM A1", "CM A2", "CM 1.01", "CM 1.02", "CM B1"};
        QTest::newRow("objects of the same program") << MultiDeviceItems::LonMarkObjects << true
                                                     << QStringList{"CM A1", "CM 1.01", "CM 1.02", "CM B1"};
        // Devices need no matching object.
        QTest::newRow("devices") << MultiDeviceItems::AppDevices << false
                                 << QStringList{"CM A1", "CM A2", "Sensor", "CM 1.01", "CM 1.02", "CM 2.01", "CM B1"};
        QTest::newRow("devices of the same program") << MultiDeviceItems::AppDevices << true
                                                     << QStringList{"CM A1", "Sensor", "CM 1.01", "CM 1.02", "CM 2.01", "CM B1"};
    }
    void offer()
    {
        QFETCH(MultiDeviceItems, items);
        QFETCH(bool, sameProgramIdOnly);

        fake::DemoNetwork demo;
        MultiDeviceRequest request = requestFor(demo, {}, items);
        request.sameProgramIdOnly = sameProgramIdOnly;
        const DeviceScanResult result = DeviceScan::run(request, {});

        QTEST(namesOf(result.offered), "expected");
        QVERIFY(result.unreadable.isEmpty() && !result.cancelled);
    }

    // Every device found is put to the validation in order; those it rejects are not offered.
    void eventsArriveInOrder()
    {
        fake::DemoNetwork demo;
        ScriptedMultiDeviceWindow window;
        QStringList events;
        connect(&window, &MultiDeviceWindow::progress, this, [&] { events.append("progress"); });
        connect(&window, &MultiDeviceWindow::validateFoundDevice, this, [&](const lns::AppDevicePtr &device, bool &rejected) {
            events.append("validate " + device->name());
            rejected = device->name().startsWith(QStringLiteral("CM A"));
        });
        connect(&window, &MultiDeviceWindow::searchCompleted, this, [&] { events.append("completed"); });

        const MultiDeviceSelectionPtr selection = window.open(requestFor(demo));

        QCOMPARE(events.first(), QStringLiteral("progress"));
        QCOMPARE(events.last(), QStringLiteral("completed"));
        QCOMPARE(events.count(QStringLiteral("completed")), 1);
        QVERIFY(events.count(QStringLiteral("progress")) >= 4); // at least once per subsystem
        QCOMPARE(events.filter(QStringLiteral("validate ")).replaceInStrings(QStringLiteral("validate "), QString()),
                 (QStringList{"CM A1", "CM A2", "CM 1.01", "CM 1.02", "CM B1"}));
        QCOMPARE(deviceNamesOf(selection), (QStringList{"CM 1.01", "CM 1.02", "CM B1"}));
    }

    // TQM_PICK_DEVICES and the preselection name devices alike; picks come back in the order of the
    // offer, whatever the order of the list.
    void picksAndPreselection_data()
    {
        QTest::addColumn<QVariant>("variable");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QStringList>("unmatched");

        QTest::newRow("not set: all valid, none preselected")
            << QVariant() << QStringList{"CM A1", "CM A2", "CM 1.01", "CM 1.02", "CM B1"} << QStringList{};
        QTest::newRow("set but empty: nothing") << QVariant(QString()) << QStringList{} << QStringList{};
        QTest::newRow("device names") << QVariant(QStringLiteral("CM B1;CM A1")) << QStringList{"CM A1", "CM B1"}
                                      << QStringList{};
        // CM 1.02 sits in two subsystems: its name is that of its home, Floor 1.
        QTest::newRow("object names, any case, blanks around")
            << QVariant(QStringLiteral(" demo.building a.floor 1.CM 1\\.02 ;Demo.Building B.CM B1.CommandModule"))
            << QStringList{"CM 1.02", "CM B1"} << QStringList{};
        QTest::newRow("names not offered are reported")
            << QVariant(QStringLiteral("Opened;Sensor;CM 1.02;;Nowhere")) << QStringList{"CM 1.02"}
            << QStringList{"Opened", "Sensor", "Nowhere"};
    }
    void picksAndPreselection()
    {
        QFETCH(QVariant, variable);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, unmatched);

        fake::DemoNetwork demo;
        const QStringList picks = ScriptedMultiDeviceWindow::picksOf(variable.toString());
        ScriptedMultiDeviceWindow window(variable.isNull() ? std::nullopt : std::optional(picks));
        for (qsizetype i = 0; i < unmatched.size(); ++i)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("names no device on offer")));
        QCOMPARE(deviceNamesOf(window.open(requestFor(demo))), expected);
        QCOMPARE(window.unmatchedPicks(), unmatched);

        QStringList marked;
        for (const FoundDevice &found : DeviceScan::run(requestFor(demo, picks), {}).offered) {
            if (found.preselected)
                marked.append(found.name);
        }
        QCOMPARE(marked, variable.isNull() ? QStringList{} : expected);
    }

    void unreadableDeviceIsSkipped()
    {
        fake::DemoNetwork demo;
        std::static_pointer_cast<fake::Device>(demo.buildingA->devices()->list.at(0))->interfaceUnreadable = true;
        demo.floor2->devices()->failing = true;

        ScriptedMultiDeviceWindow window;
        QCOMPARE(deviceNamesOf(window.open(requestFor(demo))), (QStringList{"CM A2", "CM 1.01", "CM 1.02", "CM B1"}));
        QCOMPARE(window.unreadable(), (QStringList{"Demo.Building A.CM A1: interface unreadable",
                                                   "Building A/Floor 2: database unreadable"}));
    }

    void cancelStopsTheSearch()
    {
        fake::DemoNetwork demo;
        int asked = 0;
        DeviceScanHooks hooks;
        std::pair<int, int> last{-1, -1}; // done, total
        hooks.progress = [&](int done, int total) { last = {done, total}; };
        hooks.cancelRequested = [&] { return ++asked > 2; };
        const DeviceScanResult result = DeviceScan::run(requestFor(demo), hooks);

        QVERIFY(result.cancelled);
        QCOMPARE(namesOf(result.offered), (QStringList{"CM A1", "CM A2"}));
        QCOMPARE(last, (std::pair{4, 4})); // the bar ends full either way
    }

    void objectNamesFollowTheHomeSubsystem()
    {
        fake::DemoNetwork demo;
        const auto shared = demo.floor2->devices()->list.at(0); // CM 1.02, home Floor 1
        QCOMPARE(deviceObjectName(demo.network, shared), QStringLiteral("Demo.Building A.Floor 1.CM 1\\.02"));
    }

    void requestWithoutSystemIsRefused()
    {
        fake::DemoNetwork demo;
        ScriptedMultiDeviceWindow window;
        int completed = 0;
        connect(&window, &MultiDeviceWindow::searchCompleted, this, [&] { ++completed; });

        MultiDeviceRequest noSystem = requestFor(demo);
        noSystem.system.reset();
        QVERIFY_THROWS_EXCEPTION(TqmError, window.open(noSystem));
        MultiDeviceRequest noPattern = requestFor(demo);
        noPattern.lonMarkObject.reset();
        QVERIFY_THROWS_EXCEPTION(TqmError, window.open(noPattern));
        QCOMPARE(completed, 2); // a host waiting for the end of the search is not left hanging
    }

    void embeddedOffersEveryOtherCommandModule_data()
    {
        QTest::addColumn<MultiDeviceItems>("items");
        QTest::newRow("objects") << MultiDeviceItems::LonMarkObjects;
        QTest::newRow("devices") << MultiDeviceItems::AppDevices;
    }
    // One-based, devices by name as well; the names of what is offered resolve on the server.
    void embeddedOffersEveryOtherCommandModule()
    {
        QFETCH(MultiDeviceItems, items);
        ScriptedMultiDeviceWindow window;
        const MultiDeviceSelectionPtr selection = window.open(embeddedRequest(items));
        QCOMPARE(selection->count(), 9);
        QVERIFY(window.unreadable().isEmpty() && !deviceNamesOf(selection).contains("CM 1.03"));
        QVERIFY_THROWS_EXCEPTION(TqmError, selection->item(0));
        QVERIFY_THROWS_EXCEPTION(TqmError, selection->item(10));
        if (items == MultiDeviceItems::AppDevices) {
            QCOMPARE(selection->item(QStringLiteral("CM 1.01"))->classId(), int(lns::AppDeviceClass));
            return;
        }
        for (const lns::ObjectPtr &item : selection->items()) {
            const auto object = std::dynamic_pointer_cast<lns::LonMarkObject>(item);
            QVERIFY(object && object->type() == m_opened->type() && object->index() == m_opened->index());
        }
        for (const FoundDevice &found : DeviceScan::run(embeddedRequest(), {}).offered) {
            const lns::ObjectPtr device = m_server->objectByName(found.objectName);
            QVERIFY2(device && device->classId() == lns::AppDeviceClass, qPrintable(found.objectName));
            QCOMPARE(device->name(), found.name);
            QCOMPARE(m_server->lonMarkObject(found.lonMarkObjectName)->appDevice()->name(), found.name);
            QCOMPARE(lonMarkObjectName(embeddedRequest().network, found.lonMarkObject), found.lonMarkObjectName);
        }
    }
};

QTEST_GUILESS_MAIN(TestMultiDeviceWindow)
#include "tst_multidevicewindow.moc"
