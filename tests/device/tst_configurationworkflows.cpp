// Reading and writing the command module's parameter set on the demo network: the question
// before discarding edits, the result of a write and what it leaves for another attempt, and
// the write to several devices with one of them offline.

#include "support/configurationrig.h"

#include "calibration/calibrationrecords.h"
#include "params/choiceparams.h"

namespace {

const QString Opened = QStringLiteral("CM 1.04");
// Further devices of the opened device's template.
const QStringList SameTemplate = {QStringLiteral("CM 2.02"), QStringLiteral("CM 2.08"), QStringLiteral("CM 3.06")};

} // namespace

class TestConfigurationWorkflows : public QObject
{
    Q_OBJECT

private slots:
    void readParametersAsksOnlyWithPendingEdits_data()
    {
        QTest::addColumn<bool>("edited");
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<bool>("read");

        QTest::newRow("no edits: reads without asking") << false << MsgAnswer::No << true;
        QTest::newRow("edits, yes: reads") << true << MsgAnswer::Yes << true;
        QTest::newRow("edits, no: keeps the edits") << true << MsgAnswer::No << false;
    }
    void readParametersAsksOnlyWithPendingEdits()
    {
        QFETCH(bool, edited);
        QFETCH(MsgAnswer, answer);
        QFETCH(bool, read);
        ConfigurationRig rig;
        cConfiguration &config = rig.openAndRead(Opened);
        ConfigurationRig::setRaw(rig.module(Opened), "nciSetPtDeltaRange", "1\t144"); // 400: changed elsewhere
        if (edited)
            QVERIFY(rig.window.ComboBox(0)->chooseItem("± 1 degree"));
        QCOMPARE(rig.session.parametersChangedFlag, edited);
        rig.dialogs.answers.enqueue(answer);

        config.ReadParameters();

        QCOMPARE(rig.dialogs.messages.size(), edited ? 1 : 0);
        if (edited) {
            const MessageRequest &question = rig.dialogs.messages.first();
            QCOMPARE(question.text, GetResString(1428, 1, {"CommandModule"}));
            QCOMPARE(question.title, rig.window.Caption());
            QCOMPARE(question.buttons, MsgButtons::YesNo);
            QCOMPARE(question.defaultAnswer, MsgAnswer::No);
        }
        QCOMPARE(config.Parameters()->ComboBoxParameterByName("SetPtDeltaRange")->Value(), read ? 400 : 100);
        QCOMPARE(rig.session.parametersChangedFlag, !read);
        QCOMPARE(rig.logger.texts().contains("Reading parameters completed. - 12:00:00"), read);
        QCOMPARE(rig.window.setControlsCount, read ? 1 : 0);
        QVERIFY(rig.window.enabled && !rig.dialogs.waitCursor);
        if (read)
            QCOMPARE(rig.window.statusHistory, QStringList({"Reading parameters ...", "Ready."}));
    }

    void writeParametersLeavesFailuresPending_data()
    {
        QTest::addColumn<bool>("edited");
        QTest::addColumn<bool>("online");

        QTest::newRow("nothing edited") << false << true;
        QTest::newRow("edited") << true << true;
        QTest::newRow("device offline") << true << false;
    }
    void writeParametersLeavesFailuresPending()
    {
        QFETCH(bool, edited);
        QFETCH(bool, online);
        ConfigurationRig rig;
        cConfiguration &config = rig.openAndRead(Opened);
        if (edited)
            QVERIFY(rig.window.ComboBox(0)->chooseItem("± 2 degrees"));
        config.setFanCoilStepCount(4);
        embedded::EmbeddedObjectServer::setDeviceOnline(rig.device(Opened), online);

        const bool written = config.WriteParameters();

        QCOMPARE(written, online);
        QCOMPARE(ConfigurationRig::raw(rig.module(Opened), "nciSetPtDeltaRange"),
                 QString(online && edited ? "0\t200" : "1\t44"));
        // The step count is kept with the set, or not at all.
        QCOMPARE(calibration::ReadFanCoilStepCount({rig.module(Opened), {}}), online ? 4 : 1);
        QVERIFY(rig.logger.texts().contains("Start writing parameters ... - 12:00:00"));
        QVERIFY(rig.logger.texts().contains("Writing parameters completed. - 12:00:00"));
        // A failed write stays pending and can be applied again.
        QCOMPARE(rig.window.applyEnabled, !online);
        QCOMPARE(rig.session.parametersChangedFlag, !online);
        QCOMPARE(rig.window.loggerShown, online ? 0 : 1);
        QVERIFY(!rig.logger.loggerOnErrorFlag() && !rig.window.changedNoticeVisible);
        QCOMPARE(rig.session.system->openSeriesCount(), 0);
        QCOMPARE(rig.window.statusHistory.last(), QStringLiteral("Ready."));
    }

