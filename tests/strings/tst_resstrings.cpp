#include "strings/resstrings.h"
#include "base/textutility.h"
#include "base/tqmerror.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

namespace {

QHash<int, QString> compiledTable(const QString &file)
{
    QFile resource(QStringLiteral(":/strings/") + file);
    if (!resource.open(QIODevice::ReadOnly))
        return {};
    return ResStrings::ParseTable(QString::fromUtf8(resource.readAll()), file);
}

QString withLineBreaks(QString text)
{
    return text.replace(QStringLiteral("¶"), QStringLiteral("\r\n"));
}

QStringList placeholdersOf(const QString &piece)
{
    static const QRegularExpression placeholder(QStringLiteral("%[1-9]"));
    QStringList found;
    for (const auto &match : placeholder.globalMatch(piece))
        found << match.captured();
    found.sort();
    return found;
}

// Texts that other parts of the program show or compare, exactly as they must read.
struct Quoted
{
    int number;
    int piece;
    const char *text;
};

const Quoted quotedEnglish[] = {
    {1000, 1, "Cmd Module"}, {1001, 1, "Configuration"}, {1002, 1, "Monitoring"},
    {1003, 1, "Controlling"}, {1004, 1, "Calibration"}, {1005, 1, "Object configuration"},
    {1010, 1, "Temperature measuring"}, {1011, 1, "Operation"}, {1012, 1, "Nv timing"},
    {1015, 1, "Monitoring"}, {1020, 1, "Temperature sensor"}, {1021, 1, "Turning knob"},
    {1031, 1, "internal only (INTERNAL)"}, {1032, 1, "external, if available (OVERRIDE)"},
    {1033, 1, "calculate average value (AVERAGE)"},
    {1036, 1, "invalid after"}, {1036, 2, "Receive heartbeat"},
    {1038, 1, "resend every"}, {1038, 2, "Send heartbeat"},
    {1041, 1, "Temperature difference"}, {1051, 1, "Range"},
    {1052, 1, "disabled"}, {1052, 2, "± 0.5 degree"}, {1052, 3, "± 1 degree"},
    {1052, 4, "± 1.5 degrees"}, {1052, 5, "± 2 degrees"}, {1052, 6, "± 2.5 degrees"},
    {1052, 7, "± 3 degrees"}, {1052, 8, "± 3.5 degree"}, {1052, 9, "± 4 degrees"},
    {1052, 10, "± 4.5 degrees"}, {1052, 11, "± 5 degrees"},
    {1055, 1, "Toggle switch operation"}, {1056, 1, "Switch"},
    {1057, 1, "changes HVAC app mode"}, {1057, 2, "changes Fan speed level"},
    {1057, 3, "changes HVAC mode"}, {1057, 4, "is not available"},
    {1060, 1, "Upper switch position"}, {1061, 1, "Lower switch position"},
    {1062, 1, "No. of fan speed levels"},
    {1063, 1, "1 level (on/off)"}, {1063, 5, "5 levels"},
    {1065, 1, "Auto"}, {1065, 2, "Heat"}, {1065, 3, "Warm-up"}, {1065, 4, "Cool"},
    {1065, 5, "Night Purge"}, {1065, 6, "Pre Cool"}, {1065, 7, "Off"}, {1065, 8, "Emerg. Heat"},
    {1066, 1, "off"}, {1066, 2, "on"}, {1066, 3, "level"},
    {1067, 1, "comfort"}, {1067, 2, "economy"}, {1067, 3, "standby"}, {1067, 4, "invalid"},
    {1071, 1, "For -"}, {1072, 1, "For +"},
    {1073, 1, "none"}, {1073, 2, "menu button %1"}, {1073, 3, "button %1 (left) "},
    {1073, 4, "button %1 (right)"}, {1073, 5, "digital input %1"},
    {1075, 1, "no function"}, {1075, 7, "on push"}, {1075, 9, "setpoint decreased"},
    {1075, 10, "setpoint increased"}, {1075, 11, "automatic"}, {1075, 12, "override"},
    {1076, 1, "Shift step per button press"},
    {1081, 1, "when occupied send"}, {1082, 1, "when unoccupied send"},
    {1102, 1, "Calibrate"}, {1103, 1, "Calibrating ..."},
    {1104, 1, "Calibration succeeded."}, {1104, 2, "Calibration failed."},
    {1104, 3, "Calibration not possible."},
    {1105, 1, "Copy final calibration value to several sensors"}, {1107, 1, "Copy ..."},
    {1112, 1, "Calibrate"}, {1113, 1, "Other Limit Stop ..."},
    {1114, 1, "Calibration succeeded."}, {1114, 2, "Calibration failed."},
    {1114, 3, "Calibration not possible."},
    {1120, 1, "Last calibration"}, {1123, 1, "not calibrated"},
    {1124, 1, "Reset"}, {1125, 1, "Reset ..."}, {1130, 1, "Output Monitoring"},
    {1137, 1, "invalid"}, {1137, 2, "off"}, {1137, 3, "on"},
    {1140, 1, "ATTENTION: The parameters have not been written."},
    {1200, 1, "Start resetting turning knob calibration ..."},
    {1200, 2, "Resetting turning knob calibration completed."},
    {1201, 1, "Start calibrating temperature sensor ..."},
    {1201, 2, "Temperature sensor calibration completed."},
    {1202, 1, "Ok"}, {1203, 1, "Cannot communicate"},
    {1204, 1, "Copying the final calibration value is not supported by the current application."},
    {1204, 2, "Resetting the turning knob calibration is not supported by the current application."},
    {1205, 1, "Error:"},
    {1206, 1, "This device has no manufacturer calibration anymore. Therefore the final calibration value was not copied."},
    {1207, 1, "Final calibration succeeded."},
    {1208, 1, "Resetting turning knob calibration succeeded."},
    {1208, 2, "Resetting turning knob calibration failed."},
    {1209, 1, "Temperature sensor calibration succeeded."},
    {1209, 2, "Temperature sensor calibration failed."},
    {1209, 3, "Temperature sensor calibration is not possible, because the device is not accessible."},
    {1370, 1, "&File"}, {1370, 2, "&Help"},
    {1371, 1, "&Load from file"}, {1371, 2, "S&ave to file"}, {1371, 3, "&Read parameters"},
    {1371, 4, "&Write parameters"}, {1371, 5, "&Copy parameters ..."}, {1371, 6, "Lan&guage"},
    {1371, 7, "E&xit"},
    {1372, 1, "&Help"}, {1372, 2, "&Technical documentation"}, {1372, 3, "Device info"},
    {1372, 4, "A&bout this plug-in..."},
    {1373, 1, "German"}, {1373, 2, "English"},
    {1374, 1, "OK"}, {1374, 2, "Cancel"}, {1374, 3, "Apply"},
    {1380, 1, "Logger"}, {1411, 1, "The value"},
    {1421, 1, "%1 %2 %3 is too high. The valid range is from %4 up to %5 %6.¶¶\"%7\" is set to %8 %9."},
    {1422, 1, "%1 %2 %3 is too low. The valid range is from %4 up to %5 %6.¶¶\"%7\" is set to %8 %9."},
    {1425, 1, "The help file \"%1\" was not found !"},
    {1426, 1, "At least one of the required components to show the html help was not found.¶Please make sure that the Microsoft Internet Explorer v4.01 or higher¶and the Microsoft html help file viewer is installed on this machine."},
    {1428, 1, "Parameters have been changed !¶¶Do you want to read parameters from \"%1\" ?"},
    {1428, 2, "Parameters have been changed !¶¶Do you want to load parameters from file?"},
    {1428, 3, "Parameters have been changed !¶¶Do you want to quit the plug-in?"},
    {1435, 2, "Errors occured while registering the plug-in."},
    {1436, 1, "The project can not be opened !¶¶Please close some LNS applications (e.g. plug-ins) and retry."},
    {1437, 1, "INI file consistency error !¶¶Please reinstall and re-register the plug-in."},
    {1490, 1, "The language will be changed for all velto o.trema Plug-ins to %1.¶¶This setting will take effect not until the plug-in is restarted."},
    {1491, 1, "The selected device is not accessible.¶¶The plug-in will not be started."},
    {1500, 1, "Writing parameters..."}, {1500, 2, "Writing set %1 ..."}, {1500, 3, "Device %1"},
    {1501, 1, "Reading parameters ..."}, {1501, 3, "Reading configuration ..."},
    {1504, 2, "Connecting to LNS server ..."}, {1507, 1, "Disconnecting from LNS server ..."},
    {1508, 1, "The LNS server can not be opened ! %1 is being closed."},
    {1513, 1, "Registering plug-in ..."}, {1517, 1, "Ready."}, {1519, 1, "Scanning project ..."},
    {1520, 1, "The selected parameter set is not valid for this plug-in."},
    {1520, 2, "The selected parameter set is not valid for this device."},
    {1521, 1, "The version of the selected parameter set is not compatible with this plug-in."},
    {1523, 1, "The parameters could not be saved correctly."},
    {1526, 1, "The INI file does not exist :"},
    {1528, 1, "Communication with device failed."}, {1530, 1, "Plug-in started"},
    {1535, 1, "An error occured while writing parameters."},
    {1542, 1, "An error occured while changing the type of network variable \"%1\"."},
    {1550, 1, "Start reading parameters ..."}, {1550, 2, "Reading parameters completed."},
    {1551, 1, "Start writing parameters ..."}, {1551, 2, "Writing parameters completed."},
    {1553, 1, "The following config properties will be written:"},
    {1600, 1, "Load data from file"}, {1600, 2, "Save data to file"},
    {1601, 1, "Data (*.dat)|*.dat|All (*.*)|*.*"},
    {1800, 1, "configure tqm command module"},
    {1801, 1, "Configuration plug-in for velto o.trema tqm command module"},
    {1803, 1, "calibrate tqm command module"},
    {1804, 1, "Calibration plug-in for velto o.trema tqm command module"},
    {1805, 1, "monitor tqm command module"},
    {1806, 1, "Monitoring plug-in for velto o.trema tqm command module"},
    {1809, 1, "velto otrema tqm command module"},
    {1850, 1, "About velto o.trema tqm command module plug-in"},
    {1851, 1, "velto TQM Command Module (%1)"},
};

} // namespace

