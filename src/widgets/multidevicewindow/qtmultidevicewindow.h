#pragma once

// The interactive multi-device window: the dialog, modal over the owner window, shown while the
// search runs (the owner stays painted through the progress events) and then offering the
// devices found.

#include "device/multidevicewindow.h"
#include "widgets/multidevicewindow/multidevicedialog.h"

namespace ui {

class QtMultiDeviceWindow : public device::MultiDeviceWindow
{
    Q_OBJECT
public:
    using device::MultiDeviceWindow::MultiDeviceWindow;

    device::MultiDeviceSelectionPtr open(const device::MultiDeviceRequest &request) override;

signals:
    // The dialog has been filled and is about to wait for the user; lets tests and automation
    // reach it.
    void offerShown(ui::MultiDeviceDialog *dialog);
};

} // namespace ui
