#include "configtool.h"

#include "calibration/knobcalibration.h"
#include "calibration/pagearrangement.h"
#include "calibration/sensorcalibration.h"
#include "device/devicescan.h"
#include "device/shownparameters.h"
#include "host/windowlessconfiguration.h"
#include "lns/product.h"
#include "lns/timer.h"
#include "params/cparam.h"
#include "params/cparams.h"
#include "session/settings.h"
#include "strings/resstrings.h"
#include "transfer/paramsetfile.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <optional>

namespace configtool {

namespace {

const QString SettingsSection = QStringLiteral("Settings");
const QString NotAvailable = QStringLiteral("not available");

QString shownText(const device::ShownParameter &parameter)
{
    return parameter.available ? (parameter.value + QLatin1Char(' ') + parameter.unit).trimmed() : NotAvailable;
}

QJsonObject toJson(const device::ShownParameter &parameter)
{
    QJsonObject entry{{"name", parameter.name}, {"available", parameter.available}};
    if (parameter.available) {
        entry.insert("value", parameter.value);
        entry.insert("unit", parameter.unit);
        entry.insert("stored", parameter.stored);
    }
    return entry;
}

QJsonObject toJson(const Change &change)
{
    return {{"name", change.name}, {"old", change.oldValue}, {"new", change.newValue}};
}

// The parameters of `b` whose stored value (or availability) differs from `a`'s, among those
// both sets have; `only` narrows them further when given.
QList<Change> changesBetween(const QList<device::ShownParameter> &a, const QList<device::ShownParameter> &b,
                             const std::optional<QStringList> &only = std::nullopt)
{
    QHash<QString, device::ShownParameter> before;
    for (const auto &parameter : a)
        before.insert(parameter.name, parameter);
    QList<Change> changes;
    for (const auto &after : b) {
        const auto found = before.constFind(after.name);
        if (found == before.cend() || (only && !only->contains(after.name)))
            continue;
        if (found->available == after.available && found->stored == after.stored)
            continue;
        Change change{after.name, shownText(*found), shownText(after)};
        // Two values a list shows alike (or a value no list holds) still differ.
        if (change.oldValue == change.newValue) {
            change.oldValue += QStringLiteral(" (%1)").arg(found->stored);
            change.newValue += QStringLiteral(" (%1)").arg(after.stored);
        }
        changes.append(change);
    }
    return changes;
}

} // namespace

QString statusName(DeviceResult::Status status)
{
    switch (status) {
    case DeviceResult::Status::Written:
        return QStringLiteral("written");
    case DeviceResult::Status::Done:
        return QStringLiteral("done");
    case DeviceResult::Status::Failed:
        return QStringLiteral("failed");
    case DeviceResult::Status::Skipped:
        return QStringLiteral("skipped");
    case DeviceResult::Status::Planned:
        break;
    }
    return QStringLiteral("planned");
}

struct OpenedDevice
{
    QString source; // the object name, or the file the set came from
    QString file;   // the file whose set this is; empty for a device's own set
    lns::ObjectServerPtr ownServer; // a file's device
    std::unique_ptr<WindowlessConfiguration> rig;

    DeviceSession &session() const { return rig->session(); }
    cConfiguration &configuration() const { return rig->configuration(); }

