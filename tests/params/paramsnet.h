#pragma once

// A small network in the embedded object server for the parameter-model tests: one device
// with CPs of the shapes the byte-window rules care about, a LonMark object with a CP of its
// own and one on its network variable, and a plug-in INI file that maps names to them.

#include "lns/embedded/embeddedobjectserver.h"
#include "lns/inifile.h"
#include "lns/product.h"
#include "params/cpaccess.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>

class ParamsNet
{
public:
    static inline const QString Template = QStringLiteral("TST_PARAMS");

    ParamsNet()
    {
        QVERIFY2(m_dir.isValid(), "no temporary directory");
        embedded::createNetwork(m_dir.path(), networkSpec());
        server = embedded::EmbeddedObjectServer::create(m_dir.path());
        server->open(lns::ConnectionMode::Local);
        device = server->appDevice(QStringLiteral("Params.Site.Dev"));
        module = server->lonMarkObject(QStringLiteral("Params.Site.Dev.Module"));
        writeIniFile();
    }

    lns::ConfigPropertyPtr deviceCp(const QString &name) const { return device->configProperties()->item(name); }

    static QString raw(const lns::ConfigPropertyPtr &cp) { return cpaccess::readRawText(*cp); }
    static void setRaw(const lns::ConfigPropertyPtr &cp, const QString &text) { cpaccess::writeRawText(*cp, text); }

    embedded::EmbeddedObjectServerPtr server;
    lns::AppDevicePtr device;
    lns::LonMarkObjectPtr module;
    IniFile ini;

private:
    static QJsonObject cp(const char *name, int elementLength, int dimension = 1, const char *type = "UCPTtest")
    {
        return QJsonObject{{"name", name}, {"type", type}, {"elementLength", elementLength}, {"dimension", dimension}};
    }

    static QJsonObject networkSpec()
    {
        QJsonObject cp4 = cp("Cp4", 4);
        cp4.insert("default", "10\t20\t30\t40");
        const QJsonArray deviceCps = {cp4, cp("Cp2", 2), cp("Cp5", 5), cp("Cp6", 6), cp("Arr", 2, 3),
                                      cp("Cp1", 1), cp("Temp", 2, 1, "SCPTminDeltaTemp")};
        const QJsonObject nv{{"name", "nvoTemp"}, {"type", "SNVT_temp_p"}, {"direction", "output"},
                             {"configProperties", QJsonArray{cp("NvCp", 2)}}};
        const QJsonObject module{{"name", "Module"}, {"type", 8090},
                                 {"configProperties", QJsonArray{cp("LmoCp", 2), cp("LmoCp1", 1)}},
                                 {"networkVariables", QJsonArray{nv}}};
        const QJsonObject node{{"name", "NodeObject"}, {"type", 0}};
        const QJsonObject tmpl{{"name", Template}, {"programId", "90:00:5D:00:00:00:00:01"},
                               {"applicationVersion", 1.0}, {"configProperties", deviceCps},
                               {"lonMarkObjects", QJsonArray{node, module}}};
        const QJsonObject dev{{"name", "Dev"}, {"template", tmpl}, {"online", true}};
        return QJsonObject{{"name", "Params"},
                           {"subsystems", QJsonArray{QJsonObject{{"path", "Site"}, {"devices", QJsonArray{dev}}}}}};
    }

    void writeIniFile()
    {
        const QString path = m_dir.filePath(product::PlugInIniFileName);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Text));
        file.write("[" + product::CpSection.toUtf8() + "]\n"
                   "Cp4 = 1,0,0\n"
                   "Cp2 = 2,0,0\n"
                   "LmoCp = 1,0,0\n"
                   "NvCp = 1,1,0\n"
                   "DevLmoCp = 2,2,0\n"
                   "DevNvCp = 1,2,1\n"
                   "BadObject = 1,7,0\n"
                   "BadNv = 1,2,5\n"
                   "BadCp = 9,0,0\n"
                   "ObjectsOwnCp = 2,0,0\n"
                   "[" + product::NvSection.toUtf8() + "]\n"
                   "nvoTemp = 1,2\n"
                   "NoNv = 3,2\n"
                   "ZeroNv = 0,2\n");
        file.close();
        ini.setFileName(path);
        QVERIFY2(ini.problems().isEmpty(), qPrintable(ini.problems().join('\n')));
    }

    QTemporaryDir m_dir;
};
