#pragma once

// The calibration procedures on a copy of the demo network, as the main window runs them: the
// device's configuration read into an in-memory window, an in-memory calibration page, the
// monitoring page's "nvoSpaceTemp" point, the two window timers on a manual clock, a memory
// logger and scripted dialogs. The demo devices cycle through the templates: CM 1.01 is
// TQM_CM_L1 ... CM 1.05 TQM_CM_L5, CM 1.06 TQM_CM_STD, CM 1.07 TQM_CM_L1 again.
// `iniEdits` replace lines of the shipped plug-in INI file for one rig.

#include "calibration/calibrationpage.h"
#include "calibration/knobcalibration.h"
#include "calibration/sensorcalibration.h"
#include "device/cconfiguration.h"
#include "device/configurationwindow.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/inifile.h"
#include "lns/logger.h"
#include "lns/product.h"
#include "lns/timer.h"
#include "lns/userdialogs.h"
#include "monitoring/cmonitorpoints.h"
#include "params/cpaccess.h"
#include "session/session.h"
#include "strings/resstrings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <map>

using calibration::Indicator;
using calibration::PageFrame;

// The calibration pages in memory; the text boxes are those of the configuration's window.
class MemoryCalibrationPage : public calibration::CalibrationPage
{
public:
    struct Bar
    {
        int value = 0;
        QString text;
        bool visible = false;
    };
    struct Result
    {
        QString caption;
        controls::Colour colour = controls::colour::WindowText;
        bool visible = false;
    };
    struct Place
    {
        bool visible = true;
        double left = 0;
        double top = 0;
    };

    explicit MemoryCalibrationPage(ConfigurationWindow &window) : m_window(window)
    {
        frames[PageFrame::SensorCopy] = {true, 120, 3405};
        frames[PageFrame::KnobTwoStop] = {true, 180, 180};
        frames[PageFrame::KnobReset] = {true, 180, 2800};
        frames[PageFrame::KnobCentre] = {true, 180, 5400};
    }

    controls::TextBoxControl *TextBox(int index) const override { return m_window.TextBox(index); }
    void setButtonEnabled(int button, bool enabled) override { buttons[button] = enabled; }
    void setProgress(Indicator i, int value) override { bars[i].value = value; }
    void setProgressText(Indicator i, const QString &text) override { bars[i].text = text; }
    void setProgressVisible(Indicator i, bool visible) override { bars[i].visible = visible; }
    void setResult(Indicator i, const QString &caption, controls::Colour colour) override
    {
        results[i].caption = caption;
        results[i].colour = colour;
    }
    void setResultVisible(Indicator i, bool visible) override { results[i].visible = visible; }
    void showFrame(PageFrame frame, std::optional<double> left, std::optional<double> top) override
    {
        Place &place = frames[frame];
        place = {true, left.value_or(place.left == -20000 ? designLeft(frame) : place.left), top.value_or(place.top)};
        ++frameMoves;
    }
    void hideFrame(PageFrame frame) override
    {
        frames[frame].visible = false;
        frames[frame].left = -20000;
        ++frameMoves;
    }
    QString Caption() const override { return QStringLiteral("CM / CommandModule"); }
    void setStatusText(const QString &text) override { statusTexts.append(text); }
    void Refresh() override { ++refreshes; }
    void setEnabled(bool enabled) override { windowEnabled.append(enabled); }
    void setApplyEnabled(bool enabled) override { applyEnabled = enabled; }
    void ShowLogger() override { ++loggerShown; }
    bool UpdatingControls() const override { return m_window.UpdatingControls(); }
    void setUpdatingControls(bool on) override { m_window.setUpdatingControls(on); }
    QObject *ownerObject() override { return nullptr; }

    bool enabled() const { return windowEnabled.isEmpty() || windowEnabled.last(); }
    // "two-stop", "reset", "centre" or several of them; with "+copy" when the copy frame shows.
    QString arrangement() const
    {
        QStringList shown;
        for (const auto &[frame, name] : {std::pair{PageFrame::KnobTwoStop, "two-stop"}, std::pair{PageFrame::KnobReset, "reset"},
                                          std::pair{PageFrame::KnobCentre, "centre"}}) {
            if (frames.at(frame).visible)
                shown.append(QString::fromLatin1(name));
        }
        return shown.join('|') + (frames.at(PageFrame::SensorCopy).visible ? "+copy" : "");
    }

