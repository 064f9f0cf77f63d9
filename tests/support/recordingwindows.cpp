#include "support/recordingwindows.h"

void RecordingPlugInWindow::record(const QString &call)
{
    calls.append(call);
    // Loading and unloading happen on every start; only what a user would see is printed.
    if (m_report && call != QLatin1String("load") && call != QLatin1String("unload"))
        m_report(call);
}

void RecordingPlugInWindow::load()
{
    m_loaded = true;
    record(QStringLiteral("load"));
}

void RecordingPlugInWindow::buildPages(int commandIndex)
{
    m_loaded = true;
    m_commandIndex = commandIndex;
    record(QStringLiteral("buildPages %1").arg(commandIndex));
}

void RecordingPlugInWindow::showWindow()
{
    m_loaded = true;
    m_visible = true;
    record(QStringLiteral("show"));
}

void RecordingPlugInWindow::hideWindow()
{
    m_visible = false;
    record(QStringLiteral("hide"));
}

void RecordingPlugInWindow::unload()
{
    m_loaded = false;
    m_visible = false;
    record(QStringLiteral("unload"));
}
