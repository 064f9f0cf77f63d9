#pragma once

// The main window's logic: preparation for the command, Display with the enabling rules of the
// device variants, view, tab and page selection, the control-event rules (heartbeats, toggle
// switch frames, fan levels), the button line, the menu commands, help, the closing question and
// the window position. It drives a MainWindowView; the host talks to it as its PlugInWindow, the
// device configuration as its ConfigurationWindow. Of the services it needs the session, the
// dialogs and the logger; the others may be missing (no registry: the position is not kept).

#include "calibration/calibrationpage.h"
#include "device/cconfiguration.h"
#include "device/configurationwindow.h"
#include "device/multidevicewindow.h"
#include "lns/desktopseams.h"
#include "lns/timer.h"
#include "monitoring/monitoringpage.h"
#include "session/services.h"
#include "ui/mainwindowview.h"
#include "ui/pluginwindow.h"
#include "ui/tabs.h"

#include <QHash>
#include <QObject>
#include <functional>
#include <memory>

class cMonitorPoints;
class cParam;
namespace calibration {
struct CalibrationEnvironment;
class TemperatureSensorCalibration;
class TurningKnobCalibration;
} // namespace calibration

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

// View bits: the button-bar views by their caption tags.
namespace views {
constexpr int Configuration = 1;       // tag 1001
constexpr int ObjectConfiguration = 2; // tag 1005
constexpr int Monitoring = 4;          // tag 1002
constexpr int Controlling = 8;         // tag 1003
constexpr int Calibration = 16;        // tag 1004
int tagOf(int viewBit);
// The views a command does not offer; `accessible` counts for the configure command only.
int removedForCommand(int commandIndex, bool accessible);
} // namespace views

