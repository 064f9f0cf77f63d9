// tqm-screenshots DIR [TEMPLATE ...]: pictures of the configure window. In the object server home
// (TQM_HOME, best a fresh one) it creates a demo network with one command module per device
// template, runs the configure command on each of them (or on those of the templates named) in
// English and in German with the real window, clicks
// through every view and tab as a user would, and saves each page as
//     DIR/<template>-<lang>-<view>-<page>.png
// Beside those: the temperature difference with a value out of range (red), as
// <template>-<lang>-configuration-nv-timing-invalid.png, and the two calibration pages in each
// arrangement of their frames, as <template>-<lang>-calibration-<arrangement>-<page>.png, on
// devices of a second network that differ in what decides the arrangement. On the standard
// template besides: the configure window on a device that does not answer, its logger after a
// write that failed (long red lines), the closing question and the save dialog, as
// TQM_CM_STD-<lang>-offline-configure.png, -offline-logger.png, -question-box.png and
// -file-dialog.png. Each path is printed on its own line. Meant for the offscreen platform: no
// screen is needed, nothing is shown.

#include "calibration/calibrationrecords.h"
#include "host/host.h"
#include "lns/desktopseams.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/homedir.h"
#include "lns/registryaccess.h"
#include "lns/unattended.h"
#include "session/settings.h"
#include "strings/resstrings.h"
#include "widgets/qtmainwindowview.h"
#include "widgets/qttranslations.h"
#include "widgets/widgetdialogs.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QMainWindow>
#include <QTimer>

#include <cstdio>

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
        settle(settleMilliseconds);
        take(view.window(), name);
    }

    void take(QWidget *window, const QString &name)
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

// A command of the plug-in on one device in one language, with the real window on the offscreen
// platform.
class WindowSession
{
    UnattendedDialogs m_dialogs;
    UnattendedAboutWindow m_about;
    DesktopHelpViewer m_help;

public:
    WindowSession(const QString &objectName, int commandId, int language)
    {
        RegistryAccess registry(dataHome());
        settings::writeLanguage(registry, qint16(language));
        HostEnvironment env;
        env.programDirectory = QCoreApplication::applicationDirPath();
        env.programFileName = QStringLiteral("tqm-screenshots");
        env.dialogs = &m_dialogs;
        env.aboutWindow = &m_about;
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

    // A value out of range shows red (and keeps the parameters from being written).
    view.clickButtonBarItem(QStringLiteral("0"));
    if (view.clickTab(QStringLiteral("KEY:5")) && view.typeInto(2, QStringLiteral("9")))
        camera.take(view, prefix + QStringLiteral("configuration-nv-timing-invalid"));
}

// The arrangements of the calibration pages, each on a device of its own in a network of
// command modules of one template (one whose knob page is offered), which differ in what
// decides the arrangement: the application version against ApbVersionNewCalib, a sensor
// calibration on record, and the command (only the configure command reads the push-button
// panel, which makes the knob calibration the centre one).
const QString ArrangementsNetwork = QStringLiteral("Calibration");

struct Arrangement
{
    const char *name;
    int commandId;
    double applicationVersion; // 0: the template's
    bool calibrated;
};
const Arrangement Arrangements[] = {
    {"two-stop", 14, 1.9, false},
    {"reset", 14, 0, false},
    {"reset-copy", 14, 0, true},
    {"centre", 13, 0, false},
};

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
    for (int i = 0; i < int(std::size(Arrangements)); ++i) {
        const QString object = QStringLiteral("%1.Building A.%2.CommandModule").arg(ArrangementsNetwork, arrangementDevice(i));
        WindowSession session(object, Arrangements[i].commandId, language);
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
            camera.take(dialog, name);
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

} // namespace

int main(int argc, char *argv[])
{
    unattended::dropPlatformRemarks();
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: tqm-screenshots DIR [TEMPLATE ...]   (TQM_HOME: where the pictures' network is made)\n");
        return 2;
    }
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
