#include "device/multidevicewindow.h"

#include <QtGlobal>

#include <algorithm>

namespace device {

DeviceScanResult MultiDeviceWindow::search(const MultiDeviceRequest &request,
                                           const std::function<void(int done, int total)> &onProgress,
                                           const std::function<bool()> &cancelRequested)
{
    DeviceScanHooks hooks;
    hooks.progress = [this, &onProgress](int done, int total) {
        if (onProgress)
            onProgress(done, total);
        emit progress();
    };
    hooks.notValidated = [this](const lns::AppDevicePtr &device) {
        bool notValidated = false;
        emit validateFoundDevice(device, notValidated);
        return notValidated;
    };
    hooks.cancelRequested = cancelRequested;

    m_unreadable.clear();
    DeviceScanResult result;
    try {
        result = DeviceScan::run(request, hooks);
    } catch (...) {
        emit searchCompleted();
        throw;
    }
    m_unreadable = result.unreadable;
    emit searchCompleted();
    return result;
}

MultiDeviceSelectionPtr MultiDeviceWindow::selectionOf(const QList<FoundDevice> &picked)
{
    auto selection = std::make_shared<MultiDeviceSelection>();
    for (const FoundDevice &found : picked)
        selection->append(found.returnedItem());
    return selection;
}

QStringList ScriptedMultiDeviceWindow::picksOf(const QString &text)
{
    return text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

MultiDeviceSelectionPtr ScriptedMultiDeviceWindow::open(const MultiDeviceRequest &request)
{
    m_unmatched.clear();
    const DeviceScanResult result = search(request);
    if (!m_picks)
        return selectionOf(result.offered);

    const QStringList &entries = *m_picks;
    QList<FoundDevice> picked;
    for (const FoundDevice &found : result.offered) {
        if (found.isNamedByAny(entries))
            picked.append(found);
    }
    for (const QString &entry : entries) {
        const bool matched = std::any_of(result.offered.cbegin(), result.offered.cend(),
                                         [&entry](const FoundDevice &found) { return found.isNamedBy(entry); });
        if (!matched && !entry.trimmed().isEmpty()) {
            m_unmatched.append(entry.trimmed());
            qWarning("%s: \"%s\" names no device on offer", PickVariable, qPrintable(entry.trimmed()));
        }
    }
    return selectionOf(picked);
}

} // namespace device
