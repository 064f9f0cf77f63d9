#include "params/displayrules.h"

#include "params/numbers.h"

namespace displayrules {

using E = cParamEnums;

namespace {

struct ResolutionRow
{
    float step;
    int decimals;
    float gridFactor;     // the typed value is multiplied by this before rounding ...
    int roundingDecimals; // ... to this many places, then divided again
};

// Indexed by eResolution.
constexpr ResolutionRow resolutionRows[] = {
    {50.0f, 0, 1.0f / 50.0f, 0}, // RES_50: r/50 to a whole number, x 50
    {1.0f, 0, 1.0f, -1},         // RES_1: no rounding
    {0.5f, 1, 2.0f, 0},
    {0.2f, 1, 5.0f, 0},
    {0.1f, 1, 1.0f, 1},
    {0.05f, 2, 2.0f, 1},
    {0.02f, 2, 5.0f, 1},
    {0.01f, 2, 1.0f, 2},
    {0.005f, 3, 2.0f, 2},
    {0.002f, 3, 5.0f, 2},
    {0.001f, 3, 1.0f, 3},
};

} // namespace

QString unitMnemonic(qint32 unit)
{
    switch (unit) {
    case E::UNIT_Centimetres: return QStringLiteral("cm");
    case E::UNIT_Degrees: return QStringLiteral("°");
    case E::UNIT_DegreesCelsius: return QStringLiteral("°C");
    case E::UNIT_Kelvin: return QStringLiteral("K");
    case E::UNIT_Lux: return QStringLiteral("Lux");
    case E::UNIT_Metres: return QStringLiteral("m");
    case E::UNIT_MetresPerSecond: return QStringLiteral("m/s");
    case E::UNIT_Millimetres: return QStringLiteral("mm");
    case E::UNIT_Millisecond: return QStringLiteral("ms");
    case E::UNIT_Minute: return QStringLiteral("min");
    case E::UNIT_Percent: return QStringLiteral("%");
    case E::UNIT_Second: return QStringLiteral("s");
    default: return {};
    }
}

bool isKnownResolution(qint32 resolution)
{
    return resolution >= E::RES_50 && resolution <= E::RES_0_0_0_1;
}

float minStep(qint32 resolution)
{
    return isKnownResolution(resolution) ? resolutionRows[resolution].step : 0.0f;
}

int decimals(qint32 resolution)
{
    return isKnownResolution(resolution) ? resolutionRows[resolution].decimals : 0;
}

std::optional<qint32> resolutionForStep(float step)
{
    for (qint32 r = E::RES_50; r <= E::RES_0_0_0_1; ++r)
        if (resolutionRows[r].step == step)
            return r;
    return std::nullopt;
}

float roundToResolution(float value, qint32 resolution)
{
    if (!isKnownResolution(resolution))
        return value;
    const ResolutionRow &row = resolutionRows[resolution];
    if (row.roundingDecimals < 0)
        return value;
    if (resolution == E::RES_50)
        return float(numbers::roundHalfEven(double(value / 50.0f)) * 50.0);
    const float onGrid = value * row.gridFactor;
    return float(numbers::roundHalfEven(double(onGrid), row.roundingDecimals) / double(row.gridFactor));
}

qint32 keysAllowed(qint32 resolution, float rangeMin, float rangeMax)
{
    const bool nonNegative = rangeMin >= 0 && rangeMax >= 0;
    if (resolution == E::RES_50 || resolution == E::RES_1)
        return nonNegative ? E::KA_Numbers : E::KA_NumbersNeg;
    return nonNegative ? E::KA_NumbersFloat : E::KA_NumbersFloatNeg;
}

std::optional<SnvtPreset> snvtPreset(qint32 snvtType)
{
    switch (snvtType) {
    case E::Unsigned: return SnvtPreset{1, E::RES_1, 0.0f, 65535.0f, E::UNIT_No};
    case E::SNVT_angle_deg: return SnvtPreset{50, E::RES_0_0_2, -359.9f, 360.0f, E::UNIT_Degrees};
    case E::SNVT_lev_cont: return SnvtPreset{2, E::RES_0_5, 0.0f, 100.0f, E::UNIT_Percent};
    case E::SNVT_lev_percent: return SnvtPreset{200, E::RES_0_0_5, -163.84f, 163.83f, E::UNIT_Percent};
    case E::SNVT_lux: return SnvtPreset{1, E::RES_1, 0.0f, 65535.0f, E::UNIT_Lux};
    case E::SNVT_speed: return SnvtPreset{10, E::RES_0_1, 0.0f, 6553.5f, E::UNIT_MetresPerSecond};
    case E::SNVT_speed_mil: return SnvtPreset{1000, E::RES_0_0_0_1, 0.0f, 65.535f, E::UNIT_MetresPerSecond};
    case E::SNVT_switch_Value: return SnvtPreset{2, E::RES_0_5, 0.0f, 100.0f, E::UNIT_Percent};
    case E::SNVT_temp_p: return SnvtPreset{100, E::RES_0_0_1, -273.17f, 327.67f, E::UNIT_DegreesCelsius};
    case E::SNVT_time_min: return SnvtPreset{1, E::RES_1, 0.0f, 65535.0f, E::UNIT_Minute};
    case E::SNVT_time_sec: return SnvtPreset{10, E::RES_0_1, 0.0f, 6553.5f, E::UNIT_Second};
    default: return std::nullopt;
    }
}

} // namespace displayrules
