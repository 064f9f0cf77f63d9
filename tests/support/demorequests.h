#pragma once

// Requests to the multi-device window about the fake demo network (lnsfakes.h), and the names
// of what comes back.

#include "device/multidevicewindow.h"
#include "lnsfakes.h"

inline device::MultiDeviceRequest requestFor(const fake::DemoNetwork &demo, QStringList preselected = {},
                                             device::MultiDeviceItems items = device::MultiDeviceItems::LonMarkObjects)
{
    device::MultiDeviceRequest request;
    request.network = demo.network;
    request.system = demo.system;
    request.device = demo.opened;
    request.lonMarkObject = demo.openedObject();
    request.title = QStringLiteral("Command module - Demo");
    request.items = items;
    request.preselected = std::move(preselected);
    return request;
}

inline QStringList namesOf(const QList<device::FoundDevice> &found)
{
    QStringList names;
    for (const device::FoundDevice &device : found)
        names.append(device.name);
    return names;
}

// The device of each item, a LonMark object's or the device itself.
inline QStringList deviceNamesOf(const device::MultiDeviceSelectionPtr &selection)
{
    QStringList names;
    for (const auto &item : selection->items()) {
        const auto object = std::dynamic_pointer_cast<lns::LonMarkObject>(item);
        names.append(object ? object->appDevice()->name() : item->name());
    }
    return names;
}
