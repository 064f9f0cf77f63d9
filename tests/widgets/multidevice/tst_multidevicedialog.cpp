#include "support/demorequests.h"
#include "widgets/multidevicewindow/qtmultidevicewindow.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

using namespace device;
using ui::MultiDeviceDialog;

namespace {

// The dialog offering every device of the demo network, shown.
struct OfferingDialog
{
    explicit OfferingDialog(const QStringList &preselected) : request(requestFor(demo, preselected)), dialog(request)
    {
        dialog.setOffer(DeviceScan::run(request, {}).offered, {});
        dialog.show();
    }
    fake::DemoNetwork demo;
    MultiDeviceRequest request;
    MultiDeviceDialog dialog;
};

QTreeWidget *listOf(const QWidget *dialog) { return dialog->findChild<QTreeWidget *>(QStringLiteral("deviceList")); }
QString countText(const QWidget *dialog) { return dialog->findChild<QLabel *>(QStringLiteral("countLabel"))->text(); }
QPushButton *button(const QWidget *dialog, const char *name) { return dialog->findChild<QPushButton *>(QLatin1String(name)); }
QPushButton *okButton(const QWidget *dialog)
{
    return dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Ok);
}

QStringList shownDevices(const QWidget *dialog)
{
    QStringList names;
    const QTreeWidget *list = listOf(dialog);
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        if (!list->topLevelItem(row)->isHidden())
            names.append(list->topLevelItem(row)->text(MultiDeviceDialog::DeviceColumn));
    return names;
}

QTreeWidgetItem *rowOf(const QWidget *dialog, const QString &device)
{
    return listOf(dialog)->findItems(device, Qt::MatchExactly, MultiDeviceDialog::DeviceColumn).value(0);
}

} // namespace

class TestMultiDeviceDialog : public QObject
{
    Q_OBJECT
private slots:
    void filter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("count");

