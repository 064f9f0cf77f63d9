#pragma once

// The user-dialogs seam: everything the program asks of or tells the user outside its own
// window controls. The Qt implementation lives in src/widgets, the unattended one writes to standard
// error, and ScriptedDialogs records every request and answers from a queue for tests.

#include <QList>
#include <QQueue>
#include <QString>

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
// RetryIgnoreAbortClose is the error handler's choice: retry the step, ignore it and continue,
// abort (leave) the routine, or close (end) the program.
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore, RetryIgnoreAbortClose };
enum class MsgAnswer { Ok, Cancel, Yes, No, Retry, Abort, Ignore, Close };

struct MessageRequest
{
    QString text;  // line breaks as CR LF, as the string table expands them
    QString title;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    MsgAnswer defaultAnswer = MsgAnswer::Ok;
    // What a box of fixed text cannot say: the real cause, shown on request (the box's details).
    QString detail = {};
};

struct FileDialogRequest
{
    QString title;
    QString filter;           // "Data (*.dat)|*.dat|All (*.*)|*.*"
    QString initialDirectory;
    bool save = false;
    QString defaultSuffix = {}; // added to a saved name without one ("dat")
};

class UserDialogs
{
public:
    virtual ~UserDialogs() = default;
    virtual MsgAnswer message(const MessageRequest &request) = 0;
    // Full path of the chosen file; empty when cancelled.
    virtual QString fileName(const FileDialogRequest &request) = 0;
    virtual void setWaitCursor(bool on) = 0;

    // Convenience for the common case.
    MsgAnswer message(const QString &text, const QString &title, MsgIcon icon,
                      MsgButtons buttons = MsgButtons::Ok, MsgAnswer defaultAnswer = MsgAnswer::Ok)
    {
        return message(MessageRequest{text, title, icon, buttons, defaultAnswer});
    }
};

// Records every request; answers messages and file dialogs from queues, falling back to the
// request's default answer (messages) or cancel (file dialogs) when a queue is empty.
class ScriptedDialogs : public UserDialogs
{
public:
    MsgAnswer message(const MessageRequest &request) override
    {
        messages.append(request);
        return answers.isEmpty() ? request.defaultAnswer : answers.dequeue();
    }
    QString fileName(const FileDialogRequest &request) override
    {
        fileRequests.append(request);
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    }
    void setWaitCursor(bool on) override
    {
        waitCursor = on;
        waitCursorChanges.append(on);
    }

    QList<MessageRequest> messages;
    QQueue<MsgAnswer> answers;
    QList<FileDialogRequest> fileRequests;
    QQueue<QString> fileNames;
    bool waitCursor = false;
    QList<bool> waitCursorChanges;
};
