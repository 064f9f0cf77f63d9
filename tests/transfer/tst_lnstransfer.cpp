#include "lnsfakes.h"
#include "transfernet.h"

#include <QTest>

namespace {

constexpr int FanLevelElements = 5;

// The net's set read (the parameter that is never read given a value of its own), writing through
// a System that records its calls.
struct ReadNet : TransferNet
{
    ReadNet()
    {
        params.setSystem(system);
        transfer.ReadFromLns();
        tempMode->setValue(1);
    }
    std::shared_ptr<ObservedSystem> system = std::make_shared<ObservedSystem>(session.system);
};

} // namespace

class TestLnsTransfer : public QObject
{
    Q_OBJECT
private slots:
    void readTakesEachCpOnce()
    {
        TransferNet net;
        for (const auto &[cp, raw] : {std::pair{"nciButtonMode", "3"}, {"nciSwitchMap", "11\t12"}, {"nciTempMode", "1"},
                                      {"nciFanLevels", "10\t20\t30\t40\t50"}, {"nciTmpOffset", "255\t254"},
                                      {"nciOccCmdOn", "1"}, {"nciDiscLevels", "4"}, {"nciLedMode1", "7"},
                                      {"nciSetPtDeltaStep", "0\t75"}})
            TransferNet::setRaw(net.own, cp, raw);
        net.tempMode->setValue(99);
        net.unbound->setValue(42);
        net.server->resetMessageCounts();

        net.transfer.ReadFromLns();

        // The seven CPs the parameters read, the image's array element by element.
        QCOMPARE(net.server->messageCounts(net.own->appDevice()).cpReads, 7 + FanLevelElements);
        QCOMPARE((QList<int>{net.buttonMode->Value(), net.switchMapA->Value(), net.switchMapB->Value(), net.fanLevel2->Value(),
                             net.offsetTemp->Value(), net.occCmdOn->Value(), net.discLevels->Value(), net.deltaStep->Value()}),
                 (QList<int>{3, 11, 12, 20, -2, 1, 4, 75}));
        QCOMPARE(net.ledMode1->Value(), QStringLiteral("7"));
        for (cParam *p : net.params.AllParameters())
            QVERIFY2(p->Changed() == (p == net.tempMode || p == net.unbound), qPrintable(p->Name()));
        QVERIFY(!net.logger.loggerOnErrorFlag());
    }

    void writeSendsEachCpOnceInOneTransaction()
    {
        ReadNet net;
        const auto device = net.own->appDevice();
        QStringList seen; // CP writes so far and the shared CP, when the transaction starts and ends
        const auto look = [&] {
            seen.append(QString::number(net.server->messageCounts(device).cpWrites) + QLatin1Char(' ')
                        + TransferNet::raw(net.own, "nciSwitchMap"));
        };
        net.system->afterStart = look;
        net.system->beforeCommit = look;
        net.server->resetMessageCounts();

        net.switchMapA->setValue(7);
        net.switchMapB->setValue(9);
        net.fanLevel2->setValue(77);
        QVERIFY(net.transfer.WriteToLns(true));

        // Every selected CP once with the bytes of all its parameters, changed or not, the image
        // once per element; nothing read, because the parameters cover every byte.
        const int writes = net.params.GetAllCpNamesShouldBeWrittenToLns().size() - 1 + FanLevelElements;
        QCOMPARE(net.system->calls, QStringList({"start", "commit"}));
        QCOMPARE(seen, QStringList({"0 1\t2", QString::number(writes) + " 7\t9"}));
        QCOMPARE(net.server->messageCounts(device).cpWrites, writes);
        QCOMPARE(net.server->messageCounts(device).cpReads, 2); // the two looks above, none of the write
        QCOMPARE(TransferNet::raw(net.own, "nciFanLevels").section('\t', 1, 1), QStringLiteral("77"));
        QVERIFY(!net.switchMapA->Changed() && !net.switchMapB->Changed() && !net.fanLevel2->Changed());

        const QStringList lines = net.logger.texts();
        QCOMPARE(lines.first(), QStringLiteral("  The following config properties will be written:"));
        QCOMPARE(lines.count(QStringLiteral("    - nciSwitchMap")), 1);
        QVERIFY(lines.contains(QStringLiteral("    - nciFanLevels")));
        QVERIFY(!net.logger.loggerOnErrorFlag());
    }

