#include "transfernet.h"
#include "support/raised.h"

#include <QTest>
#include <csignal>
#include <sys/resource.h>

using E = cParamEnums;

namespace {

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

class TestParamSetFile : public QObject
{
    Q_OBJECT
private slots:
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

QTEST_GUILESS_MAIN(TestParamSetFile)
#include "tst_paramsetfile.moc"
