#pragma once

// What the plug-in host asks of its main window. The widget window implements it; the
// recording window stands in where there is none (tests, and the program until the main window
// exists): it keeps what it was asked and, unattended, prints it.

#include <QString>
#include <QStringList>
#include <functional>

// Window states as the automation interface exchanges them.
enum class WindowState : qint16 { Normal = 0, Minimized = 1, Maximized = 2 };

class PlugInWindow
{
public:
    virtual ~PlugInWindow() = default;

    // Loads the window without showing it (the session takes its object-server control).
    virtual void load() = 0;
    virtual bool isLoaded() const = 0;
    // Builds the pages and captions of the command and removes the views it does not offer.
    virtual void buildPages(int commandIndex) = 0;
    // Shows the window modeless; hides it.
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
    virtual bool isVisible() const = 0;
    virtual void unload() = 0;
    // True when the window waits for its user; a stand-in ends the program at once instead.
    virtual bool isInteractive() const = 0;

    // Geometry in twips.
    virtual double left() const = 0;
    virtual double top() const = 0;
    virtual double width() const = 0;
    virtual double height() const = 0;
    virtual void setLeft(double twips) = 0;
    virtual void setTop(double twips) = 0;
    virtual void setWidth(double twips) = 0;
    virtual void setHeight(double twips) = 0;

    virtual WindowState windowState() const = 0;
    virtual void setWindowState(WindowState state) = 0;
};

class RecordingPlugInWindow : public PlugInWindow
{
public:
    // `report` hears every request a user would see (building pages, showing, hiding).
    using Report = std::function<void(const QString &request)>;
    explicit RecordingPlugInWindow(Report report = {}) : m_report(std::move(report)) {}
    void setReport(Report report) { m_report = std::move(report); }

    void load() override;
    bool isLoaded() const override { return m_loaded; }
    void buildPages(int commandIndex) override;
    void showWindow() override;
    void hideWindow() override;
    bool isVisible() const override { return m_visible; }
    void unload() override;
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
    void record(const QString &call);

    Report m_report;
    bool m_loaded = false;
    bool m_visible = false;
    int m_commandIndex = 0;
    double m_left = 0;
    double m_top = 0;
    double m_width = 9600;
    double m_height = 7200;
    WindowState m_state = WindowState::Normal;
};
