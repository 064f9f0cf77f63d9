#pragma once

// The command-module configuration of a device of the demo network (support/demorig.h, 24
// devices; the TQM_CM_L4 devices are CM 1.04, CM 2.02, CM 2.08 and CM 3.06) opened as the
// plug-in opens it, on an in-memory configuration window.

#include "device/cconfiguration.h"
#include "device/configurationwindow.h"
#include "support/demorig.h"
#include "support/pickingwindow.h"

class ConfigurationRig : public DemoRig
{
public:
    // `iniLines` are added to the CP section of the shipped plug-in INI file.
    explicit ConfigurationRig(const QByteArray &iniLines = {}) : DemoRig(24, {}, iniLines, false)
    {
        PickingWindow::requests.clear();
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
        select(deviceName, commandIndex);
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

    QStringList redTexts() const
    {
        QStringList red;
        for (const LogViewLine &line : logger.lines)
            if (line.colour == logcolour::Red)
                red.append(line.text);
        return red;
    }

    MemoryConfigurationWindow window;
    Services services = servicesBundle();
    std::unique_ptr<cConfiguration> configuration;
};
