#pragma once

// Splits the object name a network tool passes for the LonMark object the plug-in works on
// (syntax in lns/objectname.h): "Network.Subsystem[.Subsystem...].Device.LonMarkObject".

#include <QString>
#include <QStringList>

struct ObjectNameParts
{
    QString networkName;
    QStringList subsystemLevels; // from the top subsystem down, at least one
    QString subsystemPath;       // the levels joined by "/", each escaped as an object name part
    QString deviceName;
    QString lonMarkObjectName;
};

class ObjectNameParser
{
public:
    // Blanks around the whole name are ignored: the command line reaches us as its arguments
    // joined by blanks, so the value may end in one. Throws TqmError naming the object name and
    // the expected form when there are fewer than four parts, a part is empty or an escape is bad.
    static ObjectNameParts Split(const QString &objectName);
};
