#include "transfernet.h"

#include "transfer/modulelookups.h"

#include <QTest>
#include <functional>

// The System of the network, with hooks just after the start and just before the end of a
// transaction, and the calls it received.
class ObservedSystem : public lns::System
{
public:
    explicit ObservedSystem(lns::SystemPtr real) : m_real(std::move(real)) {}
    lns::ObjectPtr parent() const override { return m_real->parent(); }
    QString name() const override { return m_real->name(); }
    std::shared_ptr<lns::Subsystems> subsystems() const override { return m_real->subsystems(); }
    void startTransaction() override
    {
        calls.append(QStringLiteral("start"));
        m_real->startTransaction();
        if (afterStart)
            afterStart();
    }
    void commitTransaction() override
    {
        calls.append(QStringLiteral("commit"));
        if (beforeCommit)
            beforeCommit();
        m_real->commitTransaction();
    }
    void cancelTransaction() override
    {
        calls.append(QStringLiteral("cancel"));
        if (beforeCancel)
            beforeCancel();
        m_real->cancelTransaction();
    }
    bool inTransaction() const override { return m_real->inTransaction(); }
    void openSeries(int value) override { m_real->openSeries(value); }
    void closeSeries() override { m_real->closeSeries(); }
    int openSeriesCount() const override { return m_real->openSeriesCount(); }
    void prepareMonitoring(int value) override { m_real->prepareMonitoring(value); }

    QStringList calls;
    std::function<void()> afterStart;
    std::function<void()> beforeCommit;
    std::function<void()> beforeCancel;

private:
    lns::SystemPtr m_real;
};

// A LonMark object whose way to its device breaks after a number of look-ups: an error that no
// step of the write expects, arising after some CPs were already written.
class BreakingObject : public lns::LonMarkObject
{
public:
    BreakingObject(lns::LonMarkObjectPtr real, int workingLookUps) : m_real(std::move(real)), m_left(workingLookUps) {}
    lns::ObjectPtr parent() const override { return m_real->parent(); }
    QString name() const override { return m_real->name(); }
    int index() const override { return m_real->index(); }
    int type() const override { return m_real->type(); }
    std::shared_ptr<lns::ConfigProperties> configProperties() const override { return m_real->configProperties(); }
    std::shared_ptr<lns::NetworkVariables> networkVariables() const override { return m_real->networkVariables(); }
    std::shared_ptr<lns::ExtensionRecords> extensions() const override { return m_real->extensions(); }
    lns::AppDevicePtr appDevice() const override
    {
        if (m_left-- <= 0)
            throw TqmError(TqmError::LnsDatabase, QStringLiteral("Test"), QStringLiteral("database gone"), 17);
        return m_real->appDevice();
    }

private:
    lns::LonMarkObjectPtr m_real;
    mutable int m_left;
};

class TestLnsTransfer : public QObject
{
    Q_OBJECT
private slots:
    void readFillsAvailableParameters();
    void sharedCpIsWrittenTwiceInOneTransaction();
    void writeToOtherObjectSkipsMissingCp();
    void unexpectedErrorCancelsTheObjectsWrite();
    void offlineDeviceGivesRedLinesAndNoSuccess_data();
    void offlineDeviceGivesRedLinesAndNoSuccess();
    void moduleLookUps_data();
    void moduleLookUps();
};

