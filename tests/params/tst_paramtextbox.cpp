#include "paramsnet.h"
#include "strings/resstrings.h"
#include "lns/controls/memorycontrols.h"
#include "lns/userdialogs.h"
#include "params/controlrouting.h"
#include "params/cparams.h"
#include "params/cparamtextbox.h"

#include <QTest>

using E = cParamEnums;
using controls::MemoryTextBox;

// One text-box parameter on the device's two-byte CP, its control routed as the window routes
// it; `filling` stands for the window filling its controls (notifications dropped).
struct TextBoxFixture
{
    explicit TextBoxFixture(const QLocale &locale = QLocale::c())
        : params(cParams::Context{&dialogs, QStringLiteral("Command module"), &net.ini, ParamsNet::Template, locale})
    {
        cp = net.deviceCp(QStringLiteral("Cp2"));
        controlrouting::route(params, &box, [this] { return filling; });
        filling = true;
        p = params.AddTextBoxParameter(QStringLiteral("SetPoint"), &box, cp, QStringLiteral("Cp2"));
        filling = false;
    }
    void fill(const std::function<void()> &f)
    {
        filling = true;
        f();
        filling = false;
    }

    ParamsNet net;
    ScriptedDialogs dialogs;
    MemoryTextBox box{4};
    cParams params;
    lns::ConfigPropertyPtr cp;
    cParamTextBox *p = nullptr;
    bool filling = false;
};

