#include "ui/frmmain.h"

#include "calibration/pagearrangement.h"
#include "lns/logger.h"
#include "lns/registryaccess.h"
#include "lns/userdialogs.h"
#include "session/session.h"
#include "session/settings.h"
#include "strings/resstrings.h"
#include "ui/captions.h"
#include "ui/deviceinfo.h"
#include "ui/windowlayout.h"

namespace ui {

namespace {

constexpr int HelpContextBase = 1000;
constexpr int SensorKeyNo = 2;
constexpr int KnobKeyNo = 3;

} // namespace

FrmMain::FrmMain(MainWindowView &view, Services services, FrmMainHooks hooks, QObject *parent)
    : QObject(parent), m_view(view), m_services(std::move(services)), m_hooks(std::move(hooks)), m_navigation(view),
      m_tabStrips(view, [this](int keyNo) { m_navigation.SelectPage(keyNo); }),
      m_context(m_services, view, m_tabStrips, m_hooks.deviceIsAccessible),
      m_logger(m_services, view, m_navigation, [this] { return m_context.accessible(); }),
      m_monitoring(m_context, view, m_hooks.setMonitoring),
      m_surface(view, m_context, m_navigation, m_logger, m_monitoring, [this] { SetControls(); }),
      m_temperature(m_context, view), m_operation(m_context, view), m_nvTiming(m_context, view),
      m_calibrationPage(m_context, view, m_surface,
                        {m_hooks.deviceIsAccessible, m_hooks.monitorPoints, m_hooks.createMultiDeviceWindow}),
      m_sensor(m_context, view, m_calibrationPage), m_knob(m_context, view, m_calibrationPage),
      m_files(m_context, view, m_hooks.programDirectory, [this] {
          // The loaded values reach the controls that depend on several parameters.
          SetControls();
          m_view.refresh();
          markChanged();
      })
{
    m_context.markChanged = [this] { markChanged(); };
    m_navigation.viewSelected = [this](int strip) { m_monitoring.viewSelected(strip); };
    m_navigation.pageChosen = [this](int keyNo) {
        if (keyNo == SensorKeyNo)
            m_sensor.pageShown();
        else if (keyNo == KnobKeyNo)
            m_knob.pageShown();
    };
    connectView();
}

FrmMain::~FrmMain() = default;

void FrmMain::connectView()
{
    connect(&m_view, &MainWindowView::buttonBarItemClicked, this,
            [this](const QString &key) { m_context.guarded([&] { m_navigation.SelectView(key); }); });
    connect(&m_view, &MainWindowView::tabClicked, this,
            [this](int, const QString &key) { m_context.guarded([&] { m_navigation.tabClicked(key); }); });
    connect(&m_view, &MainWindowView::menuToolClicked, this, &FrmMain::onMenuTool);
    connect(&m_view, &MainWindowView::lineButtonClicked, this, &FrmMain::onLineButton);
    connect(&m_view, &MainWindowView::helpRequested, this, &FrmMain::onHelpRequested);
    connect(&m_view, &MainWindowView::closeRequested, this, &FrmMain::onCloseRequested);
    connect(&m_view, &MainWindowView::commandButtonClicked, this,
            [this](int button) { m_context.guarded([&] { onCalibrationButton(button); }); });
}

void FrmMain::detach()
{
    m_sensor.detach();
    m_knob.detach();
    disconnect(&m_view, nullptr, this, nullptr);
    m_temperature.detach();
    m_operation.detach();
    m_nvTiming.detach();
}

void FrmMain::log(const QString &label) const
{
    m_services.logger->logLine(label);
}

void FrmMain::report(const QString &request) const
{
    if (m_hooks.report)
        m_hooks.report(request);
}

void FrmMain::markChanged()
{
    m_services.session->parametersChangedFlag = true;
    m_surface.setApplyEnabled(true);
}

// ---------------------------------------------------------------------------------------------
// Loading, showing, unloading

void FrmMain::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    m_context.guarded([&] { restorePosition(); });
    m_context.guarded([&] {
        LoadResStringsToForm(m_view, m_services.session->initialised);
        LoadResStringsToMenu(m_view);
        LoadResStringsToButtons(m_view);
        // The language menu marks the language this session speaks.
        m_view.setMenuToolChecked({QStringLiteral("Language"), QStringLiteral("English")}, language() == ResStrings::English);
        m_view.setMenuToolChecked({QStringLiteral("Language"), QStringLiteral("German")}, language() == ResStrings::German);
    });
    m_context.guarded([&] {
        if (!m_hooks.updateHelpMenu)
            return;
        const HelpFiles files = m_hooks.updateHelpMenu();
        m_view.setMenuToolEnabled({QStringLiteral("Help"), QStringLiteral("Manual")}, files.manual);
        m_view.setMenuToolEnabled({QStringLiteral("Help"), QStringLiteral("AppDoc")}, files.appDoc);
    });
}

