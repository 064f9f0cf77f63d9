#pragma once

#include "lns/lns.h"

namespace DeviceVersionUtility {

// The version of the application loaded in the device (e.g. 2.1); 0 when there is no device or
// it does not answer.
float ApplicationVersion(const lns::AppDevicePtr &device);

} // namespace DeviceVersionUtility
