#include "lns/desktopseams.h"

#include "lns/unattended.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

void UnattendedAboutWindow::showModal(const AboutInfo &info)
{
    unattended::print(QStringLiteral("[about] %1: %2").arg(unattended::oneLine(info.title), unattended::oneLine(info.line)));
}

void UnattendedDeviceInfoWindow::showModal(const DeviceInfoReport &report)
{
    for (const auto &[caption, value] : report.lines)
        unattended::print(QStringLiteral("[%1] %2: %3").arg(unattended::oneLine(report.title), caption,
                                                         unattended::oneLine(value)));
}

QString DesktopHelpViewer::topicUrl(const QString &helpFile, int contextId)
{
    const QFileInfo file(helpFile);
    if (contextId < 0)
        return QUrl::fromLocalFile(file.absoluteFilePath()).toString();
    return QUrl::fromLocalFile(file.absoluteDir().filePath(QString::number(contextId) + QStringLiteral(".html")))
        .toString();
}

HelpViewer::Result DesktopHelpViewer::show(const QString &helpFile, int contextId)
{
    if (!QFileInfo::exists(helpFile))
        return Result::Failed;
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        return Result::ViewerMissing;
    QString url = topicUrl(helpFile, contextId);
    if (contextId >= 0 && !QFileInfo::exists(QUrl(url).toLocalFile()))
        url = topicUrl(helpFile, -1);
    return QProcess::startDetached(opener, {url}) ? Result::Shown : Result::Failed;
}