    std::map<int, bool> buttons;
    std::map<Indicator, Bar> bars;
    std::map<Indicator, Result> results;
    std::map<PageFrame, Place> frames;
    int frameMoves = 0;
    QStringList statusTexts;
    QList<bool> windowEnabled;
    bool applyEnabled = true;
    int refreshes = 0;
    int loggerShown = 0;

private:
    static double designLeft(PageFrame frame) { return frame == PageFrame::SensorCopy ? 120 : 180; }
    ConfigurationWindow &m_window;
};

// Offers what the scan offers (recorded by name) and picks the devices named.
class PickingWindow : public device::MultiDeviceWindow
{
public:
    PickingWindow(QStringList picks, QStringList &offered) : m_picks(std::move(picks)), m_offered(offered) {}
    device::MultiDeviceSelectionPtr open(const device::MultiDeviceRequest &request) override
    {
        const device::DeviceScanResult result = search(request);
        QList<device::FoundDevice> picked;
        for (const device::FoundDevice &found : result.offered) {
            m_offered.append(found.name);
            if (m_picks.contains(found.name))
                picked.append(found);
        }
        return selectionOf(picked);
    }

private:
    QStringList m_picks;
    QStringList &m_offered;
};

// Lines of the shipped plug-in INI file and their replacements.
using IniEdits = QList<QPair<QString, QString>>;

class CalibrationRig
{
public:
    static inline const QString Network = QStringLiteral("Demo");

    explicit CalibrationRig(const IniEdits &iniEdits = {})
    {
        QVERIFY2(dir.isValid(), "no temporary directory");
        qputenv("TQM_HOME", dir.path().toUtf8());
        setLanguage(ResStrings::English);
        ini.setFileName(editedIniFile(iniEdits));
        QVERIFY2(ini.problems().isEmpty(), qPrintable(ini.problems().join('\n')));
        copyDemoNetwork();
        server = embedded::EmbeddedObjectServer::create(dir.path(), clock, timers);
        server->open(lns::ConnectionMode::Local);
        session.network = server->network(Network);
        session.system = session.network->systems()->item(1);
        session.objectServer = server;
        sensorTimer = timers.createTimer();
        knobTimer = timers.createTimer();
        QObject::connect(sensorTimer.get(), &Timer::timeout, [this] { sensor->Tick(); });
        QObject::connect(knobTimer.get(), &Timer::timeout, [this] { knob->Tick(); });
    }

    ~CalibrationRig()
    {
        sensorTimer->stop();
        knobTimer->stop();
    }

    lns::AppDevicePtr device(const QString &name) const { return server->findDevice(Network, name); }
    lns::LonMarkObjectPtr module(const QString &name) const
    {
        return device(name)->lonMarkObjects()->item(QStringLiteral("CommandModule"));
    }
    // A CP of the device's command-module object as RAW text (read from the network database).
    QString cp(const QString &deviceName, const QString &cpName) const
    {
        return cpaccess::readRawText(*module(deviceName)->configProperties()->item(cpName));
    }
    void setCp(const QString &deviceName, const QString &cpName, const QString &raw)
    {
        cpaccess::writeRawText(*module(deviceName)->configProperties()->item(cpName), raw);
    }
    void setOnline(const QString &deviceName, bool online)
    {
        embedded::EmbeddedObjectServer::setDeviceOnline(device(deviceName), online);
    }
    void setRoom(const QString &deviceName, int roomTemp, int sensorError)
    {
        embedded::EmbeddedObjectServer::changeRoom(device(deviceName), [&](const auto &room, const auto &settings,
                                                                           const QDateTime &now) {
            return embedded::cmsim::setSensorError(embedded::cmsim::setRoomTemp(room, settings, roomTemp, now),
                                                  settings, sensorError, now);
        });
    }

