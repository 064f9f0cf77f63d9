// tqm-screenshots DIR [TEMPLATE ...]: pictures of the configure window. In a temporary object
// server home of its own (or in TQM_HOME when that is set) it creates a demo network with one command module per device
// template, runs the configure command on each of them (or on those of the templates named) in
// English and in German with the real window, clicks
// through every view and tab as a user would, and saves each page as
//     DIR/<template>-<lang>-<view>-<page>.png
// Beside those: the temperature difference with a value out of range (red), as
// <template>-<lang>-configuration-nv-timing-invalid.png, the same field at its lower limit
// (valid, black) as <template>-<lang>-configuration-nv-timing-limit.png, the device information
// window as <template>-<lang>-help-device-info.png, and the two calibration pages in each
// arrangement of their frames, as <template>-<lang>-calibration-<arrangement>-<page>.png, on
// devices of a second network that differ in what decides the arrangement. On the standard
// template besides: the configure window on a device that does not answer, its logger after a
// write that failed (long red lines), the closing question and the save dialog, as
// TQM_CM_STD-<lang>-offline-configure.png, -offline-logger.png, -question-box.png and
// -file-dialog.png. Each path is printed on its own line. It picks the offscreen platform unless
// QT_QPA_PLATFORM names another: no screen is needed, nothing is shown. The log goes where the
// plug-in's goes.

#include "app/programplaces.h"
#include "calibration/calibrationrecords.h"
#include "host/host.h"
#include "lns/desktopseams.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/homedir.h"
#include "lns/registryaccess.h"
#include "lns/unattended.h"
#include "session/settings.h"
#include "strings/resstrings.h"
#include "widgets/deferredicons.h"
#include "widgets/deviceinfodialog.h"
#include "widgets/qtmainwindowview.h"
#include "widgets/qttranslations.h"
#include "widgets/widgetdialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <optional>

