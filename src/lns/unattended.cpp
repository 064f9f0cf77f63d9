#include "lns/unattended.h"

#include "lns/statuswindow.h"

#include <QByteArray>
#include <cstdio>

namespace unattended {

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
