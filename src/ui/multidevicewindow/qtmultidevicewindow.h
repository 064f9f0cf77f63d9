#pragma once

// The interactive multi-device window: the dialog, modal over the owner window, shown while the
// search runs (the owner stays painted through the progress events) and then offering the
// devices found.

#include "device/multidevicewindow.h"
#include "ui/multidevicewindow/multidevicedialog.h"

namespace ui {

class QtMultiDeviceWindow : public device::MultiDeviceWindow
{
    Q_OBJECT
public:
    // `resourceText` gives the texts of the resource table (the search's status line); without
    // it the dialog uses its own.
    explicit QtMultiDeviceWindow(ResourceText resourceText = {}, QObject *parent = nullptr);

    device::MultiDeviceSelectionPtr open(const device::MultiDeviceRequest &request) override;

signals:
    // The dialog has been filled and is about to wait for the user; lets tests and automation
    // reach it.
    void offerShown(ui::MultiDeviceDialog *dialog);

private:
    ResourceText m_resourceText;
};

} // namespace ui