    // The set as the window shows it; a file's set holds only the parameters the file gives.
    QList<device::ShownParameter> shown() const
    {
        QList<device::ShownParameter> all = device::shownParameters(rig->parameters());
        if (!file.isEmpty()) {
            const IniFile values(file);
            all.removeIf([&](const device::ShownParameter &p) { return values.GetValue(SettingsSection, p.name).isEmpty(); });
        }
        return all;
    }
};

ConfigTool::ConfigTool(Setup setup, QTextStream &out, QTextStream &err)
    : m_setup(std::move(setup)), m_out(out), m_err(err), m_ini(m_setup.iniPath),
      m_registry(std::make_unique<RegistryAccess>(m_setup.home))
{
    // The session's language is the plug-in's: what the window would show, the tool prints.
    m_language = settings::readLanguage(*m_registry);
    setLanguage(m_language);
}

ConfigTool::~ConfigTool() = default;

embedded::EmbeddedObjectServer &ConfigTool::server()
{
    if (!m_server) {
        m_server = embedded::EmbeddedObjectServer::create(m_setup.home);
        m_server->open(lns::ConnectionMode::Local);
    }
    return *m_server;
}

DeviceSessionParts ConfigTool::parts()
{
    DeviceSessionParts parts;
    parts.dialogs = &m_dialogs;
    parts.logger = &m_logger;
    parts.iniFile = &m_ini;
    parts.registry = m_registry.get();
    parts.language = m_language;
    // An error of a workflow step becomes a red line: the device's reason.
    parts.handleError = [this](const TqmError &error, const QString &, const QString &) {
        m_logger.addLogLine(error.description(), logcolour::Red);
        return ErrorAnswer::Leave;
    };
    return parts;
}

// A device's object name, or the object name of a device's command module.
lns::LonMarkObjectPtr ConfigTool::lonMarkObject(const QString &object)
{
    if (const auto known = m_resolved.constFind(object); known != m_resolved.cend())
        return known->first;
    lns::LonMarkObjectPtr lmo = findLonMarkObject(object);
    m_resolved.insert(object, {lmo, embedded::objectName(lmo)});
    return lmo;
}

QString ConfigTool::objectNameOf(const QString &object)
{
    lonMarkObject(object);
    return m_resolved.value(object).second;
}

lns::LonMarkObjectPtr ConfigTool::findLonMarkObject(const QString &object)
{
    lns::ObjectPtr found;
    try {
        found = server().objectByName(object);
    } catch (const TqmError &) {
    }
    if (found && found->classId() == lns::LonMarkObjectClass)
        return std::dynamic_pointer_cast<lns::LonMarkObject>(found);
    if (auto device = std::dynamic_pointer_cast<lns::AppDevice>(found)) {
        if (const lns::LonMarkObjectPtr commandModule = embedded::commandModuleOf(device))
            return commandModule;
        throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("tqm-config"),
                       QStringLiteral("\"%1\": the device has no command-module object.").arg(object));
    }
    throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("tqm-config"),
                   QStringLiteral("\"%1\": there is no such LonMark object or device (tqm-netdb list NETWORK names them).")
                       .arg(object));
}

std::unique_ptr<OpenedDevice> ConfigTool::open(const QString &object, int commandIndex)
{
    auto opened = std::make_unique<OpenedDevice>();
    const QString name = objectNameOf(object);
    opened->source = name;
    opened->rig = std::make_unique<WindowlessConfiguration>([this] { return m_server; }, name, commandIndex, parts());
    if (!opened->session().restoreNote().isEmpty())
        m_err << opened->session().restoreNote() << Qt::endl;
    return opened;
}

void ConfigTool::readSet(OpenedDevice &opened)
{
    const qsizetype mark = m_logger.mark();
    opened.rig->readSettings();
    const QStringList problems = m_logger.redSince(mark);
    if (!problems.isEmpty())
        throw TqmError(TqmError::LnsDeviceNotResponding, QStringLiteral("tqm-config"),
                       QStringLiteral("%1: the set could not be read: %2").arg(opened.source, problems.join(QStringLiteral("; "))));
}

QString ConfigTool::loadFile(OpenedDevice &opened, const QString &file, DeviceResult::Status *refusal)
{
    *refusal = DeviceResult::Status::Failed;
    const QString programId = opened.session().state().appDevice->programId();
    cParamEnums::eLoadFromFileErrors result = cParamEnums::LE_NO_ERROR;
    const qsizetype mark = m_logger.mark();
    try {
        opened.rig->asProgram([&] {
            result = transfer::ParamSetFile(opened.rig->parameters())
                         .LoadFromFile(file, m_ini, product::PlugInName, programId, product::DataFileVersion);
            opened.configuration().SetHeartbeatLocks();
        });
    } catch (const TqmError &error) {
        return QString(error.description()).replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    }
    m_setRemarks.clear();
    for (const LogViewLine &line : m_logger.linesSince(mark))
        if (line.colour != logcolour::Red && line.text.startsWith(file))
            m_setRemarks.append(line.text);
    switch (result) {
    case cParamEnums::LE_NO_ERROR:
        return {};
    case cParamEnums::LE_WRONG_PLUGIN:
        return file + QStringLiteral(": ") + GetResString(1520, 1);
    case cParamEnums::LE_WRONG_DEVICE:
        *refusal = DeviceResult::Status::Skipped;
        return file + QStringLiteral(": ") + GetResString(1520, 2);
    default:
        return file + QStringLiteral(": ") + GetResString(1521);
    }
}

