#pragma once

// Why the plug-in refused a command or could not start one, with the text the user was shown.
// A host tool that sent the command over the automation interface gets both back.

#include <QString>

struct Refusal
{
    enum class Reason {
        None,
        IniFileMissing,      // InitApp: the plug-in INI file is missing
        UnknownCommand,      // CommandId/ClassId not in the command table
        ServerNotOpened,     // the object server could not be opened
        NetworkNotOpened,    // the network could not be opened
        ObjectNotFound,      // device or LonMark object not found
        DeviceNotAccessible, // the device does not answer (calibrate, monitor)
        Failed,              // an error the error handler showed stopped the command
        Ended,               // the plug-in has ended; it takes no further command
    };
    Reason reason = Reason::None;
    QString text;

    // Why a command after EndApp (or after a refusal) does nothing.
    static Refusal ended();
};
