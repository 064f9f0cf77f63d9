#pragma once

// Unattended mode (the program's choice, TQM_UNATTENDED=1, or yes, true, on): scripts, CI and
// hosts without a screen. The window runs on the offscreen platform and nobody waits at it; every
// message box becomes one line on standard error (its detail a second line, "cause: ...") and is
// answered with its default button; file dialogs answer cancel.

#include "lns/userdialogs.h"

#include <QProcessEnvironment>
#include <QString>

namespace unattended {

// Whether a TQM_UNATTENDED value switches the mode on: 1, yes, true or on, in any case.
bool isOnValue(const QString &value);

// Where the program's windows can go.
enum class Screen {
    Display,   // a display, or a platform of the user's choice that needs none
    Offscreen, // unattended: the offscreen platform
    None,      // a window would abort the program
};
Screen screenFor(const QProcessEnvironment &environment);
// The one line a program without a screen prints before it ends with exit code 1.
QString noScreenLine();
// Keeps the offscreen platform's remarks on what it cannot do with windows ("This plugin does
// not support raise()") off standard error: a run without a screen prints what a user would see.
void dropPlatformRemarks();
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