// A file's set needs a device to be shown on: its lists and units are the device template's.
// A device of the file's program id is made for it in a network of its own, so that showing a
// file touches no real device.
std::unique_ptr<OpenedDevice> ConfigTool::openFile(const QString &file)
{
    const QString programId = IniFile(file).GetValue(QStringLiteral("General"), QStringLiteral("ProgramId")).trimmed();
    QString deviceTemplate;
    for (int n = 1; n <= m_ini.TemplateEntryCount() && deviceTemplate.isEmpty(); ++n)
        if (m_ini.templateEntry(n).programId == programId)
            deviceTemplate = m_ini.templateEntry(n).deviceTemplate;
    if (!QFileInfo::exists(file))
        throw TqmError(TqmError::FileNotFound, QStringLiteral("tqm-config"),
                       QStringLiteral("%1: there is no such file or object.").arg(file));
    if (deviceTemplate.isEmpty())
        throw TqmError(TqmError::BadFileFormat, QStringLiteral("tqm-config"),
                       QStringLiteral("%1: the program id \"%2\" is not one of the plug-in's (%3).")
                           .arg(file, programId, m_ini.fileName()));
    if (!m_scratchHome)
        m_scratchHome = std::make_unique<QTemporaryDir>();
    static int files = 0;
    const QString network = QStringLiteral("File%1").arg(++files);
    embedded::createNetwork(m_scratchHome->path(),
                            QJsonObject{{"name", network},
                                        {"subsystems", QJsonArray{QJsonObject{
                                                           {"path", "Files"},
                                                           {"devices", QJsonArray{QJsonObject{{"name", "Set"},
                                                                                              {"template", deviceTemplate},
                                                                                              {"online", true}}}}}}}});
    const lns::ObjectServerPtr fileServer = embedded::EmbeddedObjectServer::create(m_scratchHome->path());
    fileServer->open(lns::ConnectionMode::Local);
    const QString object = embedded::objectName(embedded::commandModuleOf(
        std::static_pointer_cast<embedded::EmbeddedObjectServer>(fileServer)->findDevice(network, QStringLiteral("Set"))));

    auto opened = std::make_unique<OpenedDevice>();
    opened->source = file;
    opened->ownServer = fileServer;
    opened->rig = std::make_unique<WindowlessConfiguration>([fileServer] { return fileServer; }, object,
                                                            commands::Configure, parts(), QFileInfo(file).fileName());
    readSet(*opened);
    DeviceResult::Status refusal;
    const QString problem = loadFile(*opened, file, &refusal);
    if (!problem.isEmpty())
        throw TqmError(TqmError::BadFileFormat, QStringLiteral("tqm-config"), problem);
    opened->file = file;
    return opened;
}

std::unique_ptr<OpenedDevice> ConfigTool::openOperand(const QString &objectOrFile)
{
    if (QFileInfo(objectOrFile).isFile())
        return openFile(objectOrFile);
    // An absolute or ./ path, or a name with the set files' extension, was meant as a file.
    if (objectOrFile.startsWith(QLatin1Char('/')) || objectOrFile.startsWith(QStringLiteral("./"))
        || objectOrFile.endsWith(QStringLiteral(".dat"), Qt::CaseInsensitive))
        throw TqmError(TqmError::FileAccess, QStringLiteral("tqm-config"),
                       QStringLiteral("\"%1\": there is no such parameter set file.").arg(objectOrFile));
    auto opened = open(objectOrFile, commands::Configure);
    readSet(*opened);
    return opened;
}

// ---- read, show, diff ----

int ConfigTool::read(const QString &object, const QString &outputFile)
{
    auto opened = open(object, commands::Configure);
    readSet(*opened);
    const transfer::ParamSetFile set(*opened->configuration().Parameters());
    const QString programId = opened->session().state().appDevice->programId();
    if (outputFile.isEmpty() || outputFile == QLatin1String("-")) {
        m_out.flush();
        QFile standardOutput;
        if (!standardOutput.open(stdout, QIODevice::WriteOnly)
            || standardOutput.write(set.fileBytes(product::PlugInName, programId, product::DataFileVersion)) < 0)
            throw TqmError(TqmError::FileAccess, QStringLiteral("tqm-config"), QStringLiteral("standard output could not be written"));
        return 0;
    }
    if (!set.WriteToFile(outputFile, product::PlugInName, programId, product::DataFileVersion))
        throw TqmError(TqmError::FileAccess, QStringLiteral("tqm-config"),
                       QStringLiteral("%1: %2").arg(outputFile, GetResString(1523)));
    return 0;
}

