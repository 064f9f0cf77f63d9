#include "ui/frmmain.h"

#include "calibration/calibrationrecords.h"
#include "calibration/devicevariants.h"
#include "calibration/knobcalibration.h"
#include "calibration/sensorcalibration.h"
#include "lns/inifile.h"
#include "lns/logger.h"
#include "lns/product.h"
#include "lns/registryaccess.h"
#include "lns/userdialogs.h"
#include "params/choiceparams.h"
#include "params/cparamenums.h"
#include "params/cparams.h"
#include "params/cparamtextbox.h"
#include "params/numbers.h"
#include "params/rawparams.h"
#include "session/session.h"
#include "session/settings.h"
#include "strings/resstrings.h"
#include "transfer/paramsetfile.h"
#include "ui/captions.h"
#include "ui/deviceinfo.h"
#include "ui/windowlayout.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using E = cParamEnums;

namespace ui {

namespace {

// Where hidden elements go: frames moved down out of view, or to the left.
constexpr double OutOfViewTop = 30000;
constexpr double OutOfViewLeft = -20000;
constexpr double SwitchFramesTop = 1920;
constexpr double SetPointFrameTop = 1080;
constexpr double FrameGap = 120;
constexpr int HelpContextBase = 1000;
constexpr int FanLevelsComboBox = 4;
constexpr int UpperFanPositionComboBox = 5;
constexpr int LowerFanPositionComboBox = 6;
constexpr int ToggleSwitchComboBox = 1;
constexpr int RoomTemperatureTextBox = 3;
constexpr double RoomTemperaturePreset = 21.0;
constexpr int ToggleSwitchNotAvailable = E::BM_NUL_RAW;
constexpr int LoggerKeyNo = 6;
const QString ParamSetSuffix = QStringLiteral("dat");
constexpr int SavedMessage = 1572;
constexpr int CannotCalibrateMessage = 1573;
// "Device ... does not answer": the logger line, and the status text while it lasts.
constexpr int SilentDeviceMessage = 1571;
constexpr int OperationKeyNo = 1;
constexpr int NvTimingKeyNo = 5;

const Frame SwitchFrames[] = {Frame::SwitchPosition0, Frame::SwitchPosition1, Frame::SwitchPosition2};

} // namespace

namespace views {

int tagOf(int viewBit)
{
    switch (viewBit) {
    case Configuration:
        return 1001;
    case ObjectConfiguration:
        return 1005;
    case Monitoring:
        return 1002;
    case Controlling:
        return 1003;
    case Calibration:
        return 1004;
    default:
        return 0;
    }
}

int removedForCommand(int commandIndex, bool accessible)
{
    switch (commandIndex) {
    case commands::Configure:
        return accessible ? 0 : Monitoring | Controlling | Calibration;
    case commands::Calibrate:
        return Configuration | ObjectConfiguration | Monitoring | Controlling;
    case commands::Monitor:
        return Configuration | ObjectConfiguration | Controlling | Calibration;
    case 4:
        return Configuration | ObjectConfiguration | Monitoring | Calibration;
    case commands::StandAlone:
        return Monitoring | Controlling | Calibration;
    default:
        return 0;
    }
}

} // namespace views

FrmMain::FrmMain(MainWindowView &view, Services services, FrmMainHooks hooks, QObject *parent)
    : QObject(parent), m_view(view), m_services(std::move(services)), m_hooks(std::move(hooks)),
      m_tabStrips(view, [this](int keyNo) { SelectPage(keyNo); })
{
    connectControls();
    connectView();
    createTimers();
}

void FrmMain::createTimers()
{
    if (!m_services.timers)
        return;
    m_sensorTimer = m_services.timers->createTimer(this);
    m_knobTimer = m_services.timers->createTimer(this);
    connect(m_sensorTimer.get(), &Timer::timeout, this, [this] { onCalibrationTick(true); });
    connect(m_knobTimer.get(), &Timer::timeout, this, [this] { onCalibrationTick(false); });
}

FrmMain::~FrmMain() = default;

void FrmMain::detach()
{
    for (Timer *timer : {m_sensorTimer.get(), m_knobTimer.get()}) {
        if (timer)
            timer->stop();
    }
    disconnect(&m_view, nullptr, this, nullptr);
    for (int i = 0; i < ConfigurationWindow::TextBoxCount; ++i)
        disconnect(m_view.textBox(i), nullptr, this, nullptr);
    for (int i = 0; i < ConfigurationWindow::ComboBoxCount; ++i)
        disconnect(m_view.comboBox(i), nullptr, this, nullptr);
    for (int i = 0; i < ConfigurationWindow::CheckBoxCount; ++i)
        disconnect(m_view.checkBox(i), nullptr, this, nullptr);
    for (int i = 0; i < ConfigurationWindow::OptionButtonCount; ++i)
        disconnect(m_view.optionButton(i), nullptr, this, nullptr);
}

// ---------------------------------------------------------------------------------------------
// Helpers

int FrmMain::commandIndex() const
{
    return m_services.session->commandIndex;
}

void FrmMain::log(const QString &label) const
{
    m_services.logger->logLine(label);
}

void FrmMain::logColoured(const QString &text, qint32 colour) const
{
    m_services.logger->addLogLine(text, colour);
}

bool FrmMain::guarded(const std::function<void()> &step) const
{
    try {
        step();
        return true;
    } catch (const TqmError &error) {
        logColoured(error.description() + QStringLiteral(" (") + QString::number(error.number()) + QLatin1Char(')'),
                    logcolour::Red);
        return false;
    }
}

bool FrmMain::accessible() const
{
    return m_hooks.deviceIsAccessible && m_hooks.deviceIsAccessible(false);
}

void FrmMain::report(const QString &request) const
{
    if (m_hooks.report)
        m_hooks.report(request);
}

qint32 FrmMain::selectedData(int comboBoxIndex, qint32 none) const
{
    const controls::ComboBoxControl *box = m_view.comboBox(comboBoxIndex);
    return box->listIndex() >= 0 ? box->itemData(box->listIndex()) : none;
}

cParams *FrmMain::params() const
{
    return m_configuration ? m_configuration->Parameters() : nullptr;
}

cParam *FrmMain::parameter(const QString &name) const
{
    cParams *all = params();
    return all ? all->ParameterAllByName(name) : nullptr;
}

bool FrmMain::available(const QString &parameterName) const
{
    const cParam *found = parameter(parameterName);
    return found && found->Available();
}

DeviceContext FrmMain::deviceContext() const
{
    return deviceContextOf(m_services);
}

bool FrmMain::limitationIs(int n) const
{
    return m_services.iniFile && calibration::LimitationIs(deviceContext(), n);
}

void FrmMain::createConfiguration()
{
    m_configuration = std::make_unique<cConfiguration>(m_services, *this, m_hooks.createMultiDeviceWindow);
}

// ---------------------------------------------------------------------------------------------
// Loading, showing, unloading

void FrmMain::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    guarded([&] { restorePosition(); });
    guarded([&] {
        LoadResStringsToForm(m_view, m_services.session->initialised);
        LoadResStringsToMenu(m_view);
        LoadResStringsToButtons(m_view);
        // The language menu marks the language this session speaks.
        m_view.setMenuToolChecked({QStringLiteral("Language"), QStringLiteral("English")}, language() == ResStrings::English);
        m_view.setMenuToolChecked({QStringLiteral("Language"), QStringLiteral("German")}, language() == ResStrings::German);
    });
    guarded([&] {
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
    const bool answers = commandIndex == commands::Configure && accessible();
    guarded([&] { RemoveViews(views::removedForCommand(commandIndex, answers)); });
    guarded([&] { ApplyMenuForCommand(m_view, commandIndex); });
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

bool FrmMain::isVisible() const
{
    return m_view.isWindowVisible();
}

void FrmMain::setGeometryPart(double Rect::*part, double twips)
{
    Rect rect = m_view.windowGeometry();
    rect.*part = twips;
    m_view.setWindowGeometry(rect);
}

void FrmMain::setLeft(double twips)
{
    setGeometryPart(&Rect::left, twips);
}

void FrmMain::setTop(double twips)
{
    setGeometryPart(&Rect::top, twips);
}

void FrmMain::setWidth(double twips)
{
    setGeometryPart(&Rect::width, twips);
}

void FrmMain::setHeight(double twips)
{
    setGeometryPart(&Rect::height, twips);
}

void FrmMain::unload()
{
    if (!m_loaded)
        return;
    m_loaded = false;
    // A sensor calibration cut short by the closing puts the device's values back first.
    guarded([&] {
        if (m_sensorCalibration)
            m_sensorCalibration->FinishBeforeClose();
    });
    guarded([&] {
        if (!m_services.registry)
            return;
        const Rect rect = m_view.windowGeometry();
        settings::writeWindowPosition(*m_services.registry, rect.top, rect.left,
                                      m_view.windowState() == WindowState::Minimized);
    });
    guarded([&] { m_view.setStatusText(GetResString(1507)); });
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
    const int command = commandIndex();
    if (command < commands::Configure || command > commands::Monitor)
        return;
    const bool announce = command == commands::Configure;
    createConfiguration();
    if (m_hooks.createMonitoring)
        m_hooks.createMonitoring();
    createCalibration();
    if (announce)
        m_services.logger->addLogLine(GetResString(1550, 1), logcolour::Blue);
    m_updatingControls = true;
    m_configuration->FetchCPs();
    m_configuration->ReadSettings();
    m_updatingControls = false;
    if (command == commands::Monitor)
        return;
    if (announce) {
        m_services.logger->addLogLine(GetResString(1550, 2), logcolour::Blue);
        reportSilentDevice();
    }
    // In the session's number format, as the entry is written back after each input.
    m_view.textBox(RoomTemperatureTextBox)
        ->setText(numbers::formatFixed(RoomTemperaturePreset, 1, params()->context().locale).trimmed());
    m_view.textBox(11)->setText(calibration::ReadTempSensorCalibrated(deviceContext()));
    m_view.textBox(12)->setText(calibration::ReadRegulatorCalibrated(deviceContext()));
}

void FrmMain::Display()
{
    m_updatingControls = false;
    if (!guarded([&] { m_theme = LayOutWindow(m_view, m_tabStrips, DisplayPageHeight, 0); }))
        return;
    if (m_designLeft.isEmpty()) {
        for (int frame = 0; frame < FrameCount; ++frame)
            m_designLeft.insert(frame, m_view.geometry(Element::frame(Frame(frame))).left);
    }
    const bool completed = guarded([&] {
        prepareForCommand();
        log(QStringLiteral("[frmMain] Public Sub Display()"));
        for (int index = 0; index < ConfigurationWindow::ComboBoxCount; ++index)
            FillComboBox(index);
        applyVariantRules();
        if (ViewIsOffered(views::Calibration))
            arrangeCalibrationPages();
        // A value the device holds beyond its range shows red; it is refused when written.
        if (commandIndex() == commands::Configure)
            SetControls();
        setApplyEnabled(false);
        m_services.session->parametersChangedFlag = false;
        m_view.setButtonBarEnabled(true);
        selectFirstView();
        if (m_services.logger->loggerOnErrorFlag())
            ShowLogger();
        m_services.logger->setLoggerOnErrorFlag(false);
    });
    if (!completed)
        return;
    if (m_hooks.hideStatusWindow)
        m_hooks.hideStatusWindow();
    showWindow();
    setStatusText(GetResString(1517));
    log(GetResString(1530));
}

void FrmMain::reportSilentDevice()
{
    m_deviceSilent = !accessible();
    if (m_deviceSilent)
        logColoured(GetResString(SilentDeviceMessage, 1, {m_services.session->deviceName}), logcolour::Red);
}

void FrmMain::setStatusText(const QString &text)
{
    if (m_deviceSilent && text == GetResString(1517))
        m_deviceSilent = !accessible();
    m_view.setStatusText(m_deviceSilent && text == GetResString(1517)
                             ? GetResString(SilentDeviceMessage, 2, {m_services.session->deviceName})
                             : text);
}

// The enabling rules that the parameter objects cannot know: hardware variants, the toggle
// switch, the push-button frames and the monitoring frames of the smaller variants.
void FrmMain::applyVariantRules()
{
    if (!available(QStringLiteral("TempMode")))
        hideTab(0, 0);
    if (commandIndex() == commands::Configure && !available(QStringLiteral("MaxReceiveTime")))
        m_view.setEnabled(Element::checkBox(0), false);
    const bool buttonMode = available(QStringLiteral("ButtonMode"));
    if (!buttonMode)
        hideToggleSwitchSection();

    if (!limitationIs(1)) {
        if (buttonMode) {
            for (Frame frame : SwitchFrames)
                m_view.move(Element::frame(frame), m_view.geometry(Element::frame(frame)).left, SwitchFramesTop);
            // The toggle switch's function was read while the controls were quiet: the frame
            // of that function is the one to show.
            showSwitchPositionFrame(selectedData(ToggleSwitchComboBox, ToggleSwitchNotAvailable));
        }
    } else {
        hideToggleSwitchSection();
        // The button bar has no view with key 3 to remove; the knob is hidden by its tab.
        hideTab(2, 3);
    }
    if (limitationIs(2)) {
        hideTab(0, 1);
        hideTab(2, 3);
    }
    if (limitationIs(2) || limitationIs(3) || limitationIs(4) || limitationIs(5)) {
        for (Frame frame : {Frame::MonitorFanSpeed, Frame::MonitorControllerFunction, Frame::MonitorOccupancy,
                            Frame::MonitorSetPointOffset})
            hideElement(Element::frame(frame));
    }
    if (limitationIs(4) || limitationIs(5)) {
        hideToggleSwitchSection();
        placeAndShow(Element::frame(Frame::SetPointButtons), SetPointFrameTop);
        if (commandIndex() == commands::Configure
            && (available(QStringLiteral("SwitchMapFanSpeed_1")) || available(QStringLiteral("ManOccCmdOn")))) {
            const Rect setPoint = m_view.geometry(Element::frame(Frame::SetPointButtons));
            placeAndShow(Element::frame(Frame::FanSpeedButtons), setPoint.top + setPoint.height + FrameGap);
        }
        hideTab(2, 3);
    }
}

void FrmMain::hideToggleSwitchSection()
{
    for (Frame frame : SwitchFrames) {
        const Element element = Element::frame(frame);
        m_view.move(element, m_view.geometry(element).left, OutOfViewTop);
        m_view.setEnabled(element, false);
        m_view.setVisible(element, false);
    }
    m_view.setVisible(Element::label(1055), false);
    m_view.setVisible(Element::label(1056), false);
    m_view.setVisible(Element::comboBox(ToggleSwitchComboBox), false);
}

// Shows switch-position frame 0, 1 or 2 and hides the other two; any other value hides all.
void FrmMain::showSwitchPositionFrame(int shown)
{
    for (int i = 0; i < 3; ++i) {
        if (i == shown)
            placeAndShow(Element::frame(SwitchFrames[i]), SwitchFramesTop);
        else
            hideElement(Element::frame(SwitchFrames[i]));
    }
}

// Moves a frame into view at `top`, at its designed left when it was moved aside.
void FrmMain::placeAndShow(Element element, double top)
{
    const Rect rect = m_view.geometry(element);
    const double left = rect.left == OutOfViewLeft ? m_designLeft.value(element.id, 0) : rect.left;
    m_view.move(element, left, top);
    m_view.setEnabled(element, true);
    m_view.setVisible(element, true);
}

void FrmMain::hideElement(Element element)
{
    m_view.move(element, OutOfViewLeft, m_view.geometry(element).top);
    m_view.setEnabled(element, false);
    m_view.setVisible(element, false);
}

void FrmMain::hideTab(int strip, int keyNo)
{
    if (cTabStrip *model = m_tabStrips.Item(strip))
        model->Tabs().HideTabByKeyNo(qint16(keyNo));
}

void FrmMain::FillComboBox(int comboBoxIndex)
{
    if (comboBoxIndex != FanLevelsComboBox)
        return;
    controls::ComboBoxControl *box = m_view.comboBox(FanLevelsComboBox);
    const bool updating = m_updatingControls;
    m_updatingControls = true;
    box->clear();
    for (int level = 1; level <= 5; ++level) {
        const int index = box->addItem(GetResString(1063, level));
        box->setItemData(index, level);
    }
    m_updatingControls = updating;
}

// ---------------------------------------------------------------------------------------------
// Views, tabs, pages

void FrmMain::RemoveViews(int mask)
{
    for (int bit = views::Configuration; bit <= views::Calibration; bit <<= 1) {
        if (!(mask & bit))
            continue;
        for (const ButtonBarItem &item : m_view.buttonBarItems()) {
            if (item.tag == views::tagOf(bit)) {
                m_view.removeButtonBarItem(item.key);
                break;
            }
        }
    }
}

bool FrmMain::ViewIsOffered(int viewBit) const
{
    const int tag = views::tagOf(viewBit);
    if (tag == 0)
        return false;
    for (const ButtonBarItem &item : m_view.buttonBarItems()) {
        if (item.tag == tag)
            return true;
    }
    return false;
}

void FrmMain::selectFirstView()
{
    const QList<ButtonBarItem> items = m_view.buttonBarItems();
    if (items.isEmpty())
        return;
    m_view.selectButtonBarItem(items.first().key);
    SelectView(items.first().key);
}

void FrmMain::SelectView(const QString &itemKey)
{
    const int strip = itemKey.toInt();
    if (m_hooks.setMonitoring) {
        if (strip == 1 || strip == 2)
            m_hooks.setMonitoring(accessible());
        else if (strip == 0)
            m_hooks.setMonitoring(false);
    }
    m_view.showTabStrip(strip);
    const int selected = m_view.selectedTab(strip);
    if (selected == 0)
        return;
    const int keyNo = keyNumber(m_view.tab(strip, selected).key);
    SelectPage(keyNo);
    enableCalibrateButtons(keyNo);
}

void FrmMain::onTabClicked(int, const QString &key)
{
    guarded([&] {
        const int keyNo = keyNumber(key);
        SelectPage(keyNo);
        enableCalibrateButtons(keyNo);
    });
}

void FrmMain::enableCalibrateButtons(int keyNo)
{
    if (keyNo != 2 && keyNo != 3)
        return;
    const bool on = accessible();
    if (keyNo == 2) {
        m_view.setEnabled(Element::commandButton(0), on);
    } else {
        m_view.setEnabled(Element::commandButton(1), on);
        m_view.setEnabled(Element::commandButton(3), on);
        m_view.setEnabled(Element::commandButton(4), on);
    }
    // A "Calibrate" that is off says why on its page.
    if (!on) {
        const auto indicator = keyNo == 2 ? calibration::Indicator::Sensor : calibration::Indicator::Knob;
        setResult(indicator, GetResString(CannotCalibrateMessage, 1, {m_services.session->deviceName}),
                  calibration::FailureColour);
        setResultVisible(indicator, true);
    }
}

void FrmMain::SelectPage(int keyNo)
{
    const Rect client = m_view.clientArea(m_view.visibleTabStrip());
    for (int page = 0; page < PageCount; ++page) {
        const Element element = Element::page(page);
        if (page == keyNo) {
            m_view.move(element, client.left, client.top);
            m_view.setEnabled(element, true);
            m_view.setVisible(element, true);
        } else {
            m_view.move(element, OutOfViewLeft, m_view.geometry(element).top);
            m_view.setEnabled(element, false);
            m_view.setVisible(element, false);
        }
    }
    m_view.refresh();
    m_currentPageKey = keyNo;
}

void FrmMain::ShowLogger()
{
    const auto loggerPosition = [this] {
        const int strip = m_view.visibleTabStrip();
        for (int position = 1; position <= m_view.tabCount(strip); ++position) {
            if (keyNumber(m_view.tab(strip, position).key) == LoggerKeyNo)
                return position;
        }
        return 0;
    };
    if (loggerPosition() == 0)
        selectFirstView();
    const int position = loggerPosition();
    if (position == 0)
        return;
    m_view.selectTab(m_view.visibleTabStrip(), position);
    SelectPage(LoggerKeyNo);
}

// Text boxes 0 to 2 lie on the Nv timing page; every other parameter control that can hold an
// invalid value (text boxes 13 and 14, the combo boxes) on the operation page.
void FrmMain::showControl(controls::Control &control)
{
    const bool textBox = dynamic_cast<controls::TextBoxControl *>(&control) != nullptr;
    const int keyNo = textBox && control.controlIndex() <= 2 ? NvTimingKeyNo : OperationKeyNo;
    const QString configurationItem = QStringLiteral("0");
    if (m_view.visibleTabStrip() != 0) {
        m_view.selectButtonBarItem(configurationItem);
        SelectView(configurationItem);
    }
    for (int position = 1; position <= m_view.tabCount(0); ++position) {
        if (keyNumber(m_view.tab(0, position).key) == keyNo) {
            m_view.selectTab(0, position);
            SelectPage(keyNo);
        }
    }
    m_view.setFocus(textBox ? Element::textBox(control.controlIndex()) : Element::comboBox(control.controlIndex()));
}

// ---------------------------------------------------------------------------------------------
// Controls that depend on several parameters

void FrmMain::SetControls()
{
    const bool updating = m_updatingControls;
    m_updatingControls = true;
    guarded([&] {
        const struct
        {
            const char *name;
            int checkBox;
        } heartbeats[] = {{"MaxSendTime", 1}, {"MaxReceiveTime", 0}};
        if (m_configuration)
            m_configuration->SetHeartbeatLocks();
        for (const auto &heartbeat : heartbeats) {
            auto *time = dynamic_cast<cParamTextBox *>(parameter(QString::fromLatin1(heartbeat.name)));
            if (time)
                m_view.checkBox(heartbeat.checkBox)->setValue(time->Value() != 0 ? controls::Checked : controls::Unchecked);
        }
        controls::ComboBoxControl *levels = m_view.comboBox(FanLevelsComboBox);
        for (int i = 0; i < levels->count(); ++i) {
            if (levels->itemData(i) == fanLevels())
                levels->setListIndex(i);
        }
        rebuildFanSpeedLists(fanLevels());
        selectFanSpeedPositions();
    });
    m_updatingControls = updating;
}

qint32 FrmMain::fanLevels() const
{
    // A record that could not be read answers 0; one level is the least a fan coil has.
    const qint32 levels = m_configuration ? m_configuration->FanCoilStepCount() : 1;
    return qMax(1, levels);
}

void FrmMain::rebuildFanSpeedLists(qint32 levels)
{
    for (int index : {UpperFanPositionComboBox, LowerFanPositionComboBox}) {
        controls::ComboBoxControl *box = m_view.comboBox(index);
        box->clear();
        box->setItemData(box->addItem(GetResString(1066, 1)), 0);
        if (levels == 1) {
            box->setItemData(box->addItem(GetResString(1066, 2)), 1);
            continue;
        }
        for (int level = 1; level <= levels; ++level)
            box->setItemData(box->addItem(QString::number(level) + QLatin1Char(' ') + GetResString(1066, 3)), level);
    }
}

// The two-byte positions hold the fan level in 0.5 % steps and a state; a level is shown as
// the list item of the smallest level that reaches the stored percentage.
void FrmMain::selectFanSpeedPositions()
{
    const qint32 step = 200 / fanLevels();
    const struct
    {
        const char *name;
        int comboBox;
    } positions[] = {{"FanSpeedOn", UpperFanPositionComboBox}, {"FanSpeedOff", LowerFanPositionComboBox}};
    for (const auto &position : positions) {
        auto *stored = dynamic_cast<cParam2Byte *>(parameter(QString::fromLatin1(position.name)));
        if (!stored)
            continue;
        const qint32 level = stored->Value2() == 0 ? 0 : (stored->Value1() + step - 1) / step;
        controls::ComboBoxControl *box = m_view.comboBox(position.comboBox);
        for (int i = 0; i < box->count(); ++i) {
            if (box->itemData(i) == level)
                box->setListIndex(i);
        }
    }
}

void FrmMain::storeFanSpeedPosition(int comboBoxIndex)
{
    auto *stored = dynamic_cast<cParam2Byte *>(
        parameter(comboBoxIndex == UpperFanPositionComboBox ? QStringLiteral("FanSpeedOn") : QStringLiteral("FanSpeedOff")));
    if (!stored)
        return;
    const qint32 level = selectedData(comboBoxIndex, 0);
    stored->setValue1((100 / fanLevels()) * 2 * level);
    stored->setValue2(level < 1 ? 0 : 1);
}

// ---------------------------------------------------------------------------------------------
// Control events

void FrmMain::connectControls()
{
    for (int i = 0; i < ConfigurationWindow::TextBoxCount; ++i) {
        controls::TextBoxControl *box = m_view.textBox(i);
        connect(box, &controls::TextBoxControl::changed, this, [this, i] { onTextBoxChange(i); });
        connect(box, &controls::TextBoxControl::keyPress, this, [this, i, box](int *key) {
            if (!m_updatingControls && forwardsTextBox(i))
                guarded([&] { params()->TextBox_KeyPress_Event(box, *key); });
        });
        connect(box, &controls::TextBoxControl::validate, this, [this, i, box](bool *cancel) {
            if (!m_updatingControls && forwardsTextBox(i))
                guarded([&] { params()->TextBox_Validate_Event(box, *cancel); });
        });
        connect(box, &controls::TextBoxControl::lostFocus, this, [this, i, box] {
            if (!m_updatingControls && forwardsTextBox(i))
                guarded([&] { params()->TextBox_LostFocus_Event(box); });
        });
    }
    controls::TextBoxControl *roomTemperature = m_view.textBox(RoomTemperatureTextBox);
    connect(roomTemperature, &controls::TextBoxControl::changed, this, [this] {
        if (!m_updatingControls && m_sensorCalibration)
            guarded([&] { m_sensorCalibration->RoomTemperatureChanged(); });
    });
    connect(roomTemperature, &controls::TextBoxControl::validate, this, [this](bool *cancel) {
        if (!m_updatingControls && m_sensorCalibration)
            guarded([&] { m_sensorCalibration->RoomTemperatureValidate(cancel); });
    });
    for (int i = 0; i < ConfigurationWindow::ComboBoxCount; ++i)
        connect(m_view.comboBox(i), &controls::ComboBoxControl::changed, this, [this, i] { onComboBoxChange(i); });
    for (int i = 0; i < ConfigurationWindow::CheckBoxCount; ++i)
        connect(m_view.checkBox(i), &controls::CheckBoxControl::clicked, this, [this, i] { onCheckBoxClick(i); });
    for (int i = 0; i < ConfigurationWindow::OptionButtonCount; ++i)
        connect(m_view.optionButton(i), &controls::OptionButtonControl::clicked, this,
                [this, i] { onOptionButtonClick(i); });
}

void FrmMain::connectView()
{
    connect(&m_view, &MainWindowView::buttonBarItemClicked, this,
            [this](const QString &key) { guarded([&] { SelectView(key); }); });
    connect(&m_view, &MainWindowView::tabClicked, this, &FrmMain::onTabClicked);
    connect(&m_view, &MainWindowView::menuToolClicked, this, &FrmMain::onMenuTool);
    connect(&m_view, &MainWindowView::lineButtonClicked, this, &FrmMain::onLineButton);
    connect(&m_view, &MainWindowView::helpRequested, this, &FrmMain::onHelpRequested);
    connect(&m_view, &MainWindowView::closeRequested, this, &FrmMain::onCloseRequested);
    connect(&m_view, &MainWindowView::commandButtonClicked, this,
            [this](int button) { guarded([&] { onCalibrationButton(button); }); });
}

void FrmMain::markChanged()
{
    m_services.session->parametersChangedFlag = true;
    setApplyEnabled(true);
}

// Text boxes 3 to 12 are display and calibration fields; only bound parameter fields forward.
bool FrmMain::forwardsTextBox(int index) const
{
    return (index < 3 || index > 12) && params() && !m_view.textBox(index)->tag().isEmpty();
}

void FrmMain::onTextBoxChange(int index)
{
    if (m_updatingControls || !forwardsTextBox(index))
        return;
    guarded([&] { params()->TextBox_Change_Event(m_view.textBox(index)); });
    markChanged();
}

void FrmMain::onCheckBoxClick(int index)
{
    if (m_updatingControls)
        return;
    guarded([&] {
        auto *time = dynamic_cast<cParamTextBox *>(
            parameter(index == 0 ? QStringLiteral("MaxReceiveTime") : QStringLiteral("MaxSendTime")));
        if (time) {
            const bool ticked = m_view.checkBox(index)->value() == controls::Checked;
            // The quiet flag keeps the time field's own change from counting as a second edit.
            m_updatingControls = true;
            time->setLockMode(ticked ? E::LM_UNLOCKED : E::LM_DISABLED_GREY_NO_VALUE);
            time->setValueCalc(ticked ? 60 : 0);
            m_updatingControls = false;
        }
    });
    m_updatingControls = false;
    markChanged();
}

void FrmMain::onOptionButtonClick(int index)
{
    if (m_updatingControls)
        return;
    if (params() && !m_view.optionButton(index)->tag().isEmpty())
        guarded([&] { params()->OptionButton_Click_Event(m_view.optionButton(index)); });
    markChanged();
}

void FrmMain::onComboBoxChange(int index)
{
    controls::ComboBoxControl *box = m_view.comboBox(index);
    if (index == FanLevelsComboBox) {
        // The lists of the fan positions follow the number of levels even while the program
        // fills the controls; choosing the number is a user's edit only otherwise.
        if (box->listIndex() < 0)
            return;
        guarded([&] {
            if (m_configuration)
                m_configuration->setFanCoilStepCount(box->itemData(box->listIndex()));
            const bool updating = m_updatingControls;
            m_updatingControls = true;
            rebuildFanSpeedLists(fanLevels());
            if (!updating)
                selectFanSpeedPositions();
            m_updatingControls = updating;
        });
        if (!m_updatingControls)
            markChanged();
        return;
    }
    if (m_updatingControls)
        return;
    const qint32 data = selectedData(index, 0);
    guarded([&] {
        if (index == UpperFanPositionComboBox || index == LowerFanPositionComboBox) {
            storeFanSpeedPosition(index);
            return;
        }
        if (index == ToggleSwitchComboBox)
            showSwitchPositionFrame(data);
        if (params())
            params()->ComboBox_Change_Event(box);
    });
    markChanged();
}

// ---------------------------------------------------------------------------------------------
// Button line, menu, help

void FrmMain::setApplyEnabled(bool enabled)
{
    m_view.setLineButtonEnabled(LineButton::Apply, enabled);
}

void FrmMain::setChangedNoticeVisible(bool visible)
{
    m_view.setVisible(Element::label(labels::ChangedNotice), visible);
}

namespace {

Element modeFrameElement(monitoring::ModeFrame frame)
{
    switch (frame) {
    case monitoring::ModeFrame::HeatCool:
        return Element::frame(Frame::MonitorControllerFunction);
    case monitoring::ModeFrame::FanSpeed:
        return Element::frame(Frame::MonitorFanSpeed);
    case monitoring::ModeFrame::ManOccCmd:
        return Element::frame(Frame::MonitorOccupancy);
    }
    return Element::frame(Frame::MonitorControllerFunction);
}

} // namespace

void FrmMain::placeModeFrame(monitoring::ModeFrame frame, double left, double top)
{
    const Element element = modeFrameElement(frame);
    m_view.move(element, left, top);
    m_view.setEnabled(element, true);
    m_view.setVisible(element, true);
}

void FrmMain::hideModeFrame(monitoring::ModeFrame frame)
{
    hideElement(modeFrameElement(frame));
}

void FrmMain::onLineButton(LineButton button)
{
    guarded([&] {
        const bool configure = commandIndex() == commands::Configure && m_configuration;
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
    guarded([&] {
        if (key == QLatin1String("OpenFile")) {
            LoadParameters();
        } else if (key == QLatin1String("SaveFile")) {
            SaveParameters();
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
            ShowLogger();
        } else if (key == QLatin1String("DeviceInfo")) {
            if (m_hooks.showDeviceInfo)
                m_hooks.showDeviceInfo(CollectDeviceInfo(m_services, accessible()));
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
        guarded([&] { m_hooks.showHelp(m_services.session->helpFilePath, HelpContextBase + m_currentPageKey); });
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

// ---------------------------------------------------------------------------------------------
// Parameter set files

void FrmMain::SaveParameters()
{
    log(QStringLiteral("[frmMain] Private Sub SaveParameters()"));
    if (!m_configuration || !m_configuration->checkValues())
        return;
    FileDialogRequest request;
    request.title = GetResString(1600, 2);
    request.filter = GetResString(1601);
    request.initialDirectory = fileFolder();
    request.save = true;
    request.defaultSuffix = ParamSetSuffix;
    QString fileName = m_services.dialogs->fileName(request);
    if (fileName.isEmpty())
        return;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QLatin1Char('.') + ParamSetSuffix;
    rememberFileFolder(fileName);
    m_view.setWindowEnabled(false);
    guarded([&] {
        const QString programId = m_services.session->appDevice ? m_services.session->appDevice->programId() : QString();
        if (transfer::ParamSetFile(*params()).WriteToFile(fileName, product::PlugInName, programId,
                                                           product::DataFileVersion))
            logColoured(GetResString(SavedMessage, 1, {QDir::toNativeSeparators(fileName)}), logcolour::Green);
        else
            m_services.dialogs->message(GetResString(1523), m_view.windowCaption(), MsgIcon::Critical);
    });
    m_view.setWindowEnabled(true);
}

// The folder used last; else the program's folder, where an installed program cannot write,
// so then the user's documents.
QString FrmMain::fileFolder() const
{
    const QString last = m_services.registry ? settings::readFileFolder(*m_services.registry) : QString();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    const QFileInfo program(m_hooks.programDirectory);
    if (program.isDir() && program.isWritable())
        return m_hooks.programDirectory;
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

void FrmMain::rememberFileFolder(const QString &fileName)
{
    if (m_services.registry)
        guarded([&] { settings::writeFileFolder(*m_services.registry, QFileInfo(fileName).absolutePath()); });
}

void FrmMain::LoadParameters()
{
    log(QStringLiteral("[frmMain] Private Sub LoadParameters()"));
    if (!m_configuration)
        return;
    if (m_services.session->parametersChangedFlag
        && m_services.dialogs->message(GetResString(1428, 2), m_view.windowCaption(), MsgIcon::Question,
                                       MsgButtons::YesNo, MsgAnswer::No)
               != MsgAnswer::Yes)
        return;
    FileDialogRequest request;
    request.title = GetResString(1600, 1);
    request.filter = GetResString(1601);
    request.initialDirectory = fileFolder();
    const QString fileName = m_services.dialogs->fileName(request);
    if (fileName.isEmpty())
        return;
    rememberFileFolder(fileName);
    m_view.setWindowEnabled(false);
    guarded([&] {
        const QString programId = m_services.session->appDevice ? m_services.session->appDevice->programId() : QString();
        const IniFile empty;
        cParamEnums::eLoadFromFileErrors result;
        try {
            result = transfer::ParamSetFile(*params()).LoadFromFile(fileName, m_services.iniFile ? *m_services.iniFile : empty,
                                                                    product::PlugInName, programId, product::DataFileVersion);
        } catch (const TqmError &error) {
            // Nothing of the file was set: say which file, and why in the details.
            MessageRequest box{GetResString(1522, 1, {fileName}), m_view.windowCaption(), MsgIcon::Exclamation};
            box.detail = error.description();
            m_services.dialogs->message(box);
            return;
        }
        switch (result) {
        case E::LE_NO_ERROR:
            // The loaded values reach the controls that depend on several parameters.
            SetControls();
            m_view.refresh();
            markChanged();
            break;
        case E::LE_WRONG_PLUGIN:
            m_services.dialogs->message(GetResString(1520, 1), m_view.windowCaption(), MsgIcon::Exclamation);
            break;
        case E::LE_WRONG_DEVICE:
            m_services.dialogs->message(GetResString(1520, 2), m_view.windowCaption(), MsgIcon::Exclamation);
            break;
        default:
            m_services.dialogs->message(GetResString(1521), m_view.windowCaption(), MsgIcon::Exclamation);
            break;
        }
        // A refused file set nothing: the flag and Apply stay as they were.
    });
    m_view.setWindowEnabled(true);
}

} // namespace ui
