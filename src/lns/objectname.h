#pragma once

// Object names: how a LonMark object (or device) of a network is named on the plug-in's command
// line and over the automation interface. Parts are separated by "."; the first part is the
// network, the last the LonMark object, the one before it the device, and the parts between are
// the subsystem path levels (at least one). The command line splits at "/" and ":", so inside a
// part "\." stands for ".", "\\" for "\", "\c" for ":" and "\s" for "/".
//   Demo.Building A.Floor 1.CM 1\.01.CommandModule

#include <QString>
#include <QStringList>

namespace objectname {

QString escapePart(const QString &part);
// Throws TqmError (LnsObjectNotFound) on a dangling or unknown escape.
QString unescapePart(const QString &escaped);
// Splits at unescaped "." and unescapes every part.
QStringList split(const QString &objectName);
QString join(const QStringList &parts);

} // namespace objectname
