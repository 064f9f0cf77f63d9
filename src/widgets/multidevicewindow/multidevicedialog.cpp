#include "widgets/multidevicewindow/multidevicedialog.h"

#include "strings/resstrings.h"
#include "base/textutility.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace ui {

namespace {

constexpr int ScanningProject = 1519;
constexpr int OfferPositionRole = Qt::UserRole;

// The dialog's own texts, which the resource table does not hold.
enum class OwnText { Title, Filter, Subsystem, Device, Template, SelectAll, SelectNone, Count, Unreadable };

QString ownText(OwnText which, int language)
{
    const bool german = language == 1000;
    switch (which) {
    case OwnText::Title:
        return german ? QStringLiteral("Geräte auswählen") : QStringLiteral("Select devices");
    case OwnText::Filter:
        return german ? QStringLiteral("Nach Gerätename oder Subsystem filtern")
                      : QStringLiteral("Filter by device name or subsystem");
    case OwnText::Subsystem:
        return QStringLiteral("Subsystem");
    case OwnText::Device:
        return german ? QStringLiteral("Gerät") : QStringLiteral("Device");
    case OwnText::Template:
        return german ? QStringLiteral("Gerätevorlage") : QStringLiteral("Template");
    case OwnText::SelectAll:
        return german ? QStringLiteral("Alle auswählen") : QStringLiteral("Select all");
    case OwnText::SelectNone:
        return german ? QStringLiteral("Keine auswählen") : QStringLiteral("Select none");
    case OwnText::Count:
        return german ? QStringLiteral("%1 ausgewählt, %2 von %3 angezeigt")
                      : QStringLiteral("%1 selected, %2 of %3 shown");
    case OwnText::Unreadable:
        return german ? QStringLiteral("%1 Objekte konnten nicht gelesen werden und werden nicht angeboten.")
                      : QStringLiteral("%1 objects could not be read and are not offered.");
    }
    return {};
}

bool isChecked(const QTreeWidgetItem *item)
{
    return item->checkState(MultiDeviceDialog::SubsystemColumn) == Qt::Checked;
}

} // namespace

MultiDeviceDialog::MultiDeviceDialog(const device::MultiDeviceRequest &request, QWidget *parent)
    : QDialog(parent), m_request(request)
{
    setObjectName(QStringLiteral("frmMultiDevice"));
    setWindowTitle(request.title.isEmpty() ? ownText(OwnText::Title, request.language) : request.title);
    setWindowModality(Qt::ApplicationModal);
    buildLayout();
    m_statusLabel->setText(GetResStringIn(request.language, ScanningProject, 1));
    updateCount();
}

void MultiDeviceDialog::buildLayout()
{
    const int language = m_request.language;
    m_statusLabel = new QLabel(this);
    m_statusLabel->setObjectName(QStringLiteral("statusLabel"));
    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("progressBar"));
    m_progressBar->setRange(0, 0); // busy until the walk knows its size

    m_filterEdit = new QLineEdit(this);
    m_filterEdit->setObjectName(QStringLiteral("filterEdit"));
    m_filterEdit->setPlaceholderText(ownText(OwnText::Filter, language));
    m_filterEdit->setClearButtonEnabled(true);
    m_filterEdit->setEnabled(false);
    connect(m_filterEdit, &QLineEdit::textChanged, this, &MultiDeviceDialog::setFilter);

    m_deviceList = new QTreeWidget(this);
    m_deviceList->setObjectName(QStringLiteral("deviceList"));
    m_deviceList->setRootIsDecorated(false);
    m_deviceList->setUniformRowHeights(true);
    m_deviceList->setHeaderLabels({ownText(OwnText::Subsystem, language), ownText(OwnText::Device, language),
                                   ownText(OwnText::Template, language)});
    m_deviceList->setEnabled(false);
    connect(m_deviceList, &QTreeWidget::itemChanged, this, [this] { updateCount(); });
    // The walk's order (the project tree) stands until the user sorts by a column.
    m_deviceList->header()->setSectionsClickable(true);
    connect(m_deviceList->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        QHeaderView *header = m_deviceList->header();
        const bool ascending = !header->isSortIndicatorShown() || header->sortIndicatorSection() != column ||
                               header->sortIndicatorOrder() == Qt::DescendingOrder;
        const Qt::SortOrder order = ascending ? Qt::AscendingOrder : Qt::DescendingOrder;
        header->setSortIndicatorShown(true);
        header->setSortIndicator(column, order);
        m_deviceList->sortItems(column, order);
    });

    m_selectAllButton = new QPushButton(ownText(OwnText::SelectAll, language), this);
    m_selectAllButton->setObjectName(QStringLiteral("selectAllButton"));
    connect(m_selectAllButton, &QPushButton::clicked, this, [this] { checkShown(true); });
    m_selectNoneButton = new QPushButton(ownText(OwnText::SelectNone, language), this);
    m_selectNoneButton->setObjectName(QStringLiteral("selectNoneButton"));
    connect(m_selectNoneButton, &QPushButton::clicked, this, [this] { checkShown(false); });
    m_countLabel = new QLabel(this);
    m_countLabel->setObjectName(QStringLiteral("countLabel"));
    m_unreadableLabel = new QLabel(this);
    m_unreadableLabel->setObjectName(QStringLiteral("unreadableLabel"));
    m_unreadableLabel->setWordWrap(true);
    m_unreadableLabel->hide();

    m_buttonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttonBox->setObjectName(QStringLiteral("buttonBox"));
    connect(m_buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttonBox, &QDialogButtonBox::rejected, this, &MultiDeviceDialog::reject);

    auto *selectRow = new QHBoxLayout;
    selectRow->addWidget(m_selectAllButton);
    selectRow->addWidget(m_selectNoneButton);
    selectRow->addStretch();
    selectRow->addWidget(m_countLabel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_statusLabel);
    layout->addWidget(m_progressBar);
    layout->addWidget(m_filterEdit);
    layout->addWidget(m_deviceList, 1);
    layout->addLayout(selectRow);
    layout->addWidget(m_unreadableLabel);
    layout->addWidget(m_buttonBox);
    resize(640, 420);
}

