#include "paramsnet.h"
#include "support/raised.h"
#include "lns/controls/memorycontrols.h"
#include "params/cconfigprop.h"
#include "params/choiceparams.h"
#include "params/cparams.h"
#include "params/cparamtextbox.h"
#include "params/rawparams.h"

#include <QTest>

using E = cParamEnums;
using namespace controls;

class TestParams : public QObject
{
    Q_OBJECT
private slots:
    void listsAreOneBasedAndKeyed()
    {
        cParams params;
        QCOMPARE(params.ClassId(), qint16(1000));
        cParam1Byte *a = params.Add1ByteParameter(QStringLiteral("A"), nullptr, QString());
        cParam1Byte *b = params.Add1ByteParameter(QStringLiteral("B"), nullptr, QString());
        params.Add2ByteParameter(QStringLiteral("A"), nullptr, QString()); // same name, other kind
        QCOMPARE(params.Parameter1Byte(1), a);
        QCOMPARE(params.Parameter1Byte(2), b);
        QCOMPARE(params.Parameter1ByteByName(QStringLiteral("B")), b);
        QCOMPARE(params.Parameter1ByteCount(), 2);
        QCOMPARE(params.AllParameters().size(), 3);
        QVERIFY_THROWS_EXCEPTION(TqmError, params.Parameter1Byte(0));
        QVERIFY_THROWS_EXCEPTION(TqmError, params.Parameter1Byte(3));
        QVERIFY_THROWS_EXCEPTION(TqmError, params.Parameter1ByteByName(QStringLiteral("C")));
        QCOMPARE(raised([&] { params.Add1ByteParameter(QStringLiteral("A"), nullptr, QString()); }).number(),
                 TqmError::DuplicateKey);
        QCOMPARE(params.Parameter1ByteCount(), 2);
        QCOMPARE(params.AllParameters().size(), 3);
        params.AddConfigProp(QStringLiteral("Image"), nullptr, QString());
        QCOMPARE(params.ConfigPropsCount(), 1);
        QCOMPARE(params.AllParameters().size(), 3);
    }

    void byControlIndexTakesFirst()
    {
        cParams params;
        MemoryTextBox first(3), second(3), other(4);
        cParamTextBox *p = params.AddTextBoxParameter(QStringLiteral("First"), &first, nullptr, QString());
        params.AddTextBoxParameter(QStringLiteral("Second"), &second, nullptr, QString());
        params.AddTextBoxParameter(QStringLiteral("Other"), &other, nullptr, QString());
        QCOMPARE(params.TextBoxParameterByControlIndex(3), p);
        QCOMPARE(params.TextBoxParameterByControlIndex(9), nullptr);
        MemoryComboBox combo(5);
        cParamComboBox *c = params.AddComboBoxParameter(QStringLiteral("Combo"), &combo, nullptr, QString());
        QCOMPARE(params.ComboBoxParameterByControlIndex(5), c);
    }

