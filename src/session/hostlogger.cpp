#include "session/hostlogger.h"

#include "lns/userdialogs.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

HostLogger::HostLogger(const Clock &clock, UserDialogs &dialogs) : m_clock(clock), m_dialogs(dialogs)
{
}

HostLogger::~HostLogger() = default;

QString HostLogger::fallbackDirectoryOf(const QString &chosen)
{
    // The default of the XDG state directory (the Qt of the target has no name for it).
    return chosen.isEmpty() ? QDir::homePath() + QStringLiteral("/.local/state/tqm") : chosen;
}

namespace {

// "hh:mm:ss", as the log window shows it.
QString clockText(const QTime &time)
{
    char text[16];
    const int size = std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.hour(), time.minute(), time.second());
    return QString::fromLatin1(text, size);
}

// One line of the log file: "yyyy-MM-dd hh:mm:ss.zzz", two spaces and the text, whose own line
// breaks (of any style) continue under the text.
QByteArray fileLine(const QDateTime &when, const QString &text)
{
    const QDate date = when.date();
    const QTime time = when.time();
    char stamp[48];
    const int stampSize = std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d.%03d  ", date.year(),
                                        date.month(), date.day(), time.hour(), time.minute(), time.second(),
                                        time.msec());
    const QByteArray body = text.toUtf8();
    const QByteArrayView continuation = "\n                        ";
    QByteArray line;
    line.reserve(stampSize + body.size() + 1);
    line.append(stamp, stampSize);
    // The text between breaks is copied a run at a time; CR LF is one break.
    const char *const end = body.constEnd();
    for (const char *run = body.constBegin();;) {
        const char *const brk = std::find_if(run, end, [](char c) { return c == '\r' || c == '\n'; });
        line.append(run, brk - run);
        if (brk == end)
            break;
        line.append(continuation);
        run = brk + (*brk == '\r' && brk + 1 != end && brk[1] == '\n' ? 2 : 1);
    }
    line.append('\n');
    return line;
}

bool openForAppend(QFile &file, const QString &path)
{
    file.setFileName(path);
    // Every line is flushed as it is written: a buffer of the file's own would only be copied through.
    return file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text | QIODevice::Unbuffered);
}

} // namespace

QString HostLogger::plannedFile(const QString &directory, const QString &fallbackDirectory, const QString &fileName)
{
    const QFileInfo wanted(QDir(directory).filePath(fileName));
    const bool writable = wanted.exists() ? wanted.isWritable() : QFileInfo(directory).isWritable();
    return writable ? wanted.filePath() : QDir(fallbackDirectoryOf(fallbackDirectory)).filePath(fileName);
}

namespace {

QString languageName(qint16 language)
{
    if (language == 0)
        return QStringLiteral("English");
    if (language == 1000)
        return QStringLiteral("German");
    return QString::number(language);
}

} // namespace

void HostLogger::setUp(const LoggerSetup &setup)
{
    m_enabled = setup.enabled;
    if (!m_enabled)
        return;
    m_file.close();
    m_maximumSize = setup.maximumSize;
    QDir().mkpath(setup.directory);
    const QString wanted = QDir(setup.directory).filePath(setup.fileName);
    QString note;
    if (!openForAppend(m_file, wanted)) {
        const QString fallback = fallbackDirectoryOf(setup.fallbackDirectory);
        QDir().mkpath(fallback);
        note = QStringLiteral("Log file %1 cannot be written; logging to %2 instead.")
                   .arg(wanted, QDir(fallback).filePath(setup.fileName));
        if (!openForAppend(m_file, QDir(fallback).filePath(setup.fileName)))
            return; // nowhere to write: logging must never stop the program
    }
    if (m_maximumSize > 0 && m_file.size() >= m_maximumSize)
        rotate();
    if (!note.isEmpty())
        writeToFile(note);
    const QString command = setup.startCommand.trimmed().isEmpty() ? QStringLiteral("without arguments")
                                                                   : QStringLiteral("with: ") + setup.startCommand;
    writeToFile(QStringLiteral("%1 %2.%3.%4 started %5 (language %6)")
                    .arg(setup.productName)
                    .arg(setup.versionMajor)
                    .arg(setup.versionMinor)
                    .arg(setup.versionRevision)
                    .arg(command)
                    .arg(languageName(setup.sessionLanguage)));
}

void HostLogger::rotate()
{
    const QString path = m_file.fileName();
    m_file.close();
    QFile::remove(path + QStringLiteral(".1"));
    if (!QFile::rename(path, path + QStringLiteral(".1")))
        QFile::remove(path); // a log that cannot be kept aside must still not grow without end
    openForAppend(m_file, path);
}

void HostLogger::writeToFile(const QString &text)
{
    if (!m_enabled || !m_file.isOpen())
        return;
    m_file.write(fileLine(m_clock.now(), text));
    m_file.flush();
    if (m_maximumSize > 0 && m_file.size() >= m_maximumSize)
        rotate();
}

void HostLogger::logLine(const QString &text)
{
    writeToFile(text);
}

void HostLogger::addLogLine(const QString &text, qint32 colour, int style, bool withTime, int blankLinesAfter)
{
    if (colour == logcolour::Red)
        m_onError = true;
    const QString shown = withTime
        ? text + QStringLiteral(" - ") + clockText(m_clock.now().time())
        : text;
    writeToFile(shown);
    if (!m_view)
        return;
    m_view->addLine({shown, shownColour(colour), style});
    for (int i = 0; i < blankLinesAfter; ++i)
        m_view->addLine({QString(), logcolour::Black, 0});
}

void HostLogger::addTimedLine(const QString &text, qint32 colour)
{
    const QString shown = clockText(m_clock.now().time()) + QStringLiteral(" :") + text;
    writeToFile(shown);
    if (m_timedView)
        m_timedView->addLine({shown, colour, 0});
}

ErrorAnswer HostLogger::handleError(const TqmError &error, const QString &moduleName, const QString &routineName)
{
    const QString where = moduleName + QLatin1Char('.') + routineName;
    const QString number = QString::number(error.number());
    addLogLine(QStringLiteral("Error %1 in %2: %3 (%4)").arg(number, where, error.description(), error.source()),
               logcolour::Red);
    const QString text = QStringLiteral("Error %1 in %2\r\n\r\n%3\r\n(%4)")
                             .arg(number, where, error.description(), error.source());
    const MsgAnswer answer = m_dialogs.message(text, where, MsgIcon::Critical, MsgButtons::RetryIgnoreAbortClose,
                                               MsgAnswer::Abort);
    switch (answer) {
    case MsgAnswer::Retry:
        return ErrorAnswer::Retry;
    case MsgAnswer::Ignore:
        return ErrorAnswer::Continue;
    case MsgAnswer::Close:
        return ErrorAnswer::End;
    default:
        return ErrorAnswer::Leave;
    }
}
