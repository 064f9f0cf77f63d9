#include "lns/deviceversionutility.h"
#include "lns/embedded/embeddedobjectserver.h"

#include <QtTest>

class TestDeviceVersionUtility : public QObject
{
    Q_OBJECT
private slots:
    void versionOrZero_data()
    {
        QTest::addColumn<bool>("online");
        QTest::addColumn<float>("expected");
        QTest::newRow("answers") << true << 2.1f;
        QTest::newRow("does not answer") << false << 0.0f;
    }
    void versionOrZero()
    {
        QFETCH(bool, online);
        QTemporaryDir home;
        embedded::createDemoNetwork(home.path(), "Demo", 1);
        const auto server = embedded::EmbeddedObjectServer::create(home.path());
        server->open(lns::ConnectionMode::Local);
        const lns::AppDevicePtr device = server->appDevice("Demo.Building A.Floor 1.CM 1\\.01");
        embedded::EmbeddedObjectServer::setApplicationVersion(device, 2.1);
        embedded::EmbeddedObjectServer::setDeviceOnline(device, online);
        QTEST(DeviceVersionUtility::ApplicationVersion(device), "expected");
        QCOMPARE(DeviceVersionUtility::ApplicationVersion(nullptr), 0.0f);
    }
};

QTEST_GUILESS_MAIN(TestDeviceVersionUtility)
#include "tst_deviceversionutility.moc"
