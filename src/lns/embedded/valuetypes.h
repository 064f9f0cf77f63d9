#pragma once

// The standard network-variable and configuration-property types the simulated devices know:
// byte size, signedness, scaling, structure fields and enumeration names, and the one codec
// between a value's network image (big-endian bytes) and its display text in the type's own
// format. Types not in the table (the manufacturer's UCPT... types) have no display format:
// their values show as RAW text.
//
// Display texts: scaled numbers with as many decimals as the resolution needs ("21.00" for
// SNVT_temp_p, "60.0" for SNVT_time_sec), enumerations by name ("HVAC_HEAT"; a code without a
// name by its number), structures as their fields separated by one blank ("100.0 1" for
// SNVT_switch), strings as their text.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace embedded::valuetypes {

struct Enumeration
{
    QString name;
    QList<QPair<int, QString>> values;
    QString nameOf(int code) const;
    bool codeOf(const QString &name, int *code) const;
};

struct Field
{
    enum class Kind { Number, Enum, Text };
    QString name;
    Kind kind = Kind::Number;
    int size = 1; // bytes
    bool isSigned = false;
    double resolution = 1.0;
    qint64 rawMin = 0; // accepted raw codes when parsing
    qint64 rawMax = 0;
    const Enumeration *enumeration = nullptr;
    int decimals() const;
};

struct Type
{
    QString name;
    int key = 0;          // the standard type number
    QList<Field> fields;  // a scalar has one field named "value"
    QByteArray defaultValue; // empty: all zero
    int size() const;
    int fieldOffset(int fieldIndex) const;
    int fieldIndex(const QString &fieldName) const; // -1 when absent
};

// Null when the type is not in the table.
const Type *find(const QString &typeName);
const Type *findByKey(int key);

// Every text conversion throws TqmError(LnsInvalidValue) for text that does not fit the type,
// naming the text and the type.
QString formatValue(const Type &type, const QByteArray &bytes);
QByteArray parseValue(const Type &type, const QString &text);
QString formatField(const Type &type, int fieldIndex, const QByteArray &bytes);
// Writes the field's bytes into `bytes` (which has the type's size).
void parseField(const Type &type, int fieldIndex, const QString &text, QByteArray *bytes);

// The codec a value object uses for its format specification: "RAW" gives rawtext, a type name
// of the table gives that type's display text (the value's own type when `formatSpec` is empty),
// and a type outside the table falls back to RAW.
QString format(const QString &formatSpec, const QByteArray &bytes);
QByteArray parse(const QString &formatSpec, const QString &text, int expectedSize);

// Whether `formatSpec` may be used on a value of `size` bytes.
bool formatFits(const QString &formatSpec, int size);

} // namespace embedded::valuetypes