int ConfigTool::show(const QString &objectOrFile)
{
    const auto opened = openOperand(objectOrFile);
    const QList<device::ShownParameter> shown = opened->shown();
    if (m_setup.json) {
        QJsonArray parameters;
        for (const auto &parameter : shown)
            parameters.append(toJson(parameter));
        const SessionState &state = opened->session().state();
        const QJsonObject document{{"command", "show"},
                                   {"source", opened->source},
                                   {"programId", state.appDevice->programId()},
                                   {"template", state.deviceTemplate},
                                   {"language", m_language == 0 ? "en" : "de"},
                                   {"parameters", parameters}};
        m_out << QJsonDocument(document).toJson(QJsonDocument::Indented);
        return 0;
    }
    m_out << "parameter\tvalue\tunit\n";
    for (const auto &parameter : shown)
        m_out << parameter.name << '\t' << (parameter.available ? parameter.value : NotAvailable) << '\t'
              << parameter.unit << '\n';
    return 0;
}

int ConfigTool::diff(const QString &a, const QString &b)
{
    const auto first = openOperand(a);
    const auto second = openOperand(b);
    const QList<Change> changes = changesBetween(first->shown(), second->shown());
    if (m_setup.json) {
        QJsonArray list;
        for (const Change &change : changes)
            list.append(toJson(change));
        const QJsonObject document{{"command", "diff"},
                                   {"a", first->source},
                                   {"b", second->source},
                                   {"equal", changes.isEmpty()},
                                   {"changes", list}};
        m_out << QJsonDocument(document).toJson(QJsonDocument::Indented);
    } else {
        for (const Change &change : changes)
            m_out << change.name << ": " << change.oldValue << " \u2192 " << change.newValue << '\n';
    }
    return changes.isEmpty() ? 0 : 1;
}

// ---- write ----

QStringList ConfigTool::allObjects(const QString &network)
{
    QStringList objects;
    for (const embedded::DeviceEntry &device : embedded::listDevices(server().network(network)))
        if (!device.commandModuleName.isEmpty())
            objects.append(device.commandModuleName);
    return objects;
}

QStringList ConfigTool::failedObjects(const QJsonObject &results)
{
    QStringList failed;
    for (const QJsonValue &entry : results.value("devices").toArray())
        if (entry.toObject().value("status").toString() == statusName(DeviceResult::Status::Failed))
            failed.append(entry.toObject().value("object").toString());
    return failed;
}

QStringList ConfigTool::failedObjectsOfFile(const QString &path)
{
    const auto refuse = [&](const QString &why) {
        return TqmError(TqmError::BadFileFormat, QStringLiteral("tqm-config"), path + QStringLiteral(": ") + why);
    };
    // Only a regular file of a sensible size: a device or a pipe would be read for ever.
    const QFileInfo info(path);
    if (!info.exists())
        throw TqmError(TqmError::FileNotFound, QStringLiteral("tqm-config"), path + QStringLiteral(": no such file"));
    if (!info.isFile())
        throw refuse(QStringLiteral("not a regular file"));
    if (info.size() > MaxResultsBytes)
        throw refuse(QStringLiteral("larger than %1 bytes, not the --json results of a write").arg(MaxResultsBytes));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TqmError(TqmError::FileNotFound, QStringLiteral("tqm-config"), path + QStringLiteral(": ") + file.errorString());
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.read(MaxResultsBytes + 1), &error);
    if (!document.isObject())
        throw refuse(QStringLiteral("not the --json results of a write (%1 at offset %2)")
                         .arg(error.errorString())
                         .arg(error.offset));
    // The shape a write's --json results have: "devices", each with its object and a known
    // status; anything else would read as "no device failed".
    const QJsonValue devices = document.object().value("devices");
    if (!devices.isArray())
        throw refuse(QStringLiteral("not the --json results of a write (no \"devices\" list)"));
    QStringList statuses;
    for (const auto status : {DeviceResult::Status::Written, DeviceResult::Status::Done, DeviceResult::Status::Failed,
                              DeviceResult::Status::Skipped, DeviceResult::Status::Planned})
        statuses.append(statusName(status));
    for (const QJsonValue &entry : devices.toArray()) {
        const QJsonObject device = entry.toObject();
        if (!device.value("object").isString() || !statuses.contains(device.value("status").toString()))
            throw refuse(QStringLiteral("not the --json results of a write (a device without its object, or with a "
                                        "status other than %1)")
                             .arg(statuses.join(QStringLiteral(", "))));
    }
    return failedObjects(document.object());
}

