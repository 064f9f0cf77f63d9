#pragma once

// The device information window on the desktop: the captioned values in a form, and OK.

#include "lns/desktopseams.h"

#include <memory>

class QDialog;
class QWidget;

class DeviceInfoDialog : public DeviceInfoWindow
{
public:
    explicit DeviceInfoDialog(QWidget *owner = nullptr) : m_owner(owner) {}
    void showModal(const DeviceInfoReport &report) override;

    // The window filled with the report, not yet shown (the pictures grab it from here).
    static std::unique_ptr<QDialog> build(const DeviceInfoReport &report, QWidget *owner = nullptr);

private:
    QWidget *m_owner;
};
