#pragma once

// The main window's shell: preparation for the command, Display, the views, tabs and menus, the
// button line, help, the closing question and the window position. Each page's rules are its
// presenter's (temperature measuring, operation, NV timing, monitoring, the two calibrations,
// the logger); the shell makes them, hands them the view's parts they use and routes the view's
// notifications. The host talks to it as its PlugInWindow, the device configuration to its
// ConfigurationWindow. Of the services it needs the session, the dialogs and the logger; the
// others may be missing (no registry: the position is not kept; no timers: no calibration).

#include "device/cconfiguration.h"
#include "device/multidevicewindow.h"
#include "lns/desktopseams.h"
#include "session/services.h"
#include "ui/calibrationpageview.h"
#include "ui/configurationsurface.h"
#include "ui/knobcalibrationpresenter.h"
#include "ui/loggerpage.h"
#include "ui/mainwindowview.h"
#include "ui/monitoringpresenter.h"
#include "ui/navigation.h"
#include "ui/nvtimingpage.h"
#include "ui/operationpage.h"
#include "ui/pagecontext.h"
#include "ui/parametersetfiles.h"
#include "ui/pluginwindow.h"
#include "ui/sensorcalibrationpresenter.h"
#include "ui/tabs.h"
#include "ui/temperaturepage.h"

#include <QObject>
#include <functional>
#include <memory>

class cMonitorPoints;

namespace ui {

// Which of the help menu's documents exist.
struct HelpFiles
{
    bool manual = false;
    bool appDoc = false;
};

// What the window asks of its surroundings besides the services. Every hook may stay empty.
struct FrmMainHooks
{
    // Whether the device answers (cached for ten seconds unless forced).
    std::function<bool(bool force)> deviceIsAccessible;
    // The monitoring page: created with the configuration, switched on and off by the views.
    std::function<void()> createMonitoring;
    std::function<void(bool on)> setMonitoring;
    // The monitoring page's monitor points; the sensor calibration measures through them.
    std::function<cMonitorPoints *()> monitorPoints;
    // The start-up status window, hidden once the window is filled.
    std::function<void()> hideStatusWindow;
    // Opens a help file at a context id (-1: its default topic).
    std::function<void(const QString &helpFile, int contextId)> showHelp;
    // Opens the technical documentation.
    std::function<void(const QString &path)> openDocument;
    // Recomputes the help paths of the session and tells which documents exist.
    std::function<HelpFiles()> updateHelpMenu;
    std::function<void()> showAbout;
    // Help - Device info: what the window knows of the opened device.
    std::function<void(const DeviceInfoReport &report)> showDeviceInfo;
    // Ends the plug-in once the window is unloaded.
    std::function<void()> endPlugIn;
    // The multi-device window of "Copy parameters ..."; none: the scripted one.
    std::function<std::unique_ptr<device::MultiDeviceWindow>()> createMultiDeviceWindow;
    // Hears what a user would see of the window: "buildPages 1", "show", "hide".
    std::function<void(const QString &request)> report;
    // The program's folder: the file dialogs start there while it can be written and no
    // folder was used yet.
    QString programDirectory;
};

// The rectangle moved as little as needed to lie on the screen nearest to its top left corner
// (wholly, when it fits); unchanged without screens.
Rect keptOnScreen(const Rect &rect, const QList<Rect> &screens);

class FrmMain : public QObject, public PlugInWindow
{
    Q_OBJECT
public:
    FrmMain(MainWindowView &view, Services services, FrmMainHooks hooks = {}, QObject *parent = nullptr);
    ~FrmMain() override;

    cConfiguration *configuration() const { return m_configuration.get(); }
    ConfigurationWindow &configurationWindow() { return m_surface; }
    monitoring::MonitoringPage &monitoringPage() { return m_monitoring; }
    SensorCalibrationPresenter &sensorPage() { return m_sensor; }
    KnobCalibrationPresenter &knobPage() { return m_knob; }
    // Key number of the page shown last (0 to 6); the help context is 1000 + this.
    int currentPageKey() const { return m_navigation.currentPageKey(); }
    // After the plug-in ended: the view's and the controls' notifications no longer reach the
    // logic (its services are being released).
    void detach();

    // ---- PlugInWindow ----
    void load() override;
    bool isLoaded() const override { return m_loaded; }
    void buildPages(int commandIndex) override;
    void showWindow() override;
    void hideWindow() override;
    bool isVisible() const override { return m_view.isWindowVisible(); }
    void unload() override;
    bool isInteractive() const override { return m_view.isInteractive(); }
    double left() const override { return m_view.windowGeometry().left; }
    double top() const override { return m_view.windowGeometry().top; }
    double width() const override { return m_view.windowGeometry().width; }
    double height() const override { return m_view.windowGeometry().height; }
    void setLeft(double twips) override { setGeometryPart(&Rect::left, twips); }
    void setTop(double twips) override { setGeometryPart(&Rect::top, twips); }
    void setWidth(double twips) override { setGeometryPart(&Rect::width, twips); }
    void setHeight(double twips) override { setGeometryPart(&Rect::height, twips); }
    WindowState windowState() const override { return m_view.windowState(); }
    void setWindowState(WindowState state) override { m_view.setWindowState(state); }

private:
    void connectView();
    void Display();
    void prepareForCommand();
    void applyVariantRules();
    void SetControls();
    void markChanged();
    void log(const QString &label) const;
    void report(const QString &request) const;
    void setGeometryPart(double Rect::*part, double twips);
    void restorePosition();
    // The closing question; answers whether the window may close.
    bool QueryUnload();
    // Asks to close and, unless declined, unloads (position saved, plug-in ended).
    bool CloseWindow();
    void onCloseRequested(bool *cancel);
    void onLineButton(LineButton button);
    void onMenuTool(const MenuTool &tool);
    void onHelpRequested();
    void onCalibrationButton(int button);
    void SwitchLanguage(const QString &toolKey);

    MainWindowView &m_view;
    Services m_services;
    FrmMainHooks m_hooks;
    Navigation m_navigation;
    cTabStrips m_tabStrips;
    PageContext m_context;
    LoggerPage m_logger;
    MonitoringPresenter m_monitoring;
    ConfigurationSurface m_surface;
    TemperaturePage m_temperature;
    OperationPage m_operation;
    NvTimingPage m_nvTiming;
    CalibrationPageView m_calibrationPage;
    SensorCalibrationPresenter m_sensor;
    KnobCalibrationPresenter m_knob;
    ParameterSetFiles m_files;
    std::unique_ptr<cConfiguration> m_configuration;
    bool m_loaded = false;
};

} // namespace ui
