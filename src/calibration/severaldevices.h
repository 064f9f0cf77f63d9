#pragma once

// The multi-device part of the calibrations: copying the sensor calibration and resetting (or
// centring) knob calibrations on several devices share it. It opens the multi-device window,
// which offers the devices whose program id the template's "CalibTransfer" list accepts; then,
// inside one series of writes with the window disabled, it walks the picked devices: status
// "Device i/n", the device's heading in the logger, its application version and the
// "ApbVersionNewCalib" of its template, and the procedure's own step, whose failure (an error of
// the network services) becomes the device's red line while the walk goes on.

#include "calibration/calibrationenvironment.h"

#include <QObject>
#include <QStringList>

namespace calibration {

// One picked device, as the procedure's step gets it.
struct PickedDevice
{
    lns::AppDevicePtr device;
    float applicationVersion = 0;  // 0: the device did not answer
    float newCalibVersion = 0;     // "ApbVersionNewCalib" of its template, 0 when absent
};

class SeveralDevices : public QObject
{
    Q_OBJECT
public:
    explicit SeveralDevices(const CalibrationEnvironment &env, QObject *parent = nullptr);
    ~SeveralDevices() override;

    // Opens the multi-device window and answers the devices the user picked (none: cancelled).
    QList<lns::AppDevicePtr> pick();

    // Walks the picked devices between the log lines `messageId` piece 1 (start) and piece 2
    // (end), and ends the operation: the logger shown after a red line, the window released and
    // enabled again, status "Ready.", Apply off, no parameter counted as changed.
    void run(const QList<lns::AppDevicePtr> &devices, int messageId,
             const std::function<void(const PickedDevice &)> &step);

private:
    void onValidateFoundDevice(const lns::AppDevicePtr &device, bool &notValidated);
    void onSearchCompleted();

    const CalibrationEnvironment &m_env;
    std::unique_ptr<device::MultiDeviceWindow> m_window;
    // The program ids a found device must have, built at the first device of a search.
    std::optional<QStringList> m_accepted;
};

} // namespace calibration
