#include "ui/parametersetfiles.h"

#include "device/cconfiguration.h"
#include "lns/inifile.h"
#include "lns/logger.h"
#include "lns/product.h"
#include "lns/userdialogs.h"
#include "params/cparamenums.h"
#include "params/cparams.h"
#include "session/session.h"
#include "session/settings.h"
#include "strings/resstrings.h"
#include "transfer/paramsetfile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using E = cParamEnums;

namespace ui {

namespace {

const QString ParamSetSuffix = QStringLiteral("dat");
constexpr int SavedMessage = 1572;

} // namespace

ParameterSetFiles::ParameterSetFiles(PageContext &context, TopLevelView &window, QString programDirectory,
                                     std::function<void()> loaded)
    : m_context(context), m_window(window), m_programDirectory(std::move(programDirectory)),
      m_loaded(std::move(loaded))
{
}

void ParameterSetFiles::message(const QString &text) const
{
    m_context.services().dialogs->message(text, m_window.windowCaption(), MsgIcon::Exclamation);
}

void ParameterSetFiles::SaveParameters()
{
    const Services &services = m_context.services();
    services.logger->logLine(QStringLiteral("[frmMain] Private Sub SaveParameters()"));
    if (!m_context.configuration() || !m_context.configuration()->checkValues())
        return;
    FileDialogRequest request;
    request.title = GetResString(1600, 2);
    request.filter = GetResString(1601);
    request.initialDirectory = fileFolder();
    request.save = true;
    request.defaultSuffix = ParamSetSuffix;
    QString fileName = services.dialogs->fileName(request);
    if (fileName.isEmpty())
        return;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QLatin1Char('.') + ParamSetSuffix;
    rememberFileFolder(fileName);
    m_window.setWindowEnabled(false);
    m_context.guarded([&] {
        const QString programId = services.session->appDevice ? services.session->appDevice->programId() : QString();
        if (transfer::ParamSetFile(*m_context.params())
                .WriteToFile(fileName, product::PlugInName, programId, product::DataFileVersion))
            services.logger->addLogLine(GetResString(SavedMessage, 1, {QDir::toNativeSeparators(fileName)}),
                                        logcolour::Green);
        else
            services.dialogs->message(GetResString(1523), m_window.windowCaption(), MsgIcon::Critical);
    });
    m_window.setWindowEnabled(true);
}

// The folder used last; else the program's folder, where an installed program cannot write, so
// then the user's documents.
QString ParameterSetFiles::fileFolder() const
{
    const RegistryAccess *registry = m_context.services().registry;
    const QString last = registry ? settings::readFileFolder(*registry) : QString();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    const QFileInfo program(m_programDirectory);
    if (program.isDir() && program.isWritable())
        return m_programDirectory;
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

void ParameterSetFiles::rememberFileFolder(const QString &fileName)
{
    if (RegistryAccess *registry = m_context.services().registry)
        m_context.guarded([&] { settings::writeFileFolder(*registry, QFileInfo(fileName).absolutePath()); });
}

void ParameterSetFiles::LoadParameters()
{
    const Services &services = m_context.services();
    services.logger->logLine(QStringLiteral("[frmMain] Private Sub LoadParameters()"));
    if (!m_context.configuration())
        return;
    if (services.session->parametersChangedFlag
        && services.dialogs->message(GetResString(1428, 2), m_window.windowCaption(), MsgIcon::Question,
                                     MsgButtons::YesNo, MsgAnswer::No)
               != MsgAnswer::Yes)
        return;
    FileDialogRequest request;
    request.title = GetResString(1600, 1);
    request.filter = GetResString(1601);
    request.initialDirectory = fileFolder();
    const QString fileName = services.dialogs->fileName(request);
    if (fileName.isEmpty())
        return;
    rememberFileFolder(fileName);
    m_window.setWindowEnabled(false);
    m_context.guarded([&] { loadFrom(fileName); });
    m_window.setWindowEnabled(true);
}

// A refused file sets nothing: the changed flag and Apply stay as they were.
void ParameterSetFiles::loadFrom(const QString &fileName)
{
    const Services &services = m_context.services();
    const QString programId = services.session->appDevice ? services.session->appDevice->programId() : QString();
    const IniFile empty;
    E::eLoadFromFileErrors result;
    try {
        result = transfer::ParamSetFile(*m_context.params())
                     .LoadFromFile(fileName, services.iniFile ? *services.iniFile : empty, product::PlugInName,
                                   programId, product::DataFileVersion);
    } catch (const TqmError &error) {
        // Nothing of the file was set: say which file, and why in the details.
        MessageRequest box{GetResString(1522, 1, {fileName}), m_window.windowCaption(), MsgIcon::Exclamation};
        box.detail = error.description();
        services.dialogs->message(box);
        return;
    }
    switch (result) {
    case E::LE_NO_ERROR:
        m_loaded();
        break;
    case E::LE_WRONG_PLUGIN:
        message(GetResString(1520, 1));
        break;
    case E::LE_WRONG_DEVICE:
        message(GetResString(1520, 2));
        break;
    default:
        message(GetResString(1521));
        break;
    }
}

} // namespace ui
