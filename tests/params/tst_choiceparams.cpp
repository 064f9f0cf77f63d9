#include "paramsnet.h"
#include "lns/controls/memorycontrols.h"
#include "params/cconfigprop.h"
#include "params/choiceparams.h"
#include "params/controlrouting.h"
#include "params/cparams.h"

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
        p = params.AddComboBoxParameter(QStringLiteral("Mode"), &box, net.deviceCp(QStringLiteral("Cp1")),
                                        QStringLiteral("Cp1"));
        for (int data : {0, 1, 2})
            p->AddComboBoxItem(QStringLiteral("item %1").arg(data), data);
    }
    ParamsNet net;
    cParams params;
    MemoryComboBox box{7};
    cParamComboBox *p = nullptr;
};

class TestChoiceParams : public QObject
{
    Q_OBJECT
private slots:
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
        QFETCH(int, listIndex);
        QFETCH(bool, inList);
        ComboFixture f;
        f.box.setListIndex(1);
        f.p->setValue(value);
        QCOMPARE(f.box.listIndex(), listIndex);
        QCOMPARE(f.p->Value(), value); // no selection keeps the value
        QCOMPARE(f.p->CurrentValueIsInComboList(), inList);
        QCOMPARE(f.params.AnyParameterValueIsInvalid(), !inList);
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
        QCOMPARE(f.p->Value(), 7);
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

    void comboControlUpdatesEnabled()
    {
        ComboFixture f;
        f.p->setValue(0);
        f.p->setChanged(false);
        f.p->setControlUpdatesEnabled(false);
        f.p->setValue(2);
        QCOMPARE(f.p->Value(), 2);
        QVERIFY(f.p->Changed());
        QCOMPARE(f.box.listIndex(), 0);
        f.p->setControlUpdatesEnabled(true);
        QCOMPARE(f.box.listIndex(), 2);
    }

    void comboSignedItems()
    {
        ComboFixture f;
        QVERIFY(!f.p->SignedValue());
        ParamsNet::setRaw(f.p->ConfigProperty(), QStringLiteral("255"));
        f.p->ReadFromLns();
        QCOMPARE(f.p->Value(), 255);
        f.p->AddComboBoxItem(QStringLiteral("not available"), -1);
        QVERIFY(f.p->SignedValue());
        f.p->ReadFromLns();
        QCOMPARE(f.p->Value(), -1);
        QCOMPARE(f.box.listIndex(), 3);
        QVERIFY(!f.p->Changed());
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
        QFETCH(int, state);
        QFETCH(quint32, colour);
        ParamsNet net;
        cParams params;
        MemoryCheckBox box;
        box.setValue(Greyed);
        controlrouting::route(params, &box);
        cParamCheckBox *p = params.AddCheckBoxParameter(QStringLiteral("Flag"), &box, net.deviceCp(QStringLiteral("Cp1")), QString());
        p->setValueChecked(checkedValue);
        QCOMPARE(p->SignedValue(), checkedValue < 0);
        ParamsNet::setRaw(p->ConfigProperty(), raw);
        p->ReadFromLns();
        QCOMPARE(box.value(), state);
        QCOMPARE(box.foreColor(), colour);
        QCOMPARE(p->Value(), value);
        QVERIFY(!p->Changed());

        box.click();
        QCOMPARE(p->Value(), box.value() == Checked ? checkedValue : 0);
        QVERIFY(p->Changed());
        p->WriteToLns();
        QCOMPARE(ParamsNet::raw(p->ConfigProperty()), QString::number(quint8(p->Value())));
    }

    void checkBoxUnavailable()
    {
        ParamsNet net;
        cParams params;
        MemoryCheckBox missing;
        missing.setValue(Checked);
        cParamCheckBox *q = params.AddCheckBoxParameter(QStringLiteral("Missing"), &missing, nullptr, QString());
        QVERIFY(!q->Available());
        QCOMPARE(missing.value(), int(Unchecked));
        QVERIFY(!missing.enabled());
        q->setValue(1);
        QCOMPARE(q->Value(), 0);
        QVERIFY(!q->Changed());
    }