    // A CP that holds one parameter in one of its bytes keeps the other byte of each device.
    void coveredCpsAreNotReadForAnotherDevice()
    {
        ReadNet net;
        cParams partial;
        partial.setContext(net.params.context());
        partial.setSystem(net.session.system);
        cParam1Byte *second = partial.Add1ByteParameter("Second", TransferNet::cp(net.own, "nciSwitchMap"), "SwitchMap");
        second->ConsiderPartOfCpOnly(2);
        second->setValue(9);
        partial.Add1ByteParameter("Whole", TransferNet::cp(net.own, "nciButtonMode"), "ButtonMode")->setValue(4);
        TransferNet::setRaw(net.other, "nciSwitchMap", "5\t6");
        net.server->resetMessageCounts();

        QVERIFY(transfer::LnsTransfer(partial).WriteToLnsLmo(net.other, net.ini, product::CpSection));

        const embedded::MessageCounts counts = net.server->messageCounts(net.other->appDevice());
        QCOMPARE(counts.cpWrites, 2);
        QCOMPARE(counts.cpReads, 1); // the switch map's first byte is the device's
        QCOMPARE(TransferNet::raw(net.other, "nciSwitchMap"), QStringLiteral("5\t9"));
        QCOMPARE(TransferNet::raw(net.other, "nciButtonMode"), QStringLiteral("4"));
    }

    void writeToOtherObjectSkipsMissingCpQuietly()
    {
        ReadNet net;
        QList<std::pair<lns::ObjectPtr, QString>> missing;
        QObject::connect(&net.params, &cParams::CpNotFoundWhileWriting,
                         [&](const lns::ObjectPtr &object, const QString &cp) { missing.append({object, cp}); });
        const QString offsetBefore = TransferNet::raw(net.third, "nciTmpOffset");
        net.buttonMode->setValue(2);
        net.switchMapA->setValue(5);
        net.offsetTemp->setValue(-300);
        net.ledMode1->setValue(QStringLiteral("4"));
        net.fanLevel2->setValue(123);
        const auto ownOffsetCp = net.offsetTemp->ConfigProperty();

        QVERIFY(net.transfer.WriteToLnsLmo(net.third, net.ini, product::CpSection));

        QCOMPARE(missing, (QList<std::pair<lns::ObjectPtr, QString>>{{net.third, "nciTmpOffset"}}));
        QCOMPARE(TransferNet::raw(net.third, "nciTmpOffset"), offsetBefore);
        QCOMPARE(TransferNet::raw(net.third, "nciButtonMode"), QStringLiteral("2"));
        QCOMPARE(TransferNet::raw(net.third, "nciSwitchMap").section('\t', 0, 0), QStringLiteral("5"));
        QCOMPARE(TransferNet::raw(net.third, "nciLedMode1"), QStringLiteral("4"));
        QCOMPARE(TransferNet::raw(net.third, "nciFanLevels").section('\t', 1, 1), QStringLiteral("123"));
        // The set is bound to the opened device still, and that device was not touched.
        QCOMPARE(net.offsetTemp->ConfigProperty(), ownOffsetCp);
        QCOMPARE(TransferNet::deviceOf(net.buttonMode->ConfigProperty()), QStringLiteral("CM 1.04"));
        QCOMPARE(TransferNet::deviceOf(net.fanLevels->ConfigProperty()), QStringLiteral("CM 1.04"));
        QVERIFY(TransferNet::raw(net.own, "nciButtonMode") != QStringLiteral("2"));
        // The event is the report: no red line, no box.
        QVERIFY(net.logger.lines.isEmpty() && net.dialogs.messages.isEmpty());
    }

