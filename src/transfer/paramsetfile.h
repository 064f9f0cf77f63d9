#pragma once

// Parameter set files: every parameter's value of one device configuration in an INI-like text
// file, saved from one device and loaded into another of a compatible kind. Loading changes the
// parameters in memory only; the user writes them to the device afterwards.

#include "params/cparamenums.h"

#include <QString>

class cParam;
class cParams;
class IniFile;

namespace transfer {

class ParamSetFile
{
public:
    explicit ParamSetFile(cParams &params);

    // Whether a parameter has a line in the file, and its value as the line gives it ("2",
    // "1,5", the scaled integer of a text box): what makes two sets equal.
    static bool isWrittenToFile(const cParam &p);
    static QString valueText(const cParam &p);

    // The file's content exactly as WriteToFile writes it.
    QByteArray fileBytes(const QString &PlugInName, const QString &ProgramId, const QString &DataFileVersion) const;
    // False when the file could not be written completely; an earlier file stays as it was.
    bool WriteToFile(const QString &Filename, const QString &PlugInName, const QString &ProgramId,
                     const QString &DataFileVersion) const;
    // Checks the file's header against the plug-in, the device (and the devices the plug-in INI
    // file lists as compatible) and the data-file version before any value is set. Throws
    // TqmError when the file cannot be read or a value cannot be converted; nothing is set then.
    cParamEnums::eLoadFromFileErrors LoadFromFile(const QString &Filename, const IniFile &PlugInIniFile,
                                                  const QString &PlugInName, const QString &ProgramId,
                                                  const QString &DataFileVersion);

private:
    cParams &m_params;
};

} // namespace transfer
