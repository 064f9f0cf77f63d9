#include "lns/unattended.h"

#include "lns/statuswindow.h"

#include <QByteArray>
#include <cstdio>

namespace unattended {

bool isOnValue(const QString &value)
{
    static const QStringList on = {QStringLiteral("1"), QStringLiteral("yes"), QStringLiteral("true"), QStringLiteral("on")};
    return on.contains(value.trimmed(), Qt::CaseInsensitive);
}

Screen screenFor(const QProcessEnvironment &environment)
{
    if (isOnValue(environment.value(QStringLiteral("TQM_UNATTENDED"))))
        return Screen::Offscreen;
    const bool x11 = !environment.value(QStringLiteral("DISPLAY")).isEmpty();
    const bool wayland = !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
    // The platform name may carry options ("xcb:option").
    const QString platform = environment.value(QStringLiteral("QT_QPA_PLATFORM")).section(QLatin1Char(':'), 0, 0).trimmed();
    if (platform.isEmpty())
        return x11 || wayland ? Screen::Display : Screen::None;
    if (platform == QLatin1String("xcb"))
        return x11 ? Screen::Display : Screen::None;
    if (platform.startsWith(QLatin1String("wayland")))
        return wayland ? Screen::Display : Screen::None;
    return Screen::Display; // offscreen, vnc, eglfs, ...: the user's choice
}

QString noScreenLine()
{
    return QStringLiteral("no display: set DISPLAY, or TQM_UNATTENDED=1 for a run without a screen");
}

namespace {

QtMessageHandler previousHandler = nullptr;

void withoutPlatformRemarks(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg
        && (message.startsWith(QLatin1String("This plugin does not support"))
            || message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
    else
        print(qFormatLogMessage(type, context, message));
}

} // namespace

void dropPlatformRemarks()
{
    if (!previousHandler)
        previousHandler = qInstallMessageHandler(withoutPlatformRemarks);
}

QString oneLine(const QString &text)
{
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
    line.replace(QLatin1Char('\r'), QStringLiteral("\\n"));
    line.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return line;
}

QString iconName(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Critical:
        return QStringLiteral("critical");
    case MsgIcon::Question:
        return QStringLiteral("question");
    case MsgIcon::Exclamation:
        return QStringLiteral("exclamation");
    case MsgIcon::Information:
        return QStringLiteral("information");
    case MsgIcon::None:
        break;
    }
    return QStringLiteral("message");
}

void print(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace unattended

QString UnattendedDialogs::messageLine(const MessageRequest &request)
{
    return QStringLiteral("[%1] %2: %3")
        .arg(unattended::iconName(request.icon), unattended::oneLine(request.title), unattended::oneLine(request.text));
}

MsgAnswer UnattendedDialogs::message(const MessageRequest &request)
{
    unattended::print(messageLine(request));
    if (!request.detail.isEmpty())
        unattended::print(QStringLiteral("cause: ") + unattended::oneLine(request.detail));
    return request.defaultAnswer;
}

QString UnattendedDialogs::fileName(const FileDialogRequest &request)
{
    unattended::print(QStringLiteral("[file dialog] %1: cancelled").arg(unattended::oneLine(request.title)));
    return {};
}

void UnattendedStatusWindow::setStatusText(const QString &text)
{
    unattended::print(QStringLiteral("[status] ") + unattended::oneLine(text));
}