    void unexpectedErrorCancelsTheObjectsWrite()
    {
        ReadNet net;
        const QStringList before = TransferNet::snapshot(net.other);
        net.buttonMode->setValue(9);
        net.switchMapB->setValue(8);
        net.offsetTemp->setValue(1000);
        // The parameters find their way to the device; the images do not.
        const auto breaking = std::make_shared<ObservedLonMarkObject>(net.other, 1);
        QString writtenBeforeTheBreak;
        net.system->beforeCancel = [&] { writtenBeforeTheBreak = TransferNet::raw(net.other, "nciButtonMode"); };

        QVERIFY(!net.transfer.WriteToLnsLmo(breaking, net.ini, product::CpSection));

        QCOMPARE(net.system->calls, QStringList({"start", "cancel"}));
        QCOMPARE(writtenBeforeTheBreak, QStringLiteral("9"));
        QCOMPARE(TransferNet::snapshot(net.other), before);
        QCOMPARE(net.dialogs.messages.size(), 1);
        const MessageRequest box = net.dialogs.messages[0];
        QCOMPARE(box.icon, MsgIcon::Critical);
        QCOMPARE(box.title, QStringLiteral("Title"));
        QCOMPARE(box.text, QStringLiteral("Fehler in WriteExtCpsToLnsLmo !!!\r\nNummer : %1\r\n"
                                          "Beschreibung : database gone\r\nZeile : 17\r\nConfigProperty : ")
                               .arg(TqmError::LnsDatabase));
        QCOMPARE(TransferNet::deviceOf(net.buttonMode->ConfigProperty()), QStringLiteral("CM 1.04"));
    }

