#include "monitoring/cmonitorpoints.h"

#include "base/textutility.h"
#include "lns/inifile.h"
#include "lns/inilocator.h"
#include "lns/logger.h"
#include "strings/resstrings.h"

namespace {

const QString Source = QStringLiteral("cMonitorPoints");
constexpr int NvTypeChangeFailedMessage = 1542;
constexpr int PolledText = 1670;
constexpr int BoundText = 1671;

// A hold bracket that is closed even when a setting fails.
class HoldBracket
{
public:
    explicit HoldBracket(const lns::NetworkVariablePtr &nv) : m_nv(nv) { m_nv->setHold(true); }
    ~HoldBracket()
    {
        try {
            m_nv->setHold(false);
        } catch (const TqmError &) {
            // The NV is gone with its server; nothing is held any more.
        }
    }
    HoldBracket(const HoldBracket &) = delete;
    HoldBracket &operator=(const HoldBracket &) = delete;

private:
    lns::NetworkVariablePtr m_nv;
};

} // namespace

// ---- cMonitorPoint ----

template <class F>
void cMonitorPoint::held(F change)
{
    HoldBracket bracket(m_nv);
    change(*m_nv);
}

QString cMonitorPoint::Value()
{
    if (!m_available)
        return {};
    try {
        m_buffered = m_nv->value();
        return m_buffered;
    } catch (const TqmError &) {
        return {};
    }
}

void cMonitorPoint::setValue(const QString &value)
{
    if (!m_available)
        return;
    try {
        m_nv->setValue(value);
        m_buffered = value;
    } catch (const TqmError &) {
    }
}

QString cMonitorPoint::BufferedValue()
{
    return m_buffered.isEmpty() ? Value() : m_buffered;
}

bool cMonitorPoint::SetElementValue(const QString &ElementName, const QString &Value)
{
    lns::DataPointPtr field;
    try {
        if (!m_nv)
            return false;
        field = m_nv->dataPoint(ElementName);
    } catch (const TqmError &) {
        return false;
    }
    try {
        field->setValue(Value);
        return true;
    } catch (const TqmError &) {
        emit m_parent->CommunicationFailed(this);
        return false;
    }
}

bool cMonitorPoint::GetElementValue(const QString &ElementName, QString &Value)
{
    if (!m_available)
        return false;
    lns::DataPointPtr field;
    try {
        field = m_nv->dataPoint(ElementName);
    } catch (const TqmError &) {
        return false;
    }
    try {
        Value = field->value();
        return true;
    } catch (const TqmError &) {
        emit m_parent->CommunicationFailed(this);
        return false;
    }
}

void cMonitorPoint::setMonitoringType(qint32 type)
{
    if (!m_available)
        return;
    m_monitoringType = type;
    // Other values are kept without touching the NV.
    if (type == NotMonitored || type == Polled || type == EventDriven)
        held([type](lns::NetworkVariable &nv) { nv.setPollFlag(type == Polled); });
}

qint32 cMonitorPoint::PollInterval() const
{
    return m_available ? m_nv->pollInterval() : 0;
}

void cMonitorPoint::setPollInterval(qint32 interval)
{
    if (m_available)
        held([interval](lns::NetworkVariable &nv) { nv.setPollInterval(interval); });
}

QString cMonitorPoint::Format() const
{
    return m_available ? m_nv->formatSpec() : QString();
}

void cMonitorPoint::setFormat(const QString &format)
{
    if (m_available)
        held([&format](lns::NetworkVariable &nv) { nv.setFormatSpec(format); });
}

bool cMonitorPoint::ReportByException() const
{
    return m_available && m_nv->reportByException();
}

void cMonitorPoint::setReportByException(bool on)
{
    if (m_available)
        held([on](lns::NetworkVariable &nv) { nv.setReportByException(on); });
}

void cMonitorPoint::ActivateMonitoring()
{
    if (!m_available || m_nv->monitorTag() != 0 || m_monitoringType == NotMonitored)
        return;
    held([this](lns::NetworkVariable &nv) { nv.setMonitorTag(m_tag); });
    m_parent->logPath(*this);
}

void cMonitorPoint::DeactivateMonitoring()
{
    if (!m_available)
        return;
    held([](lns::NetworkVariable &nv) {
        nv.setPollFlag(false);
        nv.setMonitorTag(0);
    });
    m_buffered.clear();
}

bool cMonitorPoint::MonitoringIsActive() const
{
    return m_available && m_nv->monitorTag() != 0;
}

bool cMonitorPoint::ChangeNvType(qint16 NvTypeId, const QString &ProgramId, quint8 Scope)
{
    if (!m_available)
        return false;
    return m_parent->changeNvType(m_nv, NvTypeId, ProgramId, Scope);
}