// A stored position is applied only when both values were stored: one value alone would put
// the window half where it was and half where the window system puts it.
void FrmMain::restorePosition()
{
    if (!m_services.registry)
        return;
    const settings::WindowPosition stored = settings::readWindowPosition(*m_services.registry);
    if (stored.top == -1 || stored.left == -1)
        return;
    Rect rect = m_view.windowGeometry();
    rect.top = stored.top;
    rect.left = stored.left;
    m_view.setWindowGeometry(keptOnScreen(rect, m_view.screenAreas()));
}

// A stored place from another screen arrangement keeps the window on the nearest screen now.
Rect keptOnScreen(const Rect &rect, const QList<Rect> &screens)
{
    if (screens.isEmpty())
        return rect;
    const auto distance = [&rect](const Rect &area) {
        const double dx = qMax(0.0, qMax(area.left - rect.left, rect.left - (area.left + area.width)));
        const double dy = qMax(0.0, qMax(area.top - rect.top, rect.top - (area.top + area.height)));
        return dx * dx + dy * dy;
    };
    const Rect *nearest = &screens.first();
    for (const Rect &area : screens) {
        if (distance(area) < distance(*nearest))
            nearest = &area;
    }
    Rect kept = rect;
    kept.left = qMax(nearest->left, qMin(rect.left, nearest->left + nearest->width - rect.width));
    kept.top = qMax(nearest->top, qMin(rect.top, nearest->top + nearest->height - rect.height));
    return kept;
}

void FrmMain::buildPages(int commandIndex)
{
    load();
    report(QStringLiteral("buildPages %1").arg(commandIndex));
    m_services.session->commandIndex = commandIndex;
    const bool answers = commandIndex == commands::Configure && m_context.accessible();
    m_context.guarded([&] { m_navigation.RemoveViews(views::removedForCommand(commandIndex, answers)); });
    m_context.guarded([&] { ApplyMenuForCommand(m_view, commandIndex); });
    m_view.setWindowCaption(m_services.session->windowTitle());
    Display();
}

void FrmMain::showWindow()
{
    load();
    if (!m_view.isWindowVisible())
        report(QStringLiteral("show"));
    m_view.showWindow();
}

void FrmMain::hideWindow()
{
    report(QStringLiteral("hide"));
    m_view.hideWindow();
}

void FrmMain::setGeometryPart(double Rect::*part, double twips)
{
    Rect rect = m_view.windowGeometry();
    rect.*part = twips;
    m_view.setWindowGeometry(rect);
}

void FrmMain::unload()
{
    if (!m_loaded)
        return;
    m_loaded = false;
    m_context.guarded([&] { m_sensor.finishBeforeClose(); });
    m_context.guarded([&] {
        if (!m_services.registry)
            return;
        const Rect rect = m_view.windowGeometry();
        settings::writeWindowPosition(*m_services.registry, rect.top, rect.left,
                                      m_view.windowState() == WindowState::Minimized);
    });
    m_context.guarded([&] { m_view.setStatusText(GetResString(1507)); });
    m_view.closeWindow();
    if (m_hooks.endPlugIn)
        m_hooks.endPlugIn();
}

bool FrmMain::QueryUnload()
{
    if (!m_services.session->parametersChangedFlag)
        return true;
    return m_services.dialogs->message(GetResString(1428, 3), m_view.windowCaption(), MsgIcon::Question,
                                       MsgButtons::YesNo, MsgAnswer::No)
        == MsgAnswer::Yes;
}

bool FrmMain::CloseWindow()
{
    if (!QueryUnload())
        return false;
    unload();
    return true;
}

void FrmMain::onCloseRequested(bool *cancel)
{
    *cancel = !CloseWindow();
}

// ---------------------------------------------------------------------------------------------
// Display

void FrmMain::prepareForCommand()
{
    m_services.logger->addLogLine(GetResString(1530), logcolour::Green);
    const int command = m_context.commandIndex();
    if (command < commands::Configure || command > commands::Monitor)
        return;
    const bool announce = command == commands::Configure;
    m_configuration = std::make_unique<cConfiguration>(m_services, m_surface, m_hooks.createMultiDeviceWindow);
    m_context.setConfiguration(m_configuration.get());
    if (m_hooks.createMonitoring)
        m_hooks.createMonitoring();
    m_sensor.create();
    m_knob.create();
    if (announce)
        m_services.logger->addLogLine(GetResString(1550, 1), logcolour::Blue);
    m_context.updatingControls = true;
    m_configuration->FetchCPs();
    m_configuration->ReadSettings();
    m_context.updatingControls = false;
    if (command == commands::Monitor)
        return;
    if (announce) {
        m_services.logger->addLogLine(GetResString(1550, 2), logcolour::Blue);
        m_logger.reportSilentDevice();
    }
    m_sensor.fillPage();
    m_knob.fillPage();
}