    void optionButtons()
    {
        ParamsNet net;
        cParams params;
        OptionGroup group;
        MemoryOptionButton b0(0, &group), b1(1, &group), b2(2, &group);
        const auto cp = net.deviceCp(QStringLiteral("Cp1"));
        cParamOptBtn *p = params.AddOptionButtonParameter(QStringLiteral("TempMode"), cp, QStringLiteral("Cp1"));
        p->AddOptionButton(&b0, QStringLiteral("1"));
        p->AddOptionButton(&b1, QStringLiteral("0"));
        p->AddOptionButton(&b2, QStringLiteral("2"));
        for (auto *b : {&b0, &b1, &b2})
            controlrouting::route(params, b);
        QCOMPARE(b1.tag(), QStringLiteral("TempMode"));
        QCOMPARE(p->OptionButtonsCount(), 3);
        QCOMPARE(p->OptionButton(3), &b2);

        p->setValue(QStringLiteral("  2 "));
        QCOMPARE(p->Value(), QStringLiteral("2"));
        QVERIFY(b2.value());

        ParamsNet::setRaw(cp, QStringLiteral("0"));
        p->ReadFromLns();
        QVERIFY(b1.value());
        QVERIFY(!b2.value());
        QVERIFY(!p->Changed()); // the refresh clicks the button; the read clears the flag after it

        b0.click();
        QCOMPARE(p->Value(), QStringLiteral("1"));
        QVERIFY(p->Changed());
        p->WriteToLns();
        QCOMPARE(ParamsNet::raw(cp), QStringLiteral("1"));
        QVERIFY(!p->Changed());

        p->setValue(QStringLiteral("9"));
        QVERIFY(b0.value()); // no button carries it: nothing new selected

        // Read from the device, the value is the CP's text untrimmed.
        cParamOptBtn *kept = params.AddOptionButtonParameter(QStringLiteral("Kept"), std::make_shared<VerbatimCp>(" 2 "),
                                                             QStringLiteral("Cp1"));
        kept->ReadFromLns();
        QCOMPARE(kept->Value(), QStringLiteral(" 2 "));
    }

    void lockedKinds()
    {
        ParamsNet net;
        cParams params;
        MemoryComboBox combo;
        MemoryCheckBox check;
        MemoryOptionButton option;
        const auto cp = net.deviceCp(QStringLiteral("Cp1"));
        params.AddComboBoxParameter(QStringLiteral("C"), &combo, cp, QString())->setLockMode(E::LM_LOCKED);
        params.AddCheckBoxParameter(QStringLiteral("K"), &check, cp, QString())->setLockMode(E::LM_LOCKED);
        cParamOptBtn *o = params.AddOptionButtonParameter(QStringLiteral("O"), cp, QString());
        o->AddOptionButton(&option, QStringLiteral("0"));
        o->setLockMode(E::LM_LOCKED);
        QVERIFY(combo.enabled());
        QVERIFY(check.enabled());
        QVERIFY(!option.enabled());
    }

    void noValueModes()
    {
        ComboFixture f;
        f.p->setValue(2);
        f.p->setChanged(false);
        f.p->setLockMode(E::LM_DISABLED_GREY_NO_VALUE);
        QCOMPARE(f.box.listIndex(), -1);
        QCOMPARE(f.p->Value(), 2);
        QVERIFY(!f.p->Changed());
        QCOMPARE(f.box.backColor(), colour::ButtonFace);
        f.p->setValue(1); // no refresh while shown without a value
        QCOMPARE(f.box.listIndex(), -1);
        f.p->setLockMode(E::LM_DISABLED);
        QCOMPARE(f.box.listIndex(), 1);
        QVERIFY(!f.box.enabled());
        QCOMPARE(f.box.backColor(), colour::WindowBackground);
    }
};

QTEST_GUILESS_MAIN(TestChoiceParams)
#include "tst_choiceparams.moc"
