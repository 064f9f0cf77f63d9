#include "lns/embedded/valuetypes.h"
#include "support/raised.h"
#include "lns/rawtext.h"
#include "base/tqmerror.h"

#include <QTest>

using namespace embedded;

class TestValueTypes : public QObject
{
    Q_OBJECT

private slots:
    // RAW text, tab-separated bytes: both ways, read only ("parse"), or refused.
    void rawText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("ways");
        QTest::newRow("four bytes") << "0\t0\t1\t44" << QByteArray("\x00\x00\x01\x2c", 4) << "both";
        QTest::newRow("one byte") << "200" << QByteArray("\xc8", 1) << "both";
        QTest::newRow("empty") << "" << QByteArray() << "both";
        QTest::newRow("trailing tab ends the list") << "1\t2\t" << QByteArray("\x01\x02", 2) << "parse";
        QTest::newRow("too big") << "1\t256" << QByteArray() << "refused";
        QTest::newRow("negative") << "-1" << QByteArray() << "refused";
        QTest::newRow("letters") << "1\tx" << QByteArray() << "refused";
        QTest::newRow("empty middle") << "1\t\t2" << QByteArray() << "refused";
    }
    void rawText()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, ways);
        if (ways == "refused") {
            QCOMPARE(raised([&] { rawtext::parse(text); }).number(), TqmError::TypeMismatch);
            return;
        }
        QCOMPARE(rawtext::parse(text), bytes);
        if (ways == "both")
            QCOMPARE(rawtext::format(bytes), text);
    }

    // Network image and display text for every type the devices use: both ways, or one way
    // where the other is lenient ("parse": truncating instead of rounding, or enum names only,
    // would change these) or has nothing to show ("format"); text that does not fit the type is
    // "refused", naming itself (the RAW column gives the size only).
    void codecTable_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("ways");
        QTest::newRow("temp_p 21") << "SNVT_temp_p" << "21.00" << "8\t52" << "both";
        QTest::newRow("temp_p -2 (sign)") << "SNVT_temp_p" << "-2.00" << "255\t56" << "both";
        QTest::newRow("temp_p invalid") << "SNVT_temp_p" << "327.67" << "127\t255" << "both";
        QTest::newRow("temp_p min") << "SNVT_temp_p" << "-273.17" << "149\t75" << "both";
        QTest::newRow("temp_p -4.97") << "SNVT_temp_p" << "-4.97" << "254\t15" << "both";
        QTest::newRow("switch on") << "SNVT_switch" << "100.0 1" << "200\t1" << "both";
        QTest::newRow("switch nul") << "SNVT_switch" << "0.0 -1" << "0\t255" << "both";
        QTest::newRow("time_sec 60") << "SNVT_time_sec" << "60.0" << "2\t88" << "both";
        QTest::newRow("time_sec 0.3 (rounding)") << "SNVT_time_sec" << "0.3" << "0\t3" << "both";
        QTest::newRow("lev_percent 50") << "SNVT_lev_percent" << "50.000" << "39\t16" << "both";
        QTest::newRow("ppm 800") << "SNVT_ppm" << "800" << "3\t32" << "both";
        QTest::newRow("hvac_mode heat") << "SNVT_hvac_mode" << "HVAC_HEAT" << "1" << "both";
        QTest::newRow("hvac_mode nul") << "SNVT_hvac_mode" << "HVAC_NUL" << "255" << "both";
        QTest::newRow("occupancy standby") << "SNVT_occupancy" << "OC_STANDBY" << "3" << "both";
        QTest::newRow("setPnts default") << "SCPTsetPnts" << "23.00 25.00 28.00 21.00 19.00 16.00"
                                         << "8\t252\t9\t196\t10\t240\t8\t52\t7\t108\t6\t64" << "both";
        QTest::newRow("location") << "SCPTlocation" << "Room 12"
                                  << "82\t111\t111\t109\t32\t49\t50" + QString("\t0").repeated(24) << "both";
        QTest::newRow("0.29 rounds to 29") << "SNVT_temp_p" << "0.29" << "0\t29" << "parse";
        QTest::newRow("enum by number") << "SNVT_hvac_mode" << "3" << "3" << "parse";
        QTest::newRow("enum name any case") << "SNVT_hvac_mode" << "hvac_cool" << "3" << "parse";
        QTest::newRow("switch extra blanks") << "SNVT_switch" << "  50.0   0 " << "100\t0" << "parse";
        QTest::newRow("undefined enum code keeps its number") << "SNVT_hvac_mode" << "21" << "21" << "format";
        QTest::newRow("unknown type shows raw") << "UCPTpanelType" << "3\t4" << "3\t4" << "format";
        QTest::newRow("unexpected length shows raw") << "SNVT_temp_p" << "3\t4\t255" << "3\t4\t255" << "format";
        QTest::newRow("not a number") << "SNVT_temp_p" << "warm" << "0\t0" << "refused";
        QTest::newRow("below temp_p range") << "SNVT_temp_p" << "-300" << "0\t0" << "refused";
        QTest::newRow("above lev_cont") << "SNVT_lev_cont" << "100.5" << "0" << "refused";
        QTest::newRow("negative time") << "SNVT_time_sec" << "-1" << "0\t0" << "refused";
        QTest::newRow("switch one field") << "SNVT_switch" << "100.0" << "0\t0" << "refused";
        QTest::newRow("switch state 2") << "SNVT_switch" << "100.0 2" << "0\t0" << "refused";
        QTest::newRow("minDeltaTemp negative") << "SCPTminDeltaTemp" << "-0.5" << "0\t0" << "refused";
        QTest::newRow("setPnts field above 35") << "SCPTsetPnts" << "36 25 28 21 19 16" << "0" + QString("\t0").repeated(11)
                                                << "refused";
        QTest::newRow("raw too short") << "RAW" << "1" << "0\t0" << "refused";
        QTest::newRow("raw not a byte") << "RAW" << "1\t256" << "0\t0" << "refused";
        QTest::newRow("unknown type takes raw") << "UCPTbuttonMode" << "HVAC_HEAT" << "0" << "refused";
    }
    void codecTable()
    {
        QFETCH(QString, type);
        QFETCH(QString, text);
        QFETCH(QString, raw);
        QFETCH(QString, ways);
        const int size = int(rawtext::parse(raw).size());
        if (ways == "refused") {
            const TqmError error = raised([&] { valuetypes::parse(type, text, size); });
            QCOMPARE(error.number(), TqmError::LnsInvalidValue);
            QVERIFY2(error.description().contains(text.trimmed()), qPrintable(error.description()));
            return;
        }
        if (ways != "parse")
            QCOMPARE(valuetypes::format(type, rawtext::parse(raw)), text);
        if (ways != "format")
            QCOMPARE(rawtext::format(valuetypes::parse(type, text, size)), raw);
    }

    void dataPointFields()
    {
        const valuetypes::Type *setpt = valuetypes::find("SNVT_temp_setpt");
        QVERIFY(setpt);
        QByteArray bytes = valuetypes::find("SCPTsetPnts")->defaultValue;
        const int heat = setpt->fieldIndex("occupied_heat");
        QCOMPARE(valuetypes::formatField(*setpt, heat, bytes), QString("21.00"));
        valuetypes::parseField(*setpt, heat, "22.5", &bytes);
        QCOMPARE(valuetypes::formatValue(*setpt, bytes), QString("23.00 25.00 28.00 22.50 19.00 16.00"));
        QCOMPARE(setpt->fieldIndex("no_such_field"), -1);
    }
};

QTEST_GUILESS_MAIN(TestValueTypes)
#include "tst_valuetypes.moc"
