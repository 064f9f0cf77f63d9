#pragma once

// The sub-commands of a tool (`tqm-netdb`, `tqm-config`): the command comes first, its arguments
// and options follow it. One table of commands per tool; each command's line is parsed, helped
// and refused the same way, and its failures end the program alike (usage: exit code 2, a
// failure: exit code 1).

#include "base/tqmerror.h"
#include "common/toolio.h"

#include <QCommandLineParser>
#include <QList>
#include <QStringList>

#include <algorithm>
#include <functional>

namespace toolcommands {

using toolio::UsageError;

// A command's line as its help shows it.
struct CommandLine
{
    QString name;
    QString description;
    QString syntax;        // after the program's name in the usage line; empty: the name alone
    QStringList arguments; // positional arguments the help lists one by one
    QList<QCommandLineOption> options;
};

// The command of `table` whose `name` is `name`; null when there is none.
template <class Command>
const Command *named(const QList<Command> &table, const QString &name)
{
    const auto found = std::find_if(table.cbegin(), table.cend(), [&](const Command &c) { return c.name == name; });
    return found == table.cend() ? nullptr : &*found;
}

// The first argument that names no command of the tool: exit code 2.
inline int unknownCommand(const QString &name)
{
    return toolio::usageError(QString(), QStringLiteral("unknown command \"%1\"").arg(name));
}

// Sets `parser` up for `line` with --help and parses the program's `arguments` (the command at
// 1). Answers the exit code when that already answered the line (--help: 0, a line that does not
// fit: 2), nothing when the command is to run.
inline std::optional<int> parse(QCommandLineParser &parser, const CommandLine &line, const QStringList &arguments)
{
    parser.setApplicationDescription(line.description);
    parser.addPositionalArgument(line.name, line.description, line.syntax.isEmpty() ? line.name : line.syntax);
    for (const QString &argument : line.arguments)
        parser.addPositionalArgument(argument, QString(), argument);
    parser.addOptions(line.options);
    const QCommandLineOption help = parser.addHelpOption();
    if (!parser.parse(arguments))
        return toolio::usageError(line.name, parser.errorText());
    if (parser.isSet(help)) {
        toolio::out() << parser.helpText();
        return 0;
    }
    return std::nullopt;
}

// For commands whose usage is part of the overview (the simulated rooms', LON/IP): parses
// `arguments` (those after `command`) and answers the positional ones; throws UsageError when
// the options do not fit or `positional` (when not negative) is not the number given.
inline QStringList parseOrThrow(QCommandLineParser &parser, const QString &command, const QStringList &arguments,
                                int positional = -1)
{
    if (!parser.parse(QStringList{command} + arguments))
        throw UsageError{parser.errorText()};
    const QStringList given = parser.positionalArguments();
    if (positional >= 0 && given.size() != positional)
        throw UsageError{QStringLiteral("%1 needs %2 arguments").arg(command).arg(positional)};
    return given;
}

// Runs `command`: a UsageError is answered by `usage` (its exit code), a TqmError is printed
// after the program's name on one line (exit code 1).
inline int reportingFailures(const std::function<int()> &command, const std::function<int(const QString &)> &usage)
{
    try {
        return command();
    } catch (const UsageError &e) {
        return usage(e.text);
    } catch (const TqmError &e) {
        toolio::out().flush();
        toolio::err() << QCoreApplication::applicationName() << ": "
                      << QString(e.description()).replace(QStringLiteral("\r\n"), QStringLiteral(" ")) << '\n';
        return 1;
    }
}

// The plug-in INI file a benchmark reads: the one beside the program unless --ini names another.
inline QCommandLineOption benchmarkIniOption()
{
    return {QStringLiteral("ini"), QStringLiteral("The plug-in INI file."), QStringLiteral("file"),
            QCoreApplication::applicationDirPath() + QStringLiteral("/TqmCmdModule.ini")};
}

// A benchmark's command line: `description`, --help, `options` and, when `counts` describes
// them, device counts as positional arguments; processed as Qt does it (--help or a line that
// does not fit ends the program).
inline void processBenchmarkLine(QCommandLineParser &parser, const QCoreApplication &app, const QString &description,
                                 const QList<QCommandLineOption> &options, const QString &counts = {})
{
    parser.setApplicationDescription(description);
    parser.addHelpOption();
    parser.addOptions(options);
    if (!counts.isEmpty())
        parser.addPositionalArgument(QStringLiteral("N"), counts);
    parser.process(app);
}

} // namespace toolcommands
