// tqm-screenshots DIR [TEMPLATE ...]: pictures of the configure window. In the object server home
// (TQM_HOME, best a fresh one) it creates a demo network with one command module per device
// template, runs the configure command on each of them (or on those of the templates named) in
// English and in German with the real window, clicks
// through every view and tab as a user would, and saves each page as
//     DIR/<template>-<lang>-<view>-<page>.png
// Beside those: the temperature difference with a value out of range (red), as
// <template>-<lang>-configuration-nv-timing-invalid.png. Each path is printed on its own line.
// Meant for the offscreen platform: no screen is needed, nothing is shown.

#include "host/host.h"
#include "lns/desktopseams.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/homedir.h"
#include "lns/registryaccess.h"
#include "lns/statuswindow.h"
#include "lns/unattended.h"
#include "session/settings.h"
#include "strings/resstrings.h"
#include "widgets/qtmainwindowview.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
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
        const QString path = QDir(m_directory).filePath(name + QStringLiteral(".png"));
        if (!view.window()->grab().save(path))
            throw TqmError(TqmError::FileAccess, QStringLiteral("tqm-screenshots"),
                           QStringLiteral("Cannot write %1.").arg(path));
        std::printf("%s\n", qPrintable(path));
        std::fflush(stdout);
    }

private:
    QString m_directory;
};

// The configure command on one device in one language, every page of it photographed.
void photographDevice(const QString &objectName, const QString &templateName, int language, Photographer &camera)
{
    RegistryAccess registry;
    settings::writeLanguage(registry, qint16(language));

    widgets::QtMainWindowView view(false);
    UnattendedDialogs dialogs;
    RecordingStatusWindow status;
    UnattendedAboutWindow about;
    DesktopHelpViewer help;
    HostEnvironment env;
    env.programDirectory = QCoreApplication::applicationDirPath();
    env.programFileName = QStringLiteral("tqm-screenshots");
    env.dialogs = &dialogs;
    env.statusWindow = &status;
    env.aboutWindow = &about;
    env.helpViewer = &help;
    env.view = &view;
    env.objectServerProvider = [] { return embedded::EmbeddedObjectServer::create(tqmHome()); };
    env.applyLanguage = [](qint16 chosen) { setLanguage(chosen); };
    PlugInHost host(env);
    host.Main(QStringLiteral("/CLASSID:28/COMMANDID:13/OBJECTNAME:") + objectName);
    if (host.ended() || !view.isWindowVisible())
        throw TqmError(TqmError::LnsInvalidOperation, QStringLiteral("tqm-screenshots"),
                       QStringLiteral("The configure command on %1 did not open its window.").arg(objectName));

    const QString prefix = templateName + (language == ResStrings::German ? QStringLiteral("-de-") : QStringLiteral("-en-"));
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
    host.EndApp();
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
        embedded::createDemoNetwork(tqmHome(), Network, int(templates.size()), ini, true);
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
        }
    } catch (const TqmError &error) {
        std::fprintf(stderr, "tqm-screenshots: %s\n", error.what());
        return 1;
    }
    return 0;
}