    void failedWriteKeepsTheDevicesSet_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("said"); // a pattern of the one red line, %1 the device
        const QString offline = QStringLiteral("^%1 / CommandModule / nciButtonMode.*does not respond");
        const QString refused = QStringLiteral("^%1 / CommandModule / nciLedMode1");
        const QString noTransaction = QStringLiteral("^Nothing was written to %1 / CommandModule: the network database "
                                                     "could not start a transaction \\(database is locked\\)\\.$");
        for (const char *device : {"CM 1.04", "CM 2.02"}) {
            const char *which = QLatin1String(device) == QLatin1String("CM 1.04") ? "opened device" : "another device";
            QTest::addRow("%s offline", which) << device << "offline" << offline;
            QTest::addRow("%s refuses a value", which) << device << "refuses" << refused;
            QTest::addRow("%s, no transaction", which) << device << "no transaction" << noTransaction;
        }
    }
    // Nothing half-written: without a transaction nothing is sent; otherwise the first CP the
    // device does not take ends its write, everything written to it before is taken back, and one
    // red line names the CP and the cause. The step of the same commit does not run.
    void failedWriteKeepsTheDevicesSet()
    {
        QFETCH(QString, device);
        QFETCH(QString, cause);
        QFETCH(QString, said);
        ReadNet net;
        net.system->refuseStart = cause == QLatin1String("no transaction");
        const auto target = net.module(device);
        const QStringList before = TransferNet::snapshot(target);
        net.buttonMode->setValue(1);
        net.switchMapA->setValue(2);
        net.switchMapB->setValue(3);
        if (cause == QLatin1String("offline"))
            embedded::EmbeddedObjectServer::setDeviceOnline(target->appDevice(), false);
        if (cause == QLatin1String("refuses"))
            net.ledMode1->setValue(QStringLiteral("1\t2")); // two bytes for a one-byte CP, written late
        bool stepRan = false;
        net.server->resetMessageCounts();

        const bool written = target == net.own
                                 ? net.transfer.WriteToLns(false, [&] { stepRan = true; })
                                 : net.transfer.WriteToLnsLmo(target, net.ini, product::CpSection, [&] { stepRan = true; });

        QVERIFY(!written);
        QVERIFY(!stepRan);
        QCOMPARE(TransferNet::snapshot(target), before);
        if (net.system->refuseStart) {
            QCOMPARE(net.server->messageCounts(target->appDevice()).cpWrites, 0);
            QCOMPARE(net.system->calls, QStringList{"start"});
        }
        const QStringList red = net.redTexts();
        QCOMPARE(red.size(), 1);
        QVERIFY2(QRegularExpression(said.arg(QRegularExpression::escape(device))).match(red[0]).hasMatch(), qPrintable(red[0]));
        QVERIFY(net.dialogs.messages.isEmpty());
        QVERIFY(net.switchMapA->Changed());
    }

    // A read that stopped part-way (here: a window the CP does not have) leaves parameters without
    // a value; the opened device keeps those bytes, and no other device gets the incomplete set.
    void valuesNeverReadAreNeverWritten()
    {
        TransferNet net;
        cParam1Byte *beyond = net.params.Add1ByteParameter("Beyond", TransferNet::cp(net.own, "nciLedMode2"), "LedMode2");
        beyond->setLateFetch(true);
        beyond->ConsiderPartOfCpOnly(2); // the CP has one byte
        TransferNet::setRaw(net.own, "nciLedMode2", "5");
        QVERIFY_THROWS_EXCEPTION(TqmError, net.transfer.ReadFromLns());
        QCOMPARE(net.buttonMode->Value(), 0); // read all the same: "0" is the device's
        QVERIFY(net.buttonMode->valueKnown() && !beyond->valueKnown() && !net.tempMode->valueKnown());
        TransferNet::setRaw(net.own, "nciTempMode", "7");

        QVERIFY(net.transfer.WriteToLns());
        QCOMPARE(TransferNet::raw(net.own, "nciTempMode"), QStringLiteral("7"));
        QCOMPARE(TransferNet::raw(net.own, "nciLedMode2"), QStringLiteral("5"));
        const QString neverRead = "%1 (CP %2, INI entry %3) was not written: its value was never read from the device.";
        QCOMPARE(net.redTexts(), QStringList({neverRead.arg("TempMode", "nciTempMode", "TempMode"),
                                              neverRead.arg("Beyond", "nciLedMode2", "LedMode2")}));

        net.logger.lines.clear();
        const QStringList otherBefore = TransferNet::snapshot(net.other);
        QCOMPARE(net.transfer.ParametersWithoutValue(), QStringList({"TempMode", "Beyond"}));
        QVERIFY(!net.transfer.WriteToLnsLmo(net.other, net.ini, product::CpSection));
        QCOMPARE(TransferNet::snapshot(net.other), otherBefore);
        QCOMPARE(net.redTexts().size(), 1);
    }

    void imageNeverReadIsNeverWritten()
    {
        TransferNet net;
        for (cParam *p : net.params.AllParameters())
            if (!p->CpIsExternal())
                p->setChanged(true); // every direct value given; the image never read
        const QString levelsBefore = TransferNet::raw(net.own, "nciFanLevels");

        QVERIFY(net.transfer.WriteToLns());
        QCOMPARE(TransferNet::raw(net.own, "nciFanLevels"), levelsBefore);
        QCOMPARE(net.transfer.ParametersWithoutValue(), QStringList{"FanLevels"});
    }

    // The step runs after the CPs went in and is committed with them; when it fails, the CPs
    // go too. (A device that takes no CP runs no step: failedWriteKeepsTheDevicesSet.)
    void stepInSameCommitFollowsTheDevice_data()
    {
        QTest::addColumn<bool>("stepFails");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("written: the step is committed with the CPs") << false << QStringList{"6", "commit"};
        QTest::newRow("failing step: the CPs go too") << true << QStringList{"6"};
    }
    void stepInSameCommitFollowsTheDevice()
    {
        QFETCH(bool, stepFails);
        ReadNet net;
        net.buttonMode->setValue(6);
        QStringList order;
        net.system->beforeCommit = [&] { order.append("commit"); };
        const auto step = [&] {
            order.append(TransferNet::raw(net.other, "nciButtonMode"));
            TransferNet::setRaw(net.other, "nciPushEvent1", "7");
            if (stepFails)
                throw TqmError(TqmError::LnsDatabase, "Test", "record refused");
        };

        QCOMPARE(net.transfer.WriteToLnsLmo(net.other, net.ini, product::CpSection, step), !stepFails);

        QTEST(order, "order");
        QCOMPARE(TransferNet::raw(net.other, "nciButtonMode") == QStringLiteral("6"), !stepFails);
        QCOMPARE(TransferNet::raw(net.other, "nciPushEvent1") == QStringLiteral("7"), !stepFails);
    }
};

QTEST_GUILESS_MAIN(TestLnsTransfer)
#include "tst_lnstransfer.moc"