// ---- cMonitorPoints ----

cMonitorPoints::cMonitorPoints(Logger *logger, lns::NvTypeUtility *nvTypeUtility, QObject *parent)
    : QObject(parent), m_logger(logger), m_nvTypes(nvTypeUtility)
{
}

cMonitorPoints::~cMonitorPoints()
{
    unsubscribe();
}

void cMonitorPoints::unsubscribe()
{
    if (!m_server)
        return;
    m_server->unsubscribeMonitorUpdates(m_updateHandle);
    m_server->unsubscribeMonitorFailures(m_failureHandle);
}

void cMonitorPoints::setObjectServer(const lns::ObjectServerPtr &server)
{
    unsubscribe();
    m_server = server;
    if (!m_server)
        return;
    m_updateHandle = m_server->subscribeMonitorUpdates([this](int tag, const QString &value) { onMonitorUpdate(tag, value); });
    m_failureHandle = m_server->subscribeMonitorFailures([this](int tag, const TqmError &) {
        if (cMonitorPoint *point = pointByTag(tag))
            emit CommunicationFailed(point);
    });
}

cMonitorPoint *cMonitorPoints::pointByTag(int tag) const
{
    const int position = tag - FirstTag + 1;
    return position >= 1 && position <= Count() ? m_points[size_t(position - 1)].get() : nullptr;
}

void cMonitorPoints::onMonitorUpdate(int tag, const QString &value)
{
    cMonitorPoint *point = pointByTag(tag);
    if (!point)
        return;
    point->setBufferedValue(value);
    emit NvUpdate(point->Name(), value);
}

cMonitorPoint *cMonitorPoints::AddMonitorPoint(const QString &Name, const lns::NetworkVariablePtr &NetworkVariable,
                                               qint32 MonitoringType)
{
    for (const auto &point : m_points)
        if (point->Name().compare(Name, Qt::CaseInsensitive) == 0)
            throw TqmError(TqmError::DuplicateKey, Source,
                           QStringLiteral("There is a monitor point named \"%1\" already.").arg(Name));
    auto point = std::make_unique<cMonitorPoint>();
    point->m_parent = this;
    point->m_name = Name;
    if (NetworkVariable) {
        point->m_nv = NetworkVariable;
        point->m_available = true;
        point->m_tag = FirstTag + Count();
        point->setMonitoringType(MonitoringType);
    }
    m_points.push_back(std::move(point));
    return m_points.back().get();
}

void cMonitorPoints::RemoveMonitorPointByName(const QString &Name)
{
    try {
        GetMonitorPointByName(Name)->DeactivateMonitoring();
    } catch (const TqmError &) {
    }
    const auto it = std::find_if(m_points.begin(), m_points.end(), [&](const auto &point) {
        return point->Name().compare(Name, Qt::CaseInsensitive) == 0;
    });
    if (it == m_points.end())
        throw TqmError(TqmError::SubscriptOutOfRange, Source, QStringLiteral("There is no monitor point \"%1\".").arg(Name));
    m_points.erase(it);
}

cMonitorPoint *cMonitorPoints::GetMonitorPoint(qint16 Index) const
{
    if (Index < 1 || Index > Count())
        throw TqmError(TqmError::SubscriptOutOfRange, Source,
                       QStringLiteral("Index %1 is outside 1 to %2.").arg(Index).arg(Count()));
    return m_points[size_t(Index - 1)].get();
}

cMonitorPoint *cMonitorPoints::GetMonitorPointByName(const QString &Name) const
{
    for (const auto &point : m_points)
        if (point->Name().compare(Name, Qt::CaseInsensitive) == 0)
            return point.get();
    throw TqmError(TqmError::SubscriptOutOfRange, Source, QStringLiteral("There is no monitor point \"%1\".").arg(Name));
}

bool cMonitorPoints::ActivateMonitoring()
{
    if (!m_system && Count() >= 1)
        m_system = std::dynamic_pointer_cast<lns::System>(
            lns::ancestorByClassId(m_points.front()->NetworkVariable(), lns::SystemClass));
    if (!m_system)
        return false;
    try {
        m_system->prepareMonitoring(0);
    } catch (const TqmError &) {
        return false;
    }
    for (const auto &point : m_points)
        if (!point->IndependentMonitoring())
            point->ActivateMonitoring();
    return true;
}

void cMonitorPoints::DeactivateMonitoring()
{
    for (const auto &point : m_points)
        if (!point->IndependentMonitoring())
            point->DeactivateMonitoring();
}

