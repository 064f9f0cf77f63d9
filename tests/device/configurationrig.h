#pragma once

// The demo network with the command-module configuration of one of its devices opened as the
// plug-in opens it: session handles, the shipped plug-in INI file, an in-memory main window,
// a memory logger, scripted dialogs and a manual clock. The demo network cycles through the
// INI file's templates: CM 1.01 is TQM_CM_L1, CM 1.02 TQM_CM_L2 ... CM 1.06 TQM_CM_STD; the
// TQM_CM_L4 devices are CM 1.04, CM 2.02, CM 2.08 and CM 3.06.

#include "device/cconfiguration.h"
#include "device/configurationwindow.h"
#include "session/session.h"
#include "strings/resstrings.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/inifile.h"
#include "lns/logger.h"
#include "lns/product.h"
#include "lns/userdialogs.h"
#include "params/cpaccess.h"
#include "support/pickingwindow.h"

#include <QTemporaryDir>
#include <QTest>

class ConfigurationRig
{
public:
    static inline const QString Network = QStringLiteral("Demo");

    // `iniLines` are added to the CP section of the shipped plug-in INI file.
    explicit ConfigurationRig(const QByteArray &iniLines = {})
    {
        QVERIFY2(dir.isValid(), "no temporary directory");
        setLanguage(ResStrings::English);
        const QString shipped = qEnvironmentVariable("TQM_TEST_SOURCE_DIR") + QStringLiteral("/resources/TqmCmdModule.ini");
        QString iniPath = shipped;
        if (!iniLines.isEmpty()) {
            iniPath = dir.filePath(QStringLiteral("TqmCmdModule.ini"));
            QFile original(shipped), copy(iniPath);
            QVERIFY(original.open(QIODevice::ReadOnly) && copy.open(QIODevice::WriteOnly));
            copy.write(original.readAll() + "\n[" + product::CpSection.toUtf8() + "]\n" + iniLines + "\n");
        }
        ini.setFileName(iniPath);
        QVERIFY2(ini.problems().isEmpty(), qPrintable(ini.problems().join('\n')));
        embedded::createDemoNetwork(dir.path(), Network, 24, ini.fileName());
        server = embedded::EmbeddedObjectServer::create(dir.path(), clock);
        server->open(lns::ConnectionMode::Local);
        session.network = server->network(Network);
        session.system = session.network->systems()->item(1);
        PickingWindow::requests.clear();
    }

    lns::AppDevicePtr device(const QString &name) const { return server->findDevice(Network, name); }
    lns::LonMarkObjectPtr module(const QString &deviceName) const
    {
        return device(deviceName)->lonMarkObjects()->item(QStringLiteral("CommandModule"));
    }
    static QString raw(const lns::LonMarkObjectPtr &object, const QString &cpName)
    {
        return cpaccess::readRawText(*object->configProperties()->item(cpName));
    }
    static void setRaw(const lns::LonMarkObjectPtr &object, const QString &cpName, const QString &value)
    {
        cpaccess::writeRawText(*object->configProperties()->item(cpName), value);
    }
    // Every CP value of the object and of its device, for comparing byte for byte.
    static QStringList snapshot(const lns::LonMarkObjectPtr &object)
    {
        QStringList values;
        for (const auto &cp : object->configProperties()->items())
            values.append(cp->name() + QLatin1Char('=') + cpaccess::readRawText(*cp));
        for (const auto &cp : object->appDevice()->configProperties()->items())
            values.append(cp->name() + QLatin1Char('=') + cpaccess::readRawText(*cp));
        return values;
    }

    // Opens `deviceName` for the command and creates its configuration (FetchCPs not yet run).
    cConfiguration &open(const QString &deviceName, int commandIndex = 1, QStringList picks = {})
    {
        session.appDevice = device(deviceName);
        session.lonMarkObject = module(deviceName);
        session.deviceTemplate = session.appDevice->deviceTemplate()->name();
        session.commandIndex = commandIndex;
        configuration = std::make_unique<cConfiguration>(services, window,
                                                         [picks] { return std::make_unique<PickingWindow>(picks); });
        return *configuration;
    }

    // The configuration as the main window starts it: table built and read with controls quiet.
    cConfiguration &openAndRead(const QString &deviceName, QStringList picks = {})
    {
        cConfiguration &config = open(deviceName, 1, picks);
        window.setUpdatingControls(true);
        config.FetchCPs();
        config.ReadSettings();
        window.setUpdatingControls(false);
        window.routeTo(*config.Parameters(), [this] { session.parametersChangedFlag = true; });
        return config;
    }

    QStringList logTexts() const { return logger.texts(); }
    QStringList redTexts() const
    {
        QStringList red;
        for (const LogViewLine &line : logger.lines)
            if (line.colour == logcolour::Red)
                red.append(line.text);
        return red;
    }

    QTemporaryDir dir;
    ManualClock clock;
    IniFile ini;
    embedded::EmbeddedObjectServerPtr server;
    SessionState session;
    MemoryConfigurationWindow window;
    MemoryLogger logger;
    ScriptedDialogs dialogs;
    Services services = [this] {
        Services bundle;
        bundle.session = &session;
        bundle.dialogs = &dialogs;
        bundle.logger = &logger;
        bundle.iniFile = &ini;
        bundle.clock = clock;
        return bundle;
    }();
    std::unique_ptr<cConfiguration> configuration;
};
