#include "transfer/modulelookups.h"

#include "lns/inifile.h"
#include "lns/logger.h"
#include "lns/product.h"
#include "transfer/cplookup.h"

namespace {

// Runs a look-up; an entry the file lacks, or an index the object does not have, ends it the
// one way the callers know: *succeed false, or the INI error naming the entry.
template <class Find>
auto lookUp(const QString &name, bool *succeed, Find &&find) -> decltype(find())
{
    decltype(find()) found;
    try {
        found = find();
    } catch (const TqmError &) {
        found = nullptr;
    }
    if (succeed)
        *succeed = found != nullptr;
    if (!found && !succeed)
        throw TqmError(TqmError::IniFileError, product::ProductName, QStringLiteral("INI - File Error : ") + name);
    return found;
}

} // namespace

ModuleLookups::ModuleLookups(const IniFile &iniFile, QString deviceTemplate, Logger *logger)
    : m_iniFile(iniFile), m_deviceTemplate(std::move(deviceTemplate)), m_logger(logger)
{
}

qint16 ModuleLookups::field(const QString &name, const QString &section, int number) const
{
    return m_iniFile.GetEntryField(name, section, m_deviceTemplate, number);
}

lns::ConfigPropertyPtr ModuleLookups::FetchCp(const QString &CpName, const QString &Section,
                                              const lns::LonMarkObjectPtr &LonmarkObject, bool *Succeed) const
{
    if (m_logger)
        m_logger->logLine(QStringLiteral("[M_PlugIn] Public Sub FetchCp()"));
    return lookUp(CpName, Succeed, [&]() -> lns::ConfigPropertyPtr {
        const qint16 cpIndex = m_iniFile.GetCpIndex(CpName, Section, m_deviceTemplate);
        if (cpIndex == -1)
            return nullptr;
        return LonmarkObject->configProperties()->item(cpIndex);
    });
}

lns::ConfigPropertyPtr ModuleLookups::FetchCpOfObjectOrNv(const QString &CpName, const QString &Section,
                                                          const lns::LonMarkObjectPtr &LonmarkObject,
                                                          bool *Succeed) const
{
    if (m_logger)
        m_logger->logLine(QStringLiteral("[M_PlugIn] Public Sub FetchCp()"));
    return lookUp(CpName, Succeed, [&]() -> lns::ConfigPropertyPtr {
        if (m_iniFile.GetCpIndex(CpName, Section, m_deviceTemplate) <= 0)
            return nullptr;
        bool found = false;
        lns::ConfigPropertyPtr cp =
            cplookup::FetchLmoCp(CpName, Section, m_iniFile, m_deviceTemplate, LonmarkObject, &found);
        return found ? cp : nullptr;
    });
}

lns::ConfigPropertyPtr ModuleLookups::FetchDevCp(const QString &CpName, const QString &Section,
                                                 const lns::AppDevicePtr &AppDevice, bool *Succeed) const
{
    if (m_logger)
        m_logger->logLine(QStringLiteral("[M_PlugIn] Public Sub FetchDevCp()"));
    return lookUp(CpName, Succeed, [&]() -> lns::ConfigPropertyPtr {
        const qint16 cpIndex = field(CpName, Section, 1);
        if (cpIndex < 1)
            return nullptr;
        const qint16 objectIndex = field(CpName, Section, 2);
        const auto cps = objectIndex > 0 ? AppDevice->lonMarkObjects()->item(objectIndex)->configProperties()
                                         : AppDevice->configProperties();
        return cps->item(cpIndex);
    });
}

lns::NetworkVariablePtr ModuleLookups::FetchDevNv(const QString &NvName, const QString &Section,
                                                  const lns::AppDevicePtr &AppDevice, bool *Succeed) const
{
    if (m_logger)
        m_logger->logLine(QStringLiteral("[M_PlugIn] Public Sub FetchDevNv()"));
    return lookUp(NvName, Succeed, [&]() -> lns::NetworkVariablePtr {
        const qint16 nvIndex = field(NvName, Section, 1);
        if (nvIndex == -1)
            return nullptr;
        const qint16 objectIndex = field(NvName, Section, 2);
        const auto nvs = objectIndex > 0 ? AppDevice->lonMarkObjects()->item(objectIndex)->networkVariables()
                                         : AppDevice->networkVariables();
        return nvs->item(nvIndex);
    });
}

lns::NetworkVariablePtr ModuleLookups::FetchNv(const QString &NvName, const QString &Section,
                                               const lns::LonMarkObjectPtr &LonmarkObject, bool *Succeed) const
{
    if (m_logger)
        m_logger->logLine(QStringLiteral("[M_PlugIn] Public Sub FetchNv()"));
    return lookUp(NvName, Succeed, [&]() -> lns::NetworkVariablePtr {
        const qint16 nvIndex = field(NvName, Section, 1);
        if (nvIndex == -1)
            return nullptr;
        return LonmarkObject->networkVariables()->item(nvIndex);
    });
}