void TestLnsTransfer::readFillsAvailableParameters()
{
    TransferNet net;
    TransferNet::setRaw(net.own, "nciButtonMode", "3");
    TransferNet::setRaw(net.own, "nciSwitchMap", "11\t12");
    TransferNet::setRaw(net.own, "nciTempMode", "1");
    TransferNet::setRaw(net.own, "nciFanLevels", "10\t20\t30\t40\t50");
    TransferNet::setRaw(net.own, "nciTmpOffset", "255\t254");
    TransferNet::setRaw(net.own, "nciOccCmdOn", "1");
    TransferNet::setRaw(net.own, "nciDiscLevels", "4");
    TransferNet::setRaw(net.own, "nciLedMode1", "7");
    TransferNet::setRaw(net.own, "nciSetPtDeltaStep", "0\t75");
    net.tempMode->setValue(99);
    net.unbound->setValue(42);

    net.params.ReadFromLns();

    QCOMPARE(net.buttonMode->Value(), 3);
    QCOMPARE(net.switchMapA->Value(), 11);
    QCOMPARE(net.switchMapB->Value(), 12);
    QCOMPARE(net.fanLevel2->Value(), 20);
    QCOMPARE(net.offsetTemp->Value(), -2);
    QCOMPARE(net.occCmdOn->Value(), 1);
    QCOMPARE(net.discLevels->Value(), 4);
    QCOMPARE(net.ledMode1->Value(), QStringLiteral("7"));
    QCOMPARE(net.deltaStep->Value(), 75);
    for (cParam *p : net.params.AllParameters())
        QVERIFY2(p->Changed() == (p == net.tempMode || p == net.unbound), qPrintable(p->Name()));
    QCOMPARE(net.tempMode->Value(), 99);
    QCOMPARE(net.unbound->Value(), 42);
    QVERIFY(!net.logger.loggerOnErrorFlag());
}

void TestLnsTransfer::sharedCpIsWrittenTwiceInOneTransaction()
{
    TransferNet net;
    auto system = std::make_shared<ObservedSystem>(net.system);
    net.params.setSystem(system);
    net.params.ReadFromLns();
    const auto device = net.own->appDevice();
    QStringList seen; // CP writes so far and the shared CP, when the transaction starts and ends
    const auto look = [&] {
        seen.append(QString::number(net.server->messageCounts(device).cpWrites) + QLatin1Char(' ')
                    + TransferNet::raw(net.own, "nciSwitchMap"));
    };
    system->afterStart = look;
    system->beforeCommit = look;
    net.server->resetMessageCounts();

    net.switchMapA->setValue(7);
    net.switchMapB->setValue(9);
    net.fanLevel2->setValue(77);
    net.params.WriteToLns(true);

    // Every selected parameter is written, changed or not: the shared CP once per parameter,
    // the image once per element; all between the start and the commit of one transaction.
    const int writes = net.params.GetAllParamsShouldBeWrittenToLns().size() - 1 + 5;
    QCOMPARE(system->calls, QStringList({"start", "commit"}));
    QCOMPARE(seen, QStringList({"0 1\t2", QString::number(writes) + " 7\t9"}));
    QCOMPARE(net.server->messageCounts(device).cpWrites, writes);
    QCOMPARE(TransferNet::raw(net.own, "nciFanLevels").section('\t', 1, 1), QStringLiteral("77"));
    QVERIFY(!net.switchMapA->Changed() && !net.switchMapB->Changed() && !net.fanLevel2->Changed());

    const QStringList lines = net.logger.texts();
    QCOMPARE(lines.first(), QStringLiteral("  The following config properties will be written:"));
    QCOMPARE(lines.count(QStringLiteral("    - nciSwitchMap")), 1);
    QVERIFY(lines.contains(QStringLiteral("    - nciFanLevels")));
    QCOMPARE(net.logger.lines[1].colour, logcolour::DarkGreen);
    QVERIFY(lines.last().isEmpty());
    QVERIFY(!net.logger.loggerOnErrorFlag());
}

void TestLnsTransfer::writeToOtherObjectSkipsMissingCp()
{
    TransferNet net;
    net.params.ReadFromLns();
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

    QVERIFY(net.params.WriteToLnsLmo(net.third, net.ini, product::CpSection));

    QCOMPARE(missing.size(), 1);
    QCOMPARE(missing[0].first, lns::ObjectPtr(net.third));
    QCOMPARE(missing[0].second, QStringLiteral("nciTmpOffset"));
    QCOMPARE(TransferNet::raw(net.third, "nciTmpOffset"), offsetBefore);
    QCOMPARE(TransferNet::raw(net.third, "nciButtonMode"), QStringLiteral("2"));
    QCOMPARE(TransferNet::raw(net.third, "nciSwitchMap").section('\t', 0, 0), QStringLiteral("5"));
    QCOMPARE(TransferNet::raw(net.third, "nciLedMode1"), QStringLiteral("4"));
    QCOMPARE(TransferNet::raw(net.third, "nciFanLevels").section('\t', 1, 1), QStringLiteral("123"));
    // The set is bound to the opened device again, and that device was not touched.
    QCOMPARE(net.offsetTemp->ConfigProperty(), ownOffsetCp);
    QCOMPARE(TransferNet::deviceOf(net.buttonMode->ConfigProperty()), QStringLiteral("Own"));
    QCOMPARE(TransferNet::deviceOf(net.fanLevels->ConfigProperty()), QStringLiteral("Own"));
    QVERIFY(TransferNet::raw(net.own, "nciButtonMode") != QStringLiteral("2"));
    // The user learns of the gap in red.
    QCOMPARE(net.logger.lines.size(), 1);
    QCOMPARE(net.logger.lines[0].colour, logcolour::Red);
    QCOMPARE(net.logger.lines[0].text,
             QStringLiteral("Third / CommandModule / nciTmpOffset: INI - File Error : OffsetTemp"));
    QVERIFY(net.dialogs.messages.isEmpty());
}

