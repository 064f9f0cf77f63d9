#include "widgets/multidevicewindow/qtmultidevicewindow.h"

#include <QApplication>
#include <QElapsedTimer>

namespace ui {

namespace {

// Keeps the dialog painted and its Cancel button alive without letting a large project spend
// its time repainting.
constexpr qint64 RepaintIntervalMs = 50;

} // namespace

device::MultiDeviceSelectionPtr QtMultiDeviceWindow::open(const device::MultiDeviceRequest &request)
{
    QWidget *owner = qobject_cast<QWidget *>(request.owner);
    MultiDeviceDialog dialog(request, owner ? owner : m_ownerWidget.data());
    dialog.show();
    QApplication::processEvents();

    QElapsedTimer sinceRepaint;
    sinceRepaint.start();
    const auto onProgress = [&](int done, int total) {
        dialog.setProgress(done, total);
        if (sinceRepaint.elapsed() >= RepaintIntervalMs || done == total) {
            QApplication::processEvents();
            sinceRepaint.restart();
        }
    };
    const device::DeviceScanResult result =
        search(request, onProgress, [&dialog] { return dialog.cancelRequested(); });
    if (result.cancelled || dialog.cancelRequested())
        return selectionOf({});

    dialog.setOffer(result.offered, result.unreadable);
    emit offerShown(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return selectionOf({});
    return selectionOf(dialog.picked());
}

} // namespace ui
