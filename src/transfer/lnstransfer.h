#pragma once

// Moving a parameter collection's values through the network services: reading the opened
// device, writing it back, and writing the same set to other LonMark objects or devices of the
// project. What the transfer guarantees:
//  - each distinct CP is read once per read, and written once per write with the combined bytes
//    of every parameter it holds; it is read before a write only when the parameters do not
//    cover all its bytes (the bytes outside their windows are the device's);
//  - a value that was never read from the device (nor set since) is never written: on the opened
//    device its bytes are left as they are, and a write to other objects refuses to start;
//  - a device is written inside one transaction or not at all: when the transaction cannot be
//    started nothing is written, and the first CP the device does not take cancels everything
//    written to it; each failure is a red logger line naming device, LonMark object and CP.
// Transactions are on the collection's System; the logger, the dialogs and the plug-in INI file
// are the collection's context.

#include "lns/lns.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class cParams;
class cParam;
class cConfigProp;
class IniFile;

namespace transfer {

class LnsTransfer
{
public:
    // Runs inside a device's transaction after all its CPs were written; it is committed with
    // them (and cancelled with them). Throwing TqmError cancels the device's write.
    using InSameCommit = std::function<void()>;

    explicit LnsTransfer(cParams &params);

    // Reads each distinct CP of the available, fetched parameters without DontReadFromLns once
    // and hands its bytes to every such parameter on it; then the images; then the image-bound
    // parameters from their images. A CP that cannot be read leaves its parameters without a
    // value; the first such error is raised after the others were read (at once when the device
    // stops answering).
    void ReadFromLns();

    // Writes the selected parameters and the images to the opened device in one transaction,
    // then `inSameCommit`. True when everything reached the device; otherwise nothing stays and
    // red lines say why. Parameters without a known value are left out (a red line each).
    bool WriteToLns(bool WriteCpNamesToLogger = false, const InSameCommit &inSameCommit = {});
    // The image-bound parameters' values into their images' bytes.
    void WriteAllParamsToExtCps();

    // The same set written to another LonMark object or device, the CPs found there through
    // the plug-in INI file; one transaction, committed only when every CP found reached the
    // object. A CP the object lacks raises CpNotFoundWhileWriting and is skipped. False, with
    // nothing written, when the set is incomplete (ParametersWithoutValue), when the
    // transaction cannot be started, when a CP write fails (red lines) or on an unexpected
    // error (a message box).
    bool WriteToLnsLmo(const lns::LonMarkObjectPtr &LonmarkObject, const IniFile &IniFile,
                       const QString &IniFileCpSection, const InSameCommit &inSameCommit = {});
    bool WriteToLnsDev(const lns::AppDevicePtr &AppDevice, const IniFile &IniFile, const QString &IniFileCpSection,
                       const InSameCommit &inSameCommit = {});
    // The directly bound parameters among `Params` (the selected ones) into the object's CPs,
    // and the images, inside the caller's transaction.
    bool WriteParamsToLnsLmo(const QList<cParam *> &Params, const lns::LonMarkObjectPtr &LonmarkObject,
                             const IniFile &IniFile, const QString &IniFileCpSection);
    bool WriteParamsToLnsDev(const QList<cParam *> &Params, const lns::AppDevicePtr &AppDevice,
                             const IniFile &IniFile, const QString &IniFileCpSection);
    bool WriteExtCpsToLnsLmo(const lns::LonMarkObjectPtr &LonmarkObject, const IniFile &IniFile,
                             const QString &IniFileCpSection);
    bool WriteExtCpsToLnsDev(const lns::AppDevicePtr &AppDevice, const IniFile &IniFile,
                             const QString &IniFileCpSection);

    // Parameters and images of the set to write whose value the device never gave (nor was
    // set since), by name; a write to other objects refuses to start while there are any.
    QStringList ParametersWithoutValue() const;
    // The heading "The following config properties will be written:", one green line per CP of
    // the set, an empty line.
    void logCpNames() const;

private:
    // The parameters of one CP, in kind order.
    struct CpGroup
    {
        lns::ConfigPropertyPtr cp;
        QList<cParam *> members;
    };
    using CpFinder = std::function<lns::ConfigPropertyPtr(const QString &cpIniName)>;

    QList<CpGroup> groupsOf(const QList<cParam *> &params) const;
    // Writes the group's known values into `cp` in one message, reading it first only when they
    // do not cover all its bytes. Throws TqmError naming the CP when the device refuses.
    void writeGroup(const lns::ConfigPropertyPtr &cp, const QList<cParam *> &members) const;
    bool writeParamsToOther(const QList<cParam *> &params, const lns::ObjectPtr &target, const QString &routine,
                            const std::function<CpFinder()> &makeFinder);
    bool writeImagesToOther(const lns::ObjectPtr &target, const QString &routine,
                            const std::function<CpFinder()> &makeFinder);
    bool writeSetToOther(const lns::ObjectPtr &target, const InSameCommit &inSameCommit,
                         const std::function<bool()> &writeParams, const std::function<bool()> &writeImages);
    void showWriteError(const QString &routine, const TqmError &error, const QString &cpName) const;

    cParams &m_params;
};

} // namespace transfer
