#include "lns/inilocator.h"

#include "lns/inifile.h"
#include "lns/logger.h"
#include "lns/product.h"

namespace {

// A step of a look-up that found nothing: the network's own error is replaced by the step's
// text, so that the cause names the INI entry and the index that led nowhere.
struct StepFailed
{
    QString text;
};

// What a step looks for, put into words only when it finds nothing.
struct StepText
{
    const char *what;
    const QString &name;
    const char *indexName;
    int index;

    QString text() const
    {
        return QLatin1String(what) + name + QStringLiteral(" / ") + QLatin1String(indexName) + QString::number(index);
    }
};

template <class F>
auto step(F &&f, const StepText &failure) -> decltype(f())
{
    try {
        auto found = f();
        if (!found)
            throw StepFailed{failure.text()};
        return found;
    } catch (const TqmError &) {
        throw StepFailed{failure.text()};
    }
}

// Item `index` of the collection `items` answers, as the INI entry says; `failure` when the
// collection has no such item, `notListed()` when the entry does not list one or the owner is
// missing.
template <class T, class Items, class NotListed>
IniLocator::Found<T> itemAt(qint16 index, bool listed, bool hasOwner, Items &&items, NotListed &&notListed,
                            const StepText &failure)
{
    if (!listed || !hasOwner)
        return {nullptr, notListed()};
    try {
        auto object = items()->item(index);
        return {object, object ? QString() : notListed()};
    } catch (const TqmError &) {
        return {nullptr, failure.text()};
    }
}

template <class T>
std::shared_ptr<T> answer(const IniLocator::Found<T> &found, bool *succeed)
{
    if (succeed) {
        *succeed = bool(found);
        return found.object;
    }
    if (!found)
        throw TqmError(TqmError::IniFileError, product::ProductName, found.failure);
    return found.object;
}

} // namespace

IniLocator::IniLocator(const IniFile &iniFile, QString deviceTemplate, Logger *logger)
    : m_iniFile(iniFile), m_deviceTemplate(std::move(deviceTemplate)), m_logger(logger)
{
}

qint16 IniLocator::field(const QString &name, const QString &section, int number) const
{
    return m_iniFile.GetEntryField(name, section, m_deviceTemplate, number);
}

void IniLocator::logLabel(const char *routine) const
{
    if (m_logger)
        m_logger->logLine(QStringLiteral("[M_PlugIn] Public Sub %1()").arg(QLatin1String(routine)));
}

QString IniLocator::notListed(const QString &name) const
{
    return QStringLiteral("INI - File Error : ") + name;
}

IniLocator::Found<lns::ConfigProperty> IniLocator::lmoCp(const QString &cpName, const QString &section,
                                                          const lns::LonMarkObjectPtr &lonMarkObject) const
{
    const qint16 cpIndex = field(cpName, section, 1);
    if (cpIndex == -1 || !lonMarkObject)
        return {nullptr, notListed(cpName)};
    try {
        std::shared_ptr<lns::ConfigProperties> cps;
        const qint16 nvIndex = field(cpName, section, 2);
        if (cpIndex > 0 && nvIndex > 0)
            cps = step([&] { return lonMarkObject->networkVariables()->item(nvIndex); },
                       {"INI-File Error (CP, NV-Fetch): ", cpName, "NV-Index=", nvIndex})
                      ->configProperties();
        else
            cps = lonMarkObject->configProperties();
        return {step([&] { return cps->item(cpIndex); },
                     {"INI-File Error (CP, CP-Fetch): ", cpName, "CP-Index=", cpIndex}),
                {}};
    } catch (const StepFailed &failed) {
        return {nullptr, failed.text};
    } catch (const TqmError &error) {
        return {nullptr, notListed(cpName) + QStringLiteral(" (") + error.description() + QLatin1Char(')')};
    }
}

IniLocator::Found<lns::ConfigProperty> IniLocator::devCp(const QString &cpName, const QString &section,
                                                          const lns::AppDevicePtr &appDevice) const
{
    // A name the file lacks reads as index -1 in every field: the device's own CP list has no
    // item -1, and the failure says so.
    const qint16 cpIndex = field(cpName, section, 1);
    if (!appDevice)
        return {nullptr, notListed(cpName)};
    const qint16 objectIndex = field(cpName, section, 2);
    const qint16 nvIndex = field(cpName, section, 3);
    const StepText nvFailure{"INI-File Error (CP, NV-Fetch): ", cpName, "NV-Index=", nvIndex};
    try {
        std::shared_ptr<lns::ConfigProperties> cps;
        if (objectIndex > 0) {
            const auto object = step([&] { return appDevice->lonMarkObjects()->item(objectIndex); },
                                     {"INI-File Error (CP, Object-Fetch): ", cpName, "Object-Index=", objectIndex});
            cps = nvIndex > 0 ? step([&] { return object->networkVariables()->item(nvIndex); }, nvFailure)
                                    ->configProperties()
                              : object->configProperties();
        } else {
            cps = nvIndex > 0 ? step([&] { return appDevice->networkVariables()->item(nvIndex); }, nvFailure)
                                    ->configProperties()
                              : appDevice->configProperties();
        }
        return {step([&] { return cps->item(cpIndex); },
                     {"INI-File Error (CP, CP-Fetch): ", cpName, "CP-Index=", cpIndex}),
                {}};
    } catch (const StepFailed &failed) {
        return {nullptr, failed.text};
    } catch (const TqmError &error) {
        return {nullptr, notListed(cpName) + QStringLiteral(" (") + error.description() + QLatin1Char(')')};
    }
}

