#pragma once

// Which calibration the "Turning knob" page offers, and whether the "Temperature sensor" page
// offers copying its calibration to other devices. Three generations of the device application
// need three knob procedures:
//   - devices with a push-button panel (PanelType_1): the centre calibration;
//   - applications from "ApbVersionNewCalib" on: the reset, and the copy of a sensor calibration
//     when the device still carries its manufacturer's calibration ("TempCalib" not 0) and was
//     calibrated here;
//   - older applications (or a template without the key): the two-stop calibration.
// A device that does not answer (version 0) and has no panel leaves the page as it is.

#include "calibration/calibrationenvironment.h"

namespace calibration {

// Run when the window offers the calibration view, and after every sensor calibration.
void ArrangeCalibrationPages(const CalibrationEnvironment &env);

} // namespace calibration
