// The scripted window on a network of the embedded object server: the offer, the returned
// objects and the names that preselection and TQM_PICK_DEVICES use must agree with the server.

#include "device/multidevicewindow.h"
#include "lns/embedded/embeddedobjectserver.h"

#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(device::MultiDeviceItems)

using namespace device;

class TestMultiDeviceWindowNetDb : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        embedded::createDemoNetwork(m_home.path(), QStringLiteral("Demo"), 10); // 8 on Floor 1, 2 on Floor 2
        m_server = embedded::EmbeddedObjectServer::create(m_home.path());
        m_server->open(lns::ConnectionMode::Local);
        m_opened = m_server->lonMarkObject(QStringLiteral("Demo.Building A.Floor 1.CM 1\\.03.CommandModule"));
    }

    void offersEveryOtherCommandModule_data()
    {
        QTest::addColumn<MultiDeviceItems>("items");
        QTest::newRow("objects") << MultiDeviceItems::LonMarkObjects;
        QTest::newRow("devices") << MultiDeviceItems::AppDevices;
    }
    void offersEveryOtherCommandModule()
    {
        QFETCH(MultiDeviceItems, items);
        ScriptedMultiDeviceWindow window;
        int validated = 0;
        connect(&window, &MultiDeviceWindow::validateFoundDevice, this, [&](const lns::AppDevicePtr &, bool &) { ++validated; });

        const MultiDeviceSelectionPtr selection = window.open(request(items));

        QCOMPARE(selection->count(), 9);
        QCOMPARE(validated, 9);
        QVERIFY(window.unreadable().isEmpty());
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

    void namesResolveOnTheServer()
    {
        const DeviceScanResult result = DeviceScan::run(request(), {});
        QVERIFY(!result.offered.isEmpty());
        for (const FoundDevice &found : result.offered) {
            const lns::ObjectPtr device = m_server->objectByName(found.objectName);
            QVERIFY2(device && device->classId() == lns::AppDeviceClass, qPrintable(found.objectName));
            QCOMPARE(device->name(), found.name);
            const lns::LonMarkObjectPtr object = m_server->lonMarkObject(found.lonMarkObjectName);
            QCOMPARE(object->appDevice()->name(), found.name);
            QCOMPARE(lonMarkObjectName(request().network, found.lonMarkObject), found.lonMarkObjectName);
        }
    }

    void picksByObjectName()
    {
        ScriptedMultiDeviceWindow window(ScriptedMultiDeviceWindow::picksOf(
            "Demo.Building A.Floor 2.CM 2\\.02;Demo.Building A.Floor 1.CM 1\\.01.CommandModule"));
        const MultiDeviceSelectionPtr selection = window.open(request());

        QCOMPARE(selection->count(), 2);
        QCOMPARE(std::dynamic_pointer_cast<lns::LonMarkObject>(selection->item(1))->appDevice()->name(), QStringLiteral("CM 1.01"));
        QCOMPARE(std::dynamic_pointer_cast<lns::LonMarkObject>(selection->item(2))->appDevice()->name(), QStringLiteral("CM 2.02"));
    }

private:
    MultiDeviceRequest request(MultiDeviceItems items = MultiDeviceItems::LonMarkObjects) const;

    QTemporaryDir m_home;
    std::shared_ptr<embedded::EmbeddedObjectServer> m_server;
    lns::LonMarkObjectPtr m_opened;
};

MultiDeviceRequest TestMultiDeviceWindowNetDb::request(MultiDeviceItems items) const
{
    MultiDeviceRequest request;
    request.network = m_server->network(QStringLiteral("Demo"));
    request.system = request.network->systems()->item(1);
    request.device = m_opened->appDevice();
    request.lonMarkObject = m_opened;
    request.items = items;
    return request;
}

QTEST_GUILESS_MAIN(TestMultiDeviceWindowNetDb)
#include "tst_multidevicewindow_netdb.moc"
