#include "params/paramdescription.h"

#include "params/numbers.h"

namespace paramdescription {

const ParamDescriptionPtr &initial()
{
    static const ParamDescriptionPtr shared = std::make_shared<const ParamDescription>();
    return shared;
}

bytewindow::Window numberWindow(const ParamDescription &d, const CpShape &shape, int width, int usedBytes,
                                bool isSigned)
{
    if (d.bytePos == 0)
        return {1, shape.elementLength, usedBytes, isSigned};
    return {d.bytePos, width, usedBytes, isSigned};
}

double shownValue(const ParamDescription &d, qint32 value)
{
    return double(value) / d.factor;
}

qint32 rawFromValue(const ParamDescription &d, qint32 value)
{
    return numbers::toInt32(double(value) - double(d.offset) * d.factor);
}

qint32 valueFromRaw(const ParamDescription &d, qint64 raw)
{
    return numbers::toInt32(double(d.offset) * d.factor + double(raw));
}

bool rawIsSignedByRange(const ParamDescription &d)
{
    return d.rangeMin - d.offset < 0;
}

bool isWithinRange(const ParamDescription &d, qint32 value)
{
    const double number = shownValue(d, value);
    return number >= numbers::decimalOf(d.rangeMin) && number <= numbers::decimalOf(d.rangeMax);
}

qint64 scaledMin(const ParamDescription &d)
{
    return qRound64(numbers::decimalOf(d.rangeMin) * d.factor);
}

qint64 scaledMax(const ParamDescription &d)
{
    return qRound64(numbers::decimalOf(d.rangeMax) * d.factor);
}

bool listHolds(const ParamDescription &d, qint32 value)
{
    for (const ListItem &item : d.items)
        if (item.value == value)
            return true;
    return false;
}

QStringList listValues(const ParamDescription &d)
{
    QStringList values;
    for (const ListItem &item : d.items)
        values.append(QString::number(item.value));
    values.removeDuplicates();
    return values;
}

} // namespace paramdescription
