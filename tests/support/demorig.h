#pragma once

// The product's demo network in a temporary home, opened on a manual clock: a device per
// template of the plug-in INI file, round and round (CM 1.01 is TQM_CM_L1 ... CM 1.05 TQM_CM_L5,
// CM 1.06 TQM_CM_STD, CM 2.01 TQM_CM_L1 ...), the session on its network, scripted dialogs and
// a memory logger. The INI file is the shipped one, or a copy with lines replaced and lines
// added to its CP section.

#include "lns/embedded/embeddedobjectserver.h"
#include "lns/inifile.h"
#include "lns/logger.h"
#include "lns/product.h"
#include "lns/timer.h"
#include "lns/userdialogs.h"
#include "params/cpaccess.h"
#include "session/services.h"
#include "session/session.h"
#include "strings/resstrings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Lines of the shipped plug-in INI file and their replacements.
using IniEdits = QList<QPair<QString, QString>>;

class DemoRig
{
public:
    static inline const QString Network = QStringLiteral("Demo");

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

    // The session on the device's command-module object, for the command.
    void select(const QString &deviceName, int commandIndex)
    {
        session.appDevice = device(deviceName);
        session.lonMarkObject = module(deviceName);
        session.deviceTemplate = session.appDevice->deviceTemplate()->name();
        session.deviceName = deviceName;
        session.lonMarkObjectName = session.lonMarkObject->name();
        session.commandIndex = commandIndex;
    }

    Services servicesBundle()
    {
        Services bundle;
        bundle.session = &session;
        bundle.dialogs = &dialogs;
        bundle.logger = &logger;
        bundle.iniFile = &ini;
        bundle.clock = clock;
        return bundle;
    }

    QTemporaryDir dir;
    ManualClock clock;
    ManualTimerFactory timers{clock};
    IniFile ini;
    embedded::EmbeddedObjectServerPtr server;
    SessionState session;
    MemoryLogger logger;
    ScriptedDialogs dialogs;

protected:
    // A network of `devices` on the INI file; the server runs the monitor engine on the rig's
    // timers when `withTimers`.
    DemoRig(int devices, const IniEdits &edits, const QByteArray &cpLines, bool withTimers)
    {
        QVERIFY2(dir.isValid(), "no temporary directory");
        setLanguage(ResStrings::English);
        ini.setFileName(iniFile(edits, cpLines));
        QVERIFY2(ini.problems().isEmpty(), qPrintable(ini.problems().join('\n')));
        copyDemoNetwork(devices);
        server = withTimers ? embedded::EmbeddedObjectServer::create(dir.path(), clock, timers)
                            : embedded::EmbeddedObjectServer::create(dir.path(), clock);
        server->open(lns::ConnectionMode::Local);
        session.network = server->network(Network);
        session.system = session.network->systems()->item(1);
    }

private:
    QString iniFile(const IniEdits &edits, const QByteArray &cpLines) const
    {
        const QString shipped = qEnvironmentVariable("TQM_TEST_SOURCE_DIR") + QStringLiteral("/resources/TqmCmdModule.ini");
        if (edits.isEmpty() && cpLines.isEmpty())
            return shipped;
        QFile file(shipped);
        if (!file.open(QIODevice::ReadOnly))
            qFatal("no plug-in INI file");
        QString text = QString::fromUtf8(file.readAll());
        for (const auto &[line, replacement] : edits) {
            if (!text.contains(line))
                qFatal("no line \"%s\" in the INI file", qPrintable(line));
            text.replace(line, replacement);
        }
        if (!cpLines.isEmpty())
            text += QStringLiteral("\n[%1]\n%2\n").arg(product::CpSection, QString::fromUtf8(cpLines));
        QFile edited(dir.filePath(QStringLiteral("TqmCmdModule.ini")));
        if (!edited.open(QIODevice::WriteOnly))
            qFatal("cannot write the edited INI file");
        edited.write(text.toUtf8());
        return edited.fileName();
    }

    // One demo network per size for every rig of the process, copied.
    void copyDemoNetwork(int devices)
    {
        static QMap<int, QString> made;
        static std::list<QTemporaryDir> homes;
        if (!made.contains(devices)) {
            homes.emplace_back();
            embedded::createDemoNetwork(homes.back().path(), Network, devices, ini.fileName());
            made.insert(devices, homes.back().path());
        }
        const QString file = QStringLiteral("/networks/") + Network + QStringLiteral(".tqmnet");
        QDir().mkpath(dir.path() + QStringLiteral("/networks"));
        QVERIFY(QFile::copy(made.value(devices) + file, dir.path() + file));
    }
};