IniLocator::Found<lns::ConfigProperty> IniLocator::cpOf(const lns::ObjectPtr &owner, const QString &cpName,
                                                         const QString &section) const
{
    try {
        if (owner && owner->classId() == lns::AppDeviceClass)
            return devCp(cpName, section, std::dynamic_pointer_cast<lns::AppDevice>(owner));
        if (owner && owner->classId() == lns::LonMarkObjectClass)
            return lmoCp(cpName, section, std::dynamic_pointer_cast<lns::LonMarkObject>(owner));
    } catch (const TqmError &error) {
        return {nullptr, error.description()};
    }
    return {nullptr, notListed(cpName)};
}

lns::ConfigPropertyPtr IniLocator::FetchLmoCp(const QString &CpName, const QString &Section,
                                              const lns::LonMarkObjectPtr &LonmarkObject, bool *Succeed) const
{
    return answer(lmoCp(CpName, Section, LonmarkObject), Succeed);
}

lns::ConfigPropertyPtr IniLocator::FetchDevCp(const QString &CpName, const QString &Section,
                                              const lns::AppDevicePtr &AppDevice, bool *Succeed) const
{
    logLabel("FetchDevCp");
    return answer(devCp(CpName, Section, AppDevice), Succeed);
}

lns::ConfigPropertyPtr IniLocator::FetchCp(const QString &CpName, const QString &Section,
                                           const lns::LonMarkObjectPtr &LonmarkObject, bool *Succeed) const
{
    logLabel("FetchCp");
    const qint16 cpIndex = field(CpName, Section, 1);
    const auto cps = [&] { return LonmarkObject->configProperties(); };
    const StepText failure{"INI-File Error (CP, CP-Fetch): ", CpName, "CP-Index=", cpIndex};
    return answer(itemAt<lns::ConfigProperty>(cpIndex, cpIndex != -1, bool(LonmarkObject), cps,
                                              [&] { return notListed(CpName); }, failure),
                  Succeed);
}

lns::ConfigPropertyPtr IniLocator::FetchCpOfObjectOrNv(const QString &CpName, const QString &Section,
                                                       const lns::LonMarkObjectPtr &LonmarkObject,
                                                       bool *Succeed) const
{
    logLabel("FetchCp");
    if (field(CpName, Section, 1) > 0)
        return answer(lmoCp(CpName, Section, LonmarkObject), Succeed);
    return answer(Found<lns::ConfigProperty>{nullptr, notListed(CpName)}, Succeed);
}

lns::NetworkVariablePtr IniLocator::FetchDevNv(const QString &NvName, const QString &Section,
                                               const lns::AppDevicePtr &AppDevice, bool *Succeed) const
{
    logLabel("FetchDevNv");
    const qint16 nvIndex = field(NvName, Section, 1);
    const qint16 objectIndex = field(NvName, Section, 2);
    const auto nvs = [&] {
        return objectIndex > 0 ? AppDevice->lonMarkObjects()->item(objectIndex)->networkVariables()
                               : AppDevice->networkVariables();
    };
    const StepText failure{"INI-File Error (NV, NV-Fetch): ", NvName, "NV-Index=", nvIndex};
    // An NV index below 1 lists no NV.
    return answer(itemAt<lns::NetworkVariable>(nvIndex, nvIndex >= 1, bool(AppDevice), nvs,
                                               [&] { return notListed(NvName); }, failure),
                  Succeed);
}

lns::NetworkVariablePtr IniLocator::FetchNv(const QString &NvName, const QString &Section,
                                            const lns::LonMarkObjectPtr &LonmarkObject, bool *Succeed) const
{
    logLabel("FetchNv");
    const qint16 nvIndex = field(NvName, Section, 1);
    const auto nvs = [&] { return LonmarkObject->networkVariables(); };
    const StepText failure{"INI-File Error (NV, NV-Fetch): ", NvName, "NV-Index=", nvIndex};
    return answer(itemAt<lns::NetworkVariable>(nvIndex, nvIndex >= 1, bool(LonmarkObject), nvs,
                                               [&] { return notListed(NvName); }, failure),
                  Succeed);
}
