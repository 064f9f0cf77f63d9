#include "widgets/widgetdialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace {

QMessageBox::Icon boxIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QList<MsgAnswer> answersOf(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::Ok:
        return {MsgAnswer::Ok};
    case MsgButtons::OkCancel:
        return {MsgAnswer::Ok, MsgAnswer::Cancel};
    case MsgButtons::YesNo:
        return {MsgAnswer::Yes, MsgAnswer::No};
    case MsgButtons::YesNoCancel:
        return {MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Cancel};
    case MsgButtons::RetryCancel:
        return {MsgAnswer::Retry, MsgAnswer::Cancel};
    case MsgButtons::AbortRetryIgnore:
        return {MsgAnswer::Abort, MsgAnswer::Retry, MsgAnswer::Ignore};
    case MsgButtons::RetryIgnoreAbortClose:
        return {MsgAnswer::Retry, MsgAnswer::Ignore, MsgAnswer::Abort, MsgAnswer::Close};
    }
    return {MsgAnswer::Ok};
}

QMessageBox::StandardButton buttonOf(MsgAnswer answer)
{
    switch (answer) {
    case MsgAnswer::Ok:
        return QMessageBox::Ok;
    case MsgAnswer::Cancel:
        return QMessageBox::Cancel;
    case MsgAnswer::Yes:
        return QMessageBox::Yes;
    case MsgAnswer::No:
        return QMessageBox::No;
    case MsgAnswer::Retry:
        return QMessageBox::Retry;
    case MsgAnswer::Abort:
        return QMessageBox::Abort;
    case MsgAnswer::Ignore:
        return QMessageBox::Ignore;
    case MsgAnswer::Close:
        return QMessageBox::Close;
    }
    return QMessageBox::Ok;
}

} // namespace

MsgAnswer WidgetDialogs::message(const MessageRequest &request)
{
    QMessageBox box(boxIcon(request.icon), request.title, QString(request.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                    QMessageBox::NoButton, m_owner);
    const QList<MsgAnswer> answers = answersOf(request.buttons);
    for (MsgAnswer answer : answers)
        box.addButton(buttonOf(answer));
    box.setDefaultButton(buttonOf(request.defaultAnswer));
    if (!request.detail.isEmpty())
        box.setDetailedText(QString(request.detail).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    if (m_waitCursor)
        QApplication::restoreOverrideCursor();
    const int pressed = box.exec();
    if (m_waitCursor)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    for (MsgAnswer answer : answers) {
        if (pressed == buttonOf(answer))
            return answer;
    }
    // Closed with Escape or the title bar: the box's cancelling answer, or its default.
    return answers.contains(MsgAnswer::Cancel) ? MsgAnswer::Cancel : request.defaultAnswer;
}

QString WidgetDialogs::qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        entries.append(parts[i]);
    if (parts.size() % 2 == 1 && !parts.last().isEmpty())
        entries.append(parts.last());
    return entries.join(QStringLiteral(";;"));
}

QString WidgetDialogs::fileName(const FileDialogRequest &request)
{
    QFileDialog dialog(m_owner, request.title, request.initialDirectory, qtFilter(request.filter));
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The suffix comes before the overwrite question, so that it asks about the file written.
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

void WidgetDialogs::setWaitCursor(bool on)
{
    if (on == m_waitCursor)
        return;
    m_waitCursor = on;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}
