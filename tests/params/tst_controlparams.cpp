// Parameters bound to controls: text boxes (scaling, rounding, limits, lock modes), combo boxes,
// check boxes and option buttons, on CPs of the parameter-model network.

#include "paramsnet.h"
#include "strings/resstrings.h"
#include "lns/controls/memorycontrols.h"
#include "lns/userdialogs.h"
#include "params/choiceparams.h"
#include "params/controlrouting.h"
#include "params/cparams.h"
#include "params/cparamtextbox.h"

#include <QTest>

using E = cParamEnums;
using namespace controls;

namespace {

// A one-byte CP that answers its RAW text exactly as it was stored, blanks included.
class VerbatimCp : public lns::ConfigProperty
{
public:
    explicit VerbatimCp(QString text) : m_text(std::move(text)) {}
    lns::ObjectPtr parent() const override { return {}; }
    QString name() const override { return QStringLiteral("Verbatim"); }
    QString formatSpec() const override { return m_format; }
    void setFormatSpec(const QString &format) override { m_format = format; }
    QString defaultFormatSpec() const override { return QStringLiteral("SCPTtempMode"); }
    QString value() const override { return m_text; }
    void setValue(const QString &text) override { m_text = text; }
    QString elementValue(int) const override { return m_text; }
    void setElementValue(int, const QString &text) override { m_text = text; }
    int elementLength() const override { return 1; }
    int dimension() const override { return 1; }
    QString typeName() const override { return QStringLiteral("SCPTtempMode"); }

private:
    QString m_text;
    QString m_format = defaultFormatSpec();
};

} // namespace

struct ComboFixture
{
    ComboFixture()
    {
        controlrouting::route(params, &box);
        p = params.AddComboBoxParameter("Mode", &box, net.deviceCp("Cp1"), "Cp1");
        for (int data : {0, 1, 2})
            p->AddComboBoxItem(QStringLiteral("item %1").arg(data), data);
    }
    ParamsNet net;
    cParams params;
    MemoryComboBox box{7};
    cParamComboBox *p = nullptr;
};

// One text-box parameter on the device's two-byte CP, its control routed as the window routes
// it; `filling` stands for the window filling its controls (notifications dropped).
struct TextBoxFixture
{
    explicit TextBoxFixture(const QLocale &locale = QLocale::c())
        : params(cParams::Context{&dialogs, QStringLiteral("Command module"), &net.ini, ParamsNet::Template, locale})
    {
        cp = net.deviceCp(QStringLiteral("Cp2"));
        controlrouting::route(params, &box, [this] { return filling; });
        fill([this] { p = params.AddTextBoxParameter("SetPoint", &box, cp, "Cp2"); });
    }
    void scale(qint32 factor, qint32 resolution, float rangeMin, float rangeMax)
    {
        p->setFactor(factor);
        p->setResolution(resolution);
        p->setRangeMin(rangeMin);
        p->setRangeMax(rangeMax);
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

class TestControlParams : public QObject
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
        QFETCH(bool, red);
        TextBoxFixture f{QLocale(locale)};
        if (snvt) {
            f.p->setSnvtType(snvt);
        } else {
            f.scale(factor, resolution, 5, rangeMax);
            f.p->setOffsetCalc(offset);
        }
        ParamsNet::setRaw(f.cp, raw);
        f.fill([&] { f.p->ReadFromLns(); });
        QTEST(f.p->Value(), "value");
        QTEST(f.box.text(), "shown");
        QCOMPARE(f.box.foreColor() == controls::colour::Red, red);
        QCOMPARE(f.params.AnyParameterValueIsInvalid(), red);
        QVERIFY(!f.p->Changed());
        ParamsNet::setRaw(f.cp, QStringLiteral("0\t0"));
        f.p->WriteToLns();
        QCOMPARE(ParamsNet::raw(f.cp), raw);
    }

