#pragma once

// Translation between a numeric parameter's scaled integer and what the user sees: the unit
// texts, the display step of each resolution with its pattern and the rounding of typed
// values, and the presets of the standard network-variable types. Pure functions.

#include "params/cparamenums.h"

#include <QString>
#include <optional>

namespace displayrules {

// The unit's text, or empty for units without one (user-defined units keep their own text).
QString unitMnemonic(qint32 unit);

// Whether the resolution is one of the eleven known steps.
bool isKnownResolution(qint32 resolution);

// The display step; 0 for an unknown resolution.
float minStep(qint32 resolution);

// Decimal places of the display pattern ("0" to "0.000"); 0 for an unknown resolution.
int decimals(qint32 resolution);

// The resolution whose step is exactly `step`, if any.
std::optional<qint32> resolutionForStep(float step);

// A typed value put on the resolution's grid, in single precision, halves to even. An unknown
// resolution leaves the value.
float roundToResolution(float value, qint32 resolution);

// Key filter for a range shown at a resolution: whole numbers for the two coarse steps,
// decimals otherwise; the minus sign when either limit is negative.
qint32 keysAllowed(qint32 resolution, float rangeMin, float rangeMax);

struct SnvtPreset
{
    qint32 factor;
    qint32 resolution;
    float rangeMin;
    float rangeMax;
    qint32 unit;
};

// Factor, resolution, range and unit of a standard type; none for types without a preset.
std::optional<SnvtPreset> snvtPreset(qint32 snvtType);

} // namespace displayrules
