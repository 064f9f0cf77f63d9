#pragma once

// A device template: the static interface of a kind of device (program id, application
// version, its configuration properties, network variables and LonMark objects). Templates are
// JSON objects; the built-in ones are compiled in as the resources ":/templates/<name>.json".
//
//   { "name": "TQM_CM_L4", "programId": "90:00:5D:50:28:04:04:04", "applicationVersion": 2.1,
//     "configProperties": [ CP ... ],            device CPs
//     "networkVariables": [ NV ... ],            device NVs outside any LonMark object
//     "lonMarkObjects": [ { "name": "NodeObject", "type": 0,
//                           "networkVariables": [ NV ... ], "configProperties": [ CP ... ] }, ... ] }
//   CP: { "name", "type", "elementLength" (default: the type's size), "dimension" (default 1),
//         "default" (RAW text of the whole value; default: the type's default, else zeros) }
//   NV: { "name", "type", "direction": "input"|"output", "size" (only for types outside the
//         type table), "default" (RAW), "changeableType" (default false), "configProperties" }
//
// Inside a template every CP and NV has a key: its position in the flat lists `cps` and `nvs`.
// The network database stores values per device under these keys.

#include "lns/lns.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <memory>

namespace embedded {

// Functional profile of the command-module object (SFPTsccCommandModule).
constexpr int CommandModuleProfile = 8090;

struct CpDef
{
    QString name;
    QString typeName;
    int elementLength = 1;
    int dimension = 1;
    QByteArray defaultValue;
};

struct NvDef
{
    QString name;
    QString typeName;
    int size = 0;
    lns::NetworkVariable::Direction direction = lns::NetworkVariable::Direction::Output;
    bool changeableType = false;
    QByteArray defaultValue;
    int lmoPosition = -1; // position of the owning LonMark object, -1 for a device NV
    QList<int> cpKeys;    // the CPs attached to this NV
};

struct LmoDef
{
    QString name;
    int type = 0;
    QList<int> nvKeys;
    QList<int> cpKeys;
};

struct DeviceTemplateDef
{
    QString name;
    QString programId;
    double applicationVersion = 0;
    QList<CpDef> cps;
    QList<NvDef> nvs;
    QList<LmoDef> lmos;
    QList<int> deviceCpKeys;
    // The device's interface NVs: device NVs first, then every LonMark object's in order.
    QList<int> deviceNvKeys;
    QJsonObject json; // the source, kept in the network database

    // Throws TqmError(LnsInvalidValue) naming the template and the entry at fault.
    static std::shared_ptr<const DeviceTemplateDef> fromJson(const QJsonObject &json);
    // A built-in template by name; throws TqmError(LnsObjectNotFound) when there is none.
    static std::shared_ptr<const DeviceTemplateDef> builtIn(const QString &name);
    static QStringList builtInNames();

    int cpKeyByName(const QString &name) const; // first CP of that name anywhere, -1 when none
    int nvKeyByName(const QString &name) const;
    int lmoPositionByName(const QString &name) const;
};

using DeviceTemplateDefPtr = std::shared_ptr<const DeviceTemplateDef>;

} // namespace embedded
