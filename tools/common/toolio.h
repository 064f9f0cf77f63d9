#pragma once

// What the command-line tools share: their standard streams (one stream each, whichever file
// writes) and the error of a command line that does not fit its command (exit code 2).

#include "lns/product.h"

#include <QCoreApplication>
#include <QString>
#include <QTextStream>
#include <cstdio>
#include <optional>

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

// The program's name and the plug-in's version, for the parsers' help and --version.
inline void nameProgram(const QString &program)
{
    QCoreApplication::setApplicationName(program);
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(product::VersionMajor)
                                                .arg(product::VersionMinor)
                                                .arg(product::VersionRevision));
}

// What a command line that does not fit says, with where to read on: exit code 2.
inline int usageError(const QString &command, const QString &text)
{
    const QString program = QCoreApplication::applicationName();
    err() << program << ": " << text << '\n'
          << (command.isEmpty() ? QStringLiteral("Try %1 --help.").arg(program)
                                : QStringLiteral("Try %1 %2 --help.").arg(program, command))
          << '\n';
    return 2;
}

// The first argument when it is no command: nothing (the overview, exit code 2), --help or -h
// (the overview), --version or -v. Answers the exit code then, nothing for a command.
inline std::optional<int> answerWithoutCommand(const QString &first, const QString &overview)
{
    if (first.isEmpty()) {
        err() << overview;
        return 2;
    }
    if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
        out() << overview;
        return 0;
    }
    if (first == QLatin1String("--version") || first == QLatin1String("-v")) {
        out() << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion() << '\n';
        return 0;
    }
    return std::nullopt;
}

} // namespace toolio
