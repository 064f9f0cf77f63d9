#include "lns/embedded/devicetemplate.h"

#include "lns/embedded/valuetypes.h"
#include "lns/rawtext.h"
#include "base/tqmerror.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

namespace embedded {

namespace {

using namespace Qt::StringLiterals; // the keys are looked up as Latin-1 views, not built as strings

const QString Source = QStringLiteral("DeviceTemplate");

class Builder
{
public:
    explicit Builder(const QJsonObject &json) { m_def.json = json; }

    DeviceTemplateDefPtr build()
    {
        const QJsonObject &json = m_def.json;
        m_def.name = json.value("name"_L1).toString();
        if (m_def.name.isEmpty())
            fail(QStringLiteral("the template has no \"name\""));
        m_def.programId = json.value("programId"_L1).toString();
        m_def.applicationVersion = json.value("applicationVersion"_L1).toDouble();
        m_def.deviceCpKeys = addCps(json.value("configProperties"_L1).toArray(), m_def.name);
        for (const QJsonValue &nv : json.value("networkVariables"_L1).toArray())
            m_def.deviceNvKeys.append(addNv(nv.toObject(), -1));
        const QJsonArray lmos = json.value("lonMarkObjects"_L1).toArray();
        for (int i = 0; i < lmos.size(); ++i) {
            const QJsonObject lmo = lmos[i].toObject();
            LmoDef def;
            def.name = lmo.value("name"_L1).toString();
            if (def.name.isEmpty())
                fail(QStringLiteral("LonMark object %1 has no \"name\"").arg(i));
            def.type = lmo.value("type"_L1).toInt();
            m_def.lmos.append(def);
            for (const QJsonValue &nv : lmo.value("networkVariables"_L1).toArray()) {
                const int key = addNv(nv.toObject(), i);
                m_def.lmos[i].nvKeys.append(key);
                m_def.deviceNvKeys.append(key);
            }
            m_def.lmos[i].cpKeys = addCps(lmo.value("configProperties"_L1).toArray(), def.name);
        }
        return std::make_shared<const DeviceTemplateDef>(std::move(m_def));
    }

private:
    [[noreturn]] void fail(const QString &what) const
    {
        throw TqmError(TqmError::LnsInvalidValue, Source,
                       QStringLiteral("Device template \"%1\": %2.").arg(m_def.name, what));
    }

    QByteArray defaultBytes(const QJsonObject &json, const QString &owner, int size,
                            const QByteArray &typeDefault) const
    {
        if (!json.contains("default"_L1))
            return typeDefault.size() == size ? typeDefault : QByteArray(size, '\0');
        QByteArray bytes;
        try {
            bytes = rawtext::parse(json.value("default"_L1).toString());
        } catch (const TqmError &e) {
            fail(QStringLiteral("default of %1: %2").arg(owner, e.description()));
        }
        if (bytes.size() != size)
            fail(QStringLiteral("default of %1 has %2 bytes, %3 expected").arg(owner).arg(bytes.size()).arg(size));
        return bytes;
    }

    QList<int> addCps(const QJsonArray &cps, const QString &owner)
    {
        QList<int> keys;
        for (const QJsonValue &v : cps) {
            const QJsonObject json = v.toObject();
            CpDef cp;
            cp.name = json.value("name"_L1).toString();
            cp.typeName = json.value("type"_L1).toString();
            if (cp.name.isEmpty() || cp.typeName.isEmpty())
                fail(QStringLiteral("a configuration property of %1 lacks \"name\" or \"type\"").arg(owner));
            const valuetypes::Type *type = valuetypes::find(cp.typeName);
            cp.elementLength = json.value("elementLength"_L1).toInt(type ? type->size() : 0);
            cp.dimension = json.value("dimension"_L1).toInt(1);
            if (cp.elementLength < 1 || cp.dimension < 1)
                fail(QStringLiteral("configuration property %1 of %2 needs a positive element length and dimension")
                         .arg(cp.name, owner));
            QByteArray typeDefault;
            if (type && type->size() == cp.elementLength && !type->defaultValue.isEmpty())
                typeDefault = type->defaultValue.repeated(cp.dimension);
            cp.defaultValue = defaultBytes(json, cp.name, cp.elementLength * cp.dimension, typeDefault);
            keys.append(int(m_def.cps.size()));
            m_def.cps.append(cp);
        }
        return keys;
    }

    int addNv(const QJsonObject &json, int lmoPosition)
    {
        NvDef nv;
        nv.name = json.value("name"_L1).toString();
        nv.typeName = json.value("type"_L1).toString();
        if (nv.name.isEmpty() || nv.typeName.isEmpty())
            fail(QStringLiteral("a network variable lacks \"name\" or \"type\""));
        const valuetypes::Type *type = valuetypes::find(nv.typeName);
        nv.size = type ? type->size() : json.value("size"_L1).toInt();
        if (nv.size < 1)
            fail(QStringLiteral("network variable %1 has a type outside the type table and no \"size\"").arg(nv.name));
        nv.direction = json.value("direction"_L1).toString() == QLatin1String("input")
                           ? lns::NetworkVariable::Direction::Input
                           : lns::NetworkVariable::Direction::Output;
        nv.changeableType = json.value("changeableType"_L1).toBool();
        nv.defaultValue = defaultBytes(json, nv.name, nv.size, type ? type->defaultValue : QByteArray());
        nv.lmoPosition = lmoPosition;
        const int key = int(m_def.nvs.size());
        m_def.nvs.append(nv);
        const QList<int> cpKeys = addCps(json.value("configProperties"_L1).toArray(), nv.name);
        m_def.nvs[key].cpKeys = cpKeys;
        return key;
    }

    DeviceTemplateDef m_def;
};

} // namespace

DeviceTemplateDefPtr DeviceTemplateDef::fromJson(const QJsonObject &json)
{
    return Builder(json).build();
}

DeviceTemplateDefPtr DeviceTemplateDef::builtIn(const QString &name)
{
    QFile file(QStringLiteral(":/templates/%1.json").arg(name));
    if (!file.open(QIODevice::ReadOnly))
        throw TqmError(TqmError::LnsObjectNotFound, Source,
                       QStringLiteral("There is no device template \"%1\".").arg(name));
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (!doc.isObject())
        throw TqmError(TqmError::LnsInvalidValue, Source,
                       QStringLiteral("Device template \"%1\" is not a JSON object: %2 at offset %3.")
                           .arg(name, error.errorString())
                           .arg(error.offset));
    return fromJson(doc.object());
}

QStringList DeviceTemplateDef::builtInNames()
{
    QStringList names;
    for (const QString &file : QDir(QStringLiteral(":/templates")).entryList({QStringLiteral("*.json")}, QDir::Files))
        names.append(file.chopped(5));
    return names;
}

int DeviceTemplateDef::cpKeyByName(const QString &name) const
{
    for (int i = 0; i < cps.size(); ++i)
        if (cps[i].name == name)
            return i;
    return -1;
}

int DeviceTemplateDef::nvKeyByName(const QString &name) const
{
    for (int i = 0; i < nvs.size(); ++i)
        if (nvs[i].name == name)
            return i;
    return -1;
}

int DeviceTemplateDef::lmoPositionByName(const QString &name) const
{
    for (int i = 0; i < lmos.size(); ++i)
        if (lmos[i].name == name)
            return i;
    return -1;
}

} // namespace embedded
