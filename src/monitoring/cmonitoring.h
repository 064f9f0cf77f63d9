#pragma once

// The output monitoring page: five output NVs of the session's LonMark object watched through
// monitor points (event-driven, report by exception), decoded into the window's output fields 4
// to 10. The push-button mode ("ButtonMode") decides which of the three mode-dependent NVs is
// shown and in which frame. The calibrate command needs the space temperature only; its
// calibration drives that point itself, so switching on prepares the point and nothing more.
//
// A monitor point that reports a communication failure sets the session's communication-failed
// flag (a successful device check clears it), empties the fields and tells the user. One outage
// is told once: every watched NV of the device reports it, and a box per NV would only repeat
// itself; the next value a point reports ends the outage.

#include "monitoring/cmonitorpoints.h"
#include "monitoring/monitoringpage.h"
#include "session/services.h"

#include <QLocale>
#include <QObject>

class cParams;

class cMonitoring : public QObject
{
    Q_OBJECT
public:
    // Point names, as the NVs are named in the plug-in INI file.
    static inline const QString SpaceTemp = QStringLiteral("nvoSpaceTemp");
    static inline const QString SetptOffset = QStringLiteral("nvoSetptOffSet");
    static inline const QString HeatCool = QStringLiteral("nvoHeatCool");
    static inline const QString FanSpeed = QStringLiteral("nvoFanSpeed");
    static inline const QString ManOccCmd = QStringLiteral("nvoManOccCmd");

    // Needs the session, the dialogs and the INI file of the services; `parameters` is the device
    // configuration's collection (for "ButtonMode"), null when there is none. The monitor points
    // take the object server the host tool handed in, else the session's.
    cMonitoring(const Services &services, monitoring::MonitoringPage &page, cParams *parameters = nullptr,
                const QLocale &locale = QLocale::system(), QObject *parent = nullptr);
    ~cMonitoring() override;

    cMonitorPoints *MonitorPoints() const { return m_points.get(); }

    // Creates the points of the command's NVs, the first time only.
    void FetchNVs();
    // On: the points of the page are activated and the fields filled at once; off: every point
    // is deactivated and the fields emptied and disabled.
    void SetMonitoring(bool Activate);

private:
    void mobjMonitorPoints_NvUpdate(const QString &MonitorPointName, const QString &Value);
    void mobjMonitorPoints_CommunicationFailed(cMonitorPoint *MonitorPoint);

    void addPoint(const QString &name, const QString &format, qint32 pollInterval);
    void showModeFrame();
    // Activates the point and fills its fields, or empties and disables them when it has no NV.
    void startPoint(const QString &name, std::initializer_list<int> fields);
    void setField(int field, const QString &text);
    void enableField(int field, bool enabled);
    void emptyFields();
    bool limitationIs(int n) const;
    void log(const QString &routine) const;
    // Reads every active point afresh (their values may not change again for a long time).
    void refillFields(const QString &reported);

    Services m_services;
    monitoring::MonitoringPage &m_page;
    cParams *m_parameters;
    QLocale m_locale;
    std::unique_ptr<cMonitorPoints> m_points;
    bool m_nvsFetched = false;
    qint32 m_fanCoilStepCount = 1;
    bool m_outageTold = false;
    // The fields were emptied for an outage: the first value after it refills all of them.
    bool m_fieldsEmptied = false;
};