    void parameterAllByName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("expectedClass"); // 0: none
        QTest::newRow("only a 2-byte") << "Two" << 0 << int(E::PA_CLASSID_2BYTE_PARAMETER);
        QTest::newRow("1-byte before 2-byte") << "Both" << 0 << int(E::PA_CLASSID_1BYTE_PARAMETER);
        QTest::newRow("asked for the 2-byte") << "Both" << int(E::PA_CLASSID_2BYTE_PARAMETER) << int(E::PA_CLASSID_2BYTE_PARAMETER);
        QTest::newRow("check box before text box") << "Shown" << 0 << int(E::PA_CLASSID_CHECKBOX_PARAMETER);
        QTest::newRow("texts are not searched") << "Text" << 0 << 0;
        QTest::newRow("unknown") << "Nothing" << 0 << 0;
    }
    void parameterAllByName()
    {
        QFETCH(QString, name);
        QFETCH(int, type);
        cParams params;
        MemoryTextBox box;
        MemoryCheckBox check;
        params.Add2ByteParameter(QStringLiteral("Two"), nullptr, QString());
        params.Add2ByteParameter(QStringLiteral("Both"), nullptr, QString());
        params.Add1ByteParameter(QStringLiteral("Both"), nullptr, QString());
        params.AddTextBoxParameter(QStringLiteral("Shown"), &box, nullptr, QString());
        params.AddCheckBoxParameter(QStringLiteral("Shown"), &check, nullptr, QString());
        params.AddAsciiParameter(QStringLiteral("Text"), nullptr, QString());
        cParam *found = params.ParameterAllByName(name, type);
        QTEST(found ? int(found->ClassId()) : 0, "expectedClass");
        if (found)
            QCOMPARE(found->Name(), name);
        QVERIFY_THROWS_EXCEPTION(TqmError, params.ParameterAllByName(QStringLiteral("Nothing"), E::PA_CLASSID_1BYTE_PARAMETER));
    }

    void selectionForWriting()
    {
        ParamsNet net;
        cParams params;
        MemoryTextBox box;
        const auto cp = net.deviceCp(QStringLiteral("Cp4"));
        params.AddTextBoxParameter(QStringLiteral("Text box"), &box, cp, QString());
        params.Add2ByteParameter(QStringLiteral("Two"), cp, QString());
        params.Add1ByteParameter(QStringLiteral("One"), cp, QString());
        params.Add1ByteParameter(QStringLiteral("Unbound"), nullptr, QString())->setDontWriteToLns(false);
        params.Add1ByteParameter(QStringLiteral("Kept"), cp, QString())->setDontWriteToLns(true);
        params.AddAsciiParameter(QStringLiteral("Text"), cp, QString());
        QStringList names;
        for (cParam *p : params.GetAllParamsShouldBeWrittenToLns())
            names.append(p->Name());
        QCOMPARE(names, (QStringList{"One", "Two", "Text box", "Text"}));
    }

    void sharedCpListedOnce()
    {
        ParamsNet net;
        cParams params;
        const auto cp4 = net.deviceCp(QStringLiteral("Cp4"));
        const auto cp2 = net.deviceCp(QStringLiteral("Cp2"));
        cConfigProp *image = params.AddConfigProp(QStringLiteral("Image"), net.deviceCp(QStringLiteral("Cp6")), QString());
        params.Add2ByteParameter(QStringLiteral("Second"), cp2, QString());
        params.Add1ByteParameter(QStringLiteral("A"), cp4, QString());
        params.Add1ByteParameter(QStringLiteral("B"), cp4, QString());
        params.Add1ByteParameterExtCp(QStringLiteral("OnImage"), image);
        params.Add1ByteParameter(QStringLiteral("C"), cp4, QString());
        QCOMPARE(params.GetAllCpNamesShouldBeWrittenToLns(), (QStringList{"Cp4", "Cp6", "Cp2"}));
        QCOMPARE(params.GetAllCpsShouldBeWrittenToLns().first(), cp4);
    }

    void invalidValuesOfUnavailableParametersAreIgnored()
    {
        ParamsNet net;
        cParams params;
        MemoryComboBox missingCombo, combo;
        cParamComboBox *missing = params.AddComboBoxParameter(QStringLiteral("Missing"), &missingCombo, nullptr, QString());
        missing->setValue(5); // no item carries it, but the parameter is not available
        QVERIFY(!params.AnyParameterValueIsInvalid());
        cParamComboBox *shown = params.AddComboBoxParameter(QStringLiteral("Shown"), &combo, net.deviceCp(QStringLiteral("Cp1")), QString());
        shown->AddComboBoxItem(QStringLiteral("zero"), 0);
        QVERIFY(!params.AnyParameterValueIsInvalid());
        shown->setValue(5);
        QVERIFY(params.AnyParameterValueIsInvalid());
    }

    void forwarders()
    {
        ParamsNet net;
        cParams params;
        const auto cp = net.deviceCp(QStringLiteral("Cp1"));
        MemoryTextBox box, stray;
        MemoryComboBox combo, strayCombo;
        MemoryCheckBox strayCheck;
        OptionGroup group;
        MemoryOptionButton b1(0, &group), b2(1, &group);
        cParamTextBox *t = params.AddTextBoxParameter(QStringLiteral("T"), &box, cp, QString());
        cParamComboBox *c = params.AddComboBoxParameter(QStringLiteral("C"), &combo, cp, QString());
        c->AddComboBoxItem(QStringLiteral("four"), 4);
        cParamOptBtn *o = params.AddOptionButtonParameter(QStringLiteral("O"), cp, QString());
        o->AddOptionButton(&b1, QStringLiteral("1"));
        o->AddOptionButton(&b2, QStringLiteral("2"));

        box.setText(QStringLiteral("17"));
        params.TextBox_Change_Event(&box);
        QCOMPARE(t->Value(), 17);
        int key = 'x';
        params.TextBox_KeyPress_Event(&box, key);
        QCOMPARE(key, 0);
        stray.setTag(QStringLiteral("Unknown"));
        QVERIFY_THROWS_EXCEPTION(TqmError, params.TextBox_Change_Event(&stray));

        combo.setListIndex(0);
        params.ComboBox_Change_Event(&combo);
        QCOMPARE(c->Value(), 4);
        params.ComboBox_Change_Event(&strayCombo);
        params.CheckBox_Click_Event(&strayCheck);

        b2.setValue(true);
        params.OptionButton_Click_Event(&b2);
        QCOMPARE(o->Value(), QStringLiteral("2"));
    }
};

QTEST_GUILESS_MAIN(TestParams)
#include "tst_params.moc"
