#pragma once

// Consistency check of a network database, as `tqm-netdb check` runs it.

#include <QString>
#include <QStringList>

namespace embedded {

// Problems found, one line each; empty when the network is sound. Checks SQLite's
// integrity_check, that every device's stored CPs and NVs match its template (count and byte
// length), and that every CP and NV entry of the plug-in INI file (`iniPath`, default the
// built-in one) resolves, for each device whose template the file lists, to a CP or NV of the
// expected length by both look-up paths the plug-in uses. Throws TqmError when the network
// cannot be opened.
// Opens the network read-only.
QStringList checkNetwork(const QString &home, const QString &networkName, const QString &iniPath = {});

// The INI names of the CPs the plug-in fetches, and whether it fetches one through the device
// (else through the command-module object): the two look-ups read an entry differently.
QStringList plugInCpNames();
bool fetchedThroughDevice(const QString &iniName);

} // namespace embedded
