// The parameter model on the CPs of the parameter-model network: the parameter lists, the
// raw parameters and their byte windows, and the CP images.

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

    // Fresh for every test: the network and a parameter set that looks CPs up in its INI file.
    std::optional<ParamsNet> m_net;
    std::optional<cParams> m_params;

private slots:
    void init()
    {
        m_params.reset();
        m_net.emplace();
        m_params.emplace(cParams::Context{nullptr, QString(), &m_net->ini, ParamsNet::Template, QLocale::c()});
    }

    void listsAreOneBasedAndKeyed()
    {
        cParam1Byte *a = m_params->Add1ByteParameter(QStringLiteral("A"), nullptr, QString());
        cParam1Byte *b = m_params->Add1ByteParameter(QStringLiteral("B"), nullptr, QString());
        m_params->Add2ByteParameter(QStringLiteral("A"), nullptr, QString()); // same name, other kind
        QCOMPARE(m_params->Parameter1Byte(1), a);
        QCOMPARE(m_params->Parameter1Byte(2), b);
        QCOMPARE(m_params->Parameter1ByteByName(QStringLiteral("B")), b);
        QVERIFY_THROWS_EXCEPTION(TqmError, m_params->Parameter1Byte(0));
        QVERIFY_THROWS_EXCEPTION(TqmError, m_params->Parameter1Byte(3));
        QVERIFY_THROWS_EXCEPTION(TqmError, m_params->Parameter1ByteByName(QStringLiteral("C")));
        QCOMPARE(raised([&] { m_params->Add1ByteParameter(QStringLiteral("A"), nullptr, QString()); }).number(),
                 TqmError::DuplicateKey);
        QCOMPARE(m_params->Parameter1ByteCount(), 2);
        m_params->AddConfigProp(QStringLiteral("Image"), nullptr, QString());
        QCOMPARE(m_params->ConfigPropsCount(), 1);
        QCOMPARE(m_params->AllParameters().size(), 3);
    }

    void byControlIndexTakesFirst()
    {
        MemoryTextBox first(3), second(3);
        cParamTextBox *p = m_params->AddTextBoxParameter(QStringLiteral("First"), &first, nullptr, QString());
        m_params->AddTextBoxParameter(QStringLiteral("Second"), &second, nullptr, QString());
        QCOMPARE(m_params->TextBoxParameterByControlIndex(3), p);
        QCOMPARE(m_params->TextBoxParameterByControlIndex(9), nullptr);
        MemoryComboBox combo(5);
        cParamComboBox *c = m_params->AddComboBoxParameter(QStringLiteral("Combo"), &combo, nullptr, QString());
        QCOMPARE(m_params->ComboBoxParameterByControlIndex(5), c);
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
        MemoryTextBox box;
        MemoryCheckBox check;
        m_params->Add2ByteParameter(QStringLiteral("Two"), nullptr, QString());
        m_params->Add2ByteParameter(QStringLiteral("Both"), nullptr, QString());
        m_params->Add1ByteParameter(QStringLiteral("Both"), nullptr, QString());
        m_params->AddTextBoxParameter(QStringLiteral("Shown"), &box, nullptr, QString());
        m_params->AddCheckBoxParameter(QStringLiteral("Shown"), &check, nullptr, QString());
        m_params->AddAsciiParameter(QStringLiteral("Text"), nullptr, QString());
        cParam *found = m_params->ParameterAllByName(name, type);
        QTEST(found ? int(found->ClassId()) : 0, "expectedClass");
        if (found)
            QCOMPARE(found->Name(), name);
        QVERIFY_THROWS_EXCEPTION(TqmError, m_params->ParameterAllByName(QStringLiteral("Nothing"), E::PA_CLASSID_1BYTE_PARAMETER));
    }

    // What a write takes: the parameters in the order of their kinds, none kept back or unbound,
    // and each CP once, an image's where its first parameter is.
    void selectionForWriting()
    {
        MemoryTextBox box;
        const auto cp4 = m_net->deviceCp(QStringLiteral("Cp4"));
        cConfigProp *image = m_params->AddConfigProp(QStringLiteral("Image"), m_net->deviceCp(QStringLiteral("Cp6")), QString());
        m_params->AddTextBoxParameter(QStringLiteral("Text box"), &box, cp4, QString());
        m_params->Add2ByteParameter(QStringLiteral("Two"), m_net->deviceCp(QStringLiteral("Cp2")), QString());
        m_params->Add1ByteParameter(QStringLiteral("One"), cp4, QString());
        m_params->Add1ByteParameterExtCp(QStringLiteral("OnImage"), image);
        m_params->Add1ByteParameter(QStringLiteral("Unbound"), nullptr, QString())->setDontWriteToLns(false);
        m_params->Add1ByteParameter(QStringLiteral("Kept"), m_net->deviceCp(QStringLiteral("Cp1")), QString())->setDontWriteToLns(true);
        m_params->AddAsciiParameter(QStringLiteral("Text"), cp4, QString());
        QStringList names;
        for (cParam *p : m_params->GetAllParamsShouldBeWrittenToLns())
            names.append(p->Name());
        QCOMPARE(names, (QStringList{"One", "OnImage", "Two", "Text box", "Text"}));
        QCOMPARE(m_params->GetAllCpNamesShouldBeWrittenToLns(), (QStringList{"Cp4", "Cp6", "Cp2"}));
        QCOMPARE(m_params->GetAllCpsShouldBeWrittenToLns().first(), cp4);
    }

    // Events of a control no parameter owns: a text box's are an error, a combo box's or a check
    // box's are ignored. (The events of each kind's own controls are tst_controlparams'.)
    void eventsOfStrayControls()
    {
        MemoryTextBox stray;
        MemoryComboBox strayCombo;
        MemoryCheckBox strayCheck;
        stray.setTag(QStringLiteral("Unknown"));
        QVERIFY_THROWS_EXCEPTION(TqmError, m_params->TextBox_Change_Event(&stray));
        m_params->ComboBox_Change_Event(&strayCombo);
        m_params->CheckBox_Click_Event(&strayCheck);
    }

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
        cParam2Byte *p = m_params->Add2ByteParameter(QStringLiteral("P"), nullptr, QString());
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
        controls::MemoryComboBox combo;
        controls::MemoryCheckBox check;
        controls::MemoryTextBox text;
        const auto cp = m_net->deviceCp(cpName);
        cConfigProp *image = m_params->AddConfigProp(QStringLiteral("Image"), cp, cpName);
        const bool onImage = binding == QLatin1String("image");
        const QString name = QStringLiteral("P");
        const auto pos = qint16(bytePos);
        const auto length = quint8(byteLength);
        try {
            if (kind == QLatin1String("1")) {
                cParam1Byte *p = onImage ? m_params->Add1ByteParameterExtCp(name, image) : m_params->Add1ByteParameter(name, cp, cpName);
                p->setLateFetch(binding == QLatin1String("late"));
                p->ConsiderPartOfCpOnly(pos);
            } else if (kind == QLatin1String("2")) {
                m_params->Add2ByteParameter(name, cp, cpName)->ConsiderPartOfCpOnly(pos);
            } else if (kind == QLatin1String("A")) {
                m_params->AddAsciiParameter(name, cp, cpName)->ConsiderPartOfCpOnly(pos, length);
            } else if (kind == QLatin1String("combo")) {
                (onImage ? m_params->AddComboBoxParameterExtCp(name, &combo, image)
                         : m_params->AddComboBoxParameter(name, &combo, cp, cpName))->ConsiderPartOfCpOnly(pos, length);
            } else if (kind == QLatin1String("check")) {
                m_params->AddCheckBoxParameter(name, &check, cp, cpName)->ConsiderPartOfCpOnly(pos, length);
            } else {
                m_params->AddTextBoxParameter(name, &text, cp, cpName)->ConsiderPartOfCpOnly(pos, length);
            }
            QVERIFY(refusal.isEmpty());
            QCOMPARE(m_params->AllParameters().first()->BytePos(), pos);
        } catch (const TqmError &e) {
            QCOMPARE(e.description(), refusal);
            QCOMPARE(e.number(), qint32(0x800403E8u));
            QCOMPARE(e.source(), QStringLiteral("ConsiderPartOfCpOnly"));
            QCOMPARE(m_params->AllParameters().first()->BytePos(), qint16(0)); // the window stays
        }
    }

    void imageBoundNumbers()
    {
        const auto cp = m_net->deviceCp(QStringLiteral("Cp4"));
        cConfigProp *image = m_params->AddConfigProp(QStringLiteral("Cp4"), cp, QStringLiteral("Cp4"));
        cParam1Byte *first = m_params->Add1ByteParameterExtCp(QStringLiteral("First"), image);
        cParam2Byte *last = m_params->Add2ByteParameterExtCp(QStringLiteral("Last"), image);
        first->ConsiderPartOfCpOnly(1);
        last->ConsiderPartOfCpOnly(3);
        QVERIFY(!first->FetchCp(true));
        first->ReadFromLns(); // image-bound: the image does the talking
        QCOMPARE(first->Value(), 0);
        first->ReadFromExtCp();
        last->ReadFromExtCp();
        QCOMPARE(first->Value(), 10);
        QCOMPARE(last->Value(), 30 * 256 + 40);
        QVERIFY_THROWS_EXCEPTION(TqmError, image->ByteValue(5));

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
        const auto cp = m_net->deviceCp(QStringLiteral("Cp6"));
        ParamsNet::setRaw(cp, QStringLiteral("1\t72\t105\t0\t0\t2"));
        cParamASCII *text = m_params->AddAsciiParameter(QStringLiteral("Text"), cp, QString());
        text->ConsiderPartOfCpOnly(2, 4);
        text->ReadFromLns();
        QCOMPARE(text->Value(), QStringLiteral("Hi"));
        text->setValue(QStringLiteral("Room5"));
        text->WriteToLns();
        QCOMPARE(ParamsNet::raw(cp), QStringLiteral("1\t82\t111\t111\t109\t2"));
    }

    void fetchOnRead()
    {
        // Available because a CP was given; the late parameter rebinds when asked to fetch.
        cParam1Byte *p = m_params->Add1ByteParameter("P", m_net->deviceCp("Cp1"), "Cp4");
        p->setSuperiorLnsObject(m_net->device);
        QVERIFY(p->FetchCp(true));
        QCOMPARE(p->ConfigProperty()->name(), QStringLiteral("Cp4"));
        p->ConsiderPartOfCpOnly(2);
        p->ReadFromLns(true);
        QCOMPARE(p->Value(), 20);

        cParam1Byte *unbound = m_params->Add1ByteParameter(QStringLiteral("Unbound"), nullptr, QStringLiteral("Cp4"));
        unbound->setSuperiorLnsObject(m_net->device);
        QVERIFY(!unbound->FetchCp(true));
        unbound->ReadFromLns(true);
        QVERIFY(!unbound->CpFetched());
    }

    void imageWithoutCp()
    {
        cConfigProp *image = m_params->AddConfigProp(QStringLiteral("None"), nullptr, QStringLiteral("Cp4"));
        QVERIFY(!image->Available());
        QVERIFY(!image->FetchCp(true));
        QCOMPARE(image->ByteLength(), qint16(-1));
        image->ReadFromLns(true);
        image->WriteToLns();
        QVERIFY_THROWS_EXCEPTION(TqmError, image->ByteValue(1));
    }

    void arrayElementByElement()
    {
        const auto cp = m_net->deviceCp(QStringLiteral("Arr"));
        ParamsNet::setRaw(cp, QStringLiteral("1\t2\t3\t4\t5\t6"));
        cConfigProp *image = m_params->AddConfigProp(QStringLiteral("Arr"), cp, QString());
        m_net->server->resetMessageCounts();
        image->ReadFromLns();
        QCOMPARE(m_net->server->messageCounts(m_net->device).cpReads, 3);
        for (int i = 1; i <= 6; ++i)
            QCOMPARE(int(image->ByteValue(i)), i);

        image->setByteValue(3, 30);
        image->setByteValue(6, 60);
        m_net->server->resetMessageCounts();
        image->WriteToLns();
        QCOMPARE(m_net->server->messageCounts(m_net->device).cpWrites, 3);
        QCOMPARE(ParamsNet::raw(cp), QStringLiteral("1\t2\t30\t4\t5\t60"));
    }

    void lengthsStayWhenCpIsReplaced()
    {
        cConfigProp *image = m_params->AddConfigProp(QStringLiteral("Cp4"), m_net->deviceCp(QStringLiteral("Cp4")), QString());
        image->ReadFromLns();
        image->setConfigProperty(m_net->deviceCp(QStringLiteral("Cp6")));
        QCOMPARE(image->ByteLength(), qint16(4));
        QCOMPARE(image->ElementByteLength(), qint16(4));
        // The byte array keeps its four bytes: six fields do not fit.
        QVERIFY_THROWS_EXCEPTION(TqmError, image->ReadFromLns());
    }

    void formatIsRestored()
    {
        const auto cp = m_net->deviceCp(QStringLiteral("Temp"));
        const QString format = cp->formatSpec();
        QVERIFY(format != lns::RawFormat);
        cConfigProp *image = m_params->AddConfigProp(QStringLiteral("Temp"), cp, QString());
        image->ReadFromLns();
        QCOMPARE(cp->formatSpec(), format);
        image->WriteToLns();
        QCOMPARE(cp->formatSpec(), format);
    }

    void firstByteReadLoadsOnce()
    {
        const auto cp = m_net->deviceCp(QStringLiteral("Cp4"));
        cConfigProp *image = m_params->AddConfigProp(QStringLiteral("Cp4"), cp, QString());
        QCOMPARE(int(image->ByteValue(1)), 10); // the first read loads the CP
        image->setByteValue(1, 99);
        ParamsNet::setRaw(cp, QStringLiteral("1\t1\t1\t1"));
        QCOMPARE(int(image->ByteValue(1)), 99);

        // Loaded by a read pass, the image keeps what its parameters wrote into it.
        cConfigProp *loaded = m_params->AddConfigProp(QStringLiteral("Loaded"), cp, QString());
        cParam1Byte *first = m_params->Add1ByteParameterExtCp(QStringLiteral("First"), loaded);
        first->ConsiderPartOfCpOnly(1);
        loaded->ReadFromLns();
        first->setValue(77);
        first->WriteToExtCp();
        QCOMPARE(int(loaded->ByteValue(1)), 77);
        QCOMPARE(int(loaded->ByteValue(2)), 1);
    }

    // Where an INI entry leads is tst_inifile's; here the image binds to it.
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
        // Available only when created with a CP; the CP given first is replaced by a forced fetch.
        cConfigProp *image = m_params->AddConfigProp(QStringLiteral("Image"), m_net->deviceCp(QStringLiteral("Cp1")), iniName);
        image->setSuperiorLnsObject(onDevice ? lns::ObjectPtr(m_net->device) : lns::ObjectPtr(m_net->module));
        QVERIFY(image->FetchCp(false)); // bound already: nothing is looked up
        QCOMPARE(image->ConfigProperty()->name(), QStringLiteral("Cp1"));
        QCOMPARE(image->FetchCp(true), !expectedCp.isEmpty());
        QCOMPARE(image->ConfigProperty()->name(), expectedCp.isEmpty() ? QStringLiteral("Cp1") : expectedCp);
    }
};

QTEST_GUILESS_MAIN(TestParams)
#include "tst_params.moc"
