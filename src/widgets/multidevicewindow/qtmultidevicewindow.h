#pragma once

// The interactive multi-device window: the dialog, modal over the owner window, shown while the
// search runs (the owner stays painted through the progress events) and then offering the
// devices found.

#include "device/multidevicewindow.h"
#include "widgets/multidevicewindow/multidevicedialog.h"

#include <QPointer>

namespace ui {

class QtMultiDeviceWindow : public device::MultiDeviceWindow
{
    Q_OBJECT
public:
    using device::MultiDeviceWindow::MultiDeviceWindow;

    device::MultiDeviceSelectionPtr open(const device::MultiDeviceRequest &request) override;

    // The window the dialog is modal over when the request's owner is no widget (the window's
    // logic names its view, which is none).
    void setOwnerWidget(QWidget *owner) { m_ownerWidget = owner; }

signals:
    // The dialog has been filled and is about to wait for the user; lets tests and automation
    // reach it.
    void offerShown(ui::MultiDeviceDialog *dialog);

private:
    QPointer<QWidget> m_ownerWidget;
};

} // namespace ui
