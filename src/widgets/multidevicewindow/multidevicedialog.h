#pragma once

// The dialog of the multi-device window: progress while the network is searched, then the
// offered devices with check boxes, a filter by name or subsystem, select all / none for the
// rows shown, and a count of what is picked. It only presents; the search and the objects
// handed back belong to device::MultiDeviceWindow.

#include "device/devicescan.h"

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace ui {

class MultiDeviceDialog : public QDialog
{
    Q_OBJECT
public:
    enum Column { SubsystemColumn, DeviceColumn, TemplateColumn };

    explicit MultiDeviceDialog(const device::MultiDeviceRequest &request, QWidget *parent = nullptr);

    // While searching: the bar follows the walk; Cancel ends the search.
    void setProgress(int done, int total);
    bool cancelRequested() const { return m_cancelRequested; }

    // After the search: the rows to choose from, preselected ones checked.
    void setOffer(const QList<device::FoundDevice> &offered, const QStringList &unreadable);

    // Checked devices in the order of the offer, whether the filter shows them or not.
    QList<device::FoundDevice> picked() const;
    int pickedCount() const;
    int shownCount() const;

public slots:
    void setFilter(const QString &text);
    void checkShown(bool checked);
    void reject() override;

private:
    void buildLayout();
    QTreeWidgetItem *addRow(const device::FoundDevice &found, int position);
    void updateCount();

    device::MultiDeviceRequest m_request;
    QList<device::FoundDevice> m_offered;
    bool m_searching = true;
    bool m_cancelRequested = false;

    QLabel *m_statusLabel = nullptr;
    QProgressBar *m_progressBar = nullptr;
    QLineEdit *m_filterEdit = nullptr;
    QTreeWidget *m_deviceList = nullptr;
    QPushButton *m_selectAllButton = nullptr;
    QPushButton *m_selectNoneButton = nullptr;
    QLabel *m_countLabel = nullptr;
    QLabel *m_unreadableLabel = nullptr;
    QDialogButtonBox *m_buttonBox = nullptr;
};

} // namespace ui
