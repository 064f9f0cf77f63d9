#pragma once

// The plug-in's command-line grammar. The whole line is one text, split at "/" into tokens; the
// text before the first "/" is ignored. Each token is "KEY" or "KEY:value"; keys are compared
// upper-cased, values are kept exactly as they stand. Parsing stops at the first empty token.

#include <QString>
#include <QStringList>

namespace commandline {

// What the line asks the program to do once parsing has stopped.
enum class Action {
    Command,             // the end of the line was reached: validate the command (or about window)
    RegisterLanguage,    // "REG": store the language under the product key, then end
    Unregister,          // "UNREG": remove the registration, then end
    StandAlone,          // "S": stand-alone start with the status window
    StandAloneSilent,    // "PROG2649": stand-alone start without the status window
};

struct Switches
{
    Action action = Action::Command;
    qint16 language = 0;              // value of "REG"
    qint32 commandId = 0;
    qint16 classId = 0;
    bool remote = false;
    bool networkInterfaceGiven = false;
    QString networkInterfaceName;
    bool objectNameGiven = false;
    QString objectName;
    // Keys the grammar does not know, as written; they are skipped.
    QStringList unknownKeys;
};

// The command line as one text, as the network tool hands it over: the program's arguments
// (without the program path), each switch directly after the previous argument, any other
// argument after one blank.
QString joinArguments(const QStringList &arguments);

// Leading decimal digits of the text as a number; 0 when it does not start with a digit.
// Digits beyond the 32-bit range saturate instead of wrapping around.
qint64 leadingNumber(const QString &text);

Switches parse(const QString &commandLine);

// The known key an unknown one was probably meant to be (a few letters off); empty when none is
// close.
QString closestKey(const QString &unknownKey);
// "unknown switch /COMANDID (did you mean /COMMANDID?)"
QString unknownKeyNotice(const QString &unknownKey);

// The program's own options, recognised before the switches: "--help", "-h" or "/?" anywhere,
// "--version".
bool asksForHelp(const QStringList &arguments);
bool asksForVersion(const QStringList &arguments);
// The text "--help" prints: the switches, the environment, where the log is written.
QString usage(const QString &programName, const QString &logFile);

} // namespace commandline