        QTest::newRow("subsystem, any case") << "FLOOR" << QStringList{"CM 1.01", "CM 1.02"} << "1 selected, 2 of 5 shown";
        QTest::newRow("device name") << "cm a" << QStringList{"CM A1", "CM A2"} << "1 selected, 2 of 5 shown";
        QTest::newRow("preselected row filtered out still counts") << "building b" << QStringList{"CM B1"}
                                                                   << "1 selected, 1 of 5 shown";
        QTest::newRow("no match") << "zzz" << QStringList{} << "1 selected, 0 of 5 shown";
    }
    void filter()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, shown);

        OfferingDialog offering({QStringLiteral("CM B1")});
        MultiDeviceDialog &dialog = offering.dialog;

        QTest::keyClicks(dialog.findChild<QLineEdit *>(QStringLiteral("filterEdit")), typed);

        QCOMPARE(shownDevices(&dialog), shown);
        QTEST(countText(&dialog), "count");
        QCOMPARE(button(&dialog, "selectAllButton")->isEnabled(), !shown.isEmpty());
        QVERIFY(okButton(&dialog)->isEnabled()); // the preselected device is picked
    }

    // Picks come in the order of the offer, whatever the sorting of the list.
    void selectAllAndNoneActOnShownRows()
    {
        OfferingDialog offering({QStringLiteral("Demo.Building B.CM B1")});
        MultiDeviceDialog &dialog = offering.dialog;
        QLineEdit *filterEdit = dialog.findChild<QLineEdit *>(QStringLiteral("filterEdit"));
        QHeaderView *header = listOf(&dialog)->header();
        const QPoint deviceHeader(header->sectionViewportPosition(MultiDeviceDialog::DeviceColumn) + 4, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, deviceHeader);
        QCOMPARE(listOf(&dialog)->topLevelItem(0)->text(MultiDeviceDialog::DeviceColumn), QStringLiteral("CM 1.01"));

        QTest::keyClicks(filterEdit, QStringLiteral("floor"));
        QTest::mouseClick(button(&dialog, "selectAllButton"), Qt::LeftButton);
        QCOMPARE(countText(&dialog), QStringLiteral("3 selected, 2 of 5 shown"));

        filterEdit->clear();
        QTest::keyClicks(filterEdit, QStringLiteral("1.01"));
        QTest::mouseClick(button(&dialog, "selectNoneButton"), Qt::LeftButton);
        QCOMPARE(countText(&dialog), QStringLiteral("2 selected, 1 of 5 shown"));
        QCOMPARE(namesOf(dialog.picked()), (QStringList{"CM 1.02", "CM B1"}));

        filterEdit->clear();
        QTest::mouseClick(button(&dialog, "selectNoneButton"), Qt::LeftButton);
        QCOMPARE(countText(&dialog), QStringLiteral("0 selected, 5 of 5 shown"));
        QVERIFY(!okButton(&dialog)->isEnabled());

        for (const QString &device : {QStringLiteral("CM A2"), QStringLiteral("CM 1.01")})
            rowOf(&dialog, device)->setCheckState(MultiDeviceDialog::SubsystemColumn, Qt::Checked);
        QCOMPARE(countText(&dialog), QStringLiteral("2 selected, 5 of 5 shown"));
        QVERIFY(okButton(&dialog)->isEnabled());
        QCOMPARE(namesOf(dialog.picked()), (QStringList{"CM A2", "CM 1.01"}));
    }

    // The user picks one more device and confirms, or cancels while the search runs or once the
    // offer is shown (then everything is preselected, so only the cancel can make the answer empty).
    void openReturnsWhatTheUserPicked_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("confirmed") << "ok";
        QTest::newRow("cancelled while searching") << "cancel search";
        QTest::newRow("cancelled after the offer") << "cancel offer";
    }
    void openReturnsWhatTheUserPicked()
    {
        QFETCH(QString, answer);
        fake::DemoNetwork demo;
        QWidget owner;
        const QStringList all{"CM A1", "CM A2", "CM 1.01", "CM 1.02", "CM B1"};
        MultiDeviceRequest request = requestFor(demo, answer == "ok" ? QStringList{"CM A1"} : all);
        request.owner = &owner;
        request.language = 1000;

        ui::QtMultiDeviceWindow window;
        int completed = 0;
        // The signals' order and counts are the scripted window's (tst_multidevicewindow eventsArriveInOrder).
        connect(&window, &MultiDeviceWindow::progress, this, [&] {
            for (QWidget *widget : QApplication::topLevelWidgets())
                if (auto *dialog = qobject_cast<MultiDeviceDialog *>(widget);
                    dialog && dialog->isVisible() && answer == "cancel search")
                    dialog->reject();
        });
        connect(&window, &MultiDeviceWindow::searchCompleted, this, [&] { ++completed; });
        connect(&window, &MultiDeviceWindow::validateFoundDevice, this, [&](const lns::AppDevicePtr &device, bool &notValidated) {
            notValidated = device->name() == QStringLiteral("CM A2");
        });

        QStringList offered; // title, owned by the owner, count; per offer
        connect(&window, &ui::QtMultiDeviceWindow::offerShown, this, [&](MultiDeviceDialog *dialog) {
            offered << dialog->windowTitle() << QString::number(dialog->parentWidget() == &owner) << countText(dialog);
            QTimer::singleShot(0, dialog, [dialog, answer] {
                if (answer != "ok")
                    return QTest::keyClick(dialog, Qt::Key_Escape);
                rowOf(dialog, QStringLiteral("CM B1"))->setCheckState(MultiDeviceDialog::SubsystemColumn, Qt::Checked);
                QTest::mouseClick(okButton(dialog), Qt::LeftButton);
            });
        });

        const MultiDeviceSelectionPtr selection = window.open(request);
        QCOMPARE(completed, 1);
        QCOMPARE(offered.size(), answer == "cancel search" ? 0 : 3);
        if (answer != "ok") {
            QCOMPARE(selection->count(), 0);
            return;
        }
        QCOMPARE(deviceNamesOf(selection), (QStringList{"CM A1", "CM B1"}));
        QCOMPARE(offered, (QStringList{request.title, "1", "1 ausgewählt, 4 von 4 angezeigt"}));
    }
};

QTEST_MAIN(TestMultiDeviceDialog)
#include "tst_multidevicedialog.moc"
