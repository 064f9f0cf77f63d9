#include "lns/embedded/valuetypes.h"

#include "lns/rawtext.h"
#include "base/tqmerror.h"

#include <QHash>
#include <QLocale>
#include <cmath>

namespace embedded::valuetypes {

namespace {

const QString Source = QStringLiteral("ValueFormat");

const Enumeration &hvacEnum()
{
    static const Enumeration e{QStringLiteral("hvac_t"),
                               {{-1, "HVAC_NUL"}, {0, "HVAC_AUTO"}, {1, "HVAC_HEAT"}, {2, "HVAC_MRNG_WRMUP"},
                                {3, "HVAC_COOL"}, {4, "HVAC_NIGHT_PURGE"}, {5, "HVAC_PRE_COOL"}, {6, "HVAC_OFF"},
                                {7, "HVAC_TEST"}, {8, "HVAC_EMERG_HEAT"}, {9, "HVAC_FAN_ONLY"}, {10, "HVAC_FREE_COOL"},
                                {11, "HVAC_ICE"}, {12, "HVAC_MAX_HEAT"}, {13, "HVAC_ECONOMY"}, {14, "HVAC_DEHUMID"},
                                {15, "HVAC_CALIBRATE"}, {16, "HVAC_EMERG_COOL"}, {17, "HVAC_EMERG_STEAM"},
                                {18, "HVAC_MAX_COOL"}, {19, "HVAC_HVC_LOAD"}, {20, "HVAC_NO_LOAD"}}};
    return e;
}

const Enumeration &occupancyEnum()
{
    static const Enumeration e{QStringLiteral("occup_t"),
                               {{-1, "OC_NUL"}, {0, "OC_OCCUPIED"}, {1, "OC_UNOCCUPIED"}, {2, "OC_BYPASS"},
                                {3, "OC_STANDBY"}}};
    return e;
}

Field number(const QString &name, int size, bool isSigned, double resolution, qint64 rawMin, qint64 rawMax)
{
    Field f;
    f.name = name;
    f.size = size;
    f.isSigned = isSigned;
    f.resolution = resolution;
    f.rawMin = rawMin;
    f.rawMax = rawMax;
    return f;
}

// Full range of the field's bytes.
Field plain(const QString &name, int size, bool isSigned, double resolution)
{
    const qint64 span = qint64(1) << (8 * size);
    return isSigned ? number(name, size, true, resolution, -span / 2, span / 2 - 1)
                    : number(name, size, false, resolution, 0, span - 1);
}

Field enumField(const QString &name, const Enumeration &e)
{
    Field f = number(name, 1, true, 1.0, -128, 127);
    f.kind = Field::Kind::Enum;
    f.enumeration = &e;
    return f;
}

Field tempField(const QString &name) { return number(name, 2, true, 0.01, -27317, 32767); }

Type scalar(const QString &name, int key, const Field &field)
{
    Field f = field;
    f.name = QStringLiteral("value");
    return Type{name, key, {f}, {}};
}

// A configuration-property type is its base type under its own name and default.
Type derived(const QString &name, int key, const Type &base, const QByteArray &defaultValue = {})
{
    Type t = base;
    t.name = name;
    t.key = key;
    t.defaultValue = defaultValue;
    return t;
}

QList<Type> buildTable()
{
    const Type tempP = scalar("SNVT_temp_p", 105, tempField({}));
    const Type timeSec = scalar("SNVT_time_sec", 107, plain({}, 2, false, 0.1));
    const Type levPercent = scalar("SNVT_lev_percent", 81, plain({}, 2, true, 0.005));
    const Type ppm = scalar("SNVT_ppm", 29, plain({}, 2, false, 1));
    const Type tempSetpt{"SNVT_temp_setpt", 106,
                         {tempField("occupied_cool"), tempField("standby_cool"), tempField("unoccupied_cool"),
                          tempField("occupied_heat"), tempField("standby_heat"), tempField("unoccupied_heat")},
                         {}};
    Field ascii;
    ascii.name = QStringLiteral("value");
    ascii.kind = Field::Kind::Text;
    ascii.size = 31;
    const Type strAsc{"SNVT_str_asc", 36, {ascii}, {}};
    const char setPntsDefault[] = {8, char(252), 9, char(196), 10, char(240), 8, 52, 7, 108, 6, 64};

    Type minDeltaTemp = derived("SCPTminDeltaTemp", 64, tempP);
    minDeltaTemp.fields[0].rawMin = 0;
    Type minDeltaRh = derived("SCPTminDeltaRH", 62, levPercent, QByteArray::fromHex("00c8"));
    minDeltaRh.fields[0].rawMin = 0;
    Type setPnts = derived("SCPTsetPnts", 60, tempSetpt, QByteArray(setPntsDefault, sizeof setPntsDefault));
    for (Field &f : setPnts.fields) {
        f.rawMin = -1000;
        f.rawMax = 3500;
    }

    return {
        tempP,
        timeSec,
        levPercent,
        ppm,
        scalar("SNVT_lev_cont", 21, number({}, 1, false, 0.5, 0, 200)),
        scalar("SNVT_angle_deg", 104, number({}, 2, true, 0.02, -17999, 32767)),
        scalar("SNVT_lux", 79, plain({}, 2, false, 1)),
        scalar("SNVT_speed", 34, plain({}, 2, false, 0.1)),
        scalar("SNVT_speed_mil", 35, plain({}, 2, false, 0.001)),
        scalar("SNVT_time_min", 123, plain({}, 2, false, 1)),
        Type{"SNVT_switch", 95, {number("value", 1, false, 0.5, 0, 200), number("state", 1, true, 1, -1, 1)}, {}},
        tempSetpt,
        Type{"SNVT_hvac_status", 112,
             {enumField("mode", hvacEnum()), plain("heat_output_primary", 2, true, 0.005),
              plain("heat_output_secondary", 2, true, 0.005), plain("cool_output", 2, true, 0.005),
              plain("econ_output", 2, true, 0.005), plain("fan_output", 2, true, 0.005), plain("in_alarm", 1, false, 1)},
             {}},
        Type{"SNVT_time_stamp", 84,
             {number("year", 2, true, 1, -1, 3000), number("month", 1, false, 1, 0, 12),
              number("day", 1, false, 1, 0, 31), number("hour", 1, false, 1, 0, 23),
              number("minute", 1, false, 1, 0, 59), number("second", 1, false, 1, 0, 59)},
             {}},
        strAsc,
        scalar("SNVT_hvac_mode", 108, enumField({}, hvacEnum())),
        scalar("SNVT_occupancy", 109, enumField({}, occupancyEnum())),
        derived("SCPTmaxRcvTime", 48, timeSec),
        derived("SCPTmaxSendTime", 49, timeSec),
        derived("SCPTminSendTime", 52, timeSec),
        derived("SCPToffsetTemp", 70, tempP),
        minDeltaTemp,
        setPnts,
        derived("SCPTlocation", 17, strAsc),
        derived("SCPToffsetCO2", 68, ppm),
        derived("SCPTminDeltaCO2", 63, ppm, QByteArray::fromHex("000a")),
        derived("SCPToffsetRH", 69, levPercent),
        minDeltaRh,
    };
}

const QList<Type> &table()
{
    static const QList<Type> types = buildTable();
    return types;
}

TqmError invalid(const QString &text, const QString &what)
{
    return TqmError(TqmError::LnsInvalidValue, Source,
                    QStringLiteral("The value \"%1\" is not valid for %2.").arg(text, what));
}

qint64 readRaw(const Field &f, const char *data)
{
    quint64 u = 0;
    for (int i = 0; i < f.size; ++i)
        u = (u << 8) | quint8(data[i]);
    if (f.isSigned && (u & (quint64(1) << (8 * f.size - 1))))
        return qint64(u) - (qint64(1) << (8 * f.size));
    return qint64(u);
}

void writeRaw(const Field &f, qint64 raw, char *data)
{
    quint64 u = quint64(raw);
    for (int i = f.size - 1; i >= 0; --i) {
        data[i] = char(u & 0xFF);
        u >>= 8;
    }
}

QString fieldText(const Field &f, const char *data)
{
    if (f.kind == Field::Kind::Text) {
        const QByteArray bytes(data, f.size);
        const int end = bytes.indexOf('\0');
        return QString::fromLatin1(end < 0 ? bytes : bytes.left(end));
    }
    const qint64 raw = readRaw(f, data);
    if (f.kind == Field::Kind::Enum)
        return f.enumeration->nameOf(int(raw));
    return QString::number(double(raw) * f.resolution, 'f', f.decimals());
}

void fieldFromText(const Type &type, const Field &f, const QString &text, char *data)
{
    const QString what = f.name == QLatin1String("value") ? type.name : type.name + QLatin1Char('.') + f.name;
    if (f.kind == Field::Kind::Text) {
        const QByteArray latin = text.toLatin1();
        if (latin.size() >= f.size || QString::fromLatin1(latin) != text)
            throw invalid(text, what);
        std::fill(data, data + f.size, '\0');
        std::copy(latin.begin(), latin.end(), data);
        return;
    }
    if (f.kind == Field::Kind::Enum) {
        int code = 0;
        if (f.enumeration->codeOf(text.trimmed(), &code)) {
            writeRaw(f, code, data);
            return;
        }
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        throw invalid(text, what);
    const double scaled = value / f.resolution;
    const qint64 raw = qint64(std::llround(scaled));
    // 255 for a signed byte is how the network image of -1 (NUL) is often typed.
    const qint64 accepted = (f.isSigned && f.size == 1 && raw == 255) ? -1 : raw;
    if (accepted < f.rawMin || accepted > f.rawMax)
        throw invalid(text, what);
    writeRaw(f, accepted, data);
}

QStringList splitFields(const QString &text) { return text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts); }

} // namespace

QString Enumeration::nameOf(int code) const
{
    for (const auto &v : values)
        if (v.first == code)
            return v.second;
    return QString::number(code);
}

bool Enumeration::codeOf(const QString &text, int *code) const
{
    for (const auto &v : values)
        if (v.second.compare(text, Qt::CaseInsensitive) == 0) {
            *code = v.first;
            return true;
        }
    return false;
}

int Field::decimals() const
{
    int digits = 0;
    for (double r = resolution; r < 0.999999 && digits < 6; r *= 10)
        ++digits;
    return digits;
}

int Type::size() const
{
    int total = 0;
    for (const Field &f : fields)
        total += f.size;
    return total;
}

int Type::fieldOffset(int index) const
{
    int offset = 0;
    for (int i = 0; i < index; ++i)
        offset += fields[i].size;
    return offset;
}

int Type::fieldIndex(const QString &fieldName) const
{
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].name == fieldName)
            return i;
    return -1;
}