namespace {

const QString Network = QStringLiteral("Screenshots");

// File-name words for the views (button-bar keys) and pages (tab key numbers).
QString viewName(const QString &itemKey)
{
    static const QHash<QString, QString> names = {{QStringLiteral("0"), QStringLiteral("configuration")},
                                                  {QStringLiteral("1"), QStringLiteral("monitoring")},
                                                  {QStringLiteral("2"), QStringLiteral("calibration")}};
    return names.value(itemKey, itemKey);
}

QString pageName(const QString &tabKey)
{
    static const QStringList names = {
        QStringLiteral("temperature-measuring"), QStringLiteral("operation"),  QStringLiteral("temperature-sensor"),
        QStringLiteral("turning-knob"),          QStringLiteral("monitoring"), QStringLiteral("nv-timing"),
        QStringLiteral("logger")};
    return names.value(tabKey.section(QLatin1Char(':'), 1).toInt(), tabKey);
}

// Lets the window settle: layouts and paint requests, and on the monitoring page the values
// that the simulated device reports.
void settle(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

class Photographer
{
public:
    explicit Photographer(QString directory) : m_directory(std::move(directory)) {}

    void take(const widgets::QtMainWindowView &view, const QString &name, int settleMilliseconds = 20)
    {
        take(view.window(), name, settleMilliseconds);
    }

    void take(QWidget *window, const QString &name, int settleMilliseconds = 20)
    {
        settle(settleMilliseconds);
        grab(window, name);
    }

    // Without waiting: a modal dialog's own event loop is running.
    void grab(QWidget *window, const QString &name)
    {
        const QString path = QDir(m_directory).filePath(name + QStringLiteral(".png"));
        if (!window->grab().save(path))
            throw TqmError(TqmError::FileAccess, QStringLiteral("tqm-screenshots"),
                           QStringLiteral("Cannot write %1.").arg(path));
        std::printf("%s\n", qPrintable(path));
        std::fflush(stdout);
    }

private:
    QString m_directory;
};

// Where the pictures' network and settings live (TQM_HOME, read here: the core reads no environment).
QString dataHome()
{
    return tqmHome(qEnvironmentVariable("TQM_HOME"));
}

// Keeps what Help - Device info would show, for the picture of its window.
class KeptDeviceInfo : public DeviceInfoWindow
{
public:
    void showModal(const DeviceInfoReport &report) override { kept = report; }
    std::optional<DeviceInfoReport> kept;
};

// A command of the plug-in on one device in one language, with the real window on the offscreen
// platform; the plug-in INI file is the one in `programDirectory` (default: the program's).
class WindowSession
{
    UnattendedDialogs m_dialogs;
    UnattendedAboutWindow m_about;
    DesktopHelpViewer m_help;

public:
    WindowSession(const QString &objectName, int commandId, int language, const QString &programDirectory = {})
    {
        RegistryAccess registry(dataHome());
        settings::writeLanguage(registry, qint16(language));
        HostEnvironment env;
        env.programDirectory = programDirectory.isEmpty() ? QCoreApplication::applicationDirPath() : programDirectory;
        env.programFileName = QStringLiteral("tqm-screenshots");
        env.logDirectory = programplaces::logDirectory(QCoreApplication::applicationFilePath());
        env.logFallbackDirectory = programplaces::logFallbackDirectory();
        env.dialogs = &m_dialogs;
        env.aboutWindow = &m_about;
        env.deviceInfoWindow = &deviceInfo;
        env.helpViewer = &m_help;
        env.view = &view;
        env.home = dataHome();
        env.objectServerProvider = [] { return embedded::EmbeddedObjectServer::create(dataHome()); };
        env.applyLanguage = [](qint16 chosen) {
            setLanguage(chosen);
            widgets::useQtTranslations(chosen);
        };
        host = std::make_unique<PlugInHost>(env);
        host->Main(QStringLiteral("/CLASSID:28/COMMANDID:%1/OBJECTNAME:").arg(commandId) + objectName);
        if (host->ended() || !view.isWindowVisible())
            throw TqmError(TqmError::LnsInvalidOperation, QStringLiteral("tqm-screenshots"),
                           QStringLiteral("Command %1 on %2 did not open its window.").arg(commandId).arg(objectName));
    }
    ~WindowSession() { host->EndApp(); }

    widgets::QtMainWindowView view{false};
    KeptDeviceInfo deviceInfo;
    std::unique_ptr<PlugInHost> host;
};

QString languagePrefix(const QString &templateName, int language)
{
    return templateName + (language == ResStrings::German ? QStringLiteral("-de-") : QStringLiteral("-en-"));
}

// The configure command on one device in one language, every page of it photographed.
void photographDevice(const QString &objectName, const QString &templateName, int language, Photographer &camera)
{
    WindowSession session(objectName, 13, language);
    widgets::QtMainWindowView &view = session.view;
    const QString prefix = languagePrefix(templateName, language);
    for (const ui::ButtonBarItem &item : view.buttonBarItems()) {
        view.clickButtonBarItem(item.key);
        const int strip = view.visibleTabStrip();
        for (int position = 1; position <= view.tabCount(strip); ++position) {
            const QString tabKey = view.tab(strip, position).key;
            view.clickTab(tabKey);
            const bool live = tabKey == QLatin1String("KEY:4");
            camera.take(view, prefix + viewName(item.key) + QLatin1Char('-') + pageName(tabKey), live ? 600 : 20);
        }
    }

    // A value out of range shows red (and keeps the parameters from being written); the lower
    // limit itself, typed as the user's language writes it, is valid.
    view.clickButtonBarItem(QStringLiteral("0"));
    if (view.clickTab(QStringLiteral("KEY:5")) && view.typeInto(2, QStringLiteral("9")))
        camera.take(view, prefix + QStringLiteral("configuration-nv-timing-invalid"));
    const QString lowerLimit = language == ResStrings::German ? QStringLiteral("0,1") : QStringLiteral("0.1");
    if (view.clickTab(QStringLiteral("KEY:5")) && view.typeInto(2, lowerLimit))
        camera.take(view, prefix + QStringLiteral("configuration-nv-timing-limit"));

    if (view.clickMenuTool({QStringLiteral("Help"), QStringLiteral("DeviceInfo")}) && session.deviceInfo.kept) {
        const std::unique_ptr<QDialog> window = DeviceInfoDialog::build(*session.deviceInfo.kept);
        window->show();
        camera.take(window.get(), prefix + QStringLiteral("help-device-info"));
    }
}

// The arrangements of the calibration pages, each on a device of its own in a network of
// command modules of one template (one whose knob page is offered), which differ in what
// decides the arrangement: the application version against ApbVersionNewCalib, a sensor
// calibration on record, and the push-button panel (which makes the knob calibration the centre
// one). The devices without a panel are opened with a plug-in INI file that lists none for the
// template.
const QString ArrangementsNetwork = QStringLiteral("Calibration");

struct Arrangement
{
    const char *name;
    int commandId;
    double applicationVersion; // 0: the template's
    bool calibrated;
    bool panel;
};
const Arrangement Arrangements[] = {
    {"two-stop", 14, 1.9, false, false},
    {"reset", 14, 0, false, false},
    {"reset-copy", 14, 0, true, false},
    {"centre", 14, 0, false, true},
};

// A program directory whose plug-in INI file lists no push-button panel for the template.
QString withoutPanelDirectory(const QString &templateName)
{
    const QString directory = QDir(dataHome()).filePath(QStringLiteral("without-panel"));
    QFile shipped(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("TqmCmdModule.ini")));
    QFile edited(QDir(directory).filePath(QStringLiteral("TqmCmdModule.ini")));
    if (!QDir().mkpath(directory) || !shipped.open(QIODevice::ReadOnly) || !edited.open(QIODevice::WriteOnly))
        throw TqmError(TqmError::FileAccess, QStringLiteral("tqm-screenshots"),
                       QStringLiteral("Cannot write %1.").arg(edited.fileName()));
    const QByteArray section = "[velto TqmCommandModule CPs 1.0 ]";
    QByteArray text = shipped.readAll();
    text.replace(section, section + "\nPanelType@" + templateName.toUtf8() + " =");
    edited.write(text);
    return directory;
}

QString arrangementDevice(int index)
{
    return QStringLiteral("CM %1").arg(index + 1);
}

void createArrangementsNetwork(const QString &templateName)
{
    QJsonArray devices;
    for (int i = 0; i < int(std::size(Arrangements)); ++i) {
        QJsonObject device{{QStringLiteral("name"), arrangementDevice(i)},
                           {QStringLiteral("template"), templateName},
                           {QStringLiteral("simulated"), true}};
        if (Arrangements[i].applicationVersion != 0)
            device.insert(QStringLiteral("applicationVersion"), Arrangements[i].applicationVersion);
        devices.append(device);
    }
    embedded::createNetwork(dataHome(),
                            QJsonObject{{QStringLiteral("name"), ArrangementsNetwork},
                                        {QStringLiteral("subsystems"),
                                         QJsonArray{QJsonObject{{QStringLiteral("path"), QStringLiteral("Building A")},
                                                                {QStringLiteral("devices"), devices}}}}},
                            true);
    const auto server = embedded::EmbeddedObjectServer::create(dataHome());
    server->open(lns::ConnectionMode::Local);
    for (int i = 0; i < int(std::size(Arrangements)); ++i) {
        if (!Arrangements[i].calibrated)
            continue;
        const lns::LonMarkObjectPtr module =
            server->findDevice(ArrangementsNetwork, arrangementDevice(i))->lonMarkObjects()->item(QStringLiteral("CommandModule"));
        DeviceContext context;
        context.lonMarkObject = module;
        calibration::WriteTempSensorCalibrated(context);
    }
}

void photographCalibrationArrangements(const QString &templateName, int language, Photographer &camera)
{
    const QString withoutPanel = withoutPanelDirectory(templateName);
    for (int i = 0; i < int(std::size(Arrangements)); ++i) {
        const QString object = QStringLiteral("%1.Building A.%2.CommandModule").arg(ArrangementsNetwork, arrangementDevice(i));
        WindowSession session(object, Arrangements[i].commandId, language, Arrangements[i].panel ? QString() : withoutPanel);
        widgets::QtMainWindowView &view = session.view;
        view.clickButtonBarItem(QStringLiteral("2"));
        for (const QString &tabKey : {QStringLiteral("KEY:2"), QStringLiteral("KEY:3")}) {
            view.clickTab(tabKey);
            camera.take(view, languagePrefix(templateName, language) + QStringLiteral("calibration-")
                                  + QString::fromLatin1(Arrangements[i].name) + QLatin1Char('-') + pageName(tabKey));
        }
    }
}

// Takes the picture of the dialog the call opens, then closes the dialog.
void photographDialog(Photographer &camera, const QString &name, const std::function<void()> &open)
{
    QTimer::singleShot(200, [&camera, name] {
        if (QWidget *dialog = QApplication::activeModalWidget()) {
            camera.grab(dialog, name);
            dialog->close();
        }
    });
    open();
}

// What the window says when things go wrong, on a device that does not answer: the configure
// window as it opens, its logger after a write that failed, and the boxes Qt draws (the
// closing question, the save dialog) in the session's language.
void photographExplanations(const QString &objectName, const QString &templateName, int language,
                            Photographer &camera)
{
    const QString prefix = languagePrefix(templateName, language);
    {
        const auto server = embedded::EmbeddedObjectServer::create(dataHome());
        server->open(lns::ConnectionMode::Local);
        const lns::LonMarkObjectPtr module = server->lonMarkObject(objectName);
        embedded::EmbeddedObjectServer::setDeviceOnline(
            std::dynamic_pointer_cast<lns::AppDevice>(lns::ancestorByClassId(module, lns::AppDeviceClass)), false);
    }
    WindowSession session(objectName, 13, language);
    widgets::QtMainWindowView &view = session.view;
    camera.take(view, prefix + QStringLiteral("offline-configure"));
    view.clickButtonBarItem(QStringLiteral("0"));
    view.clickTab(QStringLiteral("KEY:5"));
    view.typeInto(2, QStringLiteral("0.7"));
    view.clickLineButton(ui::LineButton::Apply);
    camera.take(view, prefix + QStringLiteral("offline-logger"));

    WidgetDialogs dialogs(view.window());
    photographDialog(camera, prefix + QStringLiteral("question-box"), [&] {
        dialogs.message(GetResString(1428, 3), view.windowCaption(), MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No);
    });
    photographDialog(camera, prefix + QStringLiteral("file-dialog"), [&] {
        dialogs.fileName({GetResString(1600, 2), GetResString(1601), dataHome(), true});
    });
}

const char Usage[] =
    "Usage: tqm-screenshots DIR [TEMPLATE ...]\n"
    "Renders every page of the configure window of a demo device of each template (or of those\n"
    "named), in English and in German, into DIR as <template>-<lang>-<view>-<page>.png, and prints\n"
    "each path.\n"
    "  --help, -h   this text\n"
    "Environment:\n"
    "  TQM_HOME          where the pictures' networks and settings are made (default: a temporary\n"
    "                    directory, removed at the end)\n"
    "  QT_QPA_PLATFORM   the window platform (default offscreen)\n"
    "  TQM_LOG_DIR       the directory of the log instead of the program's\n";

bool asksForHelp(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--help" || argument == "-h")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    // Answered before anything is made: no window, no network, no log.
    if (asksForHelp(argc, argv)) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (argc < 2) {
        std::fputs(Usage, stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The user's own networks and settings are never touched: without TQM_HOME the pictures
    // are made in a home of their own.
    std::optional<QTemporaryDir> ownHome;
    if (qEnvironmentVariableIsEmpty("TQM_HOME")) {
        ownHome.emplace();
        if (!ownHome->isValid()) {
            std::fprintf(stderr, "tqm-screenshots: no temporary directory for the pictures' network\n");
            return 1;
        }
        qputenv("TQM_HOME", ownHome->path().toUtf8());
    }
    unattended::dropPlatformRemarks();
    QApplication app(argc, argv);
    widgets::useDeferredIconStyle(); // the program's own style
    const QStringList arguments = QCoreApplication::arguments();
    const QString directory = arguments[1];
    const QStringList chosen = arguments.mid(2);
    try {
        QDir().mkpath(directory);
        const QString ini = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("TqmCmdModule.ini"));
        const QStringList templates = embedded::iniTemplateNames(ini);
        for (const QString &name : chosen) {
            if (!templates.contains(name))
                throw TqmError(TqmError::SubscriptOutOfRange, QStringLiteral("tqm-screenshots"),
                               QStringLiteral("No device template %1; the INI file lists %2.").arg(name, templates.join(QStringLiteral(", "))));
        }
        embedded::createDemoNetwork(dataHome(), Network, int(templates.size()), ini, true);
        // The arrangements on the standard template, whose knob page every command offers.
        const QString arrangementsTemplate = QStringLiteral("TQM_CM_STD");
        const bool arrangements = templates.contains(arrangementsTemplate)
                                  && (chosen.isEmpty() || chosen.contains(arrangementsTemplate));
        if (arrangements)
            createArrangementsNetwork(arrangementsTemplate);
        Photographer camera(directory);
        // The demo network gives its devices the templates in the INI file's order.
        for (int language : {ResStrings::English, ResStrings::German}) {
            for (int i = 0; i < templates.size(); ++i) {
                if (!chosen.isEmpty() && !chosen.contains(templates[i]))
                    continue;
                const QString object = QStringLiteral("%1.Building A.Floor 1.CM 1\\.%2.CommandModule")
                                           .arg(Network)
                                           .arg(i + 1, 2, 10, QLatin1Char('0'));
                photographDevice(object, templates[i], language, camera);
            }
            if (arrangements)
                photographCalibrationArrangements(arrangementsTemplate, language, camera);
        }
        // Last: the device goes offline for good. The demo network's standard device.
        const int standard = int(templates.indexOf(arrangementsTemplate));
        if (standard >= 0 && (chosen.isEmpty() || chosen.contains(arrangementsTemplate))) {
            const QString object = QStringLiteral("%1.Building A.Floor 1.CM 1\\.%2.CommandModule")
                                       .arg(Network)
                                       .arg(standard + 1, 2, 10, QLatin1Char('0'));
            for (int language : {ResStrings::English, ResStrings::German})
                photographExplanations(object, arrangementsTemplate, language, camera);
        }
    } catch (const TqmError &error) {
        std::fprintf(stderr, "tqm-screenshots: %s\n", error.what());
        return 1;
    }
    return 0;
}
