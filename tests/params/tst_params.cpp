// The parameter model on the CPs of the parameter-model network: the parameter lists, the raw
// parameters and their byte windows, the CP images, and parameters bound to controls (text boxes:
// scaling, rounding, limits, lock modes; combo boxes, check boxes and option buttons).

#include "paramsnet.h"
#include "lns/controls/memorycontrols.h"
#include "lns/userdialogs.h"
#include "params/cconfigprop.h"
#include "params/choiceparams.h"
#include "params/controlrouting.h"
#include "params/cparams.h"
#include "params/cparamtextbox.h"
#include "params/rawparams.h"
#include "strings/resstrings.h"
#include "support/raised.h"

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
    void cleanup() { setLanguage(ResStrings::English); }

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
    // box's are ignored. (The events of each kind's own controls: below.)
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

QTEST_GUILESS_MAIN(TestParams)
#include "tst_params.moc"
