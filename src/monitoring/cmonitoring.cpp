#include "monitoring/cmonitoring.h"

#include "calibration/calibrationrecords.h"
#include "calibration/devicevariants.h"
#include "lns/logger.h"
#include "lns/product.h"
#include "lns/userdialogs.h"
#include "monitoring/outputtexts.h"
#include "params/choiceparams.h"
#include "params/cparams.h"
#include "session/session.h"
#include "strings/resstrings.h"

namespace {

constexpr int FirstField = 4;
constexpr int LastField = 10;
constexpr int CommunicationFailedMessage = 1528;
// Poll intervals in tenths of a second: with event-driven points, the most one NV reports.
constexpr qint32 SpaceTempInterval = 100;
constexpr qint32 OutputInterval = 10;
// Where the frame of the push-button mode goes, in twips.
constexpr double ModeFrameLeft = 360;
constexpr double ModeFrameTop = 1500;

// Restores the normal pointer however the routine ends.
class WaitCursor
{
public:
    explicit WaitCursor(UserDialogs *dialogs) : m_dialogs(dialogs)
    {
        if (m_dialogs)
            m_dialogs->setWaitCursor(true);
    }
    ~WaitCursor()
    {
        if (m_dialogs)
            m_dialogs->setWaitCursor(false);
    }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

private:
    UserDialogs *m_dialogs;
};

// The frame, point and fields of each "ButtonMode" value that has a frame.
struct ModeView
{
    qint32 buttonMode;
    monitoring::ModeFrame frame;
    const QString &point;
    std::initializer_list<int> fields;
};

const ModeView ModeViews[] = {
    {0, monitoring::ModeFrame::HeatCool, cMonitoring::HeatCool, {6}},
    {1, monitoring::ModeFrame::FanSpeed, cMonitoring::FanSpeed, {7, 8, 9}},
    {2, monitoring::ModeFrame::ManOccCmd, cMonitoring::ManOccCmd, {10}},
};

} // namespace

cMonitoring::cMonitoring(const Services &services, monitoring::MonitoringPage &page, cParams *parameters,
                         const QLocale &locale, QObject *parent)
    : QObject(parent), m_services(services), m_page(page), m_parameters(parameters), m_locale(locale),
      m_points(std::make_unique<cMonitorPoints>(services.logger))
{
    const SessionState &session = *m_services.session;
    m_points->setObjectServer(session.hostObjectServer ? session.hostObjectServer : session.objectServer);
    connect(m_points.get(), &cMonitorPoints::NvUpdate, this, &cMonitoring::mobjMonitorPoints_NvUpdate);
    connect(m_points.get(), &cMonitorPoints::CommunicationFailed, this,
            &cMonitoring::mobjMonitorPoints_CommunicationFailed);
}

cMonitoring::~cMonitoring() = default;

void cMonitoring::log(const QString &routine) const
{
    if (m_services.logger)
        m_services.logger->logLine(QStringLiteral("[cMonitoring] Public Sub %1()").arg(routine));
}

bool cMonitoring::limitationIs(int n) const
{
    return m_services.iniFile && calibration::LimitationIs(DeviceContext::of(m_services), n);
}

void cMonitoring::FetchNVs()
{
    log(QStringLiteral("FetchNVs"));
    if (m_nvsFetched)
        return;
    m_nvsFetched = true;
    addPoint(SpaceTemp, lns::RawFormat, SpaceTempInterval);
    if (m_services.session->commandIndex == commands::Calibrate)
        return;
    addPoint(SetptOffset, lns::RawFormat, OutputInterval);
    addPoint(HeatCool, {}, OutputInterval);
    addPoint(FanSpeed, {}, OutputInterval);
    addPoint(ManOccCmd, {}, OutputInterval);
}

// A point whose NV the INI section does not name is kept without one: its fields stay empty.
void cMonitoring::addPoint(const QString &name, const QString &format, qint32 pollInterval)
{
    const SessionState &session = *m_services.session;
    lns::NetworkVariablePtr nv;
    if (m_services.iniFile) {
        try {
            bool found = false;
            nv = m_points->FetchLmoNV(name, product::NvSection, *m_services.iniFile, session.deviceTemplate,
                                      session.lonMarkObject, &found);
            if (!found)
                nv.reset();
        } catch (const TqmError &) {
            nv.reset();
        }
    }
    cMonitorPoint *point = m_points->AddMonitorPoint(name, nv, cMonitorPoint::EventDriven);
    if (!point->Available())
        return;
    point->setReportByException(true);
    if (!format.isEmpty())
        point->setFormat(format);
    point->setPollInterval(pollInterval);
}