int ConfigTool::write(const QString &file, const QStringList &objects, bool dryRun)
{
    m_results.clear();
    m_resultIndex.clear();
    // Devices of one program id share one set: the file loaded into the first of them that can
    // be read, as the window loads it into its device before writing it to others.
    QList<QPair<QString, QStringList>> groups; // program id -> object names, in the given order
    for (const QString &object : objects) {
        DeviceResult result;
        result.object = object;
        try {
            const lns::LonMarkObjectPtr target = lonMarkObject(object);
            result.object = objectNameOf(object);
            const lns::AppDevicePtr device = target->appDevice();
            if (!m_ini.ListsTemplate(device->deviceTemplate()->name())) {
                result.status = DeviceResult::Status::Skipped;
                result.reason = GetResString(1568, 3, {device->deviceTemplate()->name(), device->name()});
                addResult(result);
                continue;
            }
            const QString programId = device->programId();
            if (m_resultIndex.contains(result.object))
                continue; // named twice: written once
            auto group = std::find_if(groups.begin(), groups.end(), [&](const auto &g) { return g.first == programId; });
            if (group == groups.end())
                groups.append({programId, {result.object}});
            else
                group->second.append(result.object);
            result.status = DeviceResult::Status::Planned;
        } catch (const TqmError &error) {
            result.reason = error.description();
        }
        addResult(result);
    }
    for (const auto &group : std::as_const(groups))
        writeGroup(file, group.second, dryRun);
    endProgress();
    finishResults(QStringLiteral("write"), {{"file", file}, {"dryRun", dryRun}});
    const bool allDone = std::all_of(m_results.cbegin(), m_results.cend(), [&](const DeviceResult &r) {
        return r.status == (dryRun ? DeviceResult::Status::Planned : DeviceResult::Status::Written);
    });
    return allDone ? 0 : 1;
}

DeviceResult &ConfigTool::resultOf(const QString &object)
{
    // write() names each device once, so every object of a group has exactly one result.
    const auto found = m_resultIndex.constFind(object);
    Q_ASSERT(found != m_resultIndex.cend());
    return m_results[*found];
}

void ConfigTool::addResult(const DeviceResult &result)
{
    // A name that is no object (its own reason) may come twice; the first is the one found.
    if (!m_resultIndex.contains(result.object))
        m_resultIndex.insert(result.object, m_results.size());
    m_results.append(result);
}

void ConfigTool::fail(const QString &object, DeviceResult::Status status, const QString &reason)
{
    DeviceResult &result = resultOf(object);
    result.status = status;
    result.reason = reason;
}

std::unique_ptr<OpenedDevice> ConfigTool::openBase(const QStringList &objects, QStringList &targets)
{
    std::unique_ptr<OpenedDevice> base;
    for (const QString &object : objects) {
        if (base) {
            targets.append(object);
            continue;
        }
        try {
            progress(QStringLiteral("reading %1").arg(object));
            base = open(object, commands::Configure);
            readSet(*base);
            targets.append(object);
        } catch (const TqmError &error) {
            base.reset();
            fail(object, DeviceResult::Status::Failed, error.description());
        }
    }
    return base;
}

void ConfigTool::writeGroup(const QString &file, const QStringList &objects, bool dryRun)
{
    QStringList targets;
    const std::unique_ptr<OpenedDevice> base = openBase(objects, targets);
    if (!base)
        return;
    const QList<device::ShownParameter> baseAsRead = base->shown();
    DeviceResult::Status refusal;
    const QString problem = loadFile(*base, file, &refusal);
    if (!problem.isEmpty()) {
        for (const QString &object : std::as_const(targets))
            fail(object, refusal, problem);
        return;
    }
    // A misspelt key or an empty value is a part of the set that would silently not be written.
    for (const QString &remark : std::as_const(m_setRemarks)) {
        if (!m_reportedRemarks.contains(remark))
            m_err << remark << '\n';
        m_reportedRemarks.append(remark);
    }
    m_err.flush();
    if (!m_setRemarks.isEmpty() && !m_ignoreUnknown) {
        for (const QString &object : std::as_const(targets))
            fail(object, DeviceResult::Status::Failed,
                 file + QStringLiteral(": unknown keys or empty values; nothing was written (--ignore-unknown "
                                       "writes the rest)"));
        return;
    }
    if (dryRun)
        planWrite(*base, baseAsRead, targets);
    else
        writeTargets(*base, targets);
}