// The window's logic also hosts the two calibration procedures (src/calibration) and is their
// CalibrationPage; the members that ConfigurationWindow and CalibrationPage share (controls,
// caption, status text, enabling, logger tab, the quiet flag) serve both.
class FrmMain : public QObject,
                public PlugInWindow,
                public ConfigurationWindow,
                public monitoring::MonitoringPage,
                public calibration::CalibrationPage
{
    Q_OBJECT
public:
    // Tick intervals of the calibration timers.
    static constexpr int SensorCalibrationIntervalMs = 200;
    static constexpr int KnobCalibrationIntervalMs = 500;

    FrmMain(MainWindowView &view, Services services, FrmMainHooks hooks = {}, QObject *parent = nullptr);
    ~FrmMain() override;

    MainWindowView &view() const { return m_view; }
    cConfiguration *configuration() const { return m_configuration.get(); }
    cTabStrips &tabStrips() { return m_tabStrips; }
    // Key number of the page shown last (0 to 6); the help context is 1000 + this.
    int currentPageKey() const { return m_currentPageKey; }
    bool themeActive() const { return m_theme; }
    // The window's two calibration timers, stopped until a calibration starts them (with the
    // intervals above); null without a timer factory. Their ticks go to the calibration hooks.
    Timer *sensorCalibrationTimer() const { return m_sensorTimer.get(); }
    Timer *knobCalibrationTimer() const { return m_knobTimer.get(); }
    // The calibration procedures, made with the configuration; null before and without one.
    calibration::TemperatureSensorCalibration *sensorCalibration() const { return m_sensorCalibration.get(); }
    calibration::TurningKnobCalibration *knobCalibration() const { return m_knobCalibration.get(); }

    // ---- the window's operations ----
    void Display();
    void FillComboBox(int comboBoxIndex);
    void SetControls() override;
    void ShowLogger() override;
    void showControl(controls::Control &control) override;
    // Removes the button-bar views of the bits set in `mask`.
    void RemoveViews(int mask);
    // Whether the button bar offers the view of this bit.
    bool ViewIsOffered(int viewBit) const;
    // The view selection for a button-bar item, the page selection for a key number.
    void SelectView(const QString &itemKey);
    void SelectPage(int keyNo);
    // The closing question; answers whether the window may close.
    bool QueryUnload();
    // Asks to close and, unless declined, unloads (position saved, plug-in ended).
    bool CloseWindow();
    void LoadParameters();
    void SaveParameters();
    void SwitchLanguage(const QString &toolKey);
    // After the plug-in ended: the view's and the controls' notifications no longer reach the
    // logic (its services are being released).
    void detach();

    // ---- PlugInWindow ----
    void load() override;
    bool isLoaded() const override { return m_loaded; }
    void buildPages(int commandIndex) override;
    void showWindow() override;
    void hideWindow() override;
    bool isVisible() const override;
    void unload() override;
    bool isInteractive() const override { return m_view.isInteractive(); }
    double left() const override { return m_view.windowGeometry().left; }
    double top() const override { return m_view.windowGeometry().top; }
    double width() const override { return m_view.windowGeometry().width; }
    double height() const override { return m_view.windowGeometry().height; }
    void setLeft(double twips) override;
    void setTop(double twips) override;
    void setWidth(double twips) override;
    void setHeight(double twips) override;
    WindowState windowState() const override { return m_view.windowState(); }
    void setWindowState(WindowState state) override { m_view.setWindowState(state); }

    // ---- ConfigurationWindow ----
    controls::TextBoxControl *TextBox(int index) const override { return m_view.textBox(index); }
    controls::ComboBoxControl *ComboBox(int index) const override { return m_view.comboBox(index); }
    controls::OptionButtonControl *OptionButton(int index) const override { return m_view.optionButton(index); }
    controls::CheckBoxControl *CheckBox(int index) const override { return m_view.checkBox(index); }
    QString Caption() const override { return m_view.windowCaption(); }
    // "Ready." while the device does not answer says so instead, until it answers again.
    void setStatusText(const QString &text) override;
    void Refresh() override { m_view.refresh(); }
    void setEnabled(bool enabled) override { m_view.setWindowEnabled(enabled); }
    void setApplyEnabled(bool enabled) override;
    void setChangedNoticeVisible(bool visible) override;
    bool UpdatingControls() const override { return m_updatingControls; }
    void setUpdatingControls(bool on) override { m_updatingControls = on; }
    QObject *ownerObject() override { return &m_view; }

    // ---- MonitoringPage (TextBox and setChangedNoticeVisible above) ----
    void placeModeFrame(monitoring::ModeFrame frame, double left, double top) override;
    void hideModeFrame(monitoring::ModeFrame frame) override;

    // ---- CalibrationPage (frmmaincalibration.cpp) ----
    void setButtonEnabled(int button, bool enabled) override;
    void setProgress(calibration::Indicator indicator, int value) override;
    void setProgressText(calibration::Indicator indicator, const QString &text) override;
    void setProgressVisible(calibration::Indicator indicator, bool visible) override;
    void setResult(calibration::Indicator indicator, const QString &caption, controls::Colour colour) override;
    void setResultVisible(calibration::Indicator indicator, bool visible) override;
    void showFrame(calibration::PageFrame frame, std::optional<double> left = {},
                   std::optional<double> top = {}) override;
    void hideFrame(calibration::PageFrame frame) override;

private:
    // One of the window's left, top, width and height, in twips; the others stay.
    void setGeometryPart(double Rect::*part, double twips);
    // ---- Display ----
    void prepareForCommand();
    void applyVariantRules();
    void hideToggleSwitchSection();
    void showSwitchPositionFrame(int shown);
    void placeAndShow(Element element, double top);
    void hideElement(Element element);
    void hideTab(int strip, int keyNo);
    DeviceContext deviceContext() const;
    bool limitationIs(int n) const;
    bool available(const QString &parameterName) const;
    cParam *parameter(const QString &name) const;
    void enableCalibrateButtons(int keyNo);

    // ---- control events ----
    void createTimers();
    void connectControls();
    void connectView();
    void onTextBoxChange(int index);
    void onCheckBoxClick(int index);
    void onOptionButtonClick(int index);
    void onComboBoxChange(int index);
    void onTabClicked(int strip, const QString &key);
    void onMenuTool(const MenuTool &tool);
    void onLineButton(LineButton button);
    void onHelpRequested();
    void onCloseRequested(bool *cancel);
    void markChanged();
    bool forwardsTextBox(int index) const;
    // Item data of the combo box's selected item; `none` without a selection.
    qint32 selectedData(int comboBoxIndex, qint32 none) const;
    cParams *params() const;

    // ---- fan levels ----
    qint32 fanLevels() const;
    void rebuildFanSpeedLists(qint32 levels);
    void selectFanSpeedPositions();
    void storeFanSpeedPosition(int comboBoxIndex);

    // ---- calibration (frmmaincalibration.cpp) ----
    calibration::CalibrationEnvironment calibrationEnvironment();
    void createCalibration();
    void arrangeCalibrationPages();
    void onCalibrationButton(int button);
    void onCalibrationTick(bool sensor);

    // ---- helpers ----
    void createConfiguration();
    void log(const QString &label) const;
    void logColoured(const QString &text, qint32 colour) const;
    // Runs `step` under the window's error handling: an error becomes a red logger line and
    // the routine ends. Answers whether the step completed.
    bool guarded(const std::function<void()> &step) const;
    bool accessible() const;
    void report(const QString &request) const;
    void selectFirstView();
    int commandIndex() const;
    void restorePosition();
    // After reading on the configure command: a device that does not answer is named in red,
    // and the status text keeps saying it until the device answers.
    void reportSilentDevice();
    // The folder the file dialogs start in, and the one to start in next time.
    QString fileFolder() const;
    void rememberFileFolder(const QString &fileName);

    MainWindowView &m_view;
    Services m_services;
    FrmMainHooks m_hooks;
    std::unique_ptr<cConfiguration> m_configuration;
    cTabStrips m_tabStrips;
    bool m_loaded = false;
    bool m_updatingControls = false;
    bool m_theme = false;
    int m_currentPageKey = 0;
    bool m_deviceSilent = false; // the values shown come from the network database
    QHash<int, double> m_designLeft; // frame -> its designed left
    std::unique_ptr<Timer> m_sensorTimer;
    std::unique_ptr<Timer> m_knobTimer;
    std::unique_ptr<calibration::TemperatureSensorCalibration> m_sensorCalibration;
    std::unique_ptr<calibration::TurningKnobCalibration> m_knobCalibration;
};

} // namespace ui