void cMonitoring::SetMonitoring(bool Activate)
{
    log(QStringLiteral("SetMonitoring"));
    m_outageTold = false;
    if (!Activate) {
        m_points->DeactivateMonitoring();
        for (int field = FirstField; field <= LastField; ++field) {
            enableField(field, false);
            setField(field, {});
        }
        return;
    }
    const WaitCursor busy(m_services.dialogs);
    FetchNVs();
    if (m_services.session->commandIndex == commands::Calibrate)
        return;
    m_page.setChangedNoticeVisible(m_services.session->parametersChangedFlag);
    m_fanCoilStepCount = calibration::ReadFanCoilStepCount(DeviceContext::of(m_services));
    showModeFrame();
    startPoint(SpaceTemp, {4});
    startPoint(SetptOffset, {5});
}

// The frame of the push-button mode, on the variants that have the mode-dependent outputs.
void cMonitoring::showModeFrame()
{
    if (limitationIs(2) || limitationIs(3) || !m_parameters)
        return;
    const auto *buttonMode = dynamic_cast<const cParamComboBox *>(m_parameters->ParameterAllByName(QStringLiteral("ButtonMode")));
    if (!buttonMode || !buttonMode->CurrentValueIsInComboList())
        return;
    for (const ModeView &view : ModeViews) {
        if (view.buttonMode != buttonMode->Value())
            continue;
        for (const ModeView &other : ModeViews) {
            if (other.buttonMode != view.buttonMode)
                m_page.hideModeFrame(other.frame);
        }
        m_page.placeModeFrame(view.frame, ModeFrameLeft, ModeFrameTop);
        startPoint(view.point, view.fields);
        return;
    }
}

void cMonitoring::startPoint(const QString &name, std::initializer_list<int> fields)
{
    cMonitorPoint *point = m_points->GetMonitorPointByName(name);
    if (!point->Available()) {
        for (int field : fields) {
            enableField(field, false);
            setField(field, {});
        }
        return;
    }
    point->ActivateMonitoring();
    m_points->ForceNvUpdate(name);
    for (int field : fields)
        enableField(field, true);
}

void cMonitoring::setField(int field, const QString &text)
{
    m_page.TextBox(field)->setText(text);
}

void cMonitoring::enableField(int field, bool enabled)
{
    controls::TextBoxControl *box = m_page.TextBox(field);
    box->setEnabled(enabled);
    box->setBackColor(enabled ? controls::colour::WindowBackground : controls::colour::ButtonFace);
}

void cMonitoring::emptyFields()
{
    for (int field = FirstField; field <= LastField; ++field)
        setField(field, {});
}

void cMonitoring::mobjMonitorPoints_NvUpdate(const QString &MonitorPointName, const QString &Value)
{
    // A value the device sent is its sign of life: a later failure is a new outage.
    if (!Value.isEmpty())
        m_outageTold = false;
    if (!Value.isEmpty() && m_fieldsEmptied)
        refillFields(MonitorPointName);
    if (MonitorPointName == SpaceTemp) {
        setField(4, outputtexts::spaceTemperatureText(Value, m_locale));
    } else if (MonitorPointName == SetptOffset) {
        setField(5, outputtexts::setPointOffsetText(Value, m_locale));
    } else if (MonitorPointName == HeatCool) {
        setField(6, Value);
    } else if (MonitorPointName == ManOccCmd) {
        setField(10, Value);
    } else if (MonitorPointName == FanSpeed) {
        const outputtexts::FanSpeedTexts texts = outputtexts::fanSpeedTexts(Value, m_fanCoilStepCount, m_locale);
        setField(7, texts.level);
        setField(8, texts.state);
        setField(9, texts.equivalentLevel);
    }
}

void cMonitoring::refillFields(const QString &reported)
{
    m_fieldsEmptied = false;
    for (qint32 i = 1; i <= m_points->Count(); ++i) {
        const cMonitorPoint *point = m_points->GetMonitorPoint(qint16(i));
        if (point->Name() != reported && point->MonitoringIsActive())
            m_points->ForceNvUpdate(point->Name());
    }
}

void cMonitoring::mobjMonitorPoints_CommunicationFailed(cMonitorPoint *)
{
    m_services.session->communicationFailed = true;
    emptyFields();
    m_fieldsEmptied = true;
    if (m_outageTold || !m_services.dialogs)
        return;
    m_outageTold = true;
    m_services.dialogs->message(GetResString(CommunicationFailedMessage), m_services.session->windowTitle(),
                                MsgIcon::Exclamation);
}
