// The calibrations as the window runs them on a command module reached over LON/IP
// (tqm-devicesim on loopback): the sensor measured by polling the device and corrected on it, the
// knob's calibration triggered on the device, which then reports it learning.

#include "ui/windowrig.h"

#include "calibration/sensorcalibration.h"
#include "support/toolprocess.h"

#include <QtTest>

using namespace ui;
using calibration::TemperatureSensorCalibration;

class TestSensorCalibrationLonIp : public QObject
{
    Q_OBJECT

private:
    DeviceSimProcess m_sim;

private slots:
    void initTestCase()
    {
        QVERIFY(m_sim.start({"--first", "127.0.51.1", "--configured"}));
    }

    // A room of 21.00 °C that the sensor reads 1.37 K too warm, with 21,5 entered: the device
    // gets 2150 - 2237 = -87 and then reports 21.50.
    void correctsTheSensorOnTheDevice()
    {
        WindowRig rig;
        embedded::EmbeddedObjectServer::setDeviceLink(rig.device("CM 1.04"),
                                                      embedded::LinkRecord{"lonip", "127.0.51.1", {}});
        QVERIFY(m_sim.command("127.0.51.1 --room-temp 21 --sensor-error 1.37").contains("nvoSpaceTemp 22.37"));
        rig.setCp("CM 1.04", "nciTempMode", "1");
        rig.open("CM 1.04", 2);
        rig.view.textBox(calibration::RoomTemperatureBox)->setText("21,5");
        QVERIFY(rig.view.clickCommandButton(calibration::button::SensorCalibrate));
        for (int tick = 0; tick <= 20; ++tick)
            rig.clock.advanceMs(TemperatureSensorCalibration::IntervalMs);
        QCOMPARE(rig.view.caption(Element::label(labels::SensorResult)), QString("Calibration succeeded."));
        QCOMPARE(rig.cp("CM 1.04", "nciTmpOffset"), QString("255\t169"));
        QCOMPARE(rig.cp("CM 1.04", "nciTempMode"), QString("1"));
        QVERIFY(m_sim.command("127.0.51.1 --show").contains("nvoSpaceTemp 21.50"));
    }

    void triggersTheKnobCalibrationOnTheDevice()
    {
        WindowRig rig;
        const lns::AppDevicePtr device = rig.device("CM 1.04");
        embedded::EmbeddedObjectServer::setDeviceLink(device, embedded::LinkRecord{"lonip", "127.0.51.1", {}});
        QCOMPARE(device->knobCalibration(), lns::AppDevice::KnobCalibration::Calibrated);
        rig.open("CM 1.04", 2);
        QVERIFY(rig.view.clickCommandButton(calibration::button::KnobCentre));
        QVERIFY(m_sim.command("127.0.51.1 --show").contains("knob learning"));
        QCOMPARE(device->knobCalibration(), lns::AppDevice::KnobCalibration::Learning);
    }
};

QTEST_GUILESS_MAIN(TestSensorCalibrationLonIp)
#include "tst_sensorcalibrationlonip.moc"
