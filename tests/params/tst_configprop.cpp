#include "paramsnet.h"
#include "params/cconfigprop.h"
#include "params/cparams.h"
#include "params/rawparams.h"

#include <QTest>

class TestConfigProp : public QObject
{
    Q_OBJECT
private slots:
    void imageWithoutCp()
    {
        cParams params;
        cConfigProp *image = params.AddConfigProp(QStringLiteral("None"), nullptr, QStringLiteral("Cp4"));
        QCOMPARE(image->ClassId(), qint16(1007));
        QVERIFY(!image->Available());
        QVERIFY(!image->FetchCp(true));
        QCOMPARE(image->ByteLength(), qint16(-1));
        image->ReadFromLns(true);
        image->WriteToLns();
        QVERIFY_THROWS_EXCEPTION(TqmError, image->ByteValue(1));
    }

    void scalarRoundTrip()
    {
        ParamsNet net;
        const auto cp = net.deviceCp(QStringLiteral("Cp4"));
        ParamsNet::setRaw(cp, QStringLiteral("0\t0\t1\t44"));
        cParams params;
        cConfigProp *image = params.AddConfigProp(QStringLiteral("Cp4"), cp, QStringLiteral("Cp4"));
        QCOMPARE(image->ByteLength(), qint16(4));
        const QList<int> expected{0, 0, 1, 44};
        for (int i = 1; i <= 4; ++i)
            QCOMPARE(int(image->ByteValue(i)), expected[i - 1]);
        QVERIFY_THROWS_EXCEPTION(TqmError, image->ByteValue(5));

        image->setByteValue(4, 45);
        image->WriteToLns();
        QCOMPARE(ParamsNet::raw(cp), QStringLiteral("0\t0\t1\t45"));
    }

    void arrayElementByElement()
    {
        ParamsNet net;
        const auto cp = net.deviceCp(QStringLiteral("Arr"));
        ParamsNet::setRaw(cp, QStringLiteral("1\t2\t3\t4\t5\t6"));
        cParams params;
        cConfigProp *image = params.AddConfigProp(QStringLiteral("Arr"), cp, QString());
        QCOMPARE(image->Dimension(), qint16(3));
        QCOMPARE(image->ElementByteLength(), qint16(2));
        net.server->resetMessageCounts();
        image->ReadFromLns();
        QCOMPARE(net.server->messageCounts(net.device).cpReads, 3);
        for (int i = 1; i <= 6; ++i)
            QCOMPARE(int(image->ByteValue(i)), i);

        image->setByteValue(3, 30);
        image->setByteValue(6, 60);
        net.server->resetMessageCounts();
        image->WriteToLns();
        QCOMPARE(net.server->messageCounts(net.device).cpWrites, 3);
        QCOMPARE(ParamsNet::raw(cp), QStringLiteral("1\t2\t30\t4\t5\t60"));
    }

    void lengthsStayWhenCpIsReplaced()
    {
        ParamsNet net;
        cParams params;
        cConfigProp *image = params.AddConfigProp(QStringLiteral("Cp4"), net.deviceCp(QStringLiteral("Cp4")), QString());
        image->ReadFromLns();
        image->setConfigProperty(net.deviceCp(QStringLiteral("Cp6")));
        QCOMPARE(image->ByteLength(), qint16(4));
        QCOMPARE(image->ElementByteLength(), qint16(4));
        // The byte array keeps its four bytes: six fields do not fit.
        QVERIFY_THROWS_EXCEPTION(TqmError, image->ReadFromLns());
    }

    void formatIsRestored()
    {
        ParamsNet net;
        const auto cp = net.deviceCp(QStringLiteral("Temp"));
        const QString format = cp->formatSpec();
        QVERIFY(format != lns::RawFormat);
        cParams params;
        cConfigProp *image = params.AddConfigProp(QStringLiteral("Temp"), cp, QString());
        image->ReadFromLns();
        QCOMPARE(cp->formatSpec(), format);
        image->WriteToLns();
        QCOMPARE(cp->formatSpec(), format);
    }

    void firstByteReadLoadsOnce()
    {
        ParamsNet net;
        const auto cp = net.deviceCp(QStringLiteral("Cp4"));
        cParams params;
        cConfigProp *image = params.AddConfigProp(QStringLiteral("Cp4"), cp, QString());
        QCOMPARE(int(image->ByteValue(1)), 10); // the first read loads the CP
        image->setByteValue(1, 99);
        ParamsNet::setRaw(cp, QStringLiteral("1\t1\t1\t1"));
        QCOMPARE(int(image->ByteValue(1)), 99);

        // Loaded by a read pass, the image keeps what its parameters wrote into it.
        cConfigProp *loaded = params.AddConfigProp(QStringLiteral("Loaded"), cp, QString());
        cParam1Byte *first = params.Add1ByteParameterExtCp(QStringLiteral("First"), loaded);
        first->ConsiderPartOfCpOnly(1);
        loaded->ReadFromLns();
        first->setValue(77);
        first->WriteToExtCp();
        QCOMPARE(int(loaded->ByteValue(1)), 77);
        QCOMPARE(int(loaded->ByteValue(2)), 1);
    }

    // Where an INI entry leads is tst_inilocator's; here the image binds to it.
    void fetchThroughIniFile_data()
    {
        QTest::addColumn<QString>("iniName");
        QTest::addColumn<bool>("onDevice");
        QTest::addColumn<QString>("expectedCp");
        QTest::newRow("device CP") << "Cp2" << true << "Cp2";
        QTest::newRow("object CP") << "LmoCp" << false << "LmoCp";
        QTest::newRow("absent") << "Nothing" << true << "";
    }
    void fetchThroughIniFile()
    {
        QFETCH(QString, iniName);
        QFETCH(bool, onDevice);
        QFETCH(QString, expectedCp);
        ParamsNet net;
        cParams params(cParams::Context{nullptr, QString(), &net.ini, ParamsNet::Template, QLocale::c()});
        // Available only when created with a CP; the CP given first is replaced by a forced fetch.
        cConfigProp *image = params.AddConfigProp(QStringLiteral("Image"), net.deviceCp(QStringLiteral("Cp1")), iniName);
        image->setSuperiorLnsObject(onDevice ? lns::ObjectPtr(net.device) : lns::ObjectPtr(net.module));
        QVERIFY(image->FetchCp(false)); // bound already: nothing is looked up
        QCOMPARE(image->ConfigProperty()->name(), QStringLiteral("Cp1"));
        QCOMPARE(image->FetchCp(true), !expectedCp.isEmpty());
        QCOMPARE(image->ConfigProperty()->name(), expectedCp.isEmpty() ? QStringLiteral("Cp1") : expectedCp);
    }
};

QTEST_GUILESS_MAIN(TestConfigProp)
#include "tst_configprop.moc"
