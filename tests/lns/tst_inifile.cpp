#include "params/paramsnet.h"
#include "support/raised.h"

#include "lns/inifile.h"
#include "lns/inilocator.h"
#include "lns/logger.h"
#include "lns/product.h"

#include <QtTest>

namespace {

const QByteArray Bom("\xEF\xBB\xBF");

// A small plug-in INI file; `eol` chooses the line-end style.
QByteArray pluginIni(const QByteArray &eol = "\n")
{
    const QList<QByteArray> lines = {
        "; comment",
        "# another comment",
        "[velto TqmCommandModule CPs 1.0 ]",
        "ButtonMode = 3,2,0",
        "PanelType = 1,0,0",
        "PanelType@TQM_CM_L1 =",
        "TempCalib@TQM_CM_L2 = 4",
        "Limitation = 1",
        "Limitation@TQM_CM_L2 = 2",
        "",
        "  [velto TqmCommandModule NVs 1.0]\t",
        "  nvoSpaceTemp   =\t 5 , 2  ",
        "[velto TqmCommandModule Templates 1.0]",
        "Template1 = TQM_CM_L1,90:00:5D:50:28:04:04:01",
        "Template2 = TQM_CM_L2,90:00:5D:50:28:04:04:02",
        "Template4 = TQM_CM_L4,90:00:5D:50:28:04:04:04",
        "[velto TqmCommandModule ProgramIds 1.0]",
        "1 = 90:00:5D:50:28:04:04:01",
        "[velto TqmCommandModule Compatible 1.0]",
        "90:00:5D:50:28:04:04:02 = 90:00:5D:50:28:04:04:01, 90:00:5D:50:28:04:04:03,",
        "[velto TqmCommandModule AppDoc 1.0]",
        "90:00:5D:50:28:04:04:01 = doc/en.pdf",
        "90:00:5D:50:28:04:04:01@1000 = doc/de.pdf",
    };
    QByteArray text;
    for (const QByteArray &line : lines)
        text += line + eol;
    return text;
}

} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    QString writeFile(const QByteArray &content)
    {
        const QString name = m_dir.filePath(QStringLiteral("f%1.ini").arg(++m_files));
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            qFatal("cannot write test file");
        return name;
    }

