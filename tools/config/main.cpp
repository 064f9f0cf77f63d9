// tqm-config: the command module's configuration from scripts. Reads devices into parameter set
// files, shows and compares sets, writes a set to many devices and runs the calibration passes
// on many devices, all through the plug-in's own configuration code.
//
// The sub-command comes first; its arguments and options follow it. The environment is read
// here only: TQM_HOME (networks and settings, default ~/.local/share/tqm).

#include "common/commandtable.h"
#include "configtool.h"
#include "lns/homedir.h"
#include "lns/objectname.h"
#include "lns/product.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QRegularExpression>

#include <functional>
#include <unistd.h>

namespace {

const char Overview[] =
    "Usage: tqm-config COMMAND ARGUMENTS... [OPTIONS]\n"
    "  read OBJECT [-o FILE]            read the device and write its parameter set file (standard\n"
    "                                   output without -o), as the window's \"Save to file\" writes it\n"
    "  show OBJECT|FILE [--json]        every parameter: name, value and unit as the window shows them\n"
    "  diff A B [--json]                the parameters that differ, old -> new; exit 0 equal, 1 different\n"
    "  write FILE [OBJECT...] [--network NAME --all] [--match GLOB] [--dry-run] [--json]\n"
    "        [--retry-failed RESULTS.json] [--ignore-unknown]\n"
    "                                   the set of FILE to every device, one transaction each; one result\n"
    "                                   line per device; exit 0 only when every device was written\n"
    "  copy-calibration OBJECT --to OBJECT... [--network NAME --all] [--match GLOB] [--json]\n"
    "                                   copy OBJECT's final sensor calibration to the devices\n"
    "  reset-knob OBJECT... [--network NAME --all] [--match GLOB] [--json]\n"
    "                                   reset (or centre) the knob calibration; the first device decides\n"
    "                                   the procedure and which devices are accepted\n"
    "  --help, --version                (COMMAND --help: that command's arguments and options)\n"
    "OBJECT is an object name as `tqm-netdb list` prints it (Network.Level.Device.LonMarkObject) or a\n"
    "device's object name; a FILE is a parameter set file (*.dat). Networks live in $TQM_HOME/networks\n"
    "(default ~/.local/share/tqm/networks); texts are in the language set for the plug-in.\n";

using toolio::err;
using toolio::out;
using toolio::usageError;
using toolio::UsageError;

// The plug-in INI file: --ini, else the plug-in's own (beside this program in a build, in the
// plug-in's program directory when installed), else the built-in copy.
QString iniPath(const QCommandLineParser &parser)
{
    if (parser.isSet(QStringLiteral("ini")))
        return parser.value(QStringLiteral("ini"));
    const QDir programDirectory(QCoreApplication::applicationDirPath());
    for (const QString &candidate :
         {programDirectory.filePath(product::PlugInIniFileName),
          programDirectory.filePath(QStringLiteral("../lib/tqm-cmdmodule/") + product::PlugInIniFileName)})
        if (QFileInfo::exists(candidate))
            return candidate;
    return QStringLiteral(":/TqmCmdModule.ini");
}

// The objects a command works on: those named, those of --network NAME --all, narrowed by
// --match GLOB (on the object name or the device name).
QStringList objectsOf(const QCommandLineParser &parser, configtool::ConfigTool &tool, QStringList named)
{
    const bool all = parser.isSet(QStringLiteral("all"));
    if (all != parser.isSet(QStringLiteral("network")))
        throw UsageError{QStringLiteral("--all and --network NAME go together")};
    if (all)
        named += tool.allObjects(parser.value(QStringLiteral("network")));
    if (parser.isSet(QStringLiteral("match"))) {
        const QRegularExpression glob(QRegularExpression::wildcardToRegularExpression(
            parser.value(QStringLiteral("match"))));
        named.removeIf([&](const QString &object) {
            QString device;
            try {
                device = objectname::split(object).value(objectname::split(object).size() - 2);
            } catch (const TqmError &) {
            }
            return !glob.match(object).hasMatch() && !glob.match(device).hasMatch();
        });
    }
    return named;
}

struct Command
{
    QString name;
    QString arguments; // for the help text
    QString description;
    QList<QCommandLineOption> options;
    std::function<int(const QCommandLineParser &, configtool::ConfigTool &, const QStringList &)> run;