const Type *find(const QString &typeName)
{
    static const QHash<QString, const Type *> byName = [] {
        QHash<QString, const Type *> h;
        for (const Type &t : table())
            h.insert(t.name, &t);
        return h;
    }();
    return byName.value(typeName, nullptr);
}

const Type *findByKey(int key)
{
    // Network-variable types only: configuration-property keys share the number space.
    for (const Type &t : table())
        if (t.key == key && t.name.startsWith(QLatin1String("SNVT_")))
            return &t;
    return nullptr;
}

QString formatValue(const Type &type, const QByteArray &bytes)
{
    if (bytes.size() != type.size())
        return rawtext::format(bytes);
    QStringList parts;
    for (int i = 0; i < type.fields.size(); ++i)
        parts.append(fieldText(type.fields[i], bytes.constData() + type.fieldOffset(i)));
    return parts.join(QLatin1Char(' '));
}

QByteArray parseValue(const Type &type, const QString &text)
{
    QByteArray bytes(type.size(), '\0');
    if (type.fields.size() == 1) {
        fieldFromText(type, type.fields[0], type.fields[0].kind == Field::Kind::Text ? text : text.trimmed(),
                      bytes.data());
        return bytes;
    }
    const QStringList parts = splitFields(text);
    if (parts.size() != type.fields.size())
        throw TqmError(TqmError::LnsInvalidValue, Source,
                       QStringLiteral("The value \"%1\" of %2 needs %3 fields separated by blanks.")
                           .arg(text, type.name)
                           .arg(type.fields.size()));
    for (int i = 0; i < parts.size(); ++i) {
        try {
            fieldFromText(type, type.fields[i], parts[i], bytes.data() + type.fieldOffset(i));
        } catch (const TqmError &) {
            throw TqmError(TqmError::LnsInvalidValue, Source,
                           QStringLiteral("The value \"%1\" is not valid for %2: field %3 \"%4\" is out of range.")
                               .arg(text, type.name, type.fields[i].name, parts[i]));
        }
    }
    return bytes;
}