class TestResStrings : public QObject
{
    Q_OBJECT
private slots:
    void init() { setLanguage(ResStrings::English); }
    void cleanupTestCase() { setLanguage(ResStrings::English); }

    void everyNumberInBothLanguagesAndNoOther()
    {
        QSet<int> expected;
        for (int number : ResStrings::EnglishNumbers) {
            expected << number << number + ResStrings::German;
            QVERIFY2(ResStringExists(number), qPrintable(QString::number(number)));
            QVERIFY2(ResStringExists(number + ResStrings::German),
                     qPrintable(QString::number(number + ResStrings::German)));
        }
        QCOMPARE(expected.size(), 430);
        const QList<int> loaded = ResStrings::LoadedNumbers();
        QCOMPARE(QSet<int>(loaded.begin(), loaded.end()), expected);
        QVERIFY(!ResStringExists(1700)); // the logger's number, deliberately without a text
    }

    void languagesAgree_data()
    {
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("german");
        const QHash<int, QString> en = compiledTable(QStringLiteral("en.txt"));
        const QHash<int, QString> de = compiledTable(QStringLiteral("de.txt"));
        for (int number : ResStrings::EnglishNumbers)
            QTest::newRow(qPrintable(QString::number(number)))
                << en.value(number) << de.value(number + ResStrings::German);
    }
    void languagesAgree()
    {
        QFETCH(QString, english);
        QFETCH(QString, german);
        const QStringList en = english.split(ResStrings::PieceSeparator);
        const QStringList de = german.split(ResStrings::PieceSeparator);
        QCOMPARE(de.size(), en.size());
        for (qsizetype i = 0; i < en.size(); ++i) {
            QCOMPARE(placeholdersOf(de[i]), placeholdersOf(en[i]));
            QVERIFY2(!de[i].trimmed().isEmpty(), "empty German piece");
        }
    }

