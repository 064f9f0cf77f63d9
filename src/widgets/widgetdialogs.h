#pragma once

// The user-dialogs seam on the desktop: message boxes and file dialogs.

#include "lns/userdialogs.h"

class QWidget;

class WidgetDialogs : public UserDialogs
{
public:
    explicit WidgetDialogs(QWidget *owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget *owner) { m_owner = owner; }

    MsgAnswer message(const MessageRequest &request) override;
    QString fileName(const FileDialogRequest &request) override;
    void setWaitCursor(bool on) override;
    using UserDialogs::message;

    // "Data (*.dat)|*.dat|All (*.*)|*.*" as the desktop's file dialog writes it:
    // "Data (*.dat);;All (*.*)".
    static QString qtFilter(const QString &filter);

private:
    QWidget *m_owner;
    bool m_waitCursor = false;
};