void MultiDeviceDialog::setProgress(int done, int total)
{
    m_progressBar->setRange(0, qMax(total, 1));
    m_progressBar->setValue(qMin(done, qMax(total, 1)));
}

void MultiDeviceDialog::setOffer(const QList<device::FoundDevice> &offered, const QStringList &unreadable)
{
    m_searching = false;
    m_offered = offered;
    {
        const QSignalBlocker blocker(m_deviceList);
        m_deviceList->clear();
        for (int position = 0; position < offered.size(); ++position)
            addRow(offered.at(position), position);
    }
    for (int column = SubsystemColumn; column <= TemplateColumn; ++column)
        m_deviceList->resizeColumnToContents(column);

    m_statusLabel->hide();
    m_progressBar->hide();
    m_filterEdit->setEnabled(true);
    m_deviceList->setEnabled(true);
    if (!unreadable.isEmpty()) {
        m_unreadableLabel->setText(TextUtility::FillPlaceholders(ownText(OwnText::Unreadable, m_request.language),
                                                                 {QString::number(unreadable.size())}));
        m_unreadableLabel->setToolTip(unreadable.join(QLatin1Char('\n')));
        m_unreadableLabel->show();
    }
    setFilter(m_filterEdit->text());
    m_filterEdit->setFocus();
}

QTreeWidgetItem *MultiDeviceDialog::addRow(const device::FoundDevice &found, int position)
{
    auto *item = new QTreeWidgetItem(m_deviceList);
    item->setText(SubsystemColumn, found.subsystemPath);
    item->setText(DeviceColumn, found.name);
    item->setText(TemplateColumn, found.templateName);
    item->setToolTip(DeviceColumn, found.lonMarkObjectName.isEmpty() ? found.objectName : found.lonMarkObjectName);
    item->setData(SubsystemColumn, OfferPositionRole, position);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(SubsystemColumn, found.preselected ? Qt::Checked : Qt::Unchecked);
    return item;
}

void MultiDeviceDialog::setFilter(const QString &text)
{
    const QString wanted = text.trimmed();
    for (int row = 0; row < m_deviceList->topLevelItemCount(); ++row) {
        QTreeWidgetItem *item = m_deviceList->topLevelItem(row);
        const bool matches = wanted.isEmpty() || item->text(DeviceColumn).contains(wanted, Qt::CaseInsensitive) ||
                             item->text(SubsystemColumn).contains(wanted, Qt::CaseInsensitive);
        item->setHidden(!matches);
    }
    updateCount();
}

void MultiDeviceDialog::checkShown(bool checked)
{
    {
        const QSignalBlocker blocker(m_deviceList);
        for (int row = 0; row < m_deviceList->topLevelItemCount(); ++row) {
            QTreeWidgetItem *item = m_deviceList->topLevelItem(row);
            if (!item->isHidden())
                item->setCheckState(SubsystemColumn, checked ? Qt::Checked : Qt::Unchecked);
        }
    }
    updateCount();
}

void MultiDeviceDialog::reject()
{
    if (m_searching)
        m_cancelRequested = true;
    QDialog::reject();
}

QList<device::FoundDevice> MultiDeviceDialog::picked() const
{
    QList<int> positions;
    for (int row = 0; row < m_deviceList->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = m_deviceList->topLevelItem(row);
        if (isChecked(item))
            positions.append(item->data(SubsystemColumn, OfferPositionRole).toInt());
    }
    std::sort(positions.begin(), positions.end());
    QList<device::FoundDevice> devices;
    for (int position : positions)
        devices.append(m_offered.at(position));
    return devices;
}

int MultiDeviceDialog::pickedCount() const
{
    int count = 0;
    for (int row = 0; row < m_deviceList->topLevelItemCount(); ++row)
        count += isChecked(m_deviceList->topLevelItem(row)) ? 1 : 0;
    return count;
}

int MultiDeviceDialog::shownCount() const
{
    int count = 0;
    for (int row = 0; row < m_deviceList->topLevelItemCount(); ++row)
        count += m_deviceList->topLevelItem(row)->isHidden() ? 0 : 1;
    return count;
}

void MultiDeviceDialog::updateCount()
{
    const int picked = pickedCount();
    const int shown = shownCount();
    m_countLabel->setText(TextUtility::FillPlaceholders(
        ownText(OwnText::Count, m_request.language),
        {QString::number(picked), QString::number(shown), QString::number(m_deviceList->topLevelItemCount())}));
    m_selectAllButton->setEnabled(!m_searching && shown > 0);
    m_selectNoneButton->setEnabled(!m_searching && shown > 0);
    m_buttonBox->button(QDialogButtonBox::Ok)->setEnabled(!m_searching && picked > 0);
}

} // namespace ui
