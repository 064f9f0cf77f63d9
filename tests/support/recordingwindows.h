#pragma once

// Windows of the host that record what they are asked, standing in for the real ones in the
// host tests and the kill tests' child.

#include "lns/statuswindow.h"
#include "ui/pluginwindow.h"

#include <QList>
#include <QString>
#include <QStringList>

// Stands in for the main window: keeps what it was asked.
class RecordingPlugInWindow : public PlugInWindow
{
public:
    void load() override
    {
        m_loaded = true;
        calls.append(QStringLiteral("load"));
    }
    bool isLoaded() const override { return m_loaded; }
    void buildPages(int commandIndex) override
    {
        m_loaded = true;
        m_commandIndex = commandIndex;
        calls.append(QStringLiteral("buildPages %1").arg(commandIndex));
    }
    void showWindow() override
    {
        m_loaded = m_visible = true;
        calls.append(QStringLiteral("show"));
    }
    void hideWindow() override
    {
        m_visible = false;
        calls.append(QStringLiteral("hide"));
    }
    bool isVisible() const override { return m_visible; }
    void unload() override
    {
        m_loaded = m_visible = false;
        calls.append(QStringLiteral("unload"));
    }
    bool isInteractive() const override { return false; }

    double left() const override { return m_left; }
    double top() const override { return m_top; }
    double width() const override { return m_width; }
    double height() const override { return m_height; }
    void setLeft(double twips) override { m_left = twips; }
    void setTop(double twips) override { m_top = twips; }
    void setWidth(double twips) override { m_width = twips; }
    void setHeight(double twips) override { m_height = twips; }

    WindowState windowState() const override { return m_state; }
    void setWindowState(WindowState state) override { m_state = state; }

    int commandIndex() const { return m_commandIndex; }
    // Every request in order: "load", "buildPages 1", "show", "hide", "unload".
    QStringList calls;

private:
    bool m_loaded = false;
    bool m_visible = false;
    int m_commandIndex = 0;
    double m_left = 0;
    double m_top = 0;
    double m_width = 9600;
    double m_height = 7200;
    WindowState m_state = WindowState::Normal;
};

// Keeps every text and call.
class RecordingStatusWindow : public StatusWindow
{
public:
    void show() override { visible = true; calls.append(QStringLiteral("show")); }
    void hide() override { visible = false; calls.append(QStringLiteral("hide")); }
    void setProgress(int) override {}
    void setStatusText(const QString &text) override { texts.append(text); }
    void setPicture(int) override {}
    void setFontName(const QString &) override {}
    void setVersionText(const QString &text) override { versionText = text; }

    bool visible = false;
    QStringList calls;
    QStringList texts;
    QString versionText;
};