    void spreadWritesEachPickedDeviceAndKeepsFailures()
    {
        ConfigurationRig rig;
        cConfiguration &config = rig.openAndRead(Opened, SameTemplate);
        QVERIFY(rig.window.ComboBox(0)->chooseItem("± 2 degrees"));
        rig.window.TextBox(2)->typeText("0.8");
        QVERIFY(rig.window.TextBox(2)->leave());
        rig.window.OptionButton(2)->click();
        config.setFanCoilStepCount(3);
        const QString offline = SameTemplate.at(1);
        embedded::EmbeddedObjectServer::setDeviceOnline(rig.device(offline), false);

        // Each CP once and nothing read: tst_transfer's.
        config.WriteParametersEx();

        QCOMPARE(rig.window.statusHistory.filter("Writing set"),
                 QStringList({"Writing set 1/3 ...", "Writing set 2/3 ...", "Writing set 3/3 ..."}));
        QCOMPARE(rig.window.statusHistory.last(), QStringLiteral("Ready."));
        QCOMPARE(rig.session.system->openSeriesCount(), 0);

        // The opened device gets the same set; each online device then holds it completely.
        config.WriteSettings();
        const QStringList cps = config.Parameters()->GetAllCpNamesShouldBeWrittenToLns();
        QVERIFY(cps.contains("nciTmpMinDelta") && cps.contains("nciTempMode"));
        QVERIFY(!cps.contains("nciTmpOffset")); // the calibration's, not the set's
        for (const QString &name : {SameTemplate.at(0), SameTemplate.at(2)}) {
            for (const QString &cp : cps)
                QCOMPARE(ConfigurationRig::raw(rig.module(name), cp), ConfigurationRig::raw(rig.module(Opened), cp));
            QCOMPARE(calibration::ReadFanCoilStepCount({rig.module(name), {}}), 3);
        }
        QCOMPARE(ConfigurationRig::raw(rig.module(offline), "nciSetPtDeltaRange"), QStringLiteral("1\t44"));
        QCOMPARE(calibration::ReadFanCoilStepCount({rig.module(offline), {}}), 1);

        // The offline device is reported in red, and nowhere else.
        QCOMPARE(rig.logger.texts().count("An error occured while writing parameters."), 1);
        QVERIFY(rig.logger.texts().contains("The parameters have been written to 2/3 devices."));
        QCOMPARE(rig.window.loggerShown, 1);
        QVERIFY(!rig.logger.loggerOnErrorFlag());
        const QString offlineName = device::lonMarkObjectName(rig.session.network, rig.module(offline));
        // Written counts as written, also with failures.
        QVERIFY(!rig.session.parametersChangedFlag && !rig.window.applyEnabled && rig.window.enabled);

        // The next multi-device write offers the failed device preselected.
        config.WriteParametersEx();
        QCOMPARE(PickingWindow::requests.size(), 2);
        QCOMPARE(PickingWindow::requests.at(0).preselected, QStringList{});
        QCOMPARE(PickingWindow::requests.at(1).preselected, QStringList{offlineName});
        QCOMPARE(PickingWindow::requests.at(1).title, rig.window.Caption());
    }

    // A read that stopped part-way, here at an INI entry that points at a CP of the wrong size: the
    // failure names the parameter, the CP and the entry, and the write to several devices is
    // refused before any device is offered.
    void unreadParametersAreNotWritten()
    {
        ConfigurationRig rig("MinDeltaTemp@TQM_CM_L4 = 5,0,0"); // the twelve-byte set-point CP
        cConfiguration &config = rig.openAndRead(Opened, SameTemplate);
        QVERIFY(rig.logger.texts().filter("MinDeltaTemp (CP nciSetPnts, INI entry MinDeltaTemp): A number of 12 bytes "
                                      "is too wide.").size() == 1);
        // What the opened device keeps, the red line that names the parameter, and that no other
        // device takes the incomplete set, are tst_transfer's.
        QVERIFY(!config.WriteParameters());
        config.WriteParametersEx();
        QCOMPARE(rig.dialogs.messages.size(), 1);
        QVERIFY(rig.dialogs.messages.first().text.startsWith("The parameter set is incomplete: MinDeltaTemp never"));
        QVERIFY(PickingWindow::requests.isEmpty());
    }

    void cancelledSpreadWritesNothing()
    {
        ConfigurationRig rig;
        cConfiguration &config = rig.openAndRead(Opened, {});
        QVERIFY(rig.window.ComboBox(0)->chooseItem("± 2 degrees"));
        rig.logger.lines.clear();

        config.WriteParametersEx(); // no device picked

        QCOMPARE(rig.logger.lines.size(), 0);
        QCOMPARE(rig.session.system->openSeriesCount(), 0);
        QCOMPARE(rig.window.statusHistory, QStringList({"Scanning project ...", "Ready."}));
        QVERIFY(!rig.dialogs.waitCursor);
        // Nothing was written: the edit is still pending.
        QVERIFY(rig.session.parametersChangedFlag);
    }

    void searchProgressRefreshesAtMostEveryTwoSeconds_data()
    {
        QTest::addColumn<qint64>("laterMs");
        QTest::addColumn<int>("refreshes");

        QTest::newRow("within two seconds") << qint64(2000) << 1;
        QTest::newRow("after two seconds") << qint64(2100) << 2;
        QTest::newRow("past midnight") << qint64(12 * 3600 * 1000) << 2;
    }
    void searchProgressRefreshesAtMostEveryTwoSeconds()
    {
        QFETCH(qint64, laterMs);
        ConfigurationRig rig;
        cConfiguration &config = rig.open(Opened);
        config.mobjMultiDevWin_Progress();
        QCOMPARE(rig.window.refreshCount, 1);
        rig.clock.advanceMs(laterMs);
        config.mobjMultiDevWin_Progress();
        QTEST(rig.window.refreshCount, "refreshes");
    }
};

QTEST_GUILESS_MAIN(TestConfigurationWorkflows)
#include "tst_configurationworkflows.moc"
