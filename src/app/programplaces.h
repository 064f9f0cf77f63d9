#pragma once

// Where the programs of src/app write their log: TQM_LOG_DIR, else the program's directory;
// when that cannot be written, $XDG_STATE_HOME/tqm (empty: the logger's own fallback).

#include <QFileInfo>
#include <QString>

namespace programplaces {

inline QString logDirectory(const QString &programPath)
{
    const QString chosen = qEnvironmentVariable("TQM_LOG_DIR");
    return chosen.isEmpty() ? QFileInfo(programPath).absolutePath() : chosen;
}

inline QString logFallbackDirectory()
{
    const QString state = qEnvironmentVariable("XDG_STATE_HOME");
    return state.isEmpty() ? QString() : state + QStringLiteral("/tqm");
}

} // namespace programplaces
