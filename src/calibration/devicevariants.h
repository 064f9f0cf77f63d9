#pragma once

// Device-variant questions answered by the plug-in INI file for the context's device template
// (keys of the CP section).

#include "calibration/devicecontext.h"

namespace calibration {

// Whether the template's "Limitation" is n; false for every n when the key is absent.
bool LimitationIs(const DeviceContext &context, int n);
// Whether "BMsAvailable" lists the button mode. The list is read up to its first empty item,
// so "0,,2" offers 0 only; an item of blanks is not empty and reads as 0.
bool ButtonModeIsAvailable(const DeviceContext &context, qint32 mode);

} // namespace calibration