void ConfigTool::planWrite(const OpenedDevice &base, const QList<device::ShownParameter> &baseAsRead,
                           const QStringList &targets)
{
    QStringList written;
    for (const cParam *parameter : base.configuration().Parameters()->GetAllParamsShouldBeWrittenToLns())
        written.append(parameter->Name());
    const QList<device::ShownParameter> planned = base.shown();
    for (const QString &object : targets) {
        try {
            // The database answers for a device that does not: ask the device itself, so that
            // the plan does not promise a write that cannot reach it.
            lonMarkObject(object)->appDevice()->deviceTest(4);
            QList<device::ShownParameter> current = baseAsRead;
            if (object != base.source) {
                progress(QStringLiteral("reading %1").arg(object));
                auto opened = open(object, commands::Configure);
                readSet(*opened);
                current = opened->shown();
            }
            resultOf(object).changes = changesBetween(current, planned, written);
        } catch (const TqmError &error) {
            fail(object, DeviceResult::Status::Failed, error.description());
        }
    }
}

void ConfigTool::writeTargets(OpenedDevice &base, const QStringList &targets)
{
    QList<lns::LonMarkObjectPtr> lonMarkObjects;
    for (const QString &object : targets)
        lonMarkObjects.append(lonMarkObject(object));
    qsizetype mark = 0;
    QObject context;
    QObject::connect(&base.configuration(), &cConfiguration::spreadDeviceStarting, &context,
                     [&](int index, int count, const lns::LonMarkObjectPtr &) {
                         if (m_setup.progress)
                             progress(QStringLiteral("[%1/%2] writing %3").arg(index).arg(count).arg(targets.at(index - 1)));
                         mark = m_logger.mark();
                     });
    QObject::connect(&base.configuration(), &cConfiguration::spreadDeviceFinished, &context,
                     [&](int index, int, const lns::LonMarkObjectPtr &, bool written) {
                         DeviceResult &result = resultOf(targets.at(index - 1));
                         result.status = written ? DeviceResult::Status::Written : DeviceResult::Status::Failed;
                         if (!written)
                             result.reason = m_logger.redSince(mark).join(QStringLiteral("; "));
                         // Only the open device's lines are still needed.
                         m_logger.clear();
                     });
    base.configuration().WriteParametersTo(lonMarkObjects);
    // A set the write refused before its first device (part of it without a value) names why.
    const QStringList refused = m_logger.redSince(0);
    for (const QString &object : targets)
        if (resultOf(object).status == DeviceResult::Status::Planned)
            fail(object, DeviceResult::Status::Failed, refused.join(QStringLiteral("; ")));
}

// ---- calibration passes ----

namespace {

// What a calibration pass logged under one device: its outcome lines, red for a failure.
void takeOutcome(DeviceResult &result, const QList<LogViewLine> &lines)
{
    QStringList red;
    QStringList other;
    for (const LogViewLine &line : lines) {
        QString text = line.text.trimmed();
        if (!text.startsWith(QLatin1String("- ")))
            continue; // the device's heading
        text = text.mid(2);
        (line.colour == logcolour::Red ? red : other).append(text);
    }
    if (!red.isEmpty()) {
        result.status = DeviceResult::Status::Failed;
        result.reason = red.join(QStringLiteral("; "));
    } else if (!other.isEmpty()) {
        result.status = DeviceResult::Status::Done;
        result.reason = other.join(QStringLiteral("; "));
    } else {
        result.status = DeviceResult::Status::Skipped;
        result.reason = QStringLiteral("the device has no manufacturer's calibration to correct");
    }
}

// What the two calibration passes share: the window's calibration page of the opened device,
// the picker that picks the target devices, and which log lines each device's part wrote.
struct CalibrationPass
{
    CalibrationPass(OpenedDevice &opened, ToolLogger &logger, QStringList picked,
                    std::function<void(const QString &)> status)
        : page(opened.session().state().windowTitle()), picks(std::move(picked)), logger(logger)
    {
        page.onStatus = std::move(status);
        env.services = opened.session().services();
        env.page = &page;
        env.configuration = &opened.configuration();
        env.createMultiDeviceWindow = [this] { return std::make_unique<PickingWindow>(picks, &notOffered); };
        env.deviceStarting = [this](const lns::AppDevicePtr &device, int, int) {
            const QString object = embedded::objectName(embedded::commandModuleOf(device));
            order.append(object);
            marks.insert(object, this->logger.mark());
        };
        // The window offers what its page arrangement shows.
        calibration::ArrangeCalibrationPages(env);
    }

