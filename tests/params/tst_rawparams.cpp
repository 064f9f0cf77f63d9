#include "paramsnet.h"
#include "lns/controls/memorycontrols.h"
#include "params/cconfigprop.h"
#include "params/choiceparams.h"
#include "params/cparams.h"
#include "params/cparamtextbox.h"
#include "params/rawparams.h"

#include <QTest>

class TestRawParams : public QObject
{
    Q_OBJECT
private slots:
    void twoByteSplit_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("value1");
        QTest::addColumn<int>("value2");
        QTest::newRow("4660") << 4660 << 18 << 52;
        QTest::newRow("-300") << -300 << -1 << -44;
        QTest::newRow("-1") << -1 << 0 << -1;
        QTest::newRow("65534") << 65534 << 255 << 254;
    }
    void twoByteSplit()
    {
        QFETCH(int, value);
        cParams params;
        cParam2Byte *p = params.Add2ByteParameter(QStringLiteral("P"), nullptr, QString());
        p->setValue(value);
        QTEST(p->Value1(), "value1");
        QTEST(p->Value2(), "value2");
        QCOMPARE(p->Value(), value);
        p->setValue1(0x7FFFFFFF);
        QVERIFY_THROWS_EXCEPTION(TqmError, p->Value());
    }

    // Every kind refuses a window that does not fit a directly bound CP, with its own text;
    // image-bound and late-fetched parameters are checked when their bytes are there.
    void windowChecks_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("cpName");
        QTest::addColumn<int>("bytePos");
        QTest::addColumn<int>("byteLength");
        QTest::addColumn<QString>("binding"); // direct, image or late
        QTest::addColumn<QString>("refusal"); // empty: accepted
        const QString invalid = QStringLiteral("invalid parameters");
        const QString ungueltig = QStringLiteral("ungültige Parameter");
        QTest::newRow("1-byte at 0") << "1" << "Cp4" << 0 << 1 << "direct" << invalid;
        QTest::newRow("1-byte at 4 of 4") << "1" << "Cp4" << 4 << 1 << "direct" << "";
        QTest::newRow("1-byte at 5 of 4") << "1" << "Cp4" << 5 << 1 << "direct" << invalid;
        QTest::newRow("1-byte at 0 on an image") << "1" << "Cp4" << 0 << 1 << "image" << "";
        QTest::newRow("1-byte at 0 fetched late") << "1" << "Cp4" << 0 << 1 << "late" << "";
        QTest::newRow("2-byte at 3 of 4") << "2" << "Cp4" << 3 << 2 << "direct" << "";
        QTest::newRow("2-byte at 4 of 4") << "2" << "Cp4" << 4 << 2 << "direct" << invalid;
        QTest::newRow("text 3+4 of 6") << "A" << "Cp6" << 3 << 4 << "direct" << "";
        QTest::newRow("text 3+4 of 5") << "A" << "Cp5" << 3 << 4 << "direct" << invalid;
        QTest::newRow("combo box 2+1 of 2") << "combo" << "Cp2" << 2 << 1 << "direct" << "";
        QTest::newRow("combo box 2+2 of 2") << "combo" << "Cp2" << 2 << 2 << "direct" << invalid;
        QTest::newRow("combo box 9+9 on an image") << "combo" << "Cp2" << 9 << 9 << "image" << "";
        QTest::newRow("check box 3+1 of 2") << "check" << "Cp2" << 3 << 1 << "direct" << ungueltig;
        QTest::newRow("text box 2+1 of 2") << "text box" << "Cp2" << 2 << 1 << "direct" << "";
        QTest::newRow("text box 2+2 of 2") << "text box" << "Cp2" << 2 << 2 << "direct" << ungueltig;
    }
    void windowChecks()
    {
        QFETCH(QString, kind);
        QFETCH(QString, cpName);
        QFETCH(int, bytePos);
        QFETCH(int, byteLength);
        QFETCH(QString, binding);
        QFETCH(QString, refusal);
        ParamsNet net;
        cParams params;
        controls::MemoryComboBox combo;
        controls::MemoryCheckBox check;
        controls::MemoryTextBox text;
        const auto cp = net.deviceCp(cpName);
        cConfigProp *image = params.AddConfigProp(QStringLiteral("Image"), cp, cpName);
        const bool onImage = binding == QLatin1String("image");
        const QString name = QStringLiteral("P");
        const auto pos = qint16(bytePos);
        const auto length = quint8(byteLength);
        const auto consider = [&]() -> std::function<void()> {
            if (kind == QLatin1String("1")) {
                cParam1Byte *p = onImage ? params.Add1ByteParameterExtCp(name, image) : params.Add1ByteParameter(name, cp, cpName);
                p->setLateFetch(binding == QLatin1String("late"));
                return [p, pos] { p->ConsiderPartOfCpOnly(pos); };
            }
            if (kind == QLatin1String("2"))
                return [p = params.Add2ByteParameter(name, cp, cpName), pos] { p->ConsiderPartOfCpOnly(pos); };
            if (kind == QLatin1String("A"))
                return [p = params.AddAsciiParameter(name, cp, cpName), pos, length] { p->ConsiderPartOfCpOnly(pos, length); };
            if (kind == QLatin1String("combo")) {
                cParamComboBox *p = onImage ? params.AddComboBoxParameterExtCp(name, &combo, image)
                                            : params.AddComboBoxParameter(name, &combo, cp, cpName);
                return [p, pos, length] { p->ConsiderPartOfCpOnly(pos, length); };
            }
            if (kind == QLatin1String("check"))
                return [p = params.AddCheckBoxParameter(name, &check, cp, cpName), pos, length] { p->ConsiderPartOfCpOnly(pos, length); };
            return [p = params.AddTextBoxParameter(name, &text, cp, cpName), pos, length] { p->ConsiderPartOfCpOnly(pos, length); };
        }();
        try {
            consider();
            QVERIFY(refusal.isEmpty());
            QCOMPARE(params.AllParameters().first()->BytePos(), pos);
        } catch (const TqmError &e) {
            QCOMPARE(e.description(), refusal);
            QCOMPARE(e.number(), qint32(0x800403E8u));
            QCOMPARE(e.source(), QStringLiteral("ConsiderPartOfCpOnly"));
            QCOMPARE(params.AllParameters().first()->BytePos(), qint16(0)); // the window stays
        }
    }

    void changedFollowsSetsReadsAndWrites()
    {
        ParamsNet net;
        cParams params;
        cParam1Byte *p = params.Add1ByteParameter(QStringLiteral("P"), net.deviceCp(QStringLiteral("Cp1")), QString());
        p->ReadFromLns();
        QVERIFY(!p->Changed());
        p->setValue(7);
        QVERIFY(p->Changed());
        p->WriteToLns();
        QVERIFY(!p->Changed());
        p->setValue(8);
        p->ReadFromLns();
        QVERIFY(!p->Changed());
        QCOMPARE(p->Value(), 7);
    }

    void imageBoundNumbers()
    {
        ParamsNet net;
        const auto cp = net.deviceCp(QStringLiteral("Cp4"));
        cParams params;
        cConfigProp *image = params.AddConfigProp(QStringLiteral("Cp4"), cp, QStringLiteral("Cp4"));
        cParam1Byte *first = params.Add1ByteParameterExtCp(QStringLiteral("First"), image);
        cParam2Byte *last = params.Add2ByteParameterExtCp(QStringLiteral("Last"), image);
        first->ConsiderPartOfCpOnly(1);
        last->ConsiderPartOfCpOnly(3);
        QVERIFY(first->CpIsExternal());
        QVERIFY(!first->FetchCp(true));
        first->ReadFromLns(); // image-bound: the image does the talking
        QCOMPARE(first->Value(), 0);
        first->ReadFromExtCp();
        last->ReadFromExtCp();
        QCOMPARE(first->Value(), 10);
        QCOMPARE(last->Value(), 30 * 256 + 40);

        first->setValue(1);
        last->setValue(0x0203);
        first->WriteToExtCp();
        last->WriteToExtCp();
        QCOMPARE(ParamsNet::raw(cp), QStringLiteral("10\t20\t30\t40")); // not yet written
        image->WriteToLns();
        QCOMPARE(ParamsNet::raw(cp), QStringLiteral("1\t20\t2\t3"));
    }

    void asciiText()
    {
        ParamsNet net;
        const auto cp = net.deviceCp(QStringLiteral("Cp6"));
        ParamsNet::setRaw(cp, QStringLiteral("1\t72\t105\t0\t0\t2"));
        cParams params;
        cParamASCII *text = params.AddAsciiParameter(QStringLiteral("Text"), cp, QString());
        text->ConsiderPartOfCpOnly(2, 4);
        text->ReadFromLns();
        QCOMPARE(text->Value(), QStringLiteral("Hi"));
        text->setValue(QStringLiteral("Room5"));
        text->WriteToLns();
        QCOMPARE(ParamsNet::raw(cp), QStringLiteral("1\t82\t111\t111\t109\t2"));
    }

    void fetchOnRead()
    {
        ParamsNet net;
        cParams params(cParams::Context{nullptr, QString(), &net.ini, ParamsNet::Template, QLocale::c()});
        // Available because a CP was given; the late parameter rebinds when asked to fetch.
        cParam1Byte *p = params.Add1ByteParameter(QStringLiteral("P"), net.deviceCp(QStringLiteral("Cp1")),
                                                  QStringLiteral("Cp4"));
        p->setSuperiorLnsObject(net.device);
        QVERIFY(p->FetchCp(true));
        QCOMPARE(p->ConfigProperty()->name(), QStringLiteral("Cp4"));
        p->ConsiderPartOfCpOnly(2);
        p->ReadFromLns(true);
        QCOMPARE(p->Value(), 20);

        cParam1Byte *unbound = params.Add1ByteParameter(QStringLiteral("Unbound"), nullptr, QStringLiteral("Cp4"));
        unbound->setSuperiorLnsObject(net.device);
        QVERIFY(!unbound->FetchCp(true));
        unbound->ReadFromLns(true);
        QVERIFY(!unbound->CpFetched());
    }
};

QTEST_GUILESS_MAIN(TestRawParams)
#include "tst_rawparams.moc"
