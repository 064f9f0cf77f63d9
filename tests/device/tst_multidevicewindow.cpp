// The device scan and the scripted multi-device window, on a fake network for the odd cases and on
// the embedded object server, whose names preselection and TQM_PICK_DEVICES must agree with.

#include "lnsfakes.h"
#include "device/multidevicewindow.h"
#include "lns/embedded/embeddedobjectserver.h"

#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

using namespace device;

Q_DECLARE_METATYPE(device::MultiDeviceItems)

namespace {

MultiDeviceRequest requestFor(const fake::DemoNetwork &demo, MultiDeviceItems items = MultiDeviceItems::LonMarkObjects)
{
    MultiDeviceRequest request;
    request.network = demo.network;
    request.system = demo.system;
    request.device = demo.opened;
    request.lonMarkObject = demo.openedObject();
    request.items = items;
    return request;
}

QStringList namesOf(const QList<FoundDevice> &found)
{
    QStringList names;
    for (const FoundDevice &device : found)
        names.append(device.name);
    return names;
}

QStringList deviceNamesOf(const MultiDeviceSelectionPtr &selection)
{
    QStringList names;
    for (const auto &item : selection->items()) {
        if (const auto object = std::dynamic_pointer_cast<lns::LonMarkObject>(item))
            names.append(object->appDevice()->name());
        else
            names.append(item->name());
    }
    return names;
}

} // namespace

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
        MultiDeviceRequest request = requestFor(demo, items);
        request.sameProgramIdOnly = sameProgramIdOnly;
        const DeviceScanResult result = DeviceScan::run(request, {});

        QTEST(namesOf(result.offered), "expected");
        QVERIFY(result.unreadable.isEmpty());
        QVERIFY(!result.cancelled);
    }

    // Every device found is put to the validation in order; those it rejects are not offered.
    void eventsArriveInOrderOnTheCallingThread()
    {
        fake::DemoNetwork demo;
        ScriptedMultiDeviceWindow window;
        QStringList events;
        bool allOnThisThread = true;
        const auto note = [&](const QString &event) {
            events.append(event);
            allOnThisThread = allOnThisThread && QThread::currentThread() == thread();
        };
        connect(&window, &MultiDeviceWindow::progress, this, [&] { note(QStringLiteral("progress")); });
        connect(&window, &MultiDeviceWindow::validateFoundDevice, this, [&](const lns::AppDevicePtr &device, bool &rejected) {
            note(QStringLiteral("validate ") + device->name());
            rejected = device->name().startsWith(QStringLiteral("CM A"));
        });
        connect(&window, &MultiDeviceWindow::searchCompleted, this, [&] { note(QStringLiteral("completed")); });

        const MultiDeviceSelectionPtr selection = window.open(requestFor(demo));

        QVERIFY(allOnThisThread);
        QCOMPARE(events.first(), QStringLiteral("progress"));
        QCOMPARE(events.last(), QStringLiteral("completed"));
        QCOMPARE(events.count(QStringLiteral("completed")), 1);
        QVERIFY(events.count(QStringLiteral("progress")) >= 4); // at least once per subsystem
        QCOMPARE(events.filter(QStringLiteral("validate ")).replaceInStrings(QStringLiteral("validate "), QString()),
                 (QStringList{"CM A1", "CM A2", "CM 1.01", "CM 1.02", "CM B1"}));
        QCOMPARE(deviceNamesOf(selection), (QStringList{"CM 1.01", "CM 1.02", "CM B1"}));
    }

    void scriptedPicks_data()
    {
        QTest::addColumn<QVariant>("variable");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QStringList>("unmatched");

        QTest::newRow("not set: all valid") << QVariant() << QStringList{"CM A1", "CM A2", "CM 1.01", "CM 1.02", "CM B1"}
                                            << QStringList{};
        QTest::newRow("set but empty: nothing") << QVariant(QString()) << QStringList{} << QStringList{};
        // Picks come back in the order of the offer, whatever the order of the list.
        QTest::newRow("device names") << QVariant(QStringLiteral("CM B1;CM A1")) << QStringList{"CM A1", "CM B1"}
                                      << QStringList{};
        QTest::newRow("object names, any case, blanks around")
            << QVariant(QStringLiteral(" demo.building a.floor 1.CM 1\\.01 ;Demo.Building B.CM B1.CommandModule"))
            << QStringList{"CM 1.01", "CM B1"} << QStringList{};
        QTest::newRow("names not offered are reported")
            << QVariant(QStringLiteral("Opened;Sensor;CM 1.02;;Nowhere")) << QStringList{"CM 1.02"}
            << QStringList{"Opened", "Sensor", "Nowhere"};
    }
    void scriptedPicks()
    {
        QFETCH(QVariant, variable);
        QFETCH(QStringList, unmatched);

        fake::DemoNetwork demo;
        ScriptedMultiDeviceWindow window(variable.isNull() ? std::nullopt
                                                           : std::optional(ScriptedMultiDeviceWindow::picksOf(variable.toString())));
        for (qsizetype i = 0; i < unmatched.size(); ++i)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("names no device on offer")));

        QTEST(deviceNamesOf(window.open(requestFor(demo))), "expected");
        QCOMPARE(window.unmatchedPicks(), unmatched);
    }

    void preselection_data()
    {
        QTest::addColumn<QStringList>("preselected");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("none") << QStringList{} << QStringList{};
        QTest::newRow("device object names as the write workflow keeps them")
            << QStringList{QStringLiteral("Demo.Building A.Floor 1.CM 1\\.02"), QStringLiteral("Demo.Building B.CM B1")}
            << QStringList{"CM 1.02", "CM B1"};
        QTest::newRow("LonMark object name") << QStringList{QStringLiteral("Demo.Building A.CM A2.CommandModule")}
                                             << QStringList{"CM A2"};
        QTest::newRow("devices no longer on offer are dropped") << QStringList{"Opened", "Sensor"} << QStringList{};
    }
    void preselection()
    {
        QFETCH(QStringList, preselected);

        fake::DemoNetwork demo;
        MultiDeviceRequest request = requestFor(demo);
        request.preselected = preselected;
        const DeviceScanResult result = DeviceScan::run(request, {});

        QStringList marked;
        for (const FoundDevice &found : result.offered)
            if (found.preselected)
                marked.append(found.name);
        QTEST(marked, "expected");
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
    void embeddedOffersEveryOtherCommandModule()
    {
        QFETCH(MultiDeviceItems, items);
        ScriptedMultiDeviceWindow window;
        const MultiDeviceSelectionPtr selection = window.open(embeddedRequest(items));
        QCOMPARE(selection->count(), 9);
        QVERIFY(window.unreadable().isEmpty());
        // One-based, and devices by name as well.
        QVERIFY_THROWS_EXCEPTION(TqmError, selection->item(0));
        QVERIFY_THROWS_EXCEPTION(TqmError, selection->item(10));
        if (items == MultiDeviceItems::AppDevices)
            QCOMPARE(selection->item(QStringLiteral("CM 1.01"))->name(), QStringLiteral("CM 1.01"));
        for (const lns::ObjectPtr &item : selection->items()) {
            if (items == MultiDeviceItems::AppDevices) {
                QCOMPARE(item->classId(), int(lns::AppDeviceClass));
                QVERIFY(item->name() != QStringLiteral("CM 1.03"));
                continue;
            }
            const auto object = std::dynamic_pointer_cast<lns::LonMarkObject>(item);
            QVERIFY(object);
            QCOMPARE(object->type(), m_opened->type());
            QCOMPARE(object->index(), m_opened->index());
            QVERIFY(object->appDevice()->name() != QStringLiteral("CM 1.03"));
        }
    }

    void embeddedNamesResolveOnTheServer()
    {
        const DeviceScanResult result = DeviceScan::run(embeddedRequest(), {});
        QVERIFY(!result.offered.isEmpty());
        for (const FoundDevice &found : result.offered) {
            const lns::ObjectPtr device = m_server->objectByName(found.objectName);
            QVERIFY2(device && device->classId() == lns::AppDeviceClass, qPrintable(found.objectName));
            QCOMPARE(device->name(), found.name);
            const lns::LonMarkObjectPtr object = m_server->lonMarkObject(found.lonMarkObjectName);
            QCOMPARE(object->appDevice()->name(), found.name);
            QCOMPARE(lonMarkObjectName(embeddedRequest().network, found.lonMarkObject), found.lonMarkObjectName);
        }
    }
};

QTEST_GUILESS_MAIN(TestMultiDeviceWindow)
#include "tst_multidevicewindow.moc"
