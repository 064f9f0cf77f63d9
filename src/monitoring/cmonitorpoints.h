#pragma once

// Monitor points: each watches one network variable of the device. A point configures how the
// object server monitors its NV (polled or event-driven, poll interval in tenths of a second,
// format, report by exception; every change inside the NV's hold bracket), switches monitoring
// on and off, and reads and writes the NV's value or one field of it. The collection owns the
// points, hands each its monitor tag (5000 + the number of points before it), routes the
// server's monitor updates to the point at position tag - 5000 + 1 (tags are never reassigned,
// so the routing holds while no point is removed), and raises NvUpdate and CommunicationFailed
// for its owner (the monitoring page, the temperature calibration).
//
// CommunicationFailed is raised for a failed field read or write of a point, and for an outage
// of the device that the object server reports (its monitor-failure event, once per outage and
// NV: a failed poll, or a device gone offline while its NV is watched event-driven). Whole-value
// reads and writes end silently on an LNS error.

#include "lns/lns.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class IniFile;
class Logger;
class cMonitorPoints;

class cMonitorPoint
{
public:
    // Monitoring types.
    static constexpr qint32 NotMonitored = 0;
    static constexpr qint32 Polled = 1;
    static constexpr qint32 EventDriven = 2;

    QString Name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    bool Available() const { return m_available; }
    qint32 Tag() const { return m_tag; }
    cMonitorPoints *Parent() const { return m_parent; }
    // Null unless available.
    lns::NetworkVariablePtr NetworkVariable() const { return m_available ? m_nv : nullptr; }
    void setNetworkVariable(const lns::NetworkVariablePtr &nv) { m_nv = nv; }

    // Reads the NV afresh; the buffered value becomes the text read. Empty when not available
    // or when the read fails.
    QString Value();
    void setValue(const QString &value);
    // The last value read, written or reported; read afresh when there is none.
    QString BufferedValue();
    bool SetElementValue(const QString &ElementName, const QString &Value);
    bool GetElementValue(const QString &ElementName, QString &Value);

    qint32 MonitoringType() const { return m_monitoringType; }
    void setMonitoringType(qint32 type);
    qint32 PollInterval() const;
    void setPollInterval(qint32 interval);
    QString Format() const;
    void setFormat(const QString &format);
    bool ReportByException() const;
    void setReportByException(bool on);

    void ActivateMonitoring();
    void DeactivateMonitoring();
    bool MonitoringIsActive() const;
    bool IndependentMonitoring() const { return m_independent; }
    void setIndependentMonitoring(bool independent) { m_independent = independent; }

    bool ChangeNvType(qint16 NvTypeId, const QString &ProgramId, quint8 Scope);

private:
    friend class cMonitorPoints;
    // Runs a settings change between hold on and hold off (hold is cleared on failure too).
    template <class F>
    void held(F change);
    void setBufferedValue(const QString &value) { m_buffered = value; }

    QString m_name;
    cMonitorPoints *m_parent = nullptr;
    lns::NetworkVariablePtr m_nv;
    bool m_available = false;
    qint32 m_tag = 0;
    qint32 m_monitoringType = NotMonitored;
    bool m_independent = false;
    QString m_buffered;
};

class cMonitorPoints : public QObject
{
    Q_OBJECT
public:
    static constexpr qint32 FirstTag = 5000;

    // The logger takes the routine labels and the red lines of failed type changes; the
    // NV-type utility changes and checks types. Either may be null (then nothing is logged, and
    // type changes fail).
    explicit cMonitorPoints(Logger *logger = nullptr, lns::NvTypeUtility *nvTypeUtility = nullptr,
                            QObject *parent = nullptr);
    ~cMonitorPoints() override;

    lns::ObjectServerPtr ObjectServer() const { return m_server; }
    // Subscribes to the server's monitor updates and failures (and leaves the previous one's).
    void setObjectServer(const lns::ObjectServerPtr &server);

    // Throws TqmError (DuplicateKey) when the name is taken.
    cMonitorPoint *AddMonitorPoint(const QString &Name, const lns::NetworkVariablePtr &NetworkVariable,
                                   qint32 MonitoringType = cMonitorPoint::NotMonitored);
    // Throws TqmError (SubscriptOutOfRange) for an unknown name.
    void RemoveMonitorPointByName(const QString &Name);
    // 1-based; throws TqmError (SubscriptOutOfRange) outside 1..Count.
    cMonitorPoint *GetMonitorPoint(qint16 Index) const;
    cMonitorPoint *GetMonitorPointByName(const QString &Name) const;
    qint32 Count() const { return qint32(m_points.size()); }

    bool ActivateMonitoring();
    void DeactivateMonitoring();
    void ForceNvUpdate(const QString &MonitorPointName);

    // The NV named `NvName` in `Section` of the plug-in INI file for the device template:
    // field 1 its index, field 2 (device variant) the LonMark object holding it (0: the
    // device's own NVs). Without `Succeed` an entry the file lacks throws TqmError (10000,
    // "INI - File Error : " + name); with it, *Succeed tells and the answer is null.
    lns::NetworkVariablePtr FetchDevNV(const QString &NvName, const QString &Section, const IniFile &IniFile,
                                       const QString &DeviceTemplate, const lns::AppDevicePtr &AppDevice,
                                       bool *Succeed = nullptr) const;
    lns::NetworkVariablePtr FetchLmoNV(const QString &NvName, const QString &Section, const IniFile &IniFile,
                                       const QString &DeviceTemplate, const lns::LonMarkObjectPtr &LonmarkObject,
                                       bool *Succeed = nullptr) const;
    bool WriteNvsTypeLmo(const lns::LonMarkObjectPtr &LonmarkObject, const IniFile &IniFile, const QString &Section,
                         qint16 NvTypeId, const QString &ProgramId, quint8 Scope, const QStringList &PointNames);
    bool CheckNvTypeCpConsistencyLmo(const lns::LonMarkObjectPtr &LonmarkObject, const IniFile &IniFile,
                                     const QString &Section, const QString &ProgramId, quint8 Scope,
                                     const QStringList &PointNames);

signals:
    void NvUpdate(const QString &MonitorPointName, const QString &Value);
    void CommunicationFailed(cMonitorPoint *MonitorPoint);

private:
    friend class cMonitorPoint;
    cMonitorPoint *pointByTag(int tag) const;
    void onMonitorUpdate(int tag, const QString &value);
    void unsubscribe();
    // Changes the NV's type; `nv` becomes the utility's refreshed reference.
    bool changeNvType(lns::NetworkVariablePtr &nv, qint16 typeId, const QString &programId, quint8 scope);
    // The walk of WriteNvsTypeLmo and CheckNvTypeCpConsistencyLmo: each listed point with a
    // changeable NV, found again through the INI file; `act` answers success.
    bool forEachListedNv(const lns::LonMarkObjectPtr &lonMarkObject, const IniFile &iniFile, const QString &section,
                         const QStringList &pointNames,
                         const std::function<bool(cMonitorPoint *, lns::NetworkVariablePtr &)> &act);
    void logRed(const QString &text) const;
    // The monitor log says how an activated point is watched: polled, or bound (its device sends
    // the changes).
    void logPath(const cMonitorPoint &point) const;

    Logger *m_logger;
    lns::NvTypeUtility *m_nvTypes;
    lns::ObjectServerPtr m_server;
    int m_updateHandle = 0;
    int m_failureHandle = 0;
    lns::SystemPtr m_system;
    std::vector<std::unique_ptr<cMonitorPoint>> m_points;
};