private slots:
    void lineEndsAndBom_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("LF") << pluginIni("\n");
        QTest::newRow("CRLF") << pluginIni("\r\n");
        QTest::newRow("CR") << pluginIni("\r");
        QTest::newRow("BOM CRLF") << Bom + pluginIni("\r\n");
        QTest::newRow("no final line end") << pluginIni("\n").chopped(1);
    }
    void lineEndsAndBom()
    {
        QFETCH(QByteArray, content);
        IniFile ini(writeFile(content));
        QCOMPARE(ini.problems(), QStringList());
        QCOMPARE(ini.GetCpIndex("ButtonMode", product::CpSection, "TQM_CM_L2"), qint16(3));
        QCOMPARE(ini.GetEntryField("nvoSpaceTemp", product::NvSection, "TQM_CM_L2", 2), qint16(2));
        QCOMPARE(ini.GetValue("velto TqmCommandModule AppDoc 1.0", "90:00:5D:50:28:04:04:01@1000"),
                 QStringLiteral("doc/de.pdf"));
        QCOMPARE(ini.TemplateEntryCount(), 2);
    }

    void templateValue_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("deviceTemplate");
        QTest::addColumn<QString>("expected");
        const QString cps = product::CpSection;
        QTest::newRow("plain key for any template") << "PanelType" << cps << "TQM_CM_L2" << "1,0,0";
        QTest::newRow("empty override hides plain key") << "PanelType" << cps << "TQM_CM_L1" << "";
        QTest::newRow("override wins") << "Limitation" << cps << "TQM_CM_L2" << "2";
        QTest::newRow("only for one template") << "TempCalib" << cps << "TQM_CM_L1" << "";
        QTest::newRow("only for one template, matching") << "TempCalib" << cps << "TQM_CM_L2" << "4";
        QTest::newRow("key case and blanks") << "  limitation " << cps << "tqm_cm_l2" << "2";
        QTest::newRow("section without trailing blank") << "ButtonMode" << cps.trimmed() << "X" << "3,2,0";
        QTest::newRow("section written without, asked with blank")
            << "nvoSpaceTemp" << product::NvSection << "X" << "5 , 2";
        QTest::newRow("absent key") << "Nothing" << cps << "TQM_CM_L1" << "";
        QTest::newRow("absent section") << "ButtonMode" << "No Section" << "TQM_CM_L1" << "";
        QTest::newRow("empty template reads plain") << "Limitation" << cps << "" << "1";
    }
    void templateValue()
    {
        QFETCH(QString, key);
        QFETCH(QString, section);
        QFETCH(QString, deviceTemplate);
        IniFile ini(writeFile(pluginIni()));
        QTEST(ini.GetTemplateValue(key, section, deviceTemplate), "expected");
    }

    void entryFields_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("cpIndex");
        QTest::addColumn<int>("field2");
        QTest::addColumn<int>("field3");
        QTest::newRow("three fields") << QByteArray("7,3,2") << 7 << 3 << 2;
        QTest::newRow("missing trailing fields") << QByteArray("7") << 7 << 0 << 0;
        QTest::newRow("negative field") << QByteArray("7,-1,0") << 7 << -1 << 0;
        QTest::newRow("not a number") << QByteArray("x,3") << 0 << 3 << 0;
        QTest::newRow("beyond 16 bits") << QByteArray("70000,1") << 0 << 1 << 0;
        QTest::newRow("absent (empty value)") << QByteArray("") << -1 << -1 << -1;
    }
    void entryFields()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, cpIndex);
        IniFile ini(writeFile("[velto TqmCommandModule CPs 1.0 ]\nCp = " + value + "\n"));
        const QString s = product::CpSection;
        QCOMPARE(int(ini.GetCpIndex("Cp", s, "T")), cpIndex);
        QCOMPARE(int(ini.GetEntryField("Cp", s, "T", 1)), cpIndex);
        QTEST(int(ini.GetEntryField("Cp", s, "T", 2)), "field2");
        QTEST(int(ini.GetEntryField("Cp", s, "T", 3)), "field3");
    }

    void badLines_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("problemLines"); // ":n:" fragments expected among the problems
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("key before any section") << QByteArray("a = 1\n[S]\nb = 2\n") << QStringList{":1:"} << "b" << "2";
        QTest::newRow("line without =") << QByteArray("[S]\njunk\nb = 2\n") << QStringList{":2:"} << "b" << "2";
        QTest::newRow("unterminated header hides its keys")
            << QByteArray("[S]\nb = 2\n[T\nb = 3\n") << QStringList{":3:", ":4:"} << "b" << "2";
        QTest::newRow("duplicate key, first wins")
            << QByteArray("[S]\nb = 2\nB = 3\n") << QStringList{":3:"} << "b" << "2";
        QTest::newRow("empty key") << QByteArray("[S]\n = 5\nb = 2\n") << QStringList{":2:"} << "b" << "2";
        QTest::newRow("section reopened merges")
            << QByteArray("[S]\na = 1\n[T]\n[ S ]\nb = 2\n") << QStringList{} << "b" << "2";
        QTest::newRow("value with = inside") << QByteArray("[S]\nb = x=y\n") << QStringList{} << "b" << "x=y";
        QTest::newRow("NUL bytes") << QByteArray("[S]\n\0\0\0\nb = 2\n", 14) << QStringList{":2:"} << "b" << "2";
        QTest::newRow("invalid UTF-8 read as single-byte")
            << QByteArray("[S]\nb = Gr\xFC\xDF" "e\n") << QStringList{} << "b" << QString::fromLatin1("Gr\xFC\xDF" "e");
        QTest::newRow("byte-order mark before a single-byte body")
            << Bom + QByteArray("[S]\nb = Gr\xFC\xDF" "e\n") << QStringList{} << "b"
            << QString::fromLatin1("Gr\xFC\xDF" "e");
    }
    void badLines()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, problemLines);
        QFETCH(QString, key);
        const QString name = writeFile(content);
        IniFile ini(name);
        QTEST(ini.GetValue("S", key), "expected");
        QCOMPARE(ini.problems().size(), problemLines.size());
        for (int i = 0; i < problemLines.size(); ++i)
            QVERIFY2(ini.problems()[i].startsWith(name + problemLines[i]), qPrintable(ini.problems()[i]));
    }

    // A file that cannot be read as INI answers as an empty one and says why, in few lines.
    void unreadableFileAnswersEmpty_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file at all
        QTest::addColumn<int>("problems");       // at most
        QByteArray garbage(200000, Qt::Uninitialized);
        QRandomGenerator(12345).fillRange(reinterpret_cast<quint32 *>(garbage.data()), garbage.size() / 4);
        QTest::newRow("missing") << QByteArray() << 1;
        QTest::newRow("oversized") << QByteArray("[S]\nk = 1\n") + QByteArray(IniFile::MaximumFileSize, ';') << 1;
        QTest::newRow("binary garbage") << garbage << IniFile::MaximumProblems + 1;
    }
    void unreadableFileAnswersEmpty()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, problems);
        const QString name = content.isNull() ? m_dir.filePath("does-not-exist.ini") : writeFile(content);
        IniFile ini(name);
        QVERIFY(!ini.problems().isEmpty() && ini.problems().size() <= problems);
        QVERIFY2(ini.problems().first().startsWith(name), qPrintable(ini.problems().first()));
        QCOMPARE(ini.GetValue("S", "k"), QString());
        QCOMPARE(ini.GetCpIndex("k", "S", "T"), qint16(-1));
        QCOMPARE(ini.TemplateEntryCount(), 0);
        QCOMPARE(ini.GetAppDocPath("x", 0), QString());
    }

    void programIdLookups()
    {
        const QString name = writeFile(pluginIni());
        IniFile ini(name);
        QCOMPARE(ini.templateEntry(2).deviceTemplate, QStringLiteral("TQM_CM_L2"));
        QCOMPARE(ini.templateEntry(2).programId, QStringLiteral("90:00:5D:50:28:04:04:02"));
        QCOMPARE(ini.templateEntry(3).deviceTemplate, QString()); // the walk stops at the gap
        QCOMPARE(ini.GetProgramIdByNumber(1), QStringLiteral("90:00:5D:50:28:04:04:01"));
        QCOMPARE(ini.GetProgramIdByNumber(2), QString());
        QCOMPARE(ini.GetCompatibleProgramIds("90:00:5D:50:28:04:04:02"),
                 (QStringList{"90:00:5D:50:28:04:04:01", "90:00:5D:50:28:04:04:03"}));
        QCOMPARE(ini.GetCompatibleProgramIds("90:00:5D:50:28:04:04:01"), QStringList());
        const QString dir = QFileInfo(name).absolutePath();
        QCOMPARE(ini.GetAppDocPath("90:00:5D:50:28:04:04:01", 0), dir + "/doc/en.pdf");
        QCOMPARE(ini.GetAppDocPath("90:00:5D:50:28:04:04:01", 1000), dir + "/doc/de.pdf");
        QCOMPARE(ini.GetAppDocPath("90:00:5D:50:28:04:04:02", 0), QString());
    }
    // The locator on the parameter-model network: the device "Dev" with CPs Cp4, Cp2, ..., its
    // LonMark object "Module" (object 2) with LmoCp, LmoCp1 and the network variable nvoTemp,
    // which holds NvCp.
    void forms_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected"); // the object's name, or the cause
        QTest::addColumn<QString>("label");    // the routine label a module look-up logs

        QTest::newRow("object CP") << "FetchLmoCp" << "LmoCp" << "LmoCp" << "";
        QTest::newRow("CP of the object's NV") << "FetchLmoCp" << "NvCp" << "NvCp" << "";
        QTest::newRow("object CP, absent") << "FetchLmoCp" << "Absent" << "INI - File Error : Absent" << "";
        QTest::newRow("object CP, no such position")
            << "FetchLmoCp" << "BadCp" << "INI-File Error (CP, CP-Fetch): BadCp / CP-Index=9" << "";
        QTest::newRow("device CP") << "FetchDevCp" << "Cp2" << "Cp2" << "FetchDevCp";
        QTest::newRow("second object's CP 2") << "FetchDevCp" << "DevLmoCp" << "LmoCp1" << "FetchDevCp";
        QTest::newRow("second object's NV CP") << "FetchDevCp" << "DevNvCp" << "NvCp" << "FetchDevCp";
        QTest::newRow("no such object")
            << "FetchDevCp" << "BadObject" << "INI-File Error (CP, Object-Fetch): BadObject / Object-Index=7" << "FetchDevCp";
        QTest::newRow("no such NV") << "FetchDevCp" << "BadNv" << "INI-File Error (CP, NV-Fetch): BadNv / NV-Index=5" << "FetchDevCp";
        QTest::newRow("no such CP") << "FetchDevCp" << "BadCp" << "INI-File Error (CP, CP-Fetch): BadCp / CP-Index=9" << "FetchDevCp";
        QTest::newRow("own CP list only") << "FetchCp" << "ObjectsOwnCp" << "LmoCp1" << "FetchCp";
        QTest::newRow("own CP list, absent") << "FetchCp" << "Absent" << "INI - File Error : Absent" << "FetchCp";
        QTest::newRow("object or NV CP") << "FetchCpOfObjectOrNv" << "NvCp" << "NvCp" << "FetchCp";
        QTest::newRow("device NV") << "FetchDevNv" << "nvoTemp" << "nvoTemp" << "FetchDevNv";
        QTest::newRow("device NV, no such position")
            << "FetchDevNv" << "NoNv" << "INI-File Error (NV, NV-Fetch): NoNv / NV-Index=3" << "FetchDevNv";
        QTest::newRow("object NV, absent") << "FetchNv" << "nvoNope" << "INI - File Error : nvoNope" << "FetchNv";
        QTest::newRow("device NV, index 0") << "FetchDevNv" << "ZeroNv" << "INI - File Error : ZeroNv" << "FetchDevNv";
        QTest::newRow("object NV, index 0") << "FetchNv" << "ZeroNv" << "INI - File Error : ZeroNv" << "FetchNv";
    }
    void forms()
    {
        QFETCH(QString, form);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QFETCH(QString, label);
        ParamsNet net;
        MemoryLogger logger;
        const IniLocator locator(net.ini, ParamsNet::Template, &logger);
        const bool isNv = form == QLatin1String("FetchDevNv") || form == QLatin1String("FetchNv");
        const QString section = isNv ? product::NvSection : product::CpSection;

        bool succeed = false;
        const QHash<QString, std::function<lns::ObjectPtr()>> fetch{
            {"FetchLmoCp", [&] { return locator.FetchLmoCp(name, section, net.module, &succeed); }},
            {"FetchDevCp", [&] { return locator.FetchDevCp(name, section, net.device, &succeed); }},
            {"FetchCp", [&] { return locator.FetchCp(name, section, net.module, &succeed); }},
            {"FetchCpOfObjectOrNv", [&] { return locator.FetchCpOfObjectOrNv(name, section, net.module, &succeed); }},
            {"FetchDevNv", [&] { return locator.FetchDevNv(name, section, net.device, &succeed); }},
            {"FetchNv", [&] { return locator.FetchNv(name, section, net.module, &succeed); }}};
        const lns::ObjectPtr found = fetch.value(form)();

        const bool fails = expected.startsWith(QLatin1String("INI"));
        QCOMPARE(succeed, !fails);
        QCOMPARE(found ? found->name() : QString(), fails ? QString() : expected);
        QCOMPARE(logger.labels, label.isEmpty() ? QStringList() : QStringList{"[M_PlugIn] Public Sub " + label + "()"});
        if (form == QLatin1String("FetchLmoCp"))
            QCOMPARE(locator.lmoCp(name, section, net.module).failure, fails ? expected : QString());
        if (form == QLatin1String("FetchDevCp"))
            QCOMPARE(locator.devCp(name, section, net.device).failure, fails ? expected : QString());
    }

    void withoutSucceedTheCauseIsRaised()
    {
        ParamsNet net;
        const IniLocator locator(net.ini, ParamsNet::Template);
        const TqmError error = raised([&] { locator.FetchDevCp(QStringLiteral("BadNv"), product::CpSection, net.device); });
        QCOMPARE(error.number(), TqmError::IniFileError);
        QCOMPARE(error.source(), product::ProductName);
        QCOMPARE(error.description(), QStringLiteral("INI-File Error (CP, NV-Fetch): BadNv / NV-Index=5"));
        QCOMPARE(locator.cpOf(net.module, QStringLiteral("LmoCp"), product::CpSection).object->name(), QStringLiteral("LmoCp"));
        QCOMPARE(locator.cpOf(net.device, QStringLiteral("Cp2"), product::CpSection).object->name(), QStringLiteral("Cp2"));
        QVERIFY(!locator.cpOf(nullptr, QStringLiteral("Cp2"), product::CpSection));
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