void cMonitorPoints::ForceNvUpdate(const QString &MonitorPointName)
{
    const QString value = GetMonitorPointByName(MonitorPointName)->Value();
    emit NvUpdate(MonitorPointName, value);
}

lns::NetworkVariablePtr cMonitorPoints::FetchDevNV(const QString &NvName, const QString &Section,
                                                   const IniFile &IniFile, const QString &DeviceTemplate,
                                                   const lns::AppDevicePtr &AppDevice, bool *Succeed) const
{
    return IniLocator(IniFile, DeviceTemplate, m_logger).FetchDevNv(NvName, Section, AppDevice, Succeed);
}

lns::NetworkVariablePtr cMonitorPoints::FetchLmoNV(const QString &NvName, const QString &Section,
                                                   const IniFile &IniFile, const QString &DeviceTemplate,
                                                   const lns::LonMarkObjectPtr &LonmarkObject, bool *Succeed) const
{
    return IniLocator(IniFile, DeviceTemplate, m_logger).FetchNv(NvName, Section, LonmarkObject, Succeed);
}

void cMonitorPoints::logPath(const cMonitorPoint &point) const
{
    const auto path = point.m_nv->monitorPath();
    if (!m_logger || path == lns::NetworkVariable::MonitorPath::None)
        return;
    const int text = path == lns::NetworkVariable::MonitorPath::Bound ? BoundText : PolledText;
    m_logger->addLogLine(GetResString(text, 0, {point.Name()}), logcolour::Black);
}

void cMonitorPoints::logRed(const QString &text) const
{
    if (m_logger)
        m_logger->addLogLine(text, logcolour::Red);
}

bool cMonitorPoints::changeNvType(lns::NetworkVariablePtr &nv, qint16 typeId, const QString &programId, quint8 scope)
{
    if (nv->typeIndex() == typeId)
        return true;
    lns::NvTypeUtility::Result result;
    if (m_nvTypes)
        result = m_nvTypes->changeType(nv, typeId, programId, scope);
    else
        result.errorText = QStringLiteral("No NV-type utility is available.");
    if (result.networkVariable)
        nv = result.networkVariable;
    if (!result.success) {
        logRed(TextUtility::FillPlaceholders(GetResString(NvTypeChangeFailedMessage), {nv->name()}));
        logRed(result.errorText);
    }
    return result.success;
}

bool cMonitorPoints::forEachListedNv(const lns::LonMarkObjectPtr &lonMarkObject, const IniFile &iniFile,
                                     const QString &section, const QStringList &pointNames,
                                     const std::function<bool(cMonitorPoint *, lns::NetworkVariablePtr &)> &act)
{
    bool result = true;
    QString deviceTemplate;
    for (const QString &name : pointNames) {
        cMonitorPoint *point = GetMonitorPointByName(name);
        const lns::NetworkVariablePtr own = point->NetworkVariable();
        if (!own || !own->changeableType())
            continue;
        if (deviceTemplate.isEmpty()) {
            const auto device = std::dynamic_pointer_cast<lns::AppDevice>(lns::ancestorByClassId(own, lns::AppDeviceClass));
            if (device)
                deviceTemplate = device->deviceTemplate()->name();
        }
        bool found = false;
        lns::NetworkVariablePtr nv = FetchLmoNV(name, section, iniFile, deviceTemplate, lonMarkObject, &found);
        if (!found) {
            result = false;
            logRed(QStringLiteral("Nv not found in Ini file"));
            continue;
        }
        if (!act(point, nv))
            result = false;
    }
    return result;
}

bool cMonitorPoints::WriteNvsTypeLmo(const lns::LonMarkObjectPtr &LonmarkObject, const IniFile &IniFile,
                                     const QString &Section, qint16 NvTypeId, const QString &ProgramId, quint8 Scope,
                                     const QStringList &PointNames)
{
    return forEachListedNv(LonmarkObject, IniFile, Section, PointNames,
                           [&](cMonitorPoint *point, lns::NetworkVariablePtr &nv) {
                               const bool changed = changeNvType(nv, NvTypeId, ProgramId, Scope);
                               point->setNetworkVariable(nv);
                               return changed;
                           });
}

bool cMonitorPoints::CheckNvTypeCpConsistencyLmo(const lns::LonMarkObjectPtr &LonmarkObject, const IniFile &IniFile,
                                                 const QString &Section, const QString &ProgramId, quint8 Scope,
                                                 const QStringList &PointNames)
{
    return forEachListedNv(LonmarkObject, IniFile, Section, PointNames, [&](cMonitorPoint *, lns::NetworkVariablePtr &nv) {
        return m_nvTypes && m_nvTypes->checkType(nv, nv->typeIndex(), ProgramId, Scope).success;
    });
}
