#pragma once

// A multi-device window that picks the devices named in `picks` among those the search offers.
// Given a trace, it notes "multi:<title>" there and, when it has picks, "offered:<name>" for each
// device offered (with no picks it does not search); without one it keeps every request.

#include "device/multidevicewindow.h"

#include <QStringList>

class PickingWindow : public device::MultiDeviceWindow
{
public:
    explicit PickingWindow(QStringList picks, QStringList *trace = nullptr) : m_picks(std::move(picks)), m_trace(trace) {}
    device::MultiDeviceSelectionPtr open(const device::MultiDeviceRequest &request) override
    {
        if (m_trace)
            m_trace->append(QStringLiteral("multi:") + request.title);
        else
            requests.append(request);
        if (m_trace && m_picks.isEmpty())
            return selectionOf({});
        QList<device::FoundDevice> picked;
        for (const device::FoundDevice &found : search(request).offered) {
            if (m_trace)
                m_trace->append(QStringLiteral("offered:") + found.name);
            if (m_picks.contains(found.name))
                picked.append(found);
        }
        return selectionOf(picked);
    }
    static inline QList<device::MultiDeviceRequest> requests;

private:
    QStringList m_picks;
    QStringList *m_trace;
};