    // Editors like to strip or add blanks at line ends; only this one piece carries them.
    void onlyKnownPiecesHaveOuterBlanks()
    {
        const QHash<int, QString> tables[] = {compiledTable(QStringLiteral("en.txt")),
                                              compiledTable(QStringLiteral("de.txt"))};
        QStringList withBlanks;
        for (const auto &table : tables)
            for (auto it = table.begin(); it != table.end(); ++it) {
                const QStringList pieces = it.value().split(ResStrings::PieceSeparator);
                for (qsizetype i = 0; i < pieces.size(); ++i)
                    if (pieces[i] != pieces[i].trimmed())
                        withBlanks << QStringLiteral("%1/%2").arg(it.key()).arg(i + 1);
            }
        withBlanks.sort();
        QCOMPARE(withBlanks, QStringList({QStringLiteral("1073/3"), QStringLiteral("2073/3")}));
    }

    void quotedTexts_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("piece");
        QTest::addColumn<QString>("expected");
        for (const Quoted &q : quotedEnglish)
            QTest::addRow("%d/%d", q.number, q.piece)
                << q.number << q.piece << withLineBreaks(QString::fromUtf8(q.text));
    }
    void quotedTexts()
    {
        QFETCH(int, number);
        QFETCH(int, piece);
        QFETCH(QString, expected);
        QCOMPARE(GetResString(number, piece), expected);
    }

    void lookup_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("piece");
        QTest::addColumn<QString>("expected");
        QTest::newRow("line breaks as CR LF")
            << 0 << 1428 << 3
            << "Parameters have been changed !\r\n\r\nDo you want to quit the plug-in?";
        QTest::newRow("piece 0 is piece 1") << 0 << 1530 << 0 << "Plug-in started";
        QTest::newRow("piece 0 of a split text") << 0 << 1374 << 0 << "OK";
        QTest::newRow("beyond the last piece") << 0 << 1374 << 4 << "";
        QTest::newRow("negative piece") << 0 << 1374 << -1 << "";
        QTest::newRow("German piece") << 1000 << 1104 << 2 << "Kalibrierung fehlgeschlagen.";
        QTest::newRow("German default text") << 1000 << 1123 << 1 << "nicht kalibriert";
        QTest::newRow("unknown language reads English") << 7 << 1123 << 1 << "not calibrated";
    }
    void lookup()
    {
        QFETCH(int, language);
        QFETCH(int, id);
        QFETCH(int, piece);
        QFETCH(QString, expected);
        setLanguage(language);
        QCOMPARE(GetResString(id, piece), expected);
    }

    void germanPieceMatchesItsOwnNumber()
    {
        setLanguage(ResStrings::German);
        const QString german = compiledTable(QStringLiteral("de.txt")).value(2104);
        QCOMPARE(GetResString(1104, 2), TextUtility::Token(german, 2, ResStrings::PieceSeparator));
    }

    void explicitLanguageIgnoresCurrentOne()
    {
        setLanguage(ResStrings::German);
        QCOMPARE(GetResStringIn(ResStrings::English, 1123), QStringLiteral("not calibrated"));
        QCOMPARE(GetResStringIn(ResStrings::German, 1123), QStringLiteral("nicht kalibriert"));
        QCOMPARE(language(), ResStrings::German);
    }

    void placeholdersFilledAfterLineBreaks()
    {
        const QString text = GetResString(
            1421, 0,
            {GetResString(1411), QStringLiteral("35"), QStringLiteral("°C"), QStringLiteral("10"),
             QStringLiteral("30"), QStringLiteral("°C"), QStringLiteral("Set¶point"),
             QStringLiteral("30"), QStringLiteral("°C")});
        QCOMPARE(text, QStringLiteral("The value 35 °C is too high. The valid range is from 10 up "
                                      "to 30 °C.\r\n\r\n\"Set¶point\" is set to 30 °C."));
    }

    void missingNumberRaises_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("named");
        QTest::newRow("never numbered") << 0 << 1700 << "1700";
        QTest::newRow("below the table") << 0 << 999 << "999";
        QTest::newRow("German offset applied") << 1000 << 1700 << "2700";
        QTest::newRow("German number given in German") << 1000 << 2000 << "3000";
    }
    void missingNumberRaises()
    {
        QFETCH(int, language);
        QFETCH(int, id);
        QFETCH(QString, named);
        setLanguage(language);
        try {
            GetResString(id, 1);
            QFAIL("no error raised");
        } catch (const TqmError &e) {
            QCOMPARE(e.number(), TqmError::ResourceMissing);
            QCOMPARE(e.source(), QStringLiteral("GetResString"));
            QVERIFY2(e.description().contains(named), qPrintable(e.description()));
        }
    }

    void parseKeepsTextsExactly()
    {
        const QHash<int, QString> texts = ResStrings::ParseTable(
            QStringLiteral("# comment = not an entry\n\n1000 = a = b¦c \r\n1001 = \n1002 =  x"),
            QStringLiteral("t.txt"));
        QCOMPARE(texts.size(), 3);
        QCOMPARE(texts.value(1000), QStringLiteral("a = b¦c "));
        QCOMPARE(texts.value(1001), QString());
        QCOMPARE(texts.value(1002), QStringLiteral(" x"));
    }

    void parseRejectsBadLines_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("where");
        QTest::newRow("no blanks around =") << "1000 = a\n1001=b" << "t.txt, line 2";
        QTest::newRow("three-digit number") << "999 = a" << "t.txt, line 1";
        QTest::newRow("text without number") << "\n\nHello" << "t.txt, line 3";
        QTest::newRow("indented comment") << " # note" << "t.txt, line 1";
        QTest::newRow("number twice") << "1000 = a\n# x\n1000 = b" << "t.txt, line 3";
    }
    void parseRejectsBadLines()
    {
        QFETCH(QString, content);
        QFETCH(QString, where);
        try {
            ResStrings::ParseTable(content, QStringLiteral("t.txt"));
            QFAIL("no error raised");
        } catch (const TqmError &e) {
            QVERIFY2(e.description().startsWith(where), qPrintable(e.description()));
        }
    }
};

QTEST_GUILESS_MAIN(TestResStrings)
#include "tst_resstrings.moc"