    void begin() { start = logger.mark(); }

    // One result per target (the command-module objects of `picks`, same order), from the lines
    // written since begin(); a target the first device's CalibTransfer refused is skipped.
    QList<DeviceResult> results(const QStringList &targets, const QString &refusedReason) const
    {
        const QList<LogViewLine> lines = logger.linesSince(start);
        QList<DeviceResult> all;
        for (qsizetype i = 0; i < targets.size(); ++i) {
            DeviceResult result;
            result.object = targets.at(i);
            result.status = DeviceResult::Status::Skipped;
            if (notOffered.contains(picks.at(i), Qt::CaseInsensitive)) {
                result.reason = refusedReason;
            } else if (const qsizetype at = order.indexOf(result.object); at >= 0) {
                const qsizetype from = marks.value(result.object) - start;
                const qsizetype to = at + 1 < order.size() ? marks.value(order.at(at + 1)) - start : lines.size();
                takeOutcome(result, lines.mid(from, to - from));
            } else {
                result.status = DeviceResult::Status::Failed;
                result.reason = QStringLiteral("not reached");
            }
            all.append(result);
        }
        return all;
    }

    ToolCalibrationPage page;
    QStringList picks;
    QStringList notOffered;
    calibration::CalibrationEnvironment env;
    QHash<QString, qsizetype> marks;
    QStringList order;
    ToolLogger &logger;
    qsizetype start = 0;
};

bool allDone(const QList<DeviceResult> &results)
{
    return std::all_of(results.cbegin(), results.cend(),
                       [](const DeviceResult &r) { return r.status == DeviceResult::Status::Done; });
}

} // namespace

int ConfigTool::copyCalibration(const QString &from, const QStringList &to)
{
    m_results.clear();
    auto opened = open(from, commands::Calibrate);
    readSet(*opened);
    // The calibration passes pick devices; results name their command-module objects.
    QStringList targets;
    QStringList picks;
    for (const QString &object : to) {
        const lns::LonMarkObjectPtr target = lonMarkObject(object);
        targets.append(embedded::objectName(target));
        picks.append(embedded::objectName(target->appDevice()));
    }

    CalibrationPass pass(*opened, m_logger, picks, [this](const QString &text) { progress(text); });
    if (!pass.page.frameShown(calibration::PageFrame::SensorCopy))
        throw TqmError(TqmError::LnsInvalidOperation, QStringLiteral("tqm-config"),
                       QStringLiteral("%1: the window offers no copy of this device's sensor calibration (it needs an "
                                      "application with the newer calibration, the manufacturer's calibration still in "
                                      "the device, and a final calibration done here).")
                           .arg(opened->source));
    const std::unique_ptr<Timer> timer = opened->session().services().timers->createTimer();
    calibration::TemperatureSensorCalibration sensor(pass.env, timer.get());
    pass.begin();
    sensor.CopyToSeveralSensors();
    endProgress();
    m_results = pass.results(targets, QStringLiteral("its program id may not receive a calibration of %1 (CalibTransfer)")
                                          .arg(opened->session().state().deviceTemplate));
    finishResults(QStringLiteral("copy-calibration"), {{"from", opened->source}});
    return allDone(m_results) ? 0 : 1;
}

