#pragma once

// What a parameter is, apart from the value it holds and the control that shows it: where its
// number lies in the CP, how the raw number is scaled for display, what it may hold and which
// list items it offers. A description never changes once made; parameters share it by
// reference, and a setter of a parameter replaces the parameter's description by an amended
// copy. Everything that follows from a description alone is a pure function here.

#include "params/bytewindow.h"
#include "params/cparamenums.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

// The bytes a parameter's window lies in: one element's length (a window at position 0 covers
// the whole element) and all bytes of the CP or image.
struct CpShape
{
    int elementLength = 0;
    int totalLength = 0;
};

// One choice of a list: the text shown and the value it stands for.
struct ListItem
{
    QString text;
    qint32 value = 0;
};

struct ParamDescription
{
    // ---- the byte window ----
    qint16 bytePos = 0;     // 1-based; 0 = the whole element (texts: the whole CP)
    quint8 byteLength = 0;  // where the kind has one
    quint8 usedBytes = 0;   // bytes of the window that carry the number (0 = all)
    bool signedRaw = false; // the raw number is two's complement

    // ---- numbers shown scaled: shown = value / factor, value = raw + offset x factor ----
    qint32 factor = 1;
    float offset = 0;
    qint32 resolution = cParamEnums::RES_1;
    qint32 unit = cParamEnums::UNIT_No;
    QString unitMnemonic;
    qint32 snvtType = cParamEnums::Unsigned;
    float rangeMin = 0; // the valid range of the shown value
    float rangeMax = 0;
    float textBoxRangeMin = 0; // what a text box accepts; may be narrower
    float textBoxRangeMax = 0;

    // ---- choices: numbers from a list, or the RAW texts of option buttons ----
    QList<ListItem> items;
    QStringList rawTextItems;
};

using ParamDescriptionPtr = std::shared_ptr<const ParamDescription>;

namespace paramdescription {

// The description every new parameter starts from, one instance shared by all of them.
const ParamDescriptionPtr &initial();

// The window of a number `width` bytes wide at the description's position, or the whole
// element at position 0.
bytewindow::Window numberWindow(const ParamDescription &d, const CpShape &shape, int width, int usedBytes,
                                bool isSigned);

// value / factor: the decimal the scaled integer stands for.
double shownValue(const ParamDescription &d, qint32 value);
// The raw number in the CP for a scaled value, and back.
qint32 rawFromValue(const ParamDescription &d, qint32 value);
qint32 valueFromRaw(const ParamDescription &d, qint64 raw);
// The raw number is signed when the valid range reaches below the offset.
bool rawIsSignedByRange(const ParamDescription &d);
// Whether a scaled value lies within rangeMin..rangeMax (compared as the decimals the limits
// stand for).
bool isWithinRange(const ParamDescription &d, qint32 value);
// The valid range as scaled integers.
qint64 scaledMin(const ParamDescription &d);
qint64 scaledMax(const ParamDescription &d);

// Whether one of the list items carries `value`, and the distinct item values in list order.
bool listHolds(const ParamDescription &d, qint32 value);
QStringList listValues(const ParamDescription &d);

} // namespace paramdescription
