// A parameter set written to and read from devices (LnsTransfer) and files (ParamSetFile).

#include "lnsfakes.h"
#include "support/raised.h"
#include "transfernet.h"

#include <QTest>
#include <csignal>
#include <sys/resource.h>

using E = cParamEnums;

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

const QString ProgramId = QStringLiteral("90:00:5D:50:28:04:04:04");
const QString Compatible = QStringLiteral("90:00:5D:50:28:04:04:05");
const QString Incompatible = QStringLiteral("90:00:5D:50:28:04:04:02");

const QByteArray OwnIdLine = "ProgramId = 90:00:5D:50:28:04:04:04";
const QByteArray PlugInLine = "PlugInName = veltoTqmCmdModule";
const QByteArray VersionLine = "DataFileVersion = 1";

QByteArray header(const QByteArray &programIdLine = OwnIdLine, const QByteArray &plugInLine = PlugInLine,
                  const QByteArray &versionLine = VersionLine)
{
    return "[General]\r\n" + plugInLine + "\r\n" + programIdLine + "\r\n" + versionLine + "\r\n\r\n";
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every parameter's value as text, to see whether a load changed any.
QStringList values(const TransferNet &net)
{
    return {QString::number(net.buttonMode->Value()), QString::number(net.switchMapA->Value()),
            QString::number(net.offsetTemp->Value1()), QString::number(net.offsetTemp->Value2()),
            QString::number(net.occCmdOn->Value()), QString::number(net.discLevels->Value()),
            net.ledMode1->Value(), QString::number(net.deltaStep->Value())};
}

} // namespace

