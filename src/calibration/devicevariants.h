#pragma once

// Device-variant questions answered by the plug-in INI file for the context's device template
// (keys of the CP section).

#include "calibration/devicecontext.h"

#include <QStringList>

namespace calibration {

// Whether the template's "Limitation" is n; false for every n when the key is absent.
bool LimitationIs(const DeviceContext &context, int n);
// Whether "BMsAvailable" lists the button mode. The list is read up to its first empty item,
// so "0,,2" offers 0 only; an item of blanks is not empty and reads as 0.
bool ButtonModeIsAvailable(const DeviceContext &context, qint32 mode);
// The first application version with the newer calibration functions (knob reset, copying the
// sensor calibration): "ApbVersionNewCalib", 0 when absent. Single precision, as the device
// reports its version, so that a device at 2.1 counts as 2.1.
float ApbVersionNewCalib(const DeviceContext &context);
// The program ids of devices that may receive a copied sensor calibration: each number of
// "CalibTransfer" looked up in the program-id list. The list ends at its first item that reads
// as 0 (an empty one too); numbers the file does not list give no id.
QStringList CalibTransferProgramIds(const DeviceContext &context);

} // namespace calibration
