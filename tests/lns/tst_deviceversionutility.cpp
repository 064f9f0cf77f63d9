#include "lns/deviceversionutility.h"
#include "lns/embedded/embeddedobjectserver.h"

#include <QtTest>

class TestDeviceVersionUtility : public QObject
{
    Q_OBJECT
private slots:
    void versionOrZero()
    {
        QTemporaryDir home;
        embedded::createDemoNetwork(home.path(), "Demo", 1);
        const auto server = embedded::EmbeddedObjectServer::create(home.path());
        server->open(lns::ConnectionMode::Local);
        const lns::AppDevicePtr device = server->appDevice("Demo.Building A.Floor 1.CM 1\\.01");
        embedded::EmbeddedObjectServer::setApplicationVersion(device, 2.1);
        QCOMPARE(DeviceVersionUtility::ApplicationVersion(device), 2.1f);
        embedded::EmbeddedObjectServer::setDeviceOnline(device, false);
        QCOMPARE(DeviceVersionUtility::ApplicationVersion(device), 0.0f);
        QCOMPARE(DeviceVersionUtility::ApplicationVersion(nullptr), 0.0f);
    }
};

QTEST_GUILESS_MAIN(TestDeviceVersionUtility)
#include "tst_deviceversionutility.moc"