    // Opens the device as the window does for the command: configuration read with the
    // controls quiet, the space-temperature point, the procedures.
    void open(const QString &deviceName, int commandIndex = 2)
    {
        session.appDevice = device(deviceName);
        session.lonMarkObject = module(deviceName);
        session.deviceTemplate = session.appDevice->deviceTemplate()->name();
        session.commandIndex = commandIndex;

        ConfigurationEnvironment configEnv;
        configEnv.session = &session;
        configEnv.window = &window;
        configEnv.logger = &logger;
        configEnv.dialogs = &dialogs;
        configEnv.iniFile = &ini;
        configEnv.clock = &clock;
        configuration = std::make_unique<cConfiguration>(configEnv);
        window.setUpdatingControls(true);
        configuration->FetchCPs();
        configuration->ReadSettings();
        window.setUpdatingControls(false);

        points = std::make_unique<cMonitorPoints>(&logger);
        points->setObjectServer(server);
        bool found = false;
        const lns::NetworkVariablePtr nv = points->FetchLmoNV(QStringLiteral("nvoSpaceTemp"), product::NvSection, ini,
                                                              session.deviceTemplate, session.lonMarkObject, &found);
        cMonitorPoint *point = points->AddMonitorPoint(QStringLiteral("nvoSpaceTemp"), nv, cMonitorPoint::EventDriven);
        point->setFormat(lns::RawFormat);

        calibration::CalibrationEnvironment env;
        env.services.session = &session;
        env.services.dialogs = &dialogs;
        env.services.logger = &logger;
        env.services.iniFile = &ini;
        env.services.clock = &clock;
        env.services.timers = &timers;
        env.page = &page;
        env.configuration = configuration.get();
        env.deviceIsAccessible = [this](bool) {
            ++accessChecks;
            try {
                session.appDevice->deviceTest(4);
                session.communicationFailed = false;
                return true;
            } catch (const TqmError &) {
                return false;
            }
        };
        env.monitorPoints = [this] { return points.get(); };
        env.createMultiDeviceWindow = [this] { return std::make_unique<PickingWindow>(picks, offered); };
        env.locale = QLocale(QLocale::German);
        sensor = std::make_unique<calibration::TemperatureSensorCalibration>(env, sensorTimer.get());
        knob = std::make_unique<calibration::TurningKnobCalibration>(env, knobTimer.get());
    }

    // The entry as the user types it: the window hands every change to the procedure.
    void enterRoomTemperature(const QString &text)
    {
        window.TextBox(calibration::RoomTemperatureBox)->setText(text);
        sensor->RoomTemperatureChanged();
    }

    QStringList logTexts() const { return logger.texts(); }
    QList<LogViewLine> linesWith(const QString &text) const
    {
        QList<LogViewLine> found;
        for (const LogViewLine &line : logger.lines) {
            if (line.text.contains(text))
                found.append(line);
        }
        return found;
    }

    QTemporaryDir dir;
    ManualClock clock;
    ManualTimerFactory timers{clock};
    IniFile ini;
    embedded::EmbeddedObjectServerPtr server;
    SessionState session;
    MemoryConfigurationWindow window;
    MemoryCalibrationPage page{window};
    MemoryLogger logger;
    ScriptedDialogs dialogs;
    std::unique_ptr<cConfiguration> configuration;
    std::unique_ptr<cMonitorPoints> points;
    std::unique_ptr<Timer> sensorTimer;
    std::unique_ptr<Timer> knobTimer;
    std::unique_ptr<calibration::TemperatureSensorCalibration> sensor;
    std::unique_ptr<calibration::TurningKnobCalibration> knob;
    QStringList picks;   // devices the multi-device window picks
    QStringList offered; // devices it offered
    int accessChecks = 0;

private:
    static QString shippedIniFile()
    {
        return qEnvironmentVariable("TQM_TEST_SOURCE_DIR") + QStringLiteral("/resources/TqmCmdModule.ini");
    }

    QString editedIniFile(const IniEdits &edits) const
    {
        if (edits.isEmpty())
            return shippedIniFile();
        QFile shipped(shippedIniFile());
        if (!shipped.open(QIODevice::ReadOnly))
            return {};
        QString text = QString::fromUtf8(shipped.readAll());
        for (const auto &[line, replacement] : edits) {
            if (!text.contains(line))
                qFatal("no line \"%s\" in the INI file", qPrintable(line));
            text.replace(line, replacement);
        }
        const QString name = dir.filePath(QStringLiteral("TqmCmdModule.ini"));
        QFile edited(name);
        if (!edited.open(QIODevice::WriteOnly))
            return {};
        edited.write(text.toUtf8());
        return name;
    }

    // One demo network (a device of each template, and a second round) for every rig, copied.
    void copyDemoNetwork()
    {
        static QTemporaryDir made;
        static bool created = false;
        if (!created) {
            embedded::createDemoNetwork(made.path(), Network, 12, shippedIniFile());
            created = true;
        }
        const QString file = QStringLiteral("/networks/") + Network + QStringLiteral(".tqmnet");
        QDir().mkpath(dir.path() + QStringLiteral("/networks"));
        QVERIFY(QFile::copy(made.path() + file, dir.path() + file));
    }
};
