#pragma once

// Unattended mode (the program's choice, TQM_UNATTENDED=1): scripts, CI and hosts without a
// screen. Every message box becomes one line on standard error (its detail a second line,
// "cause: ...") and is answered with its default button; file dialogs answer cancel.

#include "lns/userdialogs.h"

#include <QString>

namespace unattended {

// Line breaks (CR LF, CR or LF) shown as the two characters "\n", so that one box is one line.
QString oneLine(const QString &text);
QString iconName(MsgIcon icon);
// Writes one line to standard error and flushes it.
void print(const QString &line);

} // namespace unattended

class UnattendedDialogs : public UserDialogs
{
public:
    MsgAnswer message(const MessageRequest &request) override;
    QString fileName(const FileDialogRequest &request) override;
    void setWaitCursor(bool) override {}
    using UserDialogs::message;

    // The line written for a message box.
    static QString messageLine(const MessageRequest &request);
};
