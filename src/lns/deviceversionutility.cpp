#include "lns/deviceversionutility.h"

namespace DeviceVersionUtility {

float ApplicationVersion(const lns::AppDevicePtr &device)
{
    if (!device)
        return 0.0f;
    try {
        return device->applicationVersion();
    } catch (const TqmError &) {
        return 0.0f;
    }
}

} // namespace DeviceVersionUtility
