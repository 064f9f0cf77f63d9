// Every text-box parameter of every device template at its limits and one step beyond, in both
// languages: what the field shows while typed and after it is left, and what Apply writes.

#include "windowrig.h"

#include "params/cparams.h"
#include "params/cparamtextbox.h"
#include "params/numbers.h"

using namespace ui;

namespace {

const QStringList Devices{"CM 1.01", "CM 1.02", "CM 1.03", "CM 1.04", "CM 1.05", "CM 1.06"};

// The big-endian bytes of `value` as RAW text of `count` fields.
QString rawText(qint64 value, int count)
{
    QStringList fields;
    for (int i = count - 1; i >= 0; --i)
        fields.append(QString::number((value >> (8 * i)) & 0xff));
    return fields.join('\t');
}

// The typed text of a number: the shortest decimal, with a comma in German sessions.
QString typed(double number, int lang)
{
    QString text = QString::number(number, 'g', 7);
    return lang == ResStrings::German ? text.replace('.', ',') : text;
}

} // namespace

class TestParameterBounds : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { setLanguage(ResStrings::English); }

    void limitsAndOneStepBeyond_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("parameter");
        QTest::addColumn<int>("lang");
        QTest::addColumn<int>("bound"); // -1 minimum, 1 maximum
        QTest::addColumn<bool>("beyond");
        for (const QString &device : Devices) {
            WindowRig rig(device);
            const cParams &params = *rig.window->configuration()->Parameters();
            for (int i = 1; i <= params.TextBoxParameterCount(); ++i) {
                const cParamTextBox *p = params.TextBoxParameter(i);
                if (!p->Available())
                    continue;
                for (const int lang : {int(ResStrings::English), int(ResStrings::German)})
                    for (const int bound : {-1, 1})
                        for (const bool beyond : {false, true})
                            QTest::addRow("%s %s %s %s%s", qPrintable(device), qPrintable(p->Name()),
                                          lang ? "de" : "en", bound < 0 ? "min" : "max", beyond ? "+step" : "")
                                << device << p->Name() << lang << bound << beyond;
            }
        }
    }
    void limitsAndOneStepBeyond()
    {
        QFETCH(QString, device);
        QFETCH(QString, parameter);
        QFETCH(int, lang);
        QFETCH(int, bound);
        QFETCH(bool, beyond);
        WindowRig rig;
        setLanguage(lang);
        rig.open(device);
        cParamTextBox *p = rig.window->configuration()->Parameters()->TextBoxParameterByName(parameter);
        controls::MemoryTextBox *box = rig.view.textBox(p->TextBoxControl()->controlIndex());
        const int heartbeat = parameter == "MaxReceiveTime" ? 0 : parameter == "MaxSendTime" ? 1 : -1;
        if (heartbeat >= 0 && !box->enabled())
            rig.view.checkBox(heartbeat)->click();
        const auto cp = [p] { return cpaccess::readRawText(*p->ConfigProperty()); };
        const QString cpBefore = cp();
        const int cpLength = int(cpBefore.split('\t').size());

        const float limit = bound < 0 ? p->TextBoxRangeMin() : p->TextBoxRangeMax();
        const double number = numbers::decimalOf(limit) + (beyond ? bound * double(p->MinStep()) : 0.0);
        box->typeText(typed(number, lang));
        QCOMPARE(box->foreColor() == controls::colour::Red, beyond);

        // Apply with a value beyond the range writes nothing, names the field and its range and
        // puts the focus there.
        if (beyond) {
            QVERIFY(rig.view.clickLineButton(LineButton::Apply));
            QCOMPARE(cp(), cpBefore);
            QCOMPARE(rig.dialogs.messages.size(), 1);
            QVERIFY(rig.dialogs.messages.first().text.contains(p->TextBoxTitle()));
            QVERIFY(rig.dialogs.messages.first().text.contains(
                numbers::numberText(p->TextBoxRangeMax(), QLocale::system())));
            QCOMPARE(rig.view.focusedElement(), Element::textBox(box->controlIndex()));
            QVERIFY(rig.session.parametersChangedFlag);
            // Leaving the field limits it to the bound, which is valid.
            QVERIFY(!box->leave());
            QCOMPARE(rig.dialogs.messages.size(), 2);
        } else {
            QVERIFY(box->leave());
            QVERIFY(rig.dialogs.messages.isEmpty());
        }
        QCOMPARE(box->foreColor(), controls::colour::WindowText);
        QVERIFY(rig.view.clickLineButton(LineButton::Apply));
        QCOMPARE(rig.dialogs.messages.size(), beyond ? 2 : 0);
        const qint64 raw = qRound64((numbers::decimalOf(limit) - p->OffsetCalc()) * p->Factor());
        QCOMPARE(cp(), rawText(raw, cpLength));
        QVERIFY(!rig.session.parametersChangedFlag);
    }
};

QTEST_GUILESS_MAIN(TestParameterBounds)
#include "tst_parameterbounds.moc"