QString formatField(const Type &type, int fieldIndex, const QByteArray &bytes)
{
    return fieldText(type.fields[fieldIndex], bytes.constData() + type.fieldOffset(fieldIndex));
}

void parseField(const Type &type, int fieldIndex, const QString &text, QByteArray *bytes)
{
    fieldFromText(type, type.fields[fieldIndex], text, bytes->data() + type.fieldOffset(fieldIndex));
}

QString format(const QString &formatSpec, const QByteArray &bytes)
{
    const Type *type = formatSpec == QLatin1String("RAW") ? nullptr : find(formatSpec);
    return type ? formatValue(*type, bytes) : rawtext::format(bytes);
}

QByteArray parse(const QString &formatSpec, const QString &text, int expectedSize)
{
    const Type *type = formatSpec == QLatin1String("RAW") ? nullptr : find(formatSpec);
    if (type && type->size() == expectedSize)
        return parseValue(*type, text);
    QByteArray bytes;
    try {
        bytes = rawtext::parse(text);
    } catch (const TqmError &e) {
        throw TqmError(TqmError::LnsInvalidValue, Source, e.description());
    }
    if (bytes.size() != expectedSize)
        throw TqmError(TqmError::LnsInvalidValue, Source,
                       QStringLiteral("The raw value \"%1\" has %2 bytes; %3 are expected.")
                           .arg(text)
                           .arg(bytes.size())
                           .arg(expectedSize));
    return bytes;
}

bool formatFits(const QString &formatSpec, int size)
{
    if (formatSpec == QLatin1String("RAW"))
        return true;
    const Type *type = find(formatSpec);
    return type && type->size() == size;
}

} // namespace embedded::valuetypes