    // Leaving the box puts a typed value on the resolution's grid (the grid itself is
    // tst_numbers'), or limits a value beyond the range to it, says so and keeps the focus.
    void leavingTheBox_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("resolution");
        QTest::addColumn<int>("factor");
        QTest::addColumn<float>("rangeMin");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("message"); // empty: none, the value is in range
        const int en = ResStrings::English;
        const QString tooLow = "The value %1 °C is too low. The valid range is from 5 up to 30 °C.\r\n\r\n"
                               "\"Set point\" is set to 5 °C.";
        QTest::newRow("half steps") << en << int(E::RES_0_5) << 2 << 0.0f << "21.3" << "21.5" << 43 << "";
        QTest::newRow("half steps, decimal comma") << en << int(E::RES_0_5) << 2 << 0.0f << "21,3" << "21.5" << 43 << "";
        QTest::newRow("whole, comma is no point") << en << int(E::RES_1) << 1 << 0.0f << "21,7" << "21" << 21 << "";
        QTest::newRow("not a number") << en << int(E::RES_1) << 1 << 0.0f << "abc" << "0" << 0 << "";
        QTest::newRow("too low") << en << int(E::RES_0_5) << 10 << 5.0f << "4" << "5.0" << 50 << tooLow.arg(4);
        QTest::newRow("emptied") << en << int(E::RES_0_5) << 10 << 5.0f << "" << "5.0" << 50 << tooLow.arg(0);
        QTest::newRow("zu hoch") << int(ResStrings::German) << int(E::RES_0_5) << 10 << 5.0f << "35,5" << "30,0" << 300
                                 << "Der Wert 35,5 °C ist zu hoch. Der gültige Bereich reicht von 5 bis 30 °C.\r\n\r\n"
                                    "\"Set point\" wird auf 30 °C gesetzt.";
    }
    void leavingTheBox()
    {
        QFETCH(int, language);
        QFETCH(int, resolution);
        QFETCH(int, factor);
        QFETCH(float, rangeMin);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        setLanguage(language);
        TextBoxFixture f{language == ResStrings::German ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c()};
        f.scale(factor, resolution, rangeMin, message.isEmpty() ? 1000 : 30);
        f.p->setUnit(E::UNIT_DegreesCelsius);
        f.p->setTextBoxTitle(QStringLiteral("Set point"));
        f.box.typeText(typed);
        QCOMPARE(f.box.foreColor() == controls::colour::Red, !message.isEmpty());
        QCOMPARE(f.box.leave(), message.isEmpty());
        QCOMPARE(f.box.text(), shown);
        QTEST(f.p->Value(), "value");
        QVERIFY(f.p->Changed());
        QCOMPARE(f.box.foreColor(), controls::colour::WindowText);
        QVERIFY(!f.params.AnyParameterValueIsInvalid());
        QCOMPARE(f.dialogs.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(f.box.selStart(), int(shown.size()));
            QCOMPARE(f.dialogs.messages[0].text, message);
            QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("Command module"));
            QCOMPARE(f.dialogs.messages[0].icon, MsgIcon::Exclamation);
        }
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
        QFETCH(QString, keysTyped);
        TextBoxFixture f;
        f.scale(1, resolution, rangeMin, rangeMax);
        QTEST(f.box.maxLength(), "maxLength");
        f.box.typeText(QString());
        for (QChar c : keysTyped)
            f.box.pressKey(c.unicode());
        QTEST(f.box.text(), "text");
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
        QFETCH(QString, limited);
        TextBoxFixture f;
        f.scale(10, E::RES_1, -1000, 3000); // five characters: room for an exponent
        f.box.typeText(pasted);
        QTEST(f.p->Value(), "value");
        QCOMPARE(f.box.foreColor(), controls::colour::Red);
        QVERIFY(!f.box.leave());
        QCOMPARE(f.box.text(), limited);
        QCOMPARE(f.p->Value(), limited.toInt() * 10);
    }

    void displayFollowsDisplayPrecision()
    {
        TextBoxFixture f;
        f.scale(100, E::RES_0_1, 0, 100);
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
        // Locked, a combo box and a check box stay enabled as well; option buttons do not.
        MemoryComboBox combo;
        MemoryCheckBox check;
        MemoryOptionButton option;
        f.params.AddComboBoxParameter(QStringLiteral("C"), &combo, f.cp, QString())->setLockMode(E::LM_LOCKED);
        f.params.AddCheckBoxParameter(QStringLiteral("K"), &check, f.cp, QString())->setLockMode(E::LM_LOCKED);
        cParamOptBtn *o = f.params.AddOptionButtonParameter(QStringLiteral("O"), f.cp, QString());
        o->AddOptionButton(&option, QStringLiteral("0"));
        o->setLockMode(E::LM_LOCKED);
        QVERIFY(combo.enabled() && check.enabled() && !option.enabled());

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

    // Without a CP a parameter shows no value and takes none.
    void unavailableParameters()
    {
        TextBoxFixture f;
        MemoryTextBox text(5);
        MemoryCheckBox check;
        text.setText(QStringLiteral("old"));
        check.setValue(Checked);
        cParamTextBox *t = f.params.AddTextBoxParameter(QStringLiteral("Missing"), &text, nullptr, QStringLiteral("Cp9"));
        cParamCheckBox *c = f.params.AddCheckBoxParameter(QStringLiteral("MissingFlag"), &check, nullptr, QString());
        QVERIFY(!t->Available() && !c->Available());
        QCOMPARE(t->CpIniName(), QString());
        QCOMPARE(t->LockMode(), qint32(E::LM_DISABLED_GREY_NO_VALUE));
        QCOMPARE(check.value(), int(Unchecked));
        QVERIFY(!check.enabled());
        t->setValue(99);
        c->setValue(1);
        QCOMPARE(text.text(), QString());
        QCOMPARE(c->Value(), 0);
        QVERIFY(!c->Changed());
    }

    void resolutionStep()
    {
        TextBoxFixture f;
        f.p->setResolution2(0.05f);
        QCOMPARE(f.p->Resolution(), qint32(E::RES_0_0_5));
        // The box takes decimals from now on: "65535.00" and the decimal keys.
        QCOMPARE(f.box.maxLength(), 8);
        QCOMPARE(f.p->KeysAllowed(), qint32(E::KA_NumbersFloat));
        f.p->setResolution2(0.3f);
        QCOMPARE(f.p->Resolution(), qint32(E::RES_0_0_5));
    }

    // Parameters not written, or without a CP, do not count; a value typed beyond the range does.
    void invalidValue()
    {
        TextBoxFixture f;
        MemoryTextBox second(6);
        MemoryComboBox missing;
        controlrouting::route(f.params, &second);
        cParamTextBox *q = f.params.AddTextBoxParameter(QStringLiteral("Second"), &second, f.cp, QString());
        f.params.AddComboBoxParameter(QStringLiteral("Missing"), &missing, nullptr, QString())->setValue(5); // on no item
        f.p->setRangeMax(10);
        q->setRangeMax(10);
        f.p->setValue(11); // first text box invalid
        QVERIFY(f.params.AnyParameterValueIsInvalid());
        f.p->setDontWriteToLns(true);
        QVERIFY(!f.params.AnyParameterValueIsInvalid());
        second.typeText(QStringLiteral("12")); // red, outside the text box range
        QVERIFY(f.params.AnyParameterValueIsInvalid());
    }

    void quietValidation()
    {
        TextBoxFixture f;
        f.scale(1, E::RES_1, 0, 50);
        f.p->setTextBoxRangeMax(40);
        f.box.typeText(QStringLiteral("45"));
        f.p->SetValidTextBoxValue(42.0f);
        QVERIFY(f.dialogs.messages.isEmpty());
        QCOMPARE(f.box.text(), QStringLiteral("42"));
        QCOMPARE(f.p->Value(), 42);
        QVERIFY(f.p->ValueIsInvalid()); // red: beyond the text box's own limit
    }

    void comboSelectsByItemData_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("listIndex");
        QTest::addColumn<bool>("inList");
        QTest::newRow("first") << 0 << 0 << true;
        QTest::newRow("last") << 2 << 2 << true;
        QTest::newRow("none carries it") << 3 << -1 << false;
    }

    void comboSelectsByItemData()
    {
        QFETCH(int, value);
        ComboFixture f;
        f.box.setListIndex(1);
        f.p->setValue(value);
        QTEST(f.box.listIndex(), "listIndex");
        QCOMPARE(f.p->Value(), value); // no selection keeps the value
        QTEST(f.p->CurrentValueIsInComboList(), "inList");
        QVERIFY(f.p->Changed());
    }

    void comboUserChoice()
    {
        ComboFixture f;
        QVERIFY(f.box.chooseItem(QStringLiteral("item 2")));
        QCOMPARE(f.p->Value(), 2);
        QVERIFY(f.p->Changed());
        f.p->WriteToLns();
        QVERIFY(!f.p->Changed());
        QCOMPARE(ParamsNet::raw(f.p->ConfigProperty()), QStringLiteral("2"));
        f.p->SetValueByComboListItemIndex(1);
        QCOMPARE(f.p->Value(), 1);
        f.p->RemoveComboBoxItemByItemData(1);
        QCOMPARE(f.box.count(), 2);
        QVERIFY(!f.p->CurrentValueIsInComboList());
    }

    void comboInvalidItem()
    {
        ComboFixture f;
        f.p->setInvalidItemString(QStringLiteral("(invalid)"));
        f.p->setValue(7);
        f.p->ShowInvalidItem();
        QCOMPARE(f.box.itemText(0), QStringLiteral("(invalid)"));
        QCOMPARE(f.box.itemData(1), 0);
        QCOMPARE(f.box.listIndex(), 0);
        QCOMPARE(f.box.foreColor(), colour::Red);
        QVERIFY(!f.p->CurrentValueIsInComboList());
        QVERIFY(f.params.AnyParameterValueIsInvalid());
        f.box.chooseItem(QStringLiteral("item 1"));
        QCOMPARE(f.p->Value(), 1);
        QVERIFY(!f.params.AnyParameterValueIsInvalid());

        // A second read of the same value off the list shows the item again; neither copy makes
        // the value a list value.
        f.p->setValue(7);
        f.p->ShowInvalidItem();
        QCOMPARE(f.box.itemText(1), QStringLiteral("(invalid)"));
        QVERIFY(!f.p->CurrentValueIsInComboList());
        QVERIFY(f.params.AnyParameterValueIsInvalid());
        f.p->RemoveComboBoxItem(0);
        QVERIFY(!f.p->CurrentValueIsInComboList());
        f.p->RemoveComboBoxItem(0);
        QVERIFY(!f.p->ValueIsInComboList(7));
        QVERIFY(f.p->ValueIsInComboList(0)); // the first list value counts again
    }

    void comboSignedItems()
    {
        ComboFixture f;
        ParamsNet::setRaw(f.p->ConfigProperty(), QStringLiteral("255"));
        f.p->ReadFromLns();
        QCOMPARE(f.p->Value(), 255);
        f.p->AddComboBoxItem(QStringLiteral("not available"), -1);
        f.p->ReadFromLns();
        QCOMPARE(f.p->Value(), -1);
        QCOMPARE(f.box.listIndex(), 3);
    }

    void checkBoxStates_data()
    {
        QTest::addColumn<int>("checkedValue");
        QTest::addColumn<QString>("raw");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("state");
        QTest::addColumn<quint32>("colour");
        QTest::newRow("checked") << 1 << "1" << 1 << int(Checked) << quint32(colour::WindowText);
        QTest::newRow("unchecked") << 1 << "0" << 0 << int(Unchecked) << quint32(colour::WindowText);
        QTest::newRow("unknown keeps state, red") << 1 << "255" << 255 << int(Greyed) << quint32(colour::Red);
        QTest::newRow("negative value: signed") << -1 << "255" << -1 << int(Checked) << quint32(colour::WindowText);
    }

    void checkBoxStates()
    {
        QFETCH(int, checkedValue);
        QFETCH(QString, raw);
        QFETCH(int, value);
        ComboFixture f;
        MemoryCheckBox box;
        box.setValue(Greyed);
        controlrouting::route(f.params, &box);
        cParamCheckBox *p = f.params.AddCheckBoxParameter(QStringLiteral("Flag"), &box, f.p->ConfigProperty(), QString());
        p->setValueChecked(checkedValue);
        ParamsNet::setRaw(p->ConfigProperty(), raw);
        p->ReadFromLns();
        QTEST(box.value(), "state");
        QTEST(box.foreColor(), "colour");
        QCOMPARE(p->Value(), value);

        box.click();
        QCOMPARE(p->Value(), box.value() == Checked ? checkedValue : 0);
        QVERIFY(p->Changed());
        p->WriteToLns();
        QCOMPARE(ParamsNet::raw(p->ConfigProperty()), QString::number(quint8(p->Value())));
    }

    void optionButtons()
    {
        ComboFixture f; // the combo box's CP
        OptionGroup group;
        MemoryOptionButton b0(0, &group), b1(1, &group), b2(2, &group);
        const auto cp = f.p->ConfigProperty();
        cParamOptBtn *p = f.params.AddOptionButtonParameter(QStringLiteral("TempMode"), cp, QStringLiteral("Cp1"));
        for (const auto &[button, value] : {std::pair{&b0, "1"}, {&b1, "0"}, {&b2, "2"}}) {
            p->AddOptionButton(button, value);
            controlrouting::route(f.params, button);
        }
        QCOMPARE(p->OptionButton(3), &b2);

        p->setValue(QStringLiteral("  2 "));
        QCOMPARE(p->Value(), QStringLiteral("2"));
        QVERIFY(b2.value());

        ParamsNet::setRaw(cp, QStringLiteral("0"));
        p->ReadFromLns();
        QVERIFY(b1.value());
        QVERIFY(!p->Changed()); // the refresh clicks the button; the read clears the flag after it

        b0.click();
        QCOMPARE(p->Value(), QStringLiteral("1"));
        QVERIFY(p->Changed());
        p->WriteToLns();
        QCOMPARE(ParamsNet::raw(cp), QStringLiteral("1"));

        p->setValue(QStringLiteral("9"));
        QVERIFY(b0.value()); // no button carries it: nothing new selected

        // Read from the device, the value is the CP's text untrimmed.
        cParamOptBtn *kept =
            f.params.AddOptionButtonParameter(QStringLiteral("Kept"), std::make_shared<VerbatimCp>(" 2 "), QStringLiteral("Cp1"));
        kept->ReadFromLns();
        QCOMPARE(kept->Value(), QStringLiteral(" 2 "));
    }

    // While control updates are off, or the lock mode shows no value, the value changes but
    // the list does not; it follows once the value is shown again.
    void comboValueWhileNotShown()
    {
        ComboFixture f;
        f.p->setValue(0);
        f.p->setChanged(false);
        f.p->setControlUpdatesEnabled(false);
        f.p->setValue(2);
        QVERIFY(f.p->Changed());
        QCOMPARE(f.box.listIndex(), 0);
        f.p->setControlUpdatesEnabled(true);
        QCOMPARE(f.box.listIndex(), 2);

        f.p->setChanged(false);
        f.p->setLockMode(E::LM_DISABLED_GREY_NO_VALUE);
        QCOMPARE(f.box.listIndex(), -1);
        QCOMPARE(f.p->Value(), 2);
        QVERIFY(!f.p->Changed());
        QCOMPARE(f.box.backColor(), colour::ButtonFace);
        f.p->setValue(1);
        QCOMPARE(f.box.listIndex(), -1);
        f.p->setLockMode(E::LM_DISABLED);
        QCOMPARE(f.box.listIndex(), 1);
        QVERIFY(!f.box.enabled());
        QCOMPARE(f.box.backColor(), colour::WindowBackground);
    }
};

QTEST_GUILESS_MAIN(TestControlParams)
#include "tst_controlparams.moc"
