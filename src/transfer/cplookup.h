#pragma once

// Finding a device's configuration properties through the plug-in INI file, which maps a CP's
// INI name to its place in the device's object tree for each device template:
//   field 1: the CP's position in its owner's CP list,
//   field 2: the LonMark object (0 or less: none),
//   field 3: the network variable the CP belongs to (0 or less: none).

#include "lns/lns.h"

class IniFile;

namespace cplookup {

// The CP `cpName` of a LonMark object: item (CP index) of the CP list of the object's network
// variable number field 2 when the CP index is above 0 and field 2 is, else of the object.
// Without `succeed` a name the file does not list throws TqmError (IniFileError) with
// "INI - File Error : " and the name; with it, *succeed tells and the answer is null.
lns::ConfigPropertyPtr FetchLmoCp(const QString &cpName, const QString &section, const IniFile &iniFile,
                                  const QString &deviceTemplate, const lns::LonMarkObjectPtr &lonMarkObject,
                                  bool *succeed = nullptr);

// The CP `cpName` of a device: owner is the device's LonMark object number field 2 (or the
// device), then that owner's network variable number field 3 when above 0; the CP is item
// field 1 of the owner's CP list. Without `succeed` a failing step throws TqmError
// (IniFileError, source the product name) naming the step, the CP and the index:
// "INI-File Error (CP, NV-Fetch): name / NV-Index=4".
lns::ConfigPropertyPtr FetchDevCp(const QString &cpName, const QString &section, const IniFile &iniFile,
                                  const QString &deviceTemplate, const lns::AppDevicePtr &appDevice,
                                  bool *succeed = nullptr);

} // namespace cplookup
