#pragma once

// The look-ups of CPs and NVs of the opened device through the plug-in INI file, as the device
// configuration, the monitoring and the calibration use them. Each writes its routine label to
// the log first. Without `Succeed` a name that cannot be found throws TqmError (IniFileError)
// with "INI - File Error : " and the name; with it, *Succeed tells and the answer is null.

#include "lns/lns.h"

#include <QString>

class IniFile;
class Logger;

class ModuleLookups
{
public:
    // `deviceTemplate` is the opened device's template; the logger may be null.
    ModuleLookups(const IniFile &iniFile, QString deviceTemplate, Logger *logger = nullptr);

    // Item (CP index) of the object's own CP list.
    lns::ConfigPropertyPtr FetchCp(const QString &CpName, const QString &Section,
                                   const lns::LonMarkObjectPtr &LonmarkObject, bool *Succeed = nullptr) const;
    // As the collection's FetchLmoCp (the CP of one of the object's NVs when the entry names
    // one), accepted only for a CP index above 0.
    lns::ConfigPropertyPtr FetchCpOfObjectOrNv(const QString &CpName, const QString &Section,
                                               const lns::LonMarkObjectPtr &LonmarkObject,
                                               bool *Succeed = nullptr) const;
    // Item field 1 of the CP list of the device's LonMark object number field 2 (above 0), else
    // of the device itself.
    lns::ConfigPropertyPtr FetchDevCp(const QString &CpName, const QString &Section,
                                      const lns::AppDevicePtr &AppDevice, bool *Succeed = nullptr) const;
    // NV number field 1 of the device's LonMark object number field 2 (above 0), else of the
    // device itself.
    lns::NetworkVariablePtr FetchDevNv(const QString &NvName, const QString &Section,
                                       const lns::AppDevicePtr &AppDevice, bool *Succeed = nullptr) const;
    // NV number field 1 of the object.
    lns::NetworkVariablePtr FetchNv(const QString &NvName, const QString &Section,
                                    const lns::LonMarkObjectPtr &LonmarkObject, bool *Succeed = nullptr) const;

private:
    qint16 field(const QString &name, const QString &section, int number) const;

    const IniFile &m_iniFile;
    QString m_deviceTemplate;
    Logger *m_logger;
};
