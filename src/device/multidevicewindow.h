#pragma once

// The multi-device window: searches the opened network for devices, lets the user pick several
// and hands back what was picked. The workflows talk to this abstract window only; the Qt dialog
// (ui/multidevicewindow) and the scripted variant below implement it on the same scan.
//
// Events, all raised on the thread that called open() and before open() returns:
//   progress()                                   repeatedly while the search runs
//   validateFoundDevice(device, notValidated)    once per device the window would offer; a
//                                                handler that sets notValidated keeps it out
//   searchCompleted()                            once, when the search has ended (also when the
//                                                user cancelled it)

#include "device/devicescan.h"
#include "lns/listcollection.h"

#include <QObject>
#include <optional>

namespace device {

// LonMark objects or devices, as the request asked; cast each item to the kind asked for.
using MultiDeviceSelection = lns::ListCollection<lns::Object>;
using MultiDeviceSelectionPtr = std::shared_ptr<MultiDeviceSelection>;

class MultiDeviceWindow : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Searches, offers, and answers the picks in the order of the offer; an empty collection when
    // nothing was picked or the user cancelled. Throws TqmError when the request lacks the
    // system or, for LonMark objects, the object to match.
    virtual MultiDeviceSelectionPtr open(const MultiDeviceRequest &request) = 0;

    // Objects the last search could not read, "<name>: <error>"; they were not offered.
    const QStringList &unreadable() const { return m_unreadable; }

signals:
    void progress();
    void validateFoundDevice(const lns::AppDevicePtr &device, bool &notValidated);
    void searchCompleted();

protected:
    // Runs the scan with this window's events; `onProgress` and `cancelRequested` let a variant
    // show the progress and stop the search. Raises searchCompleted at the end.
    DeviceScanResult search(const MultiDeviceRequest &request,
                            const std::function<void(int done, int total)> &onProgress = {},
                            const std::function<bool()> &cancelRequested = {});

    static MultiDeviceSelectionPtr selectionOf(const QList<FoundDevice> &picked);

private:
    QStringList m_unreadable;
};

// Picks without asking: the devices named in the pick list (device names, device object names
// or LonMark object names), or every offered device when there is none. An empty list picks
// nothing, which the workflows take as a cancel. The program takes the list from the
// environment variable PickVariable (entries separated by ";").
class ScriptedMultiDeviceWindow : public MultiDeviceWindow
{
    Q_OBJECT
public:
    static constexpr const char *PickVariable = "TQM_PICK_DEVICES";

    explicit ScriptedMultiDeviceWindow(std::optional<QStringList> picks = std::nullopt, QObject *parent = nullptr)
        : MultiDeviceWindow(parent), m_picks(std::move(picks))
    {
    }
    MultiDeviceSelectionPtr open(const MultiDeviceRequest &request) override;

    // Entries of the last pick list that named no offered device.
    const QStringList &unmatchedPicks() const { return m_unmatched; }

    // The pick list of the variable's text: entries separated by ";".
    static QStringList picksOf(const QString &text);

private:
    std::optional<QStringList> m_picks;
    QStringList m_unmatched;
};

} // namespace device