void TestLnsTransfer::unexpectedErrorCancelsTheObjectsWrite()
{
    TransferNet net;
    net.params.ReadFromLns();
    auto system = std::make_shared<ObservedSystem>(net.system);
    net.params.setSystem(system);
    const QStringList before = TransferNet::snapshot(net.other);
    net.buttonMode->setValue(9); // 1-byte parameters: written before the break
    net.switchMapB->setValue(8);
    net.offsetTemp->setValue(1000);
    const auto breaking = std::make_shared<BreakingObject>(net.other, 1);
    QString writtenBeforeTheBreak;
    system->beforeCancel = [&] { writtenBeforeTheBreak = TransferNet::raw(net.other, "nciButtonMode"); };

    QVERIFY(!net.params.WriteToLnsLmo(breaking, net.ini, product::CpSection));

    QCOMPARE(system->calls, QStringList({"start", "cancel"}));
    QCOMPARE(writtenBeforeTheBreak, QStringLiteral("9"));
    QCOMPARE(TransferNet::snapshot(net.other), before);
    QCOMPARE(net.dialogs.messages.size(), 1);
    const MessageRequest box = net.dialogs.messages[0];
    QCOMPARE(box.icon, MsgIcon::Critical);
    QCOMPARE(box.title, QStringLiteral("Title"));
    QCOMPARE(box.text, QStringLiteral("Fehler in WriteParamsToLnsLmo !!!\r\nNummer : %1\r\n"
                                      "Beschreibung : database gone\r\nZeile : 17\r\nConfigProperty : ")
                           .arg(TqmError::LnsDatabase));
    QCOMPARE(TransferNet::deviceOf(net.buttonMode->ConfigProperty()), QStringLiteral("Own"));
}

void TestLnsTransfer::offlineDeviceGivesRedLinesAndNoSuccess_data()
{
    QTest::addColumn<QString>("device");
    QTest::newRow("opened device") << "Own";
    QTest::newRow("another device") << "Other";
}

// A device that does not answer: every CP the pass meant to write is named in red, and no part
// of the pass counts as written.
void TestLnsTransfer::offlineDeviceGivesRedLinesAndNoSuccess()
{
    QFETCH(QString, device);
    TransferNet net;
    net.params.ReadFromLns();
    const auto target = net.lmo(device);
    const QStringList before = TransferNet::snapshot(target);
    net.buttonMode->setValue(1);
    net.switchMapA->setValue(2);
    net.switchMapB->setValue(3);
    TransferNet::setOnline(target, false);

    if (device == QLatin1String("Own")) {
        net.params.WriteToLns();
    } else {
        QVERIFY(net.params.WriteToLnsLmo(net.third, net.ini, product::CpSection)); // online: fine
        net.logger.lines.clear();
        QVERIFY(!net.params.WriteToLnsLmo(target, net.ini, product::CpSection));
    }

    QCOMPARE(TransferNet::snapshot(target), before);
    QVERIFY(net.logger.loggerOnErrorFlag());
    QStringList named;
    for (const LogViewLine &line : net.logger.lines) {
        QCOMPARE(line.colour, logcolour::Red);
        QVERIFY2(line.text.startsWith(device + QStringLiteral(" / CommandModule / nci")), qPrintable(line.text));
        QVERIFY2(line.text.contains(QStringLiteral("does not respond")), qPrintable(line.text));
        named.append(line.text.section(QStringLiteral(" / "), 2, 2).section(QLatin1Char(':'), 0, 0));
    }
    QStringList expected = net.params.GetAllCpNamesShouldBeWrittenToLns();
    expected.sort();
    named.sort();
    QCOMPARE(named, expected); // each CP once, the shared one included
    QVERIFY(net.dialogs.messages.isEmpty());
}

