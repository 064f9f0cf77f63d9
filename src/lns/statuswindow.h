#pragma once

// The small progress window shown while the plug-in opens a device and while it registers.

#include <QList>
#include <QString>
#include <QStringList>

class StatusWindow
{
public:
    virtual ~StatusWindow() = default;
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual void setProgress(int value) = 0;
    // Shown at once, before the caller goes on with its (blocking) work.
    virtual void setStatusText(const QString &text) = 0;
    virtual void setPicture(int pictureId) = 0;
    virtual void setFontName(const QString &family) = 0;
    virtual void setVersionText(const QString &text) = 0;
};

// Without a screen: every text goes to standard error as one line.
class UnattendedStatusWindow : public StatusWindow
{
public:
    void show() override {}
    void hide() override {}
    void setProgress(int) override {}
    void setStatusText(const QString &text) override;
    void setPicture(int) override {}
    void setFontName(const QString &) override {}
    void setVersionText(const QString &) override {}
};