void FrmMain::Display()
{
    m_context.updatingControls = false;
    if (!m_context.guarded([&] { LayOutWindow(m_view, m_tabStrips, DisplayPageHeight, 0); }))
        return;
    m_context.rememberDesignedFrames();
    const bool completed = m_context.guarded([&] {
        prepareForCommand();
        log(QStringLiteral("[frmMain] Public Sub Display()"));
        m_operation.fillFanLevels();
        applyVariantRules();
        if (m_navigation.ViewIsOffered(views::Calibration) && m_configuration)
            calibration::ArrangeCalibrationPages(m_calibrationPage.environment());
        // A value the device holds beyond its range shows red; it is refused when written.
        if (m_context.commandIndex() == commands::Configure)
            SetControls();
        m_surface.setApplyEnabled(false);
        m_services.session->parametersChangedFlag = false;
        m_view.setButtonBarEnabled(true);
        m_navigation.selectFirstView();
        m_logger.showAfterRedLine();
    });
    if (!completed)
        return;
    if (m_hooks.hideStatusWindow)
        m_hooks.hideStatusWindow();
    showWindow();
    m_surface.setStatusText(GetResString(1517));
    log(GetResString(1530));
}

// The enabling rules that the parameter objects cannot know, page by page.
void FrmMain::applyVariantRules()
{
    m_temperature.applyVariantRules();
    m_nvTiming.applyVariantRules();
    m_operation.applyVariantRules();
    m_knob.applyVariantRules();
    m_monitoring.applyVariantRules();
}

// The controls that depend on several parameters.
void FrmMain::SetControls()
{
    m_context.quietly([&] {
        m_context.guarded([&] {
            m_nvTiming.showHeartbeats();
            m_operation.showFanLevels();
        });
    });
}

// ---------------------------------------------------------------------------------------------
// Button line, menu, help

void FrmMain::onCalibrationButton(int button)
{
    // Without a timer factory the window has no calibrations.
    if (m_sensor.procedure() && m_knob.procedure() && !m_sensor.onButton(button))
        m_knob.onButton(button);
}

void FrmMain::onLineButton(LineButton button)
{
    m_context.guarded([&] {
        const bool configure = m_context.commandIndex() == commands::Configure && m_configuration;
        switch (button) {
        case LineButton::Ok:
            if (!m_services.session->parametersChangedFlag || !configure || m_configuration->WriteParameters())
                CloseWindow();
            return;
        case LineButton::Cancel:
            CloseWindow();
            return;
        case LineButton::Apply:
            if (configure)
                m_configuration->WriteParameters();
            return;
        }
    });
}

void FrmMain::onMenuTool(const MenuTool &tool)
{
    const QString &key = tool.key;
    log(QStringLiteral("[frmMain] Private Sub tbrMenu_ToolClick(") + key + QLatin1Char(')'));
    m_context.guarded([&] {
        if (key == QLatin1String("OpenFile")) {
            m_files.LoadParameters();
        } else if (key == QLatin1String("SaveFile")) {
            m_files.SaveParameters();
        } else if (key == QLatin1String("ReadParameters")) {
            if (m_configuration)
                m_configuration->ReadParameters();
        } else if (key == QLatin1String("WriteParameters")) {
            if (m_configuration)
                m_configuration->WriteParameters();
        } else if (key == QLatin1String("SpreadParameters")) {
            if (m_configuration)
                m_configuration->WriteParametersEx();
        } else if (key == QLatin1String("German") || key == QLatin1String("English")) {
            SwitchLanguage(key);
        } else if (key == QLatin1String("Manual")) {
            if (m_hooks.showHelp)
                m_hooks.showHelp(m_services.session->helpFilePath, -1);
        } else if (key == QLatin1String("AppDoc")) {
            if (m_hooks.openDocument)
                m_hooks.openDocument(m_services.session->appDocPath);
        } else if (key == QLatin1String("About")) {
            if (m_hooks.showAbout)
                m_hooks.showAbout();
        } else if (key == QLatin1String("Logger")) {
            m_logger.show();
        } else if (key == QLatin1String("DeviceInfo")) {
            if (m_hooks.showDeviceInfo)
                m_hooks.showDeviceInfo(CollectDeviceInfo(m_services, m_context.accessible()));
        } else if (key == QLatin1String("Quit")) {
            m_services.dialogs->setWaitCursor(true);
            CloseWindow();
            m_services.dialogs->setWaitCursor(false);
        }
        // "SysCustomize" (the menu bar's own customisation dialog) is refused: nothing opens.
    });
}

void FrmMain::onHelpRequested()
{
    if (m_hooks.showHelp)
        m_context.guarded(
            [&] { m_hooks.showHelp(m_services.session->helpFilePath, HelpContextBase + m_navigation.currentPageKey()); });
}

void FrmMain::SwitchLanguage(const QString &toolKey)
{
    const qint16 chosen = toolKey == QLatin1String("German") ? qint16(ResStrings::German) : qint16(ResStrings::English);
    if (!m_services.registry || settings::readLanguage(*m_services.registry) == chosen)
        return;
    settings::writeLanguage(*m_services.registry, chosen);
    const QString caption = m_view.menuToolCaption({QStringLiteral("Language"), toolKey});
    m_services.dialogs->message(GetResString(1490, 1, {caption}), m_view.windowCaption(), MsgIcon::Information);
}

} // namespace ui