void TestLnsTransfer::moduleLookUps_data()
{
    QTest::addColumn<QString>("routine");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("deviceName");
    QTest::addColumn<QString>("found"); // empty: not found

    QTest::newRow("object CP") << "FetchCp" << "OffsetTemp" << "Own" << "nciTmpOffset";
    QTest::newRow("object CP, absent") << "FetchCp" << "Nope" << "Own" << "";
    QTest::newRow("object CP, gap for the template") << "FetchCp" << "OffsetTemp" << "Third" << "";
    QTest::newRow("NV CP") << "FetchCpOfObjectOrNv" << "MaxSendTime" << "Third" << "nciSndHrtBtNV13";
    QTest::newRow("object CP, second form") << "FetchCpOfObjectOrNv" << "ButtonMode" << "Own" << "nciButtonMode";
    QTest::newRow("device CP") << "FetchDevCp" << "PanelType" << "Own" << "PanelType";
    QTest::newRow("device CP, absent") << "FetchDevCp" << "Nope" << "Own" << "";
    QTest::newRow("device NV") << "FetchDevNv" << "nvoSpaceTemp" << "Own" << "nvoSpaceTemp";
    QTest::newRow("object NV") << "FetchNv" << "nvoFanSpeed" << "Own" << "nvoFanSpeed";
    QTest::newRow("object NV, absent") << "FetchNv" << "nvoNope" << "Own" << "";
}

void TestLnsTransfer::moduleLookUps()
{
    QFETCH(QString, routine);
    QFETCH(QString, name);
    QFETCH(QString, deviceName);
    QFETCH(QString, found);
    TransferNet net;
    const auto object = net.lmo(deviceName);
    const QString deviceTemplate = object->appDevice()->deviceTemplate()->name();
    const ModuleLookups lookUps(net.ini, deviceTemplate, &net.logger);
    const bool isNv = routine == QLatin1String("FetchDevNv") || routine == QLatin1String("FetchNv");
    const QString section = isNv ? product::NvSection : product::CpSection;

    const auto lookUp = [&](bool *succeed) -> lns::ObjectPtr {
        if (routine == QLatin1String("FetchCp"))
            return lookUps.FetchCp(name, section, object, succeed);
        if (routine == QLatin1String("FetchCpOfObjectOrNv"))
            return lookUps.FetchCpOfObjectOrNv(name, section, object, succeed);
        if (routine == QLatin1String("FetchDevCp"))
            return lookUps.FetchDevCp(name, section, object->appDevice(), succeed);
        if (routine == QLatin1String("FetchDevNv"))
            return lookUps.FetchDevNv(name, section, object->appDevice(), succeed);
        return lookUps.FetchNv(name, section, object, succeed);
    };

    bool succeed = true;
    const lns::ObjectPtr answer = lookUp(&succeed);
    QCOMPARE(succeed, !found.isEmpty());
    QCOMPARE(answer ? answer->name() : QString(), found);
    const QString label = QStringLiteral("[M_PlugIn] Public Sub %1()")
                              .arg(routine == QLatin1String("FetchCpOfObjectOrNv") ? QStringLiteral("FetchCp") : routine);
    QCOMPARE(net.logger.labels, QStringList{label});
    if (found.isEmpty()) {
        try {
            lookUp(nullptr);
            QFAIL("no error without the success argument");
        } catch (const TqmError &error) {
            QCOMPARE(error.number(), TqmError::IniFileError);
            QCOMPARE(error.description(), QStringLiteral("INI - File Error : ") + name);
        }
    }
}

QTEST_GUILESS_MAIN(TestLnsTransfer)
#include "tst_lnstransfer.moc"