    // Every command also takes --json and --ini.
    toolcommands::CommandLine line() const
    {
        return {name, description, name + QLatin1Char(' ') + arguments, {},
                options
                    + QList<QCommandLineOption>{
                        {QStringLiteral("json"), QStringLiteral("Results as one JSON document (schema: README).")},
                        {QStringLiteral("ini"), QStringLiteral("The plug-in INI file (default: the plug-in's)."),
                         QStringLiteral("FILE")}}};
    }
};

QList<QCommandLineOption> selectionOptions()
{
    return {{QStringLiteral("network"), QStringLiteral("With --all: the network."), QStringLiteral("NAME")},
            {QStringLiteral("all"), QStringLiteral("Every command module of --network.")},
            {QStringLiteral("match"), QStringLiteral("Only objects or devices whose name matches (*, ?, [...])."),
             QStringLiteral("GLOB")}};
}

const QList<Command> &commandTable()
{
    static const QList<Command> table{
        {QStringLiteral("read"), QStringLiteral("OBJECT"), QStringLiteral("Read the device into a parameter set file."),
         {{{QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("The file (default: standard output)."),
           QStringLiteral("FILE")}},
         [](const QCommandLineParser &parser, configtool::ConfigTool &tool, const QStringList &arguments) {
             if (arguments.size() != 1)
                 throw UsageError{QStringLiteral("read takes one OBJECT")};
             return tool.read(arguments.first(), parser.value(QStringLiteral("output")));
         }},
        {QStringLiteral("show"), QStringLiteral("OBJECT|FILE"), QStringLiteral("Every parameter as the window shows it."),
         {},
         [](const QCommandLineParser &, configtool::ConfigTool &tool, const QStringList &arguments) {
             if (arguments.size() != 1)
                 throw UsageError{QStringLiteral("show takes one OBJECT or FILE")};
             return tool.show(arguments.first());
         }},
        {QStringLiteral("diff"), QStringLiteral("A B"), QStringLiteral("The parameters that differ between two sets."),
         {},
         [](const QCommandLineParser &, configtool::ConfigTool &tool, const QStringList &arguments) {
             if (arguments.size() != 2)
                 throw UsageError{QStringLiteral("diff takes two OBJECTs or FILEs")};
             return tool.diff(arguments.at(0), arguments.at(1));
         }},
        {QStringLiteral("write"), QStringLiteral("FILE [OBJECT...]"), QStringLiteral("Write the set to many devices."),
         selectionOptions()
             + QList<QCommandLineOption>{
                 {QStringLiteral("dry-run"), QStringLiteral("Print what would change on each device; write nothing.")},
                 {QStringLiteral("ignore-unknown"),
                  QStringLiteral("Write even when the set holds keys no parameter has, or empty values.")},
                 {QStringLiteral("retry-failed"), QStringLiteral("Only the devices that failed in these --json results."),
                  QStringLiteral("RESULTS.json")}},
         [](const QCommandLineParser &parser, configtool::ConfigTool &tool, const QStringList &arguments) {
             if (arguments.isEmpty())
                 throw UsageError{QStringLiteral("write needs the FILE")};
             QStringList objects = objectsOf(parser, tool, arguments.mid(1));
             if (parser.isSet(QStringLiteral("retry-failed"))) {
                 const QStringList failed =
                     configtool::ConfigTool::failedObjectsOfFile(parser.value(QStringLiteral("retry-failed")));
                 // Objects named as well narrow the retry to those of them that failed.
                 const QStringList named = objects;
                 objects = failed;
                 if (!named.isEmpty())
                     objects.removeIf([&](const QString &object) { return !named.contains(object); });
                 if (objects.isEmpty()) {
                     out() << "no device failed\n";
                     return 0;
                 }
             }
             if (objects.isEmpty())
                 throw UsageError{QStringLiteral("write names no device (OBJECT..., --network NAME --all or --retry-failed)")};
             tool.setIgnoreUnknown(parser.isSet(QStringLiteral("ignore-unknown")));
             return tool.write(arguments.first(), objects, parser.isSet(QStringLiteral("dry-run")));
         }},
        {QStringLiteral("copy-calibration"), QStringLiteral("OBJECT --to OBJECT..."),
         QStringLiteral("Copy the device's final sensor calibration to other devices."),
         selectionOptions() + QList<QCommandLineOption>{{QStringLiteral("to"), QStringLiteral("A device to copy to."),
                                                         QStringLiteral("OBJECT")}},
         [](const QCommandLineParser &parser, configtool::ConfigTool &tool, const QStringList &arguments) {
             if (arguments.isEmpty())
                 throw UsageError{QStringLiteral("copy-calibration needs the OBJECT to copy from")};
             const QStringList targets =
                 objectsOf(parser, tool, parser.values(QStringLiteral("to")) + arguments.mid(1));
             if (targets.isEmpty())
                 throw UsageError{QStringLiteral("copy-calibration needs --to OBJECT...")};
             return tool.copyCalibration(arguments.first(), targets);
         }},
        {QStringLiteral("reset-knob"), QStringLiteral("OBJECT..."),
         QStringLiteral("Reset (or centre) the turning-knob calibration of devices."), selectionOptions(),
         [](const QCommandLineParser &parser, configtool::ConfigTool &tool, const QStringList &arguments) {
             const QStringList objects = objectsOf(parser, tool, arguments);
             if (objects.isEmpty())
                 throw UsageError{QStringLiteral("reset-knob needs an OBJECT")};
             return tool.resetKnob(objects);
         }},
    };
    return table;
}

// The scripted multi-device window names the picks it did not offer; the tool reports them as
// skipped devices instead.
void quietPickWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("TQM_PICK_DEVICES")))
        return;
    err() << message << '\n';
    err().flush();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    toolio::nameProgram(QStringLiteral("tqm-config"));
    qInstallMessageHandler(quietPickWarnings);
    const QStringList arguments = QCoreApplication::arguments();
    const QString first = arguments.value(1);
    if (const std::optional<int> answered = toolio::answerWithoutCommand(first, QString::fromUtf8(Overview)))
        return *answered;
    const Command *command = toolcommands::named(commandTable(), first);
    if (!command)
        return toolcommands::unknownCommand(first);
    QCommandLineParser parser;
    if (const std::optional<int> answered = toolcommands::parse(parser, command->line(), arguments))
        return *answered;

    configtool::Setup setup;
    setup.home = tqmHome(qEnvironmentVariable("TQM_HOME"));
    setup.iniPath = iniPath(parser);
    setup.json = parser.isSet(QStringLiteral("json"));
    setup.progress = isatty(STDERR_FILENO) == 1;
    return toolcommands::reportingFailures(
        [&] {
            if (!QFileInfo::exists(setup.iniPath))
                throw TqmError(TqmError::FileNotFound, QStringLiteral("tqm-config"),
                               QStringLiteral("There is no plug-in INI file %1.").arg(setup.iniPath));
            configtool::ConfigTool tool(setup, out(), err());
            const int code = command->run(parser, tool, parser.positionalArguments().mid(1));
            out().flush();
            return code;
        },
        [&](const QString &text) { return usageError(command->name, text); });
}