class TestTransfer : public QObject
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

    void layout()
    {
        TransferNet net;
        cParams params;
        controls::MemoryCheckBox box;
        controls::MemoryComboBox combo;
        const auto cp = TransferNet::cp(net.own, "nciButtonMode");
        params.Add1ByteParameter("A", cp, "ButtonMode")->setValue(2);
        params.Add1ByteParameter("B", cp, "ButtonMode")->setValue(0);
        params.Add1ByteParameter("Hidden", nullptr, "X")->setValue(5);     // not available: left out
        auto *forced = params.Add1ByteParameter("Forced", nullptr, "X");   // ... unless forced
        forced->setForceWriteToFile(true);
        forced->setValue(-7);
        params.AddCheckBoxParameter("C", &box, cp, "ButtonMode")->setValue(1);
        params.AddComboBoxParameter("Excluded", &combo, cp, "ButtonMode")->setDontWriteToFile(true);
        params.AddAsciiParameter("Text", cp, "ButtonMode")->setValue(QStringLiteral("a, b"));
        const QString path = net.dir.filePath("layout.dat");

        QVERIFY(transfer::ParamSetFile(params).WriteToFile(path, "veltoTqmCmdModule", ProgramId, "1"));

        QCOMPARE(readFile(path), QByteArray("[General]\r\n"
                                            "PlugInName = veltoTqmCmdModule\r\n"
                                            "ProgramId = 90:00:5D:50:28:04:04:04\r\n"
                                            "DataFileVersion = 1\r\n"
                                            "\r\n"
                                            "[Settings]\r\n"
                                            ";  *** Generic 1 Byte ***\r\n"
                                            "A = 2\r\n"
                                            "B = 0\r\n"
                                            "Forced = -7\r\n"
                                            ";  *** Generic ASCII ***\r\n"
                                            "Text = a, b,\r\n"
                                            ";  *** CheckBox ***\r\n"
                                            "C = 1\r\n"
                                            ";  *** ComboBox ***\r\n"));
    }

    // A set saved from one device loads into the same set of another.
    void roundTripRestoresEveryKind()
    {
        TransferNet net, fresh;
        const auto addExtras = [](TransferNet &n) {
            auto *forcedOnly = n.params.Add1ByteParameter("ForcedOnly", TransferNet::cp(n.own, "nciLedMode2"), "LedMode2");
            forcedOnly->setDontWriteToFile(true);
            forcedOnly->setForceWriteToFile(true); // written, but not loaded back
            return std::pair{n.params.AddAsciiParameter("Label", TransferNet::cp(n.own, "nciLocation"), "Location"), forcedOnly};
        };
        const auto [text, forcedOnly] = addExtras(net);
        const auto [freshText, freshForcedOnly] = addExtras(fresh);
        net.buttonMode->setValue(200);
        net.switchMapA->setValue(254);
        net.offsetTemp->setValue(-300);
        net.occCmdOn->setValue(1);
        net.discLevels->setValue(4);
        net.ledMode1->setValue(QStringLiteral("7"));
        net.deltaStep->setValue(-123);
        text->setValue(QStringLiteral("Room 1, north \u00e4"));
        forcedOnly->setValue(3);
        const QString path = net.dir.filePath("set.dat");
        QVERIFY(net.file.WriteToFile(path, "veltoTqmCmdModule", ProgramId, "1"));
        QVERIFY(readFile(path).contains("Label = Room 1, north \xc3\xa4,\r\n"));

        QCOMPARE(fresh.file.LoadFromFile(path, fresh.ini, "veltoTqmCmdModule", ProgramId, "1"), E::LE_NO_ERROR);

        QCOMPARE(values(fresh), values(net));
        QCOMPARE(freshText->Value(), QStringLiteral("Room 1, north \u00e4"));
        QCOMPARE(freshForcedOnly->Value(), 0);
        QVERIFY(fresh.buttonMode->Changed() && fresh.offsetTemp->Changed() && fresh.ledMode1->Changed());
        QVERIFY(!fresh.unbound->Changed()); // not in the file: untouched
    }

    // Blanks, unknown keys and unreadable values are taken leniently (the line is left); a header of
    // another plug-in, device or file version refuses the file, and no parameter changes.
    void loading_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("expected"); // values() after loading
        QTest::addColumn<QStringList>("logged");   // after the file's name: the lines that were ignored
        const int ok = E::LE_NO_ERROR;
        const QByteArray settings = "[Settings]\r\nButtonMode = 12.5\r\nSwitchMapA = 13.5\r\nOffsetTemp = 1,-5\r\n"
                                    "OccCmdOn = 1\r\nDiscLevels = 3abc\r\nLedMode1 =  7 \r\nDeltaStep = -4\r\n";
        const QStringList loaded = {"12", "14", "1", "-5", "1", "3", "7", "-4"};
        const QStringList untouched = {"0", "0", "0", "0", "0", "0", "", "0"};
        const QByteArray head = header() + "[Settings]\r\n";

        // Line ends, blanks and byte-order marks are the INI reader's (tst_inifile).
        QTest::newRow("CR LF") << header() + settings << ok << loaded << QStringList();
        QTest::newRow("no Settings section") << header() << ok << untouched << QStringList();
        QTest::newRow("unknown keys are left") << head + "ButtonMode = 4\r\nNoSuchParameter = 5\r\n" << ok
            << QStringList{"4", "0", "0", "0", "0", "0", "", "0"}
            << QStringList{", line 8: \"NoSuchParameter\" is no parameter of this device; the line was ignored."};
        QTest::newRow("non-numeric values") << head + "ButtonMode = abc\r\nOffsetTemp = x,y\r\nDeltaStep = ,5\r\n"
            << ok << untouched << QStringList();
        QTest::newRow("empty values leave the parameter") << head + "ButtonMode =\r\nLedMode1 =   \r\n"
            << ok << untouched << QStringList{", line 7: \"ButtonMode\" has no value; the line was ignored.",
                                              ", line 8: \"LedMode1\" has no value; the line was ignored."};

        const auto headed = [&](const char *name, const QByteArray &fileHeader, int result) {
            const QStringList some = {"77", "0", "0", "0", "0", "0", "3", "0"};
            QTest::newRow(name) << fileHeader + "[Settings]\r\nButtonMode = 77\r\nLedMode1 = 3\r\n" << result
                                << (result == ok ? some : untouched) << QStringList();
        };
        headed("plug-in name with blanks", header(OwnIdLine, "PlugInName =   veltoTqmCmdModule  "), ok);
        headed("other plug-in", header(OwnIdLine, "PlugInName = veltoOther"), E::LE_WRONG_PLUGIN);
        headed("compatible device", header("ProgramId = " + Compatible.toLatin1()), ok);
        headed("other device", header("ProgramId = " + Incompatible.toLatin1()), E::LE_WRONG_DEVICE);
        headed("no program id", header(""), E::LE_WRONG_DATAFILE_VERSION);
        headed("other version", header(OwnIdLine, PlugInLine, "DataFileVersion = 2"), E::LE_WRONG_DATAFILE_VERSION);
    }
    void loading()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, logged);
        TransferNet net;
        const QString path = net.dir.filePath("l.dat");
        writeFile(path, content);
        QTEST(int(net.file.LoadFromFile(path, net.ini, "veltoTqmCmdModule", ProgramId, "1")), "result");
        QTEST(values(net), "expected");
        QCOMPARE(net.logger.texts(), logged.replaceInStrings(QRegularExpression("^"), path));
        QVERIFY(!net.logger.loggerOnErrorFlag());
    }

    void badFilesAreRefusedAndSaySo_data()
    {
        QTest::addColumn<QByteArray>("settings"); // after the header and "[Settings]", from line 7
        QTest::addColumn<QString>("said");        // in the error's description, after the file name
        QTest::newRow("one byte beyond its window") << QByteArray("LedMode1 = 4\r\nButtonMode = 99999\r\n")
            << ", line 8: the value 99999 of \"ButtonMode\" is outside the allowed range 0 to 255.";
        QTest::newRow("two bytes beyond their window") << QByteArray("OffsetTemp = 300,0\r\n")
            << ", line 7: the value 76800 of \"OffsetTemp\" is outside the allowed range -32768 to 32767.";
        QTest::newRow("text box beyond its range") << QByteArray("DeltaStep = 99999\r\n")
            << ", line 7: the value 99999 of \"DeltaStep\" is outside the allowed range -200 to 200.";
        QTest::newRow("combo box value off the list") << QByteArray("DiscLevels = 9\r\n")
            << ", line 7: the value 9 of \"DiscLevels\" is outside the allowed range one of 1, 2, 3, 4, 5.";
        QTest::newRow("option off the list") << QByteArray("LedMode1 = 9\r\n")
            << ", line 7: the value 9 of \"LedMode1\" is outside the allowed range one of 3, 4, 7.";
        QTest::newRow("check box neither checked nor unchecked") << QByteArray("OccCmdOn = 2\r\n")
            << ", line 7: the value 2 of \"OccCmdOn\" is outside the allowed range one of 0, 1.";
        QTest::newRow("check-box text that is no number")
            << QByteArray("ButtonMode = 5\r\nOccCmdOn = yes\r\n")
            << "\" could not be read.\r\n[Settings] OccCmdOn = yes";
        QTest::newRow("number too long to read") << QByteArray("ButtonMode = 123456789012\r\n")
            << ", line 7: the number \"123456789012\" of \"ButtonMode\" is too long to read; the allowed range is 0 to 255.";
        QTest::newRow("number beyond a double") << QByteArray("DeltaStep = 1e999\r\n")
            << ", line 7: the number \"1e999\" of \"DeltaStep\" is too long to read; the allowed range is -200 to 200.";
        // Which lines the INI reader refuses is tst_inifile's; any of them refuses the file.
        QTest::newRow("line without equals sign") << QByteArray("ButtonMode = 4\r\nno equals sign here\r\n")
            << ":8: expected 'key = value' or '[section]'";
        QTest::newRow("NUL byte") << QByteArray("ButtonMode = 4\0\r\n", 17)
                                  << ": the file holds bytes that are not text (a NUL byte at offset 129).";
        QTest::newRow("no file") << QByteArray() << "";
        QTest::newRow("not UTF-8") << QByteArray("ButtonMode = 4 \xff\r\n")
                                   << ": the file holds bytes that are not text (not UTF-8 text).";
    }
    // A file with a value its parameter cannot hold, or with lines that cannot be read, changes no
    // parameter and says which file, line and parameter it is and what would have been allowed.
    void badFilesAreRefusedAndSaySo()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, said);
        TransferNet net;
        const QStringList before = values(net);
        const QString path = net.dir.filePath("bad.dat");
        if (!settings.isNull())
            writeFile(path, header() + "[Settings]\r\n" + settings);
        const TqmError error = raised([&] { (void)net.file.LoadFromFile(path, net.ini, "veltoTqmCmdModule", ProgramId, "1"); });
        QVERIFY2(error.description().contains(path + said), qPrintable(error.description()));
        QCOMPARE(error.number() == TqmError::FileNotFound, settings.isNull());
        QCOMPARE(values(net), before);
        for (cParam *p : net.params.AllParameters())
            QVERIFY2(!p->Changed(), qPrintable(p->Name()));
    }

    void failedSaveKeepsTheEarlierFile_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("parent is a file") << "parent";
        QTest::newRow("file size limit") << "limit";
    }
    // Tests run as root, so a read-only directory would not stop the save: the failures are real
    // ones that root meets as well.
    void failedSaveKeepsTheEarlierFile()
    {
        QFETCH(QString, how);
        TransferNet net;
        QString path = net.dir.filePath("old.dat");
        const QByteArray old = "earlier set";
        writeFile(path, old);
        if (how == QLatin1String("parent"))
            path += QStringLiteral("/new.dat");

        // With the limit, larger files cannot be written by this process for a moment.
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit previous{};
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limited = previous;
        if (how == QLatin1String("limit"))
            limited.rlim_cur = 64;
        setrlimit(RLIMIT_FSIZE, &limited);
        const bool saved = net.file.WriteToFile(path, "veltoTqmCmdModule", ProgramId, "1");
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);

        QVERIFY(!saved);
        QCOMPARE(readFile(net.dir.filePath("old.dat")), old);
        QCOMPARE(QDir(net.dir.path()).entryList(QStringList{"old.dat*"}, QDir::Files), QStringList{"old.dat"});
    }
};

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_transfer.moc"