class TestParamTextBox : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { setLanguage(ResStrings::English); }
    // Each row reads its raw bytes into the text box (scaled, formatted, marked red beyond the
    // range) and writes them back unchanged.
    void readShowsScaledValue_data()
    {
        QTest::addColumn<int>("snvt"); // a preset type, or 0 for the scaling of the next columns
        QTest::addColumn<int>("factor");
        QTest::addColumn<float>("offset");
        QTest::addColumn<int>("resolution");
        QTest::addColumn<float>("rangeMax");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("raw");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("red");
        const int temp = E::SNVT_temp_p;
        QTest::newRow("top of the type") << temp << 0 << 0.0f << 0 << 0.0f << "C" << "127\t255" << 32767 << "327.67" << false;
        QTest::newRow("bottom of the type") << temp << 0 << 0.0f << 0 << 0.0f << "C" << "149\t75" << -27317 << "-273.17" << false;
        QTest::newRow("german") << temp << 0 << 0.0f << 0 << 0.0f << "de_DE" << "8\t102" << 2150 << "21,50" << false;
        QTest::newRow("offset") << 0 << 10 << 20.0f << int(E::RES_0_5) << 30.0f << "C" << "0\t15" << 215 << "21.5" << false;
        // A value beyond a limit must not look like the limit itself.
        QTest::newRow("beyond the limit") << 0 << 10 << 0.0f << int(E::RES_1) << 30.0f << "C" << "1\t46" << 302 << "31" << true;
    }

    void readShowsScaledValue()
    {
        QFETCH(int, snvt);
        QFETCH(int, factor);
        QFETCH(float, offset);
        QFETCH(int, resolution);
        QFETCH(float, rangeMax);
        QFETCH(QString, locale);
        QFETCH(QString, raw);
        QFETCH(int, value);
        QFETCH(QString, shown);
        QFETCH(bool, red);
        TextBoxFixture f{QLocale(locale)};
        if (snvt) {
            f.p->setSnvtType(snvt);
            QCOMPARE(f.p->UnitMnemonic(), QStringLiteral("°C"));
        } else {
            f.p->setFactor(factor);
            f.p->setOffsetCalc(offset);
            f.p->setResolution(resolution);
            f.p->setRangeMin(5);
            f.p->setRangeMax(rangeMax);
        }
        ParamsNet::setRaw(f.cp, raw);
        f.fill([&] { f.p->ReadFromLns(); });
        QCOMPARE(f.p->Value(), value);
        QCOMPARE(f.box.text(), shown);
        QCOMPARE(f.box.foreColor() == controls::colour::Red, red);
        QCOMPARE(f.params.AnyParameterValueIsInvalid(), red);
        QVERIFY(!f.p->Changed());
        ParamsNet::setRaw(f.cp, QStringLiteral("0\t0"));
        f.p->WriteToLns();
        QCOMPARE(ParamsNet::raw(f.cp), raw);
    }

    void typedValuesAreRounded_data()
    {
        QTest::addColumn<int>("resolution");
        QTest::addColumn<int>("factor");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("value");
        QTest::newRow("half steps") << int(E::RES_0_5) << 2 << "21.3" << "21.5" << 43;
        QTest::newRow("half steps, decimal comma") << int(E::RES_0_5) << 2 << "21,3" << "21.5" << 43;
        QTest::newRow("fifty: 2.5 to even") << int(E::RES_50) << 1 << "125" << "100" << 100;
        QTest::newRow("fifty: 3.5 to even") << int(E::RES_50) << 1 << "175" << "200" << 200;
        QTest::newRow("whole, comma is no point") << int(E::RES_1) << 1 << "21,7" << "21" << 21;
        QTest::newRow("tenths") << int(E::RES_0_1) << 10 << "21.25" << "21.2" << 212;
        QTest::newRow("fifths") << int(E::RES_0_2) << 10 << "1.3" << "1.2" << 12;
        QTest::newRow("hundredths") << int(E::RES_0_0_1) << 100 << "3.14159" << "3.14" << 314;
        QTest::newRow("not a number") << int(E::RES_1) << 1 << "abc" << "0" << 0;
    }

    void typedValuesAreRounded()
    {
        QFETCH(int, resolution);
        QFETCH(int, factor);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, value);
        TextBoxFixture f;
        f.p->setFactor(factor);
        f.p->setResolution(resolution);
        f.p->setRangeMin(0);
        f.p->setRangeMax(1000);
        f.box.typeText(typed);
        QVERIFY(f.box.leave());
        QCOMPARE(f.box.text(), shown);
        QCOMPARE(f.p->Value(), value);
        QVERIFY(f.p->Changed());
        QVERIFY(f.dialogs.messages.isEmpty());
    }

    void lengthAndKeyFilter_data()
    {
        QTest::addColumn<int>("resolution");
        QTest::addColumn<float>("rangeMin");
        QTest::addColumn<float>("rangeMax");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<QString>("keysTyped");
        QTest::addColumn<QString>("text");
        QTest::newRow("5..30 half steps") << int(E::RES_0_5) << 5.0f << 30.0f << 4 << "-2.5x" << "2.5";
        QTest::newRow("-10..10 whole") << int(E::RES_1) << -10.0f << 10.0f << 3 << "-7.5" << "-75";
        QTest::newRow("temperature") << int(E::RES_0_0_1) << -273.17f << 327.67f << 7 << "-1,5" << "-1,5";
    }

    void lengthAndKeyFilter()
    {
        QFETCH(int, resolution);
        QFETCH(float, rangeMin);
        QFETCH(float, rangeMax);
        QFETCH(int, maxLength);
        QFETCH(QString, keysTyped);
        QFETCH(QString, text);
        TextBoxFixture f;
        f.p->setRangeMin(rangeMin);
        f.p->setRangeMax(rangeMax);
        f.p->setResolution(resolution);
        QCOMPARE(f.box.maxLength(), maxLength);
        f.box.typeText(QString());
        for (QChar c : keysTyped)
            f.box.pressKey(c.unicode());
        QCOMPARE(f.box.text(), text);
    }

    void hugePastedNumber_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("limited");
        QTest::newRow("far above") << "1e99" << 2147483647 << "3000";
        QTest::newRow("far below") << "-9e40" << int(-2147483647 - 1) << "-1000";
        QTest::newRow("above after scaling") << "3e8" << 2147483647 << "3000";
    }

    void hugePastedNumber()
    {
        QFETCH(QString, pasted);
        QFETCH(int, value);
        QFETCH(QString, limited);
        TextBoxFixture f;
        f.p->setFactor(10);
        f.p->setRangeMin(-1000);
        f.p->setRangeMax(3000); // five characters: room for an exponent
        f.box.typeText(pasted);
        QCOMPARE(f.p->Value(), value);
        QCOMPARE(f.box.foreColor(), controls::colour::Red);
        QVERIFY(f.params.AnyParameterValueIsInvalid());
        QVERIFY(!f.box.leave());
        QCOMPARE(f.box.text(), limited);
        QCOMPARE(f.p->Value(), limited.toInt() * 10);
    }

    void typedValueOutsideRange_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("message");
        QTest::newRow("too high") << ResStrings::English << "C" << "35.5" << "30.0"
                                  << "The value 35.5 °C is too high. The valid range is from 5 up to 30 °C.\r\n\r\n"
                                     "\"Set point\" is set to 30 °C.";
        QTest::newRow("too low") << ResStrings::English << "C" << "4" << "5.0"
                                 << "The value 4 °C is too low. The valid range is from 5 up to 30 °C.\r\n\r\n"
                                    "\"Set point\" is set to 5 °C.";
        QTest::newRow("emptied") << ResStrings::English << "C" << "" << "5.0"
                                 << "The value 0 °C is too low. The valid range is from 5 up to 30 °C.\r\n\r\n"
                                    "\"Set point\" is set to 5 °C.";
        QTest::newRow("zu hoch") << ResStrings::German << "de_DE" << "35,5" << "30,0"
                                 << "Der Wert 35,5 °C ist zu hoch. Der gültige Bereich reicht von 5 bis 30 °C.\r\n\r\n"
                                    "\"Set point\" wird auf 30 °C gesetzt.";
    }

    void typedValueOutsideRange()
    {
        QFETCH(int, language);
        QFETCH(QString, locale);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        setLanguage(language);
        TextBoxFixture f{QLocale(locale)};
        f.p->setFactor(10);
        f.p->setResolution(E::RES_0_5);
        f.p->setRangeMin(5);
        f.p->setRangeMax(30);
        f.p->setUnit(E::UNIT_DegreesCelsius);
        f.p->setTextBoxTitle(QStringLiteral("Set point"));
        f.box.typeText(typed);
        QCOMPARE(f.box.foreColor(), controls::colour::Red);
        QVERIFY(!f.box.leave()); // the focus stays
        QCOMPARE(f.box.text(), shown);
        QCOMPARE(f.box.selStart(), int(shown.size()));
        QCOMPARE(f.box.foreColor(), controls::colour::WindowText);
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.dialogs.messages[0].text, message);
        QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("Command module"));
        QCOMPARE(f.dialogs.messages[0].icon, MsgIcon::Exclamation);
        QVERIFY(!f.params.AnyParameterValueIsInvalid());
    }

    void displayFollowsDisplayPrecision()
    {
        TextBoxFixture f;
        f.p->setFactor(100);
        f.p->setResolution(E::RES_0_1);
        f.p->setRangeMax(100);
        f.p->setValue(2157);
        QCOMPARE(f.box.text(), QStringLiteral("21.6"));
        QCOMPARE(f.p->Value(), 2160);
    }

    void lockModes()
    {
        TextBoxFixture f;
        f.p->setValue(12);
        f.fill([&] { f.box.setText(QStringLiteral("user text")); });
        f.fill([&] { f.p->setLockMode(E::LM_LOCKED); });
        QCOMPARE(f.box.text(), QStringLiteral("user text"));
        QVERIFY(f.box.enabled());

        f.p->setChanged(false);
        f.p->setLockMode(E::LM_DISABLED_GREY_NO_VALUE);
        QCOMPARE(f.box.text(), QString());
        QVERIFY(!f.box.enabled());
        QCOMPARE(f.box.backColor(), controls::colour::ButtonFace);
        QVERIFY(!f.p->Changed());

        f.p->setTextWhenLocked(QStringLiteral("n/a"));
        f.p->setLockMode(E::LM_DISABLED_GREY_TEXT);
        QCOMPARE(f.box.text(), QStringLiteral("n/a"));
        QCOMPARE(f.box.maxLength(), 0);
        QVERIFY(!f.p->Changed());

        f.fill([&] { f.p->setLockMode(E::LM_UNLOCKED); });
        QCOMPARE(f.box.text(), QStringLiteral("12"));
        QCOMPARE(f.box.backColor(), controls::colour::WindowBackground);
        QVERIFY(f.box.enabled());
    }

    void unavailableParameter()
    {
        TextBoxFixture f;
        MemoryTextBox other(5);
        other.setText(QStringLiteral("old"));
        cParamTextBox *p = f.params.AddTextBoxParameter(QStringLiteral("Missing"), &other, nullptr, QStringLiteral("Cp9"));
        QVERIFY(!p->Available());
        QCOMPARE(p->CpIniName(), QString());
        QCOMPARE(p->LockMode(), qint32(E::LM_DISABLED_GREY_NO_VALUE));
        QCOMPARE(other.text(), QString());
        p->setValue(99);
        QCOMPARE(other.text(), QString());
        QVERIFY(!f.params.AnyParameterValueIsInvalid());
    }

    void resolutionStep()
    {
        TextBoxFixture f;
        f.p->setResolution2(0.05f);
        QCOMPARE(f.p->Resolution(), qint32(E::RES_0_0_5));
        QCOMPARE(f.p->MinStep(), 0.05f);
        // The box takes decimals from now on: "65535.00" and the decimal keys.
        QCOMPARE(f.box.maxLength(), 8);
        QCOMPARE(f.p->KeysAllowed(), qint32(E::KA_NumbersFloat));
        f.p->setResolution2(0.3f);
        QCOMPARE(f.p->Resolution(), qint32(E::RES_0_0_5));
    }

    void invalidValue()
    {
        TextBoxFixture f;
        MemoryTextBox second(6);
        controlrouting::route(f.params, &second);
        cParamTextBox *q = f.params.AddTextBoxParameter(QStringLiteral("Second"), &second, f.cp, QString());
        f.p->setRangeMax(10);
        q->setRangeMax(10);
        f.p->setValue(11); // first text box invalid
        QVERIFY(f.p->ValueIsInvalid());
        QVERIFY(f.params.AnyParameterValueIsInvalid());
        f.p->setDontWriteToLns(true);
        QVERIFY(!f.params.AnyParameterValueIsInvalid());
        second.typeText(QStringLiteral("12")); // red, outside the text box range
        QVERIFY(f.params.AnyParameterValueIsInvalid());
    }

    void quietValidation()
    {
        TextBoxFixture f;
        f.p->setRangeMin(0);
        f.p->setRangeMax(50);
        f.p->setTextBoxRangeMax(40);
        f.box.typeText(QStringLiteral("45"));
        f.p->SetValidTextBoxValue(42.0f);
        QVERIFY(f.dialogs.messages.isEmpty());
        QCOMPARE(f.box.text(), QStringLiteral("42"));
        QCOMPARE(f.p->Value(), 42);
        QVERIFY(f.p->ValueIsInvalid()); // red: beyond the text box's own limit
    }
};

QTEST_GUILESS_MAIN(TestParamTextBox)
#include "tst_paramtextbox.moc"
