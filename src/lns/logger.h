#pragma once

// The logger's line interface: routine labels, coloured lines of the logger view, and the
// error flag that a red line raises. The host's logger writes them to the log file and the
// logger view; MemoryLogger keeps them for tests and headless use.

#include <QList>
#include <QString>

namespace logcolour {
constexpr qint32 Black = 0;
constexpr qint32 Red = 255;
constexpr qint32 Green = 65280;       // shown as DarkGreen
constexpr qint32 Blue = 0xFF0000;     // shown as DarkBlue
constexpr qint32 DarkGreen = 32768;
constexpr qint32 DarkBlue = 0xC00000;
} // namespace logcolour

struct LogViewLine
{
    QString text;    // as shown, with the time appended when asked for
    qint32 colour = logcolour::Black; // as shown (green and blue mapped to their dark forms)
    int style = 0;
};

class Logger
{
public:
    virtual ~Logger() = default;
    // A routine label or plain line for the log file, e.g. "[M_PlugIn] Public Sub Main()".
    virtual void logLine(const QString &text) = 0;
    // A line of the logger view (and the file). Red sets the error flag; green and blue are
    // shown in their dark forms; withTime appends " - " and the time; then blank lines.
    virtual void addLogLine(const QString &text, qint32 colour, int style = 0, bool withTime = false,
                            int blankLinesAfter = 0) = 0;

    bool loggerOnErrorFlag() const { return m_onError; }
    void setLoggerOnErrorFlag(bool on) { m_onError = on; }

    static qint32 shownColour(qint32 colour)
    {
        if (colour == logcolour::Green)
            return logcolour::DarkGreen;
        if (colour == logcolour::Blue)
            return logcolour::DarkBlue;
        return colour;
    }

protected:
    bool m_onError = false;
};

class MemoryLogger : public Logger
{
public:
    void logLine(const QString &text) override { labels.append(text); }
    void addLogLine(const QString &text, qint32 colour, int style = 0, bool withTime = false,
                    int blankLinesAfter = 0) override
    {
        if (colour == logcolour::Red)
            m_onError = true;
        lines.append({withTime ? text + QStringLiteral(" - ") + timeText : text, shownColour(colour), style});
        for (int i = 0; i < blankLinesAfter; ++i)
            lines.append({QString(), logcolour::Black, 0});
    }
    QStringList texts() const
    {
        QStringList all;
        for (const auto &line : lines)
            all.append(line.text);
        return all;
    }

    QStringList labels;
    QList<LogViewLine> lines;
    QString timeText = QStringLiteral("12:00:00");
};
