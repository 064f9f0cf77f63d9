#include "params/paramsnet.h"
#include "support/raised.h"

#include "lns/inilocator.h"
#include "lns/logger.h"

#include <QTest>

// The locator on the parameter-model network: the device "Dev" with CPs Cp4, Cp2, ..., its
// LonMark object "Module" (object 2) with LmoCp, LmoCp1 and the network variable nvoTemp, which
// holds NvCp.
class TestIniLocator : public QObject
{
    Q_OBJECT
private slots:
    void forms_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected"); // the object's name, or the cause
        QTest::addColumn<QString>("label");    // the routine label a module look-up logs

        QTest::newRow("object CP") << "FetchLmoCp" << "LmoCp" << "LmoCp" << "";
        QTest::newRow("CP of the object's NV") << "FetchLmoCp" << "NvCp" << "NvCp" << "";
        QTest::newRow("object CP, absent") << "FetchLmoCp" << "Absent" << "INI - File Error : Absent" << "";
        QTest::newRow("object CP, gap for the template") << "FetchLmoCp" << "Gap" << "INI - File Error : Gap" << "";
        QTest::newRow("object CP, no such position")
            << "FetchLmoCp" << "BadCp" << "INI-File Error (CP, CP-Fetch): BadCp / CP-Index=9" << "";
        QTest::newRow("device CP") << "FetchDevCp" << "Cp2" << "Cp2" << "FetchDevCp";
        QTest::newRow("second object's CP 2") << "FetchDevCp" << "DevLmoCp" << "LmoCp1" << "FetchDevCp";
        QTest::newRow("second object's NV CP") << "FetchDevCp" << "DevNvCp" << "NvCp" << "FetchDevCp";
        QTest::newRow("no such object")
            << "FetchDevCp" << "BadObject" << "INI-File Error (CP, Object-Fetch): BadObject / Object-Index=7" << "FetchDevCp";
        QTest::newRow("no such NV") << "FetchDevCp" << "BadNv" << "INI-File Error (CP, NV-Fetch): BadNv / NV-Index=5" << "FetchDevCp";
        QTest::newRow("no such CP") << "FetchDevCp" << "BadCp" << "INI-File Error (CP, CP-Fetch): BadCp / CP-Index=9" << "FetchDevCp";
        QTest::newRow("device CP, absent") << "FetchDevCp" << "Absent" << "INI-File Error (CP, CP-Fetch): Absent / CP-Index=-1" << "FetchDevCp";
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
        lns::ObjectPtr found;
        if (form == QLatin1String("FetchLmoCp"))
            found = locator.FetchLmoCp(name, section, net.module, &succeed);
        else if (form == QLatin1String("FetchDevCp"))
            found = locator.FetchDevCp(name, section, net.device, &succeed);
        else if (form == QLatin1String("FetchCp"))
            found = locator.FetchCp(name, section, net.module, &succeed);
        else if (form == QLatin1String("FetchCpOfObjectOrNv"))
            found = locator.FetchCpOfObjectOrNv(name, section, net.module, &succeed);
        else if (form == QLatin1String("FetchDevNv"))
            found = locator.FetchDevNv(name, section, net.device, &succeed);
        else
            found = locator.FetchNv(name, section, net.module, &succeed);

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

QTEST_GUILESS_MAIN(TestIniLocator)
#include "tst_inilocator.moc"
