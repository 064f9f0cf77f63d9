#pragma once

// Names and numbers that identify the plug-in to the network tools, the registry and its files.

#include <QString>

namespace product {

inline const QString ProductName = QStringLiteral("velto otrema tqm command module");
inline const QString ProjectName = QStringLiteral("veltoTqmCmdModule");   // automation project
inline const QString ClassName = QStringLiteral("Application");
inline const QString ManufacturerId = QStringLiteral("0005D");
inline const QString LcaVersion = QStringLiteral("2.00");
inline const QString PlugInIniFileName = QStringLiteral("TqmCmdModule.ini");
inline const QString PlugInName = ProjectName;        // "PlugInName" of parameter set files
inline const QString DataFileVersion = QStringLiteral("1");

// Sections of the plug-in INI file. The CP and NV section names end in one blank.
inline const QString CpSection = QStringLiteral("velto TqmCommandModule CPs 1.0 ");
inline const QString NvSection = QStringLiteral("velto TqmCommandModule NVs 1.0 ");
inline const QString HelpSection = QStringLiteral("velto TqmCommandModule Help 1.0");

constexpr int VersionMajor = 1;
constexpr int VersionMinor = 0;
constexpr int VersionRevision = 0;

} // namespace product
