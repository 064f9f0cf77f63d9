#pragma once

// How the monitoring page shows the values its network variables report. Pure functions of the
// reported text, so that the page, the temperature calibration and the tests read a value alike.
// A value that cannot be read (an empty text after a failed read, a RAW text that is not two
// bytes) shows as an empty field rather than as a number the device never sent.

#include <QLocale>
#include <QString>
#include <optional>

namespace outputtexts {

// A RAW text of two bytes as the signed 16-bit number they hold, most significant byte first
// ("8\t52" gives 2100, "255\t56" gives -200); none for anything else.
std::optional<qint32> signedRawValue(const QString &rawText);

// nvoSpaceTemp: hundredths of a degree shown with one decimal ("21.0").
QString spaceTemperatureText(const QString &rawText, const QLocale &locale);
// nvoSetptOffset: as the temperature, with "+" in front of a positive offset ("+1.5").
QString setPointOffsetText(const QString &rawText, const QLocale &locale);

// The fan speed level that the percentage corresponds to with this fan-coil step count: 0 for
// off, 1 to N otherwise. The count has to be 1 to 200 (none outside).
std::optional<qint32> equivalentFanLevel(double percent, qint32 stepCount);

// nvoFanSpeed ("100.0 1": the level in percent and the state -1, 0 or 1) in its three fields.
struct FanSpeedTexts
{
    QString level; // field 7: the percentage
    QString state; // field 8: "invalid", "off" or "on"
    QString equivalentLevel; // field 9
};
FanSpeedTexts fanSpeedTexts(const QString &value, qint32 stepCount, const QLocale &locale);

} // namespace outputtexts