int ConfigTool::resetKnob(const QStringList &objects)
{
    m_results.clear();
    // The first device is the window's own: its page decides which procedure the knob has,
    // and its template which other devices may be reset with it.
    auto opened = open(objects.first(), commands::Calibrate);
    readSet(*opened);
    QStringList others;
    QStringList picks; // the devices of `others`: the passes pick devices
    for (const QString &object : objects.mid(1)) {
        const lns::LonMarkObjectPtr target = lonMarkObject(object);
        const QString name = embedded::objectName(target);
        if (name != opened->source && !others.contains(name)) {
            others.append(name);
            picks.append(embedded::objectName(target->appDevice()));
        }
    }

    CalibrationPass pass(*opened, m_logger, picks, [this](const QString &text) { progress(text); });
    if (!pass.page.frameShown(calibration::PageFrame::KnobReset) && !pass.page.frameShown(calibration::PageFrame::KnobCentre))
        throw TqmError(TqmError::LnsInvalidOperation, QStringLiteral("tqm-config"),
                       QStringLiteral("%1: the knob is calibrated with the two-stop procedure here, which has no reset "
                                      "(the device answers with an application before the newer calibration, or does "
                                      "not answer).")
                           .arg(opened->source));
    const std::unique_ptr<Timer> timer = opened->session().services().timers->createTimer();
    calibration::TurningKnobCalibration knob(pass.env, timer.get());

    DeviceResult own;
    own.object = opened->source;
    const qsizetype mark = m_logger.mark();
    knob.CalibrateThisDevice();
    const QStringList red = m_logger.redSince(mark);
    own.status = red.isEmpty() ? DeviceResult::Status::Done : DeviceResult::Status::Failed;
    own.reason = red.join(QStringLiteral("; "));
    m_results.append(own);

    if (!others.isEmpty()) {
        pass.begin();
        knob.CalibrateSeveralDevices();
        m_results += pass.results(others, QStringLiteral("its program id may not be reset with %1 (CalibTransfer)")
                                              .arg(opened->session().state().deviceTemplate));
    }
    endProgress();
    finishResults(QStringLiteral("reset-knob"), {{"from", opened->source}});
    return allDone(m_results) ? 0 : 1;
}

void ConfigTool::finishResults(const QString &command, QJsonObject document)
{
    QHash<QString, int> counts;
    for (const DeviceResult &result : std::as_const(m_results))
        ++counts[statusName(result.status)];
    if (m_setup.json) {
        QJsonArray devices;
        for (const DeviceResult &result : std::as_const(m_results)) {
            QJsonObject entry{{"object", result.object}, {"status", statusName(result.status)}};
            if (!result.reason.isEmpty())
                entry.insert("reason", result.reason);
            if (result.status == DeviceResult::Status::Planned) {
                QJsonArray changes;
                for (const Change &change : result.changes)
                    changes.append(toJson(change));
                entry.insert("changes", changes);
            }
            devices.append(entry);
        }
        document.insert("command", command);
        document.insert("devices", devices);
        QJsonObject summary;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            summary.insert(it.key(), it.value());
        document.insert("summary", summary);
        m_out << QJsonDocument(document).toJson(QJsonDocument::Indented);
        return;
    }
    for (const DeviceResult &result : std::as_const(m_results)) {
        if (result.status == DeviceResult::Status::Planned) {
            m_out << result.object << (result.changes.isEmpty() ? ": no change\n" : ":\n");
            for (const Change &change : result.changes)
                m_out << "  " << change.name << ": " << change.oldValue << " \u2192 " << change.newValue << '\n';
            continue;
        }
        m_out << statusName(result.status) << '\t' << result.object;
        if (!result.reason.isEmpty())
            m_out << '\t' << result.reason;
        m_out << '\n';
    }
    QStringList summary;
    for (const auto status : {DeviceResult::Status::Written, DeviceResult::Status::Done, DeviceResult::Status::Planned,
                              DeviceResult::Status::Failed, DeviceResult::Status::Skipped})
        if (counts.value(statusName(status)) > 0)
            summary.append(QStringLiteral("%1 %2").arg(counts.value(statusName(status))).arg(statusName(status)));
    m_out << (summary.isEmpty() ? QStringLiteral("no device") : summary.join(QStringLiteral(", "))) << '\n';
}

void ConfigTool::progress(const QString &text)
{
    if (!m_setup.progress)
        return;
    m_err << "\r\033[K" << text;
    m_err.flush();
    m_progressShown = true;
}

void ConfigTool::endProgress()
{
    if (!m_progressShown)
        return;
    m_err << "\r\033[K";
    m_err.flush();
    m_progressShown = false;
}

} // namespace configtool
