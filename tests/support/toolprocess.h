#pragma once

// The build's programs as a script starts them: one call's exit code and output on a network
// home, and tqm-devicesim kept running beside a test and driven through its standard input.

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <functional>

struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
    QJsonObject json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
};

inline QString toolPath(const QString &program)
{
    return qEnvironmentVariable("TQM_BIN_DIR") + QLatin1Char('/') + program;
}

// Numbers follow the system's locale, texts the plug-in's language: the C locale keeps the
// numbers the same on every machine.
inline QProcessEnvironment toolEnvironment(const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TQM_HOME"), home);
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    return env;
}

using ToolStarter = std::function<void(QProcess &, const QString &program, const QStringList &args)>;

inline ToolRun runTool(const QString &home, const QString &program, const QStringList &args,
                       const ToolStarter &start = {})
{
    QProcess p;
    p.setProcessEnvironment(toolEnvironment(home));
    if (start)
        start(p, toolPath(program), args);
    else
        p.start(toolPath(program), args);
    if (!p.waitForFinished(60000))
        return {-1, {}, QStringLiteral("did not finish")};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// tqm-devicesim from start() until the object goes; command() sends one line and answers the
// simulator's reply line.
class DeviceSimProcess
{
public:
    ~DeviceSimProcess()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
    }

    bool start(const QStringList &args, const QString &home = {})
    {
        if (!home.isEmpty())
            m_process.setProcessEnvironment(toolEnvironment(home));
        m_process.start(toolPath(QStringLiteral("tqm-devicesim")), args);
        if (!m_process.waitForStarted(5000))
            return false;
        const bool ready = QTest::qWaitFor(
            [this] {
                m_process.waitForReadyRead(100);
                return m_process.peek(1 << 16).contains("ready\n");
            },
            10000);
        m_process.readAll();
        return ready;
    }

    QString command(const QString &line)
    {
        m_process.write(line.toUtf8() + '\n');
        if (!m_process.waitForReadyRead(5000))
            return {};
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }

private:
    QProcess m_process;
};
