#include "widgets/deviceinfodialog.h"

#include "strings/resstrings.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int MsgLineButtons = 1374; // piece 1: "OK"

} // namespace

std::unique_ptr<QDialog> DeviceInfoDialog::build(const DeviceInfoReport &report, QWidget *owner)
{
    auto dialog = std::make_unique<QDialog>(owner);
    dialog->setWindowTitle(report.title);
    auto *layout = new QVBoxLayout(dialog.get());
    auto *form = new QFormLayout;
    for (const auto &[caption, value] : report.lines) {
        auto *text = new QLabel(value, dialog.get());
        // The integrator copies ids from here into tickets and tools.
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(caption + QLatin1Char(':'), text);
    }
    layout->addLayout(form);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, dialog.get());
    buttons->button(QDialogButtonBox::Ok)->setText(GetResString(MsgLineButtons, 1));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog.get(), &QDialog::accept);
    layout->addWidget(buttons);
    return dialog;
}

void DeviceInfoDialog::showModal(const DeviceInfoReport &report)
{
    build(report, m_owner)->exec();
}
