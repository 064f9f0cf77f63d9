#pragma once

// What the command-line tools share: their standard streams (one stream each, whichever file
// writes) and the error of a command line that does not fit its command (exit code 2).

#include <QString>
#include <QTextStream>
#include <cstdio>

namespace toolio {

inline QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

inline QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

struct UsageError
{
    QString text;
};

} // namespace toolio
