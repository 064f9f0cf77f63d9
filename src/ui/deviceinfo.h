#pragma once

// What Help - Device info shows of the opened device: its names, program id, application
// version, Neuron ID, whether it answers, its template and its last calibrations, captioned in
// the session's language.

#include "lns/desktopseams.h"
#include "session/services.h"

namespace ui {

// `accessible`: whether the device answers (the window's cached test); a silent device shows
// no application version.
DeviceInfoReport CollectDeviceInfo(const Services &services, bool accessible);

} // namespace ui
