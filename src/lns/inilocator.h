#pragma once

// The one way to find a device's configuration properties and network variables through the
// plug-in INI file. An entry maps a name to its place in the device's object tree for a device
// template, as comma-separated fields:
//   CP section:  field 1 the CP's position in its owner's CP list, field 2 the LonMark object
//                (0 or less: none), field 3 the network variable the CP belongs to (0 or less:
//                none);
//   NV section:  field 1 the NV's position, field 2 the LonMark object (0 or less: the device).
//
// Every form answers what it found, or why it found nothing ("Found"); the Fetch... forms are
// the network tools' way of asking: with `Succeed` they tell through it and answer null, without
// it a failed look-up throws TqmError (IniFileError) with the cause as description. A locator
// with a logger writes the routine label of the look-up first, as the device-specific module
// does for its own look-ups.

#include "lns/lns.h"

#include <QString>

class IniFile;
class Logger;

class IniLocator
{
public:
    template <class T>
    struct Found
    {
        std::shared_ptr<T> object;
        QString failure; // empty when found
        explicit operator bool() const { return object != nullptr; }
    };

    // `deviceTemplate` is the template of the devices looked in; the logger may be null.
    IniLocator(const IniFile &iniFile, QString deviceTemplate, Logger *logger = nullptr);

    // The CP on a LonMark object: item (field 1) of the CP list of the object's network variable
    // number field 2 when both are above 0, else of the object itself. Failure: "INI - File Error
    // : " and the name.
    Found<lns::ConfigProperty> lmoCp(const QString &cpName, const QString &section,
                                     const lns::LonMarkObjectPtr &lonMarkObject) const;
    // The CP of a device: owner is the device's LonMark object number field 2 (or the device),
    // then that owner's network variable number field 3 when above 0; the CP is item field 1 of
    // the owner's CP list. Failure names the step, the CP and the index:
    // "INI-File Error (CP, NV-Fetch): name / NV-Index=4".
    Found<lns::ConfigProperty> devCp(const QString &cpName, const QString &section,
                                     const lns::AppDevicePtr &appDevice) const;
    // lmoCp or devCp by the class of `owner`; anything else is not found.
    Found<lns::ConfigProperty> cpOf(const lns::ObjectPtr &owner, const QString &cpName, const QString &section) const;

    // ---- the network tools' forms ----
    lns::ConfigPropertyPtr FetchLmoCp(const QString &CpName, const QString &Section,
                                      const lns::LonMarkObjectPtr &LonmarkObject, bool *Succeed = nullptr) const;
    lns::ConfigPropertyPtr FetchDevCp(const QString &CpName, const QString &Section,
                                      const lns::AppDevicePtr &AppDevice, bool *Succeed = nullptr) const;
    // Item field 1 of the object's own CP list.
    lns::ConfigPropertyPtr FetchCp(const QString &CpName, const QString &Section,
                                   const lns::LonMarkObjectPtr &LonmarkObject, bool *Succeed = nullptr) const;
    // As FetchLmoCp, accepted only for a CP position above 0.
    lns::ConfigPropertyPtr FetchCpOfObjectOrNv(const QString &CpName, const QString &Section,
                                               const lns::LonMarkObjectPtr &LonmarkObject,
                                               bool *Succeed = nullptr) const;
    // NV number field 1 of the device's LonMark object number field 2 (above 0), else of the
    // device itself.
    lns::NetworkVariablePtr FetchDevNv(const QString &NvName, const QString &Section,
                                       const lns::AppDevicePtr &AppDevice, bool *Succeed = nullptr) const;
    // NV number field 1 of the object.
    lns::NetworkVariablePtr FetchNv(const QString &NvName, const QString &Section,
                                    const lns::LonMarkObjectPtr &LonmarkObject, bool *Succeed = nullptr) const;

    const QString &deviceTemplate() const { return m_deviceTemplate; }

private:
    qint16 field(const QString &name, const QString &section, int number) const;
    void logLabel(const char *routine) const;
    QString notListed(const QString &name) const;

    const IniFile &m_iniFile;
    QString m_deviceTemplate;
    Logger *m_logger;
};
