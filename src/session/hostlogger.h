#pragma once

// The plug-in's logger: every routine label and coloured line goes to the log file with a time
// stamp; coloured lines also go to the logger view of the main window, timed lines to its second
// list. Errors of the workflows are put to the user here (HandleError).

#include "session/devicelog.h"
#include "session/erroranswer.h"
#include "session/logview.h"
#include "lns/clock.h"
#include "lns/logger.h"
#include "base/tqmerror.h"

#include <QFile>
#include <QString>

class UserDialogs;

// What the logger is given when it is set up.
struct LoggerSetup
{
    QString fileName;       // program file name + ".LOG"
    QString directory;      // program directory
    // Where the log goes when `directory` cannot be written (the program passes
    // $XDG_STATE_HOME/tqm); empty: ~/.local/state/tqm.
    QString fallbackDirectory;
    int versionMajor = 0;
    int versionMinor = 0;
    int versionRevision = 0;
    int languageNumber = 1000;
    // The language the session uses (0 English, 1000 German), named in the start line.
    qint16 sessionLanguage = 0;
    bool enabled = true;
    QString productName;
    int messageBase = 1700;
    // What started the program (its arguments), for the line each start writes.
    QString startCommand;
    // At this size the log becomes "<file>.1" (replacing the previous one) and a new one begins.
    qint64 maximumSize = 2 * 1024 * 1024;
};

class HostLogger : public Logger
{
public:
    HostLogger(const Clock &clock, UserDialogs &dialogs);
    ~HostLogger() override;

    // Opens (appends to) the log file and writes the start line (date, version, command); when
    // the directory cannot be written, the user's state directory takes its place and the first
    // line written says so.
    void setUp(const LoggerSetup &setup);
    // The file setUp will write to, without creating anything.
    static QString plannedFile(const QString &directory, const QString &fallbackDirectory, const QString &fileName);
    QString filePath() const { return m_file.fileName(); }

    // Device headings remember the last subsystem path and device across operations, so the
    // memory lives with the logger.
    DeviceHeading &deviceHeading() { return m_deviceHeading; }

    void setView(LogView *view) { m_view = view; }
    void setTimedView(LogView *view) { m_timedView = view; }

    void logLine(const QString &text) override;
    void addLogLine(const QString &text, qint32 colour, int style = 0, bool withTime = false,
                    int blankLinesAfter = 0) override;
    // A line of the second list: "hh:mm:ss :" followed by the text.
    void addTimedLine(const QString &text, qint32 colour);

    // Shows the error to the user and answers what the failing routine is to do next.
    ErrorAnswer handleError(const TqmError &error, const QString &moduleName, const QString &routineName);

    // The fallback directory of a setup: its own, or ~/.local/state/tqm.
    static QString fallbackDirectoryOf(const QString &chosen);

private:
    void writeToFile(const QString &text);
    // Moves a full log aside to "<file>.1" and starts an empty one.
    void rotate();

    const Clock &m_clock;
    UserDialogs &m_dialogs;
    QFile m_file;
    bool m_enabled = false;
    qint64 m_maximumSize = 0;
    LogView *m_view = nullptr;
    LogView *m_timedView = nullptr;
    DeviceHeading m_deviceHeading{*this, m_clock};
};
